// The headless runner's command line and input scripts: key names, script
// lines and options, each parsed strictly, every error one line naming what was wrong.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "ports/headless/headless.h"
#include "platform/system.h"
#include "platform/window_size.h"

namespace {

// The largest window side the runner accepts: a 16384 x 16384 frame is 1 GiB.
constexpr int maxSide = 16384;

// A whole decimal integer in [lo, hi]: no sign other than a leading '-', no
// spaces, no trailing characters, no overflow.
bool parseInt(std::string_view text, long long lo, long long hi, long long& value) {
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    long long v = 0;
    auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || end != last || v < lo || v > hi) return false;
    value = v;
    return true;
}

bool parseInt(std::string_view text, int lo, int hi, int& value) {
    long long v = 0;
    if (!parseInt(text, lo, hi, v)) return false;
    value = int(v);
    return true;
}

// A whole decimal floating-point number, finite.
bool parseDouble(std::string_view text, double& value) {
    if (text.empty()) return false;
    const char* last = text.data() + text.size();
    double v = 0;
    auto [end, ec] = std::from_chars(text.data(), last, v);
    if (ec != std::errc() || end != last || !std::isfinite(v)) return false;
    value = v;
    return true;
}

// Quotes a word for an error message: control bytes shown as \xNN, long words cut
// short, so that the message stays one readable line whatever the input held.
std::string quoted(std::string_view text) {
    constexpr std::size_t maxShown = 60;
    std::string out = "'";
    for (std::size_t i = 0; i < text.size() && i < maxShown; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7f) {
            const char* hex = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    if (text.size() > maxShown) out += "...";
    return out + "'";
}

bool endsWithPng(std::string_view path) {
    if (path.size() < 4) return false;
    std::string_view tail = path.substr(path.size() - 4);
    const char* want = ".png";
    for (int i = 0; i < 4; ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != want[i]) return false;
    }
    return true;
}

struct NamedKey {
    const char* name;
    int code;
};

