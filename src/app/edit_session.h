// What the editor screen has around the editor itself: undo and redo of every
// change (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z), test flights that come back (F5,
// Shift+F5), autosave and the offer of one found (F9), and the problems list
// (F3). The driver calls in here; nothing of it acts or draws until its keys
// are pressed, but for the autosave, which only writes files.
#pragma once

#include <any>

#include "geom/vec2.h"
#include "gdi/gdi.h"
#include "mission/mission_file.h"
#include "model/model.h"

// The driver's state, by reference.
struct driverRefs {
    ship* a;
    frag* b;
    vec2& cam;
    float& zom;
    int& you;
    int& sid;
    bool& aliv;
    bool& autr;
    bool& autp;
    bool& entdw;
    int& mode;
    char* filnam;
    char* sucfil;
    char* faifil;
    char* note;

    MissionRefs mission() const { return {a, you, sid, sucfil, faifil, note}; }
};

// The editor's screen in place of editMiss, with its result (M, S, F).
int editorScreen(HDC hdc, const driverRefs& d, float t);

// In play: F5 ends a test flight. False when it ended (the editor is back).
bool flightKeys(const driverRefs& d);
// After the play frame: the flight's foot line, its first seconds.
void flightFoot(HDC hdc, float t);
// Whether a test flight is under way, and its end: everything as it was
// before it, on the editor's screen.
bool flightOn();
void flightEnd(const driverRefs& d);

// A mission file loaded or saved (as the Load and Save screens do it):
// autosaves of the edited mission are made against it from now on; a save
// removes the autosaves of this run. A load during a test flight ends it
// with nothing to go back to.
void missionFileUsed(const driverRefs& d, const char* name, bool saved);

// At the end of every frame: which screen ran (it names the next undo step)
// and the autosave of unsaved changes.
void editedFrame(const driverRefs& d);

// Back to the start of the run, for tests that run games one after another.
void resetEditSession();

// The whole session (its undo steps, test flight and autosave times) kept
// aside and put back, for a recording's viewer going back and forth.
std::any editSessionKeep();
// Whether the editor's mission has changes that are neither saved nor
// autosaved.
bool editSessionUnsaved();
void editSessionPutBack(const std::any& kept);
