// The vector font: the glyph table of line strokes, and text, whole numbers
// and decimals drawn with it in the current pen.
#include <array>
#include <string>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "draw/draw.h"

namespace {

// A point of the glyph grid: x from 0 to 2 (-0.5 to 2.5 for ',' and '_'),
// y from 0 at the top to 4 at the base line.
struct GridPoint {
    double x, y;
};

// Where the last point of a stroke is moved, in whole pixels whatever the
// size, so that the pixel a line leaves out at its end is painted after all.
// Strokes that end on another stroke stay where they are.
struct Push {
    int dx, dy;
};
constexpr Push kStay{0, 0};
constexpr Push kRight{1, 0};
constexpr Push kLeft{-1, 0};
constexpr Push kDown{0, 1};
constexpr Push kUp{0, -1};
constexpr Push kDownRight{1, 1};
constexpr Push kDownLeft{-1, 1};
constexpr Push kUpRight{1, -1};

constexpr int kMaxPoints = 9;
constexpr int kMaxStrokes = 4;

// One polyline of a glyph.
struct Stroke {
    int count = 0;
    GridPoint points[kMaxPoints] = {};
    Push push = kStay;

    constexpr Stroke() = default;
    template <std::size_t N>
    constexpr Stroke(const GridPoint (&pts)[N], Push end = kStay) : count(int(N)), push(end) {
        static_assert(N >= 2 && N <= kMaxPoints, "a stroke has 2 to 9 points");
        for (std::size_t i = 0; i < N; ++i) points[i] = pts[i];
    }
};

struct Glyph {
    unsigned char ch = 0;
    int advance = 4;
    int count = 0;
    Stroke strokes[kMaxStrokes] = {};

