// The editor's picture: the world square, the overlay, the ships with their
// side discs, pilot settings and objective marks, the tool panel with its
// glyphs, the text block, the template, the cursor and the centre marks.
#include "draw/draw.h"
#include "editor/editor.h"
#include "editor/editor_internal.h"
#include "frame/frame.h"
#include "render/render.h"

namespace {

// A name from a list by value; "" for a value outside it.
template <int N> const char* nameOf(const char* const (&names)[N], int value) {
    return value >= 0 && value < N ? names[value] : "";
}

const char* const mindNames[] = {"normal",           "attack",        "attack 2",
                                 "quick repair",     "follow leader", "complete repair",
                                 "follow waypoints", "defend base",   "patrol line"};
const char* const orderNames[] = {"fighter", "guard line", "freighter", "base"};
const char* const colourNames[] = {"Red", "Green", "Blue"};

const char* toolName(int mode, int msub) {
    switch (mode) {
    case toolSelect:
        return "Select and move";
    case toolColor:
        return "Set color";
    case toolRemove:
        return "Remove ship";
    case toolAdd:
        return "Add ship";
    case toolLink: {
        static const char* const names[] = {"Set target", "Set leader", "Set home base"};
        return nameOf(names, msub);
    }
    case toolObjective:
        return msub == 0 ? "Set mission objective (destroy)" : "Set mission objective (defend)";
    case toolShipAI:
        return msub == 0 ? "Set A.I. mind state" : msub == 1 ? "Set ship orders" : "Set respawn";
    case toolCopyWaypoints:
        return "Copy waypoints";
    default:
        return "";
    }
}

const char* extraHint(int mode, int msub) {
    switch (mode) {
    case toolColor:
        return "\nPress R to switch color";
    case toolRemove:
        return "\nPress R to remove all";
    case toolAdd:
        return "\nPress R to randomize";
    case toolLink:
        return "\nPress R to switch Set Mode";
    case toolShipAI:
        return msub == 2 ? "\nPress R to set convert 1 - unlimited" : "";
    default:
        return "";
    }
}

// The four ticks or sides of an objective mark, between s + u r and s + v r.
void drawMark(HDC hdc, vec2 s, double r, COLORREF colour, const vec2 (&ends)[4][2]) {
    setLine(hdc, 0, 3, colour);
    for (const auto& e : ends) drawLine(hdc, s + e[0] * r, s + e[1] * r);
    endLine(hdc);
}

const vec2 destroyMark[4][2] = {{vec2(0, -0.5), vec2(0, -1.5)},
                                {vec2(-0.5, 0), vec2(-1.5, 0)},
                                {vec2(0.5, 0), vec2(1.5, 0)},
                                {vec2(0, 0.5), vec2(0, 1.5)}};
const vec2 defendMark[4][2] = {{vec2(1, -1.3), vec2(-1, -1.3)},
                               {vec2(-1.3, 1), vec2(-1.3, -1)},
                               {vec2(-1, 1.3), vec2(1, 1.3)},
                               {vec2(1.3, -1), vec2(1.3, 1)}};

// Mind, orders and respawns beside a ship, while the pilot tool is active.
void drawPilotSettings(HDC hdc, const ship& s, vec2 cam, float zom) {
    float width = float(workRes(true, 1, 0));
    vec2 a = ((s.pos + cam) + s.radius) * zom + editorCentre();
    setLine(hdc, 0, 1, 0xffffff);
    vec2 at = drawText(hdc, a, 0, width, 2, "Mind: ");
    drawText(hdc, at, 0, width, 2, nameOf(mindNames, s.mind));
    at = drawText(hdc, a + vec2(0, 15), 0, width, 2, "Orders: ");
    drawText(hdc, at, 0, width, 2, nameOf(orderNames, s.orders));
    at = drawText(hdc, a + vec2(0, 30), 0, width, 2, "Respawn: ");
    if (s.respawns == respawnUnlimited)
        drawText(hdc, at, 0, width, 2, "unlimited");
    else if (s.respawns == 0)
        drawText(hdc, at, 0, width, 2, "off");
    else
        drawInt(hdc, at, 0, width, 2, s.respawns);
    endLine(hdc);
}

void drawShips(HDC hdc, ship* ships, vec2 cam, float zom, int mode, int& count) {
    for (int i = 0; i < shipCount; ++i) {
        const ship& s = ships[i];
        if (!s.alive) continue;
        ++count;
        vec2 at = toScreen(s.pos, cam, zom);
        double r = s.radius * zom;
        // The side disc, black for a side that is none of the three.
        drawCirc(hdc, at, r, sideColour(s.side, 255), sideColour(s.side, 125));
        drawShip(hdc, s, at, zom);
        if (mode == toolShipAI) drawPilotSettings(hdc, s, cam, zom);
        // Ships to destroy are marked red and ships to defend green.
        if (s.objective == objDestroy) drawMark(hdc, at, r, sideColour(sideRed, 255), destroyMark);
        if (s.objective == objDefend) drawMark(hdc, at, r, sideColour(sideGreen, 255), defendMark);
    }
}

void drawGlyph(HDC hdc, int k, int msub, int sid) {
    switch (k) {
    case toolSelect:
        drawBox(hdc, vec2(55, 55), vec2(15, 15), textColour);
        break;
    case toolColor:
        drawPart(hdc, vec2(95, 35), vec2(2.12), 1, kindHull, 1, false, colourNormal, sid + 0.1f);
        break;
    case toolRemove:
        drawLine(hdc, vec2(175, 55), vec2(135, 15), 0x0000ff);
        drawLine(hdc, vec2(175, 15), vec2(135, 55), 0x0000ff);
        break;
    case toolAdd:
        drawLine(hdc, vec2(235, 49), vec2(224, 49), 0x0000ff);
        drawLine(hdc, vec2(229, 55), vec2(229, 44), 0x0000ff);
        break;
    case toolLink: // the colour of the overlay's arrows of the link: msub 0, 1, 2 red, green, blue
        drawArrow(hdc, vec2(275, 35), 15, vec2(300, 10), 5, sideColour(msub, 255));
        break;
    case toolObjective:
        if (msub != 0) {
            setLine(hdc, 0, 3, sideColour(sideGreen, 255));
            drawLine(hdc, vec2(345, 15), vec2(325, 15));
            drawLine(hdc, vec2(345, 55), vec2(325, 55));
            drawLine(hdc, vec2(315, 45), vec2(315, 25));
            drawLine(hdc, vec2(355, 45), vec2(355, 25));
        } else {
            setLine(hdc, 0, 3, sideColour(sideRed, 255));
            drawLine(hdc, vec2(335, 30), vec2(335, 15));
            drawLine(hdc, vec2(335, 40), vec2(335, 55));
            drawLine(hdc, vec2(330, 35), vec2(315, 35));
            drawLine(hdc, vec2(340, 35), vec2(355, 35));
        }
        endLine(hdc);
        break;
    case toolShipAI:
        setLine(hdc, 0, 1, textColour);
        drawText(hdc, vec2(375, 15), 375, 600, 2,
                 msub == 1   ? "order"
                 : msub == 2 ? "spawn"
                             : "mind");
        endLine(hdc);
        break;
    case toolCopyWaypoints: {
        const vec2 p[3] = {vec2(440, 20), vec2(475, 30), vec2(445, 55)};
        drawCirc(hdc, p[0], 3.5, 0x736400, 0x4b3200);
        drawArrow(hdc, p[0], 3.5f, p[1], 3.5f, 0x9b6400);
        drawCirc(hdc, p[1], 3.5, 0x736400, 0x4b3200);
        drawArrow(hdc, p[1], 3.5f, p[2], 3.5f, 0x9b6400);
        drawCirc(hdc, p[2], 3.5, 0x736400, 0x4b3200);
        break;
    }
    default:
        break;
    }
}

void drawTextBlock(HDC hdc, int mode, int msub, int sid, int count) {
    float width = float(workRes(true, 1, 0));
    auto say = [&](vec2 at, const char* text) { return drawText(hdc, at, 10, width, 2, text); };
    setLine(hdc, 0, 1, textColour);
    vec2 at = say(vec2(10, 65), "Active tool: ");
    at = say(at, toolName(mode, msub));
    at = say(at, "\nActive color: ");
    at = say(at, nameOf(colourNames, sid));
    at = say(at, extraHint(mode, msub));
    at = say(at, "\nPress M to edit the mission message");
    at = say(at, "\nPress S to set the mission success file name");
    at = say(at, "\nPress F to set the mission failed file name");
    at = say(at, "\nShips: ");
    at = drawInt(hdc, at, 10, width, 2, count);
    at = say(at, "/");
    drawInt(hdc, at, 10, width, 2, shipCount);
    endLine(hdc);
}

} // namespace

