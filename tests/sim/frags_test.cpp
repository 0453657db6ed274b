// The frags: how each type is born, the free-slot search, explosions, the
// shots' hit test, damage and knock, and how each type moves and is drawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/app.h"
#include "gdi/surface.h"
#include "sim/sim.h"
#include "support/sim_world.h"

namespace {

double fraction() { return (std::rand() % 10000) / 10000.0; }

using World = SimWorld;

// A live ship at pos heading along +x with a reach of 50, no parts yet.
ship target(vec2 pos) {
    ship s;
    s.pos = pos;
    s.dir = vec2(1, 0);
    s.alive = true;
    s.mass = 1;
    s.radius = 50;
    return s;
}

void put(ship& s, int slot, vec2 pos, int kind, int index) {
    s.parts[slot] = part(pos, 0, kind, index, 0, true);
}

// An armed shot (past its first 0.1 s) at pos with velocity vel.
frag armedShot(vec2 pos, vec2 vel, int type) {
    frag f(pos, vel, type);
    f.life = 3;
    return f;
}

float whole(const part& p) { return getatt(p.kind, p.index, attrHealth); }

// A seed whose second rand call (the damage of a hit) gives this remainder.
unsigned seedForDamage(int remainder) {
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        std::rand();
        if (std::rand() % 10000 == remainder) return seed;
    }
}

TEST(FragBirth, EachTypeStartsWithItsLifeAndRandCalls) {
    const vec2 p(3, 4), v(-5, 6);
    for (int type = 0; type <= 2; ++type) {
        frag f(p, v, type);
        EXPECT_EQ(f.type, type);
        EXPECT_EQ(f.life, 4.0f);
        EXPECT_EQ(f.pos.x, 3);
        EXPECT_EQ(f.vel.y, 6);
        EXPECT_EQ(f.dir.x, 0);
        EXPECT_EQ(f.dir.y, 0);
    }
    EXPECT_EQ(frag(p, v, fragSpark).life, 2.0f);

    std::srand(21);
    const frag bit(p, v, fragBit);
    std::srand(21);
    const vec2 dir = rndnrm2();
    const float spin = float(fraction() * 10 - 5);
    EXPECT_EQ(bit.life, 2.0f);
    EXPECT_EQ(bit.dir.x, dir.x);
    EXPECT_EQ(bit.dir.y, dir.y);
    EXPECT_EQ(bit.spin, spin);

    EXPECT_EQ(frag(p, v, fragFlash, 0, 7).life, 0.3f);
    EXPECT_EQ(frag(p, v, fragFlash, 1, 7).life, 0.8f);
    EXPECT_EQ(frag(p, v, fragFlash, 1, 7).type, fragFlash);

    std::srand(22);
    const frag debris(p, v, fragDebris, kindGun, 2);
    std::srand(22);
    const vec2 ddir = rndnrm2();
    const float dspin = float(fraction() * 5 - 2.5);
    const float dlife = float(fraction() * 2 + 3);
    EXPECT_EQ(debris.type, fragDebris);
    EXPECT_EQ(debris.partKind, kindGun);
    EXPECT_EQ(debris.partIndex, 2);
    EXPECT_EQ(debris.dir.x, ddir.x);
    EXPECT_EQ(debris.spin, dspin);
    EXPECT_EQ(debris.life, dlife);
    EXPECT_GE(debris.life, 3.0f);
    EXPECT_LT(debris.life, 5.0f);

    // Types a constructor does not make leave a free slot behind.
    EXPECT_EQ(frag(p, v, 5).life, 0);
    EXPECT_EQ(frag(p, v, 9).life, 0);
    EXPECT_EQ(frag(p, v, fragSpark, 1, 1).life, 0);
    EXPECT_EQ(frag(p, v, -1, 1, 1).life, 0);
}