    constexpr Glyph(unsigned char c, int adv) : ch(c), advance(adv) {}
    template <std::size_t N>
    constexpr Glyph(unsigned char c, int adv, const Stroke (&s)[N])
        : ch(c), advance(adv), count(int(N)) {
        static_assert(N <= kMaxStrokes, "a glyph has at most 4 strokes");
        for (std::size_t i = 0; i < N; ++i) strokes[i] = s[i];
    }
};

// The font. Entry 0 is the box drawn for every byte the font has no glyph for.
// clang-format off
constexpr Glyph kGlyphs[] = {
    {0,   4, {{{{0, 2}, {2, 2}, {2, 4}, {0, 4}, {0, 2}}}}},
    {' ', 2},
    {'!', 2, {{{{0, 0}, {0, 2.5}}, kDown}, {{{0, 3.5}, {0, 4}}, kDown}}},
    {'\'', 2, {{{{0, 0}, {0, 0.5}}, kDown}}},
    {'(', 3, {{{{1, 0}, {0, 1}, {0, 3}, {1, 4}}, kDownRight}}},
    {')', 3, {{{{0, 0}, {1, 1}, {1, 3}, {0, 4}}, kDownLeft}}},
    {'*', 4, {{{{0, 2}, {2, 2}}, kRight}, {{{1, 1}, {1, 3}}, kDown},
              {{{0, 1}, {2, 3}}, kDownRight}, {{{2, 1}, {0, 3}}, kDownLeft}}},
    {'+', 4, {{{{0, 2}, {2, 2}}, kRight}, {{{1, 1}, {1, 3}}, kDown}}},
    {',', 2, {{{{0, 2.5}, {-0.5, 4}}, kDown}}},
    {'-', 4, {{{{0, 2}, {2, 2}}, kRight}}},
    {'.', 2, {{{{0, 3.5}, {0, 4}}, kDown}}},
    {'/', 4, {{{{2, 0}, {0, 4}}, kDownLeft}}},
    {'0', 4, {{{{0, 0}, {2, 0}, {2, 4}, {0, 4}, {0, 0}, {2, 4}}}}},
    {'1', 3, {{{{1, 4}, {1, 0}, {0, 1}}, kDownLeft}}},
    {'2', 4, {{{{0, 0}, {2, 0}, {2, 2}, {0, 4}, {2, 4}}, kRight}}},
    {'3', 4, {{{{0, 0}, {2, 0}, {2, 4}, {0, 4}}, kLeft}, {{{0, 2}, {2, 2}}}}},
    {'4', 4, {{{{1, 0}, {0, 2}, {2, 2}}}, {{{2, 0}, {2, 4}}, kDown}}},
    {'5', 4, {{{{2, 0}, {0, 0}, {0, 2}, {2, 3}, {2, 4}, {0, 4}}, kLeft}}},
    {'6', 4, {{{{2, 0}, {0, 0}, {0, 4}, {2, 4}, {2, 2}, {0, 2}}}}},
    {'7', 4, {{{{0, 0}, {2, 0}, {1, 4}}, kDownLeft}}},
    {'8', 4, {{{{0, 0}, {2, 0}, {2, 4}, {0, 4}, {0, 0}}}, {{{0, 2}, {2, 2}}}}},
    {'9', 4, {{{{0, 4}, {2, 4}, {2, 0}, {0, 0}, {0, 2}, {2, 2}}}}},
    {':', 2, {{{{0, 0}, {0, 0.5}}, kDown}, {{{0, 3.5}, {0, 4}}, kDown}}},
    {'=', 4, {{{{0, 1}, {2, 1}}, kRight}, {{{0, 3}, {2, 3}}, kRight}}},
    // A hook from the upper left round to a short stem, and a dot under it.
    {'?', 4, {{{{0, 1}, {0, 0}, {2, 0}, {2, 2}, {1, 2}, {1, 2.5}}, kDown},
              {{{1, 3.5}, {1, 4}}, kDown}}},
    {'_', 4, {{{{-0.5, 4}, {2.5, 4}}, kRight}}},
    {'a', 4, {{{{0, 4}, {0, 0}, {2, 0}, {2, 4}}, kDown}, {{{0, 2}, {2, 2}}}}},
    {'b', 4, {{{{0, 2}, {1, 2}, {2, 1}, {2, 0}, {0, 0}, {0, 4}, {2, 4}, {2, 3}, {1, 2}}}}},
    {'c', 4, {{{{2, 0}, {0, 0}, {0, 4}, {2, 4}}, kRight}}},
    {'d', 4, {{{{0, 0}, {0, 4}, {1, 4}, {2, 3}, {2, 1}, {1, 0}, {0, 0}}}}},
    {'e', 4, {{{{2, 0}, {0, 0}, {0, 4}, {2, 4}}, kRight}, {{{2, 2}, {0, 2}}}}},
    {'f', 4, {{{{2, 0}, {0, 0}, {0, 4}}, kDown}, {{{2, 2}, {0, 2}}}}},
    {'g', 4, {{{{2, 0}, {0, 0}, {0, 4}, {2, 4}, {2, 2}, {1, 2}}, kLeft}}},
    {'h', 4, {{{{0, 0}, {0, 4}}, kDown}, {{{2, 0}, {2, 4}}, kDown}, {{{0, 2}, {2, 2}}}}},
    {'i', 2, {{{{0, 0}, {0, 4}}, kDown}}},
    {'j', 4, {{{{2, 0}, {2, 4}, {0, 4}, {0, 2}}, kUp}}},
    {'k', 4, {{{{0, 0}, {0, 4}}, kDown}, {{{2, 0}, {0, 2}, {2, 4}}, kDownRight}}},
    {'l', 4, {{{{0, 0}, {0, 4}, {2, 4}}, kRight}}},
    {'m', 4, {{{{0, 4}, {0, 0}, {1, 2}, {2, 0}, {2, 4}}, kDown}}},
    {'n', 4, {{{{0, 4}, {0, 0}, {2, 4}, {2, 0}}, kUp}}},
    {'o', 4, {{{{0, 0}, {2, 0}, {2, 4}, {0, 4}, {0, 0}}}}},
    {'p', 4, {{{{0, 4}, {0, 0}, {2, 0}, {2, 2}, {0, 2}}}}},
    {'q', 4, {{{{0, 0}, {2, 0}, {2, 4}, {0, 4}, {0, 0}}}, {{{1, 3}, {2, 4}}}}},
    {'r', 4, {{{{0, 4}, {0, 0}, {2, 0}, {2, 2}, {0, 2}, {2, 4}}, kDownRight}}},
    {'s', 4, {{{{2, 0}, {0, 0}, {0, 2}, {2, 2}, {2, 4}, {0, 4}}, kLeft}}},
    {'t', 4, {{{{0, 0}, {2, 0}}, kRight}, {{{1, 4}, {1, 0}}}}},
    {'u', 4, {{{{0, 0}, {0, 4}, {2, 4}, {2, 0}}, kUp}}},
    {'v', 4, {{{{0, 0}, {1, 4}, {2, 0}}, kUpRight}}},
    {'w', 4, {{{{0, 0}, {0, 4}, {1, 2}, {2, 4}, {2, 0}}, kUp}}},
    {'x', 4, {{{{0, 0}, {2, 4}}, kDownRight}, {{{2, 0}, {0, 4}}, kDownLeft}}},
    {'y', 4, {{{{0, 4}, {2, 0}}, kUpRight}, {{{0, 0}, {1, 2}}}}},
    {'z', 4, {{{{0, 0}, {2, 0}, {0, 4}, {2, 4}}, kRight}}},
};
// clang-format on

constexpr std::size_t kGlyphCount = sizeof(kGlyphs) / sizeof(kGlyphs[0]);

// The glyph of every byte, as an index into kGlyphs; 0 (the box) for bytes
// the font has no glyph of its own for.
constexpr std::array<std::uint8_t, 256> kGlyphOf = [] {
    std::array<std::uint8_t, 256> index{};
    for (std::size_t i = 1; i < kGlyphCount; ++i) index[kGlyphs[i].ch] = std::uint8_t(i);
    return index;
}();
static_assert(kGlyphCount < 256);

constexpr int kLineHeight = 7; // grid units from one line of text to the next
constexpr int kTabWidth = 32;  // grid units between tab stops
constexpr int kTabStops = 500;
constexpr int kMaxChars = 5000; // the longest text drawn; the rest is left out
constexpr int kWrapWidth = 4;   // a cell that would start beyond right - 4 units wraps first

void drawGlyph(HDC hdc, const Glyph& g, vec2 cursor, double size) {
    for (int s = 0; s < g.count; ++s) {
        const Stroke& stroke = g.strokes[s];
        const auto at = [&](int i) {
            return vec2(cursor.x + stroke.points[i].x * size, cursor.y + stroke.points[i].y * size);
        };
        for (int i = 1; i < stroke.count; ++i) {
            vec2 to = at(i);
            if (i == stroke.count - 1) to = to + vec2(stroke.push.dx, stroke.push.dy);
            if (i == 1)
                drawLine(hdc, at(0), to);
            else
                drawLine(hdc, to);
        }
    }
}

vec2 drawChar(HDC hdc, vec2 cursor, float left, float right, float size, char c) {
    const char text[2] = {c, 0};
    return drawText(hdc, cursor, left, right, size, text);
}

} // namespace

