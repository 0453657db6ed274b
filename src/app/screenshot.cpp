// Screenshots: the frame as a PNG file. Where zlib is linked its deflate
// packs the pixels; the browser build, which has no zlib, writes them in
// deflate's stored blocks, which every PNG reader takes.
#include "app/screenshot.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <string>

#include "app/notices.h"
#include "gdi/surface.h"
#include "platform/system.h"

#if !defined(KORVANE_NO_ZLIB)
#include <zlib.h>
#endif

namespace {

using bytes = std::vector<unsigned char>;

void putU32(bytes& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::uint32_t crc32Of(const unsigned char* p, std::size_t n) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void chunk(bytes& out, const char* type, const bytes& data) {
    putU32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putU32(out, crc32Of(out.data() + start, out.size() - start));
}

bytes packed(const bytes& raw) {
#if !defined(KORVANE_NO_ZLIB)
    uLongf size = compressBound(uLong(raw.size()));
    bytes deflated(size);
    if (compress2(deflated.data(), &size, raw.data(), uLong(raw.size()), 6) == Z_OK) {
        deflated.resize(size);
        return deflated;
    }
#endif
    // A zlib stream of stored blocks of at most 65535 bytes.
    bytes out{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        out.push_back(at + n == raw.size() ? 1 : 0);
        out.push_back(static_cast<unsigned char>(n));
        out.push_back(static_cast<unsigned char>(n >> 8));
        out.push_back(static_cast<unsigned char>(~n));
        out.push_back(static_cast<unsigned char>(~n >> 8));
        out.insert(out.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    putU32(out, (b << 16) | a);
    return out;
}
} // namespace


std::vector<unsigned char> pngOf(const std::uint32_t* pixels, int width, int height) {
    bytes raw;
    raw.reserve(std::size_t(height) * (std::size_t(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
            raw.push_back(static_cast<unsigned char>(p >> 16));
            raw.push_back(static_cast<unsigned char>(p >> 8));
            raw.push_back(static_cast<unsigned char>(p));
        }
    }
    bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    bytes header;
    putU32(header, std::uint32_t(width));
    putU32(header, std::uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, deflate, no filter, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed(raw));
    chunk(out, "IEND", {});
    return out;
}

namespace {

// The frame's pixels: our rasterizer's own, or on Windows read back from GDI's bitmap.
Surface framePixels(HDC frame, std::vector<std::uint32_t>& store) {
#if defined(_WIN32)
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(frame, OBJ_BITMAP));
    BITMAP info{};
    if (!bitmap || !GetObject(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return Surface{};
    BITMAPINFO want{};
    want.bmiHeader.biSize = sizeof want.bmiHeader;
    want.bmiHeader.biWidth = info.bmWidth;
    want.bmiHeader.biHeight = -info.bmHeight; // top-down
    want.bmiHeader.biPlanes = 1;
    want.bmiHeader.biBitCount = 32;
    want.bmiHeader.biCompression = BI_RGB;
    store.assign(std::size_t(info.bmWidth) * std::size_t(info.bmHeight), 0);
    if (GetDIBits(frame, bitmap, 0, UINT(info.bmHeight), store.data(), &want, DIB_RGB_COLORS) == 0)
        return Surface{};
    return Surface{info.bmWidth, info.bmHeight, store.data()};
#else
    (void)store;
    return dcSurface(frame);
#endif
}

} // namespace

void takeScreenshot(HDC frame) {
    std::vector<std::uint32_t> store;
    const Surface s = framePixels(frame, store);
    if (!s.pixels || s.width <= 0 || s.height <= 0) {
        notify("No screenshot: this build cannot read its frame", 3);
        return;
    }
    const std::time_t now = std::time(nullptr);
    char name[64] = "korvane.png";
    if (const std::tm* t = std::localtime(&now))
        std::strftime(name, sizeof name, "korvane-%Y%m%d-%H%M%S.png", t);
    std::string where;
    if (sysKeepFile("screenshots", name, pngOf(s.pixels, s.width, s.height), where))
        notify("Screenshot saved: " + where, 3);
    else
        notify("No screenshot: " + where, 4);
}
