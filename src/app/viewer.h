// The viewer of a recording watched in the window (korvane --watch,
// KORVANE_REPLAY, a recording dropped on the window): pause, seek, step and
// speed, a timeline with the mission's events, a clip saved, and C taking the
// game over live. It runs the recording's frames itself, as many as the speed
// asks, and goes back by putting back a snapshot of the game's state (one
// every few seconds, taken as the frames are first run) and running on from
// there unseen. Frames not yet run are run ahead a little each window frame,
// so the whole timeline fills in and a seek anywhere is soon quick.
//
// Keys (none of them the recorded game's: it reads only its recording):
//   Space pause; Left/Right 5 s back/on, with Shift 30 s, with Ctrl the
//   previous/next mark; Home/End; comma/period a frame back/on (paused);
//   [ and ] the speed, 1/8x to 64x; a click on the timeline seeks there;
//   N follows the next ship and + and - zoom (the viewer's own view; the
//   recorded game goes on as recorded), Backspace the recorded view again;
//   I and O mark a clip's start and end, S saves it to replays/;
//   C takes over; Escape leaves. (In the browser the clip and the game taken
//   over are written in the page's memory, which offers them to download.)
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "gdi/gdi.h"

// What the frame loop does for the viewer.
struct viewerHooks {
    // Runs the recording's next frame into the memory bitmap, with its sound
    // when `heard`; drawn whole only when `seen`. False when the recording
    // has no more frames.
    std::function<bool(bool heard, bool seen)> runFrame;
    // Draws from now on at the frame size of the input put back.
    std::function<void(const inputState&)> followSize;
};

// One window frame while a recording is watched: the frames it calls for run,
// and the picture with the timeline is drawn into `window` (width x height).
// `live` is the window's input, `t` the time since the last window frame.
// False when the player leaves.
bool viewerFrame(const viewerHooks& h, HDC memory, HDC window, int width, int height,
                 const inputState& live, float t);

// A mark on the timeline: a mission's event.
struct viewerMark {
    enum kind { shipLost, playerLost, won, lost };
    int frame = 0;
    kind what = shipLost;
    int side = 0;
};

// For tests and tools: the frame shown, the marks found so far, the frames
// run ahead (whose marks are known), a seek under way, and seeking at once.
int viewerFrameShown();
const std::vector<viewerMark>& viewerMarks();
int viewerScanned();
bool viewerSeeking();
