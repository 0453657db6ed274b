// The cost of whole play frames: a full battle beside the floor cost of a
// frame measured in the same run, and a table over ship count, frags in
// flight and resolution. A frame here is what the frame loop does in play:
// clear, star field, the play frame, copy.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "frame.h"
#include "render/render.h"
#include "support/battle.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

void playOneFrame(Frame& f, PlayWorld& w, float t) {
    f.clear();
    doStarField(f.memory, w.cam * w.zom);
    w.frame(f.memory, t);
    f.copy();
}

// A battle of `ships` ships run for `warmup` frames at the frame's size.
PlayWorld warmedBattle(Frame& f, int ships, int warmup) {
    workRes(false, f.width, f.height);
    PlayWorld w;
    makeBattle(w, ships, 11);
    for (int n = 0; n < warmup; ++n) playOneFrame(f, w, 0.02f);
    return w;
}

// Exactly `count` frags in flight: the battle's own, cut short or repeated
// elsewhere around the view, so the mix of shots, sparks, bits, flashes and
// debris stays the battle's.
void setFrags(PlayWorld& w, int count) {
    std::srand(5);
    std::vector<frag> own;
    for (frag& b : w.b) {
        if (b.life <= 0) continue;
        if (int(own.size()) < count)
            own.push_back(b);
        else
            b.life = 0;
    }
    int live = int(own.size());
    for (frag& b : w.b) {
        if (live >= count || own.empty()) break;
        if (b.life > 0) continue;
        b = own[std::size_t(live) % own.size()];
        b.pos = b.pos + vec2(std::rand() % 800 - 400, std::rand() % 600 - 300);
        ++live;
    }
}

// The full battle at 1920x1080 after 400 frames of fighting, as it is
// (frags: 0) or with the frag array filled (frags: 1500): each iteration
// plays the next 20 frames from the same moment and times them beside 20
// floors (clear plus copy).
void fullBattle(benchmark::State& state) {
    Frame f(1920, 1080);
    PlayWorld start = warmedBattle(f, shipCount, 400);
    if (state.range(0) > 0) setFrags(start, int(state.range(0)));
    double frameTime = 0, floorTime = 0;
    long frames = 0, frags = 0;
    for (auto _ : state) {
        PlayWorld w = start;
        std::srand(3);
        for (int n = 0; n < 20; ++n) {
            auto a = Clock::now();
            f.clear();
            f.copy();
            auto b = Clock::now();
            playOneFrame(f, w, 0.02f);
            auto c = Clock::now();
            floorTime += seconds(a, b);
            frameTime += seconds(b, c);
            frags += w.liveFrags();
            ++frames;
        }
    }
    state.counters["frame_ms"] = frameTime / frames * 1e3;
    state.counters["floor_ms"] = floorTime / frames * 1e3;
    state.counters["ratio"] = frameTime / floorTime;
    state.counters["frags"] = double(frags) / frames;
}
BENCHMARK(fullBattle)->ArgName("frags")->Arg(0)->Arg(fragCount)->Unit(benchmark::kMillisecond);

// One frame of a battle of range(0) ships with range(1) frags in flight at a
// width of range(2) (16:9 but for 800x600).
void playTable(benchmark::State& state) {
    int width = int(state.range(2)), height = width == 800 ? 600 : width * 9 / 16;
    Frame f(width, height);
    PlayWorld start = warmedBattle(f, int(state.range(0)), 200);
    setFrags(start, int(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        PlayWorld w = start;
        std::srand(3);
        state.ResumeTiming();
        playOneFrame(f, w, 0.02f);
    }
}
BENCHMARK(playTable)
    ->ArgNames({"ships", "frags", "width"})
    ->ArgsProduct({{0, 10, 25, 50}, {0, 500, 1500}, {800, 1920, 3840}})
    ->Unit(benchmark::kMillisecond);

} // namespace
