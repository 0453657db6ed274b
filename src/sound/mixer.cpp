// The mixer: the voices, the engines' hum and the repair warble, the volume
// and a limiter that keeps every peak below full scale.
#include <algorithm>
#include <cmath>
#include <vector>

#include "sound/sound_internal.h"

namespace {

struct mixer {
    bool started = false;
    bool on = true;
    float volume = 0.7f;
    voice voices[soundVoices];
    noiseSource noise;

    // Where sounds in play are heard from.
    vec2 cam;
    float zom = 1;
    int width = 800, height = 600;

    // This frame's engines and repair, summed as gains for each side.
    float engineLeft = 0, engineRight = 0, repairLeft = 0, repairRight = 0;
    // Their levels to reach, and where they are.
    float humLeft = 0, humRight = 0, warbleLeft = 0, warbleRight = 0;
    float humNowLeft = 0, humNowRight = 0, warbleNowLeft = 0, warbleNowRight = 0;
    double humPhase = 0, warblePhase = 0, wobble = 0;
    float humLow = 0;

    float peak = 0; // the limiter's envelope
    soundTally tally;
};

mixer& m() {
    static mixer state;
    return state;
}

bool audible() { return m().started && m().on; }

// The gains of a world point on the listener's screen.
void gainsAt(vec2 world, float& left, float& right) {
    const mixer& s = m();
    const vec2 d = (world + s.cam) * s.zom;
    placeGains(d.x / (s.width / 2.0), d.y / (s.height / 2.0), left, right);
}

void start(int kind, float left, float right) {
    if (left <= 0.001f && right <= 0.001f) return; // too far to hear
    mixer& s = m();
    voice* chosen = nullptr;
    for (voice& v : s.voices) {
        if (!v.on) {
            chosen = &v;
            break;
        }
        if (!chosen || v.loud < chosen->loud) chosen = &v;
    }
    startVoice(*chosen, patchOf(kind), left, right);
}

// A level moving toward its target in about 30 ms.
void approach(float& now, float target) { now += (target - now) * 0.0007f; }

} // namespace

void soundListener(vec2 cam, float zom, int width, int height) {
    mixer& s = m();
    s.cam = cam;
    s.zom = zom;
    s.width = std::max(1, width);
    s.height = std::max(1, height);
}

void soundAt(int kind, vec2 world) {
    if (kind < 0 || kind >= soundKindCount) return;
    ++m().tally.told[kind];
    if (!audible()) return;
    float left = 0, right = 0;
    gainsAt(world, left, right);
    start(kind, left, right);
}

void soundPlain(int kind) {
    if (kind < 0 || kind >= soundKindCount) return;
    ++m().tally.told[kind];
    if (audible()) start(kind, 1, 1);
}

void soundEngine(vec2 world, float power) {
    mixer& s = m();
    if (!audible() || !(power > 0)) return;
    power = std::min(power, 100.0f);
    float left = 0, right = 0;
    gainsAt(world, left, right);
    s.engineLeft += left * power;
    s.engineRight += right * power;
}

void soundRepair(vec2 world) {
    mixer& s = m();
    if (!audible()) return;
    float left = 0, right = 0;
    gainsAt(world, left, right);
    s.repairLeft += left;
    s.repairRight += right;
}

void soundFrame() {
    mixer& s = m();
    s.tally.engineFrames += s.engineLeft + s.engineRight > 0;
    s.tally.repairFrames += s.repairLeft + s.repairRight > 0;
    // Many engines or repairs are louder than one, but never without bound.
    auto saturate = [](float x) { return float(1 - std::exp(-x)); };
    s.humLeft = saturate(s.engineLeft * 0.5f);
    s.humRight = saturate(s.engineRight * 0.5f);
    s.warbleLeft = saturate(s.repairLeft);
    s.warbleRight = saturate(s.repairRight);
    s.engineLeft = s.engineRight = s.repairLeft = s.repairRight = 0;
}

void soundStart() { m().started = true; }
bool soundStarted() { return m().started; }

void soundSetOn(bool on) {
    mixer& s = m();
    s.on = on;
    if (!on)
        for (voice& v : s.voices) v.on = false;
}

bool soundOn() { return m().on; }

void soundSetVolume(int percent) { m().volume = std::clamp(percent, 0, 100) / 100.0f; }

soundTally soundCounts() { return m().tally; }

void soundMix(std::int16_t* out, int frames) {
    mixer& s = m();
    if (frames <= 0) return;
    // Voice by voice into float buffers, then the hum and warble, then the
    // volume and the limiter into the output.
    static std::vector<float> left, right;
    left.assign(std::size_t(frames), 0.0f);
    right.assign(std::size_t(frames), 0.0f);
    if (s.on) {
        for (voice& v : s.voices) {
            for (int i = 0; i < frames && v.on; ++i) {
                bool ended = false;
                const float x = voiceSample(v, s.noise, ended);
                left[std::size_t(i)] += x * v.left;
                right[std::size_t(i)] += x * v.right;
                if (ended) v.on = false;
            }
            v.loud = v.on ? float(v.env) * std::max(v.left, v.right) : 0.0f;
        }
        for (int i = 0; i < frames; ++i) {
            // The engines' hum: a low saw and its octave over rumbling noise,
            // low-passed (about 300 Hz) so it rumbles instead of buzzing.
            approach(s.humNowLeft, s.humLeft);
            approach(s.humNowRight, s.humRight);
            s.humPhase += 55.0 / soundRate;
            if (s.humPhase >= 1) s.humPhase -= 1;
            const double saw = 2 * s.humPhase - 1;
            const double octave = 2 * (2 * s.humPhase - std::floor(2 * s.humPhase)) - 1;
            s.humLow += 0.04f * (float(0.3 * (saw + 0.5 * octave)) + s.noise.next() - s.humLow);
            const float hum = 0.8f * s.humLow;
            // Repair at work: a warbling tone.
            approach(s.warbleNowLeft, s.warbleLeft);
            approach(s.warbleNowRight, s.warbleRight);
            s.wobble += 7.0 / soundRate;
            if (s.wobble >= 1) s.wobble -= 1;
            s.warblePhase += (700 + 90 * sineTurn(s.wobble)) / soundRate;
            if (s.warblePhase >= 1) s.warblePhase -= 1;
            const float warble = 0.12f * sineTurn(s.warblePhase);
            left[std::size_t(i)] += hum * s.humNowLeft + warble * s.warbleNowLeft;
            right[std::size_t(i)] += hum * s.humNowRight + warble * s.warbleNowRight;
        }
    }
    for (int i = 0; i < frames; ++i) {
        const float l = left[std::size_t(i)] * s.volume, r = right[std::size_t(i)] * s.volume;
        // The limiter: rises at once to a peak above 0.9 and lets go in about
        // 50 ms, so nothing reaches full scale.
        s.peak = std::max(std::max(std::fabs(l), std::fabs(r)), s.peak * 0.9996f);
        const float gain = s.peak > 0.9f ? 0.9f / s.peak : 1.0f;
        out[2 * i] = std::int16_t(std::lround(l * gain * 32767));
        out[2 * i + 1] = std::int16_t(std::lround(r * gain * 32767));
    }
}
