// Where a frame goes in a window larger or smaller than it, for the ports that
// show it: enlarged by the largest whole factor that fits, shrunk to fit only
// when the window is smaller, centred; and a point of the window back in the
// frame's pixels.
#pragma once

// A rectangle of the window, in its pixels.
struct shownRect {
    int x = 0, y = 0;
    int width = 0, height = 0;
    bool operator==(const shownRect&) const = default;
};

// Where a frameWidth x frameHeight frame is shown in the window: k times its
// size, k = max(1, min(windowWidth / frameWidth, windowHeight / frameHeight)),
// or, when that does not fit, as large as fits with the frame's proportions
// (at least a pixel a side). Centred; empty when either size is not positive.
shownRect shownFrame(int windowWidth, int windowHeight, int frameWidth, int frameHeight);

// The frame's pixel under a point of the window; a point outside the shown
// rectangle gives the nearest pixel of the frame's edge.
void framePoint(const shownRect& shown, int frameWidth, int frameHeight, int& x, int& y);