TEST(FragBirth, FindFragTakesTheLowestFreeSlotOrSlotZero) {
    World w;
    EXPECT_EQ(findFrag(w.frags.data()), 0);
    for (int j = 0; j < 10; ++j) w.frags[j].life = 1;
    w.frags[4].life = -0.5f;
    EXPECT_EQ(findFrag(w.frags.data()), 4);
    w.frags[4].life = 0.01f;
    EXPECT_EQ(findFrag(w.frags.data()), 10);
    for (frag& f : w.frags) f.life = 1;
    w.frags[fragCount - 1].life = 0;
    EXPECT_EQ(findFrag(w.frags.data()), fragCount - 1);
    w.frags[fragCount - 1].life = 1;
    EXPECT_EQ(findFrag(w.frags.data()), 0);
}

TEST(FragBirth, FullArrayNewShotReplacesSlotZero) {
    World w;
    for (frag& f : w.frags) f = frag(vec2(1, 1), vec2(0, 0), fragSpark);
    ship& s = w.ships[0] = target(vec2(0, 0));
    put(s, 0, vec2(0, 0), kindHull, 2);
    put(s, 1, vec2(10, 0), kindGun, 1);
    s.parts[1].reload = 0;
    s.energy = 5;
    actShip(w.ships.data(), 0, w.frags.data(), false, false, false, true, false, 0.02f);
    EXPECT_EQ(w.frags[0].type, 1);
    EXPECT_EQ(w.frags[0].life, 4.0f);
    EXPECT_EQ(w.frags[0].pos.x, 10);
    EXPECT_EQ(w.frags[1].type, fragSpark); // nothing else was touched
    EXPECT_EQ(w.frags[fragCount - 1].type, fragSpark);
}

TEST(FragBirth, BangsPlaceFlashSparksAndBitsInOrder) {
    const vec2 at(100, 200), v(10, -10);
    for (int size : {0, 1}) {
        World w;
        w.frags[2].life = 1; // taken: the bang goes around it
        w.frags[2].type = fragSpark;
        std::srand(31);
        fragBang(at, v, w.frags.data(), size);
        const int bits = size == 0 ? 1 : 4;
        EXPECT_EQ(w.liveFrags(), 1 + 1 + 4 + bits);

        std::srand(31);
        std::vector<int> slots = {0, 1, 3, 4, 5, 6, 7, 8, 9};
        slots.resize(std::size_t(1 + 4 + bits));
        const frag& flash = w.frags[slots[0]];
        EXPECT_EQ(flash.type, fragFlash);
        EXPECT_EQ(flash.life, size == 0 ? 0.3f : 0.8f);
        EXPECT_EQ(flash.vel.x, 0); // the flash stays where it was born
        EXPECT_EQ(flash.pos.x, 100);
        for (int k = 1; k < 5 + bits; ++k) {
            const frag& f = w.frags[slots[std::size_t(k)]];
            const vec2 vel = v + rndvec2() * 100;
            EXPECT_EQ(f.type, k < 5 ? fragSpark : fragBit) << k;
            EXPECT_EQ(f.vel.x, vel.x) << k;
            EXPECT_EQ(f.vel.y, vel.y) << k;
            EXPECT_EQ(f.pos.y, 200);
            if (f.type == fragBit) {
                rndnrm2();
                fraction();
            }
        }
    }
}

TEST(FragHit, ShotPassesThroughAShipInItsFirstTenthOfASecond) {
    World w;
    ship& s = w.ships[0] = target(vec2(0, 0));
    s.radius = 20;
    put(s, 0, vec2(0, 0), kindHull, 0); // size 10
    std::srand(1);

    // Born 25 units behind the plate at 500 per second: through and out
    // within 0.1 s.
    w.frags[0] = frag(vec2(-25, 0), vec2(500, 0), fragShot);
    for (int n = 0; n < 30; ++n) w.act(0, 0.01f);
    EXPECT_EQ(s.parts[0].health, 1.0f);
    EXPECT_GT(w.frags[0].life, 3.6f);
    EXPECT_EQ(w.liveFrags(), 1);

    // Born 75 units behind, it reaches the plate armed.
    w.frags[0] = frag(vec2(-75, 0), vec2(500, 0), fragShot);
    for (int n = 0; n < 30 && w.frags[0].type == fragShot; ++n) w.act(0, 0.01f);
    EXPECT_LT(s.parts[0].health, 1.0f);
    // The spent shot's slot holds the hit's flash, where the path met the plate.
    EXPECT_EQ(w.frags[0].type, fragFlash);
    EXPECT_NEAR(w.frags[0].pos.x, -5, 1e-4);
}

