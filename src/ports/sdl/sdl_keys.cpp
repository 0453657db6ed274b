// The SDL key table: SDL's scan codes and key codes as the game's virtual keys.
#include "ports/sdl/sdl_keys.h"

#include <string>

#include "platform/system.h"

namespace {

// Keys that read the same on every layout, and the punctuation keys, by
// the layout's key code.
int otherKey(SDL_Keycode k) {
    if (k >= SDLK_F1 && k <= SDLK_F12) return int(k - SDLK_F1) + 0x70;
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return VK_NUMPAD0 + 1 + int(k - SDLK_KP_1);
    switch (k) {
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY:
        return 0x6A;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
        return 0x6E;
    case SDLK_KP_DIVIDE:
        return 0x6F;
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_COMMA:
        return 0xBC;
    case SDLK_MINUS:
        return 0xBD;
    case SDLK_EQUALS:
        return 0xBB;
    case SDLK_LSHIFT:
        return VK_LSHIFT;
    case SDLK_RSHIFT:
        return VK_RSHIFT;
    case SDLK_LCTRL:
        return VK_LCONTROL;
    case SDLK_RCTRL:
        return VK_RCONTROL;
    case SDLK_LALT:
        return VK_LMENU;
    case SDLK_RALT:
        return VK_RMENU;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_PAGEUP:
        return 0x21;
    case SDLK_PAGEDOWN:
        return 0x22;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_DELETE:
        return 0x2E;
    case SDLK_INSERT:
        return 0x2D;
    case SDLK_SEMICOLON:
        return 0xBA;
    case SDLK_SLASH:
        return 0xBF;
    case SDLK_BACKQUOTE:
        return 0xC0;
    case SDLK_LEFTBRACKET:
        return 0xDB;
    case SDLK_BACKSLASH:
        return 0xDC;
    case SDLK_RIGHTBRACKET:
        return 0xDD;
    case SDLK_QUOTE:
        return 0xDE;
    default:
        return 0;
    }
}

} // namespace

int virtualKey(const SDL_Keysym& key) {
    const SDL_Scancode place = key.scancode;
    const SDL_Keycode k = key.sym;
    if (place >= SDL_SCANCODE_1 && place <= SDL_SCANCODE_9)
        return '1' + int(place - SDL_SCANCODE_1);
    if (place == SDL_SCANCODE_0) return '0';
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + int(k - SDLK_a);
    // Key codes from 128 on are the layout's own characters (Cyrillic, Greek...).
    if (place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z && k >= 128 && !(k & SDLK_SCANCODE_MASK))
        return 'A' + int(place - SDL_SCANCODE_A);
    return otherKey(k);
}

std::string keyLabel(int vk) {
    if (vk == VK_SHIFT) return "Shift";
    if (vk == VK_CONTROL) return "Ctrl";
    if (vk == VK_MENU) return "Alt";
    if (vk >= 'A' && vk <= 'Z') return std::string(1, char(vk));
    // The key of the current layout that gives this code, by its printed name.
    for (int place = 0; place < SDL_NUM_SCANCODES; ++place) {
        SDL_Keysym key{};
        key.scancode = SDL_Scancode(place);
        key.sym = SDL_GetKeyFromScancode(key.scancode);
        if (key.sym == SDLK_UNKNOWN || virtualKey(key) != vk) continue;
        const char* name = SDL_GetKeyName(key.sym);
        if (name && *name) return name;
    }
    return "";
}
