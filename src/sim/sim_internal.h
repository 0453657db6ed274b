// Small helpers shared by the files of the simulation.
#pragma once

#include <cstdlib>

#include "model/model.h"

// A part that counts: its slot is in use and it has health left.
inline bool livePart(const part& p) { return p.kind != kindNone && p.health > 0; }

// One rand call as a fraction 0 .. 0.9999.
inline double randFraction() { return (std::rand() % 10000) / 10000.0; }

// Copies f into the lowest free frag slot (slot 0 when none is free).
void putFrag(frag* frags, const frag& f);
