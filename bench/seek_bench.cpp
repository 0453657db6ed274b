// Seeking in a ten-minute game: a spectator's game of 36000 frames recorded
// at 1280x720 is watched in the viewer (in this process, through the headless
// port) and sought by clicks on the timeline. Counters, in seconds of this
// machine's time from the click to the frame sought being shown: the slowest
// and the mean of 24 seeks once the viewer has run the whole game ahead, and
// a seek to the end at once (before it has).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "app/app.h"
#include "app/session.h"
#include "app/viewer.h"
#include "platform/keys.h"
#include "ports/headless/headless.h"
#include "support/process.h"

namespace {

using clockType = std::chrono::steady_clock;

constexpr int width = 1280, height = 720;
constexpr int gameFrames = 36000;

HeadlessEvent event(int frame, HeadlessEvent::Kind kind, int key = 0, int x = 0, int y = 0) {
    HeadlessEvent e;
    e.frame = frame, e.kind = kind, e.key = key, e.x = x, e.y = y;
    return e;
}

void press(HeadlessConfig& c, int frame, int key) {
    c.events.push_back(event(frame, HeadlessEvent::down, key));
    c.events.push_back(event(frame + 1, HeadlessEvent::up, key));
}

void BM_SeekInATenMinuteGame(benchmark::State& state) {
    ScratchDir dir("korvane-seek-bench");
    for (const auto& e : fs::directory_iterator(KORVANE_CAMPAIGN_DIR))
        fs::copy_file(e.path(), dir / e.path().filename()); // the spectator goes on through it
    const std::string script =
        (fs::path(KORVANE_SOURCE_DIR) / "tests/traces/spectator.script").string();
    const ProcessRun rec = headless(
        dir.path(), {"--frames", std::to_string(gameFrames), "--size", "1280x720", "--dt",
                     "0.0166667", "--seed", "7", "--script", script, "--record", "game.kvr"});
    if (rec.status != 0) {
        state.SkipWithError(("cannot record: " + rec.err).c_str());
        return;
    }

    // Paused at once; End before the game has been run ahead; then, once it
    // has (by window frame `ready`), clicks along the bar in a fixed order.
    HeadlessConfig c;
    c.width = width, c.height = height;
    c.dt = 1.0 / 60;
    press(c, 2, VK_SPACE);
    press(c, 4, VK_END);
    const int ready = 6000, every = 40, seeks = 24;
    const float left = 230, right = width - 20;
    for (int i = 0; i < seeks; ++i) {
        const float at = float((i * 7) % seeks) / float(seeks - 1);
        c.events.push_back(event(ready + i * every - 1, HeadlessEvent::move, 0,
                                 int(left + at * (right - left)), height - 14));
        press(c, ready + i * every, VK_LBUTTON);
    }
    c.frames = ready + seeks * every + 10;

    int frame = 0, seekFrom = 0;
    bool scannedInTime = true;
    double cold = 0, slowest = 0, sum = 0;
    int measured = 0;
    clockType::time_point clicked = clockType::now();
    c.onFrame = [&](const std::uint32_t*, int, int) {
        ++frame;
        const auto now = clockType::now();
        const int sinceReady = frame - (ready - 1);
        if (frame == 3 || (sinceReady >= 0 && sinceReady % every == 0 && sinceReady < seeks * every)) {
            clicked = now; // the frame before the key or click: the seek starts in the next
            seekFrom = frame;
        }
        if (seekFrom && frame > seekFrom && !viewerSeeking()) {
            const double s = std::chrono::duration<double>(now - clicked).count();
            if (seekFrom == 3) {
                cold = s;
            } else {
                slowest = std::max(slowest, s);
                sum += s;
                ++measured;
            }
            seekFrom = 0;
        }
        if (frame == ready - 1) scannedInTime = viewerScanned() >= gameFrames;
    };

    for (auto _ : state) {
        sessionOptions so;
        so.play = (dir / "game.kvr").string();
        so.watch = true;
        so.boxes = false;
        so.scratchDir = true;
        so.who = "seek bench";
        sessionConfigure(so);
        if (!sessionOpen()) {
            state.SkipWithError("the recording was refused");
            return;
        }
        headlessConfigure(c);
        gameMain(nullptr);
        headlessConfigure(HeadlessConfig{});
    }
    if (!scannedInTime) state.SkipWithError("the viewer had not run the game ahead in time");
    state.counters["slowest_s"] = slowest;
    state.counters["mean_s"] = measured ? sum / measured : 0;
    state.counters["to_end_at_once_s"] = cold;
}
BENCHMARK(BM_SeekInATenMinuteGame)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
