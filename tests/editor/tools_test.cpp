// The editor's input, frame by frame through the headless mouse and keys: the
// panel's sub-modes and the text block, clicks on the empty map, overlapping
// ships, the respawn series and R's swap, N, the right button's template,
// dragging, the M/S/F result, and indices and numbers from mission files.
#include <climits>
#include <cmath>

#include "editor/editor_rig.h"

namespace {

// Moves the mouse off the panel and the text block and lets the template follow.
void lookAway(EditorRig& rig) {
    rig.move(vec2(380, 330));
    rig.frame();
}

} // namespace

TEST(EditorPanel, ButtonsAndRStepTheSubModesAndTheTextBlockFollows) {
    EditorRig rig;
    auto shows = [&](const std::string& tool, const std::string& hint,
                     const std::string& colour = "Red") {
        lookAway(rig);
        return showsTextBlock(rig, textBlock(tool, hint, colour));
    };
    EXPECT_TRUE(shows("Select and move", ""));

    // Each step: a tool button (0..7) or R, then the text block expected.
    const std::string colourHint = "\nPress R to switch color";
    const std::string linkHint = "\nPress R to switch Set Mode";
    const std::string respawnHint = "\nPress R to set convert 1 - unlimited";
    struct Step {
        char input;
        const char* tool;
        std::string hint;
        const char* colour = "Red";
    };
    const Step steps[] = {
        // entering the colour tool keeps the colour; pressing it again steps it
        {'1', "Set color", colourHint},
        {'1', "Set color", colourHint, "Green"},
        {'R', "Set color", colourHint, "Blue"},
        {'R', "Set color", colourHint},
        {'2', "Remove ship", "\nPress R to remove all"},
        {'3', "Add ship", "\nPress R to randomize"},
        {'4', "Set target", linkHint},
        {'4', "Set leader", linkHint},
        {'4', "Set home base", linkHint},
        {'4', "Set target", linkHint},
        {'R', "Set leader", linkHint},
        {'R', "Set home base", linkHint},
        {'R', "Set target", linkHint},
        {'R', "Set leader", linkHint},
        // The sub-mode is shared: leader (1) is defend for the objective tool
        // and orders for the pilot tool; 2 is respawn there and too far for
        // objectives.
        {'5', "Set mission objective (defend)", ""},
        {'R', "Set mission objective (defend)", ""}, // no extra action
        {'6', "Set ship orders", ""},
        {'6', "Set respawn", respawnHint},
        {'5', "Set mission objective (destroy)", ""},
        {'5', "Set mission objective (defend)", ""},
        {'5', "Set mission objective (destroy)", ""},
        {'6', "Set A.I. mind state", ""},
        {'4', nullptr, ""},
        {'4', nullptr, ""},
        {'4', nullptr, ""}, // home base
        {'6', "Set respawn", respawnHint},
        {'7', "Copy waypoints", ""},
        {'0', "Select and move", ""},
    };
    for (const Step& step : steps) {
        if (step.input == 'R')
            rig.press('R');
        else
            rig.tool(step.input - '0');
        if (!step.tool) continue;
        EXPECT_TRUE(shows(step.tool, step.hint, step.colour)) << step.tool;
    }
}

