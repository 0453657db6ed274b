// The play scene's overlays: where the target pointers start and end, which
// markers show, the far-view symbols, and the status panels' size, scale,
// energy bar and name. Each test runs in a process of its own, so the panel's
// size is fixed from the width the test sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/app.h"
#include "draw/draw.h"
#include "render/render.h"
#include "support/grid.h"

namespace {

// Columns of row y holding colour c, left to right.
std::vector<int> columns(const Canvas& cv, int y, COLORREF c) {
    std::vector<int> xs;
    for (int x = 0; x < cv.w; ++x)
        if (cv.pixel(x, y) == pixelOf(c)) xs.push_back(x);
    return xs;
}

// Two ships 70 apart along x: ship 0 (radius 10) watches ship 1.
std::vector<ship> pair() {
    std::vector<ship> s(shipCount);
    for (int i = 0; i < 2; ++i) {
        s[i].alive = true;
        s[i].dir = vec2(1, 0);
        s[i].radius = i ? 5 : 10;
        s[i].target = s[i].leader = s[i].homeBase = i;
        s[i].waypoint = s[i].pos = vec2(70 * i, 0);
    }
    return s;
}

constexpr COLORREF targetLine = 0x000096, targetFill = 0x0032ff;
constexpr COLORREF leaderLine = 0x009600, waypointLine = 0x966400;

} // namespace

TEST(TargetMarkers, PointerBaseAndTipFollowTheSquareOfTheZoom) {
    workRes(false, 400, 100);
    Canvas cv(400, 100);
    std::vector<ship> s = pair();
    s[0].target = 1;
    s[0].waypoint = vec2(0, -1000); // its pointer goes up, out of the way
    // Pointer outline on row 50, the centre being x = 200: base 15 out, tip
    // 8 further at zoom 1; 60 and 76 at zoom 2.
    drawTargets(cv.dc, s.data(), 0, vec2(0, 0), 1);
    std::vector<int> xs = columns(cv, 50, targetLine);
    ASSERT_FALSE(xs.empty());
    EXPECT_EQ(xs.front(), 215);
    EXPECT_EQ(xs.back(), 223);
    cv.clear();
    drawTargets(cv.dc, s.data(), 0, vec2(0, 0), 2);
    xs = columns(cv, 50, targetLine);
    ASSERT_FALSE(xs.empty());
    EXPECT_EQ(xs.front(), 260);
    EXPECT_EQ(xs.back(), 276);
    // The target's square: 1.1 radii around it, 140 pixels out at zoom 2.
    EXPECT_EQ(cv.pixel(200 + 129, 50), pixelOf(targetFill));
    EXPECT_EQ(cv.pixel(200 + 151, 50), pixelOf(targetFill));
    EXPECT_EQ(cv.pixel(200 + 152, 50), pixelOf(kBackground));
}

TEST(TargetMarkers, MarkersShowOnlyForLiveShipsAndTheWaypointOnlyWithoutALeader) {
    workRes(false, 400, 100);
    Canvas cv(400, 100);
    std::vector<ship> s = pair();
    auto shown = [&](COLORREF line) {
        cv.clear();
        drawTargets(cv.dc, s.data(), 0, vec2(0, 0), 1);
        return cv.count(line, 0, 0, cv.w, cv.h) > 0;
    };
    // Nothing refers anywhere: only the waypoint, which is the ship's own
    // position, so its pointer lies along (1, 0).
    EXPECT_FALSE(shown(targetLine));
    EXPECT_TRUE(shown(waypointLine));
    EXPECT_EQ(columns(cv, 50, waypointLine).front(), 215);
    s[0].waypoint = vec2(0, -1000); // out of the way of the other pointers
    // Later pointers cover earlier ones where they overlap: leader over target.
    s[0].target = 1;
    EXPECT_TRUE(shown(targetLine));
    s[0].leader = 1;
    EXPECT_TRUE(shown(leaderLine));
    EXPECT_FALSE(shown(waypointLine));
    s[1].alive = false;
    EXPECT_FALSE(shown(targetLine));
    EXPECT_FALSE(shown(leaderLine));
    EXPECT_TRUE(shown(waypointLine));
    // References from a bad file read as none.
    s[0].target = s[0].leader = s[0].homeBase = 900;
    EXPECT_FALSE(shown(targetLine));
}

