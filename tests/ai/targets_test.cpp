// Target selection and route keeping: references dropped and improved,
// leader and home base rules, the route by orders, the world clamp of new
// route points, and findShip.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <vector>

#include "ai/ai.h"
#include "support/ai_world.h"

namespace {

// A bare ship whose route lies far from it (so it is not reached unless a
// test says so).
ship& putAway(World& w, int i, vec2 pos, int side, int orders = orderFighter) {
    return put(w, i, pos, side, orders, vec2(0, 1000));
}

// The route a ship with nowhere to go draws from seed: after the probe, one
// random vector per route point, each point up to 3000 beyond the last.
std::array<vec2, 3> wanderRoute(unsigned seed, vec2 from) {
    std::srand(seed);
    std::rand();
    const vec2 v1 = rndvec2(), v2 = rndvec2(), v3 = rndvec2();
    const vec2 p1 = from + v1 * 3000, p2 = p1 + v2 * 3000;
    return {p1, p2, p2 + v3 * 3000};
}

void expectVec(vec2 got, vec2 want) {
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
}

double clampWorld(double v) { return v < -30000 ? -30000 : v > 30000 ? 30000 : v; }
vec2 clampWorld(vec2 p) { return vec2(clampWorld(p.x), clampWorld(p.y)); }

TEST(Targets, LoneShipFallsBackToItself) {
    std::srand(11);
    World w;
    ship& s = putAway(w, 5, vec2(0, 0), sideRed);
    putAway(w, 7, vec2(3000.5, 0), sideGreen); // an enemy just beyond the search radius
    putAway(w, 8, vec2(0, 3000), sideGreen);   // one exactly on it: not found either
    putAway(w, 9, vec2(-4000, 0), sideRed);    // a friend far away
    w[20].side = sideGreen;                    // a dead enemy close by
    w[20].pos = vec2(10, 0);
    s.target = s.nearEnemy = 7;
    s.nearShip = 9;
    s.probe = 20;
    for (int k = 0; k < 300; ++k) {
        setTargets(w.data(), 5);
        ASSERT_EQ(s.nearShip, 5) << "call " << k;
        ASSERT_EQ(s.nearEnemy, 5) << "call " << k;
        ASSERT_EQ(s.target, 5) << "call " << k;
        ASSERT_GE(s.probe, 0);
        ASSERT_LT(s.probe, shipCount);
    }
}

TEST(Targets, HeldReferencesKeptUpToTheSearchRadius) {
    std::srand(12);
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed);
    putAway(w, 1, vec2(3000, 0), sideGreen);
    s.target = s.nearEnemy = s.nearShip = 1;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.target, 1); // 3000 is not beyond the radius
    EXPECT_EQ(s.nearEnemy, 1);
    EXPECT_EQ(s.nearShip, 1);
    w[1].pos = vec2(3000.001, 0);
    setTargets(w.data(), 0);
    EXPECT_EQ(s.target, 0);
    EXPECT_EQ(s.nearEnemy, 0);
    EXPECT_EQ(s.nearShip, 0);
}

TEST(Targets, ProbesFindTheNearestShipAndEnemy) {
    std::srand(13);
    World w;
    ship& s = putAway(w, 10, vec2(0, 0), sideBlue);
    putAway(w, 3, vec2(100, 0), sideBlue);    // nearest ship, a friend
    putAway(w, 30, vec2(0, 400), sideRed);    // an enemy
    putAway(w, 44, vec2(-250, 0), sideGreen); // the nearest enemy
    for (int k = 0; k < 600; ++k) setTargets(w.data(), 10);
    EXPECT_EQ(s.nearShip, 3);
    EXPECT_EQ(s.nearEnemy, 44);
    // The target is the first enemy found and is kept while it is valid.
    EXPECT_TRUE(s.target == 30 || s.target == 44);
    EXPECT_NE(w[s.target].side, s.side);
}

TEST(Targets, DeadOrTurnedTargetIsDroppedAndReplaced) {
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed);
    putAway(w, 1, vec2(500, 0), sideGreen);
    putAway(w, 2, vec2(800, 0), sideBlue);

    std::srand(14);
    s.target = 1;
    s.nearEnemy = 2;
    w[1].alive = false;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.target, 2); // the only live enemy known
    EXPECT_EQ(s.nearEnemy, 2);

    w[1].alive = true;
    s.target = 1;
    w[1].side = sideRed; // changed sides in the editor
    setTargets(w.data(), 0);
    EXPECT_EQ(s.target, 2);

    // With no enemy left the target is none.
    w[2].alive = false;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.target, 0);
    EXPECT_EQ(s.nearEnemy, 0);
}

TEST(Targets, LeaderRules) {
    std::srand(15);
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed);
    ship& l = putAway(w, 1, vec2(5000, 0), sideRed);
    putAway(w, 2, vec2(0, 5000), sideRed, orderBase);

    s.leader = 1; // far away does not matter
    setTargets(w.data(), 0);
    EXPECT_EQ(s.leader, 1);

    // Dead, with respawns left and a home base: it comes back, stays leader.
    l.alive = false;
    l.respawns = 2;
    l.homeBase = 2;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.leader, 1);

    // Dead and its own home base: dropped.
    l.homeBase = 1;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.leader, 0);

    // Dead without respawns: dropped.
    s.leader = 1;
    l.homeBase = 2;
    l.respawns = 0;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.leader, 0);

    // Alive on another side: dropped.
    s.leader = 1;
    l.alive = true;
    l.respawns = 5;
    l.side = sideGreen;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.leader, 0);
}

