// SDL's keys as the game's virtual-key codes (the Win32 ones).
#pragma once

#include <SDL_keyboard.h>

#include <string>

// The virtual-key code of a key SDL reports, or 0 for keys the game has no
// code for. As Windows' virtual keys behave: the number row reads as the
// digits by its place on the keyboard whatever the layout prints on it
// (AZERTY's unshifted &, é, " ...), letters as the layout's letter (AZERTY's
// A is where QWERTY has Q), and a layout without Latin letters gives the
// letter of the key's place.
int virtualKey(const SDL_Keysym& key);

// The name the current layout prints on the key of a virtual-key code, as
// SDL names it ("Left Shift", "Keypad 0", "&"); "" for a code no key gives.
std::string keyLabel(int vk);
