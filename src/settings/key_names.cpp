// The keys a player may bind, by the names the settings file gives them. The
// names never change, so files stay readable; a key without one (Escape, F1,
// F2, F11, F12, the mouse buttons) cannot be bound.
#include <array>
#include <cctype>

#include "platform/keys.h"
#include "settings/settings.h"

namespace {

// The codes platform/keys.h leaves out (windows.h has them all).
#if !defined(_WIN32)
constexpr int VK_PRIOR = 0x21; // Page Up
constexpr int VK_NEXT = 0x22;  // Page Down
constexpr int VK_INSERT = 0x2D;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_OEM_1 = 0xBA; // ;
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_2 = 0xBF; // /
constexpr int VK_OEM_3 = 0xC0; // `
constexpr int VK_OEM_4 = 0xDB; // [
constexpr int VK_OEM_5 = 0xDC; // backslash
constexpr int VK_OEM_6 = 0xDD; // ]
constexpr int VK_OEM_7 = 0xDE; // '
#endif

struct named {
    int vk;
    const char* name;
};

// Beside these: the letters, the digits, Numpad0..9 and F3..F10 (keyName).
const named names[] = {
    {VK_UP, "Up"},
    {VK_DOWN, "Down"},
    {VK_LEFT, "Left"},
    {VK_RIGHT, "Right"},
    {VK_SHIFT, "Shift"},
    {VK_CONTROL, "Control"},
    {VK_MENU, "Alt"},
    {VK_SPACE, "Space"},
    {VK_RETURN, "Enter"},
    {VK_TAB, "Tab"},
    {VK_BACK, "Backspace"},
    {VK_DELETE, "Delete"},
    {VK_INSERT, "Insert"},
    {VK_HOME, "Home"},
    {VK_END, "End"},
    {VK_PRIOR, "PageUp"},
    {VK_NEXT, "PageDown"},
    {VK_ADD, "NumpadPlus"},
    {VK_SUBTRACT, "NumpadMinus"},
    {VK_MULTIPLY, "NumpadMultiply"},
    {VK_DIVIDE, "NumpadDivide"},
    {VK_DECIMAL, "NumpadPoint"},
    {VK_OEM_PLUS, "Equals"},
    {VK_OEM_MINUS, "Minus"},
    {VK_OEM_COMMA, "Comma"},
    {VK_OEM_PERIOD, "Period"},
    {VK_OEM_1, "Semicolon"},
    {VK_OEM_2, "Slash"},
    {VK_OEM_3, "Backquote"},
    {VK_OEM_4, "LeftBracket"},
    {VK_OEM_5, "Backslash"},
    {VK_OEM_6, "RightBracket"},
    {VK_OEM_7, "Quote"},
    {padA, "PadA"},
    {padB, "PadB"},
    {padX, "PadX"},
    {padY, "PadY"},
    {padLeftShoulder, "PadLeftShoulder"},
    {padRightShoulder, "PadRightShoulder"},
    {padLeftTrigger, "PadLeftTrigger"},
    {padRightTrigger, "PadRightTrigger"},
    {padUp, "PadUp"},
    {padDown, "PadDown"},
    {padLeft, "PadLeft"},
    {padRight, "PadRight"},
    {padStart, "PadStart"},
    {padBack, "PadBack"},
};

bool sameName(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

} // namespace

std::string keyName(int vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, char(vk));
    // Built by appending: "F" + std::to_string trips GCC 12's -Wrestrict at -O3.
    std::string name;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        name = "Numpad";
        name += char('0' + vk - VK_NUMPAD0);
    } else if (vk >= VK_F1 + 2 && vk <= VK_F1 + 9) {
        name = "F";
        name += std::to_string(vk - VK_F1 + 1);
    }
    for (const named& n : names)
        if (n.vk == vk) name = n.name;
    return name;
}

int keyByName(const std::string& name) {
    static const auto known = [] {
        std::array<std::string, 256> all;
        for (int vk = 0; vk < 256; ++vk) all[vk] = keyName(vk);
        return all;
    }();
    if (name.empty()) return 0;
    for (int vk = 1; vk < 256; ++vk)
        if (sameName(name, known[vk].c_str())) return vk;
    return 0;
}
