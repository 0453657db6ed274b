// The mission editor.
#pragma once

#include "geom/vec2.h"
#include "model/model.h"
#include "platform/gdi.h"

// One frame of the editor on the mission's ships. Returns 0 to stay, 1 to edit
// the mission message, 2 the success file's name, 3 the failure file's name.
int editMiss(HDC hdc, ship* ships, vec2& cam, float& zom, int& you, int& sid, float frameTime);
