// Frame sizes as "WxH": KORVANE_WINDOW=WxH plays in a window of that size
// instead of full screen (for several displays, streaming, a small screen);
// the frame is the window's size, as it is the desktop's in full screen. The
// headless runner's --size and the web page's size option read the same text.
#pragma once

#include <string>
#include <string_view>

// "WxH": two whole numbers of digits only, each from lo to hi, and nothing
// else. False, with width and height untouched, for anything else.
bool parseSize(std::string_view text, int lo, int hi, int& width, int& height);

// False (with a one-line `problem` when the text is there but is not a size)
// for full screen; true with the size for a window. Sides are 64 to 16384;
// a player may also write the x as a capital.
bool windowSizeFor(const char* text, int& width, int& height, std::string& problem);
