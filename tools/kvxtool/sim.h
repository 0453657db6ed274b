// Playing a mission without a display, as a spectator: the computer minds fly
// every ship, the player's too, until the mission is won or lost or the time
// runs out.
#pragma once

#include <functional>

#include "mission/mission_file.h"

// Game time per frame, in seconds: the game's steady 60 frames a second.
// Ships turn slower at shorter frames (the turn push grows with the square of
// the frame time), so the campaign's balance is measured at this one.
constexpr float simFrameTime = 1.0f / 60;

// The frame the mission is played into: small, as nothing looks at it.
constexpr int simWidth = 160, simHeight = 120;

enum class SimOutcome { won, lost, undecided };

struct SimResult {
    SimOutcome outcome = SimOutcome::undecided;
    double seconds = 0; // game time when decided, or the whole time played
};

// Whether the start screen can start the mission: a live ship of the player's
// side, found from the player's ship on as the start screen looks for one.
bool simCanStart(const Mission& m);

// Called every `traceEvery` seconds of game time with the time and the ships.
using SimTrace = std::function<void(double seconds, const ship* a)>;
constexpr double traceEvery = 10;

// Plays the mission from srand(seed) for at most `seconds` of game time, at
// `dt` seconds a frame (above 0 and, as in the game, at most 0.05). The
// mission must be one simCanStart accepts.
SimResult simulate(const Mission& m, unsigned seed, double seconds, const SimTrace& trace = nullptr,
                   float dt = simFrameTime);
