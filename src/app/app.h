// The game driver: the entry point and frame loop, and the services the rest of
// the game calls every frame (window size, frame time, keys, mouse).
#pragma once

#include "geom/vec2.h"
#include "platform/gdi.h"

// Whether the game's window had the keyboard focus when key(0) last looked.
extern bool global_gotfocus_tag;

// The program: start-up, the frame loop, shut-down. Returns 1 when the window
// cannot be made, else 0.
int gameMain(HINSTANCE instance);

// get with value != 0: the width; get with value == 0: the height;
// !get: stores value and height as the window size.
int workRes(bool get, int value, int height);

// Seconds since the previous call, at most 0.05.
float retFrameSpd();

// Switch the display to full screen at the stored size; quits when it cannot.
void toFullScreen();

// key(0) refreshes the focus flag; any key reads as held only while the flag is set.
bool key(int virtualKey);

// The cursor in window pixels.
vec2 mousePos();

// One frame of the game, drawn into hdc (cleared before, shown after).
void goProgram(HDC hdc, HINSTANCE instance, float frameTime);
