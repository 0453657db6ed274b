// The five ship designs: every part of every variant, built and unbuilt, the
// radius, the fields construction sets, and the exact sequence of rand calls.
// Variants are forced by finding seeds whose rand sequence selects them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/model.h"

namespace {

struct Want {
    int slot;
    double x, y;
    float angle;
    int kind, index, parent;
    bool always;
};

constexpr int H = kindHull, E = kindEngine, G = kindGun;
constexpr bool A = true, B = false;

const vec2 at(123.5, -77.25);

// The first seed whose rand sequence, replayed by choose(), says yes.
unsigned findSeed(const std::function<bool()>& choose) {
    for (unsigned seed = 1; seed < 200000; ++seed) {
        std::srand(seed);
        if (choose()) return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 1;
}

// The seed whose third rand call (after heading and references) picks fit.
unsigned seedForFit(int fits, int fit) {
    return findSeed([&] {
        std::rand(); // heading
        std::rand(); // references
        return std::rand() % fits == fit;
    });
}

// The value of the rand call after the first `calls` of a seed.
int randAfter(unsigned seed, int calls) {
    std::srand(seed);
    for (int i = 0; i < calls; ++i) std::rand();
    return std::rand();
}

struct Made {
    ship s;
    int nextRand; // the first rand value construction left unused
};

Made make(unsigned seed, int type, bool built, int side = sideBlue) {
    std::srand(seed);
    Made m{ship(at, type, side, built), 0};
    m.nextRand = std::rand();
    return m;
}

std::string label(const Want& w) { return "slot " + std::to_string(w.slot); }

// The parts of s are exactly want, every other slot empty.
void expectParts(const ship& s, const std::vector<Want>& want, bool built) {
    bool listed[partSlots] = {};
    for (const Want& w : want) {
        ASSERT_GE(w.slot, 0);
        ASSERT_LT(w.slot, partSlots);
        listed[w.slot] = true;
        const part& p = s.parts[w.slot];
        EXPECT_EQ(p.pos.x, w.x) << label(w);
        EXPECT_EQ(p.pos.y, w.y) << label(w);
        EXPECT_EQ(p.angle, w.angle) << label(w);
        EXPECT_EQ(p.kind, w.kind) << label(w);
        EXPECT_EQ(p.index, w.index) << label(w);
        EXPECT_EQ(p.parent, w.parent) << label(w);
        const float health = built || w.always ? getatt(w.kind, w.index, attrHealth) : 0;
        EXPECT_EQ(p.health, health) << label(w);
        EXPECT_GT(getatt(w.kind, w.index, attrHealth), 0) << label(w);
        EXPECT_EQ(p.reload, getatt(w.kind, w.index, attrReload)) << label(w);
        EXPECT_FALSE(p.lit) << label(w);
    }
    for (int k = 0; k < partSlots; ++k) {
        if (listed[k]) continue;
        const part& p = s.parts[k];
        EXPECT_EQ(p.kind, kindNone) << "slot " << k;
        EXPECT_EQ(p.health, 0) << "slot " << k;
        EXPECT_EQ(p.pos.x, 0) << "slot " << k;
        EXPECT_EQ(p.pos.y, 0) << "slot " << k;
    }
}

// Everything construction sets outside the parts, the same for all designs.
void expectCommon(const ship& s, bool built, int side = sideBlue) {
    EXPECT_EQ(s.pos.x, at.x);
    EXPECT_EQ(s.pos.y, at.y);
    EXPECT_NEAR(std::hypot(s.dir.x, s.dir.y), 1.0, 1e-12);
    EXPECT_EQ(s.vel.x, 0);
    EXPECT_EQ(s.vel.y, 0);
    EXPECT_EQ(s.spin, 0);
    EXPECT_EQ(s.energy, 0);
    EXPECT_EQ(s.energyMax, 0);
    EXPECT_EQ(s.mass, 1);
    EXPECT_TRUE(s.alive);
    EXPECT_EQ(s.respawns, 0);
    EXPECT_EQ(s.side, side);
    EXPECT_EQ(s.objective, objNone);
    EXPECT_EQ(s.mind, built ? mindNormal : mindFollowLeader);
    EXPECT_GE(s.target, 0);
    EXPECT_LT(s.target, 50);
    for (int ref : {s.probe, s.nearEnemy, s.nearShip, s.leader, s.homeBase})
        EXPECT_EQ(ref, s.target);
    EXPECT_EQ(s.waypoint.x, at.x);
    EXPECT_EQ(s.waypoint.y, at.y);
    EXPECT_EQ(s.wayA.x, at.x);
    EXPECT_EQ(s.wayA.y, at.y);
    EXPECT_EQ(s.mindTime, 2.0f);
}

// The name, and nothing but zeros after its terminator.
void expectName(const ship& s, const char* name) {
    EXPECT_STREQ(s.name, name);
    for (std::size_t i = std::strlen(name); i < sizeof s.name; ++i) EXPECT_EQ(s.name[i], 0);
}

std::vector<Want> join(std::vector<Want> a, const std::vector<Want>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct FighterCase {
    int type;
    const char* name;
    int fits;
    int fit;
    std::vector<Want> parts;
    float radius;
};

void checkFighter(const FighterCase& c) {
    SCOPED_TRACE(std::string(c.name) + " fit " + std::to_string(c.fit));
    const unsigned seed = seedForFit(c.fits, c.fit);
    for (bool built : {true, false}) {
        SCOPED_TRACE(built ? "built" : "unbuilt");
        const Made m = make(seed, c.type, built);
        expectCommon(m.s, built);
        expectParts(m.s, c.parts, built);
        expectName(m.s, c.name);
        EXPECT_EQ(m.s.orders, orderFighter);
        EXPECT_EQ(m.s.core, 1);
        EXPECT_EQ(m.s.radius, c.radius);
        EXPECT_EQ(m.s.wayB.x, at.x);
        EXPECT_EQ(m.s.wayB.y, at.y);
        EXPECT_EQ(m.nextRand, randAfter(seed, 3)); // heading, references, fit
    }
}

TEST(ShipDesign, Base) {
    const std::vector<Want> parts = {
        {0, 20, 20, 0.375f, H, 3, 16, B},   {1, -20, 20, 0.625f, H, 3, 16, B},
        {2, -20, -20, 0.875f, H, 3, 16, B}, {3, 20, -20, 0.125f, H, 3, 16, B},
        {4, 24, 0, 0, H, 4, 16, B},         {5, 0, 24, 0.25f, H, 4, 16, B},
        {6, -24, 0, 0.5f, H, 4, 16, B},     {7, 0, -24, 0.75f, H, 4, 16, B},
        {8, 38, 0, 0, H, 5, 4, B},          {9, 0, 38, 0.25f, H, 5, 5, B},
        {10, -38, 0, 0.5f, H, 5, 6, B},     {11, 0, -38, 0.75f, H, 5, 7, B},
        {12, 28, 28, 0.125f, H, 5, 0, B},   {13, -28, 28, 0.375f, H, 5, 1, B},
        {14, -28, -28, 0.625f, H, 5, 2, B}, {15, 28, -28, 0.875f, H, 5, 3, B},
        {16, 0, 0, 0.125f, H, 6, 0, A},
    };
    for (bool built : {true, false}) {
        SCOPED_TRACE(built ? "built" : "unbuilt");
        const Made m = make(77, typeBase, built, sideGreen);
        expectCommon(m.s, built, sideGreen);
        expectParts(m.s, parts, built);
        expectName(m.s, "Base");
        EXPECT_EQ(m.s.orders, orderBase);
        EXPECT_EQ(m.s.core, 16);
        EXPECT_EQ(m.s.radius, 59);
        EXPECT_EQ(m.s.wayB.x, at.x);
        EXPECT_EQ(m.s.wayB.y, at.y);
        EXPECT_EQ(m.nextRand, randAfter(77, 2)); // no variants: heading and references only
    }
}

TEST(ShipDesign, LightFighterFits) {
    const std::vector<Want> fixed = {
        {0, 2, 0, 0, H, 0, 0, A}, {1, -2, 0, 0, H, 1, 0, B}, {2, -14, 0, 0, E, 0, 0, B}};
    checkFighter(
        {typeLightFighter, "Light Fighter", 2, 0, join(fixed, {{3, 13, 0, 0, G, 0, 0, B}}), 20});
    checkFighter({typeLightFighter, "Light Fighter", 2, 1,
                  join(fixed, {{3, 11, -3, 0, G, 0, 0, B}, {4, 11, 3, 0, G, 0, 0, B}}), 18});
}

TEST(ShipDesign, MediumFighterFits) {
    const std::vector<Want> fixed = {
        {0, 2, 0, 0, H, 2, 0, A}, {1, -2, 0, 0, H, 1, 0, B}, {2, -13, 0, 0, E, 1, 0, B}};
    checkFighter({typeMediumFighter, "Medium Fighter", 3, 0,
                  join(fixed, {{3, 13, 5, 0, G, 0, 0, B}, {4, 13, -5, 0, G, 0, 0, B}}), 20});
    checkFighter(
        {typeMediumFighter, "Medium Fighter", 3, 1, join(fixed, {{3, 13, 0, 0, G, 1, 0, B}}), 21});
    checkFighter(
        {typeMediumFighter, "Medium Fighter", 3, 2,
         join(fixed,
              {{3, 7, 7, 0, G, 0, 0, B}, {4, 7, -7, 0, G, 0, 0, B}, {5, 13, 0, 0, G, 0, 0, B}}),
         20});
}

TEST(ShipDesign, HeavyFighterFits) {
    const std::vector<Want> fixed = {
        {0, 7, 0, 0, H, 2, 0, A},    {1, 3, 0, 0, H, 1, 0, B},   {2, -8, 0, 0, H, 3, 0, B},
        {3, -16, -6, 0, E, 0, 2, B}, {4, -16, 6, 0, E, 0, 2, B},
    };
    checkFighter({typeHeavyFighter, "Heavy Fighter", 4, 0,
                  join(fixed, {{5, 1, 11, 0, G, 0, 0, B},
                               {6, 1, -11, 0, G, 0, 0, B},
                               {7, -4, 13, 0, G, 0, 2, B},
                               {8, -4, -13, 0, G, 0, 2, B}}),
                  24});
    checkFighter(
        {typeHeavyFighter, "Heavy Fighter", 4, 1,
         join(fixed,
              {{5, 1, 11, 0, G, 1, 0, B}, {6, 1, -11, 0, G, 1, 0, B}, {7, 24, 0, 0, G, 0, 2, B}}),
         31});
    checkFighter(
        {typeHeavyFighter, "Heavy Fighter", 4, 2,
         join(fixed,
              {{5, 1, 11, 0, G, 0, 0, B}, {6, 1, -11, 0, G, 0, 0, B}, {7, 24, 0, 0, G, 2, 2, B}}),
         33});
    checkFighter({typeHeavyFighter, "Heavy Fighter", 4, 3,
                  join(fixed, {{5, 1, 11, 0, G, 2, 0, B}, {6, 1, -11, 0, G, 2, 0, B}}), 24});
}

TEST(ShipDesign, UnknownTypeBuildsNothing) {
    for (int type : {-1, 5, 1000}) {
        SCOPED_TRACE(type);
        const Made m = make(31, type, true);
        expectCommon(m.s, true);
        expectParts(m.s, {}, true);
        for (char c : m.s.name) EXPECT_EQ(c, 0);
        EXPECT_EQ(m.s.radius, 5); // no reach, plus the margin
        EXPECT_EQ(m.s.orders, orderFighter);
        EXPECT_EQ(m.s.core, 0);
        EXPECT_EQ(m.nextRand, randAfter(31, 2));
    }
}

TEST(ShipDesign, HeadingThenReferencesFromTheFirstRandCalls) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        const vec2 dir = rndnrm2();
        const int ref = std::rand() % 50;
        for (int type = typeBase; type <= typeTransport; ++type) {
            std::srand(seed);
            const ship s(at, type, sideRed, true);
            EXPECT_EQ(s.dir.x, dir.x) << "seed " << seed << " type " << type;
            EXPECT_EQ(s.dir.y, dir.y) << "seed " << seed << " type " << type;
            for (int r : {s.target, s.probe, s.nearEnemy, s.nearShip, s.leader, s.homeBase})
                EXPECT_EQ(r, ref) << "seed " << seed << " type " << type;
        }
    }
}

// The Transport's parts for n sections and m pairs of panels.
std::vector<Want> transportParts(int n, int m) {
    const double l = 12.0 * n;
    std::vector<Want> w = {
        {0, l + 16, 0, 0, H, 2, 4, B},    {1, -l - 8, 0, 0.5f, H, 2, 4, B},
        {2, -l - 26, 0, 0, E, 0, 1, B},   {3, l + 28, 0, 0, G, 0, 0, B},
        {4, l - 8, 0, 0, H, 4, n + 3, A},
    };
    for (int k = 1; k < n; ++k) w.push_back({4 + k, l - 24 * k - 8, 0, 0, H, 4, 3 + k, A});
    w.push_back({n + 4, -l + 8, 0, 0, H, 1, 1, B});
    for (int k = 0; k < m; ++k) {
        w.push_back({n + 5 + 2 * k, 12.0 * m - 24 * k - 8, 15, 0.25f, H, 5, 5, B});
        w.push_back({n + 6 + 2 * k, 12.0 * m - 24 * k - 8, -15, 0.75f, H, 5, 5, B});
    }
    return w;
}

TEST(TransportDesign, EveryLengthAndPanelCount) {
    for (int n = 1; n <= 4; ++n) {
        const int panelCounts = n > 1 ? n : 1; // m = rand() % n, drawn only when n > 1
        for (int m = 0; m < panelCounts; ++m) {
            SCOPED_TRACE("n " + std::to_string(n) + " m " + std::to_string(m));
            int calls = 0;
            vec2 wayB;
            const unsigned seed = findSeed([&] {
                std::rand(); // heading
                std::rand(); // references
                if (std::rand() % 4 + 1 != n) return false;
                if (n > 1 && std::rand() % n != m) return false;
                calls = n > 1 ? 4 : 3;
                wayB = rndvec2() * 8000; // the route comes after the sizes
                return true;
            });
            for (bool built : {true, false}) {
                SCOPED_TRACE(built ? "built" : "unbuilt");
                const Made t = make(seed, typeTransport, built);
                expectCommon(t.s, built);
                expectParts(t.s, transportParts(n, m), built);
                expectName(t.s, "Transport");
                EXPECT_EQ(t.s.orders, orderFreighter);
                EXPECT_EQ(t.s.core, n + 4);
                EXPECT_EQ(t.s.radius, 12 * n + 35);
                EXPECT_EQ(t.s.wayB.x, wayB.x);
                EXPECT_EQ(t.s.wayB.y, wayB.y);
                EXPECT_LT(std::hypot(t.s.wayB.x, t.s.wayB.y), 8000); // around the origin
                EXPECT_EQ(t.nextRand, randAfter(seed, calls + 2));   // + the two for the route
            }
        }
    }
}

TEST(TransportDesign, RingAndLongestShip) {
    auto withSizes = [](int n, int m) {
        const unsigned seed = findSeed([&] {
            std::rand();
            std::rand();
            return std::rand() % 4 + 1 == n && (n == 1 || std::rand() % n == m);
        });
        std::srand(seed);
        return ship(vec2(), typeTransport, sideRed, true);
    };
    // One section: it hangs on itself, no panels, radius 47.
    const ship one = withSizes(1, 0);
    EXPECT_EQ(one.parts[4].parent, 4);
    EXPECT_EQ(one.parts[5].kind, kindHull); // the core plate
    EXPECT_EQ(one.parts[5].index, 1);
    EXPECT_EQ(one.parts[5].pos.x, -4);
    EXPECT_EQ(one.parts[6].kind, kindNone);
    EXPECT_EQ(one.radius, 47);

    // Four sections, three pairs of panels: slots 0..14, the ring 4 <- 7 <- 6 <- 5 <- 4.
    const ship four = withSizes(4, 3);
    for (int k = 0; k <= 14; ++k) EXPECT_NE(four.parts[k].kind, kindNone) << k;
    EXPECT_EQ(four.parts[15].kind, kindNone);
    EXPECT_EQ(four.parts[16].kind, kindNone);
    EXPECT_EQ(four.parts[4].parent, 7);
    EXPECT_EQ(four.parts[5].parent, 4);
    EXPECT_EQ(four.parts[6].parent, 5);
    EXPECT_EQ(four.parts[7].parent, 6);
    EXPECT_EQ(four.parts[7].pos.x, -32);
    EXPECT_EQ(four.parts[9].pos.x, 28); // panels centred on the sections, x = 4
    EXPECT_EQ(four.parts[14].pos.x, -20);
    EXPECT_EQ(four.parts[14].pos.y, -15);
    EXPECT_EQ(four.parts[14].parent, 5);
    EXPECT_EQ(four.core, 8);
    EXPECT_EQ(four.radius, 83);
}

TEST(ModelSettext, CopiesUpToTheTerminatorAndAddsNone) {
    char dst[8];
    std::memset(dst, 'x', sizeof dst);
    settext(dst, "abc", 8);
    EXPECT_EQ(std::string(dst, 8), std::string("abc\0xxxx", 8)); // stops after the zero

    std::memset(dst, 'x', sizeof dst);
    settext(dst, "abcdefg", 8); // len - 1 characters: no room for the zero, none written
    EXPECT_EQ(std::string(dst, 8), "abcdefgx");

    std::memset(dst, 'x', sizeof dst);
    settext(dst, "abcdefghijk", 8);
    EXPECT_EQ(std::string(dst, 8), "abcdefgx");

    std::memset(dst, 'x', sizeof dst);
    settext(dst, "abc", 1);
    settext(dst, "abc", 0);
    settext(dst, "abc", -5);
    EXPECT_EQ(std::string(dst, 8), "xxxxxxxx");
}

} // namespace
