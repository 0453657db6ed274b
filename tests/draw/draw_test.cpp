// The pen and brush cache and the drawing calls built on it: every call with
// colours of its own leaves the context and the object count as it found them,
// and each call paints what the GDI call it stands for paints.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "draw/draw.h"
#include "gdi/gdi.h"
#include "gdi/surface.h"
#include "support/grid.h"

namespace {

using Painter = std::function<void(HDC)>;

// What the game's call paints on a fresh canvas.
std::string drawn(int w, int h, const Painter& paint) {
    Canvas c(w, h);
    paint(c.dc);
    return c.grid();
}

// What plain GDI calls paint with a kPen pen of `width` and a kBrush brush.
std::string direct(int w, int h, const Painter& paint, int width = 1) {
    Canvas c(w, h);
    Selected fill(c.dc, CreateSolidBrush(kBrush));
    Selected pen(c.dc, CreatePen(PS_SOLID, width, kPen));
    paint(c.dc);
    return c.grid();
}

TEST(DrawCache, OwnColourCallsLeaveTheContextAsTheyFoundIt) {
    const vec2 tri[] = {vec2(1, 1), vec2(6, 2), vec2(2, 5)};
    const std::vector<std::pair<const char*, Painter>> calls = {
        {"drawCirc", [](HDC dc) { drawCirc(dc, vec2(4, 4), 3, kPen, kBrush); }},
        {"drawLine a-b", [](HDC dc) { drawLine(dc, vec2(1, 1), vec2(6, 4), kPen); }},
        {"drawLine a-b wide", [](HDC dc) { drawLine(dc, vec2(1, 1), vec2(6, 4), kPen, 3); }},
        {"drawLine to b", [](HDC dc) { drawLine(dc, vec2(6, 6), kPen); }},
        {"drawLine to b wide", [](HDC dc) { drawLine(dc, vec2(1, 6), kPen, 3); }},
        {"drawBox outline", [](HDC dc) { drawBox(dc, vec2(1, 1), vec2(5, 5), kPen); }},
        {"drawBox filled", [](HDC dc) { drawBox(dc, vec2(1, 1), vec2(5, 5), kPen, kBrush); }},
        {"drawPoly outline", [&](HDC dc) { drawPoly(dc, tri, 3, kPen); }},
        {"drawPoly filled", [&](HDC dc) { drawPoly(dc, tri, 3, kPen, kBrush); }},
        {"drawPoly turned outline",
         [&](HDC dc) { drawPoly(dc, vec2(1, 1), vec2(0.6, 0.8), tri, 3, kPen); }},
        {"drawPoly turned filled",
         [&](HDC dc) { drawPoly(dc, vec2(1, 1), vec2(0.6, 0.8), tri, 3, kPen, kBrush); }},
        {"drawPixl", [](HDC dc) { drawPixl(dc, vec2(3, 3), kPen); }},
    };
    Canvas c(9, 9);
    Canvas other(9, 9);
    const HGDIOBJ pen = currentPen(c.dc), brush = currentBrush(c.dc);
    const HGDIOBJ otherPen = currentPen(other.dc), otherBrush = currentBrush(other.dc);
    const int live = gdiLiveObjects();
    for (int round = 0; round < 2; ++round) {
        for (const auto& [name, call] : calls) {
            SCOPED_TRACE(name);
            call(c.dc);
            EXPECT_EQ(currentPen(c.dc), pen);
            EXPECT_EQ(currentBrush(c.dc), brush);
            EXPECT_EQ(gdiLiveObjects(), live);
            // A second context, holding the same stock objects, gets them back too.
            call(other.dc);
            EXPECT_EQ(currentPen(other.dc), otherPen);
            EXPECT_EQ(currentBrush(other.dc), otherBrush);
            EXPECT_EQ(gdiLiveObjects(), live);
        }
    }
}

TEST(DrawCache, SetAndEndPutTheEarlierObjectsBack) {
    Canvas c(8, 4);
    const HGDIOBJ pen = currentPen(c.dc), brush = currentBrush(c.dc);
    const int live = gdiLiveObjects();

    setLine(c.dc, PS_SOLID, 1, RGB(1, 2, 3));
    setLine(c.dc, PS_SOLID, 1, kPen); // replaces the first: one game pen at a time
    EXPECT_NE(currentPen(c.dc), pen);
    EXPECT_EQ(gdiLiveObjects(), live + 1);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 3, 0);
    endLine(c.dc);
    EXPECT_EQ(currentPen(c.dc), pen);
    EXPECT_EQ(gdiLiveObjects(), live);

