// The Windows backend beyond system.h: what WinMain hands it before the game starts,
// and the frame's bitmap made anew at another size.
#pragma once

#include "gdi/gdi.h" // windows.h

// The program's instance and how its window is first shown (WinMain's arguments).
void win32Start(HINSTANCE instance, int show);

// A context of createSurfaceDC (gdi/surface.h) given a bitmap of another size,
// black, in place of its own; the context is the same. False, with the old
// bitmap kept, when it cannot be made.
bool win32SurfaceSize(HDC dc, int width, int height);
