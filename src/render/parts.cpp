// Parts, ships and bits on screen: each part is one or two small filled
// polygons of fixed shape per kind and row, turned, scaled and placed in one
// step by the transformed drawPoly.
#include <cstdlib>

#include "draw/draw.h"
#include "render/render.h"

namespace {

constexpr double pi = 3.141592653589793;

struct Pair {
    COLORREF line, fill;
};

COLORREF grey(int level) {
    int l = level & 0xff;
    return RGB(l, l, l);
}

// A float-to-int conversion that is defined for every value, NaN included.
int whole(double v) { return truncCoord(v); }

// The grey pair and the side pair of one call, by colour mode.
void colourPairs(int mode, float value, Pair& greyPair, Pair& sidePair) {
    if (mode == colourFading) {
        greyPair = sidePair = {grey(whole(75 * value + 1)), grey(whole(125 * value + 1))};
    } else if (mode == colourHealth) {
        // From the red side's colour when broken through to the green side's when whole.
        COLORREF c = value <= 0 ? 0x646464
                                : addColours(sideColour(sideRed, whole(255 - 245 * value)),
                                             sideColour(sideGreen, whole(225 * value)));
        greyPair = sidePair = {c, c};
    } else {
        greyPair = {0x646464, 0xc8c8c8};
        int side = whole(value);
        sidePair = {sideColour(side, 130), sideColour(side, 255)}; // black for no side
    }
}

enum Paint { greyPaint, sidePaint };

struct Shape {
    Paint paint;
    int n;
    vec2 pts[12];
};

// The first polygon of each part type, x forward and y to the side.
const Shape hullShapes[] = {
    {greyPaint, 4, {{14, 3}, {-12, 9}, {-12, -9}, {14, -3}}},
    {sidePaint, 4, {{4, 3}, {-4, 4}, {-4, -4}, {4, -3}}},
    {greyPaint, 4, {{14, 5}, {-12, 12}, {-12, -12}, {14, -5}}},
    {greyPaint, 4, {{4, 12}, {-4, 12}, {-4, -12}, {4, -12}}},
    {greyPaint, 4, {{12, 12}, {-12, 12}, {-12, -12}, {12, -12}}},
    {greyPaint, 4, {{-3, 16}, {3, 12}, {3, -12}, {-3, -16}}},
    {sidePaint,
     12,
     {{4, 4},
      {24, 4},
      {24, -4},
      {4, -4},
      {4, -24},
      {-4, -24},
      {-4, -4},
      {-24, -4},
      {-24, 4},
      {-4, 4},
      {-4, 24},
      {4, 24}}},
};
const Shape hullFiveInner = {sidePaint, 4, {{-1, 9}, {3, 11}, {3, -11}, {-1, -9}}};
const Shape engineShapes[] = {
    {greyPaint, 4, {{4, 6}, {-4, 4}, {-4, -4}, {4, -6}}},
    {greyPaint, 4, {{3, 10}, {-3, 7}, {-3, -7}, {3, -10}}},
};
const Shape gunShapes[] = {
    {greyPaint, 3, {{2, 0}, {-2, 1}, {-2, -1}}},
    {greyPaint, 3, {{3, 0}, {-3, 1.5}, {-3, -1.5}}},
    {greyPaint, 3, {{4, 0}, {-4, 2}, {-4, -2}}},
};

const Shape* firstShape(int kind, int index) {
    auto pick = [&](const Shape* table, int rows) {
        return index >= 0 && index < rows ? &table[index] : nullptr;
    };
    switch (kind) {
    case kindHull: return pick(hullShapes, 7);
    case kindEngine: return pick(engineShapes, 2);
    case kindGun: return pick(gunShapes, 3);
    default: return nullptr;
    }
}

void drawShape(HDC hdc, vec2 pos, vec2 axis, float scale, const vec2* local, int n, Pair c) {
    vec2 pts[12];
    for (int i = 0; i < n; ++i) pts[i] = local[i] * scale;
    drawPoly(hdc, pos, axis, pts, n, c.line, c.fill);
}

void drawShape(HDC hdc, vec2 pos, vec2 axis, float scale, const Shape& s, Pair greyPair,
               Pair sidePair) {
    drawShape(hdc, pos, axis, scale, s.pts, s.n, s.paint == greyPaint ? greyPair : sidePair);
}

// The flame behind a lit engine flickers: each rear point's length is drawn
// anew every frame, the point on the positive side first.
void drawFlame(HDC hdc, vec2 pos, vec2 axis, float scale, int index) {
    double reach = index == 0 ? 10 : 12;
    double rear = index == 0 ? 1.5 : 3;
    const vec2& inner0 = engineShapes[index].pts[1];
    const vec2& inner1 = engineShapes[index].pts[2];
    int r1 = std::rand() % 7;
    int r2 = std::rand() % 7;
    vec2 flame[4] = {vec2(-reach - r1, rear), inner0, inner1, vec2(-reach - r2, -rear)};
    drawShape(hdc, pos, axis, scale, flame, 4, Pair{0x0000ff, 0x00ffff});
}

} // namespace

void drawPart(HDC hdc, vec2 pos, vec2 axis, float scale, int kind, int index, bool lit, int mode,
              float value) {
    const Shape* shape = firstShape(kind, index);
    if (!shape) return;
    Pair greyPair, sidePair;
    colourPairs(mode, value, greyPair, sidePair);
    drawShape(hdc, pos, axis, scale, *shape, greyPair, sidePair);
    if (kind == kindHull && index == 5)
        drawShape(hdc, pos, axis, scale, hullFiveInner, greyPair, sidePair);
    if (kind == kindHull && index == 6) drawCirc(hdc, pos, 3.5 * scale, greyPair.line, greyPair.fill);
    if (kind == kindEngine && lit && mode == colourNormal) drawFlame(hdc, pos, axis, scale, index);
}

void drawShip(HDC hdc, const ship& s, vec2 screenPos, float zoom) {
    for (const part& p : s.parts) {
        if (p.kind == kindNone || !(p.health > 0)) continue;
        vec2 axis = retrot2(s.dir, 2 * pi * p.angle);
        vec2 offset = s.dir * p.pos.x + retext2(s.dir) * p.pos.y;
        drawPart(hdc, screenPos + offset * zoom, axis, zoom, p.kind, p.index, p.lit, colourNormal,
                 float(s.side + 0.1));
    }
}

void drawbit(HDC hdc, vec2 pos, vec2 axis, float scale, float shade) {
    static const vec2 bit[3] = {vec2(2, 0), vec2(-1.5, -2), vec2(-2, 1.5)};
    drawShape(hdc, pos, axis, scale, bit, 3,
              Pair{grey(whole(75 * shade)), grey(whole(125 * shade))});
}
