// What the whole-game and tool tests share: a scratch directory of a test's
// own, removed afterwards; a program run in it with its exit status and both
// outputs; and whole files read and written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

std::string readFile(const fs::path& path);
std::vector<unsigned char> readBytes(const fs::path& path);
void writeBytes(const fs::path& path, const std::vector<unsigned char>& bytes);

// A fresh, empty directory under the system's temporary folder, unique to
// this process and this object; removed with everything in it at the end.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix = "korvane-test");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

struct ProcessRun {
    int status = -1; // exit status, or -1 when the program did not exit normally
    std::string out, err;
};

// Runs argv[0] with its arguments in dir, standard output and error captured
// (in dir/.stdout and dir/.stderr). A program that hangs is killed after
// alarmSeconds, long before any test harness gives up.
ProcessRun runIn(const fs::path& dir, const std::vector<std::string>& argv,
                 unsigned alarmSeconds = 600);

// korvane-headless run in dir with args, killed after alarmSeconds.
ProcessRun headless(const fs::path& dir, std::vector<std::string> args,
                    unsigned alarmSeconds = 600);

// The "digest <frame> <hex>" lines of a run's output, in order.
std::vector<std::string> digestLines(const std::string& out);
