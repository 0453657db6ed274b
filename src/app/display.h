// The display as the player set it: full screen or a window, and the scale
// that decides the frame's size from the window's.
#pragma once

#include "settings/settings.h"

// The scale a frame is shown at in a window `height` rows tall: the setting
// itself (1 to 4), or for auto (0) the largest that leaves the frame at
// least 1080 rows tall, and 1 below that; never so large that the frame
// would be under 1 pixel wide or tall.
int scaleFor(int setting, int width, int height);

// The frame's size in a window of width x height at the setting's scale:
// the window's size divided by the scale, rounded down.
void frameSizeFor(int setting, int width, int height, int& frameWidth, int& frameHeight);

// Puts the display as the settings say (at start-up, and after the options
// changed it), unless KORVANE_WINDOW chose a window for this run.
void displayApply(const settings& s);

// F11 and Alt+Enter: full screen to a window or back, kept in the settings.
void displayToggle();
