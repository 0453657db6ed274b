// The ship step: firing, energy, repair, thrust and turning limits, bases,
// the world boundary, the push-apart and dead ships.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "sim/sim.h"
#include "support/sim_world.h"

namespace {

using World = SimWorld;

// A ship of no design, heading along +x, referring to itself, at rest.
ship bare(vec2 pos, int self) {
    ship s;
    s.pos = pos;
    s.dir = vec2(1, 0);
    s.alive = true;
    s.mass = 1;
    s.radius = 20;
    s.core = 0;
    s.target = s.probe = s.nearEnemy = s.nearShip = s.leader = s.homeBase = self;
    return s;
}

void put(ship& s, int slot, vec2 pos, int kind, int index, int parent) {
    s.parts[slot] = part(pos, 0, kind, index, parent, true);
}

TEST(ShipStep, FreshFighterWithoutEnergyDoesNotFire) {
    World w;
    std::srand(3);
    ship& s = w.ships[0] = ship(vec2(0, 0), typeLightFighter, sideRed, true);
    s.nearShip = 0;
    for (part& p : s.parts) p.reload = 0; // only the energy can stop the guns
    ASSERT_EQ(s.energy, 0);
    w.step(0, false, false, false, true, false, 0.02f);
    EXPECT_EQ(w.liveFrags(), 0);
    EXPECT_GT(s.energy, 0); // the income arrives after the guns
    s.energy = 3;
    w.step(0, false, false, false, true, false, 0.02f);
    EXPECT_GT(w.liveFrags(), 0);
}

TEST(ShipStep, ShotLeavesAlongHeadingFromGunAndRecoilUsesMassSoFar) {
    World w;
    ship& s = w.ships[0] = bare(vec2(100, 50), 0);
    s.dir = vec2(0.6, 0.8);
    s.vel = vec2(7, -3);
    put(s, 0, vec2(2, 0), kindHull, 2, 0);     // mass 2
    put(s, 1, vec2(-2, 0), kindHull, 1, 0);    // mass 0.2
    put(s, 2, vec2(-13, 0), kindEngine, 1, 0); // mass 1
    put(s, 3, vec2(13, 5), kindGun, 0, 0);     // mass 0.1, cost 1
    put(s, 4, vec2(13, -5), kindGun, 1, 0);    // mass 0.2, cost 2, a shot of row 1
    s.parts[3].reload = s.parts[4].reload = 0;
    s.energy = 3.5f;
    w.step(0, false, false, false, true, false, 0.02f);

    // Both guns fire; the first shot leaves before either recoil.
    const vec2 ext(-0.8, 0.6);
    const frag& a = w.frags[0];
    const frag& b = w.frags[1];
    EXPECT_EQ(a.type, 0);
    EXPECT_EQ(b.type, 1);
    EXPECT_FLOAT_EQ(a.life, 4);
    EXPECT_NEAR(a.pos.x, 100 + 0.6 * 13 + ext.x * 5, 1e-9);
    EXPECT_NEAR(a.pos.y, 50 + 0.8 * 13 + ext.y * 5, 1e-9);
    EXPECT_NEAR(a.vel.x, 7 + 0.6 * 500, 1e-9);
    EXPECT_NEAR(a.vel.y, -3 + 0.8 * 500, 1e-9);
    const float massA = 2.0f + 0.2f + 1.0f + 0.1f;
    const float massB = massA + 0.2f;
    EXPECT_NEAR(b.pos.x, 100 + 0.6 * 13 - ext.x * 5, 1e-9);
    EXPECT_NEAR(b.vel.x, 7 - 0.6 * 5 / massA + 0.6 * 500, 1e-9);
    EXPECT_NEAR(s.vel.x, 7 - 0.6 * 5 / massA - 0.6 * 5 / massB, 1e-9);
    EXPECT_NEAR(s.vel.y, -3 - 0.8 * 5 / massA - 0.8 * 5 / massB, 1e-9);
    // Energy: 3.5 - 1 - 2, then the hulls' income less the engine's draw.
    EXPECT_NEAR(s.energy, 0.5 + (3 + 0.5 - 0.8) * 0.02, 1e-6);
    // The reloads are the row's reload plus up to 0.1 s.
    EXPECT_GE(s.parts[3].reload, 0.4f);
    EXPECT_LT(s.parts[3].reload, 0.5f);
    EXPECT_GE(s.parts[4].reload, 0.5f);
    EXPECT_LT(s.parts[4].reload, 0.6f);
}

TEST(ShipStep, ReloadJitterTakesOneRandCallPerShot) {
    World w;
    ship& s = w.ships[0] = bare(vec2(0, 0), 0);
    put(s, 0, vec2(0, 0), kindHull, 2, 0);
    put(s, 1, vec2(10, 3), kindGun, 2, 0);
    put(s, 2, vec2(10, -3), kindGun, 2, 0);
    s.parts[1].reload = s.parts[2].reload = 0;
    s.energy = 9; // two shots of row 2 at 4 each
    std::srand(77);
    w.step(0, false, false, false, true, false, 0.02f);
    std::srand(77);
    const double j1 = (std::rand() % 10000) / 10000.0, j2 = (std::rand() % 10000) / 10000.0;
    EXPECT_EQ(s.parts[1].reload, float(0.7f + j1 * 0.1));
    EXPECT_EQ(s.parts[2].reload, float(0.7f + j2 * 0.1));
    // The guns are ready again only after their reload has run down.
    const int before = w.liveFrags();
    w.step(0, false, false, false, true, false, 0.02f);
    EXPECT_EQ(w.liveFrags(), before);
}

TEST(ShipStep, RepairSpendsAllEnergyAndMendsOneRandomSlot) {
    World w;
    std::srand(11);
    ship& s = w.ships[0] = ship(vec2(300, -200), typeBase, sideBlue, true);
    s.nearShip = 0;
    for (part& p : s.parts) p.health = getatt(p.kind, p.index, attrHealth) / 2;
    s.energy = 4;
    const ship before = s;

    for (int seed : {5, 6, 7}) {
        s = before;
        std::srand(seed);
        w.frags.assign(fragCount, frag());
        w.step(0, true, true, false, true, true, 0.05f);
        const int next = std::rand();
        std::srand(seed);
        const int k = std::rand() % 17;
        const vec2 spark = before.pos + rndvec2() * before.radius;
        const int after = std::rand();

        EXPECT_EQ(s.energy, 0);
        for (int j = 0; j < partSlots; ++j) {
            const float expected = j == k ? before.parts[j].health + 0.05f : before.parts[j].health;
            EXPECT_EQ(s.parts[j].health, expected) << "slot " << j << ", seed " << seed;
        }
        ASSERT_EQ(w.liveFrags(), 1); // the small flash, and no shot
        EXPECT_EQ(w.frags[0].type, fragFlash);
        EXPECT_FLOAT_EQ(w.frags[0].life, 0.3f);
        EXPECT_EQ(w.frags[0].pos.x, spark.x);
        EXPECT_EQ(w.frags[0].pos.y, spark.y);
        EXPECT_EQ(next, after); // exactly three rand calls
    }
}

TEST(ShipStep, RepairCapsHealthAndNeedsALiveParent) {
    World w;
    ship& s = w.ships[0] = bare(vec2(0, 0), 0);
    for (int j = 0; j < partSlots; ++j) put(s, j, vec2(0, 0), kindHull, 3, 0); // 0.8 each
    // Every slot but slot 1 is whole; slot 1 hangs on slot 2, which is gone.
    s.parts[2].health = 0;
    s.parts[1].parent = 2;
    s.parts[1].health = 0.5f;
    s.parts[3].health = 0.79f;

    int seen[3] = {};
    for (int seed = 1; seed < 400; ++seed) {
        std::srand(seed);
        const int k = std::rand() % 17;
        if (k != 1 && k != 2 && k != 3) continue;
        ++seen[k - 1];
        const ship keep = s;
        std::srand(seed);
        w.frags.assign(fragCount, frag());
        w.step(0, false, false, false, false, true, 0.05f);
        if (k == 1) {
            EXPECT_EQ(s.parts[1].health, 0.5f); // its parent is destroyed
            EXPECT_EQ(w.liveFrags(), 0);
        } else if (k == 2) {
            EXPECT_EQ(s.parts[2].health, 0.05f); // hangs on slot 0, which lives
            EXPECT_EQ(w.liveFrags(), 1);
        } else {
            EXPECT_EQ(s.parts[3].health, 0.8f); // capped at the part's whole health
        }
        s = keep;
    }
    for (int n : seen) EXPECT_GT(n, 0);
}

TEST(ShipStep, BrokenCoreForcesRepair) {
    World w;
    ship& s = w.ships[0] = bare(vec2(0, 0), 0);
    put(s, 0, vec2(0, 0), kindHull, 2, 0);
    put(s, 1, vec2(-2, 0), kindHull, 1, 0);
    put(s, 2, vec2(10, 0), kindGun, 0, 0);
    put(s, 3, vec2(-12, 0), kindEngine, 0, 0);
    s.core = 1;
    s.parts[1].health = 0;
    s.parts[2].reload = 0;
    s.energy = 5;
    w.step(0, true, false, false, true, false, 0.02f);
    EXPECT_EQ(s.energy, 0);
    EXPECT_FALSE(s.parts[3].lit);
    EXPECT_EQ(s.vel.x, 0);
    for (const frag& f : w.frags) ASSERT_FALSE(f.type == fragShot && f.life > 0);
}

TEST(ShipStep, EnginesDrainWhileIdleAndGoDarkWhenDry) {
    World w;
    std::srand(2);
    // A Light Fighter makes 1.5 per second and its engine draws 0.5 whether
    // it burns or not.
    ship& f = w.ships[0] = ship(vec2(0, 0), typeLightFighter, sideRed, true);
    f.nearShip = 0;
    f.energy = 1;
    for (int n = 0; n < 20; ++n) w.idle(0, 0.05f);
    EXPECT_NEAR(f.energy, 2.0, 1e-4);

    // A ship whose engine draws more than its plate makes runs dry at rest.
    ship& d = w.ships[1] = bare(vec2(500, 0), 1);
    put(d, 0, vec2(0, 0), kindHull, 1, 0);    // makes 0.5
    put(d, 1, vec2(-8, 0), kindEngine, 1, 0); // draws 0.8
    d.energy = 0.3f;
    for (int n = 0; n < 10; ++n) w.idle(1, 0.05f);
    EXPECT_NEAR(d.energy, 0.15, 1e-5);
    EXPECT_EQ(d.vel.x, 0);
    for (int n = 0; n < 20; ++n) w.step(1, true, true, false, false, false, 0.05f);
    EXPECT_EQ(d.energy, 0);
    EXPECT_FALSE(d.parts[1].lit);
    const vec2 v = d.vel;
    const float spin = d.spin;
    w.step(1, true, true, false, false, false, 0.05f);
    EXPECT_EQ(d.vel.x, v.x); // dry: thrust and turning do nothing
    EXPECT_EQ(d.spin, spin);
    EXPECT_FALSE(d.parts[1].lit);
}

// A ship of one plate (mass 2) and one engine (mass 1, power 0.8): agility
// 0.8 dt / 3.
ship engineShip(int self) {
    ship s = bare(vec2(0, 0), self);
    put(s, 0, vec2(0, 0), kindHull, 2, 0);
    put(s, 1, vec2(-13, 0), kindEngine, 1, 0);
    s.energy = 3;
    return s;
}

TEST(ShipStep, ThrustFadesTowardsForwardSpeed500) {
    const float dt = 0.02f;
    const double a = float(0.8f * dt) / 3.0f;
    World w;
    ship& s = w.ships[0] = engineShip(0);
    for (double speed : {0.0, 250.0, 499.0, 500.0, 650.0, -100.0}) {
        s.vel = vec2(speed, 0);
        s.energy = 3;
        w.step(0, true, false, false, false, false, dt);
        const double v = speed < 0 ? 0 : speed > 500 ? 500 : speed;
        EXPECT_NEAR(s.vel.x, speed + a * 1500 * (500 - v) / 500, 1e-9) << speed;
        EXPECT_TRUE(s.parts[1].lit);
    }
    // Sideways motion does not reduce the push.
    s.vel = vec2(0, 400);
    w.step(0, true, false, false, false, false, dt);
    EXPECT_NEAR(s.vel.x, a * 1500, 1e-9);
    EXPECT_NEAR(s.vel.y, 400, 1e-9);
}

TEST(ShipStep, TurningFadesTowards15RadiansPerSecond) {
    const float dt = 0.05f;
    const float a = float(0.8f * dt) / 3.0f;
    World w;
    ship& s = w.ships[0] = engineShip(0);
    s.spin = 15;
    w.step(0, false, true, false, false, false, dt);
    EXPECT_EQ(s.spin, 15); // at the limit: no more
    s.spin = 7.5f;
    w.step(0, false, true, false, false, false, dt);
    EXPECT_FLOAT_EQ(s.spin, 7.5f + a * 1000 * dt * 0.5f);
    s.spin = -4; // turning against the spin: the full push
    w.step(0, false, true, false, false, false, dt);
    EXPECT_FLOAT_EQ(s.spin, -4 + a * 1000 * dt);
    s.spin = -7.5f;
    w.step(0, false, false, true, false, false, dt);
    EXPECT_FLOAT_EQ(s.spin, -7.5f - a * 1000 * dt * 0.5f);
    s.spin = 4;
    w.step(0, false, false, true, false, false, dt);
    EXPECT_FLOAT_EQ(s.spin, 4 - a * 1000 * dt);
}

TEST(ShipStep, BaseStaysPutAndSpinsSlowly) {
    World w;
    std::srand(4);
    ship& b = w.ships[0] = ship(vec2(1000, 2000), typeBase, sideGreen, true);
    b.nearShip = 0;
    b.vel = vec2(40, -30);
    b.spin = 3;
    b.energy = 10;
    const vec2 dir = b.dir;
    w.step(0, true, true, false, true, false, 0.05f);
    EXPECT_EQ(b.vel.x, 0);
    EXPECT_EQ(b.vel.y, 0);
    EXPECT_EQ(b.spin, 0.1f);
    EXPECT_EQ(b.pos.x, 1000);
    EXPECT_EQ(b.pos.y, 2000);
    const vec2 turned = retrot2(dir, 0.1f * 0.05f);
    EXPECT_EQ(b.dir.x, turned.x);
    EXPECT_EQ(b.dir.y, turned.y);
}

TEST(ShipStep, WorldBoundaryIsASoftSpring) {
    World w;
    ship& s = w.ships[0] = bare(vec2(-30010, 30004), 0);
    put(s, 0, vec2(0, 0), kindHull, 2, 0);
    w.idle(0, 0.05f);
    EXPECT_EQ(s.pos.x, -30010); // no wall: the ship is where it drifted
    EXPECT_NEAR(s.vel.x, 10 * 0.05, 1e-6);
    EXPECT_NEAR(s.vel.y, -4 * 0.05, 1e-6);
    // Inside the world nothing pulls.
    ship& t = w.ships[1] = bare(vec2(29999, -29999), 1);
    put(t, 0, vec2(0, 0), kindHull, 2, 0);
    w.idle(1, 0.05f);
    EXPECT_EQ(t.vel.x, 0);
    EXPECT_EQ(t.vel.y, 0);
    // The spring acts on the position after this step's move.
    ship& u = w.ships[2] = bare(vec2(-29990, 0), 2);
    put(u, 0, vec2(0, 0), kindHull, 2, 0);
    u.vel = vec2(-400, 0); // moves 20 units, to 10 beyond the edge
    w.idle(2, 0.05f);
    EXPECT_NEAR(u.vel.x, -400 + 10 * 0.05, 1e-6);
}

// A one-plate ship of mass 1 at pos with the given radius and neighbour.
ship plate(vec2 pos, int self, float radius, int near) {
    ship s = bare(pos, self);
    put(s, 0, vec2(0, 0), kindHull, 0, 0);
    s.radius = radius;
    s.nearShip = near;
    return s;
}

TEST(ShipStep, PushApartMovesTheSmallerOrBothOfEqualSize) {
    const float dt = 0.05f;
    World w;
    // Equal radii 20, 30 apart: 10 of overlap, each pushed in its own step.
    w.ships[0] = plate(vec2(0, 0), 0, 20, 1);
    w.ships[1] = plate(vec2(30, 0), 1, 20, 0);
    w.idle(0, dt);
    EXPECT_NEAR(w.ships[0].vel.x, -10.0 * 4 * dt, 1e-12);
    EXPECT_EQ(w.ships[1].vel.x, 0); // not in the other's step
    w.idle(1, dt);
    const double d = 30 + 10.0 * 4 * dt * dt; // ship 0 moved away in its step
    EXPECT_NEAR(w.ships[1].vel.x, (40 - d) * 4 * dt, 1e-9);
    EXPECT_EQ(w.ships[1].vel.y, 0);

    // Unequal: only the smaller is pushed, along the line between centres.
    w.ships[2] = plate(vec2(1000, 1000), 2, 20, 3);
    w.ships[3] = plate(vec2(1030, 1040), 3, 59, 2);
    w.idle(3, dt);
    EXPECT_EQ(w.ships[3].vel.x, 0);
    EXPECT_EQ(w.ships[3].vel.y, 0);
    w.idle(2, dt);
    EXPECT_NEAR(w.ships[2].vel.x, -0.6 * 29 * 4 * dt, 1e-6);
    EXPECT_NEAR(w.ships[2].vel.y, -0.8 * 29 * 4 * dt, 1e-6);

    // Apart, or on top of each other: no push.
    w.ships[4] = plate(vec2(5000, 0), 4, 20, 5);
    w.ships[5] = plate(vec2(5040, 0), 5, 20, 4);
    w.ships[6] = plate(vec2(7000, 0), 6, 20, 7);
    w.ships[7] = plate(vec2(7000, 0), 7, 20, 6);
    w.idle(4, dt);
    w.idle(6, dt);
    EXPECT_EQ(w.ships[4].vel.x, 0);
    EXPECT_EQ(w.ships[6].vel.x, 0);
    EXPECT_EQ(w.ships[6].vel.y, 0);
}

TEST(ShipStep, PushApartDividesByTheShipsMass) {
    World w;
    w.ships[0] = plate(vec2(0, 0), 0, 20, 1);
    put(w.ships[0], 1, vec2(0, 0), kindHull, 5, 0); // mass 1 + 6
    w.ships[1] = plate(vec2(30, 0), 1, 20, 0);
    w.idle(0, 0.05f);
    EXPECT_NEAR(w.ships[0].vel.x, -10.0 / 7 * 4 * 0.05f, 1e-9);
}

TEST(ShipStep, ShipWithoutPartsIsMarkedDeadWhereItIs) {
    World w;
    std::srand(8);
    ship& s = w.ships[0] = ship(vec2(10, 20), typeMediumFighter, sideRed, true);
    s.nearShip = 0;
    s.vel = vec2(100, 100);
    s.spin = 2;
    s.energy = 2;
    for (part& p : s.parts) p.health = 0;
    const vec2 dir = s.dir;
    w.step(0, true, true, false, true, true, 0.05f);
    EXPECT_FALSE(s.alive);
    EXPECT_EQ(s.mass, 0);
    EXPECT_EQ(s.pos.x, 10);
    EXPECT_EQ(s.pos.y, 20);
    EXPECT_EQ(s.dir.x, dir.x);
    EXPECT_EQ(s.energy, 2);
    EXPECT_EQ(w.liveFrags(), 0);
}

TEST(ShipStep, MassAndEnergyCapAreRebuiltFromLiveParts) {
    World w;
    ship& s = w.ships[0] = bare(vec2(0, 0), 0);
    put(s, 0, vec2(0, 0), kindHull, 2, 0);    // 2, power 3
    put(s, 1, vec2(5, 0), kindHull, 4, 0);    // 2.5, power 4
    put(s, 2, vec2(-9, 0), kindEngine, 0, 0); // 0.5, power 0.5
    s.parts[1].health = 0;
    s.energy = 100;
    s.mass = 42;
    w.idle(0, 0.01f);
    EXPECT_FLOAT_EQ(s.mass, 2.5f);
    EXPECT_FLOAT_EQ(s.energyMax, 3.5f);
    EXPECT_FLOAT_EQ(s.energy, 3.5f); // capped
}

} // namespace
