// Scene rendering: parts and ships, tumbling bits, the star field, and the
// side palettes every side colour is made from.
//
// Drawing that draws from rand (the rules and the order of a frame are in
// sim/sim.h). doStarField places its 300 stars at its first call, five numbers
// a star (two for y, two for x, then the depth), and draws none after.
// drawPart draws two numbers, the flame's two rear points, every time it draws
// a lit engine in colourNormal; so drawShip takes two per lit engine, every
// time it draws the ship. Debris (colourFading), the status panels
// (colourHealth), bits, markers and symbols draw none.
//
// So a drawing call here is part of the game: it runs whether or not the frame
// is ever seen (korvane-headless, kvxtool's runs into a small off-screen frame)
// and whether or not what it draws lands in the window (the rasterizer clips,
// after the numbers are drawn). Skipping one shifts the sequence, and every
// shot, hit and mind of that seeded run after it. Callers choose what to draw
// by the game's own tests only: play's box of 800 pixels around the centre,
// the far-view symbol at zoom 0.2 and below, no ships under the radar. Never
// add a cull, a skip or a second drawing of a ship; a new screen or overlay
// draws no lit engine in colourNormal. The golden traces also keep a hash of
// the picture every 100 frames: what draws differently moves them as well.
#pragma once

#include "geom/vec2.h"
#include "model/model.h"
#include "gdi/gdi.h"

// The zoom every view starts at and goes back to (Backspace): a window
// width's worth of pixels for every 1/0.0006875 units of the world.
inline float defaultZoom(int width) { return float(width * 0.0006875); }

// The side palettes: how a side's colour is made wherever it is shown (ships,
// symbols, markers, the radar, the status panels, the editor).
enum {
    paletteGame = 0,        // each side a strength of its own channel: Red, Green, Blue
    paletteColourBlind = 1, // orange, azure and white, told apart with protanopia and deuteranopia
};

// Chooses the palette from the next drawing on; it stays until chosen again.
// A value that names no palette is reported on standard error and changes
// nothing. The game's palette is the default.
void setSidePalette(int palette);
int sidePalette();

// The colour of side `side` (sideRed, sideGreen, sideBlue) at strength
// 0..255, black for any other side. Under the game's palette it is that
// channel alone at that strength, made as RGB makes it; under the colour-blind
// palette the side's full colour scaled by strength / 255, rounded.
//
// Colours of the game that stand for a role rather than a ship's side take the
// side of their channel: a target or a destroy objective red (sideRed), a
// leader or a defend objective green (sideGreen), a home base blue (sideBlue).
COLORREF sideColour(int side, int strength);

// a + b channel by channel, each sum capped at 255: a colour of the game that
// mixes channels, such as the health colours, is the sum of its channels'
// side colours, and under the game's palette exactly what it was.
COLORREF addColours(COLORREF a, COLORREF b);

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
