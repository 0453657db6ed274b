// The spectator's run of a mission: the start screen's choice of the player's
// ship, then play frames at a fixed frame time into a small off-screen frame,
// the way the driver runs them, until the mission is decided.
#include "sim.h"

#include <cstdlib>
#include <vector>

#include "app/app.h"
#include "app/play.h"
#include "frame/frame.h"
#include "gdi/surface.h"
#include "render/render.h"

namespace {

bool validPlayer(const Mission& m, int you) { return m.a[you].alive && m.a[you].side == m.sid; }

} // namespace

bool simCanStart(const Mission& m) {
    for (int k = 0; k < shipCount; ++k)
        if (validPlayer(m, (m.you + k) % shipCount)) return true;
    return false;
}

SimResult simulate(const Mission& m, unsigned seed, double seconds, const SimTrace& trace,
                   float dt) {
    std::vector<ship> a(m.a, m.a + shipCount);
    std::vector<frag> b(fragCount);
    int you = m.you, sid = m.sid;
    // The start screen steps on from the player's ship to a live one of the
    // player's side, and centres the view on it.
    for (int k = 0; k < shipCount && !validPlayer(m, you); ++k) you = (you + 1) % shipCount;
    vec2 cam = a[you].pos * -1;
    workRes(false, simWidth, simHeight);
    float zom = defaultZoom(simWidth);
    bool aliv = false, autr = false, autp = false;
    int mode = modePlay;
    const PlayState state{a.data(), b.data(), cam, zom, you, sid, aliv, autr, autp, mode};

    HDC dc = createSurfaceDC(simWidth, simHeight);
    std::srand(seed);
    SimResult result;
    const long frames = long(seconds / dt + 0.5);
    const long traceFrames = long(traceEvery / dt + 0.5);
    long n = 0;
    while (n < frames && mode == modePlay) {
        playFrame(dc, state, dt);
        ++n;
        if (trace && n % traceFrames == 0) trace(double(n) * dt, a.data());
    }
    deleteSurfaceDC(dc);
    result.seconds = double(n) * dt;
    if (mode == modeWon)
        result.outcome = SimOutcome::won;
    else if (mode == modeLost)
        result.outcome = SimOutcome::lost;
    return result;
}
