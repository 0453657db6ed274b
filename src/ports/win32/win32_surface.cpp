// Pixel access to bitmaps on Windows: 32-bit top-down DIB sections, whose
// bytes are GDI's own, for the raster check and the backend (whose frame is
// one, made anew at each size the game asks).
#include "gdi/surface.h"
#include "ports/win32/win32.h"

#include <map>

namespace {

// Surface contexts: the DIB section each holds and the bitmap it replaced.
struct SurfaceDC {
    HBITMAP dib;
    HGDIOBJ old;
    Surface pixels;
};
std::map<HDC, SurfaceDC>& surfaces() {
    static std::map<HDC, SurfaceDC> s;
    return s;
}

} // namespace

// Only the DIB sections made here are known to be 32-bit and top-down.
Surface dcSurface(HDC dc) {
    GdiFlush();
    auto it = surfaces().find(dc);
    return it == surfaces().end() ? Surface{} : it->second.pixels;
}

namespace {

// A 32-bit top-down DIB section and where its pixels are.
HBITMAP makeDib(int width, int height, void** bits) {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

} // namespace

HDC createSurfaceDC(int width, int height) {
    void* bits = nullptr;
    HBITMAP dib = makeDib(width, height, &bits);
    if (!dib) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    surfaces()[dc] = SurfaceDC{dib, SelectObject(dc, dib),
                               Surface{width, height, static_cast<std::uint32_t*>(bits)}};
    return dc;
}

// The same context keeps its handle: the game holds it from start to end.
bool win32SurfaceSize(HDC dc, int width, int height) {
    auto it = surfaces().find(dc);
    if (it == surfaces().end() || width <= 0 || height <= 0) return false;
    void* bits = nullptr;
    HBITMAP dib = makeDib(width, height, &bits);
    if (!dib) return false;
    GdiFlush();
    SelectObject(dc, dib);
    DeleteObject(it->second.dib);
    it->second.dib = dib;
    it->second.pixels = Surface{width, height, static_cast<std::uint32_t*>(bits)};
    return true;
}

void deleteSurfaceDC(HDC dc) {
    auto it = surfaces().find(dc);
    if (it == surfaces().end()) return;
    SelectObject(dc, it->second.old);
    DeleteObject(it->second.dib);
    DeleteDC(dc);
    surfaces().erase(it);
}

int gdiLiveObjects() { return int(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)); }
