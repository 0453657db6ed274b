// The headless window system: the functions of system.h without a display, for
// korvane-headless and the tests. Time is counted in frames, input comes from a
// script, frames asked for are saved as PNG and message boxes go to standard output.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ports/headless/headless.h"
#include "gdi/surface.h"
#include "platform/system.h"
#include "mission/safe_write.h"
#include "settings/settings.h"

namespace {

// Everything the backend holds for one run. headlessConfigure replaces it
// whole; without that call the defaults give one 1024x768 frame, focus on and
// the clock at 0, which is what unit tests calling game functions directly expect.
struct Backend {
    int width = 1024;
    int height = 768;
    int frames = 1;    // the pump reports quit once this many were shown
    double dt = 0.016; // seconds per shown frame
    unsigned seed = 1;
    std::vector<HeadlessEvent> events; // sorted by frame, file order kept within a frame
    std::size_t nextEvent = 0;         // events before this one were applied
    std::vector<HeadlessShot> shots;

    long long framesShown = 0;
    std::uint32_t tickOffset = 0; // added to the frame clock; set by headlessSetTicks
    double clockBase = 0;         // the clock, in unrounded ms, when dt last changed
    long long clockFrame = 0;     // framesShown then
    bool keys[256] = {};
    bool focus = true;
    POINT cursor{0, 0};
    bool quitPosted = false;
    std::vector<std::string> dropped; // files dropped on the window, not yet taken
    bool failed = false;
    HDC window = nullptr; // the frame, as the game draws it
    std::string settings; // --settings
    std::function<void(const std::uint32_t*, int, int)> onFrame;

