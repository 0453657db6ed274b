// Reading a PNG back into 0x00RRGGBB pixels, for tests that check saved frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads any PNG libpng understands as top-down 0x00RRGGBB pixels (alpha
// dropped); false when the file is missing or not a readable PNG.
bool readPng(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height);

// Whether the file itself is stored as 8-bit RGB without alpha or palette.
bool pngIsRgb8(const std::string& path);
