// The system's clocks as the real windows use them.
#pragma once

// Milliseconds since the system started, wrapping at 2^32 like GetTickCount:
// the random seed, different at every start.
unsigned bootMillis();

// A steady clock in seconds, as fine as the system has (its origin is arbitrary).
double steadySeconds();
