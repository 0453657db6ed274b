// The play frame: what the driver runs while a mission is played.
#pragma once

#include "geom/vec2.h"
#include "model/model.h"
#include "gdi/gdi.h"

// The driver's state that play works on, by reference.
struct PlayState {
    ship* a;    // the 50 ships
    frag* b;    // the 1500 frags
    vec2& cam;  // camera offset: the negated world point at the screen centre
    float& zom; // pixels per world unit
    int& you;   // the player's ship
    int& sid;   // the player's side
    bool& aliv; // true: the player pilots ship `you`; false: spectator
    bool& autr; // repair requested for the player's ship
    bool& autp; // autopilot on for the player's ship
    int& mode;  // set to modeWon or modeLost when the mission ends
};

// One frame of play with the smoothed frame time t.
void playFrame(HDC hdc, const PlayState& s, float t);

// The screen point of world point p: (p + cam) * zom + the screen centre.
vec2 screenOf(vec2 p, vec2 cam, float zom);

// Brings the destroyed ship s back at the point `at` with a small random drift
// (one rndvec2) and no spin; parts that carry other parts get health 0.1.
void respawnShip(ship& s, vec2 at);
