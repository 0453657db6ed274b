// Recording and playback of whole games, and the digests that check them.
#include "app/session.h"

#include "app/fatal_signals.h"
#include "app/notices.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "mission/mission_file.h"
#include "frame/frame.h"
#include "gdi/surface.h"
#include "platform/system.h"
#include "replay/recording.h"

namespace fs = std::filesystem;

static_assert(maxMissionRead == std::uint32_t(missionFileSize));

namespace {

// Digests go into recordings after every this many frames unless asked otherwise.
constexpr int recordDigestEvery = 100;

struct session {
    sessionOptions options;
    bool configured = false;
    bool opened = false;

    recording played; // the recording being played back
    bool playing = false;
    inputState playedInput; // what it has the game read this frame
    std::size_t nextRead = 0;
    std::size_t nextCheckpoint = 0;

    recorder rec;
    bool recordingOn = false;
    inputState recordedInput; // the input as the recording stands

    std::uint32_t frame = 0; // frames begun, counted from 1
    bool failed = false;
    bool endedEarly = false; // a cut-off recording played to its last whole frame
    bool quiet = false;      // frames are not checked, printed or recorded (sessionQuiet)
    bool seen = true;        // the frame running is shown (sessionFrameSeen)
    bool saidDeparts = false; // a watched playback's departure was told
    fs::path home;    // where the run started, before any scratch folder
    fs::path scratch; // the scratch folder, when there is one
};

session& state() {
    static session s;
    return s;
}

void say(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", state().options.who, text.c_str());
}

// A problem with a recording: said, and in the real game shown too.
void complain(const std::string& text) {
    say(text);
    if (state().options.boxes) sysMessageBox("Korvane", text.c_str());
}

// Applies one recorded change to an input state.
void apply(inputState& s, const inputChange& c) {
    switch (c.what) {
    case inputChange::key:
        s.keys[c.a & 0xFF] = c.b != 0;
        break;
    case inputChange::cursor:
        s.x = c.a;
        s.y = c.b;
        break;
    case inputChange::focus:
        s.focus = c.a != 0;
        break;
    case inputChange::size:
        s.width = c.a;
        s.height = c.b;
        break;
    case inputChange::palette:
        s.palette = c.a;
        break;
    }
}

// Records what changed from `was` to `now`, and makes `was` the same.
void recordChanges(recorder& r, inputState& was, const inputState& now) {
    if (now.width != was.width || now.height != was.height)
        recordInput(r, {inputChange::size, now.width, now.height});
    if (now.palette != was.palette) recordInput(r, {inputChange::palette, now.palette, 0});
    if (now.focus != was.focus) recordInput(r, {inputChange::focus, now.focus ? 1 : 0, 0});
    if (now.x != was.x || now.y != was.y) recordInput(r, {inputChange::cursor, now.x, now.y});
    for (int vk = 0; vk < 256; ++vk)
        if (now.keys[vk] != was.keys[vk])
            recordInput(r, {inputChange::key, vk, now.keys[vk] ? 1 : 0});
    was = now;
}

// A departure from the recording being played. While it is also being
// recorded afresh (rewriting a recording after an intended change), the run
// goes on and reports each checkpoint that moved; otherwise it ends, failed.
void depart(const std::string& what) {
    session& s = state();
    if (s.recordingOn) {
        std::printf("moved: frame %" PRIu32 ": %s\n", s.frame, what.c_str());
        return;
    }
    if (!s.failed) {
        say(s.options.play + ": frame " + std::to_string(s.frame) +
            " departs from the recording: " + what);
    }
    s.failed = true;
    // Watched, it goes on (a build whose arithmetic differs in the last bit
    // drifts from the recording), saying so once and checking no further.
    if (s.options.watch) {
        if (!s.saidDeparts)
            notify("From frame " + std::to_string(s.frame) +
                       " on, what is shown departs from the recording", 6);
        s.saidDeparts = true;
        return;
    }
    sysQuit();
}

std::string hex(std::uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, v);
    return text;
}

