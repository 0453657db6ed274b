// The frame pacer's schedule and its precise wait.
#include "platform/pacer.h"

#include <cerrno>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

framePacer pacerFor(const char* fps, std::string& problem) {
    framePacer p;
    p.period = 1.0 / defaultFps;
    problem.clear();
    if (!fps || !*fps) return p;
    long n = -1;
    bool digits = true;
    for (const char* c = fps; *c; ++c) digits = digits && *c >= '0' && *c <= '9';
    if (digits) {
        errno = 0;
        n = std::strtol(fps, nullptr, 10);
        if (errno != 0) n = -1;
    }
    if (n < 0 || n > maxFps) {
        problem = std::string("KORVANE_FPS=") + fps +
                  " is not a frame rate (a whole number from 0 to " + std::to_string(maxFps) +
                  ", 0 for no pacing); playing at " + std::to_string(defaultFps) +
                  " frames a second";
        return p;
    }
    p.period = n == 0 ? 0 : 1.0 / double(n);
    return p;
}

double pacerWait(const framePacer& p, double now) {
    if (p.period <= 0 || !p.started) return 0;
    return p.due - now;
}

void pacerStart(framePacer& p, double now) {
    if (p.period <= 0) return;
    if (!p.started || now - p.due >= p.period) {
        p.due = now + p.period;
    } else {
        p.due += p.period;
    }
    p.started = true;
}

bool pacerOffer(framePacer& p, double now) {
    if (pacerWait(p, now) > p.period / 4) return false;
    pacerStart(p, now);
    return true;
}

namespace {

// What a sleep may overshoot by: the spin covers it.
#if defined(_WIN32)
constexpr double spinSeconds = 0.002; // Sleep at the 1 ms timer resolution the window asks for
#else
constexpr double spinSeconds = 0.001;
#endif

void sleepFor(double seconds) {
#if defined(_WIN32)
    Sleep(DWORD(seconds * 1000));
#else
    timespec t;
    t.tv_sec = time_t(seconds);
    t.tv_nsec = long((seconds - double(t.tv_sec)) * 1e9);
    nanosleep(&t, nullptr); // a signal cutting it short only means more spinning
#endif
}

} // namespace

void waitUntil(double due, double (*clock)()) {
    double left = due - clock();
    if (left > spinSeconds) sleepFor(left - spinSeconds);
    while (clock() < due) {
    }
}