    setFill(c.dc, RGB(1, 2, 3));
    setFill(c.dc, kBrush);
    EXPECT_NE(currentBrush(c.dc), brush);
    EXPECT_EQ(gdiLiveObjects(), live + 1);
    const RECT r{4, 0, 8, 2};
    FillRect(c.dc, &r, static_cast<HBRUSH>(currentBrush(c.dc)));
    endFill(c.dc);
    EXPECT_EQ(currentBrush(c.dc), brush);
    EXPECT_EQ(gdiLiveObjects(), live);

    setColor(c.dc, kPen, PS_SOLID, 3, kBrush);
    EXPECT_EQ(gdiLiveObjects(), live + 2);
    MoveToEx(c.dc, 1, 2, nullptr);
    LineTo(c.dc, 2, 2);
    endColor(c.dc);
    EXPECT_EQ(currentPen(c.dc), pen);
    EXPECT_EQ(currentBrush(c.dc), brush);
    EXPECT_EQ(gdiLiveObjects(), live);
    EXPECT_EQ(c.grid(), picture({
                            "###.oooo",
                            ".##.oooo",
                            "####....",
                            ".##.....",
                        }));
}

TEST(DrawCalls, CurrentColourCallsDrawWithWhatIsSelected) {
    const std::string got = drawn(9, 9, [](HDC dc) {
        setColor(dc, kPen, kBrush);
        drawBox(dc, vec2(1, 1), vec2(4, 3));
        drawCirc(dc, vec2(6, 6), 2);
        drawLine(dc, vec2(0, 8), vec2(4, 8));
        drawLine(dc, vec2(4, 5));
        endColor(dc);
    });
    EXPECT_EQ(got, direct(9, 9, [](HDC dc) {
                  const POINT box[] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}};
                  Polygon(dc, box, 4);
                  Ellipse(dc, 4, 4, 8, 8);
                  MoveToEx(dc, 0, 8, nullptr);
                  LineTo(dc, 4, 8);
                  LineTo(dc, 4, 5);
              }));
}

TEST(DrawCalls, LinesContinueFromTheCurrentPosition) {
    const std::string got = drawn(7, 6, [](HDC dc) {
        MoveToEx(dc, 1, 1, nullptr);
        drawLine(dc, vec2(5, 1), kPen);
        drawLine(dc, vec2(5, 4), kPen);
    });
    EXPECT_EQ(got, picture({
                       ".......",
                       ".#####.",
                       ".....#.",
                       ".....#.",
                       ".......",
                       ".......",
                   }));
}

TEST(DrawCalls, OutlinedPolygonClosesBackToTheFirstPoint) {
    const vec2 pts[] = {vec2(1, 1), vec2(5, 1), vec2(5, 4)};
    const std::string want = picture({
        ".......",
        ".#####.",
        "..##.#.",
        "....##.",
        ".....#.",
        ".......",
    });
    EXPECT_EQ(drawn(7, 6, [&](HDC dc) { drawPoly(dc, pts, 3, kPen); }), want);
    EXPECT_EQ(drawn(7, 6, [&](HDC dc) { drawPoly(dc, vec2(0, 0), vec2(1, 0), pts, 3, kPen); }),
              want);
}

