// A long AI battle: 50 ships on three sides respawning without end, played
// frame by frame with drawing, and checked after every frame for values that
// went bad, references out of range and resources that pile up. CI plays
// five minutes of game time; KORVANE_SOAK_MINUTES=30 (or more) plays longer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gdi/surface.h"
#include "support/battle.h"
#include "support/grid.h"

namespace {

bool finite(vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); }
bool ref(int r) { return r >= 0 && r < shipCount; }

// What is wrong with ship i, or "" when nothing is.
std::string fault(const ship& s) {
    if (!ref(s.target) || !ref(s.probe) || !ref(s.nearEnemy) || !ref(s.nearShip) ||
        !ref(s.leader) || !ref(s.homeBase))
        return "reference out of range";
    if (s.side < 0 || s.side > 2 || s.core < 0 || s.core >= partSlots) return "side or core";
    if (s.alive && !(finite(s.pos) && finite(s.vel) && finite(s.dir) && std::isfinite(s.spin) &&
                     std::isfinite(s.energy)))
        return "motion or energy not finite";
    if (!(finite(s.waypoint) && finite(s.wayA) && finite(s.wayB))) return "route not finite";
    for (const part& p : s.parts) {
        if (p.kind == kindNone) continue;
        float full = getatt(p.kind, p.index, attrHealth);
        if (p.kind < kindHull || p.kind > kindGun || full <= 0) return "part of no type";
        if (p.parent < 0 || p.parent >= partSlots) return "parent out of range";
        // Hits may leave a destroyed part below zero; repair never beyond whole.
        if (!(std::isfinite(p.health) && p.health <= full)) return "health out of range";
        if (!finite(p.pos) || !std::isfinite(p.angle) || !std::isfinite(p.reload))
            return "part not finite";
    }
    return "";
}

} // namespace

TEST(PlaySoak, FiftyShipsRespawningWithoutEnd) {
    const char* env = std::getenv("KORVANE_SOAK_MINUTES");
    const double minutes = env ? std::atof(env) : 5;
    const float t = 0.04f;
    const long frames = long(minutes * 60 / t);

    workRes(false, 800, 600);
    Canvas cv(800, 600);
    PlayWorld w;
    makeBattle(w, shipCount, 21);
    int objects = -1;
    long respawns = 0, lowest = shipCount;
    for (long n = 0; n < frames; ++n) {
        bool wasAlive[shipCount];
        for (int i = 0; i < shipCount; ++i) wasAlive[i] = w.a[i].alive;
        cv.clear();
        w.frame(cv.dc, t);
        // As the start screen would, watch another ship of the side when the
        // watched one is gone for good.
        for (int k = 0; k < shipCount && w.mode == modeLost && !w.a[w.you].alive; ++k)
            w.you = (w.you + 1) % shipCount, w.sid = w.a[w.you].side;
        w.mode = modePlay;

        long live = 0;
        for (int i = 0; i < shipCount; ++i) {
            std::string f = fault(w.a[i]);
            ASSERT_EQ(f, "") << "ship " << i << " at frame " << n;
            respawns += !wasAlive[i] && w.a[i].alive;
            live += w.a[i].alive;
        }
        for (const frag& b : w.b)
            ASSERT_TRUE(std::isfinite(b.life) && (b.life <= 0 || finite(b.pos))) << "frame " << n;
        if (n == 0) objects = gdiLiveObjects();
        ASSERT_EQ(gdiLiveObjects(), objects) << "drawing objects pile up by frame " << n;
        if (n > frames / 2) lowest = std::min(lowest, live);
    }
    std::printf("%g minutes of game time, %ld frames: %ld ships came back; at least %ld alive "
                "in the second half\n",
                minutes, frames, respawns, lowest);
    // The battle went on: ships were lost and came back, and many still fly.
    EXPECT_GT(respawns, 20);
    EXPECT_GT(lowest, 10);
}