TEST(EditorTools, ClicksOnEmptyMapChangeNothingButAddPlacesAShip) {
    EditorRig rig;
    rig.put(0, vec2(-300, -100));
    rig.put(1, vec2(300, 100), typeTransport, sideGreen);
    std::vector<unsigned char> before = rig.images();
    const vec2 empty(0, 300);
    for (int k : {0, 1, 2, 4, 5, 6, 7}) {
        // Each press of the button after the first steps its sub-mode.
        for (int press = 0; press < 3; ++press) {
            rig.tool(k);
            rig.click(empty);
            EXPECT_TRUE(rig.images() == before) << "tool " << k << ", press " << press;
            EXPECT_EQ(rig.you, 0) << "tool " << k;
        }
    }

    rig.tool(3);
    rig.click(empty);
    const ship& s = rig.ships[2];
    ASSERT_TRUE(s.alive);
    EXPECT_EQ(rig.you, 2);
    EXPECT_EQ(s.target, 2);
    EXPECT_EQ(s.leader, 2);
    EXPECT_EQ(s.homeBase, 2);
    // One radius behind the cursor, heading to it; the route 1.5 radii ahead.
    EXPECT_NEAR(std::hypot(s.dir.x, s.dir.y), 1, 1e-9);
    EXPECT_NEAR(s.pos.x + s.dir.x * s.radius, empty.x, 1e-6);
    EXPECT_NEAR(s.pos.y + s.dir.y * s.radius, empty.y, 1e-6);
    for (vec2 p : {s.waypoint, s.wayA, s.wayB}) {
        EXPECT_NEAR(p.x, s.pos.x + 1.5 * s.radius * s.dir.x, 1e-6);
        EXPECT_NEAR(p.y, s.pos.y + 1.5 * s.radius * s.dir.y, 1e-6);
    }
    EXPECT_EQ(s.side, rig.sid);
}

TEST(EditorTools, EveryToolActsOnTheLowerOfTwoOverlappingShips) {
    EditorRig rig;
    rig.put(0, vec2(-400, 0), typeHeavyFighter);
    rig.ships[0].waypoint = vec2(-400, 250);
    rig.put(2, vec2(0, 0));
    rig.put(4, vec2(10, 0), typeTransport, sideBlue);
    const std::vector<unsigned char> upper = rig.image(4);
    const vec2 both(5, 0);

    rig.tool(1);
    rig.tool(1); // Green
    rig.click(both);
    EXPECT_EQ(rig.ships[2].side, sideGreen);
    rig.tool(5);
    rig.click(both);
    EXPECT_EQ(rig.ships[2].objective, objDestroy);
    rig.tool(6);
    rig.click(both);
    EXPECT_EQ(rig.ships[2].mind, mindAttack);
    rig.tool(7);
    rig.click(both);
    EXPECT_TRUE(rig.ships[2].wayB == vec2(rig.ships[0].wayB));
    EXPECT_TRUE(rig.ships[2].waypoint == vec2(-400, 250));
    rig.tool(4); // sub-mode 0: target
    rig.click(both);
    EXPECT_EQ(rig.ships[0].target, 2);
    EXPECT_TRUE(rig.image(4) == upper);

    rig.click(both, VK_RBUTTON);
    EXPECT_EQ(rig.you, 2);
    EXPECT_EQ(rig.sid, sideGreen);
    rig.you = 0;
    rig.tool(0);
    rig.click(both);
    EXPECT_EQ(rig.you, 2);
    rig.tool(2);
    rig.click(both);
    EXPECT_FALSE(rig.ships[2].alive);
    EXPECT_TRUE(rig.image(4) == upper);
    rig.click(both); // now the upper one is the only one there
    EXPECT_FALSE(rig.ships[4].alive);
    EXPECT_EQ(rig.ships[4].respawns, 0);
    EXPECT_TRUE(rig.ships[0].alive);

    // Colour works in every frame of a press: a sweep paints what it passes.
    rig.put(4, vec2(10, 0), typeTransport, sideBlue);
    rig.tool(1); // Green still
    rig.move(vec2(-400, 0));
    headlessSetKey(VK_LBUTTON, true);
    rig.frame();
    rig.move(vec2(10, 0));
    rig.frame();
    headlessSetKey(VK_LBUTTON, false);
    rig.frame();
    EXPECT_EQ(rig.ships[0].side, sideGreen);
    EXPECT_EQ(rig.ships[4].side, sideGreen);
}