TEST(Targets, HomeBaseRules) {
    std::srand(16);
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed);
    ship& h = putAway(w, 1, vec2(9000, 0), sideRed, orderBase);
    s.homeBase = 1;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.homeBase, 1);
    h.side = sideBlue;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.homeBase, 0);
    h.side = sideRed;
    s.homeBase = 1;
    h.alive = false;
    h.respawns = respawnUnlimited;
    setTargets(w.data(), 0);
    EXPECT_EQ(s.homeBase, 0);
}

TEST(Targets, ArrivalRadiusIs150Exclusive) {
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed, orderGuardLine);
    s.wayA = vec2(1000, 0);
    s.wayB = vec2(-1000, 0);
    s.waypoint = vec2(149, 0);
    std::srand(17);
    setTargets(w.data(), 0);
    expectVec(s.waypoint, vec2(1000, 0));

    s.waypoint = vec2(0, 150);
    setTargets(w.data(), 0);
    expectVec(s.waypoint, vec2(0, 150));
    s.waypoint = vec2(0, 149.99);
    setTargets(w.data(), 0);
    expectVec(s.waypoint, vec2(1000, 0));
}

TEST(Targets, GuardLineSwapsItsRoutePoints) {
    std::srand(18);
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed, orderGuardLine);
    const vec2 a(10, 0), b(2000, 500);
    s.waypoint = s.wayA = a;
    s.wayB = b;
    setTargets(w.data(), 0);
    expectVec(s.wayA, b);
    expectVec(s.wayB, a);
    expectVec(s.waypoint, b);
    // Arrive at the other end and back again, forever.
    for (int k = 0; k < 6; ++k) {
        s.pos = s.waypoint;
        const vec2 was = s.waypoint;
        setTargets(w.data(), 0);
        const vec2 other = (was == a) ? b : a;
        expectVec(s.waypoint, other);
        expectVec(s.wayA, other);
        expectVec(s.wayB, was);
    }
}

TEST(Targets, FighterMovesAlongItsRoute) {
    std::srand(19);
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed);
    putAway(w, 1, vec2(5000, 5000), sideRed, orderBase);
    s.homeBase = 1;
    const vec2 a(5, 5), b(-3000, 0), c(700, 800);
    s.waypoint = c; // neither route point: on to wayA
    s.wayA = a;
    s.wayB = b;
    s.pos = c;
    setTargets(w.data(), 0);
    expectVec(s.waypoint, a);
    s.pos = a;
    setTargets(w.data(), 0);
    expectVec(s.waypoint, b);
    s.pos = b;
    setTargets(w.data(), 0); // end of the route: home
    expectVec(s.waypoint, w[1].pos);
    expectVec(s.wayA, a);
    expectVec(s.wayB, b);
}

TEST(Targets, FighterWithoutHomeWanders) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        World w;
        ship& s = put(w, 0, vec2(300, -200), sideRed);
        const auto [p1, p2, p3] = wanderRoute(seed, s.pos);
        std::srand(seed);
        setTargets(w.data(), 0);
        expectVec(s.waypoint, p1);
        expectVec(s.wayA, p2);
        expectVec(s.wayB, p3);
        EXPECT_LT(retdis2(s.pos, s.waypoint), 3000);
        EXPECT_LT(retdis2(s.waypoint, s.wayA), 3000);
        EXPECT_LT(retdis2(s.wayA, s.wayB), 3000);
    }
}

TEST(Targets, FighterPatrolsFromHome) {
    int longs = 0, shorts = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        World w;
        ship& s = putAway(w, 0, vec2(1000, 1000), sideRed);
        ship& h = putAway(w, 1, vec2(1000, 1100), sideRed, orderBase);
        s.homeBase = 1;
        s.waypoint = h.pos;
        std::srand(seed);
        std::rand(); // the probe
        const bool isLong = std::rand() % 5 == 0;
        const vec2 v1 = rndvec2(), v2 = rndvec2(), v3 = rndvec2();
        std::srand(seed);
        setTargets(w.data(), 0);
        if (isLong) {
            ++longs;
            const vec2 p1 = h.pos + v1 * 3000 * 2, p2 = p1 + v2 * 3000 * 2;
            expectVec(s.waypoint, p1);
            expectVec(s.wayA, p2);
            expectVec(s.wayB, p2 + v3 * 3000 * 2);
            EXPECT_LT(retdis2(s.wayA, s.wayB), 6000);
        } else {
            ++shorts;
            expectVec(s.waypoint, h.pos + v1 * 3000 * 0.8);
            expectVec(s.wayA, h.pos + v2 * 3000 * 0.8);
            expectVec(s.wayB, h.pos + v3 * 3000 * 0.8);
            for (vec2 p : {s.waypoint, s.wayA, s.wayB}) EXPECT_LT(retdis2(h.pos, p), 2400);
        }
    }
    EXPECT_GT(longs, 0);
    EXPECT_GT(shorts, 0);
}

