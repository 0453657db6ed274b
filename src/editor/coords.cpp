// The editor's screen transform both ways and its hit tests: which ship and
// which tool button lie under the mouse.
#include "editor/editor_internal.h"
#include "frame/frame.h"

vec2 editorCentre() { return vec2(workRes(true, 1, 0) / 2, workRes(true, 0, 0) / 2); }

vec2 toScreen(vec2 p, vec2 cam, float zom) { return (p + cam) * zom + editorCentre(); }

vec2 toWorld(vec2 screen, vec2 cam, float zom) {
    return vec2(0, 0) - cam + (screen - editorCentre()) / zom;
}

int shipUnder(const ship* ships, vec2 m, vec2 cam, float zom) {
    for (int i = 0; i < shipCount; ++i) {
        const ship& s = ships[i];
        if (s.alive && retdis2(m, toScreen(s.pos, cam, zom)) < s.radius * zom + 5) return i;
    }
    return -1;
}

int buttonUnder(vec2 m) {
    for (int k = 0; k < toolCount; ++k)
        if (m.x > 10 + 60 * k && m.y > 10 && m.x < 60 + 60 * k && m.y < 60) return k;
    return -1;
}
