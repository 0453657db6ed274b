// The player's key bindings turned into the keys the game itself reads.
#pragma once

#include "settings/settings.h"

// In flight (play), each action's own key (Up for thrust, Numpad 0 for the
// target...) reads as held exactly while one of the keys or the gamepad
// button bound to the action is held; in the editor the same holds for the
// view's keys (zoom in, zoom out, reset). Every other key, and every key on
// the other screens, reads as it is. Escape is never bound and always reads
// as it is.
void bindKeys(const settings& s, int mode, bool keys[256]);

// The actions bound in the given screen: those of flight in play, the view's
// in the editor, none elsewhere.
bool actionBoundIn(int a, int mode);
