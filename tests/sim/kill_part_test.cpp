// Parts breaking off: the chain through the parents, depth first, the
// explosion and debris of every lost part, and parts already gone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "sim/sim.h"
#include "support/sim_world.h"

namespace {

using World = SimWorld;

vec2 centreOf(const ship& s, int k) { return retvec2(s.pos, s.dir, s.parts[k].pos); }

int livePartCount(const ship& s) {
    int n = 0;
    for (const part& p : s.parts) n += p.kind != kindNone && p.health > 0;
    return n;
}

// Breaks part k as a hit does: its health to 0, then killPart.
void breakPart(World& w, ship& s, int k) {
    s.parts[k].health = 0;
    killPart(s, k, centreOf(s, k), w.frags.data());
}

// The slots lost, in the order their debris was placed: every loss places its
// nine explosion frags and then its debris, so the debris sit in slots 9, 19, ...
std::vector<int> debrisOrder(const World& w, const ship& s) {
    std::vector<int> order;
    for (int d = 9; d < fragCount && w.frags[d].life > 0; d += 10) {
        const frag& f = w.frags[d];
        EXPECT_EQ(f.type, fragDebris);
        int found = -1;
        for (int k = 0; k < partSlots; ++k) {
            const vec2 c = centreOf(s, k);
            if (s.parts[k].kind != kindNone && c.x == f.pos.x && c.y == f.pos.y) found = k;
        }
        if (found >= 0) {
            EXPECT_EQ(f.partKind, s.parts[found].kind);
            EXPECT_EQ(f.partIndex, s.parts[found].index);
        }
        order.push_back(found);
    }
    return order;
}

TEST(KillPart, FighterSlotZeroTakesEverythingAndTheShipDiesNextStep) {
    for (int type : {typeLightFighter, typeMediumFighter, typeHeavyFighter}) {
        World w;
        std::srand(unsigned(type));
        ship& s = w.ships[0] = ship(vec2(40, -60), type, sideGreen, true);
        s.nearShip = 0;
        const int parts = livePartCount(s);
        ASSERT_GE(parts, 4);
        breakPart(w, s, 0);
        EXPECT_EQ(livePartCount(s), 0) << type;
        EXPECT_EQ(w.liveFrags(), 10 * parts) << type;
        EXPECT_TRUE(s.alive); // until its own step
        actShip(w.ships.data(), 0, w.frags.data(), true, false, false, true, false, 0.02f);
        EXPECT_FALSE(s.alive);
        EXPECT_EQ(s.pos.x, 40);
    }
}

TEST(KillPart, DebrisFliesOffWithTheShipAfterTheExplosion) {
    World w;
    std::srand(3);
    ship& s = w.ships[0] = ship(vec2(0, 0), typeLightFighter, sideRed, true);
    s.vel = vec2(30, -40);
    s.parts[2].health = 0; // the engine: nothing hangs on it
    std::srand(99);
    killPart(s, 2, centreOf(s, 2), w.frags.data());

    std::vector<frag> scratch(fragCount);
    std::srand(99);
    fragBang(centreOf(s, 2), s.vel, scratch.data(), 1);
    const vec2 vel = s.vel + rndvec2() * 50;
    const frag expected(centreOf(s, 2), vel, fragDebris, kindEngine, 0);
    for (int j = 0; j < 9; ++j) EXPECT_EQ(w.frags[j].vel.x, scratch[j].vel.x) << j;
    const frag& d = w.frags[9];
    EXPECT_EQ(d.type, fragDebris);
    EXPECT_EQ(d.vel.x, vel.x);
    EXPECT_EQ(d.vel.y, vel.y);
    EXPECT_EQ(d.dir.x, expected.dir.x);
    EXPECT_EQ(d.spin, expected.spin);
    EXPECT_EQ(d.life, expected.life);
    EXPECT_EQ(d.partKind, kindEngine);
    EXPECT_EQ(w.frags[0].life, 0.8f); // a large flash
    EXPECT_EQ(w.liveFrags(), 10);
    EXPECT_EQ(livePartCount(s), 3 + (s.parts[4].kind != kindNone)); // the rest stays
}

TEST(KillPart, TransportSectionTakesTheRingAndEverythingOnIt) {
    // A Transport of three sections with at least one pair of side panels.
    World w;
    ship s;
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        s = ship(vec2(500, 500), typeTransport, sideBlue, true);
        int sections = 0;
        for (const part& p : s.parts) sections += p.kind == kindHull && p.index == 4;
        if (sections == 3 && s.parts[8].kind != kindNone) break;
    }
    s.dir = vec2(0.8, -0.6);
    const int parts = livePartCount(s);
    ASSERT_EQ(s.core, 7);
    ASSERT_EQ(s.parts[7].parent, 1); // the core plate hangs on the stern

