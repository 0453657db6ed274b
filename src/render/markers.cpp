// Overlays of the play scene: the pointers and squares that show the watched
// ship's target, leader, home base or waypoint, and the far-view symbols that
// stand in for ships at small zooms.
#include "draw/draw.h"
#include "frame/frame.h"
#include "render/render.h"

namespace {

struct Marker {
    COLORREF pointerLine, pointerFill, square;
};

// A target's marker is red, a leader's green and a home base's blue: each the
// colour of the side of its channel, in the palette of the moment.
Marker targetMarker() {
    COLORREF fill = addColours(sideColour(sideRed, 255), sideColour(sideGreen, 50));
    return {sideColour(sideRed, 150), fill, fill};
}
Marker leaderMarker() {
    COLORREF fill = addColours(sideColour(sideGreen, 255), sideColour(sideRed, 50));
    return {sideColour(sideGreen, 150), fill, fill};
}
Marker baseMarker() {
    return {sideColour(sideBlue, 100), sideColour(sideBlue, 200), sideColour(sideBlue, 255)};
}
const Marker waypointMarker = {0x966400, 0xff9600, 0xff9600};

vec2 toScreen(vec2 p, vec2 cam, float zoom) {
    vec2 centre(workRes(true, 1, 0) / 2, workRes(true, 0, 0) / 2);
    return (p + cam) * zoom + centre;
}

// A pointer from `from` towards `to` and a square of half-size `half` around `to`.
void mark(HDC hdc, const Marker& m, const vec2 pointer[3], vec2 from, vec2 to, double half,
          vec2 cam, float zoom) {
    drawPoly(hdc, toScreen(from, cam, zoom), retnrm2(from, to), pointer, 3, m.pointerLine,
             m.pointerFill);
    drawBox(hdc, toScreen(to - half, cam, zoom), toScreen(to + half, cam, zoom), m.square);
}

} // namespace

void drawTargets(HDC hdc, const ship* ships, int own, vec2 cam, float zoom) {
    const ship& s = ships[own];
    double z = zoom, r = s.radius;
    // The base sits 1.5 r z from the centre in world terms, scaled once more
    // by the zoom: the pointers move out faster than the ship grows.
    const vec2 pointer[3] = {vec2(1.5 * r * z * z, 2 * z), vec2(1.5 * r * z * z, -2 * z),
                             vec2((1.5 * r * z + 8) * z, 0)};

    int target = shipRef(s.target, own), leader = shipRef(s.leader, own),
        base = shipRef(s.homeBase, own);
    if (target != own && ships[target].alive)
        mark(hdc, targetMarker(), pointer, s.pos, ships[target].pos, 1.1 * ships[target].radius,
             cam, zoom);
    bool leaderShown = leader != own && ships[leader].alive;
    if (leaderShown)
        mark(hdc, leaderMarker(), pointer, s.pos, ships[leader].pos, 1.1 * ships[leader].radius,
             cam, zoom);
    if (base != own && ships[base].alive)
        mark(hdc, baseMarker(), pointer, s.pos, ships[base].pos, 1.3 * ships[base].radius, cam,
             zoom);
    if (!leaderShown) mark(hdc, waypointMarker, pointer, s.pos, s.waypoint, r, cam, zoom);
}

void drawSymbol(HDC hdc, const ship& s, vec2 screenPos) {
    COLORREF line = sideColour(s.side, 255), fill = sideColour(s.side, 100); // black for no side
    double u = 0.2 * s.radius;
    switch (s.orders) {
    case orderFighter:
    case orderGuardLine: {
        const vec2 tri[3] = {vec2(u, 0), vec2(-u, 0.6 * u), vec2(-u, -0.6 * u)};
        drawPoly(hdc, screenPos, s.dir, tri, 3, line, fill);
        break;
    }
    case orderFreighter: {
        const vec2 quad[4] = {vec2(u, 0.3 * u), vec2(-u, 0.6 * u), vec2(-u, -0.6 * u),
                              vec2(u, -0.3 * u)};
        drawPoly(hdc, screenPos, s.dir, quad, 4, line, fill);
        break;
    }
    case orderBase:
        drawCirc(hdc, screenPos, u, line, fill);
        break;
    default:
        break;
    }
}