int drawEditorMap(HDC hdc, ship* ships, vec2 cam, float zom, int you, int mode) {
    drawBox(hdc, toScreen(vec2(0, 0) + 30000, cam, zom), toScreen(vec2(0, 0) - 30000, cam, zom),
            0x003264);

    for (int i = 0; i < shipCount; ++i)
        if (ships[i].alive) drawAbstr(hdc, ships, i, cam, zom, you);

    int count = 0;
    drawShips(hdc, ships, cam, zom, mode, count);
    return count;
}

void drawEditorView(HDC hdc, ship* ships, vec2 cam, float zom, int you, int sid,
                    const EditorState& st) {
    const int count = drawEditorMap(hdc, ships, cam, zom, you, st.mode);

    for (int k = 0; k < toolCount; ++k) {
        drawIcon(hdc, vec2(10 + 60 * k, 10), st.mode == k);
        drawGlyph(hdc, k, st.msub, sid);
    }

    drawTextBlock(hdc, st.mode, st.msub, sid, count);

    if (st.mode == toolAdd) drawShip(hdc, st.shp, toScreen(st.shp.pos, cam, zom), zom);

    vec2 c = editorCentre();
    drawBox(hdc, st.mPos + 5, st.mPos - 5, highlightColour);
    drawCirc(hdc, toScreen(vec2(0, 0), cam, zom), 6.2, highlightColour, highlightFill);
    drawCirc(hdc, c, 3.2, highlightColour, highlightFill);
}
