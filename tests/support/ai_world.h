// The pilots' tests: a mission of bare ships and the six control flags a
// pilot sets. Header-only.
#pragma once

#include <vector>

#include "ai/ai.h"

struct Flags {
    bool thrust = false, right = false, left = false, fire = false, repair = false, brake = false;
    bool any() const { return thrust || right || left || fire || repair || brake; }
};

struct World {
    std::vector<ship> ships = std::vector<ship>(shipCount);
    ship& operator[](int i) { return ships[i]; }
    ship* data() { return ships.data(); }
};

// A live ship without parts at pos heading along x, whose references are
// all empty and whose route is routeOffset away from it.
inline ship& put(World& w, int i, vec2 pos, int side, int orders = orderFighter,
                 vec2 routeOffset = vec2(0, 0)) {
    ship& s = w[i] = ship();
    s.pos = pos;
    s.dir = vec2(1, 0);
    s.mass = 1;
    s.alive = true;
    s.side = side;
    s.orders = orders;
    s.target = s.probe = s.nearEnemy = s.nearShip = s.leader = s.homeBase = i;
    s.waypoint = s.wayA = s.wayB = pos + routeOffset;
    return s;
}
