// The game driver: the entry point and frame loop, the driver's frame and its
// screens, and the menu and text-entry widgets. The per-frame services (window
// size, frame time, keys, mouse) are frame/frame.h's.
#pragma once

#include "frame/frame.h"
#include "geom/vec2.h"
#include "gdi/gdi.h"

// The program: start-up, the frame loop, shut-down. Returns 1 when the window
// cannot be made, else 0.
int gameMain(HINSTANCE instance);

// The same in three parts, for a platform that drives the frames itself:
// start-up (false when the game cannot start), one frame after the messages
// waiting (false once the game quits) and shut-down.
bool gameStart(HINSTANCE instance);
bool gameFrame();
void gameStop();

// Switch the display to full screen at the stored size; quits when it cannot.
void toFullScreen();

// One frame of the game, drawn into hdc (cleared before, shown after).
void goProgram(HDC hdc, HINSTANCE instance, float frameTime);

// The screen the driver runs (its `mode`), as the last frame left it.
int driverMode();

// The screens of the driver's mode machine (the value of its `mode`). Any
// value above modeLost runs play. The result screens rely on modeWon and
// modeLost being modeLoadSuccess and modeLoadFail plus 2.
enum {
    modeMenu = 0,
    modeStart = 1,
    modeLoad = 2,
    modeSave = 3,
    modeHelp = 4,
    modeEditor = 5,
    modeMessage = 6,
    modeSuccessName = 7,
    modeFailName = 8,
    modePlay = 9,
    modeLoadSuccess = 10,
    modeLoadFail = 11,
    modeWon = 12,
    modeLost = 13,
};

// The main menu: draws it and returns the item chosen with Enter in this
// frame (1 Play, 2 Load, 3 Save, 4 Editor, 5 Help, 6 Exit), else 0. reset
// puts the selection back on Play.
int mainMenu(HDC hdc, bool reset);

// Draws a mission file name "kvxmap.NNNN.kvx" at pos and lets the digit and
// letter keys overwrite its four name characters in turn; returns the cursor.
// reset ignores keys already held until they are released.
vec2 setfilename(HDC hdc, char* name, vec2 pos, bool reset);

// Draws text (a buffer of size bytes) at pos with a cursor and edits it in
// place; returns the cursor after the text. reset puts the cursor at 0 and
// ignores keys already held.
vec2 editmessage(HDC hdc, vec2 pos, char* text, int size, bool reset);