constexpr NamedKey namedKeys[] = {
    {"Enter", VK_RETURN},      {"Escape", VK_ESCAPE},
    {"Tab", VK_TAB},           {"Backspace", VK_BACK},
    {"Shift", VK_SHIFT},       {"Space", VK_SPACE},
    {"Home", VK_HOME},         {"End", VK_END},
    {"Left", VK_LEFT},         {"Up", VK_UP},
    {"Right", VK_RIGHT},       {"Down", VK_DOWN},
    {"Numpad0", VK_NUMPAD0},   {"Add", VK_ADD},
    {"Subtract", VK_SUBTRACT}, {"Period", VK_OEM_PERIOD}, {"Comma", VK_OEM_COMMA}, {"BracketLeft", VK_OEM_4},
    {"BracketRight", VK_OEM_6},
    {"LButton", VK_LBUTTON},   {"RButton", VK_RBUTTON},
    {"Control", VK_CONTROL},   {"F3", VK_F3},
    {"F5", VK_F5},             {"F9", VK_F9},
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Splits a script line into words; '#' starts a comment that runs to the end.
std::vector<std::string_view> words(std::string_view line) {
    std::size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    std::vector<std::string_view> out;
    const char* spaces = " \t\r\v\f";
    std::size_t i = line.find_first_not_of(spaces);
    while (i != std::string_view::npos) {
        std::size_t end = line.find_first_of(spaces, i);
        if (end == std::string_view::npos) end = line.size();
        out.push_back(line.substr(i, end - i));
        i = line.find_first_not_of(spaces, end);
    }
    return out;
}

// One script line already split into words; false with `error` (no location) when bad.
bool parseEvent(const std::vector<std::string_view>& w, HeadlessEvent& event, std::string& error) {
    if (!parseInt(w[0], 1, std::numeric_limits<int>::max(), event.frame)) {
        error = "bad frame number " + quoted(w[0]) + " (expected a whole number from 1)";
        return false;
    }
    if (w.size() < 2) {
        error = "missing event after the frame number (down, up, move, focus or dt)";
        return false;
    }
    std::string_view verb = w[1];
    std::size_t want = 0;
    if (verb == "down" || verb == "up") {
        event.kind = verb == "down" ? HeadlessEvent::down : HeadlessEvent::up;
        if (w.size() < 3) {
            error = "missing key after '" + std::string(verb) + "'";
            return false;
        }
        event.key = headlessKeyCode(std::string(w[2]));
        if (event.key < 0) {
            error = "unknown key " + quoted(w[2]);
            return false;
        }
        want = 3;
    } else if (verb == "move") {
        event.kind = HeadlessEvent::move;
        if (w.size() < 4) {
            error = "'move' needs x and y";
            return false;
        }
        const int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
        for (int i = 0; i < 2; ++i) {
            if (!parseInt(w[2 + i], lo, hi, i == 0 ? event.x : event.y)) {
                error =
                    std::string("bad ") + (i == 0 ? "x" : "y") + " coordinate " + quoted(w[2 + i]);
                return false;
            }
        }
        want = 4;
    } else if (verb == "focus") {
        event.kind = HeadlessEvent::focus;
        if (w.size() < 3) {
            error = "'focus' needs on or off";
            return false;
        }
        if (w[2] != "on" && w[2] != "off") {
            error = "focus must be on or off, not " + quoted(w[2]);
            return false;
        }
        event.on = w[2] == "on";
        want = 3;
    } else if (verb == "dt") {
        event.kind = HeadlessEvent::step;
        if (w.size() < 3) {
            error = "'dt' needs seconds";
            return false;
        }
        if (!parseDouble(w[2], event.dt) || !(event.dt > 0) || event.dt > 1) {
            error = "dt: expected seconds, more than 0 and at most 1, not " + quoted(w[2]);
            return false;
        }
        want = 3;
    } else if (verb == "size") {
        event.kind = HeadlessEvent::size;
        if (w.size() < 3 || !parseSize(w[2], 1, 16384, event.x, event.y)) {
            error = "'size' needs WxH with each side 1..16384";
            return false;
        }
        want = 3;
    } else if (verb == "drop") {
        event.kind = HeadlessEvent::drop;
        if (w.size() < 3) {
            error = "'drop' needs a path";
            return false;
        }
        event.path = w[2];
        want = 3;
    } else {
        error = "unknown event " + quoted(verb) +
                " (expected down, up, move, focus, dt, size or drop)";
        return false;
    }
    if (w.size() > want) {
        error = "unexpected " + quoted(w[want]) + " after the event";
        return false;
    }
    return true;
}

} // namespace

int headlessKeyCode(const std::string& name) {
    if (name.size() == 1) {
        char c = name[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return -1;
    }
    for (const NamedKey& k : namedKeys) {
        if (name == k.name) return k.code;
    }
    // 0xN or 0xNN, 1..0xFF.
    if ((name.size() == 3 || name.size() == 4) && name[0] == '0' && name[1] == 'x') {
        int code = 0;
        for (std::size_t i = 2; i < name.size(); ++i) {
            int d = hexDigit(name[i]);
            if (d < 0) return -1;
            code = code * 16 + d;
        }
        return code >= 1 ? code : -1;
    }
    return -1;
}

std::string headlessKeyName(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, char(code));
    for (const NamedKey& k : namedKeys) {
        if (code == k.code) return k.name;
    }
    const char* hex = "0123456789ABCDEF";
    return std::string("0x") + hex[(code >> 4) & 15] + hex[code & 15];
}

bool parseHeadlessScript(std::istream& in, const std::string& name,
                         std::vector<HeadlessEvent>& events, std::string& error) {
    std::vector<HeadlessEvent> parsed;
    std::string line;
    long long number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::vector<std::string_view> w = words(line);
        if (w.empty()) continue;
        HeadlessEvent event;
        std::string problem;
        if (!parseEvent(w, event, problem)) {
            error = name + ":" + std::to_string(number) + ": " + problem;
            return false;
        }
        parsed.push_back(event);
    }
    if (in.bad()) {
        error = name + ": read error after line " + std::to_string(number);
        return false;
    }
    events.insert(events.end(), parsed.begin(), parsed.end());
    return true;
}

