// The page's address: the shared mission of its fragment, the options of its query.
#include "ports/web/web_address.h"

#include "platform/window_size.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace {

// The value of a url-safe base64 character (also taking the standard '+' and
// '/'), or -1.
int sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-' || c == '+') return 62;
    if (c == '_' || c == '/') return 63;
    return -1;
}

// The value of `key` in an '&'-separated list, and whether it is there.
bool valueOf(std::string_view list, std::string_view key, std::string_view& value) {
    while (!list.empty()) {
        const std::size_t end = list.find('&');
        const std::string_view item = list.substr(0, end);
        if (item.size() > key.size() && item.substr(0, key.size()) == key &&
            item[key.size()] == '=') {
            value = item.substr(key.size() + 1);
            return true;
        }
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}

// The largest side of a frame a page asks for: two frames of 8192x8192
// (the game's and the canvas's copy) fill half of what a page may have.
constexpr int maxSide = 8192;

// A whole number from low to high, the whole text.
bool whole(std::string_view text, long long& out, long long low, long long high) {
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < low || v > high) return false;
    out = v;
    return true;
}

// 'text', built by appending ("'" + string trips GCC 12's -Wrestrict at -O3).
std::string quoted(std::string_view text) {
    std::string q(1, '\'');
    q.append(text);
    q += '\'';
    return q;
}

// Seconds above 0 and at most 1, the whole text.
bool seconds(std::string_view text, double& out) {
    const std::string copy(text);
    char* end = nullptr;
    const double v = copy.empty() ? 0 : std::strtod(copy.c_str(), &end);
    if (copy.empty() || *end != 0 || !(v > 0 && v <= 1)) return false;
    out = v;
    return true;
}

} // namespace

linkMission missionFromLink(std::string_view fragment, std::vector<unsigned char>& bytes,
                            std::string& error) {
    bytes.clear();
    if (!fragment.empty() && fragment[0] == '#') fragment.remove_prefix(1);
    std::string_view text;
    if (!valueOf(fragment, "mission", text)) return linkMission::none;
    while (!text.empty() && text.back() == '=') text.remove_suffix(1);
    if (text.size() > (maxLinkBytes + 2) / 3 * 4) {
        error = "the link's mission is longer than any mission file";
        return linkMission::bad;
    }
    if (text.size() % 4 == 1) {
        error = "the link's mission is cut short (its length is not that of base64)";
        return linkMission::bad;
    }
    std::uint32_t bits = 0;
    int held = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int v = sextet(text[i]);
        if (v < 0) {
            error = "the link's mission is not url-safe base64 (character " +
                    std::to_string(i + 1) + " of " + std::to_string(text.size()) + ")";
            bytes.clear();
            return linkMission::bad;
        }
        bits = (bits << 6) | std::uint32_t(v);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<unsigned char>(bits >> held));
        }
    }
    return linkMission::read;
}

webOptions webOptionsFrom(std::string_view query, std::vector<std::string>& problems) {
    webOptions o;
    if (!query.empty() && query[0] == '?') query.remove_prefix(1);
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view item = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        if (item.empty()) continue;
        const std::size_t eq = item.find('=');
        const std::string_view name = item.substr(0, eq);
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1);
        long long n = 0;
        const char* want = nullptr; // what the option takes, when the value is not that
        if (name == "seed") {
            if (whole(value, n, 0, 4294967295ll)) {
                o.seed = unsigned(n);
                o.seeded = true;
            } else {
                want = "a whole number from 0 to 4294967295";
            }
        } else if (name == "size") {
            if (!parseSize(value, 1, maxSide, o.width, o.height)) {
                want = "WxH, each from 1 to 8192";
            }
        } else if (name == "dt") {
            if (!seconds(value, o.dt)) want = "seconds a frame, above 0 and at most 1";
        } else if (name == "frames" || name == "digest") {
            if (whole(value, n, 1, 1 << 30)) {
                (name == "frames" ? o.frames : o.digestEvery) = int(n);
            } else {
                want = "a whole number of frames from 1";
            }
        } else if (name == "fps") {
            if (whole(value, n, 0, 1000)) {
                o.fps = std::string(value);
            } else {
                want = "frames a second, 0 (unpaced) to 1000";
            }
        } else {
            problems.push_back(quoted(name) + " is not an option of the page (seed, size, dt, "
                                              "frames, fps, digest)");
        }
        if (want) problems.push_back(quoted(item) + " is not taken: " + want);
    }
    return o;
}
