// The game's sound between the mixer and the platform's device: opening it,
// the volume from KORVANE_VOLUME, F2 and its line on screen, and feeding the
// device once a frame.
#pragma once

#include "gdi/gdi.h"

// A volume as KORVANE_VOLUME gives it: digits only, 0 to 100; -1 for anything else.
int parseVolume(const char* text);
// At start-up: the device opened (silence when there is none) and the volume set.
void soundOpen();
// Each frame after the game's: F2 turns sound off and on, and for two seconds
// a line at the top right of the frame says which.
void soundKeys(HDC hdc, float frameTime);
// Each frame once it is shown: the frame's sounds mixed into what the device wants.
void soundFeed(float frameTime);
