// goProgram: one frame of the game. Until the screens exist it draws a test
// picture: the five ship designs with every gun fit and Transport length,
// every part in the three colour modes, a paragraph of the vector font and
// the star field drifting as the camera moves. Escape leaves.
#include <cmath>
#include <vector>

#include "app/app.h"
#include "draw/draw.h"
#include "model/model.h"
#include "platform/system.h"
#include "render/render.h"

namespace {

constexpr double pi = 3.141592653589793;

// What tells one variant of a design from another: its guns and its reach.
int variantOf(const ship& s) {
    int guns = 0, rows = 0;
    for (const part& p : s.parts)
        if (p.kind == kindGun) ++guns, rows += p.index * p.index;
    return guns * 100 + rows + int(s.radius) * 10000;
}

struct Shown {
    int type;
    ship s;
};

// One ship of every variant of every design, found by building ships until
// each variant has turned up (the variants are drawn at random).
std::vector<Shown> everyVariant() {
    const int variants[] = {1, 2, 3, 4, 4};
    std::vector<Shown> out;
    for (int type = typeBase; type <= typeTransport; ++type) {
        std::vector<int> seen;
        for (int tries = 0; tries < 500 && int(seen.size()) < variants[type]; ++tries) {
            ship s(vec2(0, 0), type, type % 3, true);
            int v = variantOf(s);
            bool fresh = true;
            for (int w : seen) fresh = fresh && w != v;
            if (!fresh) continue;
            seen.push_back(v);
            out.push_back({type, s});
        }
    }
    return out;
}

// Three rows: the Base with the light and medium fighters, the heavy
// fighters, the Transports; each ship turning at its own rate.
void drawShips(HDC hdc, std::vector<Shown>& ships, double clock, double scale) {
    const double rowY[] = {80, 80, 80, 210, 330};
    double x = 0;
    int lastRow = -1;
    for (std::size_t i = 0; i < ships.size(); ++i) {
        ship& s = ships[i].s;
        int type = ships[i].type;
        if (rowY[type] != (lastRow < 0 ? -1 : rowY[lastRow])) x = 20;
        lastRow = type;
        x += s.radius;
        s.dir = vec2(type == typeTransport ? clock * 0.1 + i * 0.4 : clock * 0.3 + i * 0.7);
        for (part& p : s.parts) p.lit = p.kind == kindEngine && std::fmod(clock + i, 2.0) < 1.2;
        drawShip(hdc, s, vec2(x, rowY[type]) * scale, float(scale));
        x += s.radius + 25;
    }
}

void drawPartTable(HDC hdc, vec2 at, double scale, double clock) {
    const int rows[][2] = {{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6},
                           {2, 0}, {2, 1}, {3, 0}, {3, 1}, {3, 2}};
    for (int mode = 0; mode < 3; ++mode) {
        for (int k = 0; k < 12; ++k) {
            vec2 p = at + vec2(k * 56 * scale, mode * 56 * scale);
            float value = mode == colourNormal ? float(k % 3 + 0.1)
                          : mode == colourFading ? float(0.5 + 0.5 * std::sin(clock + k))
                                                 : float(k / 11.0);
            drawPart(hdc, p, vec2(-pi / 2), float(scale), rows[k][0], rows[k][1], true, mode,
                     value);
        }
    }
}

} // namespace

void goProgram(HDC hdc, HINSTANCE, float frameTime) {
    static double clock = 0;
    static std::vector<Shown> ships = everyVariant();
    clock += frameTime;
    key(0);
    if (key(VK_ESCAPE)) sysQuit();

    int w = workRes(true, 1, 0), h = workRes(true, 0, 0);
    double scale = w / 1024.0;

    // The camera drifts, and the stars with it, each by its depth.
    doStarField(hdc, vec2(-clock * 60, -clock * 25));

    drawShips(hdc, ships, clock, scale);
    drawPartTable(hdc, vec2(40 * scale, h - 250 * scale), scale, clock);

    setLine(hdc, 0, 1, 0xffaf64);
    vec2 cursor = drawText(hdc, vec2(w * 0.55, 20 * scale), float(w * 0.55), float(w - 10),
                           float(2 * scale),
                           "Korvane 1.05\n\nShips are built from hull plates, engines and "
                           "guns; they fly with inertia, fire, lose parts to hits and break "
                           "apart.\tTabs, digits 0123456789 and signs: ( ) * + , - . / : = _ ! ' ?");
    cursor = drawText(hdc, cursor, float(w * 0.55), float(w - 10), float(2 * scale), "\nTime: ");
    drawFloat(hdc, cursor, float(w * 0.55), float(w - 10), float(2 * scale), 2, float(clock));
    endLine(hdc);

    vec2 m = mousePos();
    drawLine(hdc, m - vec2(8, 0), m + vec2(9, 0), 0xffffff);
    drawLine(hdc, m - vec2(0, 8), m + vec2(0, 9), 0xffffff);
}
