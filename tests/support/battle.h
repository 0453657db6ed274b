// A mission as the driver holds it, played frame by frame without the driver:
// the ships, frags, camera, zoom and the player's choices, with a ready-made
// battle of up to 50 ships on three sides. Shared by the play tests, the soak
// test and the frame benchmark. Header-only.
#pragma once

#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/app.h"
#include "app/play.h"
#include "model/model.h"
#include "render/render.h"

struct PlayWorld {
    std::vector<ship> a = std::vector<ship>(shipCount);
    std::vector<frag> b = std::vector<frag>(fragCount);
    vec2 cam;
    float zom = 1;
    int you = 0, sid = 0;
    bool aliv = false, autr = false, autp = false;
    int mode = modePlay;

    PlayState state() {
        return PlayState{a.data(), b.data(), cam, zom, you, sid, aliv, autr, autp, mode};
    }
    void frame(HDC hdc, float t) { playFrame(hdc, state(), t); }

    int liveFrags() const {
        int n = 0;
        for (const frag& f : b) n += f.life > 0;
        return n;
    }
};

// Three sides in a triangle around the origin, each a Base with fighters of
// every design and a freighter, every ship respawning without end. Each side's
// ships come back at the next side's Base too when their own is gone (a Base
// is the home of the Base before it), so the battle never runs dry. The first
// `count` slots of this arrangement are filled; the player watches ship 0.
inline void makeBattle(PlayWorld& w, int count, unsigned seed) {
    std::srand(seed);
    const int perSide = (shipCount + 2) / 3; // 17, 17, 16
    const vec2 corner[3] = {vec2(0, -700), vec2(606, 350), vec2(-606, 350)};
    for (int i = 0; i < count && i < shipCount; ++i) {
        int side = i % 3, rank = i / 3;
        int baseSlot = side; // slots 0, 1, 2 are the Bases
        vec2 home = corner[side];
        if (rank == 0) {
            w.a[i] = ship(home, typeBase, side, true);
            w.a[i].homeBase = (side + 1) % 3 < count ? (side + 1) % 3 : i;
        } else {
            int type = rank == perSide - 1 ? typeTransport : 1 + rank % 3;
            vec2 at = home + vec2(std::cos(rank * 1.3), std::sin(rank * 1.3)) * (150 + 25 * rank);
            w.a[i] = ship(at, type, side, true);
            w.a[i].homeBase = baseSlot < count ? baseSlot : i;
            w.a[i].target = (i + 1) % count;
            w.a[i].wayA = home;
            w.a[i].wayB = corner[(side + 1) % 3];
        }
        w.a[i].respawns = respawnUnlimited;
    }
    w.you = 0;
    w.sid = w.a[0].side;
    w.zom = defaultZoom(workRes(true, 1, 0));
}
