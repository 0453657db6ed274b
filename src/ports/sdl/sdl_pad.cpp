// SDL's game controllers: the open pads, and each read as a padState.
#include "ports/sdl/sdl_pad.h"

#include <algorithm>
#include <vector>

#include "platform/pad.h"

namespace {

std::vector<SDL_GameController*>& pads() {
    static std::vector<SDL_GameController*> open;
    return open;
}

float axis(SDL_GameController* pad, SDL_GameControllerAxis a) {
    return std::max(-1.0f, SDL_GameControllerGetAxis(pad, a) / 32767.0f);
}

bool button(SDL_GameController* pad, SDL_GameControllerButton b) {
    return SDL_GameControllerGetButton(pad, b) != 0;
}

} // namespace

void padAdded(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (!pad) return;
    // SDL may announce a pad twice (at start-up and as it is found).
    if (std::find(pads().begin(), pads().end(), pad) == pads().end()) pads().push_back(pad);
}

void padRemoved(SDL_JoystickID instance) {
    auto& open = pads();
    for (auto it = open.begin(); it != open.end(); ++it) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(*it)) == instance) {
            SDL_GameControllerClose(*it);
            open.erase(it);
            return;
        }
    }
}

void padCloseAll() {
    for (SDL_GameController* pad : pads()) SDL_GameControllerClose(pad);
    pads().clear();
}

padState readPad(SDL_GameController* pad) {
    padState p;
    p.leftX = axis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    p.leftY = axis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    p.rightTrigger = axis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    p.up = button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    p.down = button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    p.left = button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    p.right = button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    p.a = button(pad, SDL_CONTROLLER_BUTTON_A);
    p.b = button(pad, SDL_CONTROLLER_BUTTON_B);
    p.x = button(pad, SDL_CONTROLLER_BUTTON_X);
    p.y = button(pad, SDL_CONTROLLER_BUTTON_Y);
    p.leftShoulder = button(pad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
    p.rightShoulder = button(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
    p.back = button(pad, SDL_CONTROLLER_BUTTON_BACK);
    p.start = button(pad, SDL_CONTROLLER_BUTTON_START);
    return p;
}

void padHeld(bool keys[256]) {
    for (SDL_GameController* pad : pads()) padKeys(readPad(pad), keys);
}