    breakPart(w, s, 5);
    EXPECT_EQ(livePartCount(s), 0);
    EXPECT_EQ(w.liveFrags(), 10 * parts);
    // Depth first: the ring onwards from section 5 (6, then 4), the bow and
    // its gun, the stern with its engine and the core plate, and last the
    // panels on section 5 itself.
    std::vector<int> expected = {5, 6, 4, 0, 3, 1, 2, 7};
    for (int k = 8; k < partSlots; ++k)
        if (s.parts[k].kind != kindNone) expected.push_back(k);
    EXPECT_EQ(debrisOrder(w, s), expected);
}

TEST(KillPart, BaseSlotZeroTakesPlateTwelveAndTheCoreWithEverythingOnIt) {
    World w;
    std::srand(6);
    ship& s = w.ships[0] = ship(vec2(-100, 100), typeBase, sideRed, true);
    breakPart(w, s, 0);
    EXPECT_EQ(livePartCount(s), 0);
    EXPECT_EQ(w.liveFrags(), 170);
    const std::vector<int> expected = {0, 12, 16, 1, 13, 2, 14, 3, 15, 4, 8, 5, 9, 6, 10, 7, 11};
    EXPECT_EQ(debrisOrder(w, s), expected);
}

TEST(KillPart, PartsAlreadyGoneAreNotFollowed) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        World w;
        std::srand(seed);
        ship& s = w.ships[0] = ship(vec2(0, 0), typeHeavyFighter, sideGreen, true);
        // The middle plate was shot away earlier; its engines (and guns) were
        // mended since, as far as this test cares.
        s.parts[2].health = 0;
        std::vector<int> expected = {0};
        for (int k = 1; k < partSlots; ++k)
            if (s.parts[k].kind != kindNone && s.parts[k].parent == 0 && k != 2)
                expected.push_back(k);
        const int before = livePartCount(s);

        breakPart(w, s, 0);
        EXPECT_EQ(debrisOrder(w, s), expected) << seed;
        EXPECT_EQ(w.liveFrags(), 10 * int(expected.size())) << seed;
        EXPECT_EQ(livePartCount(s), before - int(expected.size())) << seed;
        for (int k = 0; k < partSlots; ++k) {
            if (s.parts[k].kind != kindNone && s.parts[k].parent == 2) {
                EXPECT_GT(s.parts[k].health, 0) << seed << " slot " << k;
            }
        }
    }
}

TEST(KillPart, PartHangingOnItselfEndsTheChain) {
    World w;
    ship s;
    s.dir = vec2(1, 0);
    s.alive = true;
    for (int k = 0; k < partSlots; ++k) s.parts[k] = part(vec2(k, 0), 0, kindHull, 3, k, true);
    s.parts[4].parent = 3; // 4 hangs on 3, which hangs on itself
    breakPart(w, s, 3);
    EXPECT_EQ(debrisOrder(w, s), (std::vector<int>{3, 4}));
    EXPECT_EQ(livePartCount(s), partSlots - 2);
}

} // namespace
