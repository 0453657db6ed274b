// The five ship designs (Base, three fighters, Transport) and settext, which
// writes a design's name.
#include <cstdlib>
#include <span>

#include "model/model.h"

namespace {

// One part of a design: the slot it goes in and how it is built.
struct Slot {
    int slot;
    double x, y; // position in the ship's frame
    float angle; // in turns
    int kind;
    int index;
    int parent;
    bool always; // built even when the ship is not (the part a rebuild starts from)
};

constexpr int H = kindHull, E = kindEngine, G = kindGun;
constexpr bool A = true, B = false;

// A fixed design: fixed slots, then one fit drawn with rand() % (number of fits).
struct Design {
    const char* name;
    int orders;
    int core;
    std::span<const Slot> fixed;
    std::span<const std::span<const Slot>> fits; // empty: no variants, no rand call
};

constexpr Slot baseParts[] = {
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

constexpr Slot lightParts[] = {
    {0, 2, 0, 0, H, 0, 0, A},
    {1, -2, 0, 0, H, 1, 0, B},
    {2, -14, 0, 0, E, 0, 0, B},
};
constexpr Slot lightFit0[] = {{3, 13, 0, 0, G, 0, 0, B}};
constexpr Slot lightFit1[] = {{3, 11, -3, 0, G, 0, 0, B}, {4, 11, 3, 0, G, 0, 0, B}};
constexpr std::span<const Slot> lightFits[] = {lightFit0, lightFit1};

constexpr Slot mediumParts[] = {
    {0, 2, 0, 0, H, 2, 0, A},
    {1, -2, 0, 0, H, 1, 0, B},
    {2, -13, 0, 0, E, 1, 0, B},
};
constexpr Slot mediumFit0[] = {{3, 13, 5, 0, G, 0, 0, B}, {4, 13, -5, 0, G, 0, 0, B}};
constexpr Slot mediumFit1[] = {{3, 13, 0, 0, G, 1, 0, B}};
constexpr Slot mediumFit2[] = {
    {3, 7, 7, 0, G, 0, 0, B}, {4, 7, -7, 0, G, 0, 0, B}, {5, 13, 0, 0, G, 0, 0, B}};
constexpr std::span<const Slot> mediumFits[] = {mediumFit0, mediumFit1, mediumFit2};

constexpr Slot heavyParts[] = {
    {0, 7, 0, 0, H, 2, 0, A},    {1, 3, 0, 0, H, 1, 0, B},   {2, -8, 0, 0, H, 3, 0, B},
    {3, -16, -6, 0, E, 0, 2, B}, {4, -16, 6, 0, E, 0, 2, B},
};
constexpr Slot heavyFit0[] = {
    {5, 1, 11, 0, G, 0, 0, B},
    {6, 1, -11, 0, G, 0, 0, B},
    {7, -4, 13, 0, G, 0, 2, B},
    {8, -4, -13, 0, G, 0, 2, B},
};
constexpr Slot heavyFit1[] = {
    {5, 1, 11, 0, G, 1, 0, B}, {6, 1, -11, 0, G, 1, 0, B}, {7, 24, 0, 0, G, 0, 2, B}};
constexpr Slot heavyFit2[] = {
    {5, 1, 11, 0, G, 0, 0, B}, {6, 1, -11, 0, G, 0, 0, B}, {7, 24, 0, 0, G, 2, 2, B}};
constexpr Slot heavyFit3[] = {{5, 1, 11, 0, G, 2, 0, B}, {6, 1, -11, 0, G, 2, 0, B}};
constexpr std::span<const Slot> heavyFits[] = {heavyFit0, heavyFit1, heavyFit2, heavyFit3};

// Indexed by type, typeBase .. typeHeavyFighter.
constexpr Design designs[] = {
    {"Base", orderBase, 16, baseParts, {}},
    {"Light Fighter", orderFighter, 1, lightParts, lightFits},
    {"Medium Fighter", orderFighter, 1, mediumParts, mediumFits},
    {"Heavy Fighter", orderFighter, 1, heavyParts, heavyFits},
};

void place(ship& s, int slot, vec2 pos, float angle, int kind, int index, int parent, bool built) {
    s.parts[slot] = part(pos, angle, kind, index, parent, built);
}

void place(ship& s, std::span<const Slot> rows, bool built) {
    for (const Slot& r : rows)
        place(s, r.slot, vec2(r.x, r.y), r.angle, r.kind, r.index, r.parent, built || r.always);
}

void build(ship& s, const Design& d, bool built) {
    place(s, d.fixed, built);
    if (!d.fits.empty()) place(s, d.fits[std::rand() % int(d.fits.size())], built);
    settext(s.name, d.name, 20);
    s.core = d.core;
    s.orders = d.orders;
}

// n middle sections in a ring, bow, stern, engine and gun around them, a core
// plate behind, and m pairs of side panels around the second section.
void buildTransport(ship& s, bool built) {
    // The rand calls come in this order: n, then m (only when n > 1), then the
    // route. The sizes come first because every position below depends on them;
    // the route comes last because a ship gets its route after its parts and its
    // name. The order is part of the game: the same rand state must give the same
    // ship and the same route, so moving a draw changes every Transport.
    const int n = std::rand() % 4 + 1;
    const int m = n > 1 ? std::rand() % n : 0;
    const double l = 12.0 * n;

    place(s, 0, vec2(l + 16, 0), 0, H, 2, 4, built);    // bow
    place(s, 1, vec2(-l - 8, 0), 0.5f, H, 2, 4, built); // stern
    place(s, 2, vec2(-l - 26, 0), 0, E, 0, 1, built);   // engine
    place(s, 3, vec2(l + 28, 0), 0, G, 0, 0, built);    // gun
    // The sections: the first hangs on the last, each other on the one before.
    place(s, 4, vec2(l - 8, 0), 0, H, 4, n + 3, true);
    for (int k = 1; k < n; ++k) place(s, 4 + k, vec2(l - 24 * k - 8, 0), 0, H, 4, 3 + k, true);
    place(s, n + 4, vec2(-l + 8, 0), 0, H, 1, 1, built); // core plate
    // The panels, centred on x = 4 like the sections, all on the second section.
    for (int k = 0; k < m; ++k) {
        const double x = 12.0 * m - 24 * k - 8;
        place(s, n + 5 + 2 * k, vec2(x, 15), 0.25f, H, 5, 5, built);
        place(s, n + 6 + 2 * k, vec2(x, -15), 0.75f, H, 5, 5, built);
    }
    settext(s.name, "Transport", 20);
    s.core = n + 4;
    s.orders = orderFreighter;
    s.wayA = s.pos;
    s.wayB = rndvec2() * 8000; // around the world's origin, not the ship
}

} // namespace

void settext(char* dst, const char* src, int len) {
    if (!dst || !src) return;
    for (int i = 0; i < len - 1; ++i) {
        dst[i] = src[i];
        if (src[i] == 0) break;
    }
}

ship::ship(vec2 at, int type, int onSide, bool built) {
    // Every field not set here keeps its zero from the member initializers, and
    // every part slot is already empty.
    pos = at;
    dir = rndnrm2();
    mass = 1;
    alive = true;
    side = onSide;
    mind = built ? mindNormal : mindFollowLeader;
    // Until the first targeting step corrects them, all six references hold
    // one random ship.
    const int r = std::rand() % 50;
    target = probe = nearEnemy = nearShip = leader = homeBase = r;
    waypoint = wayA = wayB = at;
    mindTime = 2.0f;

    if (type >= typeBase && type <= typeHeavyFighter)
        build(*this, designs[type], built);
    else if (type == typeTransport)
        buildTransport(*this, built);
    // Any other type is a ship without parts and without a name.

    // Only the forward reach along the axis counts, of built and unbuilt parts.
    for (const part& p : parts) {
        if (p.kind == kindNone) continue;
        const double reach = p.pos.x + getatt(p.kind, p.index, attrSize);
        if (reach > radius) radius = float(reach);
    }
    radius += 5;
}
