// vec2, the game's one vector type, and the helpers every subsystem uses.
//
// Positions, velocities, directions and screen points are all vec2. x grows to
// the right and y downward, in the world and on the screen, so a positive
// angle (radians from +x towards +y) turns clockwise as the player sees it.
#pragma once

#include <cmath>

#include "gdi/gdi.h"

struct vec2 {
    double x, y;

    vec2() : x(0), y(0) {}
    vec2(double x, double y) : x(x), y(y) {}
    explicit vec2(double angle) : x(std::cos(angle)), y(std::sin(angle)) {}

    vec2 operator+(vec2 w) const { return vec2(x + w.x, y + w.y); }
    vec2 operator-(vec2 w) const { return vec2(x - w.x, y - w.y); }
    // A scalar is added to (or taken from) both components.
    vec2 operator+(double k) const { return vec2(x + k, y + k); }
    vec2 operator-(double k) const { return vec2(x - k, y - k); }
    vec2 operator*(double k) const { return vec2(x * k, y * k); }
    vec2 operator/(double k) const { return vec2(x / k, y / k); }
    // Exact comparison, no tolerance.
    int operator==(vec2 w) const { return x == w.x && y == w.y; }
};

double retdis2(vec2 a, vec2 b);          // distance from a to b
double retdot2(vec2 a, vec2 b);          // dot product
vec2 retnrm2(vec2 a, vec2 b);            // unit vector from a towards b; (1, 0) when a == b
vec2 retnrm2(vec2 a, vec2 b, vec2 c);    // unit normal of line a-b towards c; (1, 0) on the line
vec2 retext2(vec2 v);                    // v turned by +90 degrees: (-y, x)
vec2 retcpnt2(vec2 a, vec2 b, vec2 c);   // the point of segment a-b nearest to c
vec2 retvec2(vec2 origin, vec2 axis, vec2 local); // local frame (axis, retext2(axis)) to world
vec2 retrot2(vec2 v, double angle);      // v turned by angle
vec2 rndvec2();                          // random vector shorter than 1: rand for length, then angle
vec2 rndnrm2();                          // random unit vector: one rand
POINT vec2POINT(vec2 v);                 // truncation towards zero (clamped, NaN to 0)
bool inbox(vec2 p, vec2 lo, vec2 hi);    // strictly inside the box

// The safe double-to-int conversion under vec2POINT: truncates towards zero,
// clamps to +-2^27 (beyond any bitmap) and maps NaN to 0, so no conversion is
// ever out of range.
int truncCoord(double v);
