// The browser backend beyond system.h: the page's options, and the pacing of
// the frames that the page's animation frames offer.
#pragma once

#include <string>

#include "ports/web/web_address.h"

// Before the game starts: the seed, size, clock and pacing the page was asked for.
void webConfigure(const webOptions& options);

// An animation frame came: whether a game frame runs now (paced to the
// steady rate; a test run's frames stop at its `frames` until allowed more).
bool webFrameDue();

// A recording is being written at path (in the page's memory): the page
// offers it to download.
void webRecordingWritten(const std::string& path);
void webAllowFrames(int more);
long long webFramesShown();
