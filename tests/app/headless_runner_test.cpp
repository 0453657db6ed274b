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

#include "support/png_read.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status = -1; // exit status, or -1 when the runner did not exit normally
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int lineCount(const std::string& text) { return int(std::count(text.begin(), text.end(), '\n')); }

// A fresh working directory for one run of the runner, removed afterwards.
class RunnerTest : public testing::Test {
protected:
    void SetUp() override {
        static int n = 0;
        dir_ = fs::temp_directory_path() /
               ("korvane-runner-test-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Runs korvane-headless with `args` in the test's directory. A runner that
    // hangs is killed by an alarm long before any test harness gives up.
    RunResult run(const std::vector<std::string>& args) {
        fs::path outPath = dir_ / ".stdout", errPath = dir_ / ".stderr";
        std::vector<char*> argv;
        std::string program = KORVANE_HEADLESS;
        argv.push_back(program.data());
        std::vector<std::string> copies(args);
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);

        pid_t pid = ::fork();
        if (pid == 0) {
            FILE* out = std::freopen(outPath.c_str(), "w", stdout);
            FILE* err = std::freopen(errPath.c_str(), "w", stderr);
            if (!out || !err || ::chdir(dir_.c_str()) != 0) ::_exit(126);
            ::alarm(300);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        RunResult result;
        int status = 0;
        if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return result;
        if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
        result.out = slurp(outPath);
        result.err = slurp(errPath);
        return result;
    }

    fs::path dir_;
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

TEST_F(RunnerTest, ThreeFramesWithAShotOfTheLastOne) {
    RunResult r = run({"--frames", "3", "--shot", "3:out.png", "--size", "320x200"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    expectPicture(dir_ / "out.png", 320, 200);
}

TEST_F(RunnerTest, FramesDefaultToTheLastShotAndEveryShotIsSaved) {
    RunResult r = run({"--shot", "1:first.png", "--shot", "4:last.png", "--size", "64x48"});
    EXPECT_EQ(r.status, 0) << r.err;
    expectPicture(dir_ / "first.png", 64, 48);
    expectPicture(dir_ / "last.png", 64, 48);
}

TEST_F(RunnerTest, ShotsAreNamedFromTheStartingDirectoryNotTheMissionDirectory) {
    fs::create_directories(dir_ / "missions");
    fs::create_directories(dir_ / "pictures");
    RunResult r = run({"--dir", "missions", "--shot", "2:pictures/shot.png", "--size", "40x30"});
    EXPECT_EQ(r.status, 0) << r.err;
    expectPicture(dir_ / "pictures" / "shot.png", 40, 30);
    EXPECT_FALSE(fs::exists(dir_ / "missions" / "pictures"));
}

TEST_F(RunnerTest, ABadOptionExitsWithTwoAndOneLineNamingIt) {
    RunResult r = run({"--frames", "3", "--size", "320by200"});
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
    RunResult r = run({"--script", "input.txt", "--frames", "5"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "korvane-headless: input.txt:3: unknown key 'Foo'\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(RunnerTest, AMissingMissionDirectoryExitsWithTwo) {
    RunResult r = run({"--dir", "nowhere"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("'nowhere'"), std::string::npos) << r.err;
}

TEST_F(RunnerTest, AShotThatCannotBeSavedExitsWithOne) {
    RunResult r = run({"--shot", "1:no-such-dir/out.png", "--size", "32x32"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no-such-dir/out.png"), std::string::npos) << r.err;
}

TEST_F(RunnerTest, HelpPrintsUsageAndExitsWithZero) {
    RunResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: korvane-headless", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--shot N:F.png"), std::string::npos) << r.out;
}
