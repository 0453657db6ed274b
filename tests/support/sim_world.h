// A mission's worth of ships and frags for the simulation tests, with the
// calls they make over and over. Header-only.
#pragma once

#include <vector>

#include "model/model.h"
#include "sim/sim.h"

struct SimWorld {
    std::vector<ship> ships = std::vector<ship>(shipCount);
    std::vector<frag> frags = std::vector<frag>(fragCount);

    int liveFrags() const {
        int n = 0;
        for (const frag& f : frags) n += f.life > 0;
        return n;
    }
    int liveOfType(int type) const {
        int n = 0;
        for (const frag& f : frags) n += f.life > 0 && f.type == type;
        return n;
    }
    // Ship i steps under these flags.
    void step(int i, bool thrust, bool right, bool left, bool fire, bool repair, float dt) {
        actShip(ships.data(), i, frags.data(), thrust, right, left, fire, repair, dt);
    }
    void idle(int i, float dt) { step(i, false, false, false, false, false, dt); }
    // Frag j steps, without drawing.
    void act(int j, float dt) {
        actFrags(nullptr, dt, vec2(0, 0), 1, ships.data(), frags.data(), j, true);
    }
};
