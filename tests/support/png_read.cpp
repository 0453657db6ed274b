// A small PNG reader for tests, on libpng's simplified read interface.
#include "support/png_read.h"

#include <png.h>

#include <cstring>

namespace {

bool beginRead(const std::string& path, png_image& image) {
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    return png_image_begin_read_from_file(&image, path.c_str()) != 0;
}

} // namespace

bool readPng(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height) {
    png_image image;
    if (!beginRead(path, image)) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = int(image.width);
    height = int(image.height);
    pixels.resize(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = (std::uint32_t(rgb[3 * i]) << 16) | (std::uint32_t(rgb[3 * i + 1]) << 8) |
                    std::uint32_t(rgb[3 * i + 2]);
    }
    return true;
}

bool pngIsRgb8(const std::string& path) {
    png_image image;
    if (!beginRead(path, image)) return false;
    bool rgb8 = image.format == PNG_FORMAT_RGB;
    png_image_free(&image);
    return rgb8;
}
