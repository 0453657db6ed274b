// kvxtool replay FILE: the summary of a recording (seed, size, frames, the
// frame times it measured, input, mission reads, digests); with --at N, the
// recording played to frame N and the mission as it stood then, as JSON; with
// --script, its input as a korvane-headless script; with --times, every
// frame's measured time.
#include "replay.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/app.h"
#include "app/session.h"
#include "files.h"
#include "mission_json.h"
#include "ports/headless/headless.h"
#include "replay/recording.h"

namespace {

const char* const help =
    "usage: kvxtool replay FILE.kvr [--at N | --script | --times]\n"
    "Tells what a recording of a game holds: the seed, the window size, the\n"
    "frames and the game time they measured, the frame times (median, 95th\n"
    "percentile, worst), the input changes, the mission files read and the\n"
    "digests. With --at N, plays the recording to frame N without a display and\n"
    "prints the mission as it stood after that frame, as JSON (kvxtool build\n"
    "turns it into a mission file that plays on from there). With --script,\n"
    "prints the recording's input as a korvane-headless script; with --times,\n"
    "the frame time each frame measured, in seconds, one frame a line.\n"
    "A recording cut off (a game killed or crashed as it recorded) reads to its\n"
    "last whole frame: one line says where it ends early.\n"
    "Exit status: 0 done; 1 the playback departed from the recording before\n"
    "frame N; 2 the file is not a recording or a bad option; 3 done, on a\n"
    "recording that ends early.\n";

int refuse(const std::string& problem) {
    std::fprintf(stderr, "kvxtool replay: %s\n", problem.c_str());
    return 2;
}

double percentile(std::vector<float> v, double p) {
    std::sort(v.begin(), v.end());
    const std::size_t i = std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

void summary(const std::string& path, const recording& r) {
    std::printf("%s: seed %u, window %dx%d, %zu frames\n", path.c_str(), r.seed, r.width, r.height,
                r.frames.size());
    // The first frame measures from start-up, so the frame times start at the second.
    std::vector<float> times;
    double total = 0;
    for (std::size_t i = 0; i < r.frames.size(); ++i) {
        total += r.frames[i].t;
        if (i > 0) times.push_back(r.frames[i].t);
    }
    std::printf("game time measured: %.2f s\n", total);
    if (!times.empty())
        std::printf("frame times: median %.2f ms, 95th percentile %.2f ms, worst %.2f ms\n",
                    1000 * percentile(times, 0.5), 1000 * percentile(times, 0.95),
                    1000 * *std::max_element(times.begin(), times.end()));
    std::printf("input changes: %zu\n", r.inputs.size());
    for (const missionRead& m : r.reads)
        std::printf("frame %u: read %s%s\n", m.frame, m.name.c_str(),
                    m.found ? "" : " (not found)");
    std::printf("digests: %zu\n", r.checkpoints.size());
}

// The input as korvane-headless script lines: what changed before each frame.
void script(const recording& r) {
    for (std::size_t f = 0; f < r.frames.size(); ++f) {
        for (std::uint32_t i = 0; i < r.frames[f].changes; ++i) {
            const inputChange& c = r.inputs[r.frames[f].input + i];
            if (c.what == inputChange::key)
                std::printf("%zu %s %s\n", f + 1, c.b ? "down" : "up",
                            headlessKeyName(c.a).c_str());
            else if (c.what == inputChange::cursor)
                std::printf("%zu move %d %d\n", f + 1, c.a, c.b);
            else
                std::printf("%zu focus %s\n", f + 1, c.a ? "on" : "off");
        }
    }
}

// The mission as it stands in the game's state after a run.
std::unique_ptr<Mission> missionNow() {
    auto m = std::make_unique<Mission>();
    const auto* ships = static_cast<const ship*>(watched(partShip0));
    const auto* you = static_cast<const int*>(watched(partPlayerShip));
    const auto* sid = static_cast<const int*>(watched(partPlayerSide));
    const auto* sucfil = static_cast<const char*>(watched(partSuccessFile));
    const auto* faifil = static_cast<const char*>(watched(partFailureFile));
    const auto* note = static_cast<const char*>(watched(partMessage));
    if (!ships || !you || !sid || !sucfil || !faifil || !note) return nullptr;
    std::copy(ships, ships + shipCount, m->a);
    m->you = *you;
    m->sid = *sid;
    std::copy(sucfil, sucfil + fileNameSize, m->sucfil);
    std::copy(faifil, faifil + fileNameSize, m->faifil);
    std::copy(note, note + noteSize, m->note);
    return m;
}

} // namespace

int playUnseen(const std::string& path, const char* who, const HeadlessConfig& config) {
    sessionOptions o;
    o.play = path;
    o.who = who;
    o.boxes = false;
    o.scratchDir = true; // saves the game makes on the way land nowhere
    sessionConfigure(o);
    headlessConfigure(config);
    const int played = gameMain(nullptr);
    headlessConfigure(HeadlessConfig{}); // a frame callback holds its caller's locals
    return played;
}

int replayCommand(const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--help") != args.end())
        return std::fputs(help, stdout), 0;
    std::string path;
    long at = 0;
    bool asScript = false, times = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--script") {
            asScript = true;
        } else if (args[i] == "--times") {
            times = true;
        } else if (args[i] == "--at") {
            if (i + 1 >= args.size() || !wholeNumber(args[i + 1], 1, 1L << 30, at))
                return refuse("--at needs a frame number from 1");
            ++i;
        } else if (args[i].starts_with("-") || !path.empty()) {
            return refuse("unexpected '" + args[i] + "' (see kvxtool replay --help)");
        } else {
            path = args[i];
        }
    }
    if (path.empty()) return refuse("expected a recording (see kvxtool replay --help)");
    recording r;
    std::string error;
    if (!readRecording(path, r, error)) return refuse(path + ": " + error);
    if (int(asScript) + int(times) + int(at != 0) > 1)
        return refuse("--at, --script and --times go one at a time");
    // A cut recording is told of once, and gives its own status.
    const int done = r.endsEarly ? 3 : 0;
    auto tell = [&] {
        if (r.endsEarly) std::fprintf(stderr, "kvxtool replay: %s\n", endsEarlyLine(path, r).c_str());
    };
    if (at == 0) tell();
    if (asScript) {
        script(r);
        return done;
    }
    if (times) {
        for (const recordedFrame& f : r.frames) std::printf("%.9g\n", double(f.t));
        return done;
    }
    if (at == 0) {
        summary(path, r);
        return done;
    }
    if (std::size_t(at) > r.frames.size())
        return refuse("--at " + std::to_string(at) + ": the recording has " +
                      std::to_string(r.frames.size()) + " frames");

    HeadlessConfig config;
    config.frames = int(at);
    const int played = playUnseen(path, "kvxtool replay", config);
    if ((played != 0 && played != 3) || sessionFailed()) return 1;
    if (!sessionEndedEarly()) tell(); // a playback to the end has said it
    const std::unique_ptr<Mission> m = missionNow();
    if (!m) return refuse(path + ": the game had not started by frame " + std::to_string(at));
    std::fputs(jsonText(missionToJson(*m)).c_str(), stdout);
    return done;
}
