// The ship step: what the surviving parts give, the guns, thrust and turning,
// self-repair, the push-apart from the nearest ship, bases, motion and the
// soft world boundary.
#include <algorithm>

#include "sim/sim.h"
#include "sim/sim_internal.h"
#include "sound/sound.h"

namespace {

constexpr double shotSpeed = 500;
constexpr double speedLimit = 500; // forward speed where thrust fades to nothing
constexpr double thrustFactor = 1500;
constexpr float turnFactor = 1000;
constexpr float turnLimit = 15; // radians per second
constexpr double recoil = 5;
constexpr double reloadJitter = 0.1;
constexpr double pushStiffness = 4;
constexpr double minSeparation = 0.001;
constexpr float baseSpin = 0.1f;
constexpr double worldHalf = 30000;

bool slotIndex(int k) { return k >= 0 && k < partSlots; }

// A gun fires one shot along the ship's heading, whatever the gun's angle.
void fireGun(ship& s, part& p, frag* frags, float cost) {
    s.energy -= cost;
    p.reload = float(getatt(p.kind, p.index, attrReload) + randFraction() * reloadJitter);
    const vec2 muzzle = retvec2(s.pos, s.dir, p.pos);
    putFrag(frags, frag(muzzle, s.vel + s.dir * shotSpeed, p.index));
    soundAt(soundShot0 + p.index, muzzle);
    // The recoil divides by the mass summed so far: the lower slots and the
    // gun itself. Our rule: a gun read from a file may weigh nothing and
    // stand alone, and a ship of no mass takes no recoil.
    if (s.mass != 0) s.vel = s.vel - s.dir * recoil / s.mass;
}

// One random slot is repaired a little, if it is in use, damaged, and hangs
// on a part with health. Our rule: a parent that is not a slot (only a file
// can hold one) leaves the part beyond repair.
void repairOne(ship& s, frag* frags, float dt) {
    part& p = s.parts[std::rand() % partSlots];
    if (p.kind == kindNone) return;
    const float whole = getatt(p.kind, p.index, attrHealth);
    if (!(p.health < whole) || !slotIndex(p.parent)) return;
    if (!(s.parts[p.parent].health > 0)) return;
    p.health = std::min(p.health + dt, whole);
    putFrag(frags, frag(s.pos + rndvec2() * s.radius, s.vel, fragFlash, 0, 0));
    soundRepair(s.pos);
}

// The smaller ship of an overlapping pair (both, when equal) is pushed away
// from the other in its own step.
void pushApart(ship* ships, int i, float dt) {
    ship& s = ships[i];
    const int o = s.nearShip;
    // Our rule: a reference outside the ship array (only a file can hold one)
    // pushes nothing, nor does a ship of no mass.
    if (o < 0 || o >= shipCount || o == i || s.mass == 0) return;
    const ship& other = ships[o];
    if (!(s.radius <= other.radius)) return;
    const double d = retdis2(s.pos, other.pos);
    const float reach = s.radius + other.radius;
    if (minSeparation < d && d < reach)
        s.vel = s.vel + ((s.pos - other.pos) / d) * (reach - d) / s.mass * pushStiffness * dt;
}

// Past the world's edge a spring pulls the ship back, each axis on its own.
void boundary(double pos, double& vel, float dt) {
    if (pos < -worldHalf) vel += dt * (-worldHalf - pos);
    if (pos > worldHalf) vel += dt * (worldHalf - pos);
}

} // namespace

void actShip(ship* ships, int i, frag* frags, bool thrust, bool turnRight, bool turnLeft, bool fire,
             bool repair, float dt) {
    if (i < 0 || i >= shipCount) return;
    ship& s = ships[i];

    s.mass = 0;
    s.energyMax = 0;
    float power = 0;  // engine power this step, times dt
    float burning = 0; // the power of the engines lit: how loud they are
    float income = 0; // energy change this step
    bool anyPart = false;

    // A ship without its core can do nothing but repair. Our rule: a core
    // index outside the slots (only a file can hold one) names no part.
    if (slotIndex(s.core) && s.parts[s.core].health <= 0) repair = true;

    for (part& p : s.parts) {
        if (!livePart(p)) continue;
        anyPart = true;
        p.lit = false;
        const float partPower = getatt(p.kind, p.index, attrPower);
        s.mass += getatt(p.kind, p.index, attrHealth);
        s.energyMax += partPower;
        if (p.kind == kindHull) {
            income += partPower * dt;
        } else if (p.kind == kindGun) {
            if (p.reload > 0) p.reload -= dt;
            if (p.reload <= 0 && fire && s.energy >= partPower && !repair)
                fireGun(s, p, frags, partPower);
        } else if (p.kind == kindEngine) {
            // Engines draw their power every step, burning or not.
            if (thrust) p.lit = true, burning += partPower;
            power += partPower * dt;
            income -= partPower * dt;
        }
    }

    if (!anyPart) { // nothing left: the ship is dead and does not move
        s.alive = false;
        soundAt(soundDestroyed, s.pos);
        return;
    }

    s.energy += income;
    if (repair) s.energy = 0; // a repairing ship spends everything

    // Our rule: parts read from a file may weigh nothing; a ship of no mass
    // has no engines that could move it.
    float agility = s.mass != 0 ? power / s.mass : 0;

    if (s.energy <= 0) {
        s.energy = 0;
        agility = 0;
        for (part& p : s.parts)
            if (livePart(p) && p.kind == kindEngine) p.lit = false;
        if (repair) repairOne(s, frags, dt);
    } else {
        s.energy = std::min(s.energy, s.energyMax);
        soundEngine(s.pos, burning);
        if (thrust) {
            const double v = std::clamp(retdot2(s.dir, s.vel), 0.0, speedLimit);
            s.vel = s.vel + s.dir * agility * thrustFactor * (speedLimit - v) / speedLimit;
        }
        if (turnRight) {
            const float w = s.spin < 0 ? 0 : s.spin;
            s.spin += agility * turnFactor * dt * (turnLimit - w) / turnLimit;
        }
        if (turnLeft) {
            const float w = s.spin > 0 ? 0 : -s.spin;
            s.spin -= agility * turnFactor * dt * (turnLimit - w) / turnLimit;
        }
    }

    pushApart(ships, i, dt);

    if (s.orders == orderBase) { // bases never move and turn slowly for ever
        s.vel = vec2(0, 0);
        s.spin = baseSpin;
    }

    s.dir = retrot2(s.dir, s.spin * dt);
    s.pos = s.pos + s.vel * dt;

    boundary(s.pos.x, s.vel.x, dt);
    boundary(s.pos.y, s.vel.y, dt);
}
