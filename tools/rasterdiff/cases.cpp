// The raster check's cases: thin and wide lines in every octant and with ties,
// polylines, outlined and filled polygons (convex, concave, self-crossing,
// degenerate), ellipses from 1x1 up and partly off the bitmap, boxes with
// swapped corners, pixels, far-off coordinates, and shapes drawn through the
// game's own drawing calls. Random choices come from a fixed generator of our
// own, not rand, so every system draws the same list.
#include "cases.h"

#include <algorithm>
#include <cstdint>

#include "draw/draw.h"
#include "render/render.h"

namespace {

constexpr int W = 48, H = 40;

struct Random {
    std::uint32_t s = 0x2545F491;
    std::uint32_t next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    int in(int lo, int hi) { return lo + int(next() % std::uint32_t(hi - lo + 1)); }
};

constexpr COLORREF penColour = 0x00ffffff;
constexpr COLORREF brushColour = 0x000080ff;

// Runs a drawing with a pen and a brush of our own selected, then puts the
// context's own back and deletes ours.
void withTools(HDC dc, int penStyle, int penWidth, bool brush, const std::function<void()>& f) {
    HPEN pen = CreatePen(penStyle, penWidth, penColour);
    HBRUSH b = brush ? CreateSolidBrush(brushColour) : nullptr;
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, b ? b : GetStockObject(NULL_BRUSH));
    f();
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    if (b) DeleteObject(b);
}

std::string str(int v) { return std::to_string(v); }

void addLines(std::vector<RasterCase>& out, Random& rnd, int width, const std::string& kind) {
    // Every direction from the centre, including the exact diagonals and the
    // half-way slopes whose pixels are ties.
    const int ends[][2] = {{12, 0},  {12, 3},  {12, 6},  {12, 12}, {6, 12},   {3, 12},
                           {0, 12},  {-3, 12}, {-6, 12}, {-12, 12}, {-12, 6}, {-12, 3},
                           {-12, 0}, {-12, -3}, {-12, -6}, {-12, -12}, {-6, -12}, {-3, -12},
                           {0, -12}, {3, -12}, {6, -12}, {12, -12}, {12, -6}, {12, -3},
                           {4, 1},   {4, 2},   {7, 3},   {2, 4},   {-4, 2},  {0, 0}};
    for (auto& e : ends) {
        int dx = e[0], dy = e[1];
        out.push_back({kind + "-dir" + str(dx) + "," + str(dy), kind, W, H, [=](HDC dc) {
                           withTools(dc, PS_SOLID, width, false, [&] {
                               MoveToEx(dc, 20, 18, nullptr);
                               LineTo(dc, 20 + dx, 18 + dy);
                           });
                       }});
    }
    for (int i = 0; i < 40; ++i) {
        int x0 = rnd.in(-10, W + 10), y0 = rnd.in(-10, H + 10);
        int x1 = rnd.in(-10, W + 10), y1 = rnd.in(-10, H + 10);
        out.push_back({kind + "-random" + str(i), kind, W, H, [=](HDC dc) {
                           withTools(dc, PS_SOLID, width, false, [&] {
                               MoveToEx(dc, x0, y0, nullptr);
                               LineTo(dc, x1, y1);
                               LineTo(dc, x1, y0); // continues from the current position
                           });
                       }});
    }
}

void addPolylines(std::vector<RasterCase>& out, Random& rnd) {
    for (int i = 0; i < 24; ++i) {
        int width = i % 3 == 2 ? 3 : 1;
        std::vector<POINT> pts(std::size_t(rnd.in(2, 6)));
        for (auto& p : pts) p = POINT{rnd.in(-5, W + 5), rnd.in(-5, H + 5)};
        out.push_back({"polyline-" + str(i) + "-w" + str(width), "polyline", W, H, [=](HDC dc) {
                           withTools(dc, PS_SOLID, width, false, [&] {
                               Polyline(dc, pts.data(), int(pts.size()));
                           });
                       }});
    }
}

