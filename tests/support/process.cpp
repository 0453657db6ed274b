// Scratch directories, child processes and whole files for the tests.
#include "support/process.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> readBytes(const fs::path& path) {
    const std::string s = readFile(path);
    return std::vector<unsigned char>(s.begin(), s.end());
}

void writeBytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

ScratchDir::ScratchDir(const std::string& prefix) {
    static int n = 0;
    path_ = fs::temp_directory_path() /
            (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

ProcessRun runIn(const fs::path& dir, const std::vector<std::string>& argv, unsigned alarmSeconds) {
    std::vector<std::string> args(argv);
    std::vector<char*> pointers;
    for (std::string& a : args) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    const fs::path outPath = dir / ".stdout", errPath = dir / ".stderr";

    ProcessRun run;
    if (args.empty()) return run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        FILE* out = std::freopen(outPath.c_str(), "w", stdout);
        FILE* err = std::freopen(errPath.c_str(), "w", stderr);
        if (!out || !err || ::chdir(dir.c_str()) != 0) ::_exit(126);
        ::alarm(alarmSeconds);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return run;
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}

ProcessRun headless(const fs::path& dir, std::vector<std::string> args, unsigned alarmSeconds) {
    args.insert(args.begin(), KORVANE_HEADLESS);
    return runIn(dir, args, alarmSeconds);
}

std::vector<std::string> digestLines(const std::string& out) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while ((at = out.find("digest ", at)) != std::string::npos) {
        const std::size_t end = out.find('\n', at);
        lines.push_back(out.substr(at, end - at));
        at = end;
    }
    return lines;
}
