// Tests of the headless window system: the frame clock, scripted input, the
// pump's frame count, shots and message boxes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "ports/headless/headless.h"
#include "gdi/surface.h"
#include "platform/system.h"
#include "support/png_read.h"

namespace fs = std::filesystem;

namespace {

HeadlessConfig configWith(double dt, int frames) {
    HeadlessConfig config;
    config.dt = dt;
    config.frames = frames;
    return config;
}

HeadlessEvent event(int frame, HeadlessEvent::Kind kind, int key = 0) {
    HeadlessEvent e;
    e.frame = frame;
    e.kind = kind;
    e.key = key;
    return e;
}

// The clock in whole milliseconds, as the backend counts them.
unsigned ticks() { return unsigned(std::llround(sysSeconds() * 1000)); }

fs::path tempPath(const std::string& name) {
    return fs::temp_directory_path() /
           ("korvane-headless-test-" + std::to_string(::getpid()) + "-" + name);
}

} // namespace

TEST(HeadlessBackend, ConfiguredDefaultsAreTheDesktopOfATestRun) {
    headlessConfigure(HeadlessConfig{});
    int w = 0, h = 0;
    ASSERT_TRUE(sysDesktopSize(&w, &h));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_TRUE(sysHasFocus());
    EXPECT_EQ(ticks(), 0u);
    EXPECT_EQ(sysSeed(), 1u);
    EXPECT_EQ(headlessFramesShown(), 0);
    EXPECT_TRUE(sysFullScreen(w, h));
}

TEST(HeadlessBackend, ABadSizeIsNoDisplay) {
    HeadlessConfig config;
    config.width = 0;
    headlessConfigure(config);
    int w = -1, h = -1;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sysDesktopSize(&w, &h));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("bad window size 0x768"),
              std::string::npos);
}

TEST(HeadlessBackend, ClockIsTheRoundedTimeOfTheFramesShown) {
    headlessConfigure(configWith(0.0166, 100));
    EXPECT_EQ(ticks(), 0u);                       // the first frame measures from 0
    const unsigned expected[] = {17, 33, 50, 66}; // rounded totals, not a sum of rounded steps
    for (unsigned ms : expected) {
        sysShow();
        EXPECT_EQ(ticks(), ms);
    }
    EXPECT_EQ(headlessFramesShown(), 4);
}

TEST(HeadlessBackend, SetTicksSetsTheClockNowAndFramesKeepCounting) {
    headlessConfigure(configWith(0.016, 100));
    sysShow();
    headlessSetTicks(5000);
    EXPECT_EQ(ticks(), 5000u);
    sysShow();
    EXPECT_EQ(ticks(), 5016u);

    headlessSetTicks(0xFFFFFFF8u); // the tick count wraps like GetTickCount
    sysShow();
    EXPECT_EQ(ticks(), 8u);
}

TEST(HeadlessBackend, ConfiguringAgainResetsTheRun) {
    headlessConfigure(configWith(0.016, 100));
    sysShow();
    headlessSetKey('A', true);
    headlessSetFocus(false);
    headlessSetCursor(3, 4);
    sysQuit();
    headlessConfigure(configWith(0.016, 100));
    EXPECT_EQ(ticks(), 0u);
    EXPECT_EQ(headlessFramesShown(), 0);
    EXPECT_FALSE(sysKeyDown('A'));
    EXPECT_TRUE(sysHasFocus());
    EXPECT_EQ(sysCursor().x, 0);
    EXPECT_EQ(sysPump(), SysMessage::none);
}

TEST(HeadlessBackend, ScriptEventsApplyAtTheStartOfTheirFrame) {
    HeadlessConfig config = configWith(0.016, 3);
    // Out of frame order on purpose; within a frame the script's order holds.
    config.events.push_back(event(2, HeadlessEvent::up, 'A'));
    config.events.push_back(event(1, HeadlessEvent::down, 'A'));
    config.events.push_back(event(2, HeadlessEvent::down, VK_SPACE));
    config.events.push_back(event(3, HeadlessEvent::up, VK_SPACE));
    config.events.push_back(event(3, HeadlessEvent::down, VK_SPACE));
    HeadlessEvent move = event(2, HeadlessEvent::move);
    move.x = 640;
    move.y = 480;
    config.events.push_back(move);
    HeadlessEvent blur = event(3, HeadlessEvent::focus);
    blur.on = false;
    config.events.push_back(blur);
    config.events.push_back(event(9, HeadlessEvent::down, 'Q')); // beyond the run
    headlessConfigure(config);

    EXPECT_FALSE(sysKeyDown('A')); // nothing before frame 1 starts
    ASSERT_EQ(sysPump(), SysMessage::none);
    EXPECT_TRUE(sysKeyDown('A'));
    EXPECT_FALSE(sysKeyDown(VK_SPACE));
    EXPECT_EQ(sysCursor().x, 0);
    sysShow();
    EXPECT_TRUE(sysKeyDown('A')); // frame 2's events wait for frame 2

    ASSERT_EQ(sysPump(), SysMessage::none);
    EXPECT_FALSE(sysKeyDown('A'));
    EXPECT_TRUE(sysKeyDown(VK_SPACE));
    EXPECT_EQ(sysCursor().x, 640);
    EXPECT_EQ(sysCursor().y, 480);
    EXPECT_TRUE(sysHasFocus());
    sysShow();

    ASSERT_EQ(sysPump(), SysMessage::none);
    EXPECT_TRUE(sysKeyDown(VK_SPACE)); // up then down in frame 3
    EXPECT_FALSE(sysHasFocus());
    sysShow();

    EXPECT_EQ(sysPump(), SysMessage::quit);
    EXPECT_EQ(sysPump(), SysMessage::quit);
    EXPECT_FALSE(sysKeyDown('Q'));
}