void addPolygons(std::vector<RasterCase>& out, Random& rnd) {
    auto polygon = [&](const std::string& name, std::vector<POINT> pts, int penStyle, int width) {
        out.push_back({name, "polygon", W, H, [=](HDC dc) {
                           withTools(dc, penStyle, width, true, [&] {
                               Polygon(dc, pts.data(), int(pts.size()));
                           });
                       }});
    };
    // Convex: turned quadrilaterals and triangles with vertices off the grid.
    for (int i = 0; i < 16; ++i) {
        std::vector<POINT> pts(std::size_t(rnd.in(3, 6)));
        int cx = rnd.in(8, W - 8), cy = rnd.in(8, H - 8);
        for (std::size_t k = 0; k < pts.size(); ++k) {
            double a = 6.283185307179586 * double(k) / double(pts.size()) + i * 0.3;
            double r = 4 + i % 12;
            pts[k] = POINT{cx + int(r * __builtin_cos(a)), cy + int(r * __builtin_sin(a))};
        }
        polygon("polygon-convex" + str(i), pts, PS_SOLID, 1);
        polygon("polygon-convex-nopen" + str(i), pts, PS_NULL, 1);
    }
    // Concave and self-crossing: random points.
    for (int i = 0; i < 16; ++i) {
        std::vector<POINT> pts(std::size_t(rnd.in(4, 7)));
        for (auto& p : pts) p = POINT{rnd.in(-4, W + 4), rnd.in(-4, H + 4)};
        polygon("polygon-random" + str(i), pts, PS_SOLID, 1);
        polygon("polygon-random-nopen" + str(i), pts, PS_NULL, 1);
    }
    polygon("polygon-star", {{24, 2}, {29, 16}, {44, 16}, {32, 25}, {37, 38}, {24, 30},
                             {11, 38}, {16, 25}, {4, 16}, {19, 16}}, PS_SOLID, 1);
    polygon("polygon-pentagram", {{24, 2}, {37, 38}, {4, 16}, {44, 16}, {11, 38}}, PS_SOLID, 1);
    polygon("polygon-one-point", {{10, 10}}, PS_SOLID, 1);
    polygon("polygon-two-points", {{5, 5}, {30, 17}}, PS_SOLID, 1);
    polygon("polygon-collinear", {{5, 5}, {15, 10}, {25, 15}}, PS_SOLID, 1);
    polygon("polygon-wide-pen", {{6, 6}, {40, 10}, {30, 34}, {8, 28}}, PS_SOLID, 3);
    polygon("polygon-rect", {{1, 1}, {6, 1}, {6, 4}, {1, 4}}, PS_SOLID, 1);
}

void addEllipses(std::vector<RasterCase>& out) {
    auto ellipse = [&](const std::string& name, int l, int t, int r, int b, int width,
                       bool brush) {
        out.push_back({name, "ellipse", W, H,
                       [=](HDC dc) {
                           withTools(dc, PS_SOLID, width, brush,
                                     [&] { Ellipse(dc, l, t, r, b); });
                       },
                       {std::min(t, b), std::max(t, b) - 1}});
    };
    for (int w = 1; w <= 14; ++w)
        for (int h = 1; h <= 14; ++h)
            ellipse("ellipse-" + str(w) + "x" + str(h), 3, 2, 3 + w, 2 + h, 1, true);
    const int big[][2] = {{20, 20}, {31, 17}, {17, 31}, {40, 36}, {45, 9}, {5, 30}, {3, 8}};
    for (auto& s : big)
        ellipse("ellipse-big-" + str(s[0]) + "x" + str(s[1]), 1, 1, 1 + s[0], 1 + s[1], 1, true);
    ellipse("ellipse-swapped", 30, 25, 10, 5, 1, true);
    ellipse("ellipse-off-left", -10, 5, 12, 27, 1, true);
    ellipse("ellipse-off-corner", 30, 25, 60, 55, 1, true);
    ellipse("ellipse-outline-only", 4, 4, 30, 22, 1, false);
    ellipse("ellipse-wide-pen", 6, 6, 30, 26, 3, true);
    ellipse("ellipse-huge", -3000, -3000, 3060, 3020, 1, true);
}

void addBoxes(std::vector<RasterCase>& out) {
    auto rect = [&](const std::string& name, int l, int t, int r, int b) {
        out.push_back({name, "box", W, H, [=](HDC dc) {
                           withTools(dc, PS_SOLID, 1, true, [&] { Rectangle(dc, l, t, r, b); });
                       }});
    };
    rect("rectangle", 4, 3, 30, 20);
    rect("rectangle-swapped", 30, 20, 4, 3);
    rect("rectangle-1x1", 10, 10, 11, 11);
    rect("rectangle-column", 10, 5, 11, 20);
    rect("rectangle-2x2", 10, 10, 12, 12);
    out.push_back({"fillrect", "box", W, H, [](HDC dc) {
                       HBRUSH b = CreateSolidBrush(brushColour);
                       RECT r{-5, 7, 20, 50};
                       FillRect(dc, &r, b);
                       DeleteObject(b);
                   }});
    // drawBox is a polygon of the four corners, in any order of the corners.
    out.push_back({"drawbox-swapped", "box", W, H, [](HDC dc) {
                       drawBox(dc, vec2(30.7, 25.2), vec2(5.2, 4.9), penColour, brushColour);
                       drawBox(dc, vec2(35, 30), vec2(44, 38), penColour);
                   }});
}

void addPixels(std::vector<RasterCase>& out, Random& rnd) {
    std::vector<POINT> pts(60);
    for (auto& p : pts) p = POINT{rnd.in(-3, W + 3), rnd.in(-3, H + 3)};
    out.push_back({"pixels", "pixel", W, H, [=](HDC dc) {
                       for (std::size_t i = 0; i < pts.size(); ++i)
                           SetPixelV(dc, pts[i].x, pts[i].y, COLORREF(0x10000 * i + 0x40 * i));
                   }});
}

