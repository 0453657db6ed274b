// Small bitmaps for the drawing tests and text pictures of their pixels, so a
// failing test prints the picture it got next to the one it wanted.
//
// A picture has one line per row, top row first, each ended by '\n': '#' for
// the pen colour, 'o' for the brush colour, '.' for the untouched background
// and '?' for any other colour. Header-only, since the test binary is built
// from the *_test.cpp files alone.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "gdi/gdi.h"
#include "gdi/surface.h"

// Colours with three different bytes, so a swap of red and blue shows.
constexpr COLORREF kBackground = RGB(0x12, 0x34, 0x56);
constexpr COLORREF kPen = RGB(0xE0, 0x20, 0x40);
constexpr COLORREF kBrush = RGB(0x30, 0xC0, 0x90);

// Which character stands for which colour in a picture.
using Legend = std::vector<std::pair<COLORREF, char>>;

inline Legend standardLegend(COLORREF pen = kPen, COLORREF brush = kBrush) {
    return {{kBackground, '.'}, {pen, '#'}, {brush, 'o'}};
}

// The top-left w x h pixels of the bitmap selected into dc; '!' marks a pixel
// the bitmap does not have.
inline std::string gridOf(HDC dc, int w, int h, const Legend& legend) {
    const Surface s = dcSurface(dc);
    std::string out;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (s.pixels == nullptr || x >= s.width || y >= s.height) {
                out += '!';
                continue;
            }
            const std::uint32_t p = s.pixels[static_cast<std::size_t>(y) * s.width + x];
            char c = '?';
            for (const auto& [colour, ch] : legend) {
                if (pixelOf(colour) == p) {
                    c = ch;
                    break;
                }
            }
            out += c;
        }
        out += '\n';
    }
    return out;
}

inline std::string grid(HDC dc, int w, int h, COLORREF pen = kPen, COLORREF brush = kBrush) {
    return gridOf(dc, w, h, standardLegend(pen, brush));
}

// A picture written as one string literal per row.
inline std::string picture(std::initializer_list<const char*> rows) {
    std::string out;
    for (const char* row : rows) {
        out += row;
        out += '\n';
    }
    return out;
}

// A w x h picture of background with `mark` at each listed pixel inside it.
inline std::string pointsPicture(int w, int h, const std::vector<POINT>& points, char mark = '#') {
    std::string out;
    for (int y = 0; y < h; ++y) out += std::string(static_cast<std::size_t>(w), '.') + '\n';
    for (const POINT& p : points)
        if (p.x >= 0 && p.x < w && p.y >= 0 && p.y < h)
            out[static_cast<std::size_t>(p.y) * (w + 1) + p.x] = mark;
    return out;
}

// The same picture with a frame of `margin` background cells around it.
inline std::string padded(const std::string& pic, int margin) {
    const std::size_t w = pic.find('\n');
    const std::string blank = std::string(w + 2 * margin, '.') + '\n';
    const std::string side(static_cast<std::size_t>(margin), '.');
    std::string out;
    for (int i = 0; i < margin; ++i) out += blank;
    for (std::size_t at = 0; at < pic.size(); at += w + 1)
        out += side + pic.substr(at, w) + side + '\n';
    for (int i = 0; i < margin; ++i) out += blank;
    return out;
}

inline int countOf(const std::string& pic, char c) {
    int n = 0;
    for (char ch : pic) n += ch == c;
    return n;
}

inline void fillWith(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A context with a bitmap of its own, cleared to the background colour.
class Canvas {
public:
    Canvas(int width, int height) : w(width), h(height), dc(createSurfaceDC(width, height)) {
        clear();
    }
    ~Canvas() { deleteSurfaceDC(dc); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void clear() { fillWith(dc, RECT{0, 0, w, h}, kBackground); }
    std::string grid(COLORREF pen = kPen, COLORREF brush = kBrush) const {
        return ::grid(dc, w, h, pen, brush);
    }
    std::uint32_t pixel(int x, int y) const {
        const Surface s = dcSurface(dc);
        return s.pixels[static_cast<std::size_t>(y) * s.width + x];
    }
    // Pixels of one colour in the box [x0, x1) x [y0, y1), clipped to the canvas.
    int count(COLORREF colour, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, h); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, w); ++x)
                n += pixel(x, y) == pixelOf(colour);
        return n;
    }
    int count(COLORREF colour) const { return count(colour, 0, 0, w, h); }

    const int w, h;
    HDC const dc;
};

// Selects an object into a context for a scope; puts the earlier one back and
// deletes the object at the end (deleting a stock object does nothing).
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc(dc), object(object), old(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc, old);
        DeleteObject(object);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc;
    HGDIOBJ object;
    HGDIOBJ old;
};

// The pen and brush selected into dc right now.
inline HGDIOBJ currentPen(HDC dc) {
    HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, pen);
    return pen;
}
inline HGDIOBJ currentBrush(HDC dc) {
    HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    SelectObject(dc, brush);
    return brush;
}