TEST(Targets, FreighterShuttlesAndDelivers) {
    std::srand(20);
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed, orderFreighter);
    const vec2 a(0, 100), b(4000, 0);
    s.wayA = a;
    s.wayB = b;
    s.waypoint = a;
    s.pos = a;
    setTargets(w.data(), 0);
    expectVec(s.waypoint, b);
    s.pos = b;
    setTargets(w.data(), 0);
    expectVec(s.waypoint, a);

    // With a home base: home first, then on to a friendly base if one is drawn.
    for (unsigned seed = 1; seed <= 30; ++seed) {
        World v;
        ship& f = putAway(v, 0, vec2(0, 0), sideRed, orderFreighter);
        for (int k = 1; k < shipCount; ++k) {
            ship& o = putAway(v, k, vec2(k * 10, 7000), k % 3 ? sideRed : sideGreen,
                              k % 2 ? orderBase : orderFighter);
            o.alive = k % 5 != 0;
        }
        f.homeBase = 1; // a live red base
        f.waypoint = vec2(100, 0);
        setTargets(v.data(), 0);
        expectVec(f.waypoint, v[1].pos);
        f.pos = v[1].pos;
        std::srand(seed);
        std::rand();
        const int r = std::rand() % 50;
        std::srand(seed);
        setTargets(v.data(), 0);
        const ship& o = v[r];
        const bool friendlyBase = o.alive && o.orders == orderBase && o.side == sideRed;
        expectVec(f.waypoint, friendlyBase ? o.pos : v[1].pos);
    }
}

TEST(Targets, NewRoutePointsAreClampedToTheWorld) {
    bool outside = false;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        World w;
        ship& s = put(w, 0, vec2(29900, -29800), sideRed);
        const auto [p1, p2, p3] = wanderRoute(seed, s.pos);
        for (vec2 p : {p1, p2, p3}) outside = outside || !(clampWorld(p) == p);
        std::srand(seed);
        setTargets(w.data(), 0);
        // Each point is clamped after the route is drawn from the unclamped ones.
        expectVec(s.waypoint, clampWorld(p1));
        expectVec(s.wayA, clampWorld(p2));
        expectVec(s.wayB, clampWorld(p3));
    }
    EXPECT_TRUE(outside); // the clamp was needed at least once
}

TEST(Targets, EditorRoutePointsStayUntilReached) {
    std::srand(21);
    World w;
    ship& s = putAway(w, 0, vec2(0, 0), sideRed, orderBase);
    s.waypoint = vec2(40000, -45000);
    s.wayA = vec2(50000, 0);
    s.wayB = vec2(0, -60000);
    for (int k = 0; k < 10; ++k) setTargets(w.data(), 0);
    expectVec(s.waypoint, vec2(40000, -45000));
    expectVec(s.wayA, vec2(50000, 0));
    expectVec(s.wayB, vec2(0, -60000));
    // Reached: a base keeps its route but it is pulled into the world.
    s.pos = vec2(40100, -45000);
    setTargets(w.data(), 0);
    expectVec(s.waypoint, vec2(30000, -30000));
    expectVec(s.wayA, vec2(30000, 0));
    expectVec(s.wayB, vec2(0, -30000));
}

TEST(Targets, FindShip) {
    World w;
    for (ship& s : w.ships) s.alive = true;
    w[7].alive = false;
    w[3].alive = false;
    EXPECT_EQ(findShip(w.data()), 3);
    w[3].alive = true;
    EXPECT_EQ(findShip(w.data()), 7);
    w[7].alive = true;
    for (unsigned seed = 1; seed <= 10; ++seed) {
        std::srand(seed);
        const int r = std::rand() % 50;
        std::srand(seed);
        EXPECT_EQ(findShip(w.data()), r);
    }
    EXPECT_EQ(findShip(World().data()), 0);
}

TEST(Targets, ReferencesOutsideTheArrayReadAsNone) {
    std::srand(22);
    World w;
    ship& s = putAway(w, 4, vec2(0, 0), sideRed);
    putAway(w, 5, vec2(200, 0), sideRed, orderBase);
    const int bad[] = {-1, 50, 1000, INT_MIN, INT_MAX};
    for (int v : bad) {
        s.target = s.nearEnemy = s.nearShip = s.leader = s.homeBase = s.probe = v;
        s.waypoint = s.pos;
        setTargets(w.data(), 4);
        for (int r : {s.target, s.nearEnemy, s.nearShip, s.leader, s.homeBase, s.probe}) {
            EXPECT_GE(r, 0);
            EXPECT_LT(r, shipCount);
        }
        EXPECT_EQ(s.leader, 4);
        EXPECT_EQ(s.homeBase, 4);
        EXPECT_EQ(s.target, 4);
    }
    // Nor does a bad slot number do anything.
    setTargets(w.data(), -1);
    setTargets(w.data(), shipCount);
    setTargets(nullptr, 0);
}

} // namespace