    // The run's sound, written as it is mixed: a WAV file whose sizes are
    // filled in when the window closes.
    std::string wavPath;
    std::FILE* wav = nullptr;
    int audioRate = 0;
    double audioOwed = 0; // sample frames the clock has advanced but not yet asked for
    std::uint32_t wavFrames = 0;
};

Backend& state() {
    static Backend backend;
    return backend;
}

// The clock driven by frames alone: round(framesShown * dt * 1000) ms, wrapping
// at 2^32 like the tick count it stands for; after a script's dt, the frames
// since then at the new step, added to the clock as it stood.
double exactClock() {
    const Backend& b = state();
    return b.clockBase + double(b.framesShown - b.clockFrame) * b.dt * 1000.0;
}

std::uint32_t frameClock() {
    double ms = std::round(exactClock());
    double wrapped = std::fmod(ms, 4294967296.0);
    return std::uint32_t(wrapped >= 0 ? wrapped : 0);
}

void applyEvent(const HeadlessEvent& e) {
    Backend& b = state();
    switch (e.kind) {
    case HeadlessEvent::down:
    case HeadlessEvent::up:
        if (e.key >= 0 && e.key < 256) b.keys[e.key] = e.kind == HeadlessEvent::down;
        break;
    case HeadlessEvent::move:
        b.cursor = POINT{e.x, e.y};
        break;
    case HeadlessEvent::focus:
        b.focus = e.on;
        break;
    case HeadlessEvent::size:
        b.width = e.x;
        b.height = e.y;
        break;
    case HeadlessEvent::drop:
        b.dropped.push_back(e.path);
        break;
    case HeadlessEvent::step:
        b.clockBase = exactClock();
        b.clockFrame = b.framesShown;
        b.dt = e.dt;
        break;
    }
}

// The window's picture: the frame enlarged by the whole factor that fits, centred on black.
std::vector<std::uint32_t> shownPicture(const Surface& s, int width, int height) {
    const int k = std::max(1, std::min(width / s.width, height / s.height));
    std::vector<std::uint32_t> out(std::size_t(width) * std::size_t(height), 0);
    const int x0 = (width - s.width * k) / 2, y0 = (height - s.height * k) / 2;
    for (int y = 0; y < height; ++y) {
        const int fy = (y - y0) / k;
        if (y < y0 || fy >= s.height) continue;
        for (int x = 0; x < width; ++x) {
            const int fx = (x - x0) / k;
            if (x < x0 || fx >= s.width) continue;
            out[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                s.pixels[std::size_t(fy) * std::size_t(s.width) + std::size_t(fx)];
        }
    }
    return out;
}

// What the window shows: the frame itself, or in `scaled` the frame enlarged
// to the window's size. Null when there is no picture.
const std::uint32_t* windowPicture(std::vector<std::uint32_t>& scaled) {
    const Backend& b = state();
    Surface s = b.window ? dcSurface(b.window) : Surface{};
    if (!s.pixels || s.width <= 0 || s.height <= 0) return nullptr;
    if (s.width == b.width && s.height == b.height) return s.pixels;
    scaled = shownPicture(s, b.width, b.height);
    return scaled.data();
}

void saveShot(const HeadlessShot& shot, int frame) {
    Backend& b = state();
    std::string error;
    std::vector<std::uint32_t> scaled;
    const std::uint32_t* pixels = windowPicture(scaled);
    if (!pixels) {
        error = "the window has no picture to save";
    } else if (writePng(shot.path, pixels, b.width, b.height, error)) {
        return;
    }
    std::fprintf(stderr, "korvane-headless: shot of frame %d: %s\n", frame, error.c_str());
    b.failed = true;
}

// A WAV file's 44-byte header: PCM, 16-bit stereo.
void wavHeader(unsigned char* h, int rate, std::uint32_t frames) {
    auto put = [&](int at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) h[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    const std::uint32_t data = frames * 4;
    std::memcpy(h, "RIFF", 4);
    put(4, 36 + data, 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, 1, 2); // PCM
    put(22, 2, 2); // stereo
    put(24, std::uint32_t(rate), 4);
    put(28, std::uint32_t(rate) * 4, 4);
    put(32, 4, 2);
    put(34, 16, 2);
    std::memcpy(h + 36, "data", 4);
    put(40, data, 4);
}

bool finishWav(std::FILE* f, int rate, std::uint32_t frames) {
    unsigned char h[44];
    wavHeader(h, rate, frames);
    bool ok = std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(h, 1, 44, f) == 44;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

} // namespace

void headlessConfigure(const HeadlessConfig& config) {
    Backend& b = state();
    HDC window = b.window; // an open window stays open
    if (b.wav) std::fclose(b.wav);
    b = Backend{};
    b.window = window;
    b.wavPath = config.wav;
    b.width = config.width;
    b.height = config.height;
    b.dt = config.dt;
    b.seed = config.seed;
    b.events = config.events;
    std::stable_sort(
        b.events.begin(), b.events.end(),
        [](const HeadlessEvent& l, const HeadlessEvent& r) { return l.frame < r.frame; });
    b.shots = config.shots;
    b.settings = config.settings;
    b.onFrame = config.onFrame;
    int lastShot = 0;
    for (const HeadlessShot& shot : b.shots) lastShot = std::max(lastShot, shot.frame);
    b.frames = config.frames > 0 ? config.frames : std::max(lastShot, 1);
}

bool headlessFailed() { return state().failed; }

void headlessSetTicks(unsigned ms) {
    // sysSeconds reads ms / 1000 now and keeps counting frames from here.
    state().tickOffset = std::uint32_t(ms) - frameClock();
}

void headlessSetKey(int vk, bool down) {
    if (vk >= 0 && vk < 256) state().keys[vk] = down;
}

void headlessSetFocus(bool focused) { state().focus = focused; }

void headlessSetCursor(int x, int y) { state().cursor = POINT{x, y}; }

int headlessFramesShown() { return int(std::min<long long>(state().framesShown, 0x7fffffff)); }

// The window system.

bool sysDesktopSize(int* width, int* height) {
    const Backend& b = state();
    if (b.width < 1 || b.height < 1 || b.width > 16384 || b.height > 16384) {
        std::fprintf(stderr, "korvane-headless: bad window size %dx%d\n", b.width, b.height);
        return false;
    }
    *width = b.width;
    *height = b.height;
    return true;
}

bool sysFullScreen(int, int) { return true; }

void sysRestoreDisplay() {}

bool sysOpenWindow(const char*, int width, int height) {
    Backend& b = state();
    if (b.window) deleteSurfaceDC(b.window);
    b.window = createSurfaceDC(width, height);
    if (!b.window) {
        std::fprintf(stderr, "korvane-headless: cannot make a %dx%d window\n", width, height);
        return false;
    }
    return true;
}

void sysHideCursor() {}

HDC sysWindowDC() { return state().window; }

void sysShow() {
    Backend& b = state();
    ++b.framesShown;
    for (const HeadlessShot& shot : b.shots) {
        if (shot.frame == b.framesShown) saveShot(shot, shot.frame);
    }
    if (b.onFrame) {
        std::vector<std::uint32_t> scaled;
        if (const std::uint32_t* pixels = windowPicture(scaled))
            b.onFrame(pixels, b.width, b.height);
    }
}

void sysCloseWindow() {
    Backend& b = state();
    // A shot of a frame the run never reached is as missing as one that failed.
    for (const HeadlessShot& shot : b.shots) {
        if (shot.frame > b.framesShown) {
            std::fprintf(stderr,
                         "korvane-headless: the run ended after frame %lld; frame %d was not "
                         "saved to %s\n",
                         b.framesShown, shot.frame, shot.path.c_str());
            b.failed = true;
        }
    }
    if (b.window) deleteSurfaceDC(b.window);
    b.window = nullptr;
    if (b.wav) {
        const bool written = finishWav(b.wav, b.audioRate, b.wavFrames);
        b.failed = b.failed || !written;
        if (!written)
            std::fprintf(stderr, "korvane-headless: cannot write %s\n", b.wavPath.c_str());
        b.wav = nullptr;
    }
}

unsigned sysSeed() { return state().seed; }

SysMessage sysPump() {
    Backend& b = state();
    if (b.quitPosted || b.framesShown >= b.frames) return SysMessage::quit;
    long long next = b.framesShown + 1;
    while (b.nextEvent < b.events.size() && b.events[b.nextEvent].frame <= next) {
        applyEvent(b.events[b.nextEvent++]);
    }
    return SysMessage::none;
}

void sysQuit() { state().quitPosted = true; }
void sysQuitCancel() { state().quitPosted = false; }

bool sysTakeDropped(std::string& path) {
    Backend& b = state();
    if (b.dropped.empty()) return false;
    path = b.dropped.front();
    b.dropped.erase(b.dropped.begin());
    return true;
}

// No process is replaced here: the runner says how the game would start anew.
bool sysRestart(const std::vector<sysSetting>& environment, std::string&) {
    for (const sysSetting& s : environment)
        std::printf("korvane-headless: the game starts anew with %s=%s\n", s.variable.c_str(),
                    s.value.c_str());
    return true;
}

// The frame clock in whole milliseconds as a tick count would give them, so
// a run's frame times are exactly those of a millisecond clock.
double sysSeconds() {
    const Backend& b = state();
    return double(std::uint32_t(b.tickOffset + frameClock())) * 0.001;
}

bool sysHasFocus() { return state().focus; }

bool sysKeyDown(int vk) { return vk >= 0 && vk < 256 && state().keys[vk]; }

POINT sysCursor() { return state().cursor; }

void sysMessageBox(const char* caption, const char* text) {
    // One line whatever the text holds, so a test can read one message per line.
    std::string line = "message: ";
    line += caption ? caption : "";
    line += ": ";
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n') {
            line += "\\n";
        } else {
            line += *p;
        }
    }
    line += '\n';
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

bool sysAudioOpen(int rate) {
    Backend& b = state();
    if (b.wavPath.empty()) return false; // no --wav: the run is silent
    b.wav = std::fopen(b.wavPath.c_str(), "wb");
    if (!b.wav) {
        std::fprintf(stderr, "korvane-headless: cannot write %s\n", b.wavPath.c_str());
        b.failed = true;
        return false;
    }
    unsigned char h[44];
    wavHeader(h, rate, 0);
    std::fwrite(h, 1, sizeof h, b.wav);
    b.audioRate = rate;
    return true;
}

// The sound of the game time each frame measured: the WAV lasts as long as the run.
int sysAudioWanted(float frameTime) {
    Backend& b = state();
    if (!b.wav || !(frameTime > 0)) return 0;
    b.audioOwed += double(frameTime) * b.audioRate;
    const int frames = int(b.audioOwed);
    b.audioOwed -= frames;
    return frames;
}

void sysAudioQueue(const std::int16_t* samples, int frames) {
    Backend& b = state();
    if (!b.wav || frames <= 0) return;
    // The samples are written as they lie in memory: little-endian, as WAV is.
    if (std::fwrite(samples, 4, std::size_t(frames), b.wav) != std::size_t(frames)) b.failed = true;
    b.wavFrames += std::uint32_t(frames);
}

void sysWindowSize(int* width, int* height) {
    *width = state().width;
    *height = state().height;
}

bool sysSetDisplay(bool, int, int) { return true; } // a headless window is whatever --size says

bool sysIsFullScreen() { return true; }

void sysFrameSize(int width, int height) {
    Backend& b = state();
    if (b.window) deleteSurfaceDC(b.window);
    b.window = createSurfaceDC(width, height);
}

// Settings only from --settings, so that a run is the same on every machine.
bool sysLoadSettings(std::string& text, std::string& where) {
    const Backend& b = state();
    where = b.settings;
    return !b.settings.empty() && readSettingsFile(b.settings, text);
}

bool sysSaveSettings(const std::string& text, std::string& error) {
    const Backend& b = state();
    return b.settings.empty() || writeSettingsFile(b.settings, text, error);
}

bool sysKeepFile(const char* folder, const char* name, const std::vector<unsigned char>& bytes,
                 std::string& where) {
    return keepNewFile(folder, name, bytes, where);
}

std::string sysKeyLabel(int) { return ""; }