TEST(Symbols, ShapeByOrdersSizeByRadiusColourBySide) {
    workRes(false, 100, 100);
    Canvas cv(100, 100);
    ship s;
    s.dir = vec2(1, 0);
    s.radius = 30; // u = 6 pixels
    s.orders = orderBase;
    s.side = sideBlue;
    drawSymbol(cv.dc, s, vec2(50, 50));
    std::vector<int> row = columns(cv, 50, 0xff0000);
    ASSERT_FALSE(row.empty());
    EXPECT_EQ(row.front(), 44);
    EXPECT_EQ(row.back(), 55);
    EXPECT_EQ(cv.pixel(50, 50), pixelOf(0x640000));

    // A fighter's triangle points along its heading: down the screen here.
    cv.clear();
    s.orders = orderFighter;
    s.side = sideRed;
    s.dir = vec2(0, 1);
    drawSymbol(cv.dc, s, vec2(50, 50));
    EXPECT_EQ(cv.pixel(50, 56), pixelOf(0x0000ff));
    EXPECT_EQ(cv.count(0x0000ff, 0, 0, 100, 44), 0);
    EXPECT_GT(cv.count(0x0000ff, 0, 44, 100, 45), 4); // the wide back edge

    cv.clear();
    s.orders = 7; // no such orders: no sign
    drawSymbol(cv.dc, s, vec2(50, 50));
    EXPECT_EQ(cv.count(kBackground, 0, 0, 100, 100), 100 * 100);
}

namespace {

// A ship of one hull plate 10 ahead of its centre, with full energy.
ship plated(float radius) {
    ship s;
    s.dir = vec2(1, 0);
    s.radius = radius;
    s.parts[3] = part(vec2(10, 0), 0, kindHull, 0, 3, true);
    s.energy = s.energyMax = 40;
    settext(s.name, "Base", 20);
    return s;
}

// The panel expected for s at scale k: the frame and the plate, drawn directly.
void expectPanel(const Canvas& cv, int x0, int y0, const ship& s, double k) {
    Canvas want(64, 64);
    drawBox(want.dc, vec2(0, 0), vec2(63, 63), 0x963200, 0);
    float f = s.parts[3].health / getatt(kindHull, 0, attrHealth);
    drawPart(want.dc, vec2(32 + 10 * k, 32), vec2(1, 0), float(k), kindHull, 0, false, colourHealth,
             f);
    int differ = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) differ += cv.pixel(x0 + x, y0 + y) != want.pixel(x, y);
    EXPECT_EQ(differ, 0) << "panel of radius " << s.radius;
}

} // namespace

TEST(StatusPanel, SixtyFourPixelsOnA1024ScreenAndLargeShipsShrunk) {
    workRes(false, 1024, 768);
    Canvas cv(1024, 768);
    drawStat(cv.dc, plated(50), false);
    expectPanel(cv, 1024 - 69, 768 - 69, plated(50), 0.64);
    EXPECT_EQ(cv.pixel(1024 - 70, 700), pixelOf(kBackground)); // just left of it
    drawStat(cv.dc, plated(100), false);
    expectPanel(cv, 1024 - 69, 768 - 69, plated(100), 0.32);
    // The target's panel has neither bar nor name.
    EXPECT_EQ(cv.count(0x00ff00, 0, 0, 1024, 768), 0);
    EXPECT_EQ(cv.count(0xffaf64, 0, 0, 1024, 768), 0);

    // A destroyed part is still drawn, in dark grey.
    ship broken = plated(50);
    broken.parts[3].health = 0;
    cv.clear();
    drawStat(cv.dc, broken, true);
    EXPECT_GT(cv.count(0x646464, 5, 699, 69, 763), 0);
    expectPanel(cv, 5, 768 - 69, broken, 0.64);
}

TEST(StatusPanel, EnergyBarFromEmptyToFullAndNoneWithoutPower) {
    workRes(false, 1024, 768);
    Canvas cv(1024, 768);
    ship s = plated(20);
    auto barRows = [&]() {
        std::vector<int> rows;
        for (int y = 0; y < 768; ++y)
            if (cv.count(0x00ff00, 74, y, 80, y + 1) > 0) rows.push_back(y);
        return rows;
    };
    drawStat(cv.dc, s, true);
    std::vector<int> rows = barRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), 768 - 64 - 5); // level with the panel's top edge
    EXPECT_EQ(rows.back(), 768 - 5);
    EXPECT_GT(cv.count(0xffaf64, 84, 740, 200, 768), 0); // the name

    cv.clear();
    s.energy = 0;
    drawStat(cv.dc, s, true);
    rows = barRows();
    EXPECT_TRUE(rows.empty() || rows.front() >= 768 - 5);

    cv.clear();
    s.energyMax = 0;
    drawStat(cv.dc, s, true);
    EXPECT_TRUE(barRows().empty());
    EXPECT_EQ(cv.count(0x006400, 70, 0, 84, 768), 0);
}
