// Gamepads through SDL's virtual joystick: plugged in while running, the pad
// reads as the game's keys; a resting stick inside the dead zone turns
// nothing; pulled out, it holds nothing. And a pad flies a ship: turned,
// thrust and fire from the pad alone.
#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "app/app.h"
#include "app/bindings.h"
#include "ports/headless/headless.h"
#include "platform/pad.h"
#include "ports/sdl/sdl_pad.h"
#include "platform/system.h"
#include "support/battle.h"
#include "support/grid.h"

namespace {

// SDL without a display, with one virtual gamepad plugged in.
class VirtualPad : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(device, 0) << SDL_GetError();
        added(); // as the pump does on SDL_CONTROLLERDEVICEADDED
        ASSERT_NE(stick, nullptr) << "no game controller: " << SDL_GetError();
    }
    void TearDown() override {
        padCloseAll();
        SDL_Quit();
    }
    void added() {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (e.type == SDL_CONTROLLERDEVICEADDED) padAdded(e.cdevice.which);
            if (e.type == SDL_CONTROLLERDEVICEREMOVED) padRemoved(e.cdevice.which);
        }
        stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
    }
    void setAxis(SDL_GameControllerAxis a, float v) {
        SDL_JoystickSetVirtualAxis(stick, a, Sint16(v * 32767));
    }
    void setButton(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(stick, b, down ? 1 : 0);
    }
    std::vector<int> held() {
        SDL_JoystickUpdate();
        bool keys[256] = {};
        padHeld(keys);
        std::vector<int> out;
        for (int vk = 0; vk < 256; ++vk)
            if (keys[vk]) out.push_back(vk);
        return out;
    }

    int device = -1;
    SDL_Joystick* stick = nullptr;
};

using Keys = std::vector<int>;

} // namespace

TEST_F(VirtualPad, ReadsAsTheGamesKeysWithADeadZoneAndLetsGoWhenPulledOut) {
    EXPECT_EQ(held(), Keys{});
    // A stick resting just off centre turns nothing; past the dead zone it does.
    setAxis(SDL_CONTROLLER_AXIS_LEFTX, padDeadZone * 0.9f);
    setAxis(SDL_CONTROLLER_AXIS_LEFTY, -padDeadZone * 0.9f);
    EXPECT_EQ(held(), Keys{});
    setAxis(SDL_CONTROLLER_AXIS_LEFTX, -0.8f);
    setAxis(SDL_CONTROLLER_AXIS_LEFTY, -0.6f);
    EXPECT_EQ(held(), (Keys{VK_LEFT, VK_UP, padUp, padLeft}));
    setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    setAxis(SDL_CONTROLLER_AXIS_LEFTY, 0);

    struct Press {
        SDL_GameControllerButton button;
        Keys keys;
    };
    const Press presses[] = {
        {SDL_CONTROLLER_BUTTON_A, {VK_RETURN, padA}},
        {SDL_CONTROLLER_BUTTON_B, {padB}},
        {SDL_CONTROLLER_BUTTON_X, {padX}},
        {SDL_CONTROLLER_BUTTON_Y, {padY}},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, {padLeftShoulder}},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, {padRightShoulder}},
        {SDL_CONTROLLER_BUTTON_BACK, {padBack}},
        {SDL_CONTROLLER_BUTTON_START, {VK_ESCAPE, padStart}},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, {VK_UP, padUp}},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, {VK_RIGHT, padRight}},
    };
    for (const Press& p : presses) {
        setButton(p.button, true);
        EXPECT_EQ(held(), p.keys) << SDL_GameControllerGetStringForButton(p.button);
        setButton(p.button, false);
    }
    setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.9f);
    EXPECT_EQ(held(), Keys{padRightTrigger});

    // Pulled out while held: nothing is held any more.
    SDL_JoystickDetachVirtual(device);
    added();
    EXPECT_EQ(held(), Keys{});
}

TEST_F(VirtualPad, FliesAShip) {
    Canvas canvas(800, 600);
    workRes(false, 800, 600);
    PlayWorld w;
    std::srand(3);
    w.a[0] = ship(vec2(0, 0), typeHeavyFighter, sideGreen, true);
    w.a[0].energy = w.a[0].energyMax = 100;
    w.you = 0;
    w.sid = sideGreen;
    w.aliv = true;
    w.a[1] = ship(vec2(20000, 0), typeBase, sideRed, true); // something to fight, far off
    w.a[1].objective = objDestroy;
    w.a[0].objective = objDefend;

    // The stick half left and the trigger down, A held: the pad's keys, after
    // the default bindings, are what the game reads each frame.
    setAxis(SDL_CONTROLLER_AXIS_LEFTX, -0.5f);
    setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    setButton(SDL_CONTROLLER_BUTTON_A, true);
    const vec2 startDir = w.a[0].dir;
    int shots = 0;
    for (int f = 0; f < 60; ++f) {
        bool keys[256] = {};
        for (int vk : held()) keys[vk] = true;
        bindKeys(defaultSettings(), modePlay, keys);
        for (int vk = 0; vk < 256; ++vk) headlessSetKey(vk, keys[vk]);
        key(0);
        w.frame(canvas.dc, 1.0f / 60);
        for (const frag& b : w.b) shots += b.type <= 2 && b.life > 3.9f;
    }
    for (int vk = 0; vk < 256; ++vk) headlessSetKey(vk, false);
    EXPECT_LT(w.a[0].spin, -0.5f) << "turning left";
    EXPECT_GT(retdot2(w.a[0].vel, startDir), 20) << "thrusting ahead";
    EXPECT_GT(shots, 0) << "firing";
}
