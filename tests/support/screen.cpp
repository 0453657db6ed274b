// Reading saved frames back and finding the lines of text on them.
#include "support/screen.h"

#include <algorithm>

#include "support/png_read.h"

bool Screen::load(const std::string& path) {
    pixels.clear();
    width = height = 0;
    return readPng(path, pixels, width, height) &&
           pixels.size() == std::size_t(width) * std::size_t(height);
}

int Screen::count(std::uint32_t colour, int x0, int y0, int x1, int y1) const {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, width), y1 = std::min(y1, height);
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += pixels[std::size_t(y) * width + x] == colour;
    return n;
}

std::vector<TextLine> Screen::lines(std::uint32_t colour) const {
    std::vector<TextLine> found;
    bool open = false;
    for (int y = 0; y < height; ++y) {
        int left = width, right = -1;
        for (int x = 0; x < width; ++x) {
            if (pixels[std::size_t(y) * width + x] != colour) continue;
            left = std::min(left, x);
            right = std::max(right, x);
        }
        if (right < 0) {
            open = false;
            continue;
        }
        if (!open) found.push_back(TextLine{y, y, left, right});
        TextLine& line = found.back();
        line.bottom = y;
        line.left = std::min(line.left, left);
        line.right = std::max(line.right, right);
        open = true;
    }
    return found;
}

std::vector<int> Screen::lineTops(std::uint32_t colour) const {
    std::vector<int> tops;
    for (const TextLine& line : lines(colour)) tops.push_back(line.top);
    return tops;
}