// The frame's pixels, hashed a 64-bit word at a time; 0 where the pixels are
// GDI's own (the Windows build), which are not ours to read.
std::uint64_t pictureOf(HDC frame) {
#if defined(_WIN32)
    (void)frame;
    return 0;
#else
    if (!frame) return 0;
    const Surface s = dcSurface(frame);
    if (!s.pixels) return 0;
    std::uint64_t h = 14695981039346656037ull;
    const std::size_t count = std::size_t(s.width) * std::size_t(s.height);
    for (std::size_t i = 0; i < count; ++i) {
        h ^= s.pixels[i];
        h *= 1099511628211ull;
    }
    return h == 0 ? 1 : h;
#endif
}

void checkDigest(const checkpoint& c, const stateDigest& d, std::uint64_t picture) {
    // The state first: a change there shows in the picture too. With the
    // state alike, the picture tells a change of what is drawn.
    if (c.total == d.total) {
        if (c.picture != 0 && picture != 0 && c.picture != picture)
            depart("the picture, the state alike (picture " + hex(picture) + ", recorded " +
                   hex(c.picture) + ")");
        return;
    }
    std::string parts;
    for (int p = 0; p < digestPartCount; ++p) {
        if (c.parts[std::size_t(p)] == std::uint16_t(d.parts[p])) continue;
        parts += (parts.empty() ? "" : ", ") + digestPartName(p);
    }
    if (parts.empty()) parts = "the state (no single part stands out)";
    depart(parts + " (digest " + hex(d.total) + ", recorded " + hex(c.total) + ")");
}

bool makeScratch(session& s) {
    std::error_code ec;
    s.home = fs::current_path(ec);
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return false;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int i = 0; i < 100; ++i) {
        const fs::path p =
            base / ("korvane-replay-" + std::to_string(stamp) + "-" + std::to_string(i));
        if (fs::create_directory(p, ec)) {
            fs::current_path(p, ec);
            if (ec) return false;
            s.scratch = p;
            return true;
        }
    }
    return false;
}

} // namespace

sessionOptions sessionFromEnvironment() {
    sessionOptions o;
    if (const char* r = std::getenv("KORVANE_RECORD")) o.record = r;
    if (const char* p = std::getenv("KORVANE_REPLAY")) o.play = p;
    o.scratchDir = !o.play.empty(); // a playback never writes into the player's folder
    o.watch = !o.play.empty();      // and is watched in the viewer
    return o;
}

void sessionConfigure(const sessionOptions& o) {
    session& s = state();
    s = session{};
    s.options = o;
    s.configured = true;
}

bool sessionOpen() {
    session& s = state();
    if (s.opened) return true;
    if (!s.configured) s.options = sessionFromEnvironment();
    s.configured = true;
    if (!s.options.play.empty()) {
        std::string error;
        if (!readRecording(s.options.play, s.played, error)) {
            complain(s.options.play + ": " + error);
            return false;
        }
        if (s.played.random != randomHere) {
            complain(s.options.play + ": it was recorded by the " +
                (s.played.random == randomWindows ? "Windows" : "Linux or browser") +
                " build, whose random numbers differ from this one's: play it back there");
            return false;
        }
        s.playing = true;
        s.playedInput.width = s.played.width;
        s.playedInput.height = s.played.height;
        if (s.options.scratchDir && !makeScratch(s)) {
            complain("cannot make a scratch folder to play " + s.options.play + " in");
            return false;
        }
    }
    s.opened = true;
    return true;
}

void sessionSize(int& width, int& height) {
    const session& s = state();
    if (!s.playing) return;
    width = s.played.width;
    height = s.played.height;
}

unsigned sessionSeed(unsigned systemSeed) {
    const session& s = state();
    return s.playing ? s.played.seed : systemSeed;
}

void sessionStart(unsigned seed, int width, int height) {
    session& s = state();
    // A watched playback runs its frames out of order: it records only from
    // a take-over on.
    if (s.options.record.empty() || sessionWatching()) return;
    // A recording named relative to where the run started, also when playing
    // back in a scratch folder.
    fs::path path = s.options.record;
    if (path.is_relative() && !s.home.empty()) path = s.home / path;
    std::string error;
    s.recordedInput.width = width;
    s.recordedInput.height = height;
    s.recordingOn = recordStart(s.rec, path.string(), seed, width, height, error);
    if (s.recordingOn) fatalSignalsSay(s.options.who, path.string());
    if (!s.recordingOn) {
        complain(error + "; playing without recording");
        s.failed = true;
    }
}

