// The pixels every GDI call of the software rasterizer paints, checked against
// GDI's own pixel rules: lines, polylines, wide pens, polygons, ellipses,
// rectangles, fills, single pixels, blits, and the state of contexts and objects.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "gdi/gdi.h"
#include "gdi/surface.h"
#include "support/grid.h"

namespace {

HPEN pen1() { return CreatePen(PS_SOLID, 1, kPen); }
HPEN pen3() { return CreatePen(PS_SOLID, 3, kPen); }
HPEN nullPen() { return CreatePen(PS_NULL, 1, kPen); }
HBRUSH brush() { return CreateSolidBrush(kBrush); }

POINT currentPosition(HDC dc) {
    POINT cp{-999, -999};
    MoveToEx(dc, 0, 0, &cp);
    MoveToEx(dc, cp.x, cp.y, nullptr);
    return cp;
}

std::string line(Canvas& c, POINT from, POINT to) {
    c.clear();
    MoveToEx(c.dc, from.x, from.y, nullptr);
    LineTo(c.dc, to.x, to.y);
    return c.grid();
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// The pixels of a 1-pixel line by the closed form: one per step of the major
// axis, the minor coordinate nearest to the true line, ties to the smaller one.
std::vector<POINT> linePixels(POINT a, POINT b) {
    std::vector<POINT> out;
    const bool xMajor = std::abs(b.x - a.x) > std::abs(b.y - a.y);
    auto major = [&](POINT p) { return xMajor ? p.x : p.y; };
    auto minor = [&](POINT p) { return xMajor ? p.y : p.x; };
    if (a.x == b.x && a.y == b.y) return out;
    const POINT lo = major(a) < major(b) ? a : b;
    const POINT hi = major(a) < major(b) ? b : a;
    const std::int64_t dMaj = major(hi) - major(lo), dMin = minor(hi) - minor(lo);
    const int step = major(b) > major(a) ? 1 : -1;
    for (int m = major(a); m != major(b); m += step) {
        const int n =
            static_cast<int>(minor(lo) + floorDiv(2 * (m - major(lo)) * dMin + dMaj - 1, 2 * dMaj));
        out.push_back(xMajor ? POINT{m, n} : POINT{n, m});
    }
    return out;
}

// ---------------------------------------------------------------- 1-pixel lines

struct LineCase {
    POINT from, to;
    std::vector<POINT> pixels;
};

TEST(RasterLine, PaintsThePixelsOfEachTableRow) {
    const std::vector<LineCase> cases = {
        {{0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
        {{4, 1}, {0, 0}, {{4, 1}, {3, 1}, {2, 0}, {1, 0}}},
        {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}}, // ties go up
        {{4, 2}, {0, 0}, {{4, 2}, {3, 1}, {2, 1}, {1, 0}}},
        {{0, 2}, {4, 0}, {{0, 2}, {1, 1}, {2, 1}, {3, 0}}},
        {{0, 0}, {2, 4}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}}, // ties go left
        {{2, 4}, {0, 0}, {{2, 4}, {1, 3}, {1, 2}, {0, 1}}},
        {{0, 0}, {7, 3}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 3}}},
        {{0, 5}, {4, 0}, {{0, 5}, {1, 4}, {2, 3}, {2, 2}, {3, 1}}},
        {{2, 3}, {5, 3}, {{2, 3}, {3, 3}, {4, 3}}},
        {{5, 3}, {2, 3}, {{5, 3}, {4, 3}, {3, 3}}},
        {{3, 4}, {3, 0}, {{3, 4}, {3, 3}, {3, 2}, {3, 1}}},
        {{3, 3}, {3, 3}, {}},
    };
    Canvas c(8, 6);
    Selected pen(c.dc, pen1());
    for (const LineCase& lc : cases) {
        // A stream, not a chain of string sums: GCC 12 at -O3 sees a false
        // overlap in those (-Wrestrict).
        SCOPED_TRACE(testing::Message() << "(" << lc.from.x << "," << lc.from.y << ")->("
                                        << lc.to.x << "," << lc.to.y << ")");
        EXPECT_EQ(line(c, lc.from, lc.to), pointsPicture(8, 6, lc.pixels));
        const POINT cp = currentPosition(c.dc);
        EXPECT_EQ(cp.x, lc.to.x);
        EXPECT_EQ(cp.y, lc.to.y);
    }
}

// Every line between points of a small square, partly off the bitmap, in all
// directions: the tie rule, the octants and the clipping together.
TEST(RasterLine, MatchesTheNearestPixelRuleForAllShortLines) {
    Canvas c(8, 7);
    Selected pen(c.dc, pen1());
    int failures = 0;
    for (int x0 = -3; x0 <= 10 && failures < 5; ++x0)
        for (int y0 = -3; y0 <= 9; ++y0)
            for (int x1 = -3; x1 <= 10; ++x1)
                for (int y1 = -3; y1 <= 9; ++y1) {
                    const POINT a{x0, y0}, b{x1, y1};
                    const std::string want = pointsPicture(8, 7, linePixels(a, b));
                    const std::string got = line(c, a, b);
                    if (got != want && ++failures <= 5)
                        ADD_FAILURE()
                            << "(" << x0 << "," << y0 << ")->(" << x1 << "," << y1 << ")\nwant\n"
                            << want << "got\n"
                            << got;
                }
    EXPECT_EQ(failures, 0);
}

TEST(RasterLine, MovesTheCurrentPositionEvenWhenNothingShows) {
    Canvas c(6, 4);
    Selected pen(c.dc, pen1());
    POINT prev{-1, -1};
    EXPECT_TRUE(MoveToEx(c.dc, -5, -5, &prev));
    EXPECT_TRUE(LineTo(c.dc, -1, -3));
    EXPECT_TRUE(MoveToEx(c.dc, 2, 2, &prev));
    EXPECT_EQ(prev.x, -1);
    EXPECT_EQ(prev.y, -3);
    // MoveToEx alone paints nothing.
    EXPECT_EQ(c.grid(), pointsPicture(6, 4, {}));
}

