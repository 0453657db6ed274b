// The problems of a mission as the game holds it: what makes it broken (an
// objective that decides it on its first frame, a player's ship that is not
// there, a reference to a slot without a ship, a point outside the world, a
// missing follow-up, a message the start screen shows badly) and what is
// legal but will not play as meant (warnings). The editor lists them and
// kvxtool check prints them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mission/mission_file.h"

// One thing wrong with a mission, or a setup that is legal but does not play.
struct missionProblem {
    int ship = -1;        // the slot it is about, -1 for the whole mission
    bool warning = false; // legal but will not play as meant
    std::string text;     // one line, e.g. "ship 3: leader names slot 7, which holds no live ship"
};

// Whether a mission file of that name ("kvxmap.NNNN.kvx") is in the mission's folder.
using missionFileExists = std::function<bool(const char* name)>;

// The problems of a mission as the game holds it (already loaded, so made
// safe), in a fixed order: objectives, the player's ship, each ship in slot
// order, rings of leaders, follow-ups, the message.
std::vector<missionProblem> checkMissionState(const MissionRefs& m,
                                              const missionFileExists& exists);
