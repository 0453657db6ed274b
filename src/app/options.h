// The options screen (F1): the player's controls, display, sound, side
// colours and campaign, over the game frozen as it was left. It reads the
// keys, mouse and pads as they are (never through the bindings) and is never
// recorded: while it is open no frame of the game runs.
#pragma once

#include "frame/frame.h"
#include "gdi/gdi.h"

bool optionsOpen();
void optionsShow(); // opens the options on their first page, or where they were left

// One frame of the options, drawn into hdc over what it holds (the frozen
// frame), from the input as it is. Closes them on F1 or Escape.
void optionsFrame(HDC hdc, int width, int height, const inputState& in);

// The line the main menu shows at its foot: the keys added to the game's.
extern const char* const addedKeysLine;
