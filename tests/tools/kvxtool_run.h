// Running kvxtool as a process from the tests, in a scratch directory of the
// test's own, with its exit status and both outputs. Header-only.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/mission_file.h"

namespace kvxtest {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1; // exit status, or -1 when kvxtool did not exit normally
    std::string out, err;

    // The lines of standard error (or output), without their line ends.
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> v;
        std::size_t from = 0;
        while (from < text.size()) {
            std::size_t end = text.find('\n', from);
            if (end == std::string::npos) end = text.size();
            v.push_back(text.substr(from, end - from));
            from = end + 1;
        }
        return v;
    }
};

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<unsigned char> readBytes(const fs::path& path) {
    const std::string s = slurp(path);
    return std::vector<unsigned char>(s.begin(), s.end());
}

inline void writeBytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A fresh directory for one test, removed afterwards.
class Scratch {
public:
    Scratch() {
        static int n = 0;
        path_ = fs::temp_directory_path() /
                ("korvane-kvxtool-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }

    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }
    void write(const std::string& name, Mission& m) const {
        writeBytes(path_ / name, missionBytes(m.refs()));
    }

    // kvxtool with the arguments, run in this directory.
    ToolRun run(const std::vector<std::string>& args) const {
        std::vector<std::string> all = {KORVANE_KVXTOOL};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        const fs::path outPath = path_ / ".stdout", errPath = path_ / ".stderr";
        const pid_t pid = ::fork();
        if (pid == 0) {
            FILE* out = std::freopen(outPath.c_str(), "w", stdout);
            FILE* err = std::freopen(errPath.c_str(), "w", stderr);
            if (!out || !err || ::chdir(path_.c_str()) != 0) ::_exit(126);
            ::alarm(600); // a hanging tool dies before the test harness gives up
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ToolRun r;
        int status = 0;
        if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return r;
        if (WIFEXITED(status)) r.status = WEXITSTATUS(status);
        r.out = slurp(outPath);
        r.err = slurp(errPath);
        return r;
    }

private:
    fs::path path_;
};

} // namespace kvxtest