TEST(HeadlessBackend, QuitEndsTheRunAtTheNextPump) {
    headlessConfigure(configWith(0.016, 10));
    ASSERT_EQ(sysPump(), SysMessage::none);
    sysShow();
    sysQuit();
    EXPECT_EQ(sysPump(), SysMessage::quit);
}

TEST(HeadlessBackend, TestControlsAndKeyRange) {
    headlessConfigure(HeadlessConfig{});
    headlessSetKey(VK_RBUTTON, true);
    EXPECT_TRUE(sysKeyDown(VK_RBUTTON));
    headlessSetKey(VK_RBUTTON, false);
    EXPECT_FALSE(sysKeyDown(VK_RBUTTON));
    headlessSetKey(0xFF, true);
    EXPECT_TRUE(sysKeyDown(0xFF));
    headlessSetKey(256, true); // ignored, like any code outside 0..255
    headlessSetKey(-1, true);
    EXPECT_FALSE(sysKeyDown(256));
    EXPECT_FALSE(sysKeyDown(-1));
    headlessSetFocus(false);
    EXPECT_FALSE(sysHasFocus());
    headlessSetCursor(-5, 7);
    EXPECT_EQ(sysCursor().x, -5);
    EXPECT_EQ(sysCursor().y, 7);
}

TEST(HeadlessBackend, MessageBoxIsOneLineOnStandardOutput) {
    headlessConfigure(HeadlessConfig{});
    testing::internal::CaptureStdout();
    sysMessageBox("Mission", "You won.\nPress Enter.\n");
    sysMessageBox("Empty", "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "message: Mission: You won.\\nPress Enter.\\n\n"
              "message: Empty: \n");
}

TEST(HeadlessBackend, AShotSavesTheWindowAfterItsFrame) {
    fs::path path = tempPath("shot.png");
    fs::remove(path);
    HeadlessConfig config = configWith(0.016, 2);
    config.width = 4;
    config.height = 2;
    config.shots.push_back({2, path.string()});
    headlessConfigure(config);
    ASSERT_TRUE(sysOpenWindow("test", 4, 2));
    Surface s = dcSurface(sysWindowDC());
    ASSERT_EQ(s.width, 4);
    ASSERT_EQ(s.height, 2);
    for (int i = 0; i < 8; ++i) s.pixels[i] = 0x00FFFFFF;

    sysShow(); // frame 1: no shot
    EXPECT_FALSE(fs::exists(path));
    const std::uint32_t picture[8] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00123456,
                                      0x00000000, 0x00FFFFFF, 0x00010203, 0x00FEDCBA};
    for (int i = 0; i < 8; ++i) s.pixels[i] = picture[i];
    sysShow(); // frame 2: the shot
    sysCloseWindow();
    EXPECT_FALSE(headlessFailed());

    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(readPng(path.string(), pixels, w, h));
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(pixels, std::vector<std::uint32_t>(picture, picture + 8));
    fs::remove(path);
}

TEST(HeadlessBackend, AShotThatCannotBeWrittenFailsTheRun) {
    fs::path path = tempPath("no-such-dir") / "shot.png";
    HeadlessConfig config = configWith(0.016, 1);
    config.shots.push_back({1, path.string()});
    headlessConfigure(config);
    ASSERT_TRUE(sysOpenWindow("test", 8, 8));
    testing::internal::CaptureStderr();
    sysShow();
    std::string err = testing::internal::GetCapturedStderr();
    sysCloseWindow();
    EXPECT_TRUE(headlessFailed());
    EXPECT_NE(err.find("shot of frame 1"), std::string::npos) << err;
    EXPECT_NE(err.find(path.string()), std::string::npos) << err;
}

TEST(HeadlessBackend, AShotTheRunNeverReachedFailsTheRun) {
    fs::path path = tempPath("late.png");
    HeadlessConfig config = configWith(0.016, 5);
    config.shots.push_back({5, path.string()});
    headlessConfigure(config);
    ASSERT_TRUE(sysOpenWindow("test", 8, 8));
    ASSERT_EQ(sysPump(), SysMessage::none);
    sysShow();
    sysQuit(); // the game quits after frame 1
    EXPECT_EQ(sysPump(), SysMessage::quit);
    EXPECT_FALSE(headlessFailed());
    testing::internal::CaptureStderr();
    sysCloseWindow();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(headlessFailed());
    EXPECT_NE(err.find("frame 5 was not saved"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(path));
}
