// kvxtool replays: the list of a folder's recordings, newest first, each with
// its date, missions, length and how it ended.
#pragma once

#include <string>
#include <vector>

// Runs the command on its arguments; returns the exit status.
int replaysCommand(const std::vector<std::string>& args);

// The hidden command the listing runs in a process of its own for each
// recording (the game's state lasts as long as its process): plays the
// recording and prints its result.
int replayResultCommand(const std::vector<std::string>& args);