TEST(FragHit, ExpiredShotHitsNothing) {
    World w;
    ship& s = w.ships[0] = target(vec2(0, 0));
    put(s, 0, vec2(0, 0), kindHull, 0);
    w.frags[0] = armedShot(vec2(-10, 0), vec2(1000, 0), fragShot);
    w.frags[0].life = 0.01f;
    w.act(0, 0.02f);
    EXPECT_EQ(s.parts[0].health, 1.0f);
    EXPECT_EQ(w.liveFrags(), 0);
}

TEST(FragHit, NearestCentreToWhereTheShotWasWins) {
    const unsigned seed = seedForDamage(5000);
    for (int way : {1, -1}) {
        World w;
        ship& s = w.ships[0] = target(vec2(0, 0));
        put(s, 0, vec2(12, 0), kindHull, 4); // size 12; the two overlap
        put(s, 1, vec2(-5, 0), kindHull, 4);
        w.frags[0] = armedShot(vec2(-30.0 * way, 0), vec2(3000.0 * way, 0), fragShot);
        std::srand(seed);
        w.act(0, 0.02f); // the path crosses both plates
        const int winner = way == 1 ? 1 : 0, other = 1 - winner;
        EXPECT_FLOAT_EQ(s.parts[winner].health, 2.5f - 0.5f) << way;
        EXPECT_EQ(s.parts[other].health, 2.5f) << way;
    }
    // Two centres equally near: the earlier slot.
    World w;
    ship& s = w.ships[0] = target(vec2(0, 0));
    put(s, 2, vec2(0, 3), kindHull, 4);
    put(s, 5, vec2(0, 3), kindHull, 4);
    w.frags[0] = armedShot(vec2(-30, 0), vec2(3000, 0), fragShot);
    std::srand(seed);
    w.act(0, 0.02f);
    EXPECT_LT(s.parts[2].health, 2.5f);
    EXPECT_EQ(s.parts[5].health, 2.5f);
}

TEST(FragHit, ShotMustPassWithinThePartsSize) {
    const unsigned seed = seedForDamage(5000);
    struct Case {
        int kind, index;
        double offset;
        bool hit;
    };
    const Case cases[] = {
        {kindHull, 3, 5, true},   // a plate of size 10, 5 from its centre
        {kindGun, 0, 5, false},   // a gun of size 2
        {kindGun, 0, 1.5, true},  // within the gun's size
        {kindHull, 3, 10, false}, // exactly its size away: a miss
        {kindHull, 3, 9.9, true}, // just inside
    };
    for (const Case& c : cases) {
        World w;
        ship& s = w.ships[0] = target(vec2(0, 0));
        put(s, 0, vec2(0, 0), c.kind, c.index);
        // One step from 20 before to 20 past the part, passing at `offset`.
        w.frags[0] = armedShot(vec2(-20, c.offset), vec2(2000, 0), fragShot);
        std::srand(seed);
        w.act(0, 0.02f);
        EXPECT_EQ(s.parts[0].health < whole(s.parts[0]), c.hit) << c.kind << " " << c.offset;
        EXPECT_EQ(w.frags[0].type == fragShot && w.frags[0].life > 0, !c.hit);
    }
}

TEST(FragHit, ShipsWithoutAHitPartAndDeadShipsDoNotStopTheShot) {
    World w;
    const unsigned seed = seedForDamage(5000);
    ship& dead = w.ships[0] = target(vec2(0, 0));
    put(dead, 0, vec2(0, 0), kindHull, 4);
    dead.alive = false;
    ship& wide = w.ships[1] = target(vec2(0, 0)); // its reach covers the path, its part does not
    wide.radius = 100;
    put(wide, 0, vec2(0, 60), kindHull, 4);
    ship& hit = w.ships[2] = target(vec2(10, 0));
    put(hit, 0, vec2(0, 0), kindHull, 4);
    w.frags[0] = armedShot(vec2(-20, 0), vec2(2000, 0), fragShot);
    std::srand(seed);
    w.act(0, 0.02f);
    EXPECT_EQ(dead.parts[0].health, 2.5f);
    EXPECT_EQ(wide.parts[0].health, 2.5f);
    EXPECT_FLOAT_EQ(hit.parts[0].health, 2.0f);
}