bool hasGlyph(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    return c == '\t' || c == '\n' || kGlyphOf[c] != 0;
}

std::string fontSafe(std::string text) {
    for (char& c : text)
        if (!hasGlyph(c)) c = '?';
    return text;
}

vec2 drawText(HDC hdc, vec2 pos, float left, float right, float size, const char* text) {
    if (text == nullptr) return pos;
    const double unit = size;
    vec2 cursor = pos;
    for (int n = 0; n < kMaxChars && text[n] != 0; ++n) {
        unsigned char c = static_cast<unsigned char>(text[n]);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');

        if (cursor.x > double(right) - kWrapWidth * unit)
            cursor = vec2(left, cursor.y + kLineHeight * unit);

        if (c == '\t') {
            for (int k = 0; k < kTabStops; ++k) {
                const double stop = double(left) + double(kTabWidth) * k * unit;
                if (stop > cursor.x) {
                    cursor.x = stop;
                    break;
                }
            }
        } else if (c == '\n') {
            cursor = vec2(left, cursor.y + kLineHeight * unit);
        } else {
            const Glyph& g = kGlyphs[kGlyphOf[c]];
            drawGlyph(hdc, g, cursor, unit);
            cursor.x += g.advance * unit;
        }
    }
    return cursor;
}

vec2 drawInt(HDC hdc, vec2 pos, float left, float right, float size, int value) {
    vec2 cursor = pos;
    // Widened first, so that the magnitude of the most negative int exists.
    long long v = value;
    if (v < 0) {
        cursor = drawChar(hdc, cursor, left, right, size, '-');
        v = -v;
    }
    if (v == 0) return drawChar(hdc, cursor, left, right, size, '0');
    bool started = false;
    for (long long place = 100000; place >= 1; place /= 10) {
        const int digit = int(v / place % 10);
        if (digit == 0 && !started) continue;
        started = true;
        cursor = drawChar(hdc, cursor, left, right, size, char('0' + digit));
    }
    return cursor;
}

vec2 drawFloat(HDC hdc, vec2 pos, float left, float right, float size, int decimals, float value) {
    vec2 cursor = pos;
    if (std::isnan(value)) return drawText(hdc, cursor, left, right, size, "nan");
    if (value < 0) {
        cursor = drawChar(hdc, cursor, left, right, size, '-');
        value = 0 - value;
    }
    if (std::isinf(value)) return drawText(hdc, cursor, left, right, size, "inf");

    // Whole parts beyond an int are drawn by their lowest six places, as drawInt
    // draws any int; such a float has no fraction.
    const float whole = std::trunc(value);
    if (whole < 2147483648.0f) {
        cursor = drawInt(hdc, cursor, left, right, size, int(whole));
    } else {
        const int low = int(std::fmod(double(whole), 1000000.0));
        cursor = drawInt(hdc, cursor, left, right, size, low == 0 ? 1000000 : low);
    }
    if (decimals > 0) cursor = drawChar(hdc, cursor, left, right, size, '.');

    // Digits are cut off, never rounded. A float holds no more digits than the
    // longest text, so asking for more only draws zeros and is capped there.
    float f = value - whole;
    const int digits = decimals < kMaxChars ? decimals : kMaxChars;
    for (int i = 0; i < digits; ++i) {
        f = f * 10.0f;
        const int d = int(f);
        cursor = drawInt(hdc, cursor, left, right, size, d);
        f = f - float(d);
    }
    return cursor;
}
