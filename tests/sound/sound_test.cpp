// The sound the game makes: in a battle, the sounds told of each kind match
// what happened, as read from the world itself; a sound is placed by where it
// is on screen; and the mixer, however busy, stays below full scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "sound/sound.h"
#include "support/battle.h"
#include "support/grid.h"

namespace {

// What a frame made, read from the world before and after it: a slot holds a
// new frag when its type changed or its life grew.
struct Happened {
    int shots[3] = {};
    int sparks = 0, debris = 0, destroyed = 0, respawned = 0;
};

void compare(const PlayWorld& before, const PlayWorld& after, Happened& h) {
    for (int j = 0; j < fragCount; ++j) {
        const frag& was = before.b[j];
        const frag& now = after.b[j];
        if (now.life <= 0 || (now.type == was.type && !(now.life > was.life))) continue;
        if (now.type >= 0 && now.type <= 2) ++h.shots[now.type];
        if (now.type == fragSpark) ++h.sparks;
        if (now.type == fragDebris) ++h.debris;
    }
    for (int i = 0; i < shipCount; ++i) {
        h.destroyed += before.a[i].alive && !after.a[i].alive;
        h.respawned += !before.a[i].alive && after.a[i].alive;
    }
}

// The sound of `frames` sample frames, as left and right peaks.
void peaks(int frames, double& left, double& right) {
    std::vector<std::int16_t> out(std::size_t(frames) * 2);
    soundMix(out.data(), frames);
    left = right = 0;
    for (int i = 0; i < frames; ++i) {
        left = std::max(left, std::fabs(double(out[2 * i])));
        right = std::max(right, std::fabs(double(out[2 * i + 1])));
    }
}

} // namespace

TEST(SoundEvents, ABattleIsHeardShotForShotHitForHit) {
    Canvas canvas(800, 600);
    workRes(false, 800, 600);
    PlayWorld w;
    makeBattle(w, 30, 5);
    const soundTally start = soundCounts();
    Happened h;
    for (int f = 0; f < 1500; ++f) {
        const PlayWorld before = w;
        w.frame(canvas.dc, 1.0f / 60);
        compare(before, w, h);
    }
    const soundTally end = soundCounts();
    auto told = [&](int kind) { return end.told[kind] - start.told[kind]; };
    for (int g = 0; g < 3; ++g) EXPECT_EQ(told(soundShot0 + g), h.shots[g]) << "gun row " << g;
    // Every hit and every part lost throws four sparks; a part lost leaves debris.
    EXPECT_EQ(told(soundPartLost), h.debris);
    EXPECT_EQ(4 * (told(soundHit) + told(soundPartLost)), h.sparks);
    EXPECT_EQ(told(soundDestroyed), h.destroyed);
    EXPECT_EQ(told(soundRespawn), h.respawned);
    // A fight worth hearing: every kind came up.
    EXPECT_GT(told(soundShot0) + told(soundShot1) + told(soundShot2), 100);
    EXPECT_GT(told(soundHit), 10);
    EXPECT_GT(h.debris, 0);
    EXPECT_GT(h.destroyed, 0);
}

TEST(SoundMixer, PlacedByTheScreenAndNeverAtFullScale) {
    soundStart();
    soundSetOn(true);
    soundSetVolume(100);
    // An 800 x 600 view of the world from (-1000, 0) at zoom 0.5: the screen
    // spans x -1800..-200 in the world.
    soundListener(vec2(1000, 0), 0.5f, 800, 600);
    double left = 0, right = 0;
    // Each sound alone: off and on again silences what came before.
    auto alone = [] {
        soundSetOn(false);
        soundSetOn(true);
    };
    alone();

    soundAt(soundShot2, vec2(4000, 0)); // far off to the right: not heard
    peaks(4800, left, right);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 0);

    alone();
    soundAt(soundShot2, vec2(-1790, 0)); // at the left edge
    peaks(4800, left, right);
    EXPECT_GT(left, 4 * right);
    EXPECT_GT(left, 1000);

    alone();
    soundAt(soundShot2, vec2(-1000, 0)); // at the centre: both sides alike
    peaks(4800, left, right);
    EXPECT_NEAR(left, right, left * 0.01);

    // Every voice busy with the loudest sound, and more told than there are
    // voices: the limiter keeps the peaks below full scale.
    for (int k = 0; k < 3 * soundVoices; ++k) soundPlain(soundDestroyed);
    peaks(48000, left, right);
    EXPECT_LT(std::max(left, right), 32767 * 0.95);
    EXPECT_GT(std::max(left, right), 32767 * 0.5);

    // Off is silence, at once.
    soundPlain(soundDestroyed);
    soundSetOn(false);
    peaks(4800, left, right);
    EXPECT_EQ(left + right, 0);
    soundSetOn(true);
}
