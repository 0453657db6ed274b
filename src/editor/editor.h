// The mission editor: the screen on which missions are built with the mouse,
// and the overlay and button faces it draws.
#pragma once

#include <vector>

#include "geom/vec2.h"
#include "model/model.h"
#include "gdi/gdi.h"

// One frame of the editor on the mission's ships: reads the keys and the
// mouse, changes the mission, the view and the player's ship and side in
// place, and draws the editor. Returns what is held at the end of the frame:
// 1 M (edit the mission message), else 2 S (the success file's name), else
// 3 F (the failure file's name), else 0.
int editMiss(HDC hdc, ship* ships, vec2& cam, float& zom, int& you, int& sid, float frameTime);

// The map of the editor's picture, without its panel, text or cursor: the
// world square, the overlay of every live ship (drawAbstr) and the ships in
// their sides' colours with their objective marks, and their pilot settings
// while `mode` is the pilot tool's (6). The view is the editor's: a world
// point p is drawn at (p + cam) * zom + the centre of the window size
// (workRes). Returns the number of live ships.
int drawEditorMap(HDC hdc, ship* ships, vec2 cam, float zom, int you, int mode);

// A line with a filled head from near `from` to near `to` (screen pixels),
// leaving the given gaps at both ends; the head is 7 pixels long at any zoom.
void drawArrow(HDC hdc, vec2 from, float fromGap, vec2 to, float toGap, COLORREF colour);

// The editor's overlay for ship i: its halo (a square for the selected ship
// `you`, else a disc), arrows to its live target, leader and home base, and
// its route of three points.
void drawAbstr(HDC hdc, ship* ships, int i, vec2 cam, float zom, int you);

// The face of a 50 x 50 tool button with its top-left corner at pos: lit when
// its tool is active, with the small ship emblem every button carries.
void drawIcon(HDC hdc, vec2 pos, bool on);

// What the last press in the editor did to the mission, as the undo line
// names it ("ship placed", "route point moved").
const char* editorAction();

// The editor's own state (tool, sub-mode, template, mouse, latch) kept aside
// as bytes and put back: a test flight returns to the editor as it was.
std::vector<unsigned char> editorKeep();
void editorPutBack(const std::vector<unsigned char>& kept);
