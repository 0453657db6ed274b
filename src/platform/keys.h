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
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F5 = 0x74;
constexpr int VK_F9 = 0x78;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_OEM_PLUS = 0xBB;  // the main row's =/+ key
constexpr int VK_OEM_MINUS = 0xBD; // the main row's -/_ key
constexpr int VK_OEM_PERIOD = 0xBE;
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_4 = 0xDB; // [
constexpr int VK_OEM_6 = 0xDD; // ]
#endif

// Gamepad buttons, by the codes Windows gives them: a pad's buttons read as
// keys of their own, which the bindings turn into the game's keys.
constexpr int padA = 0xC3;
constexpr int padB = 0xC4;
constexpr int padX = 0xC5;
constexpr int padY = 0xC6;
constexpr int padRightShoulder = 0xC7;
constexpr int padLeftShoulder = 0xC8;
constexpr int padLeftTrigger = 0xC9;
constexpr int padRightTrigger = 0xCA;
constexpr int padUp = 0xCB;
constexpr int padDown = 0xCC;
constexpr int padLeft = 0xCD;
constexpr int padRight = 0xCE;
constexpr int padStart = 0xCF;
constexpr int padBack = 0xD0;
constexpr int padFirst = padA, padLast = padBack;
