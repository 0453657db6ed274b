// Saving a frame as a PNG file (8-bit RGB, or RGBA with black made clear) with
// libpng, for the headless runner's shots and the game's icons.
#include <png.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ports/headless/headless.h"

namespace {

// Where libpng's error callback leaves its message. Plain characters: nothing
// with a destructor may be alive in a frame that png_longjmp jumps over.
struct PngErrorText {
    char text[200] = "";
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<PngErrorText*>(png_get_error_ptr(png));
    if (sink) std::snprintf(sink->text, sizeof sink->text, "%s", message ? message : "");
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// Writes the header and every row; false after a libpng error. Only this
// function calls setjmp, and it keeps no locals that change after it, so the
// jump back needs no volatile and skips no destructor. `row` holds 4 * width bytes.
bool writeImage(png_structp png, png_infop info, std::FILE* file, const std::uint32_t* pixels,
                int width, int height, png_bytep row, bool clearBlack) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 clearBlack ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const int channels = clearBlack ? 4 : 3;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* source = pixels + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = source[x] & 0xffffff; // 0x00RRGGBB
            png_bytep out = row + channels * x;
            out[0] = png_byte((p >> 16) & 0xff);
            out[1] = png_byte((p >> 8) & 0xff);
            out[2] = png_byte(p & 0xff);
            if (clearBlack) out[3] = p == 0 ? 0 : 0xff;
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

} // namespace

bool writePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              std::string& error, bool clearBlack) {
    if (!pixels || width < 1 || height < 1 || width > 0x7fffffff / 4) {
        error = "cannot save a " + std::to_string(width) + "x" + std::to_string(height) +
                " picture to '" + path + "'";
        return false;
    }
    std::vector<png_byte> row(std::size_t(width) * 4);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot open '" + path + "' for writing: " + std::strerror(errno);
        return false;
    }
    PngErrorText pngError;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngError, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written =
        info && writeImage(png, info, file, pixels, width, height, row.data(), clearBlack);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);

    bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    int flushErrno = errno;
    bool closed = std::fclose(file) == 0;
    int closeErrno = errno;
    if (written && flushed && closed) return true;

    if (!png || !info) {
        error = "cannot write '" + path + "': out of memory for libpng";
    } else if (!written) {
        error = "cannot write '" + path + "': " + pngError.text;
    } else {
        error = "cannot write '" + path + "': " + std::strerror(!flushed ? flushErrno : closeErrno);
    }
    // No half-written picture left behind (but a device or pipe stays).
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
    return false;
}
