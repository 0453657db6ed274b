// What makes a mission file broken, unplayable or badly shown, found the way
// the game would meet it.
#pragma once

#include <string>
#include <vector>

// The problems of the mission file at path, one line each without the file's
// name; empty when there are none. Throws FileError when the file cannot be
// read at all.
std::vector<std::string> checkMission(const std::string& path);
