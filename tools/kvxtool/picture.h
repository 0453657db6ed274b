// The picture `kvxtool render` writes: the mission from above as the editor
// shows it, and beside it the mission's name, message and problems.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geom/vec2.h"
#include "mission/mission_check.h"
#include "mission/mission_file.h"

// The map's part of a picture, from its top-left corner, and the editor's
// camera and zoom that show the mission in it.
struct MapView {
    int width = 0, height = 0;
    vec2 cam;
    float zom = 0;
};

// The map's part of a width x height picture (all but a column of a third on
// the right, or a band of a third at the foot when it is taller than wide),
// and the view in which every live ship, its marks and its route points lie
// inside it with a margin, no closer than the editor's default zoom; with no
// live ship, the world's centre at that zoom. Points outside the world count
// as its edge.
MapView missionView(const Mission& m, int width, int height);

// The mission's picture as top-down 0x00RRGGBB pixels (empty when no bitmap
// of that size can be made). The window size (workRes) is set to the
// picture's, since the editor's view is centred in it. `name` titles the text.
std::vector<std::uint32_t> missionPicture(Mission& m, const std::string& name,
                                          const std::vector<missionProblem>& problems, int width,
                                          int height);
