// Scene rendering: parts and ships, tumbling bits, and the star field.
#pragma once

#include "geom/vec2.h"
#include "model/model.h"
#include "platform/gdi.h"

// Colour modes of drawPart: how the grey and side colour pairs are chosen.
enum {
    colourNormal = 0, // value: the side number (truncated); flames shown
    colourFading = 1, // value: shade 0..1, greys only (debris)
    colourHealth = 2, // value: health fraction, red through green (status panel)
};

// One part centred at the screen point pos, facing along the unit vector
// axis, its shape scaled by scale pixels per unit.
void drawPart(HDC hdc, vec2 pos, vec2 axis, float scale, int kind, int index, bool lit, int mode,
              float value);

// Every present part of s, the ship's centre at screenPos, zoom pixels per unit.
void drawShip(HDC hdc, const ship& s, vec2 screenPos, float zoom);

// One small fragment triangle in a grey of the given shade.
void drawbit(HDC hdc, vec2 pos, vec2 axis, float scale, float shade);

// The 300 drifting stars behind every screen; offset is the camera offset in
// screen pixels (cam times zom).
void doStarField(HDC hdc, vec2 offset);

// One wrap step of a star along one axis: base is its stored coordinate, its
// screen coordinate base + depth * offset. Left of (or above) the band
// [-50, size + 50] it comes in from the other side; beyond it, it goes back.
void wrapStar(double& base, float depth, double offset, int size);

// Around ship `own` of the 50: a pointer and a square for its live target,
// leader and home base, and for its waypoint when it follows no live leader.
void drawTargets(HDC hdc, const ship* ships, int own, vec2 cam, float zoom);

// The far-view sign of s centred at screenPos in its side's colours: a
// triangle for fighters and guard lines, a wedge for freighters, a disc for
// bases; its size follows the ship's radius, not the zoom.
void drawSymbol(HDC hdc, const ship& s, vec2 screenPos);

// One status panel of s: own draws the bottom-left panel with the energy bar
// and the design name, else the bottom-right panel of the target.
void drawStat(HDC hdc, const ship& s, bool own);
