// The differences from Wine's GDI that we keep, and why. Each is pinned to its
// exact pixel count, so any other change in these cases shows up as unexplained.
#include "known.h"

namespace {

// Sloped wide lines: Wine rounds the four corners of each segment's quad to
// whole pixels, which makes its strokes one pixel fatter on one side (its
// 45-degree lines are lopsided). Windows widens the path geometrically; we
// paint the pixel centres within half the width of the segment, plus round
// ends. Horizontal and vertical wide lines, the cases Windows is known for,
// agree exactly.
const char wideWine[] = "sloped wide strokes: Wine rounds quad corners, we stroke geometrically";

// A wide pen around an ellipse: we paint the round nib along the thin outline;
// Wine strokes its own polygon approximation. The game never draws one.
const char wideEllipse[] = "wide-pen ellipse: nib along the outline against Wine's stroked path";

const KnownDifference known[] = {
    {"line3-dir12,3", 12, wideWine},
    {"line3-dir12,6", 8, wideWine},
    {"line3-dir12,12", 14, wideWine},
    {"line3-dir6,12", 6, wideWine},
    {"line3-dir3,12", 12, wideWine},
    {"line3-dir-3,12", 12, wideWine},
    {"line3-dir-6,12", 6, wideWine},
    {"line3-dir-12,12", 14, wideWine},
    {"line3-dir-12,6", 8, wideWine},
    {"line3-dir-12,3", 12, wideWine},
    {"line3-dir-12,-3", 12, wideWine},
    {"line3-dir-12,-6", 8, wideWine},
    {"line3-dir-12,-12", 14, wideWine},
    {"line3-dir-6,-12", 6, wideWine},
    {"line3-dir-3,-12", 12, wideWine},
    {"line3-dir3,-12", 12, wideWine},
    {"line3-dir6,-12", 6, wideWine},
    {"line3-dir12,-12", 14, wideWine},
    {"line3-dir12,-6", 8, wideWine},
    {"line3-dir12,-3", 12, wideWine},
    {"line3-dir4,1", 4, wideWine},
    {"line3-dir4,2", 4, wideWine},
    {"line3-dir7,3", 8, wideWine},
    {"line3-dir2,4", 2, wideWine},
    {"line3-dir-4,2", 4, wideWine},
    {"line3-random0", 50, wideWine},
    {"line3-random1", 17, wideWine},
    {"line3-random2", 21, wideWine},
    {"line3-random3", 25, wideWine},
    {"line3-random4", 37, wideWine},
    {"line3-random5", 14, wideWine},
    {"line3-random6", 50, wideWine},
    {"line3-random7", 33, wideWine},
    {"line3-random9", 15, wideWine},
    {"line3-random10", 20, wideWine},
    {"line3-random11", 25, wideWine},
    {"line3-random12", 33, wideWine},
    {"line3-random13", 18, wideWine},
    {"line3-random14", 33, wideWine},
    {"line3-random15", 9, wideWine},
    {"line3-random16", 33, wideWine},
    {"line3-random17", 18, wideWine},
    {"line3-random18", 40, wideWine},
    {"line3-random19", 45, wideWine},
    {"line3-random21", 54, wideWine},
    {"line3-random22", 19, wideWine},
    {"line3-random23", 31, wideWine},
    {"line3-random24", 24, wideWine},
    {"line3-random25", 25, wideWine},
    {"line3-random26", 6, wideWine},
    {"line3-random27", 48, wideWine},
    {"line3-random28", 22, wideWine},
    {"line3-random29", 23, wideWine},
    {"line3-random30", 18, wideWine},
    {"line3-random31", 6, wideWine},
    {"line3-random32", 12, wideWine},
    {"line3-random34", 19, wideWine},
    {"line3-random35", 22, wideWine},
    {"line3-random36", 50, wideWine},
    {"line3-random37", 32, wideWine},
    {"line3-random38", 40, wideWine},
    {"line3-random39", 47, wideWine},
    {"polyline-2-w3", 91, wideWine},
    {"polyline-5-w3", 66, wideWine},
    {"polyline-8-w3", 54, wideWine},
    {"polyline-11-w3", 57, wideWine},
    {"polyline-14-w3", 51, wideWine},
    {"polyline-17-w3", 30, wideWine},
    {"polyline-20-w3", 57, wideWine},
    {"polyline-23-w3", 100, wideWine},
    {"polygon-wide-pen", 101, wideWine},
    {"ellipse-wide-pen", 56, wideEllipse},
    {"far-wide-line", 1, wideWine},
};

} // namespace

const KnownDifference* knownDifference(const std::string& name) {
    for (const KnownDifference& k : known)
        if (name == k.name) return &k;
    return nullptr;
}
