// Tests of the korvane-headless program, run as a child process in a fresh
// directory: exit status, messages, and the PNG files it saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/golden.h"
#include "support/png_read.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

int lineCount(const std::string& text) { return int(std::count(text.begin(), text.end(), '\n')); }

// A fresh working directory for one run of the runner, removed afterwards.
class RunnerTest : public testing::Test {
protected:
    // Runs korvane-headless with `args` in the test's directory.
    ProcessRun run(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {KORVANE_HEADLESS};
        argv.insert(argv.end(), args.begin(), args.end());
        return runIn(dir_.path(), argv, 300);
    }

    ScratchDir dir_{"korvane-runner-test"};
};

// Reads a saved frame and checks its size and that the game drew something on it.
void expectPicture(const fs::path& path, int width, int height) {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(readPng(path.string(), pixels, w, h)) << path;
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p != 0; }))
        << path << " is all black";
}

} // namespace

// The window shows each frame exactly as the game drew it: the start screen
// alone on the first, with the sound line F2 brings up on the third.
TEST_F(RunnerTest, ThreeFramesWithAShotOfTheLastOne) {
    std::ofstream(dir_ / "f2.txt") << "2 down 0x71\n3 up 0x71\n";
    ProcessRun r = run({"--frames", "3", "--shot", "1:first.png", "--shot", "3:out.png", "--size",
                        "320x200", "--script", "f2.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    expectPicture(dir_ / "out.png", 320, 200);
    for (const char* name : {"first", "out"}) {
        std::vector<std::uint32_t> pixels;
        Surface shot;
        ASSERT_TRUE(readPng((dir_ / (std::string(name) + ".png")).string(), pixels, shot.width,
                            shot.height));
        shot.pixels = pixels.data();
        EXPECT_TRUE(matchesGolden(shot, name == std::string("first") ? "runner_first_frame"
                                                                     : "runner_third_frame"));
    }
}

TEST_F(RunnerTest, FramesDefaultToTheLastShotAndEveryShotIsSaved) {
    ProcessRun r = run({"--shot", "1:first.png", "--shot", "4:last.png", "--size", "64x48"});
    EXPECT_EQ(r.status, 0) << r.err;
    expectPicture(dir_ / "first.png", 64, 48);
    expectPicture(dir_ / "last.png", 64, 48);
}

TEST_F(RunnerTest, ShotsAreNamedFromTheStartingDirectoryNotTheMissionDirectory) {
    fs::create_directories(dir_ / "missions");
    fs::create_directories(dir_ / "pictures");
    ProcessRun r = run({"--dir", "missions", "--shot", "2:pictures/shot.png", "--size", "40x30"});
    EXPECT_EQ(r.status, 0) << r.err;
    expectPicture(dir_ / "pictures" / "shot.png", 40, 30);
    EXPECT_FALSE(fs::exists(dir_ / "missions" / "pictures"));
}

TEST_F(RunnerTest, ABadOptionExitsWithTwoAndOneLineNamingIt) {
    ProcessRun r = run({"--frames", "3", "--size", "320by200"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_EQ(r.err.rfind("korvane-headless: --size", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("'320by200'"), std::string::npos) << r.err;

    r = run({"--explode"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "korvane-headless: unknown option '--explode'\n");
}

TEST_F(RunnerTest, ABadScriptLineExitsWithTwoNamingFileAndLine) {
    std::ofstream(dir_ / "input.txt") << "# test input\n2 down Enter\n3 down Foo\n";
    ProcessRun r = run({"--script", "input.txt", "--frames", "5"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "korvane-headless: input.txt:3: unknown key 'Foo'\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(RunnerTest, AMissingMissionDirectoryExitsWithTwo) {
    ProcessRun r = run({"--dir", "nowhere"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("'nowhere'"), std::string::npos) << r.err;
}

TEST_F(RunnerTest, AShotThatCannotBeSavedExitsWithOne) {
    ProcessRun r = run({"--shot", "1:no-such-dir/out.png", "--size", "32x32"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no-such-dir/out.png"), std::string::npos) << r.err;
}

TEST_F(RunnerTest, HelpPrintsUsageAndExitsWithZero) {
    ProcessRun r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: korvane-headless", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--shot N:F.png"), std::string::npos) << r.out;
}
