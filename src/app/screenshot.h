// F12: the frame saved as a PNG file for the player to keep.
#pragma once

#include <cstdint>
#include <vector>

#include "gdi/gdi.h"

// The PNG file (8-bit RGB) of top-down 0x00RRGGBB pixels.
std::vector<unsigned char> pngOf(const std::uint32_t* pixels, int width, int height);

// Saves the frame drawn into hdc as screenshots/korvane-<date>-<time>.png in
// the player's folder (a download in the browser) and says where, on screen.
void takeScreenshot(HDC frame);