TEST(EditorTools, RespawnsRiseInASeriesAndRSwapsOneAndUnlimited) {
    EditorRig rig;
    for (int slot : {0, 1, 2, 3}) rig.put(slot, vec2(-300 + 150 * slot, 0));
    rig.tool(6);
    rig.tool(6);
    rig.tool(6); // respawn
    std::vector<int> series;
    for (int i = 0; i < 25; ++i) {
        rig.click(vec2(-300, 0));
        series.push_back(rig.ships[0].respawns);
    }
    EXPECT_EQ(series, (std::vector<int>{1,  2,  3,  4,  5,  7,   9,   11,  14,  17,  21,  26, 32,
                                        39, 47, 57, 69, 83, 100, 121, 146, 176, 212, 255, 0}));

    // Past 219 the series starts again; below, the sum wraps at 8 bits.
    for (int from : {220, 219}) {
        rig.ships[0].respawns = std::uint8_t(from);
        rig.click(vec2(-300, 0));
        EXPECT_EQ(rig.ships[0].respawns, from == 220 ? 0 : 7) << "from " << from;
    }

    rig.ships[0].respawns = 1;
    rig.ships[1].respawns = 255;
    rig.ships[2].respawns = 5;
    rig.ships[3].respawns = 1;
    rig.ships[3].alive = false;
    rig.press('R');
    EXPECT_EQ(rig.ships[0].respawns, 255);
    EXPECT_EQ(rig.ships[1].respawns, 1);
    EXPECT_EQ(rig.ships[2].respawns, 5);
    EXPECT_EQ(rig.ships[3].respawns, 1); // dead ships keep theirs
    rig.tool(6);                         // mind: R does nothing
    rig.press('R');
    EXPECT_EQ(rig.ships[0].respawns, 255);

    // Minds and orders cycle; values no mission of ours holds start again at 0.
    rig.ships[1].mind = mindPatrolLine;
    rig.click(vec2(-150, 0));
    EXPECT_EQ(rig.ships[1].mind, mindNormal);
    rig.ships[1].mind = INT_MAX;
    rig.click(vec2(-150, 0));
    EXPECT_EQ(rig.ships[1].mind, mindNormal);
    rig.tool(6);
    rig.ships[1].orders = INT_MAX;
    rig.click(vec2(-150, 0));
    EXPECT_EQ(rig.ships[1].orders, orderFighter);
    rig.click(vec2(-150, 0));
    EXPECT_EQ(rig.ships[1].orders, orderGuardLine);
}

TEST(EditorTools, NSelectsTheNextLiveShipOncePerPress) {
    EditorRig rig;
    for (int slot : {3, 7, 20}) rig.put(slot, vec2(-300 + 30 * slot, 0));
    rig.you = 7;
    headlessSetKey('N', true);
    for (int i = 0; i < 5; ++i) rig.frame();
    EXPECT_EQ(rig.you, 20);
    headlessSetKey(VK_RBUTTON, true); // another latched input while N is held
    rig.frame();
    headlessSetKey('N', false);
    rig.frame(); // the right button's branch runs, but the latch is still set
    headlessSetKey(VK_RBUTTON, false);
    EXPECT_EQ(rig.you, 20);
    rig.frame();
    rig.press('N');
    EXPECT_EQ(rig.you, 3); // round from the end
    rig.press('N');
    EXPECT_EQ(rig.you, 7);

    rig.ships[3].alive = rig.ships[20].alive = false;
    rig.press('N');
    EXPECT_EQ(rig.you, 7);
}

TEST(EditorTools, ARightClickMakesTheNextShipACopyButForPlaceHeadingLinksAndRoute) {
    EditorRig rig;
    ship& model = rig.put(5, vec2(200, -100), typeHeavyFighter, sideBlue);
    model.objective = objDefend;
    model.mind = mindFollowLeader;
    model.orders = orderFreighter;
    model.respawns = 9;
    model.parts[2].health *= 0.5f;
    model.energy = 3.25f;
    rig.put(6, vec2(-200, -100)); // picked by the held button only if it moved on

    rig.tool(3);
    rig.move(vec2(200, -100));
    headlessSetKey(VK_RBUTTON, true);
    rig.frame();
    rig.move(vec2(-200, -100));
    rig.frame();
    headlessSetKey(VK_RBUTTON, false);
    EXPECT_EQ(rig.you, 5);
    EXPECT_EQ(rig.sid, sideBlue);

    rig.click(vec2(0, 250));
    const ship& copy = rig.ships[0];
    ASSERT_TRUE(copy.alive);
    ship want = model;
    want.pos = copy.pos;
    want.dir = copy.dir;
    want.target = want.leader = want.homeBase = 0;
    want.waypoint = want.wayA = want.wayB = copy.waypoint;
    std::vector<unsigned char> wantImage(shipImageSize);
    writeShipImage(want, wantImage.data());
    EXPECT_TRUE(rig.image(0) == wantImage);
    EXPECT_FALSE(copy.pos == model.pos);

    // The template after a placement is a new one of the active side.
    rig.click(vec2(0, 330));
    EXPECT_EQ(rig.ships[1].side, sideBlue);
    EXPECT_EQ(rig.ships[1].objective, objNone);
}

