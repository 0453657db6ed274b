// Lines the game says on screen for a few seconds (a settings problem, a
// screenshot's name), drawn over the shown picture and never into the frame
// itself: they are not part of the game, and a recording never sees them.
#pragma once

#include <string>

#include "gdi/gdi.h"

void notify(const std::string& text, float seconds);

// Draws the lines still due at the foot of hdc and counts their time down.
void drawNotices(HDC hdc, int width, int height, float frameTime);
