// Differences between our rasterizer and the GDI we compare it with that are
// understood and kept on purpose, each with its reason.
#pragma once

#include <string>

struct KnownDifference {
    const char* name; // the case
    int pixels;       // how many pixels differ
    const char* why;
};

// The known difference for a case, or null.
const KnownDifference* knownDifference(const std::string& name);
