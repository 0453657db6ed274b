// The browser's keys as the game's virtual-key codes (the Win32 ones).
#pragma once

#include <string_view>

// The virtual-key code of a key event, from the key's place on the keyboard
// (KeyboardEvent.code: "Digit1", "KeyQ", "ArrowUp"...) and what the layout
// gives there (KeyboardEvent.key: "a", "&", "ф"...), or 0 for keys the game has
// no code for. As Windows' virtual keys behave: the number row reads as the
// digits by its place whatever the layout prints on it, letters as the
// layout's letter (AZERTY's A is where QWERTY has Q), and a layout without
// Latin letters gives the letter of the key's place. [ and ] read as
// themselves wherever the layout has them, the number row too.
int webVirtualKey(std::string_view code, std::string_view key);
