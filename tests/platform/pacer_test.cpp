// The frame pacer's schedule on a made-up clock, its reading of KORVANE_FPS,
// and the system clocks it and the seed use.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "platform/clocks.h"
#include "platform/pacer.h"

namespace {

// Runs frames the way the pump does: wait until due, start, work. Returns
// when each frame started.
std::vector<double> frameStarts(framePacer& p, const std::vector<double>& work) {
    std::vector<double> starts;
    double now = 0;
    for (double w : work) {
        const double wait = pacerWait(p, now);
        if (wait > 0) now += wait;
        pacerStart(p, now);
        starts.push_back(now);
        now += w;
    }
    return starts;
}

framePacer pacerAt(const char* fps) {
    std::string problem;
    framePacer p = pacerFor(fps, problem);
    EXPECT_EQ(problem, "") << fps;
    return p;
}

} // namespace

TEST(FramePacer, SteadyBeatThroughJitterAndAFreshBeatAfterAStall) {
    framePacer p = pacerAt(nullptr);
    // Quick frames, one slow by a few milliseconds: every frame starts on the
    // 60 Hz beat, the one after the slow frame no later than its beat.
    std::vector<double> starts = frameStarts(p, {0.002, 0.002, 0.020, 0.002, 0.002, 0.002});
    const double beat = 1.0 / 60;
    const double expected[] = {0, beat, 2 * beat, 2 * beat + 0.020, 4 * beat, 5 * beat};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(starts[i], expected[i], 1e-9) << "frame " << i;

    // A stall of 0.2 s: the next frame starts at once, the one after a whole
    // beat later, not in a burst making up the twelve frames lost.
    p = pacerAt("60");
    starts = frameStarts(p, {0.002, 0.2, 0.002, 0.002});
    EXPECT_NEAR(starts[2], beat + 0.2, 1e-9);
    EXPECT_NEAR(starts[3] - starts[2], beat, 1e-9);

    // Another rate, and none at all: frames follow each other as they come.
    p = pacerAt("144");
    starts = frameStarts(p, {0.001, 0.001});
    EXPECT_NEAR(starts[1], 1.0 / 144, 1e-9);
    p = pacerAt("0");
    starts = frameStarts(p, {0.001, 0.001, 0.001});
    EXPECT_NEAR(starts[2], 0.002, 1e-12);
    EXPECT_LE(pacerWait(p, 0), 0);
}

TEST(FramePacer, AnimationFramesOfAnyDisplayRunSixtyASecond) {
    // Two seconds of a display's frames, each up to 1 ms off its beat.
    for (double hz : {60.0, 75.0, 120.0, 144.0}) {
        framePacer p = pacerAt(nullptr);
        int run = 0;
        for (int i = 0; i < int(2 * hz); ++i) {
            const double jitter = (i % 3 - 1) * 0.001;
            if (pacerOffer(p, 1 + i / hz + jitter)) ++run;
        }
        EXPECT_NEAR(run, 120, 1) << hz << " Hz";
    }
}

TEST(FramePacer, ABadRateIsReportedAndSixtyKept) {
    for (const char* bad : {"fast", "-1", "60.5", "1001", " 60", "99999999999999999999"}) {
        std::string problem;
        framePacer p = pacerFor(bad, problem);
        EXPECT_NE(problem.find(std::string("KORVANE_FPS=") + bad + " is not a frame rate"),
                  std::string::npos)
            << bad << ": " << problem;
        EXPECT_DOUBLE_EQ(p.period, 1.0 / 60) << bad;
    }
    EXPECT_DOUBLE_EQ(pacerAt("").period, 1.0 / 60);
    EXPECT_DOUBLE_EQ(pacerAt("1000").period, 1.0 / 1000);
}

TEST(FramePacer, WaitsUntilDueOnTheSteadyClock) {
    const double due = steadySeconds() + 0.01;
    waitUntil(due, steadySeconds);
    EXPECT_GE(steadySeconds(), due);
}

// The seed: milliseconds since the system started, so two starts a moment
// apart seed differently, and the count is the machine's uptime.
TEST(SystemClocks, TheSeedCountsMillisecondsSinceTheSystemStarted) {
    const unsigned first = bootMillis();
    const double until = steadySeconds() + 0.005;
    waitUntil(until, steadySeconds);
    const unsigned second = bootMillis();
    EXPECT_GE(second - first, 5u);
    EXPECT_LT(second - first, 5000u);

    double uptime = 0;
    std::ifstream("/proc/uptime") >> uptime;
    if (uptime <= 0) GTEST_SKIP() << "no /proc/uptime to compare with";
    const double ms = std::fmod(uptime * 1000, 4294967296.0);
    EXPECT_NEAR(double(second), ms, 2000.0);
}
