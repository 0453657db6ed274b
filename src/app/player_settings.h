// The player's settings for this run: read once at start-up, changed by the
// options screen and by the campaign's progress, and kept whenever they change.
#pragma once

#include <string>

#include "settings/settings.h"

// The settings as they stand (the defaults until settingsLoad).
settings& playerSettings();

// Reads the kept settings through the port. What could not be used is told
// once, on screen (notices), naming the file and the line; such a file is
// never written over in this run, so a hand edit is never lost.
void settingsLoad();

// Keeps the settings as they now stand, unless they are as last kept or the
// file could not be read whole. Returns false with a notice when the write failed.
bool settingsKeep();

// Why changes are not kept in this run ("" when they are): the file's first problem.
const std::string& settingsUnkept();

// The mission file the game starts with: the one the recording being played
// started with; else the mission last played when the settings say so and
// its file is there; else the first mission, kvxmap.AAAA.kvx.
std::string startMission();

// A mission was loaded (by the Load screen, a win or a loss): it is the one
// last played from now on.
void missionLoaded(const char* name);
