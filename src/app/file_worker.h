// File work done beside the frame loop (an autosave written and flushed to
// disk), so that a slow disk never holds a frame up. Jobs run one at a time
// in the order given.
#pragma once

#include <functional>

void fileJob(std::function<void()> job);
// Waits until every job given has run (at shut-down, and in tests).
void fileJobsDone();
