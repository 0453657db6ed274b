// The vector helpers: pure functions, except the two random ones.
#include "geom/vec2.h"

#include <cstdlib>

namespace {
constexpr double pi = 3.141592653589793;

// A fraction in [0, 0.9999] from one rand call, rounded to single precision.
float randFraction() { return float((std::rand() % 10000) / 10000.0); }
float randAngle() { return float(2 * pi * (std::rand() % 10000) / 10000.0); }
} // namespace

double retdis2(vec2 a, vec2 b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

double retdot2(vec2 a, vec2 b) { return a.x * b.x + a.y * b.y; }

vec2 retnrm2(vec2 a, vec2 b) {
    vec2 d = b - a;
    double len = retdis2(vec2(), d);
    if (len > 0) return d / len;
    return vec2(1, 0);
}

vec2 retnrm2(vec2 a, vec2 b, vec2 c) {
    vec2 n = retnrm2(a, b);
    double t = retdot2(n, c - a);
    vec2 foot = a + n * t;
    return retnrm2(foot, c);
}

vec2 retext2(vec2 v) { return vec2(-v.y, v.x); }

vec2 retcpnt2(vec2 a, vec2 b, vec2 c) {
    vec2 n = retnrm2(a, b);
    double t = retdot2(n, c - a);
    double len = retdis2(a, b);
    if (t > len) return b;
    if (t < 0) return a;
    return a + n * t;
}

vec2 retvec2(vec2 origin, vec2 axis, vec2 local) {
    return origin + axis * local.x + retext2(axis) * local.y;
}

vec2 retrot2(vec2 v, double angle) {
    double c = std::cos(angle), s = std::sin(angle);
    return vec2(v.x * c - v.y * s, v.x * s + v.y * c);
}

vec2 rndvec2() {
    float length = randFraction(); // the order is part of the game: length first
    float angle = randAngle();
    return vec2(double(angle)) * double(length);
}

vec2 rndnrm2() { return vec2(double(randAngle())); }

int truncCoord(double v) {
    constexpr double limit = 134217728.0; // 2^27
    if (!(v == v)) return 0;
    if (v > limit) return int(limit);
    if (v < -limit) return -int(limit);
    return int(v);
}

POINT vec2POINT(vec2 v) { return POINT{truncCoord(v.x), truncCoord(v.y)}; }

bool inbox(vec2 p, vec2 lo, vec2 hi) {
    return lo.x < p.x && p.x < hi.x && lo.y < p.y && p.y < hi.y;
}