const char* headlessUsage() {
    return "usage: korvane-headless [options]\n"
           "Runs the game without a display for a fixed number of frames.\n"
           "  --size WxH       window size in pixels, each side 1..16384 (default 1024x768;\n"
           "                   with --replay, the recording's size)\n"
           "  --frames N       frames to run, N >= 1 (default: the last --shot frame, at least 1)\n"
           "  --dt S           seconds the clock advances per frame, 0 < S <= 1 (default 0.016)\n"
           "  --seed N         random seed, 0..4294967295 (default 1)\n"
           "  --dir D          working directory, where the mission files are\n"
           "  --script F       input events: lines '<frame> down|up <key>',\n"
           "                   '<frame> move <x> <y>', '<frame> focus on|off',\n"
           "                   '<frame> dt <seconds>' (the clock's step from then on),\n"
           "                   '<frame> size WxH' (the window resized),\n"
           "                   '<frame> drop PATH' (a file dropped on the window);\n"
           "                   '#' comments\n"
           "  --shot N:F.png   save frame N (from 1) as a PNG; may be repeated\n"
           "  --replay F       play the recording F back: its seed, size, frame times, input\n"
           "                   and mission reads; --frames defaults to its length, saves go\n"
           "                   to --dir (default: a scratch folder); its digests are checked\n"
           "  --watch          with --replay: watch it in the viewer, as the game does, the\n"
           "                   script's keys (and --dt's clock) the viewer's\n"
           "  --record F       record the run to F (as KORVANE_RECORD does); with --replay,\n"
           "                   rewrites a recording, printing each checkpoint that moved\n"
           "  --digest N       print 'digest <frame> <hex>' after every Nth frame; recorded\n"
           "                   digests are taken every N frames (default 100)\n"
           "  --wav F.wav      write the sound of the whole run (48 kHz 16-bit stereo)\n"
           "  --settings F     read the player's settings from F, and write them there when\n"
           "                   changed (default: none are read; the game's defaults hold)\n"
           "  --help           print this and exit\n"
           "Keys: A-Z, 0-9, Enter, Escape, Tab, Backspace, Shift, Space, Home, End, Left, Up,\n"
           "Right, Down, Numpad0, Add, Subtract, Period, Comma, BracketLeft, BracketRight,\n"
           "LButton, RButton, Control, F3, F5, F9, or a code 0xNN.\n"
           "Exit status: 0 when the run ends, 1 when a shot could not be written, the\n"
           "game could not start or a playback departed from its recording, 2 for a bad\n"
           "option, script or recording, 3 when a recording that ends early (cut off)\n"
           "was played to its last whole frame.\n";
}

