// kvxtool replay: what a recording of a game holds, and the mission as it
// stood at any frame of it.
#pragma once

#include <string>
#include <vector>

// Runs the command on its arguments; returns the exit status.
int replayCommand(const std::vector<std::string>& args);
