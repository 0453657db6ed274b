// The computer minds: a small state machine per ship, chosen by its orders,
// that attacks, repairs, keeps station on a leader, flies a route, defends a
// base or patrols a line. The order of the rand calls is part of the game.
#include <cstdlib>

#include "ai/ai.h"

namespace {

// One random slot that is in use and not whole.
bool damageProbe(const ship& s) {
    const part& p = s.parts[std::rand() % partSlots];
    return p.kind != kindNone && p.health < getatt(p.kind, p.index, attrHealth);
}

bool weaponLost(const part& p) {
    return (p.kind == kindEngine || p.kind == kindGun) && p.health <= 0;
}

// One random slot that is a destroyed engine or gun.
bool weaponLossProbe(const ship& s) { return weaponLost(s.parts[std::rand() % partSlots]); }

// Every slot.
bool weaponLossScan(const ship& s) {
    for (const part& p : s.parts)
        if (weaponLost(p)) return true;
    return false;
}

struct Flags {
    bool& thrust;
    bool& turnRight;
    bool& turnLeft;
    bool& fire;
};

void fly(const ship& s, vec2 p, Flags f, float align, float lead, bool mayFire) {
    followThis(s, p, f.thrust, f.turnRight, f.turnLeft, f.fire, align, lead, mayFire);
}

// The attack on target t: far, close in on where it will be; near, lead the
// shot and fire when lined up.
void attack(const ship& s, const ship& t, bool second, Flags f) {
    const double d = retdis2(s.pos, t.pos);
    if (d > (second ? 900 : 700)) {
        const vec2 p = t.pos + (t.vel - s.vel) * (s.mass * 1.5);
        fly(s, p, f, 0.92f, second ? 0.25f : 0.2f, false);
    } else {
        const vec2 p = t.pos + (t.vel - s.vel) * d * (second ? 0.0003 : 0.0006);
        fly(s, p, f, 0.99f, second ? 0.05f : 0.12f, true);
    }
}

// Chooses the next mind by the ship's orders.
void chooseMind(ship& s, int i) {
    if (std::rand() % 4 == 1) s.target = i; // the next targeting takes the nearest enemy
    s.mindTime = float(std::rand() % 5 + 1);
    const bool hasTarget = s.target != i;
    const bool hasLeader = s.leader != i;
    switch (s.orders) {
    case orderFighter:
        if (hasTarget)
            s.mind = std::rand() % 2 + 1;
        else
            s.mind = hasLeader ? mindFollowLeader : mindFollowWaypoints;
        break;
    case orderGuardLine:
        if (hasTarget)
            s.mind = mindAttack;
        else
            s.mind = hasLeader ? mindFollowLeader : mindPatrolLine;
        break;
    case orderFreighter:
        s.mind = hasLeader ? mindFollowLeader : mindFollowWaypoints;
        break;
    case orderBase:
        if (damageProbe(s)) s.mind = mindCompleteRepair;
        break;
    default:
        break;
    }
}

} // namespace

void thinkShip(ship* ships, int i, bool& thrust, bool& turnRight, bool& turnLeft, bool& fire,
               bool& repair, bool& brake, float dt) {
    (void)brake; // the minds never brake
    if (!ships || i < 0 || i >= shipCount) return;
    ship& s = ships[i];
    // Our rule: a reference that names no slot is none.
    s.target = shipRef(s.target, i);
    s.leader = shipRef(s.leader, i);
    s.homeBase = shipRef(s.homeBase, i);
    const Flags f{thrust, turnRight, turnLeft, fire};

    if (s.mindTime > 0)
        s.mindTime -= dt;
    else
        s.mind = mindNormal; // replaced in this same call

    switch (s.mind) {
    case mindNormal:
        chooseMind(s, i);
        break;
    case mindAttack:
    case mindAttack2: {
        const bool second = s.mind == mindAttack2;
        if (weaponLossProbe(s)) s.mind = mindQuickRepair;
        attack(s, ships[s.target], second, f);
        if (s.target == i || !ships[s.target].alive) s.mind = mindNormal;
        break;
    }
    case mindQuickRepair:
        repair = true;
        s.mind = weaponLossScan(s) ? mindQuickRepair : mindNormal;
        break;
    case mindFollowLeader:
        if (damageProbe(s)) s.mind = mindCompleteRepair;
        if (s.leader != i) {
            const ship& l = ships[s.leader];
            if (retdis2(s.pos, l.pos) > (s.radius + l.radius) * 1.5)
                fly(s, l.pos + (l.vel - s.vel) * (s.mass * 1.5), f, 0.92f, 0.3f, false);
        }
        break;
    case mindCompleteRepair:
        repair = true;
        break;
    case mindFollowWaypoints:
        if (damageProbe(s)) s.mind = mindCompleteRepair;
        fly(s, s.waypoint - s.vel * (s.mass * 1.4), f, 0.98f, 0.3f, false);
        if (s.orders == orderFighter && s.homeBase != i &&
            ships[s.homeBase].mind == mindCompleteRepair)
            s.mind = mindDefendBase;
        break;
    case mindDefendBase:
        if (s.homeBase != i && ships[s.homeBase].mind == mindCompleteRepair)
            fly(s, ships[s.homeBase].pos - s.vel * (s.mass * 1.7), f, 0.98f, 0.3f, false);
        else
            s.mind = mindNormal;
        break;
    case mindPatrolLine:
        fly(s, s.waypoint - s.vel * (s.mass * 1.7), f, 0.98f, 0.3f, false);
        if (damageProbe(s)) s.mind = mindCompleteRepair;
        if (s.target != i) s.mind = mindAttack;
        break;
    default: // a mind no pilot knows does nothing
        break;
    }
}
