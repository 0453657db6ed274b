// Direct access to the pixels of our software bitmaps, for the backends that
// present or save a frame and for tests. Not available over a real GDI.
#pragma once

#include <cstdint>

#include "gdi/gdi.h"

// The pixels of the bitmap selected into a context: top-down rows, each pixel
// 0x00RRGGBB (a COLORREF 0x00BBGGRR with red and blue swapped, as GDI stores it).
struct Surface {
    int width = 0;
    int height = 0;
    std::uint32_t* pixels = nullptr;
};

Surface dcSurface(HDC dc);

// A context with a bitmap of its own, standing for a window's context.
HDC createSurfaceDC(int width, int height);
void deleteSurfaceDC(HDC dc);

// How many pens, brushes and bitmaps made by Create* calls are still alive
// (deleted objects still selected somewhere count until they are deselected).
int gdiLiveObjects();

constexpr std::uint32_t pixelOf(COLORREF c) {
    return ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff);
}
constexpr COLORREF colourOf(std::uint32_t pixel) {
    return ((pixel & 0xff) << 16) | (pixel & 0xff00) | ((pixel >> 16) & 0xff);
}
