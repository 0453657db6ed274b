// Our software GDI's drawing calls: they paint exactly the pixels GDI paints on
// a 32-bit memory bitmap (the rules are those of Windows and Wine: end pixel of a
// thin line left out, right column and bottom row of a box left out, polygons
// filled by the alternate rule), choosing pixels first and clipping after, and
// touching only the rows and columns that lie on the bitmap.
#include <algorithm>
#include <cstring>
#include <vector>

#include "gdi/gdi_internal.h"
#include "gdi/surface.h"

namespace {

using i64 = std::int64_t;
using i128 = __int128;

struct Target {
    std::uint32_t* px;
    int w, h;
    void plot(i64 x, i64 y, std::uint32_t c) const {
        if (x >= 0 && y >= 0 && x < w && y < h) px[y * w + x] = c;
    }
    // Pixels [x0, x1] of row y, clipped.
    void span(i64 y, i64 x0, i64 x1, std::uint32_t c) const {
        if (y < 0 || y >= h) return;
        x0 = std::max<i64>(x0, 0);
        x1 = std::min<i64>(x1, w - 1);
        if (x0 > x1) return;
        std::uint32_t* row = px + y * w;
        std::fill(row + x0, row + x1 + 1, c);
    }
};

i64 floorDiv(i64 a, i64 b) { // b > 0
    i64 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
i64 ceilDiv(i64 a, i64 b) { return -floorDiv(-a, b); }

struct Pt {
    i64 x, y;
};

Pt clampPt(int x, int y) { return Pt{clampCoord(x), clampCoord(y)}; }

// A 1-pixel line from a towards b, b itself left out. One pixel per step of the
// major axis; the minor coordinate is the nearest integer to the true line, an
// exact half going to the smaller coordinate whichever way the line is drawn.
void thinLine(const Target& t, Pt a, Pt b, std::uint32_t c) {
    i64 dx = b.x - a.x, dy = b.y - a.y;
    if (dx == 0 && dy == 0) return;
    bool xMajor = (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy);
    // Work in (major, minor) coordinates.
    i64 a0 = xMajor ? a.x : a.y, a1 = xMajor ? a.y : a.x;
    i64 b0 = xMajor ? b.x : b.y, b1 = xMajor ? b.y : b.x;
    i64 limit = xMajor ? t.w : t.h;
    // The closed form runs from the end with the smaller major coordinate.
    i64 s0 = std::min(a0, b0), s1 = a0 < b0 ? a1 : b1;
    i64 D = (a0 < b0 ? b0 - a0 : a0 - b0);
    i64 M = (a0 < b0 ? b1 - a1 : a1 - b1);
    i64 first = a0 < b0 ? a0 : b0 + 1; // painted major range, inclusive
    i64 last = a0 < b0 ? b0 - 1 : a0;
    first = std::max<i64>(first, 0);
    last = std::min<i64>(last, limit - 1);
    for (i64 m = first; m <= last; ++m) {
        i64 n = s1 + floorDiv(2 * (m - s0) * M + D - 1, 2 * D);
        if (xMajor) t.plot(m, n, c);
        else t.plot(n, m, c);
    }
}

// The round end of a wide stroke: pixels within (width-1)/2 of p; the plus for width 3.
void nib(const Target& t, Pt p, int width, std::uint32_t c) {
    i64 r = (width - 1) / 2;
    i64 r2x4 = i64(width - 1) * (width - 1);
    for (i64 dy = -r; dy <= r; ++dy) {
        i64 dx = 0;
        while (4 * ((dx + 1) * (dx + 1) + dy * dy) <= r2x4) ++dx;
        if (4 * dy * dy <= r2x4) t.span(p.y + dy, p.x - dx, p.x + dx, c);
    }
}

// The body of a wide segment: pixel centres within width/2 of the line through
// a and b, between the perpendiculars at a and b. Tested exactly per pixel, but
// only over the few columns of each visible row that can pass.
void wideBody(const Target& t, Pt a, Pt b, int width, std::uint32_t c) {
    i64 dx = b.x - a.x, dy = b.y - a.y;
    i64 len2 = dx * dx + dy * dy;
    if (len2 == 0) return;
    i128 bound = i128(width) * width * len2; // 4c^2 <= W^2 L^2
    double len = __builtin_sqrt(double(len2));
    double reach = width / 2.0 + 1;
    i64 yLo = std::max<i64>(std::min(a.y, b.y) - width, 0);
    i64 yHi = std::min<i64>(std::max(a.y, b.y) + width, t.h - 1);
    for (i64 y = yLo; y <= yHi; ++y) {
        // Columns where the row meets the widened segment, found in floating
        // point with a margin, then decided exactly.
        double lo = -1e300, hi = 1e300;
        double ry = double(y - a.y);
        auto within = [&](double coef, double offset, double r0, double r1) {
            // r0 <= coef * (x - a.x) + offset <= r1
            if (coef == 0) {
                if (offset < r0 || offset > r1) lo = 1, hi = 0;
                return;
            }
            double u = (r0 - offset) / coef, v = (r1 - offset) / coef;
            if (u > v) std::swap(u, v);
            lo = std::max(lo, u);
            hi = std::min(hi, v);
        };
        within(double(dy), -ry * double(dx), -reach * len, reach * len); // c
        within(double(dx), ry * double(dy), -len, double(len2) + len);  // d
        if (lo > hi) continue;
        i64 x0 = std::max<i64>(i64(std::max(lo + double(a.x), -1e18)) - 2, 0);
        i64 x1 = std::min<i64>(i64(std::min(hi + double(a.x), 1e18)) + 2, t.w - 1);
        std::uint32_t* row = t.px + y * t.w;
        for (i64 x = x0; x <= x1; ++x) {
            i128 cc = i128(x - a.x) * dy - i128(y - a.y) * dx;
            i128 d = i128(x - a.x) * dx + i128(y - a.y) * dy;
            if (4 * cc * cc <= bound && d >= 0 && d <= len2) row[x] = c;
        }
    }
}

bool visiblePen(const GdiObject* pen) { return pen && pen->style != PS_NULL; }

// One segment of a stroke with the context's pen; wide pens add their round
// ends separately (strokePath), thin lines leave out b.
void strokeSegment(const Target& t, const GdiObject* pen, Pt a, Pt b) {
    std::uint32_t c = pixelOf(pen->colour);
    if (pen->width <= 1) thinLine(t, a, b, c);
    else wideBody(t, a, b, pen->width, c);
}

// A path of segments p[0]-p[1]-...; a wide pen rounds every vertex.
void strokePath(const Target& t, const GdiObject* pen, const Pt* p, int n) {
    if (!visiblePen(pen)) return;
    for (int i = 0; i + 1 < n; ++i) strokeSegment(t, pen, p[i], p[i + 1]);
    if (pen->width > 1)
        for (int i = 0; i < n; ++i) nib(t, p[i], pen->width, pixelOf(pen->colour));
}

bool targetOf(HDC handle, Target& t, HDC__*& dc) {
    dc = liveDC(handle);
    if (!dc) return false;
    GdiObject* b = dc->bitmap;
    t = Target{b->pixels.data(), b->bmWidth, b->bmHeight};
    return true;
}

// Point lists of polygons and polylines: on the stack for the small shapes the
// game draws, on the heap beyond that.
struct Points {
    Pt small[32];
    std::vector<Pt> large;
    Pt* p;
    Points(const POINT* src, int n, bool close) {
        int total = n + (close ? 1 : 0);
        if (total <= 32) p = small;
        else {
            large.resize(std::size_t(total));
            p = large.data();
        }
        for (int i = 0; i < n; ++i) p[i] = clampPt(src[i].x, src[i].y);
        if (close) p[n] = p[0];
    }
};

// Alternate-rule fill: on each row every non-horizontal edge with ya <= y < yb
// crosses at ceil(x); pixels from each odd crossing up to the next are filled.
void fillPolygon(const Target& t, const Pt* p, int n, std::uint32_t c) {
    i64 yMin = p[0].y, yMax = p[0].y, xMin = p[0].x, xMax = p[0].x;
    for (int i = 1; i < n; ++i) {
        yMin = std::min(yMin, p[i].y), yMax = std::max(yMax, p[i].y);
        xMin = std::min(xMin, p[i].x), xMax = std::max(xMax, p[i].x);
    }
    if (xMax < 0 || xMin >= t.w) return;
    i64 y0 = std::max<i64>(yMin, 0), y1 = std::min<i64>(yMax - 1, t.h - 1);
    i64 smallCross[32];
    std::vector<i64> largeCross;
    i64* cross = smallCross;
    if (n > 32) {
        largeCross.resize(std::size_t(n));
        cross = largeCross.data();
    }
    for (i64 y = y0; y <= y1; ++y) {
        int k = 0;
        for (int i = 0; i < n; ++i) {
            Pt u = p[i], v = p[(i + 1) % n];
            if (u.y == v.y) continue;
            if (u.y > v.y) std::swap(u, v);
            if (y < u.y || y >= v.y) continue;
            i64 den = v.y - u.y;
            cross[k++] = ceilDiv(u.x * den + (y - u.y) * (v.x - u.x), den);
        }
        std::sort(cross, cross + k);
        for (int i = 0; i + 1 < k; i += 2) t.span(y, cross[i], cross[i + 1] - 1, c);
    }
}

// The outline and interior of an ellipse in the box [l, r) x [t, b) by the
// integer midpoint walk GDI's engine uses; the brush fills each row between
// its outermost outline pixels, then the pen paints the outline.
void ellipse(const Target& tg, const GdiObject* pen, const GdiObject* brush, i64 l, i64 t,
             i64 r, i64 b) {
    i64 W = r - l, H = b - t;
    i64 A = W - 1, B = H - 1, o = B % 2;
    i64 vStart = H / 2;
    // Per row offset v from the top of the lower half: the outline's columns [uLo, uHi].
    std::vector<i64> uLo(std::size_t(B - vStart + 1), -1), uHi(uLo.size(), -1);
    i64 u = A, v = vStart;
    i64 ex = 4 * B * B * (1 - A), ey = 4 * A * A * (1 + o), e = ex + ey + A * A * o;
    while (u >= W / 2) {
        std::size_t row = std::size_t(v - vStart);
        if (row < uLo.size()) {
            if (uHi[row] < 0) uHi[row] = u;
            uLo[row] = u;
        }
        i64 s = 2 * e;
        if (s >= ex) {
            u -= 1;
            ex += 8 * B * B;
            e += ex;
        }
        if (s <= ey) {
            v += 1;
            ey += 8 * A * A;
            e += ey;
        }
    }
    bool drawPen = visiblePen(pen);
    std::uint32_t penPx = drawPen ? pixelOf(pen->colour) : 0;
    bool drawBrush = brush && brush->style != PS_NULL;
    std::uint32_t brushPx = drawBrush ? pixelOf(brush->colour) : 0;
    for (std::size_t i = 0; i < uLo.size(); ++i) {
        if (uHi[i] < 0) continue; // rows the walk did not reach stay empty
        i64 vv = vStart + i64(i);
        i64 rows[2] = {t + vv, t + B - vv};
        for (int k = 0; k < (rows[0] == rows[1] ? 1 : 2); ++k) {
            i64 y = rows[k];
            if (drawBrush) tg.span(y, l + A - uHi[i], l + uHi[i], brushPx);
            if (drawPen) {
                if (pen->width > 1) {
                    for (i64 x = uLo[i]; x <= uHi[i]; ++x) {
                        nib(tg, Pt{l + x, y}, pen->width, penPx);
                        nib(tg, Pt{l + A - x, y}, pen->width, penPx);
                    }
                } else {
                    tg.span(y, l + uLo[i], l + uHi[i], penPx);
                    tg.span(y, l + A - uHi[i], l + A - uLo[i], penPx);
                }
            }
        }
    }
}

// Ellipses too large for the walk (far beyond any screen) are drawn from the
// curve the walk follows, over the visible rows only: the ellipse through the
// centres of the box's edge pixels. A row's outline is where the curve passes
// through the row's band of height 1, and the brush fills between its ends.
void hugeEllipse(const Target& tg, const GdiObject* pen, const GdiObject* brush, i64 l, i64 t,
                 i64 r, i64 b) {
    double ax = (r - l - 1) / 2.0, ay = (b - t - 1) / 2.0;
    double cx = double(l) + ax, cy = double(t) + ay;
    auto halfWidth = [&](double dy) { // of the curve at height dy from the centre
        double q = 1 - (dy / ay) * (dy / ay);
        return q > 0 ? ax * __builtin_sqrt(q) : -1.0;
    };
    bool drawPen = visiblePen(pen), drawBrush = brush && brush->style != PS_NULL;
    i64 y0 = std::max<i64>(t, 0), y1 = std::min<i64>(b - 1, tg.h - 1);
    for (i64 y = y0; y <= y1; ++y) {
        double d = __builtin_fabs(double(y) - cy);
        double outer = halfWidth(std::max(d - 0.5, 0.0)), inner = halfWidth(d + 0.5);
        if (outer < 0) continue;
        i64 left = std::max(l, i64(__builtin_ceil(cx - outer - 0.5)));
        i64 right = std::min(r - 1, i64(__builtin_floor(cx + outer + 0.5)));
        if (drawBrush) tg.span(y, left, right, pixelOf(brush->colour));
        if (!drawPen) continue;
        std::uint32_t c = pixelOf(pen->colour);
        if (inner < 0) {
            tg.span(y, left, right, c);
            continue;
        }
        tg.span(y, left, std::max(left, i64(__builtin_ceil(cx - inner - 0.5))), c);
        tg.span(y, std::min(right, i64(__builtin_floor(cx + inner + 0.5))), right, c);
    }
}

void order(int& lo, int& hi) {
    if (lo > hi) std::swap(lo, hi);
}

} // namespace

BOOL MoveToEx(HDC handle, int x, int y, POINT* previous) {
    HDC__* dc = liveDC(handle);
    if (!dc) return 0;
    if (previous) *previous = dc->cp;
    dc->cp = POINT{x, y};
    return 1;
}

BOOL LineTo(HDC handle, int x, int y) {
    Target t;
    HDC__* dc;
    if (!targetOf(handle, t, dc)) return 0;
    Pt p[2] = {clampPt(dc->cp.x, dc->cp.y), clampPt(x, y)};
    strokePath(t, dc->pen, p, 2);
    dc->cp = POINT{x, y};
    return 1;
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
    Target t;
    HDC__* dc;
    if (!targetOf(handle, t, dc) || !points || count < 2) return 0;
    Points p(points, count, false);
    strokePath(t, dc->pen, p.p, count);
    return 1;
}

BOOL Polygon(HDC handle, const POINT* points, int count) {
    Target t;
    HDC__* dc;
    if (!targetOf(handle, t, dc) || !points || count < 2) return 0;
    Points p(points, count, true);
    if (dc->brush->style != PS_NULL) fillPolygon(t, p.p, count, pixelOf(dc->brush->colour));
    strokePath(t, dc->pen, p.p, count + 1);
    return 1;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
    Target t;
    HDC__* dc;
    if (!targetOf(handle, t, dc)) return 0;
    order(left, right);
    order(top, bottom);
    Pt lt = clampPt(left, top), rb = clampPt(right, bottom);
    if (lt.x == rb.x || lt.y == rb.y) return 1;
    bool pen = visiblePen(dc->pen);
    if (dc->brush->style != PS_NULL) {
        // Strictly inside the outline; without a pen, one pixel less at right and bottom.
        i64 inset = pen ? 1 : 0;
        std::uint32_t c = pixelOf(dc->brush->colour);
        for (i64 y = std::max<i64>(lt.y + inset, 0); y <= std::min<i64>(rb.y - 2, t.h - 1); ++y)
            t.span(y, lt.x + inset, rb.x - 2, c);
    }
    Pt outline[5] = {lt, {rb.x - 1, lt.y}, {rb.x - 1, rb.y - 1}, {lt.x, rb.y - 1}, lt};
    strokePath(t, dc->pen, outline, 5);
    return 1;
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
    Target t;
    HDC__* dc;
    if (!targetOf(handle, t, dc)) return 0;
    order(left, right);
    order(top, bottom);
    Pt lt = clampPt(left, top), rb = clampPt(right, bottom);
    i64 w = rb.x - lt.x, h = rb.y - lt.y;
    if (w == 0 || h == 0) return 1;
    if (w <= 2 || h <= 2) return Rectangle(handle, left, top, right, bottom);
    i64 reach = dc->pen->width; // a wide outline spills past the box
    if (rb.x + reach < 0 || lt.x - reach >= t.w || rb.y + reach < 0 || lt.y - reach >= t.h)
        return 1;
    if (w + h > (i64(1) << 17)) hugeEllipse(t, dc->pen, dc->brush, lt.x, lt.y, rb.x, rb.y);
    else ellipse(t, dc->pen, dc->brush, lt.x, lt.y, rb.x, rb.y);
    return 1;
}

BOOL SetPixelV(HDC handle, int x, int y, COLORREF colour) {
    Target t;
    HDC__* dc;
    if (!targetOf(handle, t, dc)) return 0;
    if (x < 0 || y < 0 || x >= t.w || y >= t.h) return 0;
    t.px[std::size_t(y) * t.w + x] = pixelOf(colour);
    return 1;
}

COLORREF GetPixel(HDC handle, int x, int y) {
    Target t;
    HDC__* dc;
    if (!targetOf(handle, t, dc)) return CLR_INVALID;
    if (x < 0 || y < 0 || x >= t.w || y >= t.h) return CLR_INVALID;
    return colourOf(t.px[std::size_t(y) * t.w + x]);
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brush) {
    Target t;
    HDC__* dc;
    GdiObject* b = liveObject(brush, GdiObject::brush);
    if (!targetOf(handle, t, dc) || !rect || !b) return 0;
    if (b->style == PS_NULL) return 1;
    // An inverted rectangle is empty.
    i64 x0 = std::max(rect->left, 0), x1 = std::min(rect->right, t.w);
    i64 y0 = std::max(rect->top, 0), y1 = std::min(rect->bottom, t.h);
    std::uint32_t c = pixelOf(b->colour);
    for (i64 y = y0; y < y1; ++y) t.span(y, x0, x1 - 1, c);
    return 1;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            DWORD rop) {
    Target d, s;
    HDC__* ddc;
    HDC__* sdc;
    if (!targetOf(dst, d, ddc) || !targetOf(src, s, sdc) || rop != SRCCOPY) return 0;
    // Clip the rectangle against both bitmaps, moving source and destination together.
    i64 w = width, h = height, dx = x, dy = y, sx = srcX, sy = srcY;
    if (dx < 0) w += dx, sx -= dx, dx = 0;
    if (dy < 0) h += dy, sy -= dy, dy = 0;
    if (sx < 0) w += sx, dx -= sx, sx = 0;
    if (sy < 0) h += sy, dy -= sy, sy = 0;
    w = std::min({w, i64(d.w) - dx, i64(s.w) - sx});
    h = std::min({h, i64(d.h) - dy, i64(s.h) - sy});
    if (w <= 0 || h <= 0) return 1;
    // Rows in the order that keeps an overlapping copy right, like memmove.
    bool upward = d.px == s.px && dy > sy;
    for (i64 i = 0; i < h; ++i) {
        i64 row = upward ? h - 1 - i : i;
        std::memmove(d.px + (dy + row) * d.w + dx, s.px + (sy + row) * s.w + sx,
                     std::size_t(w) * sizeof(std::uint32_t));
    }
    return 1;
}