TEST(RasterLine, IsClippedWithoutChangingItsPixels) {
    Canvas c(10, 4);
    Selected pen(c.dc, pen1());
    EXPECT_EQ(
        line(c, {-3, -1}, {12, 4}),
        pointsPicture(
            10, 4,
            {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 2}, {8, 3}, {9, 3}}));
}

// The intermediate products of this line need 64 bits.
TEST(RasterLine, HugeLineKeepsItsExactPixels) {
    Canvas c(640, 480);
    Selected pen(c.dc, pen1());
    std::vector<POINT> want{{0, 0}};
    for (int y = 1; y < 480; ++y) want.push_back({y - 1, y});
    EXPECT_EQ(line(c, {-1000000, -1000000}, {1000000, 1000001}), pointsPicture(640, 480, want));
    EXPECT_EQ(countOf(c.grid(), '#'), 480);
    EXPECT_EQ(c.pixel(0, 0), pixelOf(kPen));
    EXPECT_EQ(c.pixel(0, 1), pixelOf(kPen));
    EXPECT_EQ(c.pixel(1, 2), pixelOf(kPen));
    EXPECT_EQ(c.pixel(478, 479), pixelOf(kPen));
    EXPECT_EQ(c.pixel(479, 479), pixelOf(kBackground));
    // Drawn the other way round, only the (invisible) end points differ.
    EXPECT_EQ(line(c, {1000000, 1000001}, {-1000000, -1000000}), pointsPicture(640, 480, want));
}

// ---------------------------------------------------------------- Polyline

TEST(RasterPolyline, PaintsEverySegmentButNotTheLastPoint) {
    Canvas c(7, 6);
    Selected pen(c.dc, pen1());
    const POINT pts[] = {{1, 1}, {5, 1}, {5, 4}, {1, 1}};
    MoveToEx(c.dc, 0, 5, nullptr);
    EXPECT_TRUE(Polyline(c.dc, pts, 3));
    EXPECT_EQ(c.grid(), picture({
                            ".......",
                            ".#####.",
                            ".....#.",
                            ".....#.",
                            ".......",
                            ".......",
                        }));
    // Closing back to the first point adds the rest of the loop.
    EXPECT_TRUE(Polyline(c.dc, pts, 4));
    EXPECT_EQ(c.grid(), picture({
                            ".......",
                            ".#####.",
                            "..##.#.",
                            "....##.",
                            ".....#.",
                            ".......",
                        }));
    // The current position is neither used nor moved.
    const POINT cp = currentPosition(c.dc);
    EXPECT_EQ(cp.x, 0);
    EXPECT_EQ(cp.y, 5);
}

TEST(RasterPolyline, NeedsTwoPoints) {
    Canvas c(7, 6);
    Selected pen(c.dc, pen1());
    const POINT pts[] = {{1, 1}, {5, 1}};
    EXPECT_FALSE(Polyline(c.dc, pts, 1));
    EXPECT_FALSE(Polyline(c.dc, pts, 0));
    EXPECT_FALSE(Polyline(c.dc, pts, -3));
    EXPECT_EQ(c.grid(), pointsPicture(7, 6, {}));
}

// ---------------------------------------------------------------- wide pens

TEST(RasterWidePen, HorizontalLinePaintsBodyAndRoundEnds) {
    Canvas c(11, 5);
    Selected pen(c.dc, pen3());
    const std::string got = line(c, {2, 2}, {8, 2});
    EXPECT_EQ(got, picture({
                       "...........",
                       "..#######..",
                       ".#########.",
                       "..#######..",
                       "...........",
                   }));
    EXPECT_EQ(countOf(got, '#'), 23);
    const POINT cp = currentPosition(c.dc);
    EXPECT_EQ(cp.x, 8);
    EXPECT_EQ(cp.y, 2);
}

TEST(RasterWidePen, VerticalLinePaintsBodyAndRoundEnds) {
    Canvas c(5, 9);
    Selected pen(c.dc, pen3());
    const std::string got = line(c, {2, 2}, {2, 6});
    EXPECT_EQ(got, picture({
                       ".....",
                       "..#..",
                       ".###.",
                       ".###.",
                       ".###.",
                       ".###.",
                       ".###.",
                       "..#..",
                       ".....",
                   }));
    EXPECT_EQ(countOf(got, '#'), 17);
}

TEST(RasterWidePen, DiagonalLineIsSymmetric) {
    Canvas c(9, 9);
    Selected pen(c.dc, pen3());
    const std::string want = picture({
        ".........",
        "..##.....",
        ".####....",
        ".#####...",
        "..#####..",
        "...#####.",
        "....####.",
        ".....##..",
        ".........",
    });
    EXPECT_EQ(countOf(want, '#'), 27);
    EXPECT_EQ(line(c, {2, 2}, {6, 6}), want);
    EXPECT_EQ(line(c, {6, 6}, {2, 2}), want);
}

TEST(RasterWidePen, PolylineCornerIsJoinedByTheNibOnly) {
    Canvas c(11, 10);
    Selected pen(c.dc, pen3());
    const POINT pts[] = {{2, 2}, {8, 2}, {8, 7}};
    EXPECT_TRUE(Polyline(c.dc, pts, 3));
    EXPECT_EQ(c.grid(), picture({
                            "...........",
                            "..#######..",
                            ".#########.",
                            "..########.",
                            ".......###.",
                            ".......###.",
                            ".......###.",
                            ".......###.",
                            "........#..",
                            "...........",
                        }));
    EXPECT_EQ(c.pixel(9, 1), pixelOf(kBackground));
}

TEST(RasterWidePen, ZeroLengthLinePaintsOneNib) {
    Canvas c(7, 7);
    Selected pen(c.dc, pen3());
    EXPECT_EQ(line(c, {3, 3}, {3, 3}), picture({
                                           ".......",
                                           ".......",
                                           "...#...",
                                           "..###..",
                                           "...#...",
                                           ".......",
                                           ".......",
                                       }));
}

