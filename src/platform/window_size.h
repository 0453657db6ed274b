// KORVANE_WINDOW=WxH: the game in a window of that size instead of full
// screen (for several displays, streaming, a small screen); the frame is the
// window's size, as it is the desktop's in full screen.
#pragma once

#include <string>

// False (with a one-line `problem` when the text is there but is not a size)
// for full screen; true with the size for a window. Sides are 64 to 16384.
bool windowSizeFor(const char* text, int& width, int& height, std::string& problem);
