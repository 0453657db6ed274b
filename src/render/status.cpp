// The status panels at the bottom corners of the play screen: the damage
// picture of the watched ship with its energy bar and name, and that of its
// target. Both are drawn into one small bitmap of their own and copied out.
#include "draw/draw.h"
#include "frame/frame.h"
#include "render/render.h"

namespace {

constexpr double twoPi = 6.283185307179586;

} // namespace

void drawStat(HDC hdc, const ship& s, bool own) {
    // Made on first use from the width at that moment, kept for the whole run.
    static const int boxsiz = int(workRes(true, 1, 0) * 0.0625);
    static HDC dc2 = CreateCompatibleDC(hdc);
    static HBITMAP bmp = CreateCompatibleBitmap(hdc, boxsiz, boxsiz);
    static bool init = true;
    if (init) SelectObject(dc2, bmp), init = false;

    int w = workRes(true, 1, 0), h = workRes(true, 0, 0);
    // Large ships are shrunk to fit; smaller ones keep the common scale.
    double k = w * 0.000625;
    if (s.radius > 50) k = k * 50 / s.radius;

    drawBox(dc2, vec2(0, 0), vec2(boxsiz - 1, boxsiz - 1), 0x963200, 0);
    vec2 middle(boxsiz * 0.5, boxsiz * 0.5);
    for (const part& p : s.parts) {
        if (p.kind == kindNone) continue;
        float full = getatt(p.kind, p.index, attrHealth);
        float f = full > 0 ? p.health / full : 0;
        vec2 axis = retrot2(s.dir, twoPi * p.angle);
        vec2 centre = middle + (s.dir * p.pos.x + retext2(s.dir) * p.pos.y) * k;
        drawPart(dc2, centre, axis, float(k), p.kind, p.index, p.lit, colourHealth, f);
    }

    if (!own) {
        BitBlt(hdc, w - boxsiz - 5, h - boxsiz - 5, boxsiz, boxsiz, dc2, 0, 0, SRCCOPY);
        return;
    }
    BitBlt(hdc, 5, h - boxsiz - 5, boxsiz, boxsiz, dc2, 0, 0, SRCCOPY);
    // A ship without power has no bar at all (its height would be 0 / 0). The
    // bar is green, the colour of a part in full health.
    if (s.energyMax > 0)
        drawBox(hdc, vec2(boxsiz + 10, h - boxsiz * s.energy / s.energyMax - 5),
                vec2(boxsiz + 15, h - 5), sideColour(sideGreen, 255), sideColour(sideGreen, 100));
    setLine(hdc, 0, 1, textColour);
    drawText(hdc, vec2(boxsiz + 20, h - 15), float(boxsiz + 20), float(w), 2, s.name);
    endLine(hdc);
}
