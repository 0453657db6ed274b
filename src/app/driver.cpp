// goProgram: one frame of the game. Until the screens exist it draws a test
// picture that exercises every drawing primitive, the clock, the keys and the mouse.
#include <cmath>

#include "app/app.h"
#include "draw/draw.h"
#include "platform/system.h"

namespace {

constexpr double pi = 3.141592653589793;

// A ship-part-like shape in its own local coordinates.
const vec2 wing[] = {vec2(-1, -1), vec2(1.5, 0), vec2(-1, 1), vec2(-0.4, 0)};

void drawFan(HDC hdc, vec2 centre, double radius, int width) {
    for (int i = 0; i < 16; ++i) {
        vec2 tip = centre + vec2(i * pi / 8) * radius;
        COLORREF c = RGB(255 - i * 12, 80 + i * 10, 40 + i * 13);
        drawLine(hdc, centre, tip, c, width);
    }
}

void drawKeyLamps(HDC hdc, vec2 at) {
    const int keys[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_SHIFT, VK_SPACE, VK_RETURN,
                        VK_LBUTTON, VK_RBUTTON};
    for (int i = 0; i < 9; ++i) {
        vec2 lo = at + vec2(i * 18.0, 0);
        if (key(keys[i])) drawBox(hdc, lo, lo + vec2(14, 14), 0x00ff00, 0x008000);
        else drawBox(hdc, lo, lo + vec2(14, 14), 0x404040);
    }
}

} // namespace

void goProgram(HDC hdc, HINSTANCE, float frameTime) {
    static double clock = 0;
    clock += frameTime;
    key(0);
    // Until the menus exist, Escape leaves the test picture.
    if (key(VK_ESCAPE)) sysQuit();

    int w = workRes(true, 1, 0), h = workRes(true, 0, 0);
    double unit = w / 100.0;

    // Lines, thin and wide, in every direction.
    drawFan(hdc, vec2(unit * 12, unit * 12), unit * 9, 1);
    drawFan(hdc, vec2(unit * 32, unit * 12), unit * 9, 3);

    // Boxes: filled, outline only, and with the current colours.
    drawBox(hdc, vec2(unit * 45, unit * 4), vec2(unit * 55, unit * 10), 0xffffff, 0x7f3f00);
    drawBox(hdc, vec2(unit * 57, unit * 10), vec2(unit * 67, unit * 4), 0x00ffff);
    setColor(hdc, 0x0000ff, 0x00007f);
    drawBox(hdc, vec2(unit * 69, unit * 4), vec2(unit * 79, unit * 10));
    endColor(hdc);

    // Circles from a spark's radius of 1.5 up to large, filled and outlined.
    for (int i = 0; i < 8; ++i) {
        double r = 1.5 * std::pow(1.75, i);
        drawCirc(hdc, vec2(unit * (46 + i * 6.5), unit * 18), r, 0xffaf64, 0x402010);
    }

    // Polygons: outline only, filled, and turning ship parts.
    vec2 star[10];
    for (int i = 0; i < 10; ++i)
        star[i] = vec2(unit * 12, unit * 34) + vec2(i * pi / 5 - pi / 2) * (i % 2 ? 3.5 : 8) * unit;
    drawPoly(hdc, star, 10, 0x64afff);
    for (int i = 0; i < 10; ++i) star[i] = star[i] + vec2(unit * 20, 0);
    drawPoly(hdc, star, 10, 0xffffff, 0x206080);
    for (int i = 0; i < 6; ++i) {
        vec2 heading(clock * (0.5 + i * 0.3) + i);
        vec2 scaled[4];
        for (int k = 0; k < 4; ++k) scaled[k] = wing[k] * (unit * (1 + i * 0.6));
        COLORREF side = i % 3 == 0 ? 0x0000ff : i % 3 == 1 ? 0x00ff00 : 0xff0000;
        drawPoly(hdc, vec2(unit * (50 + i * 8), unit * 34), heading, scaled, 4, 0xc0c0c0, side);
    }

    // Pixels: a drifting field, and a path drawn with the current pen.
    for (int i = 0; i < 200; ++i) {
        double x = std::fmod(i * 97.3 + clock * (10 + i % 7) * 4, double(w));
        double y = unit * 46 + std::fmod(i * 53.1, unit * 8);
        drawPixl(hdc, vec2(x, y), RGB(255, 255, 128 + i % 128));
    }
    setLine(hdc, 0, 1, 0x00c0ff);
    drawLine(hdc, vec2(unit * 4, h - unit * 4), vec2(unit * 4, h - unit * 4));
    for (int i = 1; i <= 40; ++i)
        drawLine(hdc, vec2(unit * (4 + i * 2), h - unit * (4 + 3 * std::sin(i * 0.5 + clock))));
    endLine(hdc);

    // Input: lamps for held keys, and a cross-hair at the cursor.
    drawKeyLamps(hdc, vec2(unit * 4, unit * 56));
    vec2 m = mousePos();
    drawLine(hdc, m - vec2(8, 0), m + vec2(9, 0), 0xffffff);
    drawLine(hdc, m - vec2(0, 8), m + vec2(0, 9), 0xffffff);
}
