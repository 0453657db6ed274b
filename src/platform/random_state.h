// The C library's random generator as the game seeds it, and its state kept
// aside and put back, so that a recording's viewer can go back to an earlier
// frame and draw the same numbers from there. The game's own calls stay
// rand(); this only decides where the generator keeps its state.
#pragma once

#include <cstdint>

// Room for the state: glibc's 128 bytes (its read position in the first word),
// or the browser build's words and positions.
struct randomState {
    alignas(8) unsigned char bytes[160] = {};
};

// srand(seed), with the same sequence after it, where the state can be read.
void randomSeed(unsigned seed);
// The state now; false where the C library keeps it out of reach (Windows).
bool randomKeep(randomState& s);
// Puts back a state randomKeep gave.
void randomPutBack(const randomState& s);
