// What makes a mission file broken, unplayable or badly shown, found the way
// the game would meet it.
#pragma once

#include <string>
#include <vector>

#include "mission/mission_check.h"

// The problems of the mission file at path, one line each without the file's
// name, warnings among them (checkMissionState's, after the file's own);
// empty when there are none. Throws FileError when the file cannot be read at
// all.
std::vector<std::string> checkMission(const std::string& path);

// Whether a file of that name is in the folder of the file at path.
missionFileExists filesBeside(const std::string& path);
