// The services every part of the game calls each frame: the window size, the
// frame time, the keys and the mouse. They stand between the window system
// below and the simulation, renderer, editor and driver above.
#pragma once

#include "geom/vec2.h"

// Whether the game's window had the keyboard focus when key(0) last looked.
extern bool global_gotfocus_tag;

// get with value != 0: the width; get with value == 0: the height;
// !get: stores value and height as the window size.
int workRes(bool get, int value, int height);

// Seconds since the previous call, at most 0.05.
float retFrameSpd();

// key(0) refreshes the focus flag; any key reads as held only while the flag is set.
bool key(int virtualKey);

// The cursor in window pixels.
vec2 mousePos();

// Whether the game's window has the keyboard focus now (key(0) keeps it in
// the flag; the editor asks directly).
bool hasFocus();

// The input the game reads through the three above: the keys and buttons
// held by virtual-key code, the focus and the cursor.
// With them, what the player set that changes the picture: the frame's size
// (the window's divided by the scale) and the side colours, which a
// recording keeps like a key so that it plays back at the same size and colours.
struct inputState {
    bool keys[256] = {};
    bool focus = false;
    int x = 0, y = 0;
    int width = 0, height = 0; // the frame's size
    int palette = 0;
};

// The window system's input as it stands. It changes only while the frame
// loop pumps messages, so it holds for a whole frame.
inputState liveInput();

// Plays `s` to the game in place of the window system's input (a recording
// being played back); null gives the window system's again. The caller keeps
// `s` alive while it is played.
void playInput(const inputState* s);
// The input being played (null: the window system's).
const inputState* playedInput();

// The frame timer's state and arithmetic apart from the clock, so the timer
// can be tried at any time of day. Times are single-precision seconds counted
// from the first reading, the game's start: counted from the machine's start,
// they would grow coarse as it stays up (steps of 7.8 ms after two days).
struct frameClock {
    bool started = false;
    double origin = 0; // the clock's reading at the first call
    float timeLast = 0;
    float timeNow = 0;
};

// The seconds between this reading of a clock (`now`, in seconds) and the
// previous one, at most 0.05; the first reading gives 0.
float frameSpd(frameClock& c, double now);