// ---------------------------------------------------------------- Polygon

struct PolygonCase {
    std::vector<POINT> points;
    std::string fill, outlined;
};

// "Fill alone" is drawn with a PS_NULL pen: the brush then paints exactly the
// fill region, and the same polygon with a 1-pixel pen shows the outline
// painted over that fill.
TEST(RasterPolygon, FillsByTheTopLeftRuleAndOutlinesOverIt) {
    const std::vector<PolygonCase> cases = {
        {{{0, 0}, {6, 0}, {0, 6}},
         picture({
             "oooooo.",
             "ooooo..",
             "oooo...",
             "ooo....",
             "oo.....",
             "o......",
             ".......",
         }),
         picture({
             "#######",
             "#oooo#.",
             "#ooo#..",
             "#oo#...",
             "#o#....",
             "##.....",
             "#......",
         })},
        {{{0, 0}, {6, 3}, {0, 6}},
         picture({
             ".......",
             "oo.....",
             "oooo...",
             "oooooo.",
             "oooo...",
             "oo.....",
             ".......",
         }),
         picture({
             "##.....",
             "#o##...",
             "#ooo##.",
             "#oooo##",
             "#oo##..",
             "###....",
             "#......",
         })},
        {{{3, 0}, {6, 3}, {3, 6}, {0, 3}},
         picture({
             ".......",
             "..oo...",
             ".oooo..",
             "oooooo.",
             ".oooo..",
             "..oo...",
             ".......",
         }),
         picture({
             "...#...",
             "..#o#..",
             ".#ooo#.",
             "#ooooo#",
             ".#ooo#.",
             "..#o#..",
             "...#...",
         })},
    };
    Canvas c(7, 7);
    Selected fill(c.dc, brush());
    for (const PolygonCase& pc : cases) {
        SCOPED_TRACE("polygon through (" + std::to_string(pc.points[1].x) + "," +
                     std::to_string(pc.points[1].y) + ")");
        const int n = static_cast<int>(pc.points.size());
        {
            Selected pen(c.dc, nullPen());
            c.clear();
            EXPECT_TRUE(Polygon(c.dc, pc.points.data(), n));
            EXPECT_EQ(c.grid(), pc.fill);
        }
        Selected pen(c.dc, pen1());
        c.clear();
        EXPECT_TRUE(Polygon(c.dc, pc.points.data(), n));
        EXPECT_EQ(c.grid(), pc.outlined);
        // Repeating the first point at the end changes nothing.
        std::vector<POINT> closed = pc.points;
        closed.push_back(pc.points[0]);
        c.clear();
        EXPECT_TRUE(Polygon(c.dc, closed.data(), n + 1));
        EXPECT_EQ(c.grid(), pc.outlined);
    }
}

// Edges that cross rows between pixel centres: a centre right of a left edge
// or exactly on it is in; one on or beyond a right edge is out.
TEST(RasterPolygon, FillTakesThePixelsWhoseCentresAreInside) {
    Canvas c(7, 7);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, nullPen());
    const POINT pts[] = {{1, 0}, {6, 4}, {0, 6}};
    Polygon(c.dc, pts, 3);
    EXPECT_EQ(c.grid(), picture({
                            ".......",
                            ".oo....",
                            ".ooo...",
                            ".oooo..",
                            ".ooooo.",
                            ".oo....",
                            ".......",
                        }));
}

TEST(RasterPolygon, RectangleIsOnePixelBiggerThanItsFill) {
    Canvas c(8, 6);
    Selected fill(c.dc, brush());
    const POINT pts[] = {{1, 1}, {6, 1}, {6, 4}, {1, 4}};
    {
        Selected pen(c.dc, nullPen());
        Polygon(c.dc, pts, 4);
        const std::string got = c.grid();
        EXPECT_EQ(got, picture({
                           "........",
                           ".ooooo..",
                           ".ooooo..",
                           ".ooooo..",
                           "........",
                           "........",
                       }));
        EXPECT_EQ(countOf(got, 'o'), 15);
    }
    Selected pen(c.dc, pen1());
    c.clear();
    MoveToEx(c.dc, 7, 5, nullptr);
    Polygon(c.dc, pts, 4);
    const std::string got = c.grid();
    EXPECT_EQ(got, picture({
                       "........",
                       ".######.",
                       ".#oooo#.",
                       ".#oooo#.",
                       ".######.",
                       "........",
                   }));
    EXPECT_EQ(countOf(got, '#'), 16);
    const POINT cp = currentPosition(c.dc);
    EXPECT_EQ(cp.x, 7);
    EXPECT_EQ(cp.y, 5);
}

TEST(RasterPolygon, TwoPointsPaintTheLineWithBothEnds) {
    Canvas c(7, 5);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, pen1());
    const POINT pts[] = {{1, 1}, {5, 3}};
    EXPECT_TRUE(Polygon(c.dc, pts, 2));
    EXPECT_EQ(c.grid(), pointsPicture(7, 5, {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}}));
}

TEST(RasterPolygon, CollinearPointsPaintOnlyTheOutline) {
    Canvas c(7, 5);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, pen1());
    const POINT slope[] = {{1, 1}, {3, 2}, {5, 3}};
    EXPECT_TRUE(Polygon(c.dc, slope, 3));
    EXPECT_EQ(c.grid(), pointsPicture(7, 5, {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}}));
    c.clear();
    const POINT folded[] = {{1, 1}, {5, 1}, {3, 1}};
    EXPECT_TRUE(Polygon(c.dc, folded, 3));
    EXPECT_EQ(c.grid(), pointsPicture(7, 5, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));
}

TEST(RasterPolygon, NeedsTwoPoints) {
    Canvas c(7, 5);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, pen1());
    const POINT pts[] = {{1, 1}, {5, 3}, {1, 4}};
    EXPECT_FALSE(Polygon(c.dc, pts, 1));
    EXPECT_FALSE(Polygon(c.dc, pts, 0));
    EXPECT_FALSE(Polygon(c.dc, pts, -1));
    EXPECT_EQ(c.grid(), pointsPicture(7, 5, {}));
}