void addFar(std::vector<RasterCase>& out) {
    out.push_back({"far-line", "far", W, H, [](HDC dc) {
                       withTools(dc, PS_SOLID, 1, false, [&] {
                           MoveToEx(dc, -100000, -90000, nullptr);
                           LineTo(dc, 100000, 90017);
                           MoveToEx(dc, 20, 20, nullptr);
                           LineTo(dc, 150000, 21);
                       });
                   }});
    out.push_back({"far-wide-line", "far", W, H, [](HDC dc) {
                       withTools(dc, PS_SOLID, 3, false, [&] {
                           MoveToEx(dc, -50000, 10, nullptr);
                           LineTo(dc, 50000, 30);
                       });
                   }});
    out.push_back({"far-polygon", "far", W, H, [](HDC dc) {
                       const POINT pts[] = {{-100000, -100000}, {100000, -99000}, {20, 30}};
                       withTools(dc, PS_SOLID, 1, true, [&] { Polygon(dc, pts, 3); });
                   }});
    out.push_back({"far-offscreen-shapes", "far", W, H, [](HDC dc) {
                       const POINT pts[] = {{90000, 90000}, {91000, 90000}, {90500, 91000}};
                       withTools(dc, PS_SOLID, 1, true, [&] {
                           Polygon(dc, pts, 3);
                           Ellipse(dc, -90000, -90000, -80000, -80000);
                       });
                   }});
}

// Shapes drawn as the game draws them: tiny circles at fractional positions
// (sparks and shots) and turned part-like polygons with their own colours.
void addGameCalls(std::vector<RasterCase>& out, Random& rnd) {
    for (int i = 0; i < 12; ++i) {
        double x = rnd.in(0, 4000) / 100.0, y = rnd.in(0, 3200) / 100.0;
        double r = 0.5 + (i % 6) * 0.75;
        out.push_back({"game-circle" + str(i), "game", W, H,
                       [=](HDC dc) { drawCirc(dc, vec2(x, y), r, highlightColour, 0x3264c8); }});
    }
    const vec2 plate[] = {vec2(-6, -4), vec2(5, -5), vec2(7, 3), vec2(-1, 6), vec2(-7, 2)};
    for (int i = 0; i < 16; ++i) {
        double heading = i * 0.41, scale = 0.6 + (i % 4) * 0.5;
        vec2 scaled[5];
        for (int k = 0; k < 5; ++k) scaled[k] = plate[k] * scale * 2;
        vec2 at(rnd.in(1000, 3800) / 100.0, rnd.in(1000, 3000) / 100.0);
        out.push_back({"game-part" + str(i), "game", W, H, [=](HDC dc) {
                           drawPoly(dc, at, vec2(heading), scaled, 5, 0xc0c0c0, 0x0000ff);
                           drawPoly(dc, at + vec2(3, 2), vec2(-heading), scaled, 5, 0x00ff00);
                       }});
    }
}

// Text in the game's own font, at the sizes the screens use.
void addText(std::vector<RasterCase>& out) {
    const char* lines[] = {"abcdefghijklm", "nopqrstuvwxyz", "0123456789", "()*+,-./:=?_!'"};
    const float sizes[] = {1, 2, 2.5f};
    for (int i = 0; i < 4; ++i)
        for (float size : sizes) {
            const char* text = lines[i];
            out.push_back({"text-" + str(i) + "-size" + str(int(size * 10)), "text", 112, 40,
                           [=](HDC dc) {
                               setLine(dc, 0, 1, textColour);
                               drawText(dc, vec2(3, 3), 3, 110, size, text);
                               endLine(dc);
                           }});
        }
}

// Every part shape in the three colour modes, turned, as ships, debris and the
// status panel draw them.
void addParts(std::vector<RasterCase>& out) {
    const int rows[][2] = {{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6},
                           {2, 0}, {2, 1}, {3, 0}, {3, 1}, {3, 2}};
    for (auto& r : rows)
        for (int mode = 0; mode < 3; ++mode) {
            int kind = r[0], index = r[1];
            out.push_back({"part-" + str(kind) + "-" + str(index) + "-mode" + str(mode), "part",
                           W, H, [=](HDC dc) {
                               drawPart(dc, vec2(24.3, 20.6), vec2(0.4 + mode), 0.7f, kind,
                                        index, false, mode, mode == 0 ? 2.1f : 0.6f);
                           }});
        }
    out.push_back({"part-base", "part", 96, 96, [](HDC dc) {
                       ship base(vec2(0, 0), typeBase, sideGreen, true);
                       base.dir = vec2(0.3);
                       drawShip(dc, base, vec2(48.5, 47.2), 0.7f);
                   }});
}

} // namespace

std::vector<RasterCase> rasterCases() {
    std::vector<RasterCase> out;
    Random rnd;
    addLines(out, rnd, 1, "line1");
    addLines(out, rnd, 3, "line3");
    addPolylines(out, rnd);
    addPolygons(out, rnd);
    addEllipses(out);
    addBoxes(out);
    addPixels(out, rnd);
    addFar(out);
    addGameCalls(out, rnd);
    addText(out);
    addParts(out);
    return out;
}
