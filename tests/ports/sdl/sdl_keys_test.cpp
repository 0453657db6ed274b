// The SDL key table on three keyboard layouts: the number row reads as digits
// by its place, letters as the layout prints them.
#include <gtest/gtest.h>

#include <string>

#include "ports/sdl/sdl_keys.h"
#include "platform/system.h"

namespace {

struct Press {
    SDL_Scancode place;
    SDL_Keycode code; // what the layout gives without Shift
    int expected;
    const char* what;
};

int read(const Press& p) {
    SDL_Keysym k{};
    k.scancode = p.place;
    k.sym = p.code;
    return virtualKey(k);
}

void expectAll(const char* layout, std::initializer_list<Press> presses) {
    for (const Press& p : presses) EXPECT_EQ(read(p), p.expected) << layout << ": " << p.what;
}

} // namespace

TEST(SdlKeys, NumberRowAndLettersOnQwertyAzertyAndQwertz) {
    expectAll("QWERTY", {
                            {SDL_SCANCODE_1, SDLK_1, '1', "1"},
                            {SDL_SCANCODE_0, SDLK_0, '0', "0"},
                            {SDL_SCANCODE_Q, SDLK_q, 'Q', "Q"},
                            {SDL_SCANCODE_Z, SDLK_z, 'Z', "Z"},
                            {SDL_SCANCODE_PERIOD, SDLK_PERIOD, VK_OEM_PERIOD, "full stop"},
                        });
    // French: the number row gives & é " ' ( - è _ ç à without Shift; A and Q,
    // Z and W change places; M sits right of L; the full stop needs Shift.
    expectAll("AZERTY", {
                            {SDL_SCANCODE_1, SDLK_AMPERSAND, '1', "&"},
                            {SDL_SCANCODE_2, 0xE9, '2', "e acute"},
                            {SDL_SCANCODE_3, SDLK_QUOTEDBL, '3', "double quote"},
                            {SDL_SCANCODE_6, SDLK_MINUS, '6', "minus"},
                            {SDL_SCANCODE_8, SDLK_UNDERSCORE, '8', "underscore"},
                            {SDL_SCANCODE_9, 0xE7, '9', "c cedilla"},
                            {SDL_SCANCODE_0, 0xE0, '0', "a grave"},
                            {SDL_SCANCODE_Q, SDLK_a, 'A', "A"},
                            {SDL_SCANCODE_A, SDLK_q, 'Q', "Q"},
                            {SDL_SCANCODE_W, SDLK_z, 'Z', "Z"},
                            {SDL_SCANCODE_Z, SDLK_w, 'W', "W"},
                            {SDL_SCANCODE_SEMICOLON, SDLK_m, 'M', "M"},
                            {SDL_SCANCODE_M, SDLK_COMMA, 0xBC, "comma"},
                        });
    // German: Y and Z change places; the number row gives digits.
    expectAll("QWERTZ", {
                            {SDL_SCANCODE_1, SDLK_1, '1', "1"},
                            {SDL_SCANCODE_9, SDLK_9, '9', "9"},
                            {SDL_SCANCODE_Y, SDLK_z, 'Z', "Z"},
                            {SDL_SCANCODE_Z, SDLK_y, 'Y', "Y"},
                            {SDL_SCANCODE_MINUS, 0xDF, 0, "sharp s"},
                        });
    // Russian: no Latin letters; the key where QWERTY has F (Cyrillic a) reads as F.
    expectAll("JCUKEN", {{SDL_SCANCODE_F, 0x430, 'F', "Cyrillic a"}});
}

TEST(SdlKeys, KeysTheGameReadsEverywhere) {
    expectAll("any", {
                         {SDL_SCANCODE_RETURN, SDLK_RETURN, VK_RETURN, "Enter"},
                         {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, VK_RETURN, "numpad Enter"},
                         {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, VK_ESCAPE, "Escape"},
                         {SDL_SCANCODE_TAB, SDLK_TAB, VK_TAB, "Tab"},
                         {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, VK_BACK, "Backspace"},
                         {SDL_SCANCODE_SPACE, SDLK_SPACE, VK_SPACE, "Space"},
                         {SDL_SCANCODE_HOME, SDLK_HOME, VK_HOME, "Home"},
                         {SDL_SCANCODE_END, SDLK_END, VK_END, "End"},
                         {SDL_SCANCODE_LEFT, SDLK_LEFT, VK_LEFT, "Left"},
                         {SDL_SCANCODE_UP, SDLK_UP, VK_UP, "Up"},
                         {SDL_SCANCODE_RIGHT, SDLK_RIGHT, VK_RIGHT, "Right"},
                         {SDL_SCANCODE_DOWN, SDLK_DOWN, VK_DOWN, "Down"},
                         {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, VK_LSHIFT, "left Shift"},
                         {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, VK_RSHIFT, "right Shift"},
                         {SDL_SCANCODE_KP_0, SDLK_KP_0, VK_NUMPAD0, "numpad 0"},
                         {SDL_SCANCODE_KP_7, SDLK_KP_7, VK_NUMPAD0 + 7, "numpad 7"},
                         {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, VK_ADD, "numpad +"},
                         {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, VK_SUBTRACT, "numpad -"},
                         {SDL_SCANCODE_F2, SDLK_F2, 0x71, "F2"},
                         {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 0, "Caps Lock"},
                     });
}
