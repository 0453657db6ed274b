// The mixer's cost for one frame's sound (1/60 s, 800 sample frames) with
// every voice busy, the engines' hum and the repair warble going: the aim is
// below 2 % of a frame's budget at 60 frames a second (333 us).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "sound/sound.h"

namespace {

void mixBusyFrame(benchmark::State& state) {
    soundStart();
    soundSetOn(true);
    soundListener(vec2(0, 0), 1, 1920, 1080);
    std::vector<std::int16_t> out(800 * 2);
    int kind = 0;
    for (auto _ : state) {
        // Every voice taken again each frame, by every kind of sound in turn.
        for (int v = 0; v < soundVoices; ++v)
            soundAt(kind++ % soundKindCount, vec2(v * 20 - 300, (v % 5) * 40));
        soundEngine(vec2(100, 0), 8);
        soundRepair(vec2(-100, 0));
        soundFrame();
        soundMix(out.data(), 800);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 800);
}
BENCHMARK(mixBusyFrame)->Unit(benchmark::kMicrosecond);

} // namespace
