// What the editor draws: the arrow, the overlay's halos, links and route, the
// button faces, the pilot settings beside each ship under the pilot tool, the
// objective marks and the empty mission's picture.
#include <algorithm>

#include "editor/editor_rig.h"

namespace {

COLORREF at(const Canvas& c, vec2 p) { return colourOf(c.pixel(int(p.x), int(p.y))); }

// The pixels of one colour in a box, as a picture of '#' and '.'.
std::string maskIn(const Canvas& c, COLORREF colour, int x0, int y0, int w, int h) {
    std::string out;
    for (int y = y0; y < y0 + h; ++y, out += '\n')
        for (int x = x0; x < x0 + w; ++x) out += c.pixel(x, y) == pixelOf(colour) ? '#' : '.';
    return out;
}

int countIn(const Canvas& c, COLORREF colour) {
    std::string mask = maskIn(c, colour, 0, 0, c.w, c.h);
    return int(std::count(mask.begin(), mask.end(), '#'));
}

constexpr COLORREF kArrow = 0x12ab34;

} // namespace

TEST(EditorOverlay, ArrowsRunBetweenTheGapsWithTheHeadAtTheEnd) {
    Canvas c(100, 100);
    drawArrow(c.dc, vec2(20, 50), 5, vec2(80, 50), 5, kArrow);
    EXPECT_EQ(at(c, vec2(26, 50)), kArrow);
    EXPECT_NE(at(c, vec2(23, 50)), kArrow);
    EXPECT_EQ(at(c, vec2(70, 47)), kArrow); // the head, 8 wide near its base
    EXPECT_EQ(at(c, vec2(70, 53)), kArrow);
    EXPECT_NE(at(c, vec2(70, 45)), kArrow);
    EXPECT_NE(at(c, vec2(77, 50)), kArrow);

    // From a point to itself: a horizontal line across the gap, the head on
    // the left end pointing right.
    c.clear();
    drawArrow(c.dc, vec2(50, 50), 10, vec2(50, 50), 10, kArrow);
    EXPECT_EQ(at(c, vec2(55, 50)), kArrow);
    EXPECT_EQ(at(c, vec2(35, 50)), kArrow);
    EXPECT_EQ(at(c, vec2(35, 47)), kArrow);
    EXPECT_NE(at(c, vec2(58, 47)), kArrow);
    EXPECT_NE(at(c, vec2(50, 44)), kArrow);
}

TEST(EditorOverlay, TheSelectedShipHasASquareHaloAndLinksToDeadShipsAreNotDrawn) {
    EditorRig rig;
    Canvas& c = rig.canvas;
    ship& s = rig.put(0, vec2(-200, 0));
    s.target = s.leader = s.homeBase = 1; // a dead slot
    s.waypoint = vec2(-200, 150);
    s.wayA = s.wayB = vec2(-100, 150);
    ship& other = rig.put(2, vec2(200, 0));
    other.target = other.leader = other.homeBase = 1;
    vec2 p = EditorRig::screen(s.pos);
    float g = float(s.radius + 5);
    for (int i : {0, 2}) drawAbstr(c.dc, rig.ships, i, rig.cam, rig.zom, 0);
    EXPECT_EQ(at(c, p + (g - 2)), COLORREF(0xc8c8c8)); // inside the square's corner
    EXPECT_NE(at(c, EditorRig::screen(vec2(200, 0)) + (g - 2)), COLORREF(0xc8c8c8));
    for (COLORREF link : {0x0000ffu, 0x00ff00u, 0xff0000u})
        EXPECT_EQ(countIn(c, link), 0) << "an arrow to a dead ship, colour " << std::hex << link;
    EXPECT_EQ(at(c, EditorRig::screen(s.waypoint)), COLORREF(0x4b3200));
    EXPECT_EQ(at(c, EditorRig::screen(s.wayB)), COLORREF(0x4b3200));
    EXPECT_EQ(at(c, EditorRig::screen(vec2(-200, 100))), COLORREF(0x9b6400)); // route arrow

    c.clear();
    s.target = 2; // alive: a red arrow from rim to rim
    drawAbstr(c.dc, rig.ships, 0, rig.cam, rig.zom, 0);
    EXPECT_EQ(at(c, EditorRig::screen(vec2(0, 0))), COLORREF(0x0000ff));
}

TEST(EditorOverlay, ButtonFacesAreLitForTheActiveToolAndCarryTheSameEmblem) {
    Canvas c(200, 80);
    drawIcon(c.dc, vec2(10, 10), true);
    drawIcon(c.dc, vec2(70, 10), false);
    EXPECT_EQ(at(c, vec2(10, 30)), COLORREF(0x64afff));
    EXPECT_EQ(at(c, vec2(14, 14)), COLORREF(0x001932));
    EXPECT_EQ(at(c, vec2(70, 30)), COLORREF(0xffaf64));
    EXPECT_EQ(at(c, vec2(74, 14)), COLORREF(0x321900));
    // The emblem: the same pixels, in side 0's colours, on both faces.
    std::string lit, unlit;
    int emblem = 0;
    for (int y = 12; y < 58; ++y)
        for (int x = 12; x < 58; ++x) {
            COLORREF a = at(c, vec2(x, y)), b = at(c, vec2(x + 60, y));
            bool face = a == 0x001932;
            EXPECT_EQ(face, b == 0x321900) << x << "," << y;
            if (!face) {
                EXPECT_EQ(a, b) << x << "," << y;
            }
            emblem += !face;
        }
    EXPECT_GT(emblem, 150);
}