TEST(FragHit, PartOutsideTheShipsReachIsNotTested) {
    World w;
    ship& s = w.ships[0] = target(vec2(0, 0));
    s.radius = 15;
    put(s, 0, vec2(40, 0), kindHull, 4); // a part beyond the ship's own reach
    w.frags[0] = armedShot(vec2(30, 0), vec2(1000, 0), fragShot);
    w.act(0, 0.02f);
    EXPECT_EQ(s.parts[0].health, 2.5f);
}

TEST(FragHit, KnockAndDamageFollowTheShotsType) {
    World w;
    ship& s = w.ships[0] = target(vec2(0, 0));
    put(s, 0, vec2(0, 0), kindHull, 5); // health 6
    s.mass = 3;
    s.vel = vec2(10, 0);
    s.spin = 1;
    w.frags[7] = armedShot(vec2(-30, 0), vec2(1000, 0), 1); // size 2.5
    std::srand(41);
    w.act(7, 0.02f);

    std::srand(41);
    const double spinPush = fraction() - 0.5; // first the spin, then the damage
    const double damage = fraction() * 2.5;
    const vec2 vel = vec2(10, 0) + ((vec2(1000, 0) - vec2(10, 0)) / 3 * 0.1) * 2.5;
    EXPECT_EQ(s.spin, float(1 + spinPush / 3 * 2.5 * 7.5));
    EXPECT_EQ(s.vel.x, vel.x);
    EXPECT_EQ(s.vel.y, 0);
    EXPECT_EQ(s.parts[0].health, float(6 - damage));
    EXPECT_EQ(w.frags[7].life, 0); // spent
    EXPECT_EQ(w.frags[0].type, fragFlash);
    EXPECT_EQ(w.frags[0].life, 0.3f);
    // It burst where this step's path came nearest to the plate's centre.
    EXPECT_NEAR(w.frags[0].pos.x, -10, 1e-5);
    // The sparks fly with the ship's velocity after the knock.
    const vec2 spark = vel + rndvec2() * 100;
    EXPECT_EQ(w.frags[1].type, fragSpark);
    EXPECT_EQ(w.frags[1].vel.x, spark.x);
    EXPECT_EQ(w.liveFrags(), 6);
}

TEST(FragHit, PartBreaksWhenTheDamageTakesItToZero) {
    // Damage 0.2 from a shot of row 0: the second rand call reads 2000.
    const unsigned seed = seedForDamage(2000);
    for (float left : {0.05f, 0.21f, 0.19f}) {
        World w;
        ship& s = w.ships[0] = target(vec2(0, 0));
        put(s, 0, vec2(0, 0), kindHull, 4);
        put(s, 1, vec2(0, 12), kindGun, 1);
        s.parts[1].parent = 0;
        s.parts[0].health = left;
        w.frags[0] = armedShot(vec2(-30, 0), vec2(3000, 0), fragShot);
        std::srand(seed);
        w.act(0, 0.02f);
        const bool breaks = left < 0.2f;
        EXPECT_NEAR(s.parts[0].health, left - 0.2, 1e-6) << left;
        // A hit: one flash, four sparks, one bit. A loss: ten more for each part.
        EXPECT_EQ(w.liveFrags(), breaks ? 6 + 20 : 6) << left;
        EXPECT_EQ(w.liveOfType(fragDebris), breaks ? 2 : 0) << left;
        EXPECT_EQ(s.parts[1].health > 0, !breaks) << left;
    }
}

// The colour of one pixel of the frame, as 0x00RRGGBB.
std::uint32_t pixel(HDC dc, int x, int y) {
    Surface s = dcSurface(dc);
    return s.pixels[y * s.width + x];
}

void clear(HDC dc) {
    RECT all{0, 0, 800, 600};
    HBRUSH black = CreateSolidBrush(0);
    FillRect(dc, &all, black);
    DeleteObject(black);
}

