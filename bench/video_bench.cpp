// The cost of filming a game: kvxtool video of a 20 s fight recorded at
// 1280x720 (the pilot trace's input), to MP4. Counters: video frames made a
// second, and that against real time (60 a second).
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "support/process.h"

namespace {

void BM_VideoMp4At1280x720(benchmark::State& state) {
    ScratchDir dir("korvane-video-bench");
    fs::copy_file(fs::path(KORVANE_CAMPAIGN_DIR) / "kvxmap.AAAA.kvx", dir / "kvxmap.AAAA.kvx");
    const std::string script =
        (fs::path(KORVANE_SOURCE_DIR) / "tests/traces/pilot.script").string();
    const int frames = 1200;
    const ProcessRun rec = headless(dir.path(), {"--frames", std::to_string(frames), "--size",
                                                 "1280x720", "--dt", "0.0166667", "--seed", "3",
                                                 "--script", script, "--record", "game.kvr"});
    if (rec.status != 0) {
        state.SkipWithError(("cannot record: " + rec.err).c_str());
        return;
    }
    double seconds = 0;
    long made = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const ProcessRun r =
            runIn(dir.path(), {KORVANE_KVXTOOL, "video", "game.kvr", "-o", "game.mp4"});
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (r.status != 0) {
            state.SkipWithError(("kvxtool video: " + r.err).c_str());
            return;
        }
        made += frames; // about one video frame a game frame at 1/60 s each
    }
    state.counters["fps"] = double(made) / seconds;
    state.counters["x_real_time"] = double(made) / seconds / 60;
}
BENCHMARK(BM_VideoMp4At1280x720)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
