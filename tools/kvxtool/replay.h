// kvxtool replay: what a recording of a game holds, and the mission as it
// stood at any frame of it.
#pragma once

#include <string>
#include <vector>

struct HeadlessConfig;

// Plays the recording at `path` through the headless port with `config`
// (its frames, its frame callback), unseen and in a scratch folder, the
// session's messages named by `who`; gameMain's status (3: a recording cut
// off, played to its cut).
int playUnseen(const std::string& path, const char* who, const HeadlessConfig& config);

// Runs the command on its arguments; returns the exit status.
int replayCommand(const std::vector<std::string>& args);
