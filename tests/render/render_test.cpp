// Parts, ships, bits and stars on screen: colour modes, shapes, flames, what
// drawShip leaves out, and the star field's wrap and colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "app/app.h"
#include "render/render.h"
#include "support/grid.h"

namespace {

COLORREF at(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

int countOf(const Canvas& c, COLORREF colour) {
    int n = 0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) n += GetPixel(c.dc, x, y) == colour;
    return n;
}

// A hull 4 plate (a 24-unit square) drawn at scale 1, centred at (20, 20):
// its fill shows at the centre, its line on the edge.
struct Plate {
    Canvas c{40, 40};
    void draw(int mode, float value) {
        drawPart(c.dc, vec2(20, 20), vec2(1, 0), 1, kindHull, 4, false, mode, value);
    }
    COLORREF fill() { return at(c.dc, 20, 20); }
    COLORREF line() { return at(c.dc, 8, 20); }
};

TEST(RenderColours, FadingModeGivesGreysWithTheExtraLevel) {
    Plate p;
    p.draw(colourFading, 1);
    EXPECT_EQ(p.line(), 0x4c4c4cu);
    EXPECT_EQ(p.fill(), 0x7e7e7eu);
    p.draw(colourFading, 0);
    EXPECT_EQ(p.line(), 0x010101u);
    EXPECT_EQ(p.fill(), 0x010101u);
}

TEST(RenderColours, HealthModeRunsFromRedToGreenAndGreyWhenBroken) {
    Plate p;
    p.draw(colourHealth, 1);
    EXPECT_EQ(p.fill(), 0x00e10au);
    EXPECT_EQ(p.line(), 0x00e10au);
    p.draw(colourHealth, 0.5f);
    EXPECT_EQ(p.fill(), 0x007084u);
    p.draw(colourHealth, 0);
    EXPECT_EQ(p.fill(), 0x646464u);
    EXPECT_EQ(p.line(), 0x646464u);
}

TEST(RenderColours, NormalModeTruncatesTheSideValue) {
    Canvas c(40, 40);
    auto core = [&](float value) {
        drawPart(c.dc, vec2(20, 20), vec2(1, 0), 2, kindHull, 1, false, colourNormal, value);
        return std::make_pair(at(c.dc, 20, 20), at(c.dc, 12, 20));
    };
    EXPECT_EQ(core(1.1f), std::make_pair(COLORREF(0x00ff00), COLORREF(0x008200)));
    EXPECT_EQ(core(0.999f), std::make_pair(COLORREF(0x0000ff), COLORREF(0x000082)));
    EXPECT_EQ(core(2.1f), std::make_pair(COLORREF(0xff0000), COLORREF(0x820000)));
    EXPECT_EQ(core(3.1f), std::make_pair(COLORREF(0), COLORREF(0)));
    // Grey parts stay grey whatever the side.
    drawPart(c.dc, vec2(20, 20), vec2(1, 0), 1, kindHull, 4, false, colourNormal, 2.1f);
    EXPECT_EQ(at(c.dc, 20, 20), 0xc8c8c8u);
    EXPECT_EQ(at(c.dc, 8, 20), 0x646464u);
}

TEST(RenderColours, NonFiniteValuesStillDrawSomething) {
    Plate p;
    p.draw(colourHealth, std::nanf(""));
    p.draw(colourFading, 1e30f);
    p.draw(colourNormal, -1e30f);
    SUCCEED(); // no undefined conversion (the sanitizer build checks it)
}

TEST(RenderShapes, GunTipFollowsTheAxis) {
    Canvas c(200, 200);
    drawPart(c.dc, vec2(100, 100), vec2(0, 1), 1, kindGun, 0, false, colourNormal, 0.1f);
    EXPECT_EQ(at(c.dc, 100, 102), 0x646464u); // the tip, a vertex of the outline
    EXPECT_EQ(at(c.dc, 100, 103), kBackground);
}

TEST(RenderShapes, BaseCoreEndsWithTheGreyCircleOverTheCross) {
    Canvas c(80, 80);
    drawPart(c.dc, vec2(40, 40), vec2(1, 0), 1, kindHull, 6, false, colourNormal, 2.1f);
    EXPECT_EQ(at(c.dc, 40, 40), 0xc8c8c8u); // circle fill over the blue cross
    EXPECT_EQ(at(c.dc, 55, 40), 0xff0000u); // the cross's arm
    EXPECT_EQ(at(c.dc, 55, 55), kBackground);
}

TEST(RenderShapes, UnknownKindsAndRowsDrawNothing) {
    Canvas c(40, 40);
    for (int kind : {int(kindNone), 4, -1})
        drawPart(c.dc, vec2(20, 20), vec2(1, 0), 1, kind, 0, true, colourNormal, 0);
    drawPart(c.dc, vec2(20, 20), vec2(1, 0), 1, kindHull, 7, false, colourNormal, 0);
    drawPart(c.dc, vec2(20, 20), vec2(1, 0), 1, kindGun, 3, false, colourNormal, 0);
    drawPart(c.dc, vec2(20, 20), vec2(1, 0), 1, kindEngine, -1, false, colourNormal, 0);
    EXPECT_EQ(countOf(c, kBackground), 40 * 40);
}

// The flame lies behind the engine, from 10 to 16 units back for row 0.
TEST(RenderFlame, OnlyALitEngineInNormalModeBurnsAndItTakesTwoRandCalls) {
    auto flameShown = [](bool lit, int mode) {
        Canvas c(60, 40);
        drawPart(c.dc, vec2(40, 20), vec2(1, 0), 1, kindEngine, 0, lit, mode, 0.1f);
        return at(c.dc, 32, 20) == 0x00ffffu; // 8 units behind: inside every flame
    };
    EXPECT_TRUE(flameShown(true, colourNormal));
    EXPECT_FALSE(flameShown(false, colourNormal));
    EXPECT_FALSE(flameShown(true, colourFading));
    EXPECT_FALSE(flameShown(true, colourHealth));

    std::srand(7);
    std::rand();
    std::rand();
    int next = std::rand();
    std::srand(7);
    Canvas c(60, 40);
    drawPart(c.dc, vec2(40, 20), vec2(1, 0), 1, kindEngine, 1, true, colourNormal, 0.1f);
    EXPECT_EQ(std::rand(), next);
}

TEST(RenderShip, DrawsOnlyPresentPartsTurnedByTheirAngle) {
    ship s;
    s.dir = vec2(1, 0);
    s.side = sideGreen;
    s.parts[0] = part(vec2(0, 0), 0, kindHull, 1, 0, true);
    s.parts[1] = part(vec2(20, 0), 0.25f, kindGun, 2, 0, true);
    s.parts[2] = part(vec2(-20, 0), 0, kindHull, 4, 0, false); // health 0: not drawn
    Canvas c(100, 60);
    drawShip(c.dc, s, vec2(50, 30), 1);
    EXPECT_EQ(at(c.dc, 50, 30), 0x00ff00u);
    // The gun is turned a quarter: its tip points down the screen.
    EXPECT_EQ(at(c.dc, 70, 34), 0x646464u);
    EXPECT_EQ(at(c.dc, 30, 30), kBackground);

    s.parts[2].health = 0.001f;
    drawShip(c.dc, s, vec2(50, 30), 1);
    EXPECT_EQ(at(c.dc, 30, 30), 0xc8c8c8u);
}

TEST(RenderBit, GreysWithoutTheExtraLevel) {
    Canvas c(40, 40);
    drawbit(c.dc, vec2(20, 20), vec2(1, 0), 4, 1);
    EXPECT_EQ(at(c.dc, 20, 20), 0x7d7d7du); // fill 125
    EXPECT_EQ(at(c.dc, 28, 20), 0x4b4b4bu); // the tip, line 75
}

TEST(RenderStars, WrapIsStrictAndOneStepPerCall) {
    double base = -50;
    wrapStar(base, 1, 0, 800);
    EXPECT_EQ(base, -50); // exactly -50 stays
    base = -50.5;
    wrapStar(base, 1, 0, 800);
    EXPECT_EQ(base, 799.5);
    base = 850;
    wrapStar(base, 1, 0, 800);
    EXPECT_EQ(base, 850); // exactly size + 50 stays
    base = 851;
    wrapStar(base, 0.5f, 0, 800);
    EXPECT_EQ(base, 1);
    base = 0;
    wrapStar(base, 0.5f, -5000, 800); // screen x -2500: one step only
    EXPECT_EQ(base, 850);
}

TEST(RenderStars, NarrowScreensShowPixelsInBoundedColours) {
    workRes(false, 800, 600);
    std::srand(3);
    Canvas c(800, 600);
    doStarField(c.dc, vec2(0, 0));
    int lit = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            COLORREF p = at(c.dc, x, y);
            if (p == kBackground) continue;
            ++lit;
            int r = p & 0xff, g = (p >> 8) & 0xff, b = (p >> 16) & 0xff;
            EXPECT_TRUE(r == g && r >= 40 && r <= 200 && b >= 51 && b <= 255) << std::hex << p;
        }
    EXPECT_GT(lit, 0);
    EXPECT_LE(lit, 300);
}

TEST(RenderStars, WideScreensShowCirclesAndPanningKeepsTheFieldFull) {
    workRes(false, 1024, 768);
    std::srand(3);
    Canvas c(1024, 768);
    doStarField(c.dc, vec2(0, 0));
    int first = 1024 * 768 - countOf(c, kBackground);
    EXPECT_GT(first, 300); // circles of radius 1.5, not single pixels
    // Pan far to the right and down: wrapped stars keep coming back.
    vec2 offset;
    for (int frame = 0; frame < 400; ++frame) {
        c.clear();
        offset = offset + vec2(-37, -23);
        doStarField(c.dc, offset);
    }
    int later = 1024 * 768 - countOf(c, kBackground);
    EXPECT_GT(later, first / 2);
}

} // namespace
