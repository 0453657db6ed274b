// SDL's game controllers (any gamepad SDL has a mapping for) as the game's
// keys: pads opened as they are plugged in, closed as they are pulled out.
#pragma once

#include <SDL.h>

// A controller was plugged in (its device index) or pulled out (its instance id).
void padAdded(int deviceIndex);
void padRemoved(SDL_JoystickID instance);
void padCloseAll();

// Marks in keys[] the keys every open pad holds now.
void padHeld(bool keys[256]);

// One controller as it stands.
struct padState;
padState readPad(SDL_GameController* pad);
