// Running a piece of a test as an ordinary user: root ignores permission
// bits, so cases about files that may not be written run in a child process
// that has given up root, in a scratch folder of its own, and report back.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

struct ChildRun {
    enum How { done, skipped, failed } how = failed;
    std::string text; // what the work returned, or why it did not run
};

// Runs work(dir) in a child process, dir being a fresh folder the child owns,
// and returns the text it returned. When this process is root the child first
// becomes nobody (uid and gid 65534, no other groups); if it cannot, the run
// is skipped and text says why. A child that dies or hangs is a failure.
ChildRun runUnprivileged(const std::function<std::string(const std::filesystem::path&)>& work);
