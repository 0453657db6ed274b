// The side colours: the game's own palette (each side a strength of its own
// channel) and the colour-blind one, and which of them is shown.
#include <algorithm>
#include <cstdio>

#include "render/render.h"

namespace {

// The palette in use; it outlives frames, screens and missions.
int& chosenPalette() {
    static int palette = paletteGame;
    return palette;
}

struct Rgb {
    int r, g, b;
};

// Each side's colour at full strength under the colour-blind palette: an
// orange, an azure and a white. Simulated protanopia and deuteranopia keep
// every strength from 40% up of one at least 20 CIEDE2000 units from every
// such strength of the others (tests/render/palette_test.cpp measures it).
constexpr Rgb colourBlindSides[3] = {{255, 140, 0}, {0, 120, 255}, {255, 255, 255}};

int scaled(int channel, int strength) { return (channel * strength + 127) / 255; }

int channelOf(COLORREF c, int shift) { return int((c >> shift) & 0xff); }

} // namespace

void setSidePalette(int palette) {
    if (palette != paletteGame && palette != paletteColourBlind) {
        std::fprintf(stderr,
                     "korvane: there is no side palette %d (0 the game's, 1 colour-blind); "
                     "keeping %d\n",
                     palette, chosenPalette());
        return;
    }
    chosenPalette() = palette;
}

int sidePalette() { return chosenPalette(); }

COLORREF sideColour(int side, int strength) {
    if (side < sideRed || side > sideBlue) return 0;
    if (chosenPalette() == paletteGame) {
        // RGB's own byte cast, as the game's colours were always made.
        return side == sideRed     ? RGB(strength, 0, 0)
               : side == sideGreen ? RGB(0, strength, 0)
                                   : RGB(0, 0, strength);
    }
    const int s = std::clamp(strength, 0, 255);
    const Rgb& base = colourBlindSides[side];
    return RGB(scaled(base.r, s), scaled(base.g, s), scaled(base.b, s));
}

COLORREF addColours(COLORREF a, COLORREF b) {
    auto sum = [&](int shift) { return std::min(channelOf(a, shift) + channelOf(b, shift), 255); };
    return RGB(sum(0), sum(8), sum(16));
}