// ---------------------------------------------------------------- Ellipse

struct EllipseFixture {
    int w, h;
    std::string pic;
};

std::vector<EllipseFixture> ellipseFixtures() {
    return {
        {3, 3, picture({".#.", "#o#", ".#."})},
        {4, 4,
         picture({
             ".##.",
             "#oo#",
             "#oo#",
             ".##.",
         })},
        {5, 5,
         picture({
             ".###.",
             "#ooo#",
             "#ooo#",
             "#ooo#",
             ".###.",
         })},
        {6, 6,
         picture({
             "..##..",
             ".#oo#.",
             "#oooo#",
             "#oooo#",
             ".#oo#.",
             "..##..",
         })},
        {7, 7,
         picture({
             "..###..",
             ".#ooo#.",
             "#ooooo#",
             "#ooooo#",
             "#ooooo#",
             ".#ooo#.",
             "..###..",
         })},
        {8, 8,
         picture({
             "..####..",
             ".#oooo#.",
             "#oooooo#",
             "#oooooo#",
             "#oooooo#",
             "#oooooo#",
             ".#oooo#.",
             "..####..",
         })},
        {10, 10,
         picture({
             "...####...",
             "..#oooo#..",
             ".#oooooo#.",
             "#oooooooo#",
             "#oooooooo#",
             "#oooooooo#",
             "#oooooooo#",
             ".#oooooo#.",
             "..#oooo#..",
             "...####...",
         })},
        {6, 4,
         picture({
             ".####.",
             "#oooo#",
             "#oooo#",
             ".####.",
         })},
        {9, 5,
         picture({
             "..#####..",
             ".#ooooo#.",
             "#ooooooo#",
             ".#ooooo#.",
             "..#####..",
         })},
    };
}

// Each fixture drawn one pixel in from the corner of a bitmap with a margin, so
// anything painted outside the box shows too.
TEST(RasterEllipse, MatchesEveryFixture) {
    for (const EllipseFixture& f : ellipseFixtures()) {
        SCOPED_TRACE(std::to_string(f.w) + "x" + std::to_string(f.h));
        Canvas c(f.w + 2, f.h + 2);
        Selected fill(c.dc, brush());
        Selected pen(c.dc, pen1());
        MoveToEx(c.dc, 0, 0, nullptr);
        EXPECT_TRUE(Ellipse(c.dc, 1, 1, 1 + f.w, 1 + f.h));
        EXPECT_EQ(c.grid(), padded(f.pic, 1));
        const POINT cp = currentPosition(c.dc);
        EXPECT_EQ(cp.x, 0);
        EXPECT_EQ(cp.y, 0);
        // Ends in any order give the same box.
        c.clear();
        EXPECT_TRUE(Ellipse(c.dc, 1 + f.w, 1 + f.h, 1, 1));
        EXPECT_EQ(c.grid(), padded(f.pic, 1));
        c.clear();
        EXPECT_TRUE(Ellipse(c.dc, 1 + f.w, 1, 1, 1 + f.h));
        EXPECT_EQ(c.grid(), padded(f.pic, 1));
    }
}

TEST(RasterEllipse, IsClippedWithoutChangingItsPixels) {
    Canvas c(7, 6);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, pen1());
    Ellipse(c.dc, -3, -2, 7, 8);
    EXPECT_EQ(c.grid(), picture({
                            "ooooo#.",
                            "oooooo#",
                            "oooooo#",
                            "oooooo#",
                            "oooooo#",
                            "ooooo#.",
                        }));
}

// Big ellipses seen where their rings cross the bitmap; their walks need 64
// bits. A circle 80000 pixels across runs flat along row t (or b - 1) near its
// middle; an ellipse 200000 x 4 has its ends on rows t + 1 and t + 2.
TEST(RasterEllipse, LargeEllipsesKeepTheirRing) {
    Canvas c(12, 6);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, pen1());
    Ellipse(c.dc, -40000, 2, 40000, 80002);
    EXPECT_EQ(c.grid(), picture({
                            "............",
                            "............",
                            "############",
                            "oooooooooooo",
                            "oooooooooooo",
                            "oooooooooooo",
                        }));
    c.clear();
    Ellipse(c.dc, -40000, -79996, 40000, 4);
    EXPECT_EQ(c.grid(), picture({
                            "oooooooooooo",
                            "oooooooooooo",
                            "oooooooooooo",
                            "############",
                            "............",
                            "............",
                        }));
    const std::string tip = picture({
        "............",
        "............",
        "############",
        "############",
        "............",
        "............",
    });
    c.clear();
    Ellipse(c.dc, 0, 1, 200000, 5); // left end
    EXPECT_EQ(c.grid(), tip);
    c.clear();
    Ellipse(c.dc, 12 - 200000, 1, 12, 5); // right end
    EXPECT_EQ(c.grid(), tip);
}

TEST(RasterEllipse, NarrowBoxesAreDrawnAsRectangles) {
    struct Case {
        RECT box;
        std::string pic;
    };
    const std::vector<Case> cases = {
        {{1, 1, 3, 3},
         picture({
             "......",
             ".##...",
             ".##...",
             "......",
             "......",
             "......",
             "......",
         })},
        {{1, 1, 2, 4},
         picture({
             "......",
             ".#....",
             ".#....",
             ".#....",
             "......",
             "......",
             "......",
         })},
        {{1, 1, 3, 6},
         picture({
             "......",
             ".##...",
             ".##...",
             ".##...",
             ".##...",
             ".##...",
             "......",
         })},
        {{1, 1, 6, 3},
         picture({
             "......",
             ".#####",
             ".#####",
             "......",
             "......",
             "......",
             "......",
         })},
        {{1, 1, 2, 2}, pointsPicture(6, 7, {})}, // a 1x1 box paints nothing
        {{1, 1, 1, 5}, pointsPicture(6, 7, {})},
        {{1, 1, 5, 1}, pointsPicture(6, 7, {})},
    };
    Canvas c(6, 7);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, pen1());
    for (const Case& k : cases) {
        const RECT& r = k.box;
        SCOPED_TRACE("Ellipse(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                     std::to_string(r.right) + "," + std::to_string(r.bottom) + ")");
        c.clear();
        Ellipse(c.dc, r.left, r.top, r.right, r.bottom);
        EXPECT_EQ(c.grid(), k.pic);
        c.clear();
        Rectangle(c.dc, r.left, r.top, r.right, r.bottom);
        EXPECT_EQ(c.grid(), k.pic);
    }
}

