// The steering helpers: followThis turn, thrust and fire decisions, braking,
// spin damping and the autopilot.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ai/ai.h"
#include "support/ai_world.h"

namespace {

ship at(vec2 pos, vec2 dir, float spin = 0, float mass = 1) {
    ship s;
    s.pos = pos;
    s.dir = dir;
    s.spin = spin;
    s.mass = mass;
    s.alive = true;
    return s;
}

Flags follow(const ship& s, vec2 p, float align = 0.98f, float lead = 0.3f, bool mayFire = false) {
    Flags f;
    followThis(s, p, f.thrust, f.right, f.left, f.fire, align, lead, mayFire);
    return f;
}

TEST(Steering, FollowPointStraightAhead) {
    const ship s = at(vec2(100, 100), vec2(1, 0));
    Flags f = follow(s, vec2(1100, 100));
    EXPECT_TRUE(f.thrust);
    EXPECT_FALSE(f.right); // aside exactly 0: no turn
    EXPECT_FALSE(f.left);
    EXPECT_FALSE(f.fire);
}

TEST(Steering, FollowThrustNeedsMoreThan30Units) {
    const ship s = at(vec2(0, 0), vec2(0, 1));
    EXPECT_FALSE(follow(s, vec2(0, 29)).thrust);
    EXPECT_FALSE(follow(s, vec2(0, 30)).thrust);
    EXPECT_TRUE(follow(s, vec2(0, 30.01)).thrust);
    // Flags are only set, never cleared.
    Flags f;
    f.thrust = f.right = f.left = f.fire = true;
    followThis(s, vec2(0, 10), f.thrust, f.right, f.left, f.fire, 0.98f, 0.3f, false);
    EXPECT_TRUE(f.thrust && f.right && f.left && f.fire);
}

TEST(Steering, FollowThrustNeedsAlignment) {
    const ship s = at(vec2(0, 0), vec2(1, 0));
    const vec2 p = vec2(0.35) * 1000; // ahead = cos 0.35 = 0.939
    EXPECT_TRUE(follow(s, p, 0.92f).thrust);
    EXPECT_FALSE(follow(s, p, 0.98f).thrust);
}

TEST(Steering, FollowFiresOnlyWhenAllowedAlignedAndInRange) {
    const ship s = at(vec2(0, 0), vec2(1, 0));
    EXPECT_TRUE(follow(s, vec2(499, 0), 0.99f, 0.1f, true).fire);
    EXPECT_FALSE(follow(s, vec2(500, 0), 0.99f, 0.1f, true).fire);
    EXPECT_FALSE(follow(s, vec2(499, 0), 0.99f, 0.1f, false).fire);
    // ahead = cos 0.2 = 0.980: not lined up.
    EXPECT_FALSE(follow(s, vec2(0.2) * 300, 0.9f, 0.1f, true).fire);
    EXPECT_TRUE(follow(s, vec2(0.1) * 300, 0.9f, 0.1f, true).fire); // 0.995
}

TEST(Steering, FollowTurnsTowardsAPointAside) {
    // turnRight turns towards retext2(dir): for dir (1, 0) that is +y.
    const ship still = at(vec2(0, 0), vec2(1, 0));
    Flags r = follow(still, vec2(1000, 100));
    EXPECT_TRUE(r.right);
    EXPECT_FALSE(r.left);
    Flags l = follow(still, vec2(1000, -100));
    EXPECT_TRUE(l.left);
    EXPECT_FALSE(l.right);
}

TEST(Steering, FollowCountersASpinThatWouldOvershoot) {
    // aside is 0.0995; predicted turn spin * lead * mass.
    const vec2 right(1000, 100), left(1000, -100);
    Flags f = follow(at(vec2(0, 0), vec2(1, 0), 1.0f, 1.0f), right); // predicted 0.3
    EXPECT_TRUE(f.left);
    EXPECT_FALSE(f.right);
    f = follow(at(vec2(0, 0), vec2(1, 0), 0.3f, 1.0f), right); // predicted 0.09
    EXPECT_TRUE(f.right);
    EXPECT_FALSE(f.left);
    // Heavier ships predict more of their spin.
    f = follow(at(vec2(0, 0), vec2(1, 0), 0.3f, 4.0f), right); // predicted 0.36
    EXPECT_TRUE(f.left);
    f = follow(at(vec2(0, 0), vec2(1, 0), -1.0f, 1.0f), left);
    EXPECT_TRUE(f.right);
    EXPECT_FALSE(f.left);
    f = follow(at(vec2(0, 0), vec2(1, 0), -0.3f, 1.0f), left);
    EXPECT_TRUE(f.left);
    EXPECT_FALSE(f.right);
    // A spin that brings the heading exactly onto the point (aside 1 right
    // beside the ship, predicted 1) is countered too: only more turn is wanted.
    f = follow(at(vec2(0, 0), vec2(1, 0), 1.0f, 1.0f), vec2(0, 1000), 0.98f, 1.0f);
    EXPECT_TRUE(f.left);
    EXPECT_FALSE(f.right);
    f = follow(at(vec2(0, 0), vec2(1, 0), -1.0f, 1.0f), vec2(0, -1000), 0.98f, 1.0f);
    EXPECT_TRUE(f.right);
    EXPECT_FALSE(f.left);
}

TEST(Steering, FollowPointBehindTurnsAtFullRate) {
    // Nearly behind: the turn goes towards it whatever the spin.
    for (float spin : {-20.0f, 0.0f, 20.0f}) {
        Flags f = follow(at(vec2(0, 0), vec2(1, 0), spin, 3.0f), vec2(-1000, 1));
        EXPECT_TRUE(f.right) << spin;
        EXPECT_FALSE(f.left) << spin;
        EXPECT_FALSE(f.thrust);
        f = follow(at(vec2(0, 0), vec2(1, 0), spin, 3.0f), vec2(-1000, -1));
        EXPECT_TRUE(f.left) << spin;
        EXPECT_FALSE(f.right) << spin;
    }
}

TEST(Steering, BreakShipAtRest) {
    std::vector<ship> ships(shipCount);
    ships[2] = at(vec2(5, 5), vec2(0, 1));
    bool thrust = true, right = true, left = true;
    breakShip(ships.data(), 2, thrust, right, left, 0.02f);
    EXPECT_FALSE(thrust);
    // n is (1, 0): aside -1, below the predicted 0.
    EXPECT_TRUE(left);
    EXPECT_FALSE(right);
    EXPECT_EQ(ships[2].vel.x, 0);
    EXPECT_EQ(ships[2].vel.y, 0);
}

TEST(Steering, BreakShipTakesAwayTheLastOfTheMotion) {
    std::vector<ship> ships(shipCount);
    ships[0] = at(vec2(0, 0), vec2(1, 0));
    ships[0].vel = vec2(2.5, 0); // exactly the limit: 500 is not above 500
    bool thrust = true, right = true, left = true, fire = true;
    breakShip(ships.data(), 0, thrust, right, left, 0.02f);
    EXPECT_FALSE(thrust);
    EXPECT_EQ(ships[0].vel.x, 2.5 / (0.02f + 1));
    EXPECT_EQ(ships[0].vel.y, 0);
    EXPECT_TRUE(left); // pointing with the motion: behind, aside 0
    EXPECT_FALSE(right);
    EXPECT_TRUE(fire); // fire is left alone
}

TEST(Steering, BreakShipBurnsAgainstFastMotion) {
    std::vector<ship> ships(shipCount);
    ships[0] = at(vec2(0, 0), vec2(-1, 0));
    ships[0].vel = vec2(2.6, 0);
    bool thrust = false, right = false, left = true;
    breakShip(ships.data(), 0, thrust, right, left, 0.02f);
    EXPECT_TRUE(thrust);
    EXPECT_EQ(ships[0].vel.x, 2.6); // untouched while burning
    // Lined up exactly (aside 0, not below the predicted 0): turnRight.
    EXPECT_TRUE(right);
    EXPECT_FALSE(left);
    // Just past the limit of 2.5 burns as well.
    ships[0].vel = vec2(2.501, 0);
    thrust = false;
    breakShip(ships.data(), 0, thrust, right, left, 0.02f);
    EXPECT_TRUE(thrust);
    EXPECT_EQ(ships[0].vel.x, 2.501);
    ships[0].vel = vec2(2.6, 0);

    // Fast but pointing elsewhere: no burn, and the motion is left alone.
    ships[0].dir = vec2(0, 1);
    thrust = true;
    breakShip(ships.data(), 0, thrust, right, left, 0.02f);
    EXPECT_FALSE(thrust);
    EXPECT_EQ(ships[0].vel.x, 2.6);
    // n is (-1, 0), aside = +1: turn right towards it.
    EXPECT_TRUE(right);
    EXPECT_FALSE(left);

    // A spin that would overshoot is countered: predicted mass * spin * 0.3.
    ships[0].spin = 5;
    breakShip(ships.data(), 0, thrust, right, left, 0.02f);
    // Ahead is 0, not behind, and aside 1 is below the predicted 1.5.
    EXPECT_TRUE(left);
    EXPECT_FALSE(right);
}

TEST(Steering, FixShipCountersSpin) {
    std::vector<ship> ships(shipCount);
    bool right = true, left = true;
    fixShip(ships.data(), 1, right, left); // spin exactly 0
    EXPECT_FALSE(right);
    EXPECT_FALSE(left);
    ships[1].spin = 0.5f;
    fixShip(ships.data(), 1, right, left);
    EXPECT_FALSE(right);
    EXPECT_TRUE(left);
    ships[1].spin = -0.5f;
    fixShip(ships.data(), 1, right, left);
    EXPECT_TRUE(right);
    EXPECT_FALSE(left);
}

TEST(Steering, AutoPilotAlongTheRoute) {
    std::vector<ship> ships(shipCount);
    ship& s = ships[3] = at(vec2(0, 0), vec2(0, 1));
    s.leader = 3;
    s.waypoint = s.pos;
    bool thrust = false, right = false, left = false;
    autoPilot(ships.data(), 3, thrust, right, left);
    EXPECT_FALSE(thrust);
    EXPECT_TRUE(left); // towards (1, 0), the direction to a point on the ship

    // Drift is corrected: moving sideways, it aims short of the waypoint.
    s.dir = vec2(1, 0);
    s.waypoint = vec2(1000, 0);
    s.mass = 2;
    s.vel = vec2(0, 100); // aim point (1000, -280)
    thrust = right = left = false;
    autoPilot(ships.data(), 3, thrust, right, left);
    EXPECT_TRUE(left);
    EXPECT_FALSE(right);
    EXPECT_FALSE(thrust); // ahead 0.963, below the route's 0.98
}

TEST(Steering, AutoPilotKeepsStationOnItsLeader) {
    std::vector<ship> ships(shipCount);
    ship& s = ships[0] = at(vec2(0, 0), vec2(1, 0));
    ship& l = ships[1] = at(vec2(0, 0), vec2(1, 0));
    s.leader = 1;
    s.radius = 20;
    l.radius = 40;
    bool thrust = false, right = false, left = false;
    l.pos = vec2(89, 0); // within (20 + 40) * 1.5
    autoPilot(ships.data(), 0, thrust, right, left);
    EXPECT_FALSE(thrust || right || left);
    l.pos = vec2(90, 0);
    autoPilot(ships.data(), 0, thrust, right, left);
    EXPECT_FALSE(thrust || right || left);
    // Beyond it, with the leader's looser alignment 0.92.
    l.pos = vec2(0.35) * 1000;
    autoPilot(ships.data(), 0, thrust, right, left);
    EXPECT_TRUE(thrust);
    EXPECT_TRUE(right);
    // The leader's motion is led: aim at L.pos + (L.vel - s.vel) * mass * 1.5.
    thrust = right = left = false;
    l.pos = vec2(1000, 0);
    l.vel = vec2(0, -200);
    autoPilot(ships.data(), 0, thrust, right, left);
    EXPECT_TRUE(left);
    EXPECT_FALSE(right);
    // A leader right beside it: turn first, no thrust until lined up.
    thrust = right = left = false;
    l.pos = vec2(0, 1000);
    l.vel = vec2(0, 0);
    autoPilot(ships.data(), 0, thrust, right, left);
    EXPECT_FALSE(thrust);
    EXPECT_TRUE(right);
}

TEST(Steering, BadSlotsAndReferencesAreHarmless) {
    std::vector<ship> ships(shipCount);
    bool thrust = false, right = false, left = false;
    breakShip(ships.data(), -1, thrust, right, left, 0.02f);
    breakShip(ships.data(), shipCount, thrust, right, left, 0.02f);
    fixShip(ships.data(), 99, right, left);
    autoPilot(ships.data(), -7, thrust, right, left);
    EXPECT_FALSE(thrust || right || left);
    ships[0] = at(vec2(0, 0), vec2(1, 0));
    ships[0].leader = 12345; // reads as none: flies its route
    ships[0].waypoint = vec2(1000, 0);
    autoPilot(ships.data(), 0, thrust, right, left);
    EXPECT_TRUE(thrust);
}

} // namespace
