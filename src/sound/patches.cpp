// The game's sounds as synthesis settings, and the synthesis of one sample.
#include <algorithm>
#include <array>
#include <cmath>

#include "sound/sound_internal.h"

namespace {

constexpr double twoPi = 6.283185307179586;

// attack, decay, pitch from, to, sweep time, wave, tone, noise, cutoff, level
const patch patches[soundKindCount] = {
    {0.002f, 0.025f, 1800, 500, 0.12f, 1, 0.6f, 0.15f, 6000, 0.30f},  // shot, light gun
    {0.003f, 0.040f, 900, 260, 0.18f, 2, 0.6f, 0.30f, 4000, 0.40f},   // shot, medium gun
    {0.004f, 0.070f, 420, 90, 0.30f, 1, 0.5f, 0.50f, 1800, 0.55f},    // shot, heavy gun
    {0.001f, 0.018f, 2400, 2400, 1, 0, 0.15f, 0.85f, 7000, 0.35f},    // hit: a spark
    {0.002f, 0.090f, 160, 50, 0.5f, 2, 0.35f, 0.70f, 1500, 0.60f},    // part broken off
    {0.004f, 0.260f, 110, 30, 1.5f, 2, 0.30f, 0.80f, 500, 0.85f},     // ship destroyed
    {0.060f, 0.120f, 300, 900, 0.6f, 0, 0.80f, 0.05f, 3000, 0.40f},   // ship back at its base
    {0.002f, 0.020f, 660, 660, 1, 0, 1.00f, 0.00f, 1000, 0.25f},      // menu: move
    {0.002f, 0.045f, 880, 1320, 0.08f, 0, 1.00f, 0.00f, 1000, 0.30f}, // menu: choose
    {0.001f, 0.010f, 1500, 1500, 1, 1, 0.40f, 0.60f, 5000, 0.20f},    // key typed
    {0.020f, 0.250f, 400, 1200, 1.0f, 0, 0.90f, 0.00f, 1000, 0.45f},  // mission won
    {0.020f, 0.300f, 420, 110, 1.2f, 2, 0.80f, 0.10f, 1200, 0.45f},   // mission failed
};

} // namespace

const patch& patchOf(int kind) { return patches[kind]; }

void startVoice(voice& v, const patch& p, float left, float right) {
    v = voice{};
    v.on = true;
    v.p = &p;
    v.pitch = p.pitch0;
    v.sweepEnd = int(p.sweep * soundRate);
    v.glide = std::pow(double(p.pitch1) / p.pitch0, 1.0 / std::max(1, v.sweepEnd));
    v.fall = std::exp(-1.0 / (p.decay * soundRate));
    v.smooth = float(1 - std::exp(-twoPi * p.cutoff / soundRate));
    v.left = left;
    v.right = right;
}

float voiceSample(voice& v, noiseSource& noise, bool& ended) {
    const patch& p = *v.p;
    // The envelope: up in `attack`, then down by e every `decay` seconds.
    const int rise = int(p.attack * soundRate);
    v.env = v.n < rise ? double(v.n) / rise : v.env * v.fall;
    if (v.n == rise) v.env = 1;
    ended = v.n > rise && v.env < 0.001;
    // The pitch glides exponentially from pitch0 to pitch1, then holds.
    if (v.n < v.sweepEnd) v.pitch *= v.glide;
    v.phase += v.pitch / soundRate; // below half the rate: one wrap at most
    if (v.phase >= 1) v.phase -= 1;
    const double tone = p.wave == 0   ? sineTurn(v.phase)
                        : p.wave == 1 ? (v.phase < 0.5 ? 0.6 : -0.6)
                                      : 2 * v.phase - 1;
    // One-pole low-pass of white noise.
    v.low += v.smooth * (noise.next() - v.low);
    ++v.n;
    return float(v.env * p.level * (p.tone * tone + p.noise * 2 * v.low));
}

float sineTurn(double x) {
    constexpr int size = 4096;
    static const auto table = [] {
        std::array<float, size + 1> t{};
        for (int i = 0; i <= size; ++i) t[std::size_t(i)] = float(std::sin(twoPi * i / size));
        return t;
    }();
    const double at = x * size;
    const int i = int(at);
    const float f = float(at - i);
    return table[std::size_t(i)] + f * (table[std::size_t(i) + 1] - table[std::size_t(i)]);
}

void placeGains(double dx, double dy, float& left, float& right) {
    left = right = 0;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return; // nowhere: not heard
    // Full near the centre, fading to nothing at two half-screens.
    const double r = std::sqrt(dx * dx + dy * dy);
    const double g = r <= 0.5 ? 1 : r >= 2 ? 0 : (2 - r) / 1.5;
    // Equal-power panning by the side on screen.
    const double pan = std::fmax(-1.0, std::fmin(1.0, dx));
    const double angle = (pan + 1) * twoPi / 8;
    left = float(g * g * std::cos(angle) * 1.41421356);
    right = float(g * g * std::sin(angle) * 1.41421356);
}
