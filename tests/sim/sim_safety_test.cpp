// States only a mission file (or a careless caller) can make: masses of
// nothing or not numbers, weightless parts, references and indices outside
// their arrays. The simulation stays finite and in bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "sim/sim.h"
#include "support/sim_world.h"

namespace {

using World = SimWorld;

// The motion and energy of a ship are numbers. (Its stored mass is whatever
// the file held until the ship's next step sums it up again.)
bool finite(const ship& s) {
    return std::isfinite(s.pos.x) && std::isfinite(s.pos.y) && std::isfinite(s.vel.x) &&
           std::isfinite(s.vel.y) && std::isfinite(s.dir.x) && std::isfinite(s.dir.y) &&
           std::isfinite(s.spin) && std::isfinite(s.energy);
}

ship target(float mass) {
    ship s;
    s.dir = vec2(1, 0);
    s.alive = true;
    s.radius = 50;
    s.mass = mass;
    s.vel = vec2(3, 4);
    s.spin = 0.5f;
    s.parts[0] = part(vec2(0, 0), 0, kindHull, 2, 0, true);  // weighs 2
    s.parts[1] = part(vec2(0, 20), 0, kindHull, 1, 0, true); // 0.2, off the path
    return s;
}

// Ship 0 of w takes one hit on its slot 0 from a row-1 shot; the rand state
// is the same for every call.
void hit(World& w) {
    w.frags[0] = frag(vec2(-20, 0), vec2(1000, 0), 1);
    w.frags[0].life = 3;
    std::srand(12);
    actFrags(nullptr, 0.02f, vec2(0, 0), 1, w.ships.data(), w.frags.data(), 0, true);
}

TEST(SimSafety, HitOnAShipWithoutAUsableMassUsesItsPartsMass) {
    World reference;
    reference.ships[0] = target(2.2f);
    hit(reference);
    const ship& r = reference.ships[0];
    ASSERT_LT(r.parts[0].health, 2.0f);
    ASSERT_NE(r.spin, 0.5f);

    const float inf = std::numeric_limits<float>::infinity();
    for (float mass : {0.0f, -0.0f, std::nanf(""), inf, -inf, 1e-40f, -3.0f}) {
        World w;
        w.ships[0] = target(mass);
        hit(w);
        const ship& s = w.ships[0];
        EXPECT_TRUE(finite(s)) << mass;
        EXPECT_EQ(s.spin, r.spin) << mass;
        EXPECT_EQ(s.vel.x, r.vel.x) << mass;
        EXPECT_EQ(s.parts[0].health, r.parts[0].health) << mass;
    }
    // A ship of ordinary mass keeps it, however different from its parts'.
    World heavy;
    heavy.ships[0] = target(50);
    hit(heavy);
    EXPECT_LT(std::abs(heavy.ships[0].spin - 0.5f), std::abs(r.spin - 0.5f));
}

// Parts a file may hold: a plate row outside the table (no weight, no
// power), an engine and a gun of rows that do not exist.
ship weightless() {
    ship s;
    s.dir = vec2(0, 1);
    s.alive = true;
    s.radius = 30;
    s.energy = 5;
    s.parts[0] = part(vec2(0, 0), 0, kindHull, 7, 0, false);
    s.parts[1] = part(vec2(-5, 0), 0, kindEngine, 4, 0, false);
    s.parts[2] = part(vec2(9, 0), 0, kindGun, 9, 0, false);
    s.parts[3] = part(vec2(9, 4), 0, kindGun, 3, 0, false);
    for (int k = 0; k < 4; ++k) s.parts[k].health = 1;
    return s;
}

TEST(SimSafety, WeightlessPartsNeitherDivideByZeroNorMove) {
    World w;
    w.ships[0] = weightless();
    w.ships[0].nearShip = 1;
    w.ships[1] = weightless();
    w.ships[1].pos = vec2(10, 0);
    w.ships[1].nearShip = 0;
    for (int n = 0; n < 20; ++n) {
        actShip(w.ships.data(), 0, w.frags.data(), true, n % 2, n % 2 == 0, true, false, 0.05f);
        actShip(w.ships.data(), 1, w.frags.data(), true, false, true, true, n % 3 == 0, 0.05f);
        ASSERT_TRUE(finite(w.ships[0])) << n;
        ASSERT_TRUE(finite(w.ships[1])) << n;
    }
    EXPECT_TRUE(w.ships[0].alive);
    EXPECT_EQ(w.ships[0].mass, 0);
    EXPECT_TRUE(std::isfinite(w.ships[1].mass));
    EXPECT_EQ(w.ships[0].vel.x, 0);
    EXPECT_EQ(w.ships[0].vel.y, 0);
    for (int j = 0; j < fragCount; ++j) {
        if (w.frags[j].life > 0)
            actFrags(nullptr, 0.05f, vec2(0, 0), 1, w.ships.data(), w.frags.data(), j, true);
    }

    // Parts of no size cannot be hit: a shot flies through such a ship.
    World h;
    h.ships[0] = weightless();
    h.ships[0].dir = vec2(1, 0);
    h.frags[0] = frag(vec2(-20, 0), vec2(1000, 0), 0);
    h.frags[0].life = 3;
    actFrags(nullptr, 0.02f, vec2(0, 0), 1, h.ships.data(), h.frags.data(), 0, true);
    EXPECT_EQ(h.frags[0].type, fragShot);
    EXPECT_GT(h.frags[0].life, 0);
    EXPECT_TRUE(finite(h.ships[0]));
}

TEST(SimSafety, ReferencesAndIndicesOutsideTheirArraysReadNothing) {
    std::srand(5);
    for (int bad : {-1, 17, 50, 1 << 30, -(1 << 30)}) {
        World w;
        ship& s = w.ships[0] = ship(vec2(0, 0), typeMediumFighter, sideRed, true);
        s.nearShip = bad;
        s.core = bad;
        for (part& p : s.parts) {
            if (p.kind == kindNone) continue;
            p.parent = bad;
            p.health = 0.01f; // every part damaged: repair would mend any
        }
        const ship before = s;
        for (int n = 0; n < 60; ++n) // sixty slots drawn at random
            actShip(w.ships.data(), 0, w.frags.data(), true, true, false, false, true, 0.05f);
        for (int k = 0; k < partSlots; ++k)
            EXPECT_EQ(s.parts[k].health, before.parts[k].health) << bad << " " << k;
        EXPECT_TRUE(finite(s));

        // killPart of a slot that does not exist (17 being one past the last)
        // breaks nothing: no explosion, no debris; and a ship that does not.
        const int frags = w.liveFrags();
        killPart(s, bad, vec2(0, 0), w.frags.data());
        EXPECT_EQ(w.liveFrags(), frags) << bad;
        actShip(w.ships.data(), bad, w.frags.data(), true, true, false, true, true, 0.05f);
        // A frag index outside the array, and frag types that do not exist.
        actFrags(nullptr, 0.05f, vec2(0, 0), 1, w.ships.data(), w.frags.data(), bad, true);
        actFrags(nullptr, 0.05f, vec2(0, 0), 1, w.ships.data(), w.frags.data(), fragCount, true);
        w.frags[3].type = bad;
        w.frags[3].life = 1;
        w.frags[3].vel = vec2(100, 0);
        actFrags(nullptr, 0.05f, vec2(0, 0), 1, w.ships.data(), w.frags.data(), 3, true);
        EXPECT_EQ(w.frags[3].life, 1);
        EXPECT_EQ(w.frags[3].pos.x, 0);
    }
}

TEST(SimSafety, CoreOutsideTheSlotsDoesNotHoldTheShipInRepair) {
    World w;
    std::srand(8);
    ship& s = w.ships[0] = ship(vec2(0, 0), typeLightFighter, sideGreen, true);
    s.nearShip = 0;
    s.core = 99;
    s.energy = 3;
    for (part& p : s.parts) p.reload = 0;
    actShip(w.ships.data(), 0, w.frags.data(), false, false, false, true, false, 0.02f);
    EXPECT_EQ(w.frags[0].type, fragShot);
    EXPECT_GT(w.frags[0].life, 0);
}

} // namespace
