// The face of a tool button: a lit or unlit square with the small ship emblem
// (a hull plate with its engine, pointing down and to the left).
#include "draw/draw.h"
#include "editor/editor.h"
#include "render/render.h"

void drawIcon(HDC hdc, vec2 pos, bool on) {
    if (on)
        drawBox(hdc, pos, pos + 50, highlightColour, highlightFill);
    else
        drawBox(hdc, pos, pos + 50, textColour, textFill);
    vec2 m = pos + 25;
    vec2 u(2.12);
    drawPart(hdc, m + u * 4, u, 1, kindHull, 0, false, colourNormal, 0);
    drawPart(hdc, m - u * 12, u, 1, kindEngine, 0, false, colourNormal, 0);
}
