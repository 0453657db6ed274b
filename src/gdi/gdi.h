// The drawing calls the game makes on the window system, under their Win32 names.
//
// On Windows these are GDI itself. Elsewhere they are our software rasterizer
// (raster.cpp, gdi_objects.cpp), which paints the same pixels as GDI on a 32-bit
// memory bitmap: a 1-pixel line leaves out its end pixel, rectangles and
// ellipses leave out their right column and bottom row, polygons fill by the
// alternate rule, and everything is clipped at the bitmap's edge.
//
// Coordinates are ints as in GDI. Values beyond +-2^27 (the device space of
// Windows NT) are clamped before rasterizing, so no coordinate can overflow the
// 64-bit arithmetic or cost more than the pixels it paints on the bitmap.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else

#include <cstdint>

using BOOL = int;
using COLORREF = std::uint32_t; // 0x00BBGGRR
using DWORD = std::uint32_t;

struct POINT {
    int x, y;
};
struct RECT {
    int left, top, right, bottom;
};

// Handles are opaque pointers, as in Win32; HGDIOBJ stands for any of the object kinds.
struct HDC__;
struct GdiObject;
using HDC = HDC__*;
using HGDIOBJ = GdiObject*;
using HPEN = GdiObject*;
using HBRUSH = GdiObject*;
using HBITMAP = GdiObject*;
using HINSTANCE = void*;

constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;

constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(r & 0xff) | (COLORREF(g & 0xff) << 8) | (COLORREF(b & 0xff) << 16);
}

// Device contexts and objects.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);
HBITMAP CreateCompatibleBitmap(HDC reference, int width, int height);
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
HGDIOBJ GetStockObject(int which);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);

// Drawing.
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y); // CLR_INVALID outside the bitmap
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);

#endif