int level(double intensity) { return int(255 * intensity) & 0xff; }
std::uint32_t redPixel(int b) { return pixelOf(COLORREF(b)); }
std::uint32_t yellowPixel(int b) { return pixelOf(COLORREF(b + 256 * b)); }
std::uint32_t greyPixel(int b) { return pixelOf(COLORREF(b * 0x010101)); }

TEST(FragDraw, LargeFlashIsFullyBrightAFifthOfASecondThenFadesOverThreeTenths) {
    workRes(false, 800, 600);
    HDC dc = createSurfaceDC(800, 600);
    World w;
    w.frags[0] = frag(vec2(0, 0), vec2(0, 0), fragFlash, 1, 0);
    int full = 0, steps = 0, last = 256;
    const float dt = 0.01f;
    while (w.frags[0].life > 0) {
        clear(dc);
        actFrags(dc, dt, vec2(0, 0), 1, w.ships.data(), w.frags.data(), 0, false);
        ++steps;
        const float life = w.frags[0].life;
        if (life <= 0.12f) continue; // too small to be sure of the centre pixel
        const int b = pixel(dc, 400, 300) & 0xff;
        EXPECT_EQ(pixel(dc, 400, 300), greyPixel(b));
        EXPECT_LE(b, last) << steps;
        if (b == 255) {
            ++full;
        } else {
            EXPECT_EQ(b, level(life / 0.3)) << steps;
        }
        last = b;
        // The flash shrinks as it fades: its radius is 25 units per second of life.
        EXPECT_EQ(pixel(dc, 400 + int(25 * life) + 2, 300), 0u) << steps;
    }
    EXPECT_NEAR(full * dt, (0.8 - 0.3) / 3, 0.011);
    EXPECT_NEAR(steps * dt, (0.8 - 0.3) / 3 + 0.3, 0.011);
    EXPECT_EQ(w.frags[0].pos.x, 0); // a flash does not move

    // A small flash fades from the start.
    w.frags[0] = frag(vec2(0, 0), vec2(0, 0), fragFlash, 0, 0);
    clear(dc);
    actFrags(dc, dt, vec2(0, 0), 1, w.ships.data(), w.frags.data(), 0, false);
    EXPECT_EQ(pixel(dc, 400, 300), greyPixel(level(0.29f / 0.3)));
    deleteSurfaceDC(dc);
}

TEST(FragDraw, ShotsAndSparksInTheirColoursAtTheirScreenPoints) {
    workRes(false, 800, 600);
    HDC dc = createSurfaceDC(800, 600);
    World w;
    const vec2 cam(5, 5);
    const float zoom = 4;
    // World (10, -20) is at (400, 300) + (15, -15) * 4 = (460, 240) on screen.
    const vec2 at(10, -20);

    clear(dc);
    w.frags[0] = frag(at, vec2(0, 0), fragShot); // still arming: full yellow
    actFrags(dc, 0.01f, cam, zoom, w.ships.data(), w.frags.data(), 0, false);
    EXPECT_EQ(pixel(dc, 460, 240), pixelOf(0x00ffff));
    EXPECT_EQ(pixel(dc, 460 + 9, 240), 0u); // radius 1.5 * 4

    clear(dc);
    w.frags[0] = armedShot(at, vec2(0, 250), 2); // radius 4 * 4, tail 5 units up
    w.frags[0].life = 1.96f;
    actFrags(dc, 0.01f, cam, zoom, w.ships.data(), w.frags.data(), 0, false);
    const int b = level(w.frags[0].life / 3.9 * 0.8 + 0.2);
    const int y = 240 + 10;                           // moved 2.5 units down
    EXPECT_EQ(pixel(dc, 460 + 4, y), yellowPixel(b)); // the fill
    EXPECT_EQ(pixel(dc, 460 - 16, y), redPixel(b));   // the outline
    EXPECT_EQ(pixel(dc, 460, y - 12), redPixel(b));   // the tail, drawn over the fill
    EXPECT_EQ(pixel(dc, 460 + 18, y), 0u);

    clear(dc);
    w.frags[0] = frag(at, vec2(0, 0), fragSpark);
    actFrags(dc, 1.0f, cam, zoom, w.ships.data(), w.frags.data(), 0, false);
    const int s = level(1.0 / 2 * 0.8 + 0.2);
    EXPECT_EQ(pixel(dc, 460, 240), yellowPixel(s));
    EXPECT_EQ(pixel(dc, 460 - 6, 240), redPixel(s));
    deleteSurfaceDC(dc);
}