bool parseHeadlessArgs(int argc, const char* const* argv, HeadlessConfig& config,
                       std::string& error) {
    HeadlessConfig c;
    // Each may be given once.
    constexpr int onceCount = 11;
    bool seen[onceCount] = {};
    const char* once[onceCount] = {"--size",   "--frames", "--dt",     "--seed",   "--dir",
                                   "--script", "--replay", "--record", "--digest", "--wav",
                                   "--settings"};

    for (int i = 0; i < argc; ++i) {
        std::string_view option = argv[i] ? argv[i] : "";
        if (option == "--help" || option == "-h") {
            c = HeadlessConfig{};
            c.help = true;
            config = c;
            return true;
        }
        if (option == "--watch") {
            c.watch = true;
            continue;
        }
        int which = -1;
        for (int k = 0; k < onceCount; ++k) {
            if (option == once[k]) which = k;
        }
        if (which < 0 && option != "--shot") {
            error = option.starts_with("-") ? "unknown option " + quoted(option)
                                            : "unexpected argument " + quoted(option);
            return false;
        }
        if (i + 1 >= argc || !argv[i + 1]) {
            error = std::string(option) + " needs a value";
            return false;
        }
        std::string_view value = argv[++i];
        if (which >= 0) {
            if (seen[which]) {
                error = std::string(option) + " given twice";
                return false;
            }
            seen[which] = true;
        }

        if (option == "--size") {
            if (!parseSize(value, 1, maxSide, c.width, c.height)) {
                error = "--size: expected WxH with each side 1..16384, not " + quoted(value);
                return false;
            }
            c.sized = true;
        } else if (option == "--frames") {
            if (!parseInt(value, 1, std::numeric_limits<int>::max(), c.frames)) {
                error = "--frames: expected a whole number from 1, not " + quoted(value);
                return false;
            }
        } else if (option == "--dt") {
            if (!parseDouble(value, c.dt) || !(c.dt > 0) || c.dt > 1) {
                error = "--dt: expected seconds, more than 0 and at most 1, not " + quoted(value);
                return false;
            }
        } else if (option == "--seed") {
            long long seed = 0;
            if (!parseInt(value, 0, std::numeric_limits<std::uint32_t>::max(), seed)) {
                error = "--seed: expected a whole number 0..4294967295, not " + quoted(value);
                return false;
            }
            c.seed = unsigned(seed);
        } else if (option == "--dir") {
            std::error_code ec;
            if (value.empty() || !std::filesystem::is_directory(std::string(value), ec)) {
                error = "--dir: " + quoted(value) + " is not a directory";
                return false;
            }
            c.dir = value;
        } else if (option == "--script") {
            std::string path(value);
            std::error_code ec;
            if (std::filesystem::is_directory(path, ec)) {
                error = "--script: " + quoted(value) + " is a directory";
                return false;
            }
            errno = 0;
            std::ifstream file(path, std::ios::binary);
            if (!file) {
                error = "--script: cannot read " + quoted(value) +
                        (errno ? std::string(": ") + std::strerror(errno) : std::string());
                return false;
            }
            if (!parseHeadlessScript(file, path, c.events, error)) return false;
        } else if (option == "--replay" || option == "--record") {
            if (value.empty()) {
                error = std::string(option) + " needs a file name";
                return false;
            }
            (option == "--replay" ? c.replay : c.record) = value;
        } else if (option == "--settings") {
            if (value.empty()) {
                error = "--settings needs a file name";
                return false;
            }
            c.settings = value;
        } else if (option == "--wav") {
            const std::string_view tail = value.size() > 4 ? value.substr(value.size() - 4) : "";
            if (tail != ".wav" && tail != ".WAV") {
                error = "--wav: the file must be named *.wav, not " + quoted(value);
                return false;
            }
            c.wav = value;
        } else if (option == "--digest") {
            if (!parseInt(value, 1, std::numeric_limits<int>::max(), c.digestEvery)) {
                error = "--digest: expected a whole number from 1, not " + quoted(value);
                return false;
            }
        } else { // --shot N:FILE.png
            HeadlessShot shot;
            std::size_t colon = value.find(':');
            if (colon == std::string_view::npos ||
                !parseInt(value.substr(0, colon), 1, std::numeric_limits<int>::max(), shot.frame)) {
                error = "--shot: expected N:FILE.png with a frame N from 1, not " + quoted(value);
                return false;
            }
            shot.path = value.substr(colon + 1);
            if (!endsWithPng(shot.path) || shot.path.size() == 4) {
                error = "--shot: the file of " + quoted(value) + " must be named *.png";
                return false;
            }
            c.shots.push_back(shot);
        }
    }

    // A recording brings its own seed, size, frame times and input.
    if (c.watch && c.replay.empty()) {
        error = "--watch: it watches the recording --replay names, and none is named";
        return false;
    }
    if (!c.replay.empty()) {
        for (int k : {0, 2, 3, 5}) {
            if (seen[k] && !(c.watch && (k == 2 || k == 5))) {
                error = std::string("--replay: the recording gives the seed, size, frame times "
                                    "and input; ") +
                        once[k] + " cannot be given with it";
                return false;
            }
        }
        config = c; // --frames, if not given, is the recording's length
        return true;
    }

    int lastShot = 0;
    for (const HeadlessShot& shot : c.shots) {
        if (shot.frame > lastShot) lastShot = shot.frame;
    }
    if (c.frames == 0) {
        c.frames = lastShot > 0 ? lastShot : 1;
    } else if (lastShot > c.frames) {
        error = "--shot of frame " + std::to_string(lastShot) + " is beyond --frames " +
                std::to_string(c.frames);
        return false;
    }
    config = c;
    return true;
}
