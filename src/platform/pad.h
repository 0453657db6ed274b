// Gamepads as keys. The game reads only virtual keys, so a pad is mapped
// onto them here, below the game: the left stick and the pad are the arrow
// keys everywhere (turn, thrust and brake in flight; move in the menus), A is
// Enter and Start is Escape; and every button also holds a key of its own
// (padA..padBack), which the player's bindings give an action in flight (by
// default the right trigger thrusts, A fires, B brakes, X repairs, Y targets
// the nearest enemy, the left shoulder shows the radar, the right one
// switches on the autopilot and Back takes control).
#pragma once

// One pad as it stands, whatever reads it (SDL's game controllers, XInput).
struct padState {
    float leftX = 0, leftY = 0; // the left stick, -1..1, y down
    float rightTrigger = 0;     // 0..1
    bool up = false, down = false, left = false, right = false; // the pad
    bool a = false, b = false, x = false, y = false;
    bool leftShoulder = false, rightShoulder = false;
    bool back = false, start = false;
};

// A stick within this much of its rest reads as at rest: a worn stick that
// never quite centres must not turn the ship.
constexpr float padDeadZone = 0.25f;
constexpr float padTriggerPoint = 0.3f;

// Marks in keys[] (by virtual-key code) the keys the pad holds; leaves the
// others as they are, so several pads and the keyboard add up.
void padKeys(const padState& p, bool keys[256]);
