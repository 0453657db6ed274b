// The recording reader under libFuzzer. Bytes that start like gzip are read
// as a recording file, anything else as the data inside one (so the fuzzer
// reaches the records without having to forge checksums). A recording the
// reader takes must hold together (every frame's input changes inside the
// list, reads and digests after a frame and no larger than the game reads)
// and, when short, is played through the whole game without a display: a
// recording from anywhere must never crash it or read out of bounds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/session.h"
#include "ports/headless/headless.h"
#include "replay/recording.h"

namespace {

void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "replay_fuzzer: %s\n", what);
    std::abort();
}

void requireWhole(const recording& r) {
    require(r.width >= 1 && r.height >= 1 && r.width <= 16384 && r.height <= 16384, "size");
    for (const recordedFrame& f : r.frames) {
        require(f.input <= r.inputs.size() && f.changes <= r.inputs.size() - f.input,
                "a frame's input changes outside the list");
        require(f.t <= 0.05f && f.t == f.t, "a frame time past the cap");
    }
    for (const missionRead& m : r.reads) {
        require(m.frame >= 1 && m.frame <= r.frames.size(), "a read outside the frames");
        require(m.bytes.size() <= maxMissionRead, "a read larger than a mission");
        require(m.found || m.bytes.empty(), "bytes of a file not found");
    }
    std::uint32_t last = 0;
    for (const checkpoint& c : r.checkpoints) {
        require(c.frame > last && c.frame <= r.frames.size(), "a digest out of order");
        require(c.parts.size() == std::size_t(digestPartCount), "a digest's parts");
        last = c.frame;
    }
}

// Short recordings at a small size are played whole: a run costs little.
constexpr std::size_t playedFrames = 200;
constexpr int playedPixels = 320 * 240;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Saves a played recording makes land in a folder of the fuzzer's own.
    std::error_code ec;
    const auto dir = std::filesystem::temp_directory_path(ec) / "korvane-replay-fuzz";
    std::filesystem::create_directories(dir, ec);
    std::filesystem::current_path(dir, ec);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    recording r;
    std::string error;
    const bool gzip = size >= 2 && data[0] == 0x1f && data[1] == 0x8b;
    const bool ok = gzip ? parseRecording(bytes, r, error) : parseRecordingData(bytes, r, error);
    if (!ok) {
        require(!error.empty() && error.find('\n') == std::string::npos, "an unclear refusal");
        return 0;
    }
    requireWhole(r);
    if (r.frames.size() > playedFrames || r.width * r.height > playedPixels) return 0;

    // The same recording from a file, through the headless runner's path.
    const std::string path = "played.kvr";
    if (!writeRecording(path, r, error)) {
        // Only a file that cannot be made may refuse: what was read writes again.
        require(error.rfind("cannot write a recording to", 0) == 0,
                "a recording could not be written again");
        return 0;
    }

    sessionOptions o;
    o.play = path;
    o.who = "replay_fuzzer";
    o.boxes = false;
    sessionConfigure(o);
    HeadlessConfig config;
    config.frames = int(r.frames.size());
    headlessConfigure(config);
    gameMain(nullptr); // departures and the game's messages are fine; a crash is not
    return 0;
}