TEST(RasterEllipse, NullPenPaintsTheWholeShapeWithTheBrush) {
    Canvas c(8, 8);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, nullPen());
    Ellipse(c.dc, 1, 1, 7, 7);
    EXPECT_EQ(c.grid(), padded(picture({
                                   "..oo..",
                                   ".oooo.",
                                   "oooooo",
                                   "oooooo",
                                   ".oooo.",
                                   "..oo..",
                               }),
                               1));
}

TEST(RasterEllipse, NullBrushPaintsOnlyTheOutline) {
    Canvas c(7, 7);
    Selected fill(c.dc, GetStockObject(NULL_BRUSH));
    Selected pen(c.dc, pen1());
    Ellipse(c.dc, 1, 1, 6, 6);
    EXPECT_EQ(c.grid(), padded(picture({
                                   ".###.",
                                   "#...#",
                                   "#...#",
                                   "#...#",
                                   ".###.",
                               }),
                               1));
}

// ---------------------------------------------------------------- Rectangle

TEST(RasterRectangle, OutlinesTheBorderAndFillsStrictlyInside) {
    Canvas c(8, 6);
    Selected fill(c.dc, brush());
    {
        Selected pen(c.dc, pen1());
        MoveToEx(c.dc, 7, 0, nullptr);
        EXPECT_TRUE(Rectangle(c.dc, 1, 1, 6, 5));
        EXPECT_EQ(c.grid(), picture({
                                "........",
                                ".#####..",
                                ".#ooo#..",
                                ".#ooo#..",
                                ".#####..",
                                "........",
                            }));
        const POINT cp = currentPosition(c.dc);
        EXPECT_EQ(cp.x, 7);
        EXPECT_EQ(cp.y, 0);
        c.clear();
        EXPECT_TRUE(Rectangle(c.dc, 6, 5, 1, 1));
        EXPECT_EQ(c.grid(), picture({
                                "........",
                                ".#####..",
                                ".#ooo#..",
                                ".#ooo#..",
                                ".#####..",
                                "........",
                            }));
    }
    // Without a pen the brush fills one pixel less to the right and bottom.
    Selected pen(c.dc, nullPen());
    c.clear();
    Rectangle(c.dc, 1, 1, 6, 5);
    EXPECT_EQ(c.grid(), picture({
                            "........",
                            ".oooo...",
                            ".oooo...",
                            ".oooo...",
                            "........",
                            "........",
                        }));
}

TEST(RasterRectangle, ThinRectangles) {
    Canvas c(6, 6);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, pen1());
    Rectangle(c.dc, 2, 1, 3, 5); // one column
    Rectangle(c.dc, 4, 4, 4, 6); // zero width
    Rectangle(c.dc, 0, 5, 3, 5); // zero height
    Rectangle(c.dc, 4, 1, 5, 2); // 1x1: nothing
    EXPECT_EQ(c.grid(), pointsPicture(6, 6, {{2, 1}, {2, 2}, {2, 3}, {2, 4}}));
}

// ---------------------------------------------------------------- pixels, fills, colours

TEST(RasterFillRect, FillsHalfOpenRectClippedAndIgnoresPenBrushAndPosition) {
    Canvas c(6, 5);
    Selected fill(c.dc, GetStockObject(BLACK_BRUSH));
    Selected pen(c.dc, pen1());
    MoveToEx(c.dc, 1, 2, nullptr);
    HBRUSH b = brush();
    const RECT inside{1, 1, 4, 3};
    const RECT hanging{4, -2, 9, 1};
    EXPECT_NE(FillRect(c.dc, &inside, b), 0);
    EXPECT_NE(FillRect(c.dc, &hanging, b), 0);
    DeleteObject(b);
    EXPECT_EQ(c.grid(), picture({
                            "....oo",
                            ".ooo..",
                            ".ooo..",
                            "......",
                            "......",
                        }));
    const POINT cp = currentPosition(c.dc);
    EXPECT_EQ(cp.x, 1);
    EXPECT_EQ(cp.y, 2);
}

TEST(RasterPixel, SetPixelVWritesInsideOnlyAndGetPixelReadsBack) {
    Canvas c(4, 3);
    EXPECT_TRUE(SetPixelV(c.dc, 0, 0, kPen));
    EXPECT_TRUE(SetPixelV(c.dc, 3, 2, kBrush));
    SetPixelV(c.dc, -1, 0, kPen);
    SetPixelV(c.dc, 4, 0, kPen);
    SetPixelV(c.dc, 0, -1, kPen);
    SetPixelV(c.dc, 0, 3, kPen);
    EXPECT_EQ(c.grid(), picture({"#...", "....", "...o"}));
    EXPECT_EQ(GetPixel(c.dc, 0, 0), kPen);
    EXPECT_EQ(GetPixel(c.dc, 3, 2), kBrush);
    EXPECT_EQ(GetPixel(c.dc, 1, 1), kBackground);
    for (POINT p : {POINT{-1, 0}, POINT{4, 0}, POINT{0, -1}, POINT{0, 3}, POINT{4, 3}})
        EXPECT_EQ(GetPixel(c.dc, p.x, p.y), CLR_INVALID) << p.x << "," << p.y;
}

