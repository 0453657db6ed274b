// kvxtool video: a recording of a game filmed as MP4, WebM or GIF through
// the ffmpeg program.
#pragma once

#include <string>
#include <vector>

// Runs the command on its arguments; returns the exit status.
int videoCommand(const std::vector<std::string>& args);
