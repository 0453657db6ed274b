// Tests of the headless runner's key names, input scripts and command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ports/headless/headless.h"
#include "platform/system.h"

namespace fs = std::filesystem;

namespace {

// A fresh directory under the system's temporary directory, removed afterwards.
class TempDir {
public:
    TempDir() {
        path_ = fs::temp_directory_path() / ("korvane-script-test-" + std::to_string(::getpid()) +
                                             "-" + std::to_string(counter()++));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
        return (path_ / name).string();
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    fs::path path_;
};

bool parseArgs(const std::vector<const char*>& args, HeadlessConfig& config, std::string& error) {
    return parseHeadlessArgs(int(args.size()), args.data(), config, error);
}

// The error of a command line that must be refused.
std::string argsError(const std::vector<const char*>& args) {
    HeadlessConfig config;
    std::string error;
    EXPECT_FALSE(parseArgs(args, config, error));
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
}

bool parseScript(const std::string& text, std::vector<HeadlessEvent>& events, std::string& error) {
    std::istringstream in(text);
    return parseHeadlessScript(in, "s.txt", events, error);
}

// The error of a one-line script that must be refused.
std::string scriptError(const std::string& line) {
    std::vector<HeadlessEvent> events;
    std::string error;
    EXPECT_FALSE(parseScript("# header\n" + line + "\n", events, error)) << line;
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
}

} // namespace

TEST(HeadlessKeyCode, NamesTheGameUsesMapToTheirVirtualKeys) {
    struct Case {
        const char* name;
        int code;
    };
    const Case cases[] = {
        {"Enter", 0x0D},   {"Escape", 0x1B},  {"Tab", 0x09},      {"Backspace", 0x08},
        {"Shift", 0x10},   {"Space", 0x20},   {"Home", 0x24},     {"End", 0x23},
        {"Left", 0x25},    {"Up", 0x26},      {"Right", 0x27},    {"Down", 0x28},
        {"Numpad0", 0x60}, {"Add", 0x6B},     {"Subtract", 0x6D}, {"Period", 0xBE},
        {"LButton", 0x01}, {"RButton", 0x02}, {"A", 0x41},        {"M", 0x4D},
        {"Z", 0x5A},       {"0", 0x30},       {"9", 0x39},        {"0x41", 0x41},
        {"0xff", 0xFF},    {"0xFF", 0xFF},    {"0x1", 0x01},      {"0x0d", 0x0D},
    };
    for (const Case& c : cases) EXPECT_EQ(headlessKeyCode(c.name), c.code) << c.name;
}

TEST(HeadlessKeyCode, AnythingElseIsUnknown) {
    for (const char* name : {"",     "a",    "z",    "enter", "ENTER", "Return",  "Esc",  "Numpad1",
                             "F1",   "AB",   " A",   "A ",    "0x",    "0x0",     "0x00", "0x100",
                             "0xfg", "0X41", "0x-1", "+",     "#",     "LButton2"}) {
        EXPECT_EQ(headlessKeyCode(name), -1) << "'" << name << "'";
    }
}

TEST(HeadlessScript, ReadsEveryKindOfEventInFileOrder) {
    std::vector<HeadlessEvent> events;
    std::string error;
    const char* script = "# start the game\n"
                         "\n"
                         "2 down Enter\n"
                         "  3\tup   Enter   # let go\r\n"
                         "1 move 640 -12\n"
                         "10 focus off\n"
                         "11 focus on\n"
                         "   \t\n"
                         "12 down 0xA0\n"
                         "12 up LButton";
    ASSERT_TRUE(parseScript(script, events, error)) << error;
    ASSERT_EQ(events.size(), 7u);

    EXPECT_EQ(events[0].frame, 2);
    EXPECT_EQ(events[0].kind, HeadlessEvent::down);
    EXPECT_EQ(events[0].key, VK_RETURN);
    EXPECT_EQ(events[1].frame, 3);
    EXPECT_EQ(events[1].kind, HeadlessEvent::up);
    EXPECT_EQ(events[1].key, VK_RETURN);
    EXPECT_EQ(events[2].frame, 1);
    EXPECT_EQ(events[2].kind, HeadlessEvent::move);
    EXPECT_EQ(events[2].x, 640);
    EXPECT_EQ(events[2].y, -12);
    EXPECT_EQ(events[3].kind, HeadlessEvent::focus);
    EXPECT_FALSE(events[3].on);
    EXPECT_EQ(events[4].kind, HeadlessEvent::focus);
    EXPECT_TRUE(events[4].on);
    EXPECT_EQ(events[5].key, 0xA0);
    EXPECT_EQ(events[6].kind, HeadlessEvent::up);
    EXPECT_EQ(events[6].key, VK_LBUTTON);
}

TEST(HeadlessScript, EmptyOrCommentOnlyScriptHasNoEvents) {
    std::vector<HeadlessEvent> events;
    std::string error;
    EXPECT_TRUE(parseScript("", events, error));
    EXPECT_TRUE(parseScript("# nothing\n\n   # at all\n", events, error));
    EXPECT_TRUE(events.empty());
}

TEST(HeadlessScript, BadLinesAreRefusedWithFileLineAndTheProblem) {
    struct Case {
        const char* line;
        const char* mention; // what the message must name
    };
    const Case cases[] = {
        {"3 down Foo", "unknown key 'Foo'"},
        {"3 up enter", "unknown key 'enter'"},
        {"3 down", "missing key"},
        {"3 down A B", "'B'"},
        {"0 down A", "bad frame number '0'"},
        {"-1 down A", "bad frame number '-1'"},
        {"x down A", "bad frame number 'x'"},
        {"2.5 down A", "bad frame number '2.5'"},
        {"3x down A", "bad frame number '3x'"},
        {"99999999999 down A", "bad frame number '99999999999'"},
        {"3", "missing event"},
        {"3 press A", "unknown event 'press'"},
        {"3 DOWN A", "unknown event 'DOWN'"},
        {"3 move 10", "'move' needs x and y"},
        {"3 move 10 y", "bad y coordinate 'y'"},
        {"3 move 1e3 5", "bad x coordinate '1e3'"},
        {"3 move 10 20 30", "'30'"},
        {"3 move 10 99999999999", "bad y coordinate '99999999999'"},
        {"3 focus", "'focus' needs on or off"},
        {"3 focus yes", "focus must be on or off, not 'yes'"},
        {"3 focus on off", "'off'"},
    };
    for (const Case& c : cases) {
        std::string error = scriptError(c.line);
        EXPECT_EQ(error.rfind("s.txt:2: ", 0), 0u) << c.line << " -> " << error;
        EXPECT_NE(error.find(c.mention), std::string::npos) << c.line << " -> " << error;
    }
}

TEST(HeadlessScript, ControlBytesAndLongWordsStayOnOneShortLine) {
    std::string error = scriptError(std::string("1 down \x01\x1b") + std::string(500, 'K'));
    EXPECT_NE(error.find("'\\x01\\x1bKKK"), std::string::npos) << error;
    EXPECT_LT(error.size(), 120u) << error;
}

TEST(HeadlessScript, AFailedParseAddsNoEvents) {
    std::vector<HeadlessEvent> events(1);
    std::string error;
    EXPECT_FALSE(parseScript("1 down A\n2 down A\n3 jump\n", events, error));
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(error.rfind("s.txt:3: ", 0), 0u) << error;
}

TEST(HeadlessArgs, DefaultsWithNoOptions) {
    HeadlessConfig config;
    config.width = 5; // overwritten by the defaults
    std::string error;
    ASSERT_TRUE(parseArgs({}, config, error)) << error;
    EXPECT_EQ(config.width, 1024);
    EXPECT_EQ(config.height, 768);
    EXPECT_EQ(config.frames, 1);
    EXPECT_DOUBLE_EQ(config.dt, 0.016);
    EXPECT_EQ(config.seed, 1u);
    EXPECT_EQ(config.dir, "");
    EXPECT_TRUE(config.events.empty());
    EXPECT_TRUE(config.shots.empty());
    EXPECT_FALSE(config.help);
}

TEST(HeadlessArgs, ReadsEveryOption) {
    TempDir dir;
    std::string script = dir.write("in.txt", "2 down Space\n3 move 4 5\n");
    std::string missionDir = dir.path().string();
    HeadlessConfig config;
    std::string error;
    ASSERT_TRUE(parseArgs({"--size", "320x200", "--frames", "40", "--dt", "0.02", "--seed",
                           "4294967295", "--dir", missionDir.c_str(), "--script", script.c_str(),
                           "--shot", "3:a.png", "--shot", "40:sub/b.PNG"},
                          config, error))
        << error;
    EXPECT_EQ(config.width, 320);
    EXPECT_EQ(config.height, 200);
    EXPECT_EQ(config.frames, 40);
    EXPECT_DOUBLE_EQ(config.dt, 0.02);
    EXPECT_EQ(config.seed, 4294967295u);
    EXPECT_EQ(config.dir, missionDir);
    ASSERT_EQ(config.events.size(), 2u);
    EXPECT_EQ(config.events[0].key, VK_SPACE);
    EXPECT_EQ(config.events[1].x, 4);
    ASSERT_EQ(config.shots.size(), 2u);
    EXPECT_EQ(config.shots[0].frame, 3);
    EXPECT_EQ(config.shots[0].path, "a.png");
    EXPECT_EQ(config.shots[1].frame, 40);
    EXPECT_EQ(config.shots[1].path, "sub/b.PNG");
}

TEST(HeadlessArgs, FramesDefaultToTheLastShotAndAShotOnTheLastFrameIsAllowed) {
    HeadlessConfig config;
    std::string error;
    ASSERT_TRUE(parseArgs({"--shot", "7:a.png", "--shot", "2:b.png"}, config, error)) << error;
    EXPECT_EQ(config.frames, 7);
    ASSERT_TRUE(parseArgs({"--frames", "3", "--shot", "3:a.png"}, config, error)) << error;
    EXPECT_EQ(config.frames, 3);
}

TEST(HeadlessArgs, SizeLimitsAndSmallestValuesAreAccepted) {
    HeadlessConfig config;
    std::string error;
    ASSERT_TRUE(parseArgs({"--size", "1x16384", "--frames", "1", "--dt", "1", "--seed", "0"},
                          config, error))
        << error;
    EXPECT_EQ(config.width, 1);
    EXPECT_EQ(config.height, 16384);
    EXPECT_DOUBLE_EQ(config.dt, 1.0);
    EXPECT_EQ(config.seed, 0u);
}

TEST(HeadlessArgs, HelpWinsWhereverItStands) {
    HeadlessConfig config;
    std::string error;
    ASSERT_TRUE(parseArgs({"--help"}, config, error));
    EXPECT_TRUE(config.help);
    ASSERT_TRUE(parseArgs({"--frames", "2", "--help", "--bogus"}, config, error));
    EXPECT_TRUE(config.help);
    EXPECT_NE(std::string(headlessUsage()).find("--shot N:"), std::string::npos);
}

TEST(HeadlessArgs, BadValuesAreRefusedNamingTheOptionAndValue) {
    struct Case {
        std::vector<const char*> args;
        const char* mention;
    };
    const Case cases[] = {
        {{"--size", "0x200"}, "--size"},
        {{"--size", "16385x200"}, "'16385x200'"},
        {{"--size", "320"}, "'320'"},
        {{"--size", "320x"}, "'320x'"},
        {{"--size", "x200"}, "'x200'"},
        {{"--size", "320x200x1"}, "'320x200x1'"},
        {{"--size", "320X200"}, "'320X200'"},
        {{"--size", " 320x200"}, "--size"},
        {{"--size", "-320x200"}, "--size"},
        {{"--size", "99999999999999999999x2"}, "--size"},
        {{"--frames", "0"}, "--frames"},
        {{"--frames", "-3"}, "'-3'"},
        {{"--frames", "2.0"}, "'2.0'"},
        {{"--frames", "3abc"}, "'3abc'"},
        {{"--frames", "2147483648"}, "'2147483648'"},
        {{"--frames", ""}, "--frames"},
        {{"--dt", "0"}, "--dt"},
        {{"--dt", "-0.01"}, "'-0.01'"},
        {{"--dt", "1.0001"}, "'1.0001'"},
        {{"--dt", "nan"}, "'nan'"},
        {{"--dt", "inf"}, "'inf'"},
        {{"--dt", "0.016s"}, "'0.016s'"},
        {{"--dt", "1e999"}, "'1e999'"},
        {{"--seed", "-1"}, "'-1'"},
        {{"--seed", "4294967296"}, "'4294967296'"},
        {{"--seed", "0x10"}, "'0x10'"},
        {{"--shot", "0:a.png"}, "'0:a.png'"},
        {{"--shot", "a.png"}, "'a.png'"},
        {{"--shot", "x:a.png"}, "'x:a.png'"},
        {{"--shot", "3:"}, "'3:'"},
        {{"--shot", "3:.png"}, "'3:.png'"},
        {{"--shot", "3:a.bmp"}, "'3:a.bmp'"},
        {{"--frames", "3", "--shot", "4:a.png"}, "beyond --frames 3"},
        {{"--shot", "4:a.png", "--frames", "3"}, "beyond --frames 3"},
        {{"--frames", "2", "--frames", "3"}, "--frames given twice"},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--watch"}, "--watch: it watches the recording --replay names, and none is named"},
        {{"--replay", "a.kvr", "--watch", "--seed", "3"}, "--seed cannot be given with it"},
        {{"frames"}, "unexpected argument 'frames'"},
        {{"--frames"}, "--frames needs a value"},
        {{"--size", "320x200", "--shot"}, "--shot needs a value"},
    };
    for (const Case& c : cases) {
        std::string error = argsError(c.args);
        EXPECT_NE(error.find(c.mention), std::string::npos)
            << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "") << " -> " << error;
    }
}

