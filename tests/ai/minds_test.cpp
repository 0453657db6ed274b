// The computer minds: the timer, the choice of mindNormal by orders, the
// attack phases, the repair probes, and the base's call for defence.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "ai/ai.h"
#include "support/ai_world.h"

namespace {

Flags think(World& w, int i, float dt = 0.02f) {
    Flags f;
    thinkShip(w.ships.data(), i, f.thrust, f.right, f.left, f.fire, f.repair, f.brake, dt);
    return f;
}

TEST(Minds, TimerRunsOutIntoNormalInTheSameCall) {
    World w;
    ship& s = put(w, 0, vec2(0, 0), sideRed);
    s.mind = mindCompleteRepair;
    s.mindTime = 0.03f;
    std::srand(1);
    Flags f = think(w, 0);
    EXPECT_EQ(s.mind, mindCompleteRepair);
    EXPECT_TRUE(f.repair);
    EXPECT_FLOAT_EQ(s.mindTime, 0.01f);
    think(w, 0);
    EXPECT_LE(s.mindTime, 0);
    EXPECT_EQ(s.mind, mindCompleteRepair);
    // Run out: through mindNormal (no flags) into a new mind, now.
    f = think(w, 0);
    EXPECT_EQ(s.mind, mindFollowWaypoints);
    EXPECT_GE(s.mindTime, 1);
    EXPECT_LE(s.mindTime, 5);
    EXPECT_FALSE(f.any());
}

TEST(Minds, PatrolLinePassesThroughNormal) {
    World w;
    ship& s = put(w, 0, vec2(0, 0), sideRed, orderGuardLine);
    s.mind = mindPatrolLine;
    s.mindTime = 0;
    s.waypoint = vec2(0, 5000);
    std::srand(2);
    Flags f = think(w, 0);
    EXPECT_EQ(s.mind, mindPatrolLine);
    EXPECT_GE(s.mindTime, 1);
    EXPECT_FALSE(f.any()); // mindNormal flies nothing
    f = think(w, 0);
    EXPECT_TRUE(f.right); // now it patrols: the waypoint is to starboard
}

// mindNormal's draws in order: drop the target, the time, then the choice.
struct Choice {
    int mind, target;
    float time;
};

Choice expectedChoice(unsigned seed, const ship& s, int i) {
    std::srand(seed);
    Choice c{mindNormal, s.target, 0};
    if (std::rand() % 4 == 1) c.target = i;
    c.time = float(std::rand() % 5 + 1);
    const bool target = c.target != i, leader = s.leader != i;
    switch (s.orders) {
    case orderFighter:
        c.mind = target ? std::rand() % 2 + 1 : leader ? mindFollowLeader : mindFollowWaypoints;
        break;
    case orderGuardLine:
        c.mind = target ? mindAttack : leader ? mindFollowLeader : mindPatrolLine;
        break;
    case orderFreighter:
        c.mind = leader ? mindFollowLeader : mindFollowWaypoints;
        break;
    case orderBase: {
        const part& p = s.parts[std::rand() % partSlots];
        if (p.kind != kindNone && p.health < getatt(p.kind, p.index, attrHealth))
            c.mind = mindCompleteRepair;
        break;
    }
    }
    return c;
}

TEST(Minds, NormalChoosesByOrders) {
    int seen[9] = {};
    for (int orders : {orderFighter, orderGuardLine, orderFreighter, orderBase}) {
        for (int withTarget = 0; withTarget < 2; ++withTarget) {
            for (int withLeader = 0; withLeader < 2; ++withLeader) {
                for (unsigned seed = 1; seed <= 12; ++seed) {
                    World w;
                    ship& s = put(w, 0, vec2(0, 0), sideRed, orders);
                    put(w, 1, vec2(300, 0), sideGreen);
                    put(w, 2, vec2(-300, 0), sideRed);
                    if (withTarget) s.target = 1;
                    if (withLeader) s.leader = 2;
                    if (orders == orderBase) { // half the slots damaged
                        for (int k = 0; k < partSlots; k += 2)
                            s.parts[k] = part(vec2(0, 0), 0, kindHull, 3, 0, k % 4 != 0);
                    }
                    const Choice c = expectedChoice(seed, s, 0);
                    std::srand(seed);
                    think(w, 0);
                    ASSERT_EQ(s.mind, c.mind) << orders << withTarget << withLeader << seed;
                    ASSERT_EQ(s.target, c.target);
                    ASSERT_EQ(s.mindTime, c.time);
                    ++seen[s.mind];
                    if (orders == orderFreighter) {
                        EXPECT_NE(s.mind, mindAttack);
                    }
                    if (orders == orderGuardLine) {
                        EXPECT_NE(s.mind, mindAttack2);
                    }
                }
            }
        }
    }
    // Every mind that mindNormal can choose was chosen.
    for (int m : {mindNormal, mindAttack, mindAttack2, mindFollowLeader, mindCompleteRepair,
                  mindFollowWaypoints, mindPatrolLine})
        EXPECT_GT(seen[m], 0) << m;
}

// An attacker at the origin facing +x, its target ahead at distance d.
struct Duel {
    World w;
    ship& s;
    ship& t;
    Duel(double d, double angle, int mind)
        : s(put(w, 0, vec2(0, 0), sideRed)), t(put(w, 1, vec2(angle) * d, sideGreen)) {
        s.target = 1;
        s.mind = mind;
        s.mindTime = 100;
    }
};

TEST(Minds, AttackPhases) {
    // Near and lined up: fire.
    Duel close(400, 0, mindAttack);
    Flags f = think(close.w, 0);
    EXPECT_TRUE(f.fire);
    EXPECT_TRUE(f.thrust);
    EXPECT_EQ(close.s.mind, mindAttack);
    // Far: close in without firing.
    Duel distant(750, 0, mindAttack);
    f = think(distant.w, 0);
    EXPECT_TRUE(f.thrust);
    EXPECT_FALSE(f.fire);
    // At 800, ahead 0.955: the first attack is still far (align 0.92) and
    // thrusts, the second is near (align 0.99) and does not.
    Duel a1(800, 0.3, mindAttack);
    EXPECT_TRUE(think(a1.w, 0).thrust);
    Duel a2(800, 0.3, mindAttack2);
    EXPECT_FALSE(think(a2.w, 0).thrust);
    EXPECT_EQ(a2.s.mind, mindAttack2);
    // The near phase leads the target by its relative velocity times d * 0.0006:
    // at 400 moving across at 1000, the aim point is 240 aside.
    Duel lead(400, 0, mindAttack);
    lead.t.vel = vec2(0, 1000);
    f = think(lead.w, 0);
    EXPECT_FALSE(f.fire);
    EXPECT_FALSE(f.thrust);
    EXPECT_TRUE(f.right);
}

TEST(Minds, AttackEndsWhenTheTargetIsGone) {
    Duel d(300, 0, mindAttack2);
    d.t.alive = false;
    think(d.w, 0);
    EXPECT_EQ(d.s.mind, mindNormal);
    // Even when the gun probe has just asked for repair.
    Duel e(300, 0, mindAttack);
    for (part& p : e.s.parts) p = part(vec2(0, 0), 0, kindGun, 0, 0, false);
    think(e.w, 0);
    EXPECT_EQ(e.s.mind, mindQuickRepair);
    e.s.mind = mindAttack;
    e.t.alive = false;
    think(e.w, 0);
    EXPECT_EQ(e.s.mind, mindNormal);
    // No target at all.
    Duel n(300, 0, mindAttack);
    n.s.target = 0;
    think(n.w, 0);
    EXPECT_EQ(n.s.mind, mindNormal);
}

TEST(Minds, LostGunSendsAttackerToQuickRepair) {
    std::srand(3);
    World w;
    ship& s = w[0] = ship(vec2(0, 0), typeLightFighter, sideRed, true);
    put(w, 1, vec2(300, 40), sideGreen);
    s.target = 1;
    s.leader = s.homeBase = 0;
    s.mind = mindAttack;
    s.mindTime = 1000;
    Flags f = think(w, 0);
    EXPECT_EQ(s.mind, mindAttack); // whole: the probe never fires
    for (part& p : s.parts)
        if (p.kind == kindGun) p.health = 0;
    int calls = 0;
    while (s.mind == mindAttack && calls < 1000) {
        think(w, 0);
        ++calls;
    }
    ASSERT_EQ(s.mind, mindQuickRepair);
    // Quick repair holds while a gun is lost, and ends once it is rebuilt.
    for (int k = 0; k < 20; ++k) {
        f = think(w, 0);
        EXPECT_TRUE(f.repair);
        EXPECT_FALSE(f.thrust || f.fire);
        EXPECT_EQ(s.mind, mindQuickRepair);
    }
    for (part& p : s.parts)
        if (p.kind == kindGun) p.health = getatt(kindGun, p.index, attrHealth);
    f = think(w, 0);
    EXPECT_TRUE(f.repair);
    EXPECT_EQ(s.mind, mindNormal);
}

TEST(Minds, DamageSendsFollowersToCompleteRepair) {
    World w;
    ship& s = put(w, 0, vec2(0, 0), sideRed);
    ship& l = put(w, 1, vec2(0, 1000), sideRed);
    s.leader = 1;
    s.mind = mindFollowLeader;
    s.mindTime = 100;
    s.radius = l.radius = 10;
    Flags f = think(w, 0);
    EXPECT_EQ(s.mind, mindFollowLeader);
    EXPECT_TRUE(f.right); // the leader lies at +y
    l.pos = vec2(29, 0);  // within the keep-off distance of 30
    f = think(w, 0);
    EXPECT_FALSE(f.any());
    s.leader = 0;
    l.pos = vec2(0, 1000);
    EXPECT_FALSE(think(w, 0).any());

    // Every slot damaged: the probe is true whatever slot it draws.
    s.leader = 1;
    for (part& p : s.parts) p = part(vec2(0, 0), 0, kindHull, 2, 0, false);
    f = think(w, 0);
    EXPECT_EQ(s.mind, mindCompleteRepair);
    EXPECT_TRUE(f.right); // it still flew this frame
    f = think(w, 0);
    EXPECT_TRUE(f.repair);
    EXPECT_FALSE(f.thrust || f.right || f.left || f.fire);
    EXPECT_EQ(s.mind, mindCompleteRepair);

    s.mind = mindFollowWaypoints;
    think(w, 0);
    EXPECT_EQ(s.mind, mindCompleteRepair);
    s.mind = mindPatrolLine;
    think(w, 0);
    EXPECT_EQ(s.mind, mindCompleteRepair);
}

TEST(Minds, BaseRepairDrawsItsFightersToDefendIt) {
    std::srand(4);
    World w;
    ship& b = w[0] = ship(vec2(0, 0), typeBase, sideRed, true);
    b.leader = b.homeBase = b.target = 0;
    b.mindTime = 0;
    ship& f1 = put(w, 1, vec2(2000, 0), sideRed, orderFighter);
    ship& g = put(w, 2, vec2(-2000, 0), sideRed, orderGuardLine);
    for (ship* s : {&f1, &g}) {
        s->homeBase = 0;
        s->mind = mindFollowWaypoints;
        s->mindTime = 100;
        s->waypoint = s->pos + vec2(0, 3000);
    }
    f1.dir = vec2(-1, 0);

    // Undamaged, the base stays in mindNormal.
    for (int k = 0; k < 50; ++k) think(w, 0);
    EXPECT_EQ(b.mind, mindNormal);
    think(w, 1);
    EXPECT_EQ(f1.mind, mindFollowWaypoints);

    for (part& p : b.parts)
        if (p.kind != kindNone) p.health *= 0.5f;
    think(w, 0);
    ASSERT_EQ(b.mind, mindCompleteRepair);

    think(w, 1);
    EXPECT_EQ(f1.mind, mindDefendBase);
    think(w, 2);
    EXPECT_EQ(g.mind, mindFollowWaypoints); // only fighters answer
    Flags f = think(w, 1);
    EXPECT_TRUE(f.thrust); // facing the base
    EXPECT_EQ(f1.mind, mindDefendBase);

    // The base is whole again and chooses anew: its fighters stand down.
    b.mind = mindNormal;
    think(w, 1);
    EXPECT_EQ(f1.mind, mindNormal);
    // Without a home base there is nothing to defend.
    f1.mind = mindDefendBase;
    f1.homeBase = 1;
    b.mind = mindCompleteRepair;
    EXPECT_FALSE(think(w, 1).any());
    EXPECT_EQ(f1.mind, mindNormal);
}

TEST(Minds, PatrolTurnsToAttackOnATarget) {
    World w;
    ship& s = put(w, 0, vec2(0, 0), sideRed, orderGuardLine);
    put(w, 1, vec2(400, 0), sideGreen);
    s.mind = mindPatrolLine;
    s.mindTime = 100;
    s.waypoint = vec2(0, -2000);
    Flags f = think(w, 0);
    EXPECT_EQ(s.mind, mindPatrolLine);
    EXPECT_TRUE(f.left);
    s.target = 1;
    f = think(w, 0);
    EXPECT_EQ(s.mind, mindAttack);
    EXPECT_TRUE(f.left); // it patrolled this frame
    f = think(w, 0);
    EXPECT_TRUE(f.thrust && f.fire); // and attacks the next
}

TEST(Minds, UnknownMindsDoNothing) {
    World w;
    ship& s = put(w, 0, vec2(0, 0), sideRed);
    s.waypoint = vec2(1000, 1000);
    for (int m : {-1, 9, 1000}) {
        s.mind = m;
        s.mindTime = 10;
        EXPECT_FALSE(think(w, 0).any());
        EXPECT_EQ(s.mind, m);
    }
}

TEST(Minds, BadSlotsAndReferencesAreHarmless) {
    World w;
    ship& s = put(w, 0, vec2(0, 0), sideRed);
    std::srand(5);
    for (int m = mindNormal; m <= mindPatrolLine; ++m) {
        for (int bad : {-1, 50, 77777}) {
            s.mind = m;
            s.mindTime = 10;
            s.target = s.leader = s.homeBase = bad;
            think(w, 0);
            EXPECT_EQ(s.target, 0);
            EXPECT_EQ(s.leader, 0);
            EXPECT_EQ(s.homeBase, 0);
        }
    }
    Flags f;
    // One past the last slot is no ship, even where the memory holds one that
    // would ask for repair.
    std::vector<ship> more(shipCount + 1);
    more[shipCount] = s;
    more[shipCount].mind = mindCompleteRepair;
    thinkShip(more.data(), shipCount, f.thrust, f.right, f.left, f.fire, f.repair, f.brake, 0.02f);
    thinkShip(w.ships.data(), -1, f.thrust, f.right, f.left, f.fire, f.repair, f.brake, 0.02f);
    thinkShip(w.ships.data(), shipCount, f.thrust, f.right, f.left, f.fire, f.repair, f.brake,
              0.02f);
    thinkShip(nullptr, 0, f.thrust, f.right, f.left, f.fire, f.repair, f.brake, 0.02f);
    EXPECT_FALSE(f.any());
}

} // namespace
