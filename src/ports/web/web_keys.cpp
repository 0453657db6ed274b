// The browser's key table: KeyboardEvent.code and .key as virtual keys.
#include "ports/web/web_keys.h"

#include "platform/system.h"

namespace {

struct named {
    std::string_view code;
    int vk;
};

// Keys read by their place: those that print nothing, and the keypad, whose
// keys read the same with Num Lock on or off.
constexpr named places[] = {
    {"Numpad0", VK_NUMPAD0},   {"NumpadMultiply", 0x6A}, {"NumpadAdd", VK_ADD},
    {"NumpadSubtract", VK_SUBTRACT}, {"NumpadDecimal", 0x6E}, {"NumpadDivide", 0x6F},
    {"NumpadEnter", VK_RETURN}, {"ShiftLeft", VK_LSHIFT}, {"ShiftRight", VK_RSHIFT},
    {"ControlLeft", VK_LCONTROL}, {"ControlRight", VK_RCONTROL}, {"AltLeft", VK_LMENU},
    {"AltRight", VK_RMENU},  {"ArrowLeft", VK_LEFT},    {"ArrowUp", VK_UP},
    {"ArrowRight", VK_RIGHT},  {"ArrowDown", VK_DOWN},    {"Home", VK_HOME},
    {"End", VK_END},           {"PageUp", 0x21},          {"PageDown", 0x22},
    {"Tab", VK_TAB},           {"Enter", VK_RETURN},      {"Escape", VK_ESCAPE},
    {"Backspace", VK_BACK},    {"Space", VK_SPACE},       {"Delete", VK_DELETE},
    {"Insert", 0x2D},
};

// The punctuation keys by their place on a US keyboard, as Windows names
// them there: for a key whose character the game has no code for (the
// shifted ones, a layout's own letters).
constexpr named punctuation[] = {
    {"Semicolon", 0xBA},       {"Equal", VK_OEM_PLUS}, {"Comma", 0xBC},     {"Minus", VK_OEM_MINUS},
    {"Period", VK_OEM_PERIOD}, {"Slash", 0xBF},        {"Backquote", 0xC0}, {"BracketLeft", 0xDB},
    {"Backslash", 0xDC},       {"BracketRight", 0xDD}, {"Quote", 0xDE},     {"IntlBackslash", 0xE2},
};

bool latin(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "F1".."F12", "Numpad1".."Numpad9": the number after the prefix, else 0.
int numberAfter(std::string_view code, std::string_view prefix) {
    if (code.substr(0, prefix.size()) != prefix) return 0;
    int n = 0;
    for (char c : code.substr(prefix.size())) {
        if (c < '0' || c > '9' || n > 99) return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

int webVirtualKey(std::string_view code, std::string_view key) {
    // The viewer's speed keys wherever the layout prints them (AltGr+8 and 9
    // on a German keyboard, AltGr+5 and the key right of it on a French one).
    if (key == "[") return 0xDB;
    if (key == "]") return 0xDD;
    if (code.size() == 6 && code.substr(0, 5) == "Digit" && code[5] >= '0' && code[5] <= '9')
        return code[5];
    if (key.size() == 1 && latin(key[0])) return key[0] & ~0x20; // the capital letter
    // A letter's place on a layout that prints no Latin letter there.
    const bool letterPlace = code.size() == 4 && code.substr(0, 3) == "Key" && latin(code[3]);
    const bool printsAscii = key.size() == 1 && static_cast<unsigned char>(key[0]) < 0x80;
    if (letterPlace && !printsAscii) return code[3];
    if (const int f = numberAfter(code, "F"); f >= 1 && f <= 12) return 0x70 + f - 1;
    if (const int n = numberAfter(code, "Numpad"); n >= 1 && n <= 9) return VK_NUMPAD0 + n;
    for (const named& p : places)
        if (p.code == code) return p.vk;
    // The punctuation the game knows, as the layout prints it (+ and - where
    // a layout has keys of their own for them), else by the key's place.
    if (key == ".") return VK_OEM_PERIOD;
    if (key == ",") return 0xBC;
    if (key == "-" || key == "_") return VK_OEM_MINUS;
    if (key == "=" || key == "+") return VK_OEM_PLUS;
    for (const named& p : punctuation)
        if (p.code == code) return p.vk;
    return 0;
}
