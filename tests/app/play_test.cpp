// The play frame on a mission held in memory: when a mission is won or lost,
// the player's ship lost and brought back, the pilot's keys with repair and
// autopilot, the radar's reach, and which ships are drawn how. Keys come from
// the headless backend; every test runs in a process of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "ports/headless/headless.h"
#include "platform/system.h"
#include "support/battle.h"
#include "support/golden.h"
#include "support/grid.h"

namespace {

constexpr int W = 1920, H = 1080;
constexpr float t = 0.02f;

// Exactly these keys held for the next frame.
void hold(std::initializer_list<int> keys) {
    for (int vk : {int('C'), int('X'), int('R'), int('A'), VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT,
                   VK_SHIFT, VK_TAB, VK_NUMPAD0, VK_ADD, VK_SUBTRACT, VK_BACK})
        headlessSetKey(vk, false);
    for (int vk : keys) headlessSetKey(vk, true);
    key(0);
}

// A world of a red Base in slot 0 and the given ships; the player watches
// slot `you`. Nothing is marked for the objectives yet.
struct Play : PlayWorld {
    Canvas cv{W, H};
    Play() {
        workRes(false, W, H);
        hold({});
        std::srand(1);
        a[0] = ship(vec2(0, 0), typeBase, sideRed, true);
        a[0].homeBase = 0;
        zom = 1;
    }
    ship& put(int i, int type, int side, vec2 at) {
        a[i] = ship(at, type, side, true);
        a[i].dir = vec2(1, 0);
        a[i].target = a[i].leader = a[i].homeBase = a[i].probe = a[i].nearEnemy = a[i].nearShip = i;
        return a[i];
    }
    void step() {
        cv.clear();
        frame(cv.dc, t);
    }
    // Whether ordinary text lies in the status lines' band at the top left.
    bool statusText(int line) {
        int y = 10 + 14 * line; // size 2: lines 14 pixels apart
        return cv.count(0xffaf64, 10, y, 400, y + 12) > 0;
    }
};

} // namespace

TEST(PlayResult, ObjectivesDecideOnTheFirstFrame) {
    Play none; // nothing to defend: lost at once
    none.step();
    EXPECT_EQ(none.mode, modeLost);

    Play guard; // something to defend and nothing to destroy: won at once
    guard.a[0].objective = objDefend;
    guard.step();
    EXPECT_EQ(guard.mode, modeWon);

    Play both;
    both.a[0].objective = objDefend;
    both.put(5, typeLightFighter, sideGreen, vec2(2000, 0)).objective = objDestroy;
    both.step();
    EXPECT_EQ(both.mode, modePlay);
}

TEST(PlayResult, LastDefendedShipLostDespiteItsRespawns) {
    Play p;
    p.you = 5;
    p.put(5, typeLightFighter, sideRed, vec2(300, 0));
    ship& guarded = p.put(3, typeMediumFighter, sideRed, vec2(-300, 0));
    guarded.objective = objDefend;
    guarded.respawns = 4;
    guarded.homeBase = 0;
    p.put(7, typeLightFighter, sideGreen, vec2(0, 2500)).objective = objDestroy;
    p.step();
    ASSERT_EQ(p.mode, modePlay);
    guarded.alive = false; // destroyed during the last frame
    p.step();
    EXPECT_TRUE(guarded.alive); // brought back at its base in this frame...
    EXPECT_EQ(guarded.respawns, 3);
    EXPECT_EQ(p.mode, modeLost); // ...yet it was not alive when the loop reached it
}

TEST(PlayRespawn, PlayersShipComesBackAtItsBaseRepairing) {
    Play p;
    p.aliv = true;
    p.you = 4;
    p.a[0].pos = vec2(500, 300);
    p.a[0].objective = objDefend;
    ship& own = p.put(4, typeHeavyFighter, sideRed, vec2(-900, 0));
    own.homeBase = 0;
    own.respawns = 2;
    own.alive = false;
    p.cam = vec2(7, 7);
    p.step();
    EXPECT_EQ(p.cam.x, 7); // the view stays still in the frame that finds it dead
    EXPECT_EQ(p.cam.y, 7);
    EXPECT_TRUE(own.alive);
    EXPECT_EQ(own.pos.x, 500);
    EXPECT_EQ(own.pos.y, 300);
    EXPECT_LT(std::hypot(own.vel.x, own.vel.y), 1);
    EXPECT_EQ(own.respawns, 1);
    EXPECT_TRUE(p.autr);
    // Parts that carry others are back at 0.1 (slots 0 and 2 of a heavy
    // fighter), the others keep their health.
    EXPECT_FLOAT_EQ(own.parts[0].health, 0.1f);
    EXPECT_FLOAT_EQ(own.parts[2].health, 0.1f);
    EXPECT_FLOAT_EQ(own.parts[1].health, 0.2f);

    // The next frame repairs and says so, and repair goes on while damaged.
    p.step();
    EXPECT_TRUE(p.statusText(0));
    EXPECT_TRUE(p.autr);

    // Without end at 255.
    own.respawns = respawnUnlimited;
    own.alive = false;
    p.step();
    EXPECT_TRUE(own.alive);
    EXPECT_EQ(own.respawns, respawnUnlimited);
}

