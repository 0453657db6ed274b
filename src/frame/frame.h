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
