// The fixed list of drawing cases that the raster check draws, the same on
// every system: each case is one small bitmap and the calls that paint it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gdi/gdi.h"

struct RasterCase {
    std::string name; // unique, stable across runs
    std::string kind; // the primitive it exercises, for the per-kind report
    int width, height;
    std::function<void(HDC)> draw;
    // Ellipses: the box's first and last rows (else -1). Where our walk leaves
    // them empty, as it does for narrow tall boxes, Wine paints a run of
    // uninitialised length there, different from run to run; those two rows
    // are left out of the comparison.
    int endRows[2] = {-1, -1};
};

std::vector<RasterCase> rasterCases();
