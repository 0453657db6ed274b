// A game that crashes while it records says where its recording is: the
// recording reaches its file at least twice a second, so it holds the game
// up to its last moments, and it is what a bug report wants.
#pragma once

#include <string>

// From now on a fatal signal (a crash, an abort) writes one line naming the
// recording to standard error, then ends the program as it would have.
void fatalSignalsSay(const char* who, const std::string& recordingPath);
// The handlers as they were before.
void fatalSignalsOff();