bool sessionFrame(float& t, inputState& input) {
    session& s = state();
    ++s.frame;
    if (s.playing) {
        if (s.frame > s.played.frames.size()) return false;
        const recordedFrame& f = s.played.frames[s.frame - 1];
        for (std::size_t i = f.input; i < f.input + f.changes; ++i)
            apply(s.playedInput, s.played.inputs[i]);
        t = f.t;
        input = s.playedInput;
    }
    if (s.recordingOn) {
        recordChanges(s.rec, s.recordedInput, input);
        recordFrame(s.rec, t);
    }
    return true;
}

bool sessionPlaying() { return state().playing; }

bool sessionWatching() { return state().playing && state().options.watch; }

int sessionFrameNow() { return int(state().frame); }

std::string sessionFirstMission() {
    const session& s = state();
    return s.playing && !s.played.reads.empty() ? s.played.reads.front().name : "";
}

void sessionQuiet(bool quiet) { state().quiet = quiet; }

void sessionFrameSeen(bool seen) { state().seen = seen; }

void sessionSay(const char* caption, const std::string& text) {
    const session& s = state();
    if (!sessionWatching()) {
        sysMessageBox(caption, text.c_str());
    } else if (s.seen && !s.quiet) {
        notify(std::string(caption) + ": " + text, 4);
    }
}

void sessionFrameDone(HDC frame) {
    session& s = state();
    if (s.quiet) return;
    const int every = s.options.digestEvery;
    const bool print = every > 0 && s.frame % std::uint32_t(every) == 0;
    const bool check = s.playing && s.nextCheckpoint < s.played.checkpoints.size() &&
                       s.played.checkpoints[s.nextCheckpoint].frame == s.frame;
    const bool keep =
        s.recordingOn && s.frame % std::uint32_t(every > 0 ? every : recordDigestEvery) == 0;
    if (!print && !check && !keep) return;
    const stateDigest d = digestState();
    if (print) {
        std::printf("digest %" PRIu32 " %s\n", s.frame, hex(d.total).c_str());
        std::fflush(stdout);
    }
    const std::uint64_t picture = check || keep ? pictureOf(frame) : 0;
    if (check) checkDigest(s.played.checkpoints[s.nextCheckpoint++], d, picture);
    if (keep) recordDigest(s.rec, d, picture);
}

void sessionClose() {
    session& s = state();
    playInput(nullptr);
    if (s.playing && s.played.endsEarly && s.frame >= s.played.frames.size() && !s.endedEarly) {
        say(endsEarlyLine(s.options.play, s.played));
        s.endedEarly = true;
    }
    fatalSignalsOff();
    if (s.recordingOn && !recordFinish(s.rec)) {
        say("the recording " + s.options.record + " could not be written whole");
        s.failed = true;
    }
    s.recordingOn = false;
    if (!s.scratch.empty()) {
        std::error_code ec;
        fs::current_path(s.home, ec);
        fs::remove_all(s.scratch, ec);
        s.scratch.clear();
    }
}

bool sessionReadMission(const char* path, std::vector<unsigned char>& bytes) {
    session& s = state();
    bool found = false;
    const std::string name = path;
    if (s.playing && s.nextRead < s.played.reads.size() &&
        s.played.reads[s.nextRead].name == name) {
        const missionRead& r = s.played.reads[s.nextRead++];
        if (r.frame != s.frame) {
            depart("it read " + name + ", which the recording read in frame " +
                   std::to_string(r.frame));
        }
        bytes = r.bytes;
        found = r.found;
    } else {
        if (s.playing) {
            const std::string recorded = s.nextRead < s.played.reads.size()
                                             ? "read " + s.played.reads[s.nextRead].name
                                             : "read nothing more";
            depart("it read " + name + " where the recording " + recorded);
        }
        found = readMissionFile(path, bytes);
    }
    if (s.recordingOn) recordRead(s.rec, name, found, bytes);
    return found;
}

