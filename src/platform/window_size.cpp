// Reading frame sizes, "WxH", and KORVANE_WINDOW's.
#include "platform/window_size.h"

#include <charconv>

namespace {

constexpr int smallest = 64, largest = 16384;

// A whole number of digits only (no sign, no spaces), from lo to hi.
bool side(std::string_view text, int lo, int hi, int& value) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return false;
    value = int(v);
    return true;
}

} // namespace

bool parseSize(std::string_view text, int lo, int hi, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    int w = 0, h = 0;
    if (!side(text.substr(0, x), lo, hi, w) || !side(text.substr(x + 1), lo, hi, h)) return false;
    width = w;
    height = h;
    return true;
}

bool windowSizeFor(const char* text, int& width, int& height, std::string& problem) {
    problem.clear();
    if (!text || !*text) return false;
    std::string size = text;
    for (char& c : size)
        if (c == 'X') c = 'x';
    if (parseSize(size, smallest, largest, width, height)) return true;
    problem = std::string("KORVANE_WINDOW=") + text + " is not a window size (WxH, each side " +
              std::to_string(smallest) + " to " + std::to_string(largest) +
              ", such as 1280x720); playing full screen";
    return false;
}
