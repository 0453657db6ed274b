// What the editor's files share: the editor's state, the screen transform and
// hit tests, the input actions and the drawing of the editor's picture.
#pragma once

#include <cstdint>

#include "geom/vec2.h"
#include "model/model.h"
#include "gdi/gdi.h"

// The eight tools; the value is also the number of the tool's button.
enum {
    toolSelect = 0,
    toolColor = 1,
    toolRemove = 2,
    toolAdd = 3,
    toolLink = 4,
    toolObjective = 5,
    toolShipAI = 6,
    toolCopyWaypoints = 7,
};
constexpr int toolCount = 8;

// What the editor keeps from frame to frame (one function-local static of
// editMiss, so it survives leaving the editor and coming back).
struct EditorState {
    bool keydw = false; // a latched input (N, R, a mouse button) is held
    vec2 mPos;          // the mouse in screen pixels, as last read
    int mode = toolSelect;
    int msub = 0;  // sub-mode shared by the link, objective and pilot tools
    int hold = -1; // the ship being dragged, -1 when none
    int htyp = 0;  // what of it: 0 the ship, 1 waypoint, 2 wayA, 3 wayB
    vec2 relv;     // the dragged ship's pos minus the mouse's world point at the grab
    ship shp;      // the template the add tool places
};

// Puts the editor back as it is before its first frame (the tool, sub-mode,
// template, latch and mouse), for tests that run one after another.
void resetEditor();

// The driver's state the editor changes in place.
struct EditorMission {
    ship* ships;
    vec2& cam;
    float& zom;
    int& you;
    int& sid;
};

// The screen centre, in integer halves of the window size.
vec2 editorCentre();
// A world point on the screen, and the world point under a screen point.
vec2 toScreen(vec2 p, vec2 cam, float zom);
vec2 toWorld(vec2 screen, vec2 cam, float zom);

// The lowest live ship whose centre is nearer to the screen point m than its
// radius on screen plus 5 pixels; -1 when there is none.
int shipUnder(const ship* ships, vec2 m, vec2 cam, float zom);
// The tool button under the screen point m, -1 when none.
int buttonUnder(vec2 m);

// The input actions of one frame; w is the mouse's world point.
void pressButton(EditorState& st, const EditorMission& m, int button, vec2 w);
void useTool(EditorState& st, const EditorMission& m, vec2 w);
void extraAction(EditorState& st, const EditorMission& m, vec2 w);
void pickTemplate(EditorState& st, const EditorMission& m);
void nextShip(const EditorMission& m);

// What the press under way does to the mission, as the undo line names it
// ("ship placed"); set by the input actions on the press's first frame.
extern const char* pressName;
void namePress(const EditorState& st, int branch, int button);
enum { pressNext, pressExtra, pressLeft, pressRight };

// The next value of a ship's respawns in the pilot tool's rising series.
std::uint8_t nextRespawns(std::uint8_t respawns);

// The editor's picture of the mission, drawn after the frame's input.
void drawEditorView(HDC hdc, ship* ships, vec2 cam, float zom, int you, int sid,
                    const EditorState& st);
