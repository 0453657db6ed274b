// The editor's problems list (F3): what `kvxtool check` finds in the mission
// being edited, beside the map; a click on a problem centres the view on its
// ship.
#pragma once

#include <vector>

#include "geom/vec2.h"
#include "gdi/gdi.h"
#include "mission/mission_check.h"
#include "mission/mission_file.h"

struct problemsList {
    bool shown = false;
    bool pressOn = false; // the left press under way began on the list
    std::vector<missionProblem> problems;
    std::vector<float> rowTop, rowBottom; // the screen rows of the problems drawn
};

// The left edge of the list on a frame of this width.
float listLeft(int width);

// Whether the left button's press belongs to the list in this frame (it
// began on it); a press that begins on a problem of a ship centres that ship
// in the part of the map the list leaves in view.
bool listPress(problemsList& l, const ship* ships, vec2& cam, float zom, bool freshPress);

// Finds the mission's problems and draws the list over the right of the map.
void drawProblems(problemsList& l, HDC hdc, const MissionRefs& m);