TEST(EditorTools, ADragMovesAShipOrARoutePointUntilTheButtonIsReleased) {
    EditorRig rig;
    rig.put(1, vec2(0, 0));
    rig.ships[1].waypoint = vec2(0, 200);
    rig.you = 5;

    rig.move(vec2(5, 3));
    headlessSetKey(VK_LBUTTON, true);
    rig.frame(); // grabbed where it was
    EXPECT_EQ(rig.you, 1);
    EXPECT_TRUE(rig.ships[1].pos == vec2(0, 0));
    rig.move(vec2(105, 53));
    rig.frame();
    EXPECT_TRUE(rig.ships[1].pos == vec2(100, 50));
    rig.moveScreen(35 + 60 * 3, 35); // over a button: nothing moves, nothing is chosen
    rig.frame();
    EXPECT_TRUE(rig.ships[1].pos == vec2(100, 50));
    rig.move(vec2(205, 3));
    rig.frame();
    EXPECT_TRUE(rig.ships[1].pos == vec2(200, 0));
    headlessSetKey(VK_LBUTTON, false);
    rig.frame();
    rig.move(vec2(300, 300));
    rig.frame();
    EXPECT_TRUE(rig.ships[1].pos == vec2(200, 0));
    lookAway(rig);
    EXPECT_TRUE(showsTextBlock(rig, textBlock("Select and move", "", "Red", 1)));

    // A route point within 5 pixels is grabbed without selecting its ship and
    // jumps to the cursor.
    rig.you = 7;
    rig.move(vec2(2, 202));
    headlessSetKey(VK_LBUTTON, true);
    rig.frame();
    rig.move(vec2(50, 250));
    rig.frame();
    headlessSetKey(VK_LBUTTON, false);
    rig.frame();
    EXPECT_TRUE(rig.ships[1].waypoint == vec2(50, 250));
    EXPECT_TRUE(rig.ships[1].pos == vec2(200, 0));
    EXPECT_EQ(rig.you, 7);

    // A press that starts on empty map grabs the ship it is swept onto.
    rig.move(vec2(-300, 0));
    headlessSetKey(VK_LBUTTON, true);
    rig.frame();
    rig.move(vec2(200, 0));
    rig.frame();
    rig.move(vec2(180, -20));
    rig.frame();
    headlessSetKey(VK_LBUTTON, false);
    rig.frame();
    EXPECT_TRUE(rig.ships[1].pos == vec2(180, -20));
    EXPECT_EQ(rig.you, 1);
}

TEST(EditorResult, MWinsOverSAndSOverFAfterTheFramesEdits) {
    EditorRig rig;
    EXPECT_EQ(rig.frame(), 0);
    headlessSetKey('F', true);
    EXPECT_EQ(rig.frame(), 3);
    EXPECT_EQ(rig.frame(), 3); // held, not latched
    headlessSetKey('S', true);
    EXPECT_EQ(rig.frame(), 2);
    headlessSetKey('M', true);
    EXPECT_EQ(rig.frame(), 1);
    headlessSetKey('S', false);
    headlessSetKey('F', false);
    EXPECT_EQ(rig.frame(), 1);
    headlessSetKey('M', false);

    rig.tool(3);
    rig.move(vec2(0, 200));
    rig.frame();
    headlessSetKey('S', true);
    headlessSetKey(VK_LBUTTON, true);
    EXPECT_EQ(rig.frame(), 2);
    EXPECT_TRUE(rig.ships[0].alive);
}

