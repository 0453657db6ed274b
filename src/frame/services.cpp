// The per-frame services: the stored window size, the frame timer, the key
// query gated by the focus flag, and the cursor, read live from the window
// system or from a recording being played.
#include "frame/frame.h"
#include "platform/system.h"

bool global_gotfocus_tag = false;

int workRes(bool get, int value, int height) {
    static int windowWidth = 800;
    static int windowHeight = 600;
    if (!get) {
        windowWidth = value;
        windowHeight = height;
        return 0;
    }
    return value != 0 ? windowWidth : windowHeight;
}

float frameSpd(frameClock& c, double now) {
    if (!c.started) {
        c.started = true;
        c.origin = now;
        c.timeLast = c.timeNow = float(now - c.origin);
    }
    c.timeNow = float(now - c.origin);
    float d = c.timeNow - c.timeLast;
    c.timeLast = c.timeNow;
    // Only the upper bound: a stall never advances the game more than 0.05 s,
    // and a clock that steps back passes through as it always did.
    if (d > 0.05) return 0.05f;
    return d;
}

float retFrameSpd() {
    static frameClock clock;
    return frameSpd(clock, sysSeconds());
}

namespace {

const inputState*& played() {
    static const inputState* s = nullptr;
    return s;
}

} // namespace

void playInput(const inputState* s) { played() = s; }

const inputState* playedInput() { return played(); }

bool hasFocus() { return played() ? played()->focus : sysHasFocus(); }

inputState liveInput() {
    inputState s;
    for (int vk = 0; vk < 256; ++vk) s.keys[vk] = sysKeyDown(vk);
    s.focus = sysHasFocus();
    const POINT p = sysCursor();
    s.x = p.x;
    s.y = p.y;
    return s;
}

bool key(int virtualKey) {
    if (virtualKey == 0) global_gotfocus_tag = hasFocus();
    if (!global_gotfocus_tag) return false;
    if (const inputState* s = played())
        return virtualKey >= 0 && virtualKey < 256 && s->keys[virtualKey];
    return sysKeyDown(virtualKey);
}

vec2 mousePos() {
    if (const inputState* s = played()) return vec2(s->x, s->y);
    POINT p = sysCursor();
    return vec2(p.x, p.y);
}
