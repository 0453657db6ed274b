// korvane-headless: the game without a display, for tests and tools. It runs a
// fixed number of frames with a scripted clock and input, or plays a
// recording back, and saves the frames asked for as PNG files. Exit status: 0
// when the run ends, 1 when the game cannot start, a shot was not saved or a
// playback departed from its recording, 2 for a bad command line, script or
// recording.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/app.h"
#include "app/session.h"
#include "ports/headless/headless.h"

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

    // Shots, recordings and the sound are named from where the runner was started; --dir
    // only moves the game to its mission files.
    auto absolute = [](std::string& path) {
        std::error_code ec;
        std::filesystem::path p = std::filesystem::absolute(path, ec);
        if (!ec) path = p.string();
        return !ec;
    };
    for (HeadlessShot& shot : config.shots) {
        if (!absolute(shot.path)) return usageError("--shot: cannot resolve '" + shot.path + "'");
    }
    if (!config.replay.empty() && !absolute(config.replay))
        return usageError("--replay: cannot resolve '" + config.replay + "'");
    if (!config.record.empty() && !absolute(config.record))
        return usageError("--record: cannot resolve '" + config.record + "'");
    if (!config.settings.empty() && !absolute(config.settings))
        return usageError("--settings: cannot resolve '" + config.settings + "'");
    if (!config.wav.empty() && !absolute(config.wav))
        return usageError("--wav: cannot resolve '" + config.wav + "'");
    if (!config.dir.empty()) {
        std::error_code ec;
        std::filesystem::current_path(config.dir, ec);
        if (ec) {
            return usageError("--dir: cannot change to '" + config.dir + "': " + ec.message());
        }
    }

    // Recording and playback as asked on the command line; KORVANE_RECORD
    // records here as it does in the real game.
    sessionOptions session = sessionFromEnvironment();
    session.who = "korvane-headless";
    session.boxes = false;
    session.play = config.replay;
    session.watch = config.watch;
    if (!config.record.empty()) session.record = config.record;
    session.digestEvery = config.digestEvery;
    session.scratchDir = !config.replay.empty() && config.dir.empty();
    sessionConfigure(session);
    if (!sessionOpen()) return 2; // the recording was refused, and said why
    if (!config.replay.empty() && config.frames == 0) config.frames = sessionPlayFrames();
    // A playback's window is the recording's frame, so its shots are too.
    if (!config.replay.empty() && !config.sized) sessionSize(config.width, config.height);

    headlessConfigure(config);
    int result = gameMain(nullptr);
    if (headlessFailed() || sessionFailed()) return 1;
    return result; // 3: a recording that ends early, played to there
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