TEST(FragDraw, BitsAndDebrisAreDrawnInFadingGrey) {
    workRes(false, 800, 600);
    HDC dc = createSurfaceDC(800, 600);
    World w;
    std::srand(5);
    w.frags[0] = frag(vec2(0, 0), vec2(0, 0), fragDebris, kindHull, 4);
    auto greyCount = [&] {
        Surface s = dcSurface(dc);
        int n = 0;
        for (int k = 0; k < s.width * s.height; ++k) {
            const std::uint32_t p = s.pixels[k];
            n += p != 0 && p == greyPixel(p & 0xff);
        }
        return n;
    };
    clear(dc);
    actFrags(dc, 0.01f, vec2(0, 0), 2, w.ships.data(), w.frags.data(), 0, false);
    EXPECT_GT(greyCount(), 500);                    // a plate of 24 units at 2 pixels a unit
    EXPECT_EQ(pixel(dc, 400, 300), greyPixel(126)); // full shade while life > 3

    w.frags[0] = frag(vec2(0, 0), vec2(0, 0), fragBit);
    clear(dc);
    actFrags(dc, 0.01f, vec2(0, 0), 4, w.ships.data(), w.frags.data(), 0, false);
    EXPECT_GT(greyCount(), 10);
    deleteSurfaceDC(dc);
}

TEST(FragStep, EachTypeMovesAndAgesAndNoDrawChangesNothingElse) {
    workRes(false, 800, 600);
    std::srand(9);
    World drawn, hidden;
    drawn.frags[0] = frag(vec2(1, 2), vec2(10, 20), fragSpark);
    drawn.frags[1] = frag(vec2(1, 2), vec2(10, 20), fragBit);
    drawn.frags[2] = frag(vec2(1, 2), vec2(10, 20), fragFlash, 1, 0);
    drawn.frags[3] = frag(vec2(1, 2), vec2(10, 20), fragDebris, kindEngine, 1);
    drawn.frags[4] = frag(vec2(1, 2), vec2(10, 20), fragShot);
    hidden.frags = drawn.frags;
    const std::vector<frag> born = drawn.frags;

    HDC dc = createSurfaceDC(800, 600);
    HDC blank = createSurfaceDC(800, 600);
    clear(blank);
    for (int j = 0; j < 5; ++j) {
        actFrags(dc, 0.05f, vec2(0, 0), 1, drawn.ships.data(), drawn.frags.data(), j, false);
        actFrags(blank, 0.05f, vec2(0, 0), 1, hidden.ships.data(), hidden.frags.data(), j, true);
    }
    for (int j = 0; j < 5; ++j) {
        const frag &a = drawn.frags[j], &b = hidden.frags[j], &o = born[std::size_t(j)];
        EXPECT_EQ(a.pos.x, b.pos.x);
        EXPECT_EQ(a.dir.x, b.dir.x);
        EXPECT_EQ(a.life, b.life);
        const bool moves = j != 2;
        EXPECT_EQ(a.pos.x, moves ? 1 + 10 * double(0.05f) : 1) << j;
        EXPECT_EQ(a.pos.y, moves ? 2 + 20 * double(0.05f) : 2) << j;
        EXPECT_FLOAT_EQ(a.life, o.life - (j == 2 ? 0.15f : 0.05f)) << j;
        if (j == 1 || j == 3) {
            const vec2 turned = retrot2(o.dir, o.spin * 0.05f);
            EXPECT_EQ(a.dir.x, turned.x) << j;
            EXPECT_EQ(a.dir.y, turned.y) << j;
        }
    }
    Surface s = dcSurface(blank);
    int lit = 0;
    for (int k = 0; k < s.width * s.height; ++k) lit += s.pixels[k] != 0;
    EXPECT_EQ(lit, 0); // noDraw draws nothing
    deleteSurfaceDC(dc);
    deleteSurfaceDC(blank);
}

} // namespace
