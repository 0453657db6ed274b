// Pilots: target selection and route keeping, the steering helpers that turn
// a goal into control flags, and the computer minds.
#pragma once

#include "geom/vec2.h"
#include "model/model.h"

// Keeps ship i's references valid, improves its nearest ships by one random
// probe, and moves it along its route by its orders.
void setTargets(ship* ships, int i);

// The lowest free ship slot, or a random one when all 50 are alive.
int findShip(ship* ships);

// Steers ship s towards point p.
void followThis(ship s, vec2 p, bool& thrust, bool& turnRight, bool& turnLeft, bool& fire,
                float align, float lead, bool mayFire);

// Turns ship i against its motion and burns until it stops.
void breakShip(ship* ships, int i, bool& thrust, bool& turnRight, bool& turnLeft, float dt);

// Counter-steers any spin of ship i.
void fixShip(ship* ships, int i, bool& turnRight, bool& turnLeft);

// Flies ship i to its leader, or along its route when it has none.
void autoPilot(ship* ships, int i, bool& thrust, bool& turnRight, bool& turnLeft);

// The computer mind of ship i: updates its mind state and sets control flags.
void thinkShip(ship* ships, int i, bool& thrust, bool& turnRight, bool& turnLeft, bool& fire,
               bool& repair, bool& brake, float dt);