TEST(EditorSafety, PlayerShipAndSideFromAFileAreKeptInRange) {
    EditorRig rig;
    rig.put(3, vec2(0, 0));
    rig.ships[3].target = 1000; // the overlay reads these as none
    rig.ships[3].leader = -7;
    rig.ships[0].pos = vec2(123, 45); // an empty slot
    rig.ships[0].waypoint = vec2(11, 22);
    rig.you = 77;
    rig.sid = -3;
    rig.press('C');
    EXPECT_EQ(rig.you, 0);
    EXPECT_EQ(rig.sid, sideRed);
    EXPECT_TRUE(rig.cam == vec2(-123, -45)); // centred on slot 0, whatever it holds
    rig.cam = vec2(0, 0);
    rig.you = 50;
    rig.sid = 3;
    for (int k : {4, 7}) {
        rig.tool(k);
        rig.click(vec2(0, 0));
    }
    EXPECT_EQ(rig.ships[0].target, 3);
    EXPECT_TRUE(rig.ships[3].waypoint == vec2(11, 22));
    EXPECT_EQ(rig.you, 0);
    EXPECT_EQ(rig.sid, sideRed);

    // Backspace puts the zoom back to the default, whatever it was.
    rig.zom = 1e38f;
    rig.press(VK_ADD);
    rig.press(VK_BACK);
    EXPECT_FLOAT_EQ(rig.zom, 1024 * 0.0006875f);
}

// The view keys, held: arrows pan 300 screen pixels a second whatever the
// zoom, + and - zoom in and out by the same factor, and back again.
TEST(EditorView, HeldKeysPanAndZoomTheViewAndBackAgain) {
    EditorRig rig;
    rig.zom = 2;
    auto hold = [&](int vk) { // 25 frames of 0.016 s: 120 screen pixels, 60 world units
        headlessSetKey(vk, true);
        for (int i = 0; i < 25; ++i) rig.frame();
        headlessSetKey(vk, false);
    };
    auto near = [&](vec2 want) {
        return std::fabs(rig.cam.x - want.x) < 1e-3 && std::fabs(rig.cam.y - want.y) < 1e-3;
    };
    hold(VK_UP);
    EXPECT_TRUE(near(vec2(0, 60))) << rig.cam.x << " " << rig.cam.y;
    hold(VK_RIGHT);
    EXPECT_TRUE(near(vec2(-60, 60))) << rig.cam.x << " " << rig.cam.y;
    hold(VK_DOWN);
    hold(VK_LEFT);
    EXPECT_TRUE(near(vec2(0, 0))) << rig.cam.x << " " << rig.cam.y;

    hold(VK_ADD);
    EXPECT_GT(rig.zom, 2.8f);
    hold(VK_SUBTRACT);
    EXPECT_NEAR(rig.zom, 2.0f, 1e-4);
}

// What lies under the mouse: a ship within its radius plus 5 pixels (not at
// it), a button inside its 50-pixel square (not on its edge, nor in the gap).
TEST(EditorView, ShipsAndButtonsUnderTheMouseEndBeforeTheirEdges) {
    EditorRig rig;
    const ship& s = rig.put(3, vec2(0, 0));
    const float reach = s.radius * 2 + 5; // at zoom 2
    const vec2 centre = EditorRig::screen(vec2(0, 0));
    EXPECT_EQ(shipUnder(rig.ships, centre + vec2(reach - 0.01f, 0), vec2(0, 0), 2), 3);
    EXPECT_EQ(shipUnder(rig.ships, centre + vec2(0, reach), vec2(0, 0), 2), -1);

    EXPECT_EQ(buttonUnder(vec2(59.9f, 35)), 0);
    EXPECT_EQ(buttonUnder(vec2(70.1f, 35)), 1);
    EXPECT_EQ(buttonUnder(vec2(10.1f, 59.9f)), 0);
    for (vec2 edge : {vec2(60, 35), vec2(70, 35), vec2(10, 35), vec2(35, 10), vec2(35, 60)})
        EXPECT_EQ(buttonUnder(edge), -1) << edge.x << "," << edge.y;
}
