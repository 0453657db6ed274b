// The Windows backend beyond system.h: what WinMain hands it before the game starts.
#pragma once

#include "gdi/gdi.h" // windows.h

// The program's instance and how its window is first shown (WinMain's arguments).
void win32Start(HINSTANCE instance, int show);
