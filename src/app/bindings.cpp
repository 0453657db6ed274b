// The key bindings applied to the keys as they are held.
#include "app/bindings.h"

#include "app/app.h"
#include "platform/keys.h"

namespace {

bool held(const keyBinding& b, const bool raw[256]) {
    for (int k : b.keys)
        if (k > 0 && k < 256 && raw[k]) return true;
    return b.button > 0 && b.button < 256 && raw[b.button];
}

bool inFlight(int mode) { return mode == modePlay || mode > modeLost; }

} // namespace

bool actionBoundIn(int a, int mode) {
    if (inFlight(mode)) return true;
    if (mode == modeEditor) return a == actZoomIn || a == actZoomOut || a == actResetView;
    return false;
}

void bindKeys(const settings& s, int mode, bool keys[256]) {
    bool raw[256];
    for (int k = 0; k < 256; ++k) raw[k] = keys[k];
    for (int a = 0; a < actionCount; ++a)
        if (actionBoundIn(a, mode)) keys[actionOf(a).gameKey] = false;
    for (int a = 0; a < actionCount; ++a)
        if (actionBoundIn(a, mode) && held(s.binds[a], raw)) keys[actionOf(a).gameKey] = true;
    keys[VK_ESCAPE] = raw[VK_ESCAPE];
}