// One point makes a line from the point to itself, which a 1-pixel pen does
// not paint.
TEST(DrawCalls, OutlinedPolygonOfOnePoint) {
    const vec2 pt[] = {vec2(3, 2)};
    const std::string want = direct(6, 5, [](HDC dc) {
        const POINT twice[] = {{3, 2}, {3, 2}};
        Polyline(dc, twice, 2);
    });
    EXPECT_EQ(want, pointsPicture(6, 5, {}));
    EXPECT_EQ(drawn(6, 5, [&](HDC dc) { drawPoly(dc, pt, 1, kPen); }), want);
}

TEST(DrawCalls, EmptyPointListsDrawNothing) {
    Canvas c(6, 5);
    const int live = gdiLiveObjects();
    const HGDIOBJ pen = currentPen(c.dc), brush = currentBrush(c.dc);
    const vec2 pts[] = {vec2(1, 1), vec2(4, 1), vec2(4, 3)};
    drawPoly(c.dc, nullptr, 0, kPen);
    drawPoly(c.dc, nullptr, 0, kPen, kBrush);
    drawPoly(c.dc, vec2(1, 1), vec2(1, 0), nullptr, 0, kPen, kBrush);
    drawPoly(c.dc, pts, -2, kPen);
    drawPoly(c.dc, pts, -2, kPen, kBrush);
    EXPECT_EQ(c.grid(), pointsPicture(6, 5, {}));
    EXPECT_EQ(gdiLiveObjects(), live);
    EXPECT_EQ(currentPen(c.dc), pen);
    EXPECT_EQ(currentBrush(c.dc), brush);
}

TEST(DrawCalls, BoxCornersMayComeInAnyOrder) {
    const std::string filled = picture({
        "........",
        ".######.",
        ".#oooo#.",
        ".#oooo#.",
        ".#oooo#.",
        ".######.",
        "........",
    });
    const std::string outline = picture({
        "........",
        ".######.",
        ".#....#.",
        ".#....#.",
        ".#....#.",
        ".######.",
        "........",
    });
    const std::vector<std::pair<vec2, vec2>> corners = {
        {vec2(1, 1), vec2(6, 5)}, {vec2(6, 5), vec2(1, 1)},          {vec2(6, 1), vec2(1, 5)},
        {vec2(1, 5), vec2(6, 1)}, {vec2(1.9, 1.2), vec2(6.99, 5.5)}, // truncated to the same pixels
    };
    for (const auto& [a, b] : corners) {
        SCOPED_TRACE(std::to_string(a.x) + "," + std::to_string(a.y) + " " + std::to_string(b.x) +
                     "," + std::to_string(b.y));
        EXPECT_EQ(drawn(8, 7, [&](HDC dc) { drawBox(dc, a, b, kPen, kBrush); }), filled);
        EXPECT_EQ(drawn(8, 7, [&](HDC dc) { drawBox(dc, a, b, kPen); }), outline);
        EXPECT_EQ(drawn(8, 7,
                        [&](HDC dc) {
                            setColor(dc, kPen, kBrush);
                            drawBox(dc, a, b);
                            endColor(dc);
                        }),
                  filled);
    }
}

// The box is truncated after the radius is added and taken away.
TEST(DrawCalls, CircleBoundsAreTruncatedAfterAddingTheRadius) {
    auto circle = [](vec2 c, double r) {
        return drawn(16, 16, [=](HDC dc) { drawCirc(dc, c, r, kPen, kBrush); });
    };
    auto ellipse = [](int l, int t, int r, int b) {
        return direct(16, 16, [=](HDC dc) { Ellipse(dc, l, t, r, b); });
    };
    EXPECT_EQ(circle(vec2(10.9, 10.9), 0.4), ellipse(10, 10, 11, 11));
    EXPECT_EQ(circle(vec2(10.9, 10.9), 3.4), ellipse(7, 7, 14, 14));
    EXPECT_NE(ellipse(7, 7, 14, 14), ellipse(6, 6, 13, 13));
    // A bound between -1 and 0 becomes 0.
    EXPECT_EQ(circle(vec2(3.2, 3.2), 3.5), ellipse(0, 0, 6, 6));
    EXPECT_NE(ellipse(0, 0, 6, 6), ellipse(-1, -1, 6, 6)); // what flooring would give
}

