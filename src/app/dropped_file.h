// Files dropped on the game's window. A recording is watched: the game starts
// anew in the viewer once this run ends. A mission file is copied into the
// player's folder (never over another mission of the same name) and the game
// starts anew with it as its first mission. Either waits for a second drop
// of the same file while the editor holds changes not yet saved.
#pragma once

// Each frame, before the game's: takes what was dropped since the last.
void takeDroppedFiles();

// After the run has ended: starts the game anew as a drop asked (the window's
// build replaces the process here), or says why it cannot.
void restartAsDropped();
