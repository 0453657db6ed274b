// The browser's key table on three keyboard layouts: the number row reads as
// digits by its place, letters as the layout prints them, keys that print
// nothing by their place.
#include <gtest/gtest.h>

#include "platform/system.h"
#include "ports/web/web_keys.h"

namespace {

struct Press {
    const char* code; // KeyboardEvent.code: the key's place
    const char* key;  // KeyboardEvent.key: what the layout gives
    int expected;
};

void expectAll(const char* layout, std::initializer_list<Press> presses) {
    for (const Press& p : presses)
        EXPECT_EQ(webVirtualKey(p.code, p.key), p.expected) << layout << ": " << p.code << " " << p.key;
}

} // namespace

TEST(WebKeys, NumberRowLettersAndTheGamesKeysOnQwertyAzertyAndCyrillic) {
    expectAll("QWERTY", {
                            {"Digit1", "1", '1'},
                            {"Digit0", ")", '0'}, // with Shift
                            {"KeyQ", "q", 'Q'},
                            {"KeyZ", "Z", 'Z'},
                            {"Period", ".", VK_OEM_PERIOD},
                            {"ArrowUp", "ArrowUp", VK_UP},
                            {"ShiftLeft", "Shift", 0xA0},
                            {"ShiftRight", "Shift", 0xA1},
                            {"Numpad0", "Insert", VK_NUMPAD0}, // Num Lock off
                            {"Numpad7", "7", 0x67},
                            {"NumpadAdd", "+", VK_ADD},
                            {"NumpadSubtract", "-", VK_SUBTRACT},
                            {"Escape", "Escape", VK_ESCAPE},
                            {"Enter", "Enter", VK_RETURN},
                            {"Backspace", "Backspace", VK_BACK},
                            {"Tab", "Tab", VK_TAB},
                            {"F2", "F2", 0x71},
                            {"F12", "F12", 0x7B},
                            {"Space", " ", VK_SPACE},
                            {"MetaLeft", "Meta", 0},
                            {"F13", "F13", 0},
                        });
    // French: the number row gives & é " ( - è _ ç à without Shift; A and Q,
    // Z and W change places; M sits right of L; the comma where QWERTY has M.
    expectAll("AZERTY", {
                            {"Digit1", "&", '1'},
                            {"Digit2", "\xC3\xA9", '2'},
                            {"Digit6", "-", '6'},
                            {"Digit9", "\xC3\xA7", '9'},
                            {"Digit0", "\xC3\xA0", '0'},
                            {"KeyQ", "a", 'A'},
                            {"KeyA", "q", 'Q'},
                            {"KeyW", "z", 'Z'},
                            {"KeyZ", "w", 'W'},
                            {"Semicolon", "m", 'M'},
                            {"KeyM", ",", 0xBC},
                            {"Numpad0", "0", VK_NUMPAD0},
                        });
    // Russian: no Latin letters, so letters by their place.
    expectAll("Cyrillic", {
                              {"KeyF", "\xD0\xB0", 'F'},
                              {"KeyQ", "\xD0\xB9", 'Q'},
                              {"KeyC", "\xD1\x81", 'C'},
                              {"Digit3", "3", '3'},
                          });
}

TEST(WebKeys, FunctionKeysDeleteAndPunctuationWithShiftOrALayoutsOwnCharacters) {
    expectAll("QWERTY", {
                            {"F1", "F1", VK_F1},
                            {"F11", "F11", VK_F11},
                            {"Delete", "Delete", VK_DELETE},
                            {"Equal", "=", VK_OEM_PLUS},
                            {"Equal", "+", VK_OEM_PLUS}, // with Shift
                            {"Minus", "_", VK_OEM_MINUS},
                            {"BracketLeft", "{", 0xDB},
                            {"BracketRight", "}", 0xDD}, // the viewer's keys with Shift
                            {"Comma", "<", 0xBC},
                            {"Period", ">", VK_OEM_PERIOD},
                        });
    // German: + and - have keys of their own; the key where QWERTY has - gives ß.
    expectAll("QWERTZ", {
                            {"BracketRight", "+", VK_OEM_PLUS},
                            {"Slash", "-", VK_OEM_MINUS},
                            {"Minus", "\xC3\x9F", VK_OEM_MINUS},
                            {"Equal", "Dead", VK_OEM_PLUS},
                            {"Digit8", "[", 0xDB}, // AltGr+8 and 9
                            {"Digit9", "]", 0xDD},
                        });
}
