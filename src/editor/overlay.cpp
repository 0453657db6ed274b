// The editor's overlay under the ships: the halo of each ship, arrows to the
// ships it refers to and its route, and the arrow they are drawn with.
#include "ai/ai.h"
#include "draw/draw.h"
#include "editor/editor.h"
#include "editor/editor_internal.h"
#include "render/render.h"

void drawArrow(HDC hdc, vec2 from, float fromGap, vec2 to, float toGap, COLORREF colour) {
    static const vec2 head[3] = {vec2(0, 0), vec2(-7, -4), vec2(-7, 4)};
    vec2 u = retnrm2(from, to);
    drawLine(hdc, from + u * fromGap, to - u * toGap, colour);
    drawPoly(hdc, to - u * toGap, u, head, 3, colour, colour);
}

void drawAbstr(HDC hdc, ship* ships, int i, vec2 cam, float zom, int you) {
    const ship& s = ships[i];
    vec2 at = toScreen(s.pos, cam, zom);
    // The halo: its radius on screen is the ship's plus 5 pixels.
    auto gap = [&](int k) { return float(ships[k].radius * zom + 5); };
    if (i == you) {
        vec2 c = editorCentre();
        drawBox(hdc, ((s.pos + cam) + s.radius) * zom + c + 5,
                ((s.pos + cam) - s.radius) * zom + c - 5, 0xffffff, 0xc8c8c8);
    } else {
        drawCirc(hdc, at, gap(i), 0xc8c8c8, 0x646464);
    }

    // References read as none when they name no slot. The arrows are red to
    // the target, green to the leader and blue to the home base.
    const int refs[3] = {shipRef(s.target, i), shipRef(s.leader, i), shipRef(s.homeBase, i)};
    const int sides[3] = {sideRed, sideGreen, sideBlue};
    for (int r = 0; r < 3; ++r) {
        int j = refs[r];
        if (ships[j].alive)
            drawArrow(hdc, at, gap(i), toScreen(ships[j].pos, cam, zom), gap(j),
                      sideColour(sides[r], 255));
    }

    constexpr float point = 3.5f;
    constexpr COLORREF routeLine = 0x9b6400, pointLine = 0x736400, pointFill = 0x4b3200;
    vec2 way = toScreen(s.waypoint, cam, zom), a = toScreen(s.wayA, cam, zom),
         b = toScreen(s.wayB, cam, zom);
    drawArrow(hdc, at, gap(i), way, point, routeLine);
    drawCirc(hdc, way, point, pointLine, pointFill);
    drawArrow(hdc, way, point, a, point, routeLine);
    drawCirc(hdc, a, point, pointLine, pointFill);
    drawArrow(hdc, a, point, b, point, routeLine);
    drawCirc(hdc, b, point, pointLine, pointFill);
}
