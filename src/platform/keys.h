// The game's key codes: the Win32 virtual-key codes, by their Win32 names.
// On Windows they are windows.h's own; elsewhere this is the one table of them
// that the game and every port use.
#pragma once

#include "gdi/gdi.h" // windows.h on Windows

#if !defined(_WIN32)
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12; // Alt
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
// Both sides' Shift, Control and Alt; the ports set the side-neutral codes
// above while either side is held, and the game reads those.
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_F2 = 0x71;
constexpr int VK_OEM_PERIOD = 0xBE;
#endif
