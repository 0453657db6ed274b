// Pens, brushes and the drawing primitives every picture of the game is made of.
//
// At most one game-made pen and one game-made brush exist at a time: each
// setLine/setFill makes a fresh one and puts the context's earlier one back
// first; endLine/endFill put the earlier one back and destroy the game's. Calls
// with colours of their own set and release both around themselves; calls
// without colours draw with whatever is selected (the font relies on that).
// Points are pixels of the target bitmap, truncated towards zero.
#pragma once

#include <string>

#include "geom/vec2.h"
#include "gdi/gdi.h"

// The screens' colours (COLORREF is 0x00BBGGRR): the light blue of their text
// and frames, the orange of what is chosen, and the dark fills behind each.
constexpr COLORREF textColour = 0xffaf64;
constexpr COLORREF highlightColour = 0x64afff;
constexpr COLORREF textFill = 0x321900;
constexpr COLORREF highlightFill = 0x001932;

void setLine(HDC hdc, int style, int width, COLORREF colour, bool release);
void setLine(HDC hdc, int style, int width, COLORREF colour);
void endLine(HDC hdc);
void setFill(HDC hdc, COLORREF colour, bool release);
void setFill(HDC hdc, COLORREF colour);
void endFill(HDC hdc);
void setColor(HDC hdc, COLORREF line, COLORREF fill);
void setColor(HDC hdc, COLORREF line, int style, int width, COLORREF fill);
void endColor(HDC hdc);

void drawPixl(HDC hdc, vec2 p, COLORREF c);

void drawCirc(HDC hdc, vec2 c, double r, COLORREF line, COLORREF fill);
void drawCirc(HDC hdc, vec2 c, double r);

void drawLine(HDC hdc, vec2 a, vec2 b, COLORREF c);
void drawLine(HDC hdc, vec2 a, vec2 b, COLORREF c, int width);
void drawLine(HDC hdc, vec2 a, vec2 b);
void drawLine(HDC hdc, vec2 b, COLORREF c); // from the current position
void drawLine(HDC hdc, vec2 b, COLORREF c, int width);
void drawLine(HDC hdc, vec2 b);

void drawBox(HDC hdc, vec2 a, vec2 b);                              // filled, current colours
void drawBox(HDC hdc, vec2 a, vec2 b, COLORREF c);                  // outline only
void drawBox(HDC hdc, vec2 a, vec2 b, COLORREF line, COLORREF fill); // filled

void drawPoly(HDC hdc, const vec2* pts, int n);
void drawPoly(HDC hdc, const vec2* pts, int n, COLORREF c);
void drawPoly(HDC hdc, const vec2* pts, int n, COLORREF line, COLORREF fill);
// The points in the local frame of (origin, axis), as parts of ships are drawn.
void drawPoly(HDC hdc, vec2 origin, vec2 axis, const vec2* pts, int n);
void drawPoly(HDC hdc, vec2 origin, vec2 axis, const vec2* pts, int n, COLORREF c);
void drawPoly(HDC hdc, vec2 origin, vec2 axis, const vec2* pts, int n, COLORREF line,
              COLORREF fill);

// The vector font, drawn with the current pen: capitals as small letters, the
// digits and some punctuation; any other byte is a small box. left is where new
// lines start, right where text wraps, size the pixels per grid unit. Each
// returns the cursor after what it drew.
vec2 drawText(HDC hdc, vec2 pos, float left, float right, float size, const char* text);
vec2 drawInt(HDC hdc, vec2 pos, float left, float right, float size, int value);
// Whether the font has a glyph of its own for c (line breaks and tabs count),
// and text with every other character made '?', for text from elsewhere.
bool hasGlyph(char c);
std::string fontSafe(std::string text);
vec2 drawFloat(HDC hdc, vec2 pos, float left, float right, float size, int decimals,
               float value);
