// Frame pacing for the real windows: frames start at a steady rate whatever
// the machine, 60 a second unless KORVANE_FPS says otherwise, with a precise
// wait in between. The game's own measurement of the frame time is untouched;
// only the waiting is added, so a fast machine no longer runs frames of a
// millisecond, in which ships can hardly turn.
#pragma once

#include <string>

constexpr int defaultFps = 60;
constexpr int maxFps = 1000;

struct framePacer {
    double period = 0; // seconds from one frame's start to the next; 0: unpaced
    double due = 0;    // when the next frame may start, on the pacer's clock
    bool started = false;
};

// The pacer for a KORVANE_FPS value: null or empty gives 60 a second, "0" the
// unpaced loop, N (1 to 1000) N frames a second. Anything else gives 60 a
// second and a one-line `problem` to show.
framePacer pacerFor(const char* fps, std::string& problem);

// Seconds until the next frame may start (0 or less: now).
double pacerWait(const framePacer& p, double now);

// A frame starts at `now`. The next is due one period after the one before,
// keeping a steady beat through small delays; after a stall of a whole period
// or more the beat starts afresh from now, so lost frames are never made up in
// a burst (the game's 0.05 s cap already bounds the step that follows).
void pacerStart(framePacer& p, double now);

// For frames that come from outside at the display's rate (a web page's
// animation frames): whether the frame offered at `now` runs, and if so, it
// starts. One that comes early by more than a quarter of the period is
// skipped, so a 120 Hz display runs every other one; one a little early runs
// and the beat goes on from when it was due.
bool pacerOffer(framePacer& p, double now);

// Returns when clock() reaches `due`: sleeps for most of the wait, then spins
// the last stretch, which a sleep would overshoot.
void waitUntil(double due, double (*clock)());
