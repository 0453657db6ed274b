// The frame's place in a window, and points mapped back into the frame.
#include "platform/shown_frame.h"

#include <algorithm>
#include <cstdint>

shownRect shownFrame(int windowWidth, int windowHeight, int frameWidth, int frameHeight) {
    if (windowWidth <= 0 || windowHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return {};
    shownRect r;
    if (windowWidth >= frameWidth && windowHeight >= frameHeight) {
        const int k = std::min(windowWidth / frameWidth, windowHeight / frameHeight);
        r.width = frameWidth * k;
        r.height = frameHeight * k;
    } else if (std::int64_t(windowWidth) * frameHeight <= std::int64_t(windowHeight) * frameWidth) {
        // Shrunk, and the width is what limits: all of it, the height in proportion.
        r.width = windowWidth;
        r.height =
            int(std::max<std::int64_t>(1, std::int64_t(frameHeight) * windowWidth / frameWidth));
    } else {
        r.height = windowHeight;
        r.width =
            int(std::max<std::int64_t>(1, std::int64_t(frameWidth) * windowHeight / frameHeight));
    }
    r.x = (windowWidth - r.width) / 2;
    r.y = (windowHeight - r.height) / 2;
    return r;
}

namespace {

// The frame's column (or row) under window pixel p of a side shown from
// `at` over `shown` pixels, for a frame side of `size`.
int frameSide(int p, int at, int shown, int size) {
    if (shown <= 0 || size <= 0) return 0;
    const std::int64_t into = std::int64_t(p) - at;
    if (into < 0) return 0;
    return int(std::min<std::int64_t>(size - 1, into * size / shown));
}

} // namespace

void framePoint(const shownRect& shown, int frameWidth, int frameHeight, int& x, int& y) {
    x = frameSide(x, shown.x, shown.width, frameWidth);
    y = frameSide(y, shown.y, shown.height, frameHeight);
}
