// The frame loop's arrangement for the benchmarks: a memory context over a
// frame bitmap with the black brush selected, a window-sized surface to copy
// it to, and the floor cost of a frame (clear plus copy).
#pragma once

#include "gdi/surface.h"

struct Frame {
    int width, height;
    HDC window, memory;
    HBITMAP bitmap;
    HBRUSH black = CreateSolidBrush(0);
    HGDIOBJ oldBitmap, oldBrush;
    RECT client;

    Frame(int w, int h)
        : width(w), height(h), window(createSurfaceDC(w, h)), memory(CreateCompatibleDC(window)),
          bitmap(CreateCompatibleBitmap(window, w, h)), oldBitmap(SelectObject(memory, bitmap)),
          oldBrush(SelectObject(memory, black)), client{0, 0, w, h} {}
    ~Frame() {
        SelectObject(memory, oldBitmap);
        SelectObject(memory, oldBrush);
        DeleteObject(bitmap);
        DeleteObject(black);
        DeleteDC(memory);
        deleteSurfaceDC(window);
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    void clear() { FillRect(memory, &client, black); }
    void copy() { BitBlt(window, 0, 0, width, height, memory, 0, 0, SRCCOPY); }
};
