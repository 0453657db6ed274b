// The gamepad's buttons and sticks as the game's virtual keys.
#include "platform/pad.h"

#include "platform/system.h"

void padKeys(const padState& p, bool keys[256]) {
    auto hold = [&](bool on, int vk) {
        if (on) keys[vk] = true;
    };
    // What a pad always does: the stick and the pad are the arrow keys, A
    // takes (Enter) and Start leads to the menu (Escape).
    const bool left = p.left || p.leftX < -padDeadZone, right = p.right || p.leftX > padDeadZone;
    const bool up = p.up || p.leftY < -padDeadZone, down = p.down || p.leftY > padDeadZone;
    hold(left, VK_LEFT);
    hold(right, VK_RIGHT);
    hold(up, VK_UP);
    hold(down, VK_DOWN);
    hold(p.a, VK_RETURN);
    hold(p.start, VK_ESCAPE);
    // Every button as itself, for the bindings to give it its action in flight.
    hold(left, padLeft);
    hold(right, padRight);
    hold(up, padUp);
    hold(down, padDown);
    hold(p.a, padA);
    hold(p.b, padB);
    hold(p.x, padX);
    hold(p.y, padY);
    hold(p.leftShoulder, padLeftShoulder);
    hold(p.rightShoulder, padRightShoulder);
    hold(p.rightTrigger > padTriggerPoint, padRightTrigger);
    hold(p.back, padBack);
    hold(p.start, padStart);
}
