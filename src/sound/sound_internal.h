// What the sound module's files share: the synthesised sounds, a voice that
// plays one, and the mixer's state.
#pragma once

#include <cmath>
#include <cstdint>

#include "sound/sound.h"

// A synthesised sound: a tone sweeping from one pitch to another, mixed with
// low-passed noise, under an envelope that rises in `attack` seconds and then
// falls away with time constant `decay` (so the sound lasts about 7 decays).
struct patch {
    float attack;
    float decay;
    float pitch0, pitch1; // Hz at the start and after `sweep` seconds
    float sweep;
    int wave;        // 0 sine, 1 square, 2 saw
    float tone;      // share of the tone
    float noise;     // share of the noise
    float cutoff;    // Hz: the noise's low-pass
    float level;     // loudness, 0..1
};

const patch& patchOf(int kind);

// One sound being played, with its place's gains for the two sides.
struct voice {
    bool on = false;
    const patch* p = nullptr;
    int n = 0;           // samples played
    double env = 0;      // the envelope now
    double fall = 1;     // its factor per sample once risen
    double pitch = 0;    // Hz now
    double glide = 1;    // its factor per sample while sweeping
    int sweepEnd = 0;    // the sample where the sweep ends
    double phase = 0;    // the tone's, in turns
    float low = 0;       // the noise filter's state
    float smooth = 0;    // the filter's factor
    float left = 0, right = 0;
    float loud = 0;      // the envelope times the gains, as last mixed: who gives way
};

// Starts a voice on a patch with the gains of its place.
void startVoice(voice& v, const patch& p, float left, float right);

// The random numbers of the noise: our own, never the game's rand.
struct noiseSource {
    std::uint32_t state = 0x9e3779b9u;
    float next() { // -1..1
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(state) / 2147483648.0f - 1.0f;
    }
};

// The next sample of a voice (before its gains), and whether it has ended.
float voiceSample(voice& v, noiseSource& noise, bool& ended);

// sin(2 pi x) for x in 0..1, from a table: the mixer's many tones cost little.
float sineTurn(double x);

// Gains for a place on screen: dx, dy in half-screens from the centre.
void placeGains(double dx, double dy, float& left, float& right);
