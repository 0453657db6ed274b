// Target selection and route keeping: setTargets keeps a ship's references
// valid, improves its nearest ships by one random probe per frame and moves it
// along its route; findShip picks a slot for a new ship.
#include <algorithm>
#include <cstdlib>

#include "ai/ai.h"

namespace {

constexpr double searchRadius = 3000;
constexpr double arrivalRadius = 150;
constexpr double worldHalf = 30000;

vec2 clampToWorld(vec2 p) {
    return vec2(std::clamp(p.x, -worldHalf, worldHalf), std::clamp(p.y, -worldHalf, worldHalf));
}

// A reached waypoint moves the ship on along its route, by its orders.
void nextWaypoint(ship* ships, int i) {
    ship& s = ships[i];
    const bool hasHome = s.homeBase != i;
    const vec2 home = ships[s.homeBase].pos;
    switch (s.orders) {
    case orderFighter:
        if (hasHome && s.waypoint == home) {
            if (std::rand() % 5 == 0) {
                // A long patrol: three legs of up to 6000.
                s.waypoint = home + rndvec2() * searchRadius * 2;
                s.wayA = s.waypoint + rndvec2() * searchRadius * 2;
                s.wayB = s.wayA + rndvec2() * searchRadius * 2;
            } else {
                // A short one: three points within 2400 of home.
                s.waypoint = home + rndvec2() * searchRadius * 0.8;
                s.wayA = home + rndvec2() * searchRadius * 0.8;
                s.wayB = home + rndvec2() * searchRadius * 0.8;
            }
        } else if (!(s.waypoint == s.wayB)) {
            s.waypoint = !(s.waypoint == s.wayA) ? s.wayA : s.wayB;
        } else if (hasHome) {
            s.waypoint = home;
        } else {
            // No home to go back to: wander on in legs of up to 3000.
            s.waypoint = s.pos + rndvec2() * searchRadius;
            s.wayA = s.waypoint + rndvec2() * searchRadius;
            s.wayB = s.wayA + rndvec2() * searchRadius;
        }
        break;
    case orderGuardLine:
        if (!(s.waypoint == s.wayA)) {
            s.waypoint = s.wayA;
        } else {
            const vec2 old = s.wayA;
            s.wayA = s.wayB;
            s.wayB = old;
            s.waypoint = s.wayA;
        }
        break;
    case orderFreighter:
        if (!hasHome) {
            s.waypoint = !(s.waypoint == s.wayB) ? s.wayB : s.wayA;
        } else if (!(s.waypoint == home)) {
            s.waypoint = home;
        } else {
            // Delivered: sail on to a friendly base, if the draw finds one.
            const ship& r = ships[std::rand() % shipCount];
            if (r.alive && r.orders == orderBase && r.side == s.side) s.waypoint = r.pos;
        }
        break;
    default: // bases, and orders no pilot knows, keep their route
        break;
    }
}

} // namespace

void setTargets(ship* ships, int i) {
    if (!ships || i < 0 || i >= shipCount) return;
    ship& s = ships[i];
    s.target = shipRef(s.target, i);
    s.nearEnemy = shipRef(s.nearEnemy, i);
    s.nearShip = shipRef(s.nearShip, i);
    s.leader = shipRef(s.leader, i);
    s.homeBase = shipRef(s.homeBase, i);
    auto dist = [&](int x) { return retdis2(s.pos, ships[x].pos); };

    // One random probe per frame; the nearest ships improve over many frames.
    s.probe = std::rand() % shipCount;
    const double d0 = dist(s.probe);
    double d1 = dist(s.nearShip);
    const double d2 = dist(s.nearEnemy);
    const double d3 = dist(s.target);

    // Drop what is gone: too far, dead, or on our side.
    if (d1 > searchRadius || !ships[s.nearShip].alive) {
        s.nearShip = i;
        d1 = 0;
    }
    if (d2 > searchRadius || ships[s.nearEnemy].side == s.side || !ships[s.nearEnemy].alive)
        s.nearEnemy = i;
    if (d3 > searchRadius || ships[s.target].side == s.side || !ships[s.target].alive) s.target = i;

    const ship& p = ships[s.probe];
    if (d0 < searchRadius && s.probe != i && p.alive) {
        if (d0 < d1 || s.nearShip == i) s.nearShip = s.probe;
        if ((d0 < d2 || s.nearEnemy == i) && p.side != s.side) s.nearEnemy = s.probe;
    }

    if (s.target == i) s.target = s.nearEnemy;

    // A dead leader that will come back (respawns left, and a home base that
    // is not itself) stays the leader.
    const ship& l = ships[s.leader];
    if (l.side != s.side || (!l.alive && (l.respawns == 0 || l.homeBase == s.leader))) s.leader = i;

    const ship& h = ships[s.homeBase];
    if (!h.alive || h.side != s.side) s.homeBase = i;

    if (retdis2(s.pos, s.waypoint) < arrivalRadius) {
        nextWaypoint(ships, i);
        // New route points stay inside the world; points set in the editor are
        // only pulled in once the ship has reached its waypoint.
        s.waypoint = clampToWorld(s.waypoint);
        s.wayA = clampToWorld(s.wayA);
        s.wayB = clampToWorld(s.wayB);
    }
}

int findShip(ship* ships) {
    if (!ships) return 0;
    for (int i = 0; i < shipCount; ++i)
        if (!ships[i].alive) return i;
    return std::rand() % shipCount;
}
