// The play frame. For now the ships hold their places: the pilots, the ship
// step and the fragments come with the simulation; what stands is the camera,
// the mode keys, the view, drawing, and the mission's result.
#include "app/play.h"

#include "app/app.h"
#include "draw/draw.h"
#include "platform/system.h"
#include "render/render.h"

vec2 screenOf(vec2 p, vec2 cam, float zom) {
    vec2 centre(workRes(true, 1, 0) / 2, workRes(true, 0, 0) / 2);
    return (p + cam) * zom + centre;
}

void playFrame(HDC hdc, const PlayState& s, float t) {
    vec2 cursor(10, 10);
    int w = workRes(true, 1, 0);
    bool noDestroy = true, noDefend = true;

    // The view follows one frame's motion ahead of the player's ship; its
    // loss for good ends the mission.
    ship& own = s.a[s.you];
    if (own.alive && own.side == s.sid) {
        s.cam = (own.pos + own.vel * t) * -1;
    } else if (own.respawns == 0 || !s.a[own.homeBase].alive) {
        s.mode = modeLost;
        return;
    }

    if (key('C')) s.aliv = true, s.autr = false, s.autp = true;
    if (key('X')) s.aliv = false;

    if (!s.aliv) {
        setLine(hdc, 0, 1, 0xffaf64);
        cursor = drawText(hdc, cursor, 10, float(w), 2, "Spectator mode - press C to take control\n");
        endLine(hdc);
        if (key(VK_ADD)) s.zom = s.zom * (1 + t);
        if (key(VK_SUBTRACT)) s.zom = s.zom / (1 + t);
        if (key(VK_BACK)) s.zom = float(w * 0.0006875);
    } else {
        s.zom = float(w * 0.0006875);
    }

    for (int i = 0; i < shipCount; ++i) {
        const ship& sh = s.a[i];
        if (!sh.alive) continue;
        if (sh.objective == objDestroy) noDestroy = false;
        if (sh.objective == objDefend) noDefend = false;
        vec2 reach = vec2(800, 800) / s.zom;
        if (inbox(sh.pos, s.cam * -1 - reach, s.cam * -1 + reach))
            drawShip(hdc, sh, screenOf(sh.pos, s.cam, s.zom), s.zom);
    }

    if (noDefend) s.mode = modeLost;
    else if (noDestroy) s.mode = modeWon;
}
