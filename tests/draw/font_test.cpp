// The vector font: where the cursor goes (advances, wrapping, tabs, newlines,
// the length limit), what the glyphs paint (capitals, the box for unknown
// bytes, the pushed line ends), numbers drawn as the text of their digits, and
// the whole glyph sheet against its golden picture.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "gdi/gdi.h"
#include "gdi/surface.h"
#include "support/golden.h"
#include "support/grid.h"

namespace {

struct Drawn {
    std::string grid;
    vec2 cursor;
};

void PrintTo(const Drawn& d, std::ostream* os) {
    *os << "cursor (" << d.cursor.x << ", " << d.cursor.y << ")\n" << d.grid;
}

bool operator==(const Drawn& a, const Drawn& b) {
    return a.grid == b.grid && a.cursor.x == b.cursor.x && a.cursor.y == b.cursor.y;
}

// What `paint` draws with a 1-pixel kPen pen selected, and the cursor it returns.
template <typename Paint> Drawn drawnWith(int w, int h, Paint paint) {
    Canvas c(w, h);
    Selected pen(c.dc, CreatePen(PS_SOLID, 1, kPen));
    const vec2 cursor = paint(c.dc);
    return {c.grid(), cursor};
}

constexpr float kFar = 1e6f; // a right margin no test text reaches

Drawn text(int w, int h, vec2 pos, float left, float right, float size, const char* s) {
    return drawnWith(w, h, [&](HDC dc) { return drawText(dc, pos, left, right, size, s); });
}

Drawn text(int w, int h, vec2 pos, float size, const char* s) {
    return text(w, h, pos, float(pos.x), kFar, size, s);
}

// The cursor alone, for layout checks that draw nothing worth looking at.
vec2 cursorAfter(vec2 pos, float left, float right, float size, const std::string& s) {
    Canvas c(4, 4);
    return drawText(c.dc, pos, left, right, size, s.c_str());
}

#define EXPECT_CURSOR(got, x_, y_)                                                                 \
    do {                                                                                           \
        const vec2 at_ = (got);                                                                    \
        EXPECT_EQ(at_.x, (x_));                                                                    \
        EXPECT_EQ(at_.y, (y_));                                                                    \
    } while (0)

const std::string kEmpty8x11 = pointsPicture(8, 11, {});

// The glyph every byte without one of its own gets, at size 2 from (1, 1).
const std::string kBox = picture({
    "........",
    "........",
    "........",
    "........",
    "........",
    ".#####..",
    ".#...#..",
    ".#...#..",
    ".#...#..",
    ".#####..",
    "........",
});

// The bytes that have a glyph of their own (capitals through the small letters).
bool hasGlyph(int c) {
    if (c == 0) return false;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::strchr(" !'()*+,-./:=?_", c) != nullptr;
}

int advanceOf(int c) {
    if (std::strchr(" !',.:iI", c) != nullptr) return 2;
    if (std::strchr("()1", c) != nullptr) return 3;
    return 4;
}

// ---------------------------------------------------------------- layout

TEST(FontLayout, CursorMovesByTheAdvanceOfEachCharacter) {
    EXPECT_CURSOR(cursorAfter(vec2(10, 10), 10, kFar, 2, "ab"), 26, 10);
    // Every byte but tab and newline, the box included: 2, 3 or 4 units.
    for (int c = 1; c < 256; ++c) {
        if (c == '\t' || c == '\n') continue;
        SCOPED_TRACE("byte " + std::to_string(c));
        const std::string s(1, char(c));
        EXPECT_CURSOR(cursorAfter(vec2(10, 10), 10, kFar, 2, s), 10 + 2 * advanceOf(c), 10);
    }
    // Sizes need not be whole.
    EXPECT_CURSOR(cursorAfter(vec2(10, 5), 10, kFar, 2.5f, "i1a?"), 10 + (2 + 3 + 4 + 4) * 2.5, 5);
}

TEST(FontLayout, WrapsBeforeACharacterThatWouldStartBeyondTheRightMargin) {
    // Size 2, right 40: a character starting beyond x = 32 goes to the next line.
    // The first line starts at pos.x, the next at left; 32 itself still fits.
    const Drawn wrapped = text(48, 32, vec2(16, 3), 4, 40, 2, "aaaaa");
    EXPECT_CURSOR(wrapped.cursor, 20, 17);
    const Drawn byHand = drawnWith(48, 32, [](HDC dc) {
        drawText(dc, vec2(16, 3), 0, kFar, 2, "aaa");
        return drawText(dc, vec2(4, 17), 0, kFar, 2, "aa");
    });
    EXPECT_EQ(wrapped, byHand);

    // Capitals wrap like small letters, and a cursor already beyond the limit
    // wraps before the very first character.
    EXPECT_EQ(text(48, 32, vec2(16, 3), 4, 40, 2, "AAAAA"), wrapped);
    EXPECT_CURSOR(cursorAfter(vec2(33, 3), 4, 40, 2, "a"), 12, 17);
    EXPECT_CURSOR(cursorAfter(vec2(32, 3), 4, 40, 2, "a"), 40, 3);
}

TEST(FontLayout, NewlinesReturnToTheLeftMarginOneLineDown) {
    EXPECT_CURSOR(cursorAfter(vec2(16, 3), 4, kFar, 2, "\n"), 4, 17);
    EXPECT_CURSOR(cursorAfter(vec2(16, 3), 4, kFar, 2.5f, "\n\n"), 4, 3 + 2 * 17.5);
    EXPECT_EQ(text(40, 40, vec2(16, 3), 4, kFar, 2, "a\nb"), drawnWith(40, 40, [](HDC dc) {
                  drawText(dc, vec2(16, 3), 0, kFar, 2, "a");
                  return drawText(dc, vec2(4, 17), 0, kFar, 2, "b");
              }));
    // Beyond the limit, the wrap comes first and the newline then moves on again.
    EXPECT_CURSOR(cursorAfter(vec2(40, 3), 4, 40, 2, "\n"), 4, 31);
    EXPECT_CURSOR(cursorAfter(vec2(32, 3), 4, 40, 2, "\n"), 4, 17);
}

TEST(FontLayout, TabsGoToTheNextStopStrictlyBeyondTheCursor) {
    // Stops every 32 units from the left margin: 4, 68, 132, ... at size 2.
    EXPECT_CURSOR(cursorAfter(vec2(4, 3), 4, kFar, 2, "\t"), 68, 3);
    EXPECT_CURSOR(cursorAfter(vec2(5, 3), 4, kFar, 2, "\t"), 68, 3);
    EXPECT_CURSOR(cursorAfter(vec2(68, 3), 4, kFar, 2, "\t"), 132, 3);
    EXPECT_CURSOR(cursorAfter(vec2(4, 3), 4, kFar, 2, "\t\t"), 132, 3);
    EXPECT_CURSOR(cursorAfter(vec2(4, 3), 4, kFar, 2, "ab\tc"), 76, 3);
    // Left of the margin, the margin itself is the first stop.
    EXPECT_CURSOR(cursorAfter(vec2(0, 3), 4, kFar, 2, "\t"), 4, 3);
    // There are 500 stops; beyond the last one a tab leaves the cursor where it is.
    EXPECT_CURSOR(cursorAfter(vec2(15967, 3), 0, kFar, 1, "\t"), 15968, 3);
    EXPECT_CURSOR(cursorAfter(vec2(15968, 3), 0, kFar, 1, "\t"), 15968, 3);
    EXPECT_CURSOR(cursorAfter(vec2(20000, 3), 0, kFar, 1, "\t"), 20000, 3);
    // A tab wraps like any character: to the left margin, then to its next stop.
    EXPECT_CURSOR(cursorAfter(vec2(40, 3), 4, 40, 2, "\t"), 68, 17);
    // Neither tabs nor newlines paint anything.
    EXPECT_EQ(text(8, 11, vec2(1, 1), 2, "\t\n\t").grid, kEmpty8x11);
}

TEST(FontLayout, CarriageReturnIsDrawnAsTheBoxBeforeTheNewlineMovesDown) {
    const Drawn crlf = text(8, 11, vec2(1, 1), 1, kFar, 2, "\r\n");
    EXPECT_EQ(crlf.grid, kBox);
    EXPECT_CURSOR(crlf.cursor, 1, 15);
    EXPECT_CURSOR(text(8, 11, vec2(1, 1), 2, "\r").cursor, 9, 1);
}

TEST(FontLayout, TextEndsAtItsZeroByteOrAfter5000Characters) {
    EXPECT_CURSOR(cursorAfter(vec2(10, 10), 10, kFar, 2, std::string("ab\0cd", 5)), 26, 10);
    EXPECT_CURSOR(cursorAfter(vec2(10, 10), 10, kFar, 2, ""), 10, 10);

    EXPECT_CURSOR(cursorAfter(vec2(0, 0), 0, kFar, 1, std::string(5000, 'a')), 20000, 0);
    EXPECT_CURSOR(cursorAfter(vec2(0, 0), 0, kFar, 1, std::string(5001, 'a')), 20000, 0);
    EXPECT_CURSOR(cursorAfter(vec2(0, 0), 0, kFar, 1, std::string(9000, 'a')), 20000, 0);
    // The 5000th character still counts; the 5001st does not.
    EXPECT_CURSOR(cursorAfter(vec2(0, 0), 0, kFar, 1, std::string(4999, 'i') + "\n\n"), 0, 7);
    // Nothing at all to draw leaves the cursor where it was.
    Canvas c(8, 11);
    EXPECT_CURSOR(drawText(c.dc, vec2(3, 4), 0, kFar, 2, nullptr), 3, 4);
    EXPECT_EQ(c.grid(), kEmpty8x11);
}

// ---------------------------------------------------------------- glyphs

TEST(FontGlyphs, CapitalsAreDrawnAsTheSmallLetters) {
    // Wide enough for two lines, so the wrap is compared too.
    const Drawn small = text(120, 40, vec2(2, 2), 2, 112, 2, "abcdefghijklmnopqrstuvwxyz");
    const Drawn capitals = text(120, 40, vec2(2, 2), 2, 112, 2, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(capitals, small);
    EXPECT_GT(countOf(small.grid, '#'), 300);
    EXPECT_EQ(small.cursor.y, 16); // it did wrap
}

TEST(FontGlyphs, BytesWithoutAGlyphAreABoxOverTheLowerHalfOfTheCell) {
    for (int c = 1; c < 256; ++c) {
        if (hasGlyph(c) || c == '\t' || c == '\n') continue;
        SCOPED_TRACE("byte " + std::to_string(c));
        const char s[2] = {char(c), 0};
        EXPECT_EQ(text(8, 11, vec2(1, 1), 2, s), (Drawn{kBox, vec2(9, 1)}));
    }
    // And no byte with a glyph of its own draws the box.
    for (int c = 33; c < 127; ++c) {
        if (!hasGlyph(c)) continue;
        SCOPED_TRACE("byte " + std::to_string(c));
        const char s[2] = {char(c), 0};
        EXPECT_NE(text(8, 11, vec2(1, 1), 2, s).grid, kBox);
    }
}

// A line leaves out its end pixel; where a stroke ends in open space its last
// point is moved one screen pixel on, whatever the size, so that pixel is
// painted. Ends on another stroke stay put.
TEST(FontGlyphs, OpenStrokeEndsArePushedOnePixelSoTheyArePainted) {
    struct Case {
        const char* name;
        vec2 pos;
        float size;
        const char* text;
        std::string want;
    };
    const std::vector<Case> cases = {
        {"minus, pushed right", vec2(1, 1), 2, "-",
         picture({
             "........",
             "........",
             "........",
             "........",
             "........",
             ".#####..",
             "........",
             "........",
             "........",
             "........",
             "........",
         })},
        {"minus at size 3: one pixel, not one unit", vec2(1, 1), 3, "-",
         picture({
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             ".#######..",
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
         })},
        {"underscore, from -0.5 to 2.5 units", vec2(2, 1), 2, "_",
         picture({
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             "..........",
             ".#######..",
             "..........",
         })},
        {"three: the bottom pushed left, the middle bar meets the right side", vec2(1, 1), 2, "3",
         picture({
             "........",
             ".#####..",
             ".....#..",
             ".....#..",
             ".....#..",
             ".#####..",
             ".....#..",
             ".....#..",
             ".....#..",
             ".#####..",
             "........",
         })},
        {"t: the bar pushed right, the stem ends on the bar", vec2(1, 1), 2, "t",
         picture({
             "........",
             ".#####..",
             "...#....",
             "...#....",
             "...#....",
             "...#....",
             "...#....",
             "...#....",
             "...#....",
             "...#....",
             "........",
         })},
        {"comma, pushed down", vec2(2, 1), 2, ",",
         picture({
             "......",
             "......",
             "......",
             "......",
             "......",
             "......",
             "..#...",
             "..#...",
             ".#....",
             ".#....",
             "......",
         })},
        {"y: the long stroke pushed up and right, the short one ends on it", vec2(1, 1), 2, "y",
         picture({
             "........",
             ".#...#..",
             ".#...#..",
             "..#.#...",
             "..#.#...",
             "...#....",
             "...#....",
             "..#.....",
             "..#.....",
             ".#......",
             "........",
         })},
        {"question mark: a hook and a dot, both pushed down", vec2(1, 1), 2, "?",
         picture({
             "........",
             ".#####..",
             ".#...#..",
             ".#...#..",
             ".....#..",
             "...###..",
             "...#....",
             "........",
             "...#....",
             "...#....",
             "........",
         })},
        {"exclamation mark", vec2(1, 1), 2, "!",
         picture({
             "....",
             ".#..",
             ".#..",
             ".#..",
             ".#..",
             ".#..",
             ".#..",
             "....",
             ".#..",
             ".#..",
             "....",
         })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int w = int(c.want.find('\n'));
        const int h = int(c.want.size()) / (w + 1);
        EXPECT_EQ(text(w, h, c.pos, c.size, c.text).grid, c.want);
    }
}

TEST(FontGlyphs, TextIsDrawnWithTheSelectedPenWhichStaysSelected) {
    Canvas c(60, 12);
    Selected pen(c.dc, CreatePen(PS_SOLID, 1, kPen));
    const HGDIOBJ selected = currentPen(c.dc);
    const HGDIOBJ brush = currentBrush(c.dc);
    const int live = gdiLiveObjects();
    drawText(c.dc, vec2(1, 1), 1, kFar, 2, "Ab1?\r\x80");
    EXPECT_EQ(currentPen(c.dc), selected);
    EXPECT_EQ(currentBrush(c.dc), brush);
    EXPECT_EQ(gdiLiveObjects(), live);
    const std::string got = c.grid();
    EXPECT_GT(countOf(got, '#'), 40);
    EXPECT_EQ(countOf(got, '?') + countOf(got, 'o'), 0) << got;

    // The game's own pen, set around the call, paints the same.
    Canvas game(60, 12);
    setLine(game.dc, PS_SOLID, 1, kPen);
    drawText(game.dc, vec2(1, 1), 1, kFar, 2, "Ab1?\r\x80");
    endLine(game.dc);
    EXPECT_EQ(game.grid(), got);
}

// ---------------------------------------------------------------- numbers

TEST(FontNumbers, WholeNumbersDrawTheTextOfTheirLowestSixPlaces) {
    const struct {
        int value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {7, "7"},
        {100, "100"},
        {-305, "-305"},
        {999999, "999999"},
        {1000000, ""},
        {1000001, "1"},
        {-1000000, "-"},
        {1234567, "234567"},
        {INT_MAX, "483647"},
        {INT_MIN, "-483648"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value));
        const vec2 pos(2, 2);
        EXPECT_EQ(drawnWith(120, 14, [&](HDC dc) { return drawInt(dc, pos, 2, kFar, 2, c.value); }),
                  text(120, 14, pos, 2, kFar, 2, c.text));
    }
    EXPECT_EQ(
        drawnWith(120, 14, [](HDC dc) { return drawInt(dc, vec2(2, 2), 2, kFar, 2, 1000000); }),
        (Drawn{pointsPicture(120, 14, {}), vec2(2, 2)}));
    // Digit by digit with the same margins, so a number wraps as its text does.
    EXPECT_EQ(drawnWith(40, 40, [](HDC dc) { return drawInt(dc, vec2(2, 2), 2, 20, 2, -305); }),
              text(40, 40, vec2(2, 2), 2, 20, 2, "-305"));
}

TEST(FontNumbers, DecimalsAreCutOffNeverRounded) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float value;
        int decimals;
        const char* text;
    } cases[] = {
        {3.14159f, 2, "3.14"},
        {2.999f, 1, "2.9"},
        {-0.5f, 1, "-0.5"},
        {7.9f, 0, "7"},
        {-7.9f, 0, "-7"},
        {0.0f, 0, "0"},
        {0.25f, 3, "0.250"},
        {12.5f, -3, "12"},
        {1234567.0f, 1, "234567.0"},
        {2147483648.0f, 0, "483648"}, // beyond an int: still its lowest six places
        {std::numeric_limits<float>::quiet_NaN(), 2, "nan"},
        {inf, 2, "inf"},
        {-inf, 2, "-inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " from " + std::to_string(c.value));
        const vec2 pos(2, 2);
        EXPECT_EQ(
            drawnWith(120, 14,
                      [&](HDC dc) { return drawFloat(dc, pos, 2, kFar, 2, c.decimals, c.value); }),
            text(120, 14, pos, 2, kFar, 2, c.text));
    }
    EXPECT_EQ(
        drawnWith(40, 40, [](HDC dc) { return drawFloat(dc, vec2(2, 2), 2, 20, 2, 2, -3.25f); }),
        text(40, 40, vec2(2, 2), 2, 20, 2, "-3.25"));
}

// ---------------------------------------------------------------- golden

// Every printable byte and two others (carriage return, 200), at the two sizes
// the game uses most, in the ordinary text colour.
TEST(GoldenFont, GlyphSheet) {
    HDC dc = createSurfaceDC(640, 200);
    fillWith(dc, RECT{0, 0, 640, 200}, RGB(0, 0, 0));
    const char* rows[] = {
        " !\"#$%&'()*+,-./0123456789:;<=>?",
        "@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_",
        "`abcdefghijklmnopqrstuvwxyz{|}~\r\xc8",
    };
    setLine(dc, PS_SOLID, 1, 0xffaf64);
    float y = 8;
    for (float size : {2.0f, 3.0f}) {
        for (const char* row : rows) {
            drawText(dc, vec2(8, y), 8, 632, size, row);
            y += 8 * size;
        }
        y += 4;
    }
    endLine(dc);
    EXPECT_TRUE(matchesGolden(dcSurface(dc), "glyphs"));
    deleteSurfaceDC(dc);
}

} // namespace
