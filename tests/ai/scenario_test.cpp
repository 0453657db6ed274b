// Two small fleets flown by their computer minds: each side has a Base and
// four fighters, 2000 units apart. Run as the play frame runs them (targets,
// mind, brake, step; then the frags), the fleets must find each other, close
// in and trade fire, and a seed must give the same battle every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "ai/ai.h"
#include "sim/sim.h"

namespace {

struct Battle {
    std::vector<ship> ships = std::vector<ship>(shipCount);
    std::vector<frag> frags = std::vector<frag>(fragCount);
    bool shots = false;     // a shot was in flight
    bool lost[2] = {};      // a part of that side was destroyed, or a ship died
    double closest = 1e300; // the closest approach of two enemies
};

constexpr int fleet = 5; // slot of the first ship of the second fleet

void setUp(Battle& b, unsigned seed) {
    std::srand(seed);
    const int types[] = {typeLightFighter, typeMediumFighter, typeHeavyFighter, typeMediumFighter};
    for (int side = 0; side < 2; ++side) {
        const int first = side * fleet;
        const double x = side ? 1000 : -1000;
        ship& base = b.ships[first] = ship(vec2(x, 0), typeBase, side ? sideGreen : sideRed, true);
        base.target = base.leader = base.homeBase = first;
        for (int k = 0; k < 4; ++k) {
            const int i = first + 1 + k;
            ship& s = b.ships[i] =
                ship(vec2(x, -150 + 100 * k), types[k], side ? sideGreen : sideRed, true);
            s.leader = i;
            s.homeBase = first;
        }
    }
}

void frame(Battle& b, float dt) {
    ship* ships = b.ships.data();
    for (int i = 0; i < shipCount; ++i) {
        if (!ships[i].alive) continue;
        setTargets(ships, i);
        bool thrust = false, right = false, left = false, fire = false, repair = false,
             brake = false;
        thinkShip(ships, i, thrust, right, left, fire, repair, brake, dt);
        if (brake) breakShip(ships, i, thrust, right, left, dt);
        actShip(ships, i, b.frags.data(), thrust, right, left, fire, repair, dt);
    }
    for (int j = 0; j < fragCount; ++j)
        if (b.frags[j].life > 0)
            actFrags(nullptr, dt, vec2(0, 0), 1, ships, b.frags.data(), j, true);

    for (const frag& f : b.frags)
        if (f.life > 0 && f.type <= 2) b.shots = true;
    for (int i = 0; i < 2 * fleet; ++i) {
        const ship& s = ships[i];
        const int side = i < fleet ? 0 : 1;
        if (!s.alive) b.lost[side] = true;
        for (const part& p : s.parts)
            if (p.kind != kindNone && p.health <= 0) b.lost[side] = true;
        if (!s.alive) continue;
        for (int j = fleet; j < 2 * fleet; ++j)
            if (i < fleet && ships[j].alive)
                b.closest = std::min(b.closest, retdis2(s.pos, ships[j].pos));
    }
}

void run(Battle& b, unsigned seed, double seconds) {
    setUp(b, seed);
    const float dt = 0.02f;
    for (int step = 0; step < int(seconds / dt); ++step) frame(b, dt);
}

std::vector<unsigned char> images(const Battle& b) {
    std::vector<unsigned char> out(shipCount * shipImageSize);
    for (int i = 0; i < shipCount; ++i) writeShipImage(b.ships[i], &out[i * shipImageSize]);
    return out;
}

TEST(AiScenario, FleetsEngageAndTradeFire) {
    Battle b;
    run(b, 1234, 180);
    EXPECT_TRUE(b.shots);
    EXPECT_TRUE(b.lost[0]);
    EXPECT_TRUE(b.lost[1]);
    EXPECT_LT(b.closest, 600); // the start is about 2000 apart
    for (const ship& s : b.ships) {
        if (!s.alive) continue;
        EXPECT_LE(std::abs(s.pos.x), 40000);
        EXPECT_LE(std::abs(s.pos.y), 40000);
        for (int r : {s.target, s.probe, s.nearEnemy, s.nearShip, s.leader, s.homeBase}) {
            EXPECT_GE(r, 0);
            EXPECT_LT(r, shipCount);
        }
    }
}

TEST(AiScenario, SameSeedSameBattle) {
    Battle a, b;
    run(a, 77, 60);
    run(b, 77, 60);
    EXPECT_EQ(images(a), images(b));
    Battle c;
    run(c, 78, 60);
    EXPECT_NE(images(a), images(c)); // the seed does matter
}

} // namespace
