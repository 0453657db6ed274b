// What lies behind the handles of our software GDI: objects and contexts, shared
// by the object bookkeeping (gdi_objects.cpp) and the rasterizer (raster.cpp).
#pragma once

#include <cstdint>
#include <vector>

#include "gdi/gdi.h"

struct GdiObject {
    enum Kind : std::uint8_t { freed, pen, brush, bitmap };
    Kind kind = freed;
    bool stock = false;  // stock objects are never freed and deleting them does nothing
    bool doomed = false; // deleted while selected: freed when the last context lets go
    int selections = 0;  // how many contexts hold it
    // Pens and brushes.
    int style = PS_SOLID;
    int width = 1;
    COLORREF colour = 0;
    // Bitmaps: top-down rows of 0x00RRGGBB.
    int bmWidth = 0;
    int bmHeight = 0;
    std::vector<std::uint32_t> pixels;
};

struct HDC__ {
    bool live = false;
    GdiObject* bitmap = nullptr;
    GdiObject* pen = nullptr;
    GdiObject* brush = nullptr;
    POINT cp{0, 0};              // current position for MoveToEx/LineTo
    GdiObject* own = nullptr;    // the bitmap of a surface context, deleted with it
};

// A handle the caller passed, checked: null unless it is a live object of that kind.
GdiObject* liveObject(HGDIOBJ handle, GdiObject::Kind kind);
HDC__* liveDC(HDC dc);

// Coordinates are clamped to the device space of Windows NT before rasterizing.
constexpr int deviceLimit = 1 << 27;
inline int clampCoord(int v) {
    return v < -deviceLimit ? -deviceLimit : v > deviceLimit ? deviceLimit : v;
}
