// Reading KORVANE_WINDOW's WxH.
#include "platform/window_size.h"

#include <cstdlib>

namespace {

constexpr long smallest = 64, largest = 16384;

// A whole number of digits only, in range; `end` is left after it.
bool side(const char* text, const char*& end, long& value) {
    if (*text < '0' || *text > '9') return false;
    char* stop = nullptr;
    value = std::strtol(text, &stop, 10);
    end = stop;
    return value >= smallest && value <= largest;
}

} // namespace

bool windowSizeFor(const char* text, int& width, int& height, std::string& problem) {
    problem.clear();
    if (!text || !*text) return false;
    const char* at = text;
    long w = 0, h = 0;
    if (side(at, at, w) && (*at == 'x' || *at == 'X') && side(at + 1, at, h) && *at == 0) {
        width = int(w);
        height = int(h);
        return true;
    }
    problem = std::string("KORVANE_WINDOW=") + text + " is not a window size (WxH, each side " +
              std::to_string(smallest) + " to " + std::to_string(largest) +
              ", such as 1280x720); playing full screen";
    return false;
}