std::string sessionNextRead() {
    const session& s = state();
    return s.playing && s.nextRead < s.played.reads.size() ? s.played.reads[s.nextRead].name : "";
}

int sessionPlayFrames() {
    const session& s = state();
    return s.playing ? int(s.played.frames.size()) : 0;
}

bool sessionFailed() { return state().failed; }

bool sessionEndedEarly() { return state().endedEarly; }

sessionPlace sessionWhere() {
    const session& s = state();
    return {s.frame, s.nextRead, s.nextCheckpoint, s.playedInput};
}

void sessionGoTo(const sessionPlace& p) {
    session& s = state();
    s.frame = p.frame;
    s.nextRead = p.nextRead;
    s.nextCheckpoint = p.nextCheckpoint;
    s.playedInput = p.input;
}

const recording& sessionRecording() { return state().played; }


namespace {

// The recording being played, cut after frame `upTo`.
recording playedUpTo(const session& s, std::uint32_t upTo) {
    const recording& r = s.played;
    recording out;
    out.seed = r.seed;
    out.width = r.width;
    out.height = r.height;
    out.random = r.random;
    upTo = std::min<std::uint32_t>(upTo, std::uint32_t(r.frames.size()));
    out.frames.assign(r.frames.begin(), r.frames.begin() + upTo);
    const std::size_t inputs = upTo == 0 ? 0 : out.frames.back().input + out.frames.back().changes;
    out.inputs.assign(r.inputs.begin(), r.inputs.begin() + std::ptrdiff_t(inputs));
    for (const missionRead& m : r.reads)
        if (m.frame <= upTo) out.reads.push_back(m);
    for (const checkpoint& c : r.checkpoints)
        if (c.frame <= upTo) out.checkpoints.push_back(c);
    return out;
}

} // namespace

std::string timeStamp(const char* format) {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

namespace {

fs::path fromHome(const session& s, const std::string& path) {
    fs::path p = path;
    if (p.is_relative() && !s.home.empty()) p = s.home / p;
    return p;
}

} // namespace

bool sessionWriteClip(int from, int to, const std::string& path, std::string& error) {
    session& s = state();
    if (!s.playing || from < 1 || to < from) {
        error = "no stretch of a recording to save";
        return false;
    }
    recording clip = playedUpTo(s, std::uint32_t(to));
    clip.start = std::uint32_t(from);
    const fs::path p = fromHome(s, path);
    std::error_code ec;
    fs::create_directories(p.parent_path(), ec);
    return writeRecording(p.string(), clip, error);
}

bool sessionTakeOver(const std::string& path, std::string& error) {
    session& s = state();
    if (!s.playing) {
        error = "no recording is played";
        return false;
    }
    // Where the run records, else a new recording among the player's.
    const fs::path p = fromHome(s, !path.empty()          ? path
                                   : !s.options.record.empty() ? s.options.record
                                                               : "replays/" + timeStamp() + ".kvr");
    std::error_code ec;
    fs::create_directories(p.parent_path(), ec);
    const recording before = playedUpTo(s, s.frame);
    recorder r;
    if (s.recordingOn) recordFinish(s.rec); // a playback recorded afresh ends here
    s.recordingOn = false;
    if (!recordStart(r, p.string(), before.seed, before.width, before.height, error)) return false;
    recordFrames(r, before);
    s.rec = r;
    s.recordingOn = true;
    s.options.record = p.string();
    s.recordedInput = s.playedInput;
    s.playing = false;
    fatalSignalsSay(s.options.who, p.string());
    // The game goes on in the player's folder, not the playback's scratch one.
    if (!s.scratch.empty()) {
        fs::current_path(s.home, ec);
        fs::remove_all(s.scratch, ec);
        s.scratch.clear();
    }
    return true;
}

std::string sessionHome() {
    const session& s = state();
    std::error_code ec;
    return (s.home.empty() ? fs::current_path(ec) : s.home).string();
}