TEST(RasterPixel, ColourrefIsStoredAsRedGreenBlue) {
    Canvas c(4, 1);
    SetPixelV(c.dc, 0, 0, RGB(255, 0, 0));
    SetPixelV(c.dc, 1, 0, RGB(0x11, 0x22, 0x33));
    fillWith(c.dc, RECT{2, 0, 3, 1}, RGB(1, 2, 3));
    {
        Selected pen(c.dc, CreatePen(PS_SOLID, 1, RGB(0xA0, 0xB0, 0xC0)));
        MoveToEx(c.dc, 3, 0, nullptr);
        LineTo(c.dc, 4, 0);
    }
    EXPECT_EQ(c.pixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(c.pixel(1, 0), 0x00112233u);
    EXPECT_EQ(c.pixel(2, 0), 0x00010203u);
    EXPECT_EQ(c.pixel(3, 0), 0x00A0B0C0u);
    EXPECT_EQ(GetPixel(c.dc, 1, 0), RGB(0x11, 0x22, 0x33));
}

// ---------------------------------------------------------------- BitBlt

// Sixteen colours standing for the letters a..p, or 25 for a..y.
COLORREF letterColour(int i) { return RGB(20 + i * 9, 230 - i * 7, 40 + i * 5); }

Legend letters() {
    Legend l{{kBackground, '.'}};
    for (int i = 0; i < 26; ++i) l.push_back({letterColour(i), static_cast<char>('a' + i)});
    return l;
}

void paintLetters(HDC dc, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetPixelV(dc, x, y, letterColour(y * w + x));
}

TEST(RasterBitBlt, CopiesOnlyWhatBothBitmapsHold) {
    Canvas src(4, 4);
    paintLetters(src.dc, 4, 4);
    ASSERT_EQ(gridOf(src.dc, 4, 4, letters()), picture({
                                                   "abcd",
                                                   "efgh",
                                                   "ijkl",
                                                   "mnop",
                                               }));
    Canvas dst(6, 5);
    EXPECT_TRUE(BitBlt(dst.dc, 3, -1, 4, 4, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(gridOf(dst.dc, 6, 5, letters()), picture({
                                                   "...efg",
                                                   "...ijk",
                                                   "...mno",
                                                   "......",
                                                   "......",
                                               }));
    dst.clear();
    EXPECT_TRUE(BitBlt(dst.dc, 0, 1, 4, 4, src.dc, 2, -1, SRCCOPY));
    EXPECT_EQ(gridOf(dst.dc, 6, 5, letters()), picture({
                                                   "......",
                                                   "......",
                                                   "cd....",
                                                   "gh....",
                                                   "kl....",
                                               }));
    dst.clear();
    BitBlt(dst.dc, 1, 1, 3, 2, src.dc, 9, 0, SRCCOPY); // source wholly outside
    BitBlt(dst.dc, 6, 0, 3, 2, src.dc, 0, 0, SRCCOPY); // destination wholly outside
    EXPECT_EQ(gridOf(dst.dc, 6, 5, letters()), pointsPicture(6, 5, {}));
}

TEST(RasterBitBlt, OverlappingCopyWithinOneBitmapActsLikeMemmove) {
    Canvas c(5, 5);
    const std::string start = picture({
        "abcde",
        "fghij",
        "klmno",
        "pqrst",
        "uvwxy",
    });
    paintLetters(c.dc, 5, 5);
    BitBlt(c.dc, 1, 1, 4, 4, c.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(gridOf(c.dc, 5, 5, letters()), picture({
                                                 "abcde",
                                                 "fabcd",
                                                 "kfghi",
                                                 "pklmn",
                                                 "upqrs",
                                             }));
    paintLetters(c.dc, 5, 5);
    BitBlt(c.dc, 0, 0, 4, 4, c.dc, 1, 1, SRCCOPY);
    EXPECT_EQ(gridOf(c.dc, 5, 5, letters()), picture({
                                                 "ghije",
                                                 "lmnoj",
                                                 "qrsto",
                                                 "vwxyt",
                                                 "uvwxy",
                                             }));
    paintLetters(c.dc, 5, 5);
    BitBlt(c.dc, 2, 0, 3, 1, c.dc, 0, 0, SRCCOPY);
    BitBlt(c.dc, 0, 4, 3, 1, c.dc, 2, 4, SRCCOPY);
    EXPECT_EQ(gridOf(c.dc, 5, 5, letters()), picture({
                                                 "ababc",
                                                 "fghij",
                                                 "klmno",
                                                 "pqrst",
                                                 "wxyxy",
                                             }));
    paintLetters(c.dc, 5, 5);
    BitBlt(c.dc, 0, 0, 5, 5, c.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(gridOf(c.dc, 5, 5, letters()), start);
}

// ---------------------------------------------------------------- contexts and objects

TEST(RasterContext, FreshMemoryContextHasStockObjects) {
    HDC screen = createSurfaceDC(8, 6);
    const int before = gdiLiveObjects();
    HDC dc = CreateCompatibleDC(screen);
    ASSERT_NE(dc, nullptr);
    POINT cp{-1, -1};
    MoveToEx(dc, 2, 1, &cp);
    EXPECT_EQ(cp.x, 0);
    EXPECT_EQ(cp.y, 0);
    MoveToEx(dc, 0, 0, nullptr);

    const Surface stock = dcSurface(dc);
    EXPECT_EQ(stock.width, 1);
    EXPECT_EQ(stock.height, 1);
    EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), GetStockObject(WHITE_PEN));
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), GetStockObject(BLACK_BRUSH));

    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 6);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(gdiLiveObjects(), before + 1);
    HGDIOBJ stockBitmap = SelectObject(dc, bitmap);
    EXPECT_NE(stockBitmap, nullptr);
    EXPECT_EQ(dcSurface(dc).width, 8);
    EXPECT_EQ(dcSurface(dc).height, 6);
    fillWith(dc, RECT{0, 0, 8, 6}, kBackground);
    // The defaults: black 1-pixel pen, white brush, drawing from (0,0).
    Rectangle(dc, 1, 1, 6, 5);
    LineTo(dc, 4, 0);
    EXPECT_EQ(grid(dc, 8, 6, RGB(0, 0, 0), RGB(255, 255, 255)), picture({
                                                                    "####....",
                                                                    ".#####..",
                                                                    ".#ooo#..",
                                                                    ".#ooo#..",
                                                                    ".#####..",
                                                                    "........",
                                                                }));
    EXPECT_EQ(SelectObject(dc, stockBitmap), bitmap);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(gdiLiveObjects(), before + 1);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(gdiLiveObjects(), before);
    deleteSurfaceDC(screen);
}

