// The pen and brush caches and the drawing calls built on them.
#include <vector>

#include "draw/draw.h"

namespace {

// Polygon and polyline points, converted for GDI: on the stack for the small
// shapes the game draws, on the heap only for unusually long ones.
class PointBuffer {
public:
    explicit PointBuffer(int n) {
        if (n > inlineCount) {
            heap_.resize(std::size_t(n));
            data_ = heap_.data();
        }
    }
    POINT& operator[](int i) { return data_[i]; }
    const POINT* data() const { return data_; }

private:
    static constexpr int inlineCount = 64;
    POINT inline_[inlineCount];
    std::vector<POINT> heap_;
    POINT* data_ = inline_;
};

// Converts n points (through the local frame, when given) and closes the
// figure with its first point when asked to, for an outline-only polyline.
template <typename Transform>
void paintPoints(HDC hdc, const vec2* pts, int n, bool outlineOnly, Transform at) {
    if (n <= 0 || !pts) return;
    PointBuffer buffer(n + 1);
    for (int i = 0; i < n; ++i) buffer[i] = vec2POINT(at(pts[i]));
    if (outlineOnly) {
        buffer[n] = buffer[0];
        Polyline(hdc, buffer.data(), n + 1);
    } else {
        Polygon(hdc, buffer.data(), n);
    }
}

vec2 same(vec2 p) { return p; }

struct Frame {
    vec2 origin, axis;
    vec2 operator()(vec2 p) const { return retvec2(origin, axis, p); }
};

void corners(vec2 a, vec2 b, vec2* out) {
    out[0] = a;
    out[1] = vec2(b.x, a.y);
    out[2] = b;
    out[3] = vec2(a.x, b.y);
}

} // namespace

void setLine(HDC hdc, int style, int width, COLORREF colour, bool release) {
    static bool init = true;
    static HPEN hPn = nullptr;
    static HGDIOBJ oPn = nullptr;
    if (init) {
        hPn = CreatePen(style, width, colour);
        oPn = SelectObject(hdc, hPn);
        init = false;
        return;
    }
    SelectObject(hdc, oPn);
    if (hPn) {
        DeleteObject(hPn);
        hPn = nullptr;
    }
    if (release) return;
    hPn = CreatePen(style, width, colour);
    oPn = SelectObject(hdc, hPn);
}

void setLine(HDC hdc, int style, int width, COLORREF colour) {
    setLine(hdc, style, width, colour, false);
}

void endLine(HDC hdc) { setLine(hdc, 0, 1, 0, true); }

void setFill(HDC hdc, COLORREF colour, bool release) {
    static bool init = true;
    static HBRUSH hBr = nullptr;
    static HGDIOBJ oBr = nullptr;
    if (init) {
        hBr = CreateSolidBrush(colour);
        oBr = SelectObject(hdc, hBr);
        init = false;
        return;
    }
    SelectObject(hdc, oBr);
    if (hBr) {
        DeleteObject(hBr);
        hBr = nullptr;
    }
    if (release) return;
    hBr = CreateSolidBrush(colour);
    oBr = SelectObject(hdc, hBr);
}

void setFill(HDC hdc, COLORREF colour) { setFill(hdc, colour, false); }

void endFill(HDC hdc) { setFill(hdc, 0xffffff, true); }

void setColor(HDC hdc, COLORREF line, COLORREF fill) {
    setLine(hdc, 0, 1, line);
    setFill(hdc, fill);
}

void setColor(HDC hdc, COLORREF line, int style, int width, COLORREF fill) {
    setLine(hdc, style, width, line);
    setFill(hdc, fill);
}

void endColor(HDC hdc) {
    endLine(hdc);
    endFill(hdc);
}

void drawPixl(HDC hdc, vec2 p, COLORREF c) { SetPixelV(hdc, truncCoord(p.x), truncCoord(p.y), c); }

void drawCirc(HDC hdc, vec2 c, double r) {
    Ellipse(hdc, truncCoord(c.x - r), truncCoord(c.y - r), truncCoord(c.x + r),
            truncCoord(c.y + r));
}

void drawCirc(HDC hdc, vec2 c, double r, COLORREF line, COLORREF fill) {
    setColor(hdc, line, fill);
    drawCirc(hdc, c, r);
    endColor(hdc);
}

void drawLine(HDC hdc, vec2 a, vec2 b) {
    POINT p = vec2POINT(a);
    MoveToEx(hdc, p.x, p.y, nullptr);
    drawLine(hdc, b);
}

void drawLine(HDC hdc, vec2 a, vec2 b, COLORREF c) { drawLine(hdc, a, b, c, 1); }

void drawLine(HDC hdc, vec2 a, vec2 b, COLORREF c, int width) {
    setLine(hdc, 0, width, c);
    drawLine(hdc, a, b);
    endLine(hdc);
}

void drawLine(HDC hdc, vec2 b) {
    POINT p = vec2POINT(b);
    LineTo(hdc, p.x, p.y);
}

void drawLine(HDC hdc, vec2 b, COLORREF c) { drawLine(hdc, b, c, 1); }

void drawLine(HDC hdc, vec2 b, COLORREF c, int width) {
    setLine(hdc, 0, width, c);
    drawLine(hdc, b);
    endLine(hdc);
}

void drawBox(HDC hdc, vec2 a, vec2 b) {
    vec2 pts[4];
    corners(a, b, pts);
    drawPoly(hdc, pts, 4);
}

void drawBox(HDC hdc, vec2 a, vec2 b, COLORREF c) {
    vec2 pts[4];
    corners(a, b, pts);
    drawPoly(hdc, pts, 4, c);
}

void drawBox(HDC hdc, vec2 a, vec2 b, COLORREF line, COLORREF fill) {
    vec2 pts[4];
    corners(a, b, pts);
    drawPoly(hdc, pts, 4, line, fill);
}

void drawPoly(HDC hdc, const vec2* pts, int n) { paintPoints(hdc, pts, n, false, same); }

void drawPoly(HDC hdc, const vec2* pts, int n, COLORREF c) {
    setLine(hdc, 0, 1, c);
    paintPoints(hdc, pts, n, true, same);
    endLine(hdc);
}

void drawPoly(HDC hdc, const vec2* pts, int n, COLORREF line, COLORREF fill) {
    setColor(hdc, line, fill);
    paintPoints(hdc, pts, n, false, same);
    endColor(hdc);
}

void drawPoly(HDC hdc, vec2 origin, vec2 axis, const vec2* pts, int n) {
    paintPoints(hdc, pts, n, false, Frame{origin, axis});
}

void drawPoly(HDC hdc, vec2 origin, vec2 axis, const vec2* pts, int n, COLORREF c) {
    setLine(hdc, 0, 1, c);
    paintPoints(hdc, pts, n, true, Frame{origin, axis});
    endLine(hdc);
}

void drawPoly(HDC hdc, vec2 origin, vec2 axis, const vec2* pts, int n, COLORREF line,
              COLORREF fill) {
    setColor(hdc, line, fill);
    paintPoints(hdc, pts, n, false, Frame{origin, axis});
    endColor(hdc);
}
