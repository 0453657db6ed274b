// A small battle run by the simulation alone: green fighters attack a red
// Base and two red fighters, every ship under a fixed pattern of controls.
// Two runs from one seed end in the same world, and one frame of it, drawn
// as the play frame draws, is kept as a picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "ports/headless/headless.h"
#include "gdi/surface.h"
#include "render/render.h"
#include "sim/sim.h"
#include "support/golden.h"

namespace {

struct Battle {
    std::vector<ship> ships = std::vector<ship>(shipCount);
    std::vector<frag> frags = std::vector<frag>(fragCount);
    bool damaged = false; // some part lost health
    bool lost = false;    // some part was destroyed
    int debris = 0;       // the most debris alive at once
};

void setUp(Battle& b, unsigned seed) {
    std::srand(seed);
    ship& base = b.ships[0] = ship(vec2(0, 0), typeBase, sideRed, true);
    base.nearShip = 1;
    // Green fighters in an arc 260 to the right of the Base, facing it.
    const int types[] = {typeLightFighter, typeMediumFighter, typeHeavyFighter,
                         typeHeavyFighter, typeMediumFighter, typeLightFighter};
    for (int k = 0; k < 6; ++k) {
        const vec2 at = vec2(-0.7 + 0.28 * k) * 260;
        ship& s = b.ships[1 + k] = ship(at, types[k], sideGreen, true);
        s.dir = retnrm2(at, vec2(0, 0));
        s.energy = 10;
        s.nearShip = 0;
    }
    // Two red fighters between them, facing the attackers.
    for (int k = 0; k < 2; ++k) {
        ship& s = b.ships[7 + k] = ship(vec2(100, k ? 60 : -60), typeMediumFighter, sideRed, true);
        s.dir = vec2(1, 0);
        s.energy = 10;
        s.nearShip = 0;
    }
}

// The pilots: a fixed pattern of flags by step and ship.
void control(int step, int i, bool& thrust, bool& right, bool& left, bool& fire, bool& repair) {
    thrust = (step / 20 + i) % 3 == 0;
    right = (step / 10 + i) % 6 == 1;
    left = (step / 10 + i) % 6 == 4;
    fire = true;
    repair = (step + 13 * i) % 150 >= 140;
}

// One frame: every ship steps, the live ships are drawn (when there is a
// picture), then every live frag steps and is drawn.
void frame(Battle& b, int step, float dt, HDC dc, vec2 cam, float zoom) {
    for (int i = 0; i < shipCount; ++i) {
        if (!b.ships[i].alive) continue;
        bool thrust, right, left, fire, repair;
        control(step, i, thrust, right, left, fire, repair);
        actShip(b.ships.data(), i, b.frags.data(), thrust, right, left, fire, repair, dt);
    }
    if (dc) {
        const vec2 centre(workRes(true, 1, 0) / 2, workRes(true, 0, 0) / 2);
        for (const ship& s : b.ships)
            if (s.alive) drawShip(dc, s, (s.pos + cam) * zoom + centre, zoom);
    }
    for (int j = 0; j < fragCount; ++j)
        if (b.frags[j].life > 0)
            actFrags(dc, dt, cam, zoom, b.ships.data(), b.frags.data(), j, dc == nullptr);

    int debris = 0;
    for (const frag& f : b.frags) debris += f.life > 0 && f.type == fragDebris;
    if (debris > b.debris) b.debris = debris;
    for (const ship& s : b.ships) {
        for (const part& p : s.parts) {
            if (p.kind == kindNone) continue;
            if (p.health < getatt(p.kind, p.index, attrHealth)) b.damaged = true;
            if (p.health <= 0) b.lost = true;
        }
    }
}

Battle run(unsigned seed, int steps) {
    Battle b;
    setUp(b, seed);
    for (int step = 0; step < steps; ++step) frame(b, step, 0.02f, nullptr, vec2(0, 0), 1);
    return b;
}

TEST(BattleDeterminism, TwoRunsFromOneSeedEndAlike) {
    const Battle a = run(2024, 400);
    const Battle b = run(2024, 400);
    ASSERT_TRUE(a.damaged);
    ASSERT_TRUE(a.lost);
    ASSERT_GT(a.debris, 0);

    for (int i = 0; i < shipCount; ++i) {
        unsigned char x[shipImageSize], y[shipImageSize];
        writeShipImage(a.ships[i], x);
        writeShipImage(b.ships[i], y);
        EXPECT_EQ(std::memcmp(x, y, shipImageSize), 0) << "ship " << i;
    }
    for (int j = 0; j < fragCount; ++j) {
        const frag &f = a.frags[j], &g = b.frags[j];
        const bool same = f.pos == g.pos && f.dir == g.dir && f.vel == g.vel && f.spin == g.spin &&
                          f.life == g.life && f.type == g.type && f.partKind == g.partKind &&
                          f.partIndex == g.partIndex;
        EXPECT_TRUE(same) << "frag " << j;
    }

    // Another seed gives another battle.
    const Battle c = run(7, 400);
    unsigned char x[shipImageSize], y[shipImageSize];
    int differ = 0;
    for (int i = 0; i < shipCount; ++i) {
        writeShipImage(a.ships[i], x);
        writeShipImage(c.ships[i], y);
        differ += std::memcmp(x, y, shipImageSize) != 0;
    }
    EXPECT_GT(differ, 0);
}

// Pixels of colours only frags are drawn in: the yellow of shots and sparks
// (red and green equal, no blue) and the greys of flashes, bits and debris.
struct Census {
    int yellow = 0, grey = 0, side = 0;
};

Census census(const Surface& s) {
    Census c;
    for (int k = 0; k < s.width * s.height; ++k) {
        const std::uint32_t p = s.pixels[k];
        const int r = int(p >> 16) & 0xff, g = int(p >> 8) & 0xff, b = int(p) & 0xff;
        if (r > 0 && r == g && b == 0) ++c.yellow;
        if (r > 0 && r == g && g == b) ++c.grey;
        if ((r == 0xff && g == 0 && b == 0) || (g == 0xff && r == 0 && b == 0)) ++c.side;
    }
    return c;
}

TEST(GoldenBattle, FightersAttackingABase) {
    workRes(false, 800, 600);
    HDC dc = createSurfaceDC(800, 600);
    RECT all{0, 0, 800, 600};
    HBRUSH black = CreateSolidBrush(0);
    Battle b;
    setUp(b, 5);
    // The Base has been under fire for a while: its right-hand armour is thin.
    b.ships[0].parts[8].health = 0.4f;
    b.ships[0].parts[0].health = 0.3f;
    b.ships[0].parts[15].health = 0.5f;
    const vec2 cam(-110, 0);
    const float zoom = 1.6f;
    for (int step = 0; step < 50; ++step) { // one second: two parts are just breaking off
        FillRect(dc, &all, black);
        frame(b, step, 0.02f, dc, cam, zoom);
    }
    DeleteObject(black);
    const Surface s = dcSurface(dc);
    std::string error;
    EXPECT_TRUE(writePng("battle.png", s.pixels, s.width, s.height, error)) << error;

    EXPECT_TRUE(b.lost);
    EXPECT_GT(b.debris, 0);
    const Census c = census(s);
    EXPECT_GT(c.yellow, 20); // shots and sparks
    EXPECT_GT(c.grey, 200);  // flashes, bits, debris and the ships' grey plates
    EXPECT_GT(c.side, 200);  // the red Base and the green fighters
    EXPECT_TRUE(matchesGolden(s, "battle"));
    deleteSurfaceDC(dc);
}

} // namespace
