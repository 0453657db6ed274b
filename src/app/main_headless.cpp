// korvane-headless: the game without a display, for tests and tools. It runs a
// fixed number of frames with a scripted clock and input and saves the frames
// asked for as PNG files. Exit status: 0 when the run ends, 1 when the game
// cannot start or a shot was not saved, 2 for a bad command line or script.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/app.h"
#include "platform/headless.h"

namespace {

int usageError(const std::string& message) {
    std::fprintf(stderr, "korvane-headless: %s\n", message.c_str());
    return 2;
}

int run(int argc, char** argv) {
    HeadlessConfig config;
    std::string error;
    if (!parseHeadlessArgs(argc - 1, argv + 1, config, error)) return usageError(error);
    if (config.help) {
        std::fputs(headlessUsage(), stdout);
        return 0;
    }

    // Shots are named from where the runner was started; --dir only moves the
    // game to its mission files.
    for (HeadlessShot& shot : config.shots) {
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(shot.path, ec);
        if (ec) return usageError("--shot: cannot resolve '" + shot.path + "': " + ec.message());
        shot.path = absolute.string();
    }
    if (!config.dir.empty()) {
        std::error_code ec;
        std::filesystem::current_path(config.dir, ec);
        if (ec) {
            return usageError("--dir: cannot change to '" + config.dir + "': " + ec.message());
        }
    }

    headlessConfigure(config);
    int result = gameMain(nullptr);
    if (headlessFailed()) return 1;
    return result;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane-headless: %s\n", e.what());
        return 1;
    }
}
