// The gamepad's buttons and sticks as the game's virtual keys.
#include "platform/pad.h"

#include "platform/system.h"

void padKeys(const padState& p, bool keys[256]) {
    auto hold = [&](bool on, int vk) {
        if (on) keys[vk] = true;
    };
    hold(p.left || p.leftX < -padDeadZone, VK_LEFT);
    hold(p.right || p.leftX > padDeadZone, VK_RIGHT);
    hold(p.up || p.leftY < -padDeadZone || p.rightTrigger > padTriggerPoint, VK_UP);
    hold(p.down || p.leftY > padDeadZone || p.b, VK_DOWN);
    hold(p.a, VK_SHIFT);  // fire
    hold(p.a, VK_RETURN); // and take, on the screens
    hold(p.x, 'R');
    hold(p.y, VK_NUMPAD0);
    hold(p.leftShoulder, VK_TAB);
    hold(p.rightShoulder, 'A');
    hold(p.back, 'C');
    hold(p.start, VK_ESCAPE);
}