TEST(DrawCalls, CoordinatesBetweenMinusOneAndZeroLandOnPixelZero) {
    EXPECT_EQ(drawn(5, 3, [](HDC dc) { drawPixl(dc, vec2(-0.5, -0.9), kPen); }),
              pointsPicture(5, 3, {{0, 0}}));
    EXPECT_EQ(drawn(5, 3, [](HDC dc) { drawLine(dc, vec2(-0.9, 2), vec2(4, -0.3), kPen); }),
              pointsPicture(5, 3, {{0, 2}, {1, 1}, {2, 1}, {3, 0}}));
    EXPECT_EQ(drawn(5, 3, [](HDC dc) { drawBox(dc, vec2(-0.99, -0.5), vec2(3, 2), kPen, kBrush); }),
              picture({"####.", "#oo#.", "####."}));
}

TEST(DrawCalls, TurnedPolygonFollowsItsAxis) {
    const vec2 local[] = {vec2(0, 0), vec2(4, 0), vec2(4, 2), vec2(1, 3)};
    const vec2 origin(5, 1);
    vec2 moved[4], turned[4];
    for (int i = 0; i < 4; ++i) {
        moved[i] = origin + local[i];
        turned[i] = origin + vec2(-local[i].y, local[i].x);
    }
    // Axis (1,0) only moves the shape; axis (0,1) turns it clockwise on screen.
    EXPECT_EQ(
        drawn(10, 10, [&](HDC dc) { drawPoly(dc, origin, vec2(1, 0), local, 4, kPen, kBrush); }),
        drawn(10, 10, [&](HDC dc) { drawPoly(dc, moved, 4, kPen, kBrush); }));
    const std::string turnedFilled =
        drawn(10, 10, [&](HDC dc) { drawPoly(dc, origin, vec2(0, 1), local, 4, kPen, kBrush); });
    EXPECT_EQ(turnedFilled, drawn(10, 10, [&](HDC dc) { drawPoly(dc, turned, 4, kPen, kBrush); }));
    EXPECT_EQ(turnedFilled, direct(10, 10, [](HDC dc) {
                  const POINT pts[] = {{5, 1}, {5, 5}, {3, 5}, {2, 2}};
                  Polygon(dc, pts, 4);
              }));
    EXPECT_EQ(drawn(10, 10, [&](HDC dc) { drawPoly(dc, origin, vec2(0, 1), local, 4, kPen); }),
              drawn(10, 10, [&](HDC dc) { drawPoly(dc, turned, 4, kPen); }));
    EXPECT_EQ(drawn(10, 10,
                    [&](HDC dc) {
                        setColor(dc, kPen, kBrush);
                        drawPoly(dc, origin, vec2(0, 1), local, 4);
                        endColor(dc);
                    }),
              turnedFilled);
}

TEST(DrawCalls, WideLinesPaintWide) {
    const std::string want = picture({
        "...........",
        "..#######..",
        ".#########.",
        "..#######..",
        "...........",
    });
    EXPECT_EQ(drawn(11, 5, [](HDC dc) { drawLine(dc, vec2(2, 2), vec2(8, 2), kPen, 3); }), want);
    EXPECT_EQ(drawn(11, 5,
                    [](HDC dc) {
                        MoveToEx(dc, 2, 2, nullptr);
                        drawLine(dc, vec2(8.7, 2.2), kPen, 3);
                    }),
              want);
}

} // namespace