TEST(PlayRespawn, PlayersShipGoneForGoodEndsTheFrameAtOnce) {
    for (bool pilot : {true, false}) {
        for (bool baseGone : {false, true}) {
            Play p;
            p.aliv = pilot;
            p.you = 4;
            p.a[0].objective = objDefend;
            ship& own = p.put(4, typeLightFighter, sideRed, vec2(100, 0));
            own.homeBase = 0;
            own.respawns = baseGone ? 3 : 0;
            own.alive = false;
            p.a[0].alive = !baseGone;
            ship& other = p.put(6, typeLightFighter, sideGreen, vec2(200, 0));
            other.vel = vec2(50, 0);
            p.b[10] = frag(vec2(0, 0), vec2(100, 0), fragSpark);
            p.step();
            EXPECT_EQ(p.mode, modeLost);
            EXPECT_EQ(other.pos.x, 200); // nothing stepped
            EXPECT_EQ(p.b[10].pos.x, 0);
            EXPECT_EQ(p.cv.count(kBackground, 0, 0, W, H), W * H); // nothing drawn
        }
    }
}

TEST(PlayPilot, CTakesControlWithAutopilotUntilSteering) {
    Play p;
    p.a[0].objective = objDefend;
    p.put(2, typeLightFighter, sideRed, vec2(400, 0));
    p.a[2].leader = 0;
    p.you = 2;
    p.step();
    EXPECT_TRUE(p.statusText(0)); // "Spectator mode - press C to take control"
    hold({'C'});
    p.step();
    EXPECT_TRUE(p.aliv);
    EXPECT_TRUE(p.autp);
    EXPECT_FALSE(p.autr);
    hold({});
    p.step();
    EXPECT_TRUE(p.autp);
    EXPECT_TRUE(p.statusText(0)); // "Autopilot on" (the ship is whole: no repair line)
    EXPECT_FALSE(p.statusText(1));
    for (int steer : {VK_UP, VK_LEFT, VK_RIGHT, VK_SHIFT}) {
        p.autp = true;
        hold({steer});
        p.step();
        EXPECT_FALSE(p.autp) << steer;
    }
    hold({});
    p.step();
    EXPECT_FALSE(p.statusText(0));
    // C and X together leave a spectator.
    hold({'C', 'X'});
    p.step();
    EXPECT_FALSE(p.aliv);
}

TEST(PlayPilot, DownBrakesWithoutCancellingRepairOrAutopilot) {
    Play p;
    p.a[0].objective = objDefend;
    ship& own = p.put(2, typeMediumFighter, sideRed, vec2(400, 0));
    own.parts[0].health = 1; // of 2
    own.vel = vec2(200, 0);
    own.energy = 100;
    p.you = 2;
    p.aliv = true;
    p.autr = p.autp = true;
    hold({VK_DOWN});
    p.step();
    EXPECT_TRUE(p.autr);
    EXPECT_TRUE(p.autp);
    EXPECT_TRUE(p.statusText(0)); // "Repairing"
    EXPECT_TRUE(p.statusText(1)); // "Autopilot on"

    // Braking alone slows the ship (a repairing ship has no power to).
    own.parts[0].health = 2;
    own.energy = 100;
    own.dir = vec2(-1, 0); // already facing against the motion
    p.autr = p.autp = false;
    for (int n = 0; n < 30; ++n) p.step();
    EXPECT_LT(std::hypot(own.vel.x, own.vel.y), 150);
}

