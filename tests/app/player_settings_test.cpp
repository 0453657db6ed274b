// The player's settings at work in whole runs of korvane-headless: the keys
// on the main block do what the numpad's do, a recording plays back the same
// under other bindings, the options opened in the middle of a game change
// nothing of it, the mission last played comes back at start, a damaged file
// is left alone, and the frame follows the window at its scale.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/screenshot.h"
#include "replay/recording.h"
#include "support/png_read.h"
#include "support/process.h"
#include "support/screen.h"

namespace {

// A script from (frame, line) pairs: "down X" or "up X".
using script = std::multimap<int, std::string>;

void writeScript(const fs::path& path, const script& s) {
    std::string text;
    for (const auto& [frame, event] : s) text += std::to_string(frame) + " " + event + "\n";
    writeBytes(path, {text.begin(), text.end()});
}

// A key held over frames [from, to).
void hold(script& s, const std::string& key, int from, int to) {
    s.emplace(from, "down " + key);
    s.emplace(to, "up " + key);
}

struct game {
    ScratchDir dir{"korvane-settings-test"};
    game() { fs::copy_file(fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.AAAA.kvx", dir / "kvxmap.AAAA.kvx"); }
    ProcessRun run(const script& s, int frames, std::vector<std::string> more = {}) {
        writeScript(dir / "s.txt", s);
        std::vector<std::string> args = {"--frames", std::to_string(frames), "--size", "800x600",
                                         "--script", "s.txt", "--digest", "10"};
        args.insert(args.end(), more.begin(), more.end());
        return headless(dir.path(), args);
    }
};

// As spectator: zoom in, out and back; then as pilot: target the nearest
// enemy and fire. Each action by the key given for it.
script flight(const std::string& zoomIn, const std::string& zoomOut, const std::string& reset,
              const std::string& target, const std::string& fire) {
    script s;
    hold(s, "Enter", 3, 4);
    hold(s, zoomIn, 10, 40);
    hold(s, zoomOut, 50, 60);
    hold(s, reset, 70, 71);
    hold(s, zoomIn, 72, 80);
    hold(s, "C", 90, 91);
    hold(s, target, 100, 101);
    hold(s, fire, 110, 150);
    return s;
}

} // namespace

TEST(Bindings, TheMainBlocksKeysDoWhatTheNumpadsDoAndRecordingsPlayBackUnderAnyBindings) {
    game numpad, main, idle;
    const ProcessRun a = numpad.run(flight("Add", "Subtract", "Backspace", "Numpad0", "Shift"), 160);
    const ProcessRun b = main.run(flight("0xBB", "0xBD", "Backspace", "T", "Shift"), 160,
                                  {"--record", "main.kvr"});
    const ProcessRun c = idle.run(flight("0x87", "0x87", "0x87", "0x87", "0x87"), 160);
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(digestLines(a.out), digestLines(b.out));
    EXPECT_NE(digestLines(a.out), digestLines(c.out)) << "the keys did nothing";

    // Fire on Space alone, from a settings file: Space fires as Shift did,
    // Shift no longer does, and the recording plays back under the defaults.
    game spaced, shifted;
    const std::string fireOnSpace = "[controls]\nfire = [\"Space\"]\n";
    writeBytes(spaced.dir / "settings.toml", {fireOnSpace.begin(), fireOnSpace.end()});
    const ProcessRun d = spaced.run(flight("Add", "Subtract", "Backspace", "Numpad0", "Space"),
                                    160, {"--settings", "settings.toml", "--record", "space.kvr"});
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(digestLines(d.out), digestLines(a.out));
    const ProcessRun e = shifted.run(flight("Add", "Subtract", "Backspace", "Numpad0", "Shift"),
                                     160, {"--settings", (spaced.dir / "settings.toml").string()});
    EXPECT_NE(digestLines(e.out), digestLines(a.out)) << "Shift still fires";
    const ProcessRun f = headless(idle.dir.path(), {"--replay", (spaced.dir / "space.kvr").string(),
                                                    "--digest", "10"});
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(digestLines(f.out), digestLines(a.out));
}

TEST(Options, OpenedAndClosedInTheMiddleOfAGameChangeNothingOfIt) {
    // The same game twice; in the second the options are open from frame 80
    // for 40 frames, their pages turned and a binding begun and cancelled,
    // and closed with Escape, which the game then does not see. No frame of
    // the game runs meanwhile: its later input comes 40 frames later.
    script plain = flight("Add", "Subtract", "Backspace", "Numpad0", "Shift"), paused;
    for (const auto& [frame, event] : plain) paused.emplace(frame < 80 ? frame : frame + 40, event);
    hold(paused, "0x70", 80, 82);   // F1
    hold(paused, "Right", 85, 86);  // to Display
    hold(paused, "Left", 87, 88);   // back to Controls
    hold(paused, "Down", 89, 90);   // Thrust
    hold(paused, "Enter", 91, 92);  // bind it...
    hold(paused, "Escape", 93, 94); // ...no: cancelled
    hold(paused, "Up", 95, 96);
    hold(paused, "Escape", 119, 125); // closed
    game one, two;
    const ProcessRun a = one.run(plain, 160, {"--record", "a.kvr"});
    const ProcessRun b = two.run(paused, 200, {"--record", "b.kvr"});
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    // Up to the options, and over them, the same game. (From then on the
    // frame times measured differ in their last bits: the clock went on.)
    const std::vector<std::string> da = digestLines(a.out), db = digestLines(b.out);
    ASSERT_EQ(db.size(), 16u);
    EXPECT_EQ(std::vector<std::string>(da.begin(), da.begin() + 8),
              std::vector<std::string>(db.begin(), db.begin() + 8));
    // The recording holds no frame of the options, and played back without
    // them it departs nowhere: they changed nothing of the game.
    recording rb;
    std::string error;
    ASSERT_TRUE(readRecording((two.dir / "b.kvr").string(), rb, error)) << error;
    EXPECT_EQ(rb.frames.size(), 160u);
    const ProcessRun played =
        headless(one.dir.path(), {"--replay", (two.dir / "b.kvr").string(), "--digest", "10"});
    EXPECT_EQ(played.status, 0) << played.err;
    EXPECT_EQ(digestLines(played.out), db);
}

TEST(Progress, TheMissionLastPlayedComesBackAtStartAndADamagedFileIsLeftAlone) {
    game g;
    fs::copy_file(fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.BBBB.kvx", g.dir / "kvxmap.BBBB.kvx");
    // The Load screen loads BBBB: it is the mission last played from now on.
    script load;
    hold(load, "Escape", 3, 4); // the menu, on Exit
    hold(load, "Down", 5, 6);   // Play
    hold(load, "Down", 7, 8);   // Load
    hold(load, "Enter", 9, 10);
    for (int i = 0; i < 4; ++i) hold(load, "B", 12 + 2 * i, 13 + 2 * i);
    hold(load, "Enter", 22, 23);
    ASSERT_EQ(g.run(load, 25, {"--settings", "kept.toml"}).status, 0);
    EXPECT_NE(readFile(g.dir / "kept.toml").find("kvxmap.BBBB.kvx"), std::string::npos);

    auto firstRead = [&](std::vector<std::string> more) {
        more.insert(more.end(), {"--record", "start.kvr"});
        const ProcessRun r = g.run({}, 2, more);
        recording rec;
        std::string error;
        EXPECT_TRUE(readRecording((g.dir / "start.kvr").string(), rec, error)) << r.err << error;
        return rec.reads.empty() ? std::string() : rec.reads.front().name;
    };
    EXPECT_EQ(firstRead({"--settings", "kept.toml"}), "kvxmap.BBBB.kvx");
    EXPECT_EQ(firstRead({}), "kvxmap.AAAA.kvx") << "headless reads no settings unasked";
    std::string first = readFile(g.dir / "kept.toml");
    ASSERT_NE(first.find("start = \"last\""), std::string::npos) << first;
    first.replace(first.find("start = \"last\""), 14, "start = \"first\"");
    writeBytes(g.dir / "first.toml", {first.begin(), first.end()});
    EXPECT_EQ(firstRead({"--settings", "first.toml"}), "kvxmap.AAAA.kvx");
    fs::remove(g.dir / "kvxmap.BBBB.kvx");
    EXPECT_EQ(firstRead({"--settings", "kept.toml"}), "kvxmap.AAAA.kvx") << "a missing file";

    // A broken line: the game starts, says where, and F2 (a change it would
    // keep) leaves the file as the player wrote it.
    const std::string damaged = "[sound]\non = false\nvolume = = 3\n\x01\x02junk\n";
    writeBytes(g.dir / "bad.toml", {damaged.begin(), damaged.end()});
    script f2;
    hold(f2, "0x71", 3, 4);
    const ProcessRun r = g.run(f2, 6, {"--settings", "bad.toml"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("bad.toml, line 3"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(g.dir / "bad.toml"), damaged);
}

TEST(Display, TheFrameIsTheWindowAtItsScaleAndTextGrowsWithIt) {
    struct size {
        int setting, w, h, fw, fh;
    };
    const size sizes[] = {{0, 3840, 2160, 1920, 1080}, {0, 3840, 2159, 3840, 2159},
                          {0, 1280, 720, 1280, 720},   {2, 1920, 1080, 960, 540},
                          {3, 1920, 1080, 640, 360},   {4, 1921, 1083, 480, 270},
                          {4, 3, 2, 1, 1},             {1, 800, 600, 800, 600}};
    for (const size& s : sizes) {
        int fw = 0, fh = 0;
        frameSizeFor(s.setting, s.w, s.h, fw, fh);
        EXPECT_EQ(fw, s.fw) << s.setting << " " << s.w << "x" << s.h;
        EXPECT_EQ(fh, s.fh) << s.setting << " " << s.w << "x" << s.h;
    }

    // On a 3840x2160 screen the start screen's letters are 16 pixels tall,
    // and F12 saves the frame itself, 1920x1080.
    game g;
    script f12;
    hold(f12, "0x7B", 3, 4);
    writeScript(g.dir / "s.txt", f12);
    const ProcessRun shot = headless(g.dir.path(), {"--size", "3840x2160", "--frames", "5",
                                                    "--script", "s.txt", "--shot", "5:big.png"});
    ASSERT_EQ(shot.status, 0) << shot.err;
    Screen big;
    ASSERT_TRUE(big.load((g.dir / "big.png").string()));
    EXPECT_EQ(big.width, 3840);
    const std::vector<TextLine> lines = big.lines(textPixel);
    ASSERT_FALSE(lines.empty());
    EXPECT_GE(lines.front().bottom - lines.front().top + 1, 16);
    std::vector<fs::path> shots;
    for (const auto& e : fs::directory_iterator(g.dir / "screenshots")) shots.push_back(e.path());
    ASSERT_EQ(shots.size(), 1u);
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(readPng(shots[0].string(), pixels, w, h));
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
    // The frame at 2x is the picture shown, pixel for pixel.
    EXPECT_EQ(pixels[std::size_t(540 * 1920 + 960)], big.pixels[std::size_t(1080 * 3840 + 1920)]);
}
