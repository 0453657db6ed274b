// The side palettes: how far apart the sides' colours stay for players with
// protanopia, deuteranopia and tritanopia (the simulation of Machado, Oliveira
// and Fernandes 2009 at severity 1, applied to linear RGB; distances in
// CIEDE2000 under D65), and ships drawn in the colour-blind palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "render/render.h"
#include "support/grid.h"

namespace {

struct Lab {
    double L, a, b;
};

double linear(int c) {
    double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// The colour seen with the given 3x3 matrix on linear RGB (none: normal vision).
Lab seen(COLORREF c, const double (*m)[3]) {
    double rgb[3] = {linear(int(c & 0xff)), linear(int(c >> 8 & 0xff)),
                     linear(int(c >> 16 & 0xff))};
    if (m) {
        double out[3];
        for (int i = 0; i < 3; ++i) out[i] = m[i][0] * rgb[0] + m[i][1] * rgb[1] + m[i][2] * rgb[2];
        for (int i = 0; i < 3; ++i) rgb[i] = std::clamp(out[i], 0.0, 1.0);
    }
    double X = 0.4124564 * rgb[0] + 0.3575761 * rgb[1] + 0.1804375 * rgb[2];
    double Y = 0.2126729 * rgb[0] + 0.7151522 * rgb[1] + 0.0721750 * rgb[2];
    double Z = 0.0193339 * rgb[0] + 0.1191920 * rgb[1] + 0.9503041 * rgb[2];
    auto f = [](double t) {
        constexpr double d = 6.0 / 29;
        return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29;
    };
    double fx = f(X / 0.95047), fy = f(Y), fz = f(Z / 1.08883);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double deg(double r) { return r * 180 / std::numbers::pi; }
double rad(double d) { return d * std::numbers::pi / 180; }

// CIEDE2000 as Sharma, Wu and Dalal (2005) write it out.
double deltaE2000(Lab p, Lab q) {
    auto pow7 = [](double x) { return std::pow(x, 7); };
    double cBar = (std::hypot(p.a, p.b) + std::hypot(q.a, q.b)) / 2;
    double g = 0.5 * (1 - std::sqrt(pow7(cBar) / (pow7(cBar) + pow7(25))));
    double a1 = (1 + g) * p.a, a2 = (1 + g) * q.a;
    double c1 = std::hypot(a1, p.b), c2 = std::hypot(a2, q.b);
    auto hue = [](double b, double a) {
        return a == 0 && b == 0 ? 0 : std::fmod(deg(std::atan2(b, a)) + 360, 360);
    };
    double h1 = hue(p.b, a1), h2 = hue(q.b, a2);
    double dh = c1 * c2 == 0 ? 0 : h2 - h1;
    if (dh > 180) dh -= 360;
    if (dh < -180) dh += 360;
    double dL = q.L - p.L, dC = c2 - c1, dH = 2 * std::sqrt(c1 * c2) * std::sin(rad(dh / 2));
    double lBar = (p.L + q.L) / 2, cpBar = (c1 + c2) / 2;
    double hBar = h1 + h2;
    if (c1 * c2 != 0)
        hBar = std::abs(h1 - h2) <= 180 ? hBar / 2 : (hBar + (hBar < 360 ? 360 : -360)) / 2;
    double t = 1 - 0.17 * std::cos(rad(hBar - 30)) + 0.24 * std::cos(rad(2 * hBar)) +
               0.32 * std::cos(rad(3 * hBar + 6)) - 0.20 * std::cos(rad(4 * hBar - 63));
    double sL = 1 + 0.015 * (lBar - 50) * (lBar - 50) / std::sqrt(20 + (lBar - 50) * (lBar - 50));
    double sC = 1 + 0.045 * cpBar, sH = 1 + 0.015 * cpBar * t;
    double rT = -2 * std::sqrt(pow7(cpBar) / (pow7(cpBar) + pow7(25))) *
                std::sin(rad(60 * std::exp(-std::pow((hBar - 275) / 25, 2))));
    double l = dL / sL, c = dC / sC, h = dH / sH;
    return std::sqrt(l * l + c * c + h * h + rT * c * h);
}

struct Vision {
    const char* name;
    const double (*m)[3];
};
constexpr double protan[3][3] = {{0.152286, 1.052583, -0.204868},
                                 {0.114503, 0.786281, 0.099216},
                                 {-0.003882, -0.048116, 1.051998}};
constexpr double deutan[3][3] = {{0.367322, 0.860646, -0.227968},
                                 {0.280085, 0.672501, 0.047413},
                                 {-0.011820, 0.042940, 0.968881}};
constexpr double tritan[3][3] = {{1.255528, -0.076749, -0.178779},
                                 {-0.078411, 0.930809, 0.147602},
                                 {0.004733, 0.691367, 0.303900}};
const Vision visions[4] = {
    {"normal", nullptr}, {"protanopia", protan}, {"deuteranopia", deutan}, {"tritanopia", tritan}};

// The least distance between any strength from 40% to 100% of side a's colour
// and any of side b's, in the palette now set: every strength (step 0), or
// strengths 40%, 45%, ..., 100% (step 5).
double nearest(int a, int b, const Vision& v, int step) {
    std::vector<int> strengths;
    for (int s = 102; s <= 255; ++s) strengths.push_back(s);
    if (step) {
        strengths.clear();
        for (int pc = 40; pc <= 100; pc += step) strengths.push_back((255 * pc + 50) / 100);
    }
    double least = 1e9;
    for (int s : strengths)
        for (int t : strengths)
            least = std::min(least,
                             deltaE2000(seen(sideColour(a, s), v.m), seen(sideColour(b, t), v.m)));
    return least;
}

const int pairs[3][2] = {{sideRed, sideGreen}, {sideRed, sideBlue}, {sideGreen, sideBlue}};

TEST(SidePalette, DeltaE2000MatchesSharmaWuAndDalal) {
    EXPECT_NEAR(deltaE2000({50, 2.6772, -79.7751}, {50, 0, -82.7485}), 2.0425, 1e-4);   // pair 1
    EXPECT_NEAR(deltaE2000({50, 2.5, 0}, {73, 25, -18}), 27.1492, 1e-4);                // pair 17
    EXPECT_NEAR(deltaE2000({60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}), // pair 25
                1.2644, 1e-4);
}

// Prints the least distances of both palettes for every vision and pair of
// sides. The game's red and green run together under protanopia and
// deuteranopia; the colour-blind palette keeps every pair 20 apart there and
// for normal vision.
TEST(SidePalette, ColourBlindSidesStayTwentyApart) {
    double least[2][4][3]; // palette, vision, pair; over every strength
    for (int palette : {paletteGame, paletteColourBlind}) {
        setSidePalette(palette);
        for (int step : {0, 5}) {
            std::printf("%s palette, %s:\n", palette == paletteGame ? "game" : "colour-blind",
                        step ? "strengths 40%..100% in steps of 5%" : "every strength 102..255");
            for (int v = 0; v < 4; ++v) {
                double d[3];
                for (int k = 0; k < 3; ++k)
                    d[k] = nearest(pairs[k][0], pairs[k][1], visions[v], step);
                std::printf("  %-13s Red-Green %6.2f  Red-Blue %6.2f  Green-Blue %6.2f\n",
                            visions[v].name, d[0], d[1], d[2]);
                if (!step) std::copy(d, d + 3, least[palette][v]);
            }
        }
    }
    setSidePalette(paletteGame);
    EXPECT_LT(least[paletteGame][1][0], 1); // red and green under protanopia
    EXPECT_LT(least[paletteGame][2][0], 3); // and deuteranopia
    for (int v = 0; v < 3; ++v)             // normal vision, protanopia, deuteranopia
        for (int k = 0; k < 3; ++k)
            EXPECT_GE(least[paletteColourBlind][v][k], 20) << visions[v].name << " pair " << k;
}

// One ship of each side in the colour-blind palette: its side colours show and
// none of the game's own red, green and blue does. A number that names no palette
// changes nothing.
TEST(SidePalette, ShipsDrawnInTheColourBlindPalette) {
    setSidePalette(paletteColourBlind);
    setSidePalette(2);
    EXPECT_EQ(sidePalette(), paletteColourBlind);
    Canvas c(240, 80);
    for (int side : {sideRed, sideGreen, sideBlue}) {
        ship s(vec2(0, 0), typeHeavyFighter, side, true);
        for (part& p : s.parts) p.lit = false; // a flame is the game's red in any palette
        drawShip(c.dc, s, vec2(40 + 80 * side, 40), 1);
    }
    for (int side : {sideRed, sideGreen, sideBlue})
        EXPECT_GT(c.count(sideColour(side, 255), 80 * side, 0, 80 * side + 80, 80), 0) << side;
    for (COLORREF game : {0x0000ffu, 0x000082u, 0x00ff00u, 0x008200u, 0xff0000u, 0x820000u})
        EXPECT_EQ(c.count(game), 0) << std::hex << game;
    setSidePalette(paletteGame);
}

} // namespace