TEST(RasterContext, SelectObjectReturnsTheEarlierObjectOfThatKind) {
    Canvas c(4, 4);
    HPEN p = pen1();
    HBRUSH b = brush();
    HGDIOBJ oldPen = SelectObject(c.dc, p);
    HGDIOBJ oldBrush = SelectObject(c.dc, b);
    EXPECT_NE(oldPen, nullptr);
    EXPECT_NE(oldBrush, nullptr);
    EXPECT_NE(oldPen, oldBrush);
    EXPECT_EQ(SelectObject(c.dc, oldPen), p);
    EXPECT_EQ(SelectObject(c.dc, oldBrush), b);
    EXPECT_EQ(currentPen(c.dc), oldPen);
    EXPECT_EQ(currentBrush(c.dc), oldBrush);
    DeleteObject(p);
    DeleteObject(b);
}

TEST(RasterContext, DeletingASelectedObjectWaitsUntilItIsDeselected) {
    Canvas c(6, 4);
    Canvas other(6, 4);
    const int before = gdiLiveObjects();
    HPEN p = pen1();
    HBRUSH b = brush();
    EXPECT_EQ(gdiLiveObjects(), before + 2);
    HGDIOBJ oldPen = SelectObject(c.dc, p);
    HGDIOBJ oldBrush = SelectObject(c.dc, b);
    HGDIOBJ otherOldPen = SelectObject(other.dc, p);
    EXPECT_TRUE(DeleteObject(p));
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_EQ(gdiLiveObjects(), before + 2);
    // Both still draw.
    Rectangle(c.dc, 0, 0, 4, 3);
    EXPECT_EQ(c.grid(), picture({
                            "####..",
                            "#oo#..",
                            "####..",
                            "......",
                        }));
    EXPECT_EQ(SelectObject(c.dc, oldBrush), b);
    EXPECT_EQ(gdiLiveObjects(), before + 1);
    EXPECT_EQ(SelectObject(c.dc, oldPen), p);
    EXPECT_EQ(gdiLiveObjects(), before + 1); // still selected in the other context
    MoveToEx(other.dc, 0, 1, nullptr);
    LineTo(other.dc, 3, 1);
    EXPECT_EQ(other.grid(), picture({
                                "......",
                                "###...",
                                "......",
                                "......",
                            }));
    EXPECT_EQ(SelectObject(other.dc, otherOldPen), p);
    EXPECT_EQ(gdiLiveObjects(), before);
}

TEST(RasterContext, DeletingAStockObjectChangesNothing) {
    Canvas c(5, 3);
    const int before = gdiLiveObjects();
    HGDIOBJ black = GetStockObject(BLACK_PEN);
    HGDIOBJ old = SelectObject(c.dc, black);
    EXPECT_TRUE(DeleteObject(black));
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(DeleteObject(GetStockObject(NULL_PEN)));
    EXPECT_EQ(GetStockObject(BLACK_PEN), black);
    EXPECT_EQ(gdiLiveObjects(), before);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 4, 1);
    EXPECT_EQ(grid(c.dc, 5, 3, RGB(0, 0, 0)), picture({".....", "####.", "....."}));
    EXPECT_EQ(SelectObject(c.dc, old), black);
    // The white brush still paints white.
    Selected fill(c.dc, GetStockObject(WHITE_BRUSH));
    Selected pen(c.dc, GetStockObject(NULL_PEN));
    c.clear();
    Rectangle(c.dc, 0, 0, 3, 3);
    EXPECT_EQ(grid(c.dc, 5, 3, kPen, RGB(255, 255, 255)), picture({"oo...", "oo...", "....."}));
}

// ---------------------------------------------------------------- far-off coordinates