TEST(PlayView, RadarMarksShipsWithin3000OfThePlayersShip) {
    Play p;
    p.a[0].objective = objDefend;
    p.a[0].dir = vec2(1, 0);
    p.put(1, typeLightFighter, sideGreen, vec2(2990, 0));
    p.put(2, typeLightFighter, sideGreen, vec2(0, 3010));
    hold({VK_TAB});
    p.step();
    const int cx = W / 2, cy = H / 2;
    const double R = H * 0.4;
    const COLORREF enemy = 0x0000e1;
    int nearX = int(cx + 2990 / 3000.0 * R);
    EXPECT_GT(p.cv.count(enemy, nearX - 4, cy - 4, nearX + 5, cy + 5), 0);
    EXPECT_EQ(p.cv.count(enemy, cx - 10, int(cy + R) - 10, cx + 10, int(cy + R) + 10), 0);
    EXPECT_EQ(p.cv.count(enemy, 0, 0, W, H),
              p.cv.count(enemy, nearX - 4, cy - 4, nearX + 5, cy + 5));
    // The player's own mark at the centre, in the friendly colour.
    EXPECT_GT(p.cv.count(0x00c800, cx - 8, cy - 8, cx + 9, cy + 9), 0);
}

// Under the colour-blind palette the radar marks each ship in its own side's
// colour, the player's side too (here Red), in place of friendly green and
// hostile red.
TEST(PlayView, ColourBlindRadarMarksEachShipInItsSidesColour) {
    Play p;
    p.a[0].objective = objDefend;
    p.put(1, typeLightFighter, sideGreen, vec2(1500, 0));
    p.put(2, typeLightFighter, sideBlue, vec2(0, 1500));
    setSidePalette(paletteColourBlind);
    hold({VK_TAB});
    p.step();
    const COLORREF own = sideColour(sideRed, 200), green = sideColour(sideGreen, 225),
                   blue = sideColour(sideBlue, 225);
    setSidePalette(paletteGame);
    const int cx = W / 2, cy = H / 2, d = int(1500 / 3000.0 * H * 0.4);
    EXPECT_GT(p.cv.count(own, cx - 8, cy - 8, cx + 9, cy + 9), 0);
    EXPECT_GT(p.cv.count(green, cx + d - 4, cy - 4, cx + d + 5, cy + 5), 0);
    EXPECT_GT(p.cv.count(blue, cx - 4, cy + d - 4, cx + 5, cy + d + 5), 0);
    EXPECT_EQ(p.cv.count(0x00c800) + p.cv.count(0x0000e1), 0); // the game palette's marks
}

TEST(PlayView, SymbolsAtZoomPointTwoAndNothingBeyond800Pixels) {
    const COLORREF greyFill = 0xc8c8c8, symbolFill = 0x006400;
    auto drawnAt = [](float zoom, double dx, COLORREF colour) {
        Play p;
        p.a[0].objective = objDefend;
        p.put(1, typeHeavyFighter, sideGreen, vec2(dx / zoom, 0));
        p.zom = zoom;
        p.step();
        int x = int(W / 2 + dx);
        return p.cv.count(colour, x - 30, H / 2 - 30, x + 30, H / 2 + 30) > 0;
    };
    EXPECT_TRUE(drawnAt(0.2f, 300, symbolFill));
    EXPECT_FALSE(drawnAt(0.2f, 300, greyFill));
    EXPECT_TRUE(drawnAt(0.21f, 300, greyFill));
    EXPECT_FALSE(drawnAt(0.21f, 300, symbolFill));
    // The visibility square reaches 800 pixels from the centre whatever the width.
    EXPECT_TRUE(drawnAt(1, 790, greyFill));
    EXPECT_FALSE(drawnAt(1, 900, greyFill));
}

// A battle of 50 ships watched from the red Base after 300 frames, and the
// radar one frame later: the scene, markers, panels, shots and debris.
TEST(GoldenPlay, BattleSceneAndRadar) {
    workRes(false, 1024, 768);
    hold({});
    PlayWorld w;
    makeBattle(w, shipCount, 7);
    Canvas cv(1024, 768);
    for (int n = 0; n < 300; ++n) {
        cv.clear();
        w.frame(cv.dc, t);
    }
    EXPECT_GT(w.liveFrags(), 50);
    EXPECT_TRUE(matchesGolden(dcSurface(cv.dc), "play_scene"));
    hold({VK_TAB});
    cv.clear();
    w.frame(cv.dc, t);
    EXPECT_TRUE(matchesGolden(dcSurface(cv.dc), "play_radar"));
}