TEST(HeadlessArgs, MissingFilesAndDirectoriesAreRefused) {
    TempDir dir;
    std::string file = dir.write("file.txt", "");
    std::string missing = (dir.path() / "missing").string();
    std::string directory = dir.path().string();

    EXPECT_NE(argsError({"--dir", missing.c_str()}).find("--dir: '" + missing), std::string::npos);
    EXPECT_NE(argsError({"--dir", file.c_str()}).find("is not a directory"), std::string::npos);
    EXPECT_NE(argsError({"--dir", ""}).find("--dir"), std::string::npos);
    EXPECT_NE(argsError({"--script", missing.c_str()}).find("--script: cannot read"),
              std::string::npos);
    EXPECT_NE(argsError({"--script", directory.c_str()}).find("is a directory"), std::string::npos);
}

TEST(HeadlessArgs, ABadScriptLineIsReportedWithItsFileAndLine) {
    TempDir dir;
    std::string script = dir.write("in.txt", "1 down A\n\n5 down Foo\n");
    HeadlessConfig config;
    std::string error;
    EXPECT_FALSE(parseArgs({"--script", script.c_str()}, config, error));
    EXPECT_EQ(error, script + ":3: unknown key 'Foo'");
}

TEST(HeadlessArgs, ARefusedCommandLineLeavesTheConfigAlone) {
    HeadlessConfig config;
    config.width = 77;
    std::string error;
    EXPECT_FALSE(parseArgs({"--size", "320x200", "--frames", "0"}, config, error));
    EXPECT_EQ(config.width, 77);
}