TEST(RasterFarOff, HugeShapesPaintOnlyTheirVisiblePixels) {
    const int lo = INT_MIN, hi = INT_MAX, far = 2000000000;
    Canvas c(8, 8);
    Selected fill(c.dc, brush());
    {
        Selected pen(c.dc, pen1());
        EXPECT_EQ(
            line(c, {lo, lo}, {hi, hi}),
            pointsPicture(8, 8, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}}));
        EXPECT_EQ(
            line(c, {lo, 5}, {hi, 5}),
            pointsPicture(8, 8, {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}}));
        EXPECT_EQ(
            line(c, {-far, 0}, {far, 4}),
            pointsPicture(8, 8, {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 2}}));
        EXPECT_EQ(line(c, {hi, lo}, {hi, hi}), pointsPicture(8, 8, {}));
        EXPECT_EQ(line(c, {lo, hi}, {-far, far}), pointsPicture(8, 8, {}));

        const std::string full = picture({
            "oooooooo",
            "oooooooo",
            "oooooooo",
            "oooooooo",
            "oooooooo",
            "oooooooo",
            "oooooooo",
            "oooooooo",
        });
        c.clear();
        Rectangle(c.dc, lo, lo, hi, hi);
        EXPECT_EQ(c.grid(), full);
        c.clear();
        Ellipse(c.dc, lo, lo, hi, hi);
        EXPECT_EQ(c.grid(), full);
        c.clear();
        const POINT square[] = {{-far, -far}, {far, -far}, {far, far}, {-far, far}};
        Polygon(c.dc, square, 4);
        EXPECT_EQ(c.grid(), full);
        c.clear();
        Rectangle(c.dc, -far, 2, far, 5);
        EXPECT_EQ(c.grid(), picture({
                                "........",
                                "........",
                                "########",
                                "oooooooo",
                                "########",
                                "........",
                                "........",
                                "........",
                            }));
        c.clear();
        Ellipse(c.dc, -far, 2, far, 6);
        EXPECT_EQ(c.grid(), picture({
                                "........",
                                "........",
                                "########",
                                "oooooooo",
                                "oooooooo",
                                "########",
                                "........",
                                "........",
                            }));
        c.clear();
        // Edge products need 64 bits; all within the clamp range.
        const POINT wide[] = {{0, -100000000}, {100000000, 100000000}, {-100000000, 100000000}};
        Polygon(c.dc, wide, 3);
        EXPECT_EQ(c.grid(), full);
        c.clear();
        const POINT slanted[] = {{-1000000, -1000000}, {1000000, 1000001}, {-1000000, 1000001}};
        Polygon(c.dc, slanted, 3);
        EXPECT_EQ(c.grid(), picture({
                                "#.......",
                                "#.......",
                                "o#......",
                                "oo#.....",
                                "ooo#....",
                                "oooo#...",
                                "ooooo#..",
                                "oooooo#.",
                            }));
    }
    {
        // The same fill without the outline: the edge lies just left of x = y - 0.5.
        Selected pen(c.dc, nullPen());
        c.clear();
        const POINT slanted[] = {{-1000000, -1000000}, {1000000, 1000001}, {-1000000, 1000001}};
        Polygon(c.dc, slanted, 3);
        EXPECT_EQ(c.grid(), picture({
                                "........",
                                "o.......",
                                "oo......",
                                "ooo.....",
                                "oooo....",
                                "ooooo...",
                                "oooooo..",
                                "ooooooo.",
                            }));
    }
    Selected pen(c.dc, pen3());
    c.clear();
    MoveToEx(c.dc, lo, 4, nullptr);
    LineTo(c.dc, hi, 4);
    EXPECT_EQ(c.grid(), picture({
                            "........",
                            "........",
                            "........",
                            "########",
                            "########",
                            "########",
                            "........",
                            "........",
                        }));
    // A 45-degree wide line: pixels with |x - y| <= 2.
    EXPECT_EQ(line(c, {lo, lo}, {hi, hi}), picture({
                                               "###.....",
                                               "####....",
                                               "#####...",
                                               ".#####..",
                                               "..#####.",
                                               "...#####",
                                               "....####",
                                               ".....###",
                                           }));
}

TEST(RasterFarOff, PixelsFillsAndBlitsAtExtremeCoordinates) {
    const int lo = INT_MIN, hi = INT_MAX;
    Canvas c(6, 4);
    for (POINT p : {POINT{lo, lo}, POINT{hi, 0}, POINT{0, hi}, POINT{lo, 0}, POINT{hi, hi}}) {
        SetPixelV(c.dc, p.x, p.y, kPen);
        EXPECT_EQ(GetPixel(c.dc, p.x, p.y), CLR_INVALID);
    }
    HBRUSH b = brush();
    const RECT nothing{hi - 1, 0, hi, 3};
    const RECT everything{lo, lo, hi, hi};
    FillRect(c.dc, &nothing, b);
    EXPECT_EQ(c.grid(), pointsPicture(6, 4, {}));
    FillRect(c.dc, &everything, b);
    EXPECT_EQ(c.grid(), picture({
                            "oooooo",
                            "oooooo",
                            "oooooo",
                            "oooooo",
                        }));
    DeleteObject(b);

    Canvas src(4, 4);
    paintLetters(src.dc, 4, 4);
    c.clear();
    BitBlt(c.dc, hi - 2, 0, 10, 10, src.dc, 0, 0, SRCCOPY);
    BitBlt(c.dc, 0, 0, 4, 4, src.dc, lo, lo, SRCCOPY);
    BitBlt(c.dc, lo, lo, hi, hi, src.dc, 0, 0, SRCCOPY);
    BitBlt(c.dc, 0, 0, 3, 3, src.dc, hi - 1, hi - 1, SRCCOPY);
    EXPECT_EQ(gridOf(c.dc, 6, 4, letters()), pointsPicture(6, 4, {}));
    BitBlt(c.dc, 0, 0, hi, hi, src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(gridOf(c.dc, 6, 4, letters()), picture({
                                                 "abcd..",
                                                 "efgh..",
                                                 "ijkl..",
                                                 "mnop..",
                                             }));
}

// ---------------------------------------------------------------- bad input

TEST(RasterBadInput, NullHandlesAndPointersFailWithoutPainting) {
    Canvas c(5, 4);
    Selected fill(c.dc, brush());
    Selected pen(c.dc, pen1());
    const POINT pts[] = {{0, 0}, {4, 3}, {0, 3}};
    const RECT r{0, 0, 5, 4};
    POINT prev{};
    EXPECT_FALSE(MoveToEx(nullptr, 1, 1, &prev));
    EXPECT_FALSE(LineTo(nullptr, 1, 1));
    EXPECT_FALSE(Polyline(nullptr, pts, 3));
    EXPECT_FALSE(Polygon(nullptr, pts, 3));
    EXPECT_FALSE(Polyline(c.dc, nullptr, 3));
    EXPECT_FALSE(Polygon(c.dc, nullptr, 3));
    EXPECT_FALSE(Ellipse(nullptr, 0, 0, 4, 4));
    EXPECT_FALSE(Rectangle(nullptr, 0, 0, 4, 4));
    EXPECT_FALSE(SetPixelV(nullptr, 0, 0, kPen));
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
    EXPECT_EQ(FillRect(nullptr, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(FillRect(c.dc, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(FillRect(c.dc, &r, nullptr), 0);
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, c.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(c.dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_EQ(SelectObject(c.dc, nullptr), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteDC(nullptr));
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(1000), nullptr);
    EXPECT_EQ(c.grid(), pointsPicture(5, 4, {}));
    // The context still works afterwards with what was selected.
    Rectangle(c.dc, 0, 0, 3, 3);
    EXPECT_EQ(c.grid(), picture({
                            "###..",
                            "#o#..",
                            "###..",
                            ".....",
                        }));
}

} // namespace
