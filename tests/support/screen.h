// A saved frame of the game read back for the whole-game tests, and the few
// questions they ask of it: where the lines of text of one colour lie, how
// many pixels of a colour are in a box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixels as the PNG holds them, 0x00RRGGBB. The game's COLORREF 0xffaf64
// (ordinary text) is RGB(100, 175, 255); its highlight 0x64afff is
// RGB(255, 175, 100). No star or ship is drawn in any of these colours.
constexpr std::uint32_t textPixel = 0x64afff;
constexpr std::uint32_t highlightPixel = 0xffaf64;
constexpr std::uint32_t whitePixel = 0xffffff;

// A band of consecutive pixel rows that hold a colour: one line of text, as
// every glyph of the font but a few punctuation marks reaches from the top of
// its cell to the base line. top and bottom are inclusive, left and right the
// outermost columns of the colour in the band.
struct TextLine {
    int top = 0, bottom = 0, left = 0, right = 0;
};

struct Screen {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;

    // False when the file is missing or not a PNG.
    bool load(const std::string& path);

    // Pixels of the colour in the box [x0, x1) x [y0, y1), clipped to the frame.
    int count(std::uint32_t colour, int x0, int y0, int x1, int y1) const;
    int count(std::uint32_t colour) const { return count(colour, 0, 0, width, height); }

    // The lines of the colour from top to bottom, over the whole frame.
    std::vector<TextLine> lines(std::uint32_t colour) const;
    // Only the top rows of those lines.
    std::vector<int> lineTops(std::uint32_t colour) const;
};