TEST(EditorView, ThePilotToolShowsMindOrdersAndRespawnsBesideEachShip) {
    EditorRig rig;
    rig.you = 10; // no square halo near the text
    struct Case {
        vec2 pos;
        int mind, orders, respawns;
        const char *mindName, *orderName, *respawnText;
    };
    const Case cases[] = {
        {vec2(-400, -150), mindAttack2, orderGuardLine, 255, "attack 2", "guard line", "unlimited"},
        {vec2(-100, 100), mindPatrolLine, orderBase, 0, "patrol line", "base", "off"},
        {vec2(150, -150), 42, orderFreighter, 17, "", "freighter", "17"}};
    for (int i = 0; i < 3; ++i) {
        ship& s = rig.put(i, cases[i].pos);
        s.mind = cases[i].mind;
        s.orders = cases[i].orders;
        s.respawns = std::uint8_t(cases[i].respawns);
        s.target = s.leader = s.homeBase = 20;
    }
    auto textBeside = [&](const Canvas& c, const Case& k) {
        vec2 a = EditorRig::screen(k.pos) + rig.ships[0].radius;
        return maskIn(c, 0xffffff, int(a.x), int(a.y), 220, 46);
    };
    rig.tool(6);
    rig.move(vec2(0, 350));
    rig.frame();
    for (const Case& k : cases) {
        Canvas want(1024, 768);
        vec2 a = EditorRig::screen(k.pos) + rig.ships[0].radius;
        std::string lines[3] = {std::string("Mind: ") + k.mindName,
                                std::string("Orders: ") + k.orderName,
                                std::string("Respawn: ") + k.respawnText};
        setLine(want.dc, 0, 1, 0xffffff);
        for (int l = 0; l < 3; ++l)
            drawText(want.dc, a + vec2(0, 15 * l), 0, 1024, 2, lines[l].c_str());
        endLine(want.dc);
        EXPECT_EQ(textBeside(rig.canvas, k), textBeside(want, k))
            << lines[0] << " / " << lines[1] << " / " << lines[2];
    }
    rig.tool(5);
    rig.frame();
    Canvas blank(1024, 768);
    for (const Case& k : cases)
        EXPECT_EQ(textBeside(rig.canvas, k), textBeside(blank, k)) << "only under the pilot tool";
}

TEST(EditorView, ObjectiveMarksAreTicksForDestroyAndOpenSidesForDefend) {
    EditorRig rig;
    rig.you = 10;
    for (int i : {0, 1}) {
        ship& s = rig.put(i, vec2(-200 + 400 * i, 0), typeHeavyFighter, sideBlue);
        s.objective = i == 0 ? objDestroy : objDefend;
        s.target = s.leader = s.homeBase = 20;
        s.waypoint = s.wayA = s.wayB = s.pos + vec2(200, 250);
    }
    rig.zom = 0.5f;
    rig.move(vec2(0, 300));
    rig.frame();
    for (int i : {0, 1}) {
        const ship& s = rig.ships[i];
        vec2 c = (s.pos * 0.5) + vec2(512, 384);
        double r = s.radius * 0.5;
        COLORREF mark = i == 0 ? 0x0000ff : 0x00ff00;
        // Destroy: ticks from 0.5 to 1.5 radii on both axes. Defend: sides at
        // 1.3 radii, each spanning one radius either way; the corners open.
        double d = i == 0 ? 1.0 : 1.3;
        for (vec2 u : {vec2(0, -1), vec2(-1, 0), vec2(1, 0), vec2(0, 1)})
            EXPECT_EQ(at(rig.canvas, c + u * (d * r)), mark) << "ship " << i;
        vec2 beyond = i == 0 ? vec2(0, -1.7 * r) : vec2(0, -1.6 * r);
        EXPECT_NE(at(rig.canvas, c + beyond), mark) << "ship " << i;
        if (i == 1) {
            EXPECT_EQ(at(rig.canvas, c + vec2(0.9 * r, -1.3 * r)), mark);
        }
        for (vec2 corner : {vec2(1.3, 1.3), vec2(-1.3, -1.3), vec2(1.3, -1.3)})
            EXPECT_NE(at(rig.canvas, c + corner * r), mark) << "ship " << i;
    }
}

TEST(EditorView, AnEmptyMissionShowsPanelTextCursorAndCentreMarks) {
    EditorRig rig;
    rig.cam = vec2(29800, 29900); // the world's corner in view
    rig.moveScreen(700, 500);
    rig.frame();
    const Canvas& c = rig.canvas;
    EXPECT_TRUE(showsTextBlock(rig, textBlock("Select and move", "", "Red", 0)));
    // The world square's corner at (-30000, -30000): 200 and 100 pixels off the centre.
    EXPECT_EQ(at(c, vec2(312, 400)), COLORREF(0x003264));
    EXPECT_EQ(at(c, vec2(400, 284)), COLORREF(0x003264));
    EXPECT_NE(at(c, vec2(300, 400)), COLORREF(0x003264));
    // The cursor square, 10 x 10 around the mouse; the marks at the world's
    // origin (off screen here) and the screen centre.
    EXPECT_EQ(at(c, vec2(695, 500)), COLORREF(0x64afff));
    EXPECT_EQ(at(c, vec2(700, 505)), COLORREF(0x64afff));
    EXPECT_NE(at(c, vec2(700, 500)), COLORREF(0x64afff));
    EXPECT_EQ(at(c, vec2(512, 384)), COLORREF(0x001932));
    EXPECT_EQ(at(c, vec2(512, 380)), COLORREF(0x64afff));
    // Eight faces, the first lit.
    EXPECT_EQ(at(c, vec2(10, 30)), COLORREF(0x64afff));
    for (int k = 1; k < 8; ++k) EXPECT_EQ(at(c, vec2(10 + 60 * k, 30)), COLORREF(0xffaf64));
}
