// Drawing costs at 1920x1080: the floor of one frame (clear plus copy) and the
// primitives a frame is made of, per thousand, as the game calls them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

#include "draw/draw.h"
#include "frame.h"

namespace {

constexpr int width = 1920, height = 1080;

// Scattered screen points, the same on every run.
vec2 spot(int i) { return vec2(40 + (i * 7919) % (width - 80), 40 + (i * 104729) % (height - 80)); }

void frameFloor(benchmark::State& state) {
    Frame f(width, height);
    for (auto _ : state) {
        f.clear();
        f.copy();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(frameFloor)->Unit(benchmark::kMillisecond);

// A hull plate: a small quadrilateral turned to a heading, own line and fill.
void partPolygons(benchmark::State& state) {
    Frame f(width, height);
    const vec2 plate[] = {vec2(-6, -5), vec2(6, -5), vec2(7, 5), vec2(-7, 5)};
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i)
            drawPoly(f.memory, spot(i), vec2(i * 0.37), plate, 4, 0x808080, 0x0000c0);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(partPolygons)->Unit(benchmark::kMicrosecond);

void sparkCircles(benchmark::State& state) {
    Frame f(width, height);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) drawCirc(f.memory, spot(i), 1.5, 0x64afff, 0x64afff);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(sparkCircles)->Unit(benchmark::kMicrosecond);

void thinLines(benchmark::State& state) {
    Frame f(width, height);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            vec2 a = spot(i);
            drawLine(f.memory, a, a + vec2(i * 0.61) * 20, 0xffffff);
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(thinLines)->Unit(benchmark::kMicrosecond);

// Text is strokes of a few pixels with the current pen, continuing a path.
void textStrokes(benchmark::State& state) {
    Frame f(width, height);
    for (auto _ : state) {
        setLine(f.memory, 0, 1, 0xffaf64);
        for (int i = 0; i < 1000; ++i) {
            vec2 a = vec2(10 + (i % 200) * 9, 10 + (i / 200) * 16);
            drawLine(f.memory, a, a + vec2(4, 0));
            drawLine(f.memory, a + vec2(4, 8));
        }
        endLine(f.memory);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(textStrokes)->Unit(benchmark::kMicrosecond);

// Shapes wholly off the bitmap, as ships far away are: they should cost next to nothing.
void farShapes(benchmark::State& state) {
    Frame f(width, height);
    const vec2 plate[] = {vec2(-6e5, -5e5), vec2(6e5, -5e5), vec2(7e5, 5e5), vec2(-7e5, 5e5)};
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            vec2 far = vec2(3e7, -2e7) + spot(i);
            drawPoly(f.memory, far, vec2(i * 0.37), plate, 4, 0x808080, 0x0000c0);
            drawCirc(f.memory, far, 4e5, 0x64afff, 0x64afff);
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(farShapes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
