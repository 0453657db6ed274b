// The mission's picture: the editor's own map drawing (drawEditorMap) in a
// view that fits the mission, and a text column in the game's font, drawn
// into a bitmap of the headless backend's.
#include "picture.h"

#include <algorithm>
#include <cmath>

#include "draw/draw.h"
#include "editor/editor.h"
#include "frame/frame.h"
#include "gdi/surface.h"
#include "render/render.h"

namespace {

constexpr double worldEdge = 30000;
constexpr COLORREF titleColour = 0xffffff;

// Whether the map takes the left of the picture (else its top).
bool mapBeside(int width, int height) { return width >= height; }

// The text column: the mission's name, its message and its problems, then the
// warnings, each problem after a dash, its wrapped lines indented.
void drawColumn(HDC hdc, const Mission& m, const std::string& name,
                const std::vector<missionProblem>& problems, vec2 at, float right, float size) {
    const float left = float(at.x);
    auto say = [&](COLORREF colour, float s, const std::string& text, float from) {
        setLine(hdc, 0, 1, colour);
        at = drawText(hdc, at, from, right, s, fontSafe(text).c_str());
        endLine(hdc);
    };
    say(titleColour, size * 1.25f, "Mission " + name + "\n\n", left);
    const std::string note(m.note, std::find(m.note, m.note + noteSize, 0));
    if (!note.empty()) say(textColour, size, note + "\n\n", left);
    for (bool warnings : {false, true}) {
        const auto first =
            std::find_if(problems.begin(), problems.end(),
                         [&](const missionProblem& p) { return p.warning == warnings; });
        if (first == problems.end() && warnings) continue;
        say(titleColour, size, warnings ? "Warnings\n" : "Problems\n", left);
        if (first == problems.end()) say(textColour, size, "none\n", left);
        for (const missionProblem& p : problems) {
            if (p.warning != warnings) continue;
            say(textColour, size, "- ", left);
            say(textColour, size, p.text, float(at.x));
            at = vec2(left, at.y + 7 * size); // the font's line height
        }
        at = vec2(left, at.y + 7 * size);
    }
}

} // namespace

MapView missionView(const Mission& m, int width, int height) {
    MapView v;
    v.width = mapBeside(width, height) ? width - width / 3 : width;
    v.height = mapBeside(width, height) ? height : height - height / 3;
    v.zom = defaultZoom(width);

    // The box of every live ship with its marks (1.5 radii) and route points.
    vec2 lo(worldEdge, worldEdge), hi(-worldEdge, -worldEdge);
    auto take = [&](vec2 p, double r) {
        p = vec2(std::clamp(p.x, -worldEdge, worldEdge), std::clamp(p.y, -worldEdge, worldEdge));
        lo = vec2(std::min(lo.x, p.x - r), std::min(lo.y, p.y - r));
        hi = vec2(std::max(hi.x, p.x + r), std::max(hi.y, p.y + r));
    };
    for (const ship& s : m.a) {
        if (!s.alive) continue;
        take(s.pos, 1.5 * s.radius);
        for (vec2 p : {s.waypoint, s.wayA, s.wayB}) take(p, 0);
    }
    vec2 centre(0, 0);
    if (lo.x <= hi.x) {
        // The halo reaches 5 pixels beyond a ship and a route point 3.5.
        const double margin = std::max(12, std::min(v.width, v.height) / 20);
        const double zx = (v.width - 2 * margin) / std::max(hi.x - lo.x, 1.0);
        const double zy = (v.height - 2 * margin) / std::max(hi.y - lo.y, 1.0);
        v.zom = float(std::min({zx, zy, double(v.zom)}));
        centre = (lo + hi) / 2;
    }
    // The editor draws p at (p + cam) * zom + the window's centre: put the
    // centre of the box in the middle of the map's part.
    const vec2 windowCentre(width / 2, height / 2);
    v.cam = (vec2(v.width / 2.0, v.height / 2.0) - windowCentre) / v.zom - centre;
    return v;
}

std::vector<std::uint32_t> missionPicture(Mission& m, const std::string& name,
                                          const std::vector<missionProblem>& problems, int width,
                                          int height) {
    HDC hdc = createSurfaceDC(width, height);
    if (!hdc) return {};
    workRes(false, width, height);
    const MapView v = missionView(m, width, height);
    drawEditorMap(hdc, m.a, v.cam, v.zom, m.you, 0); // as under the select tool

    // The text's part, cleared of whatever of the map reached into it, with a
    // rule along the map's edge.
    const bool beside = mapBeside(width, height);
    const vec2 corner = beside ? vec2(v.width, 0) : vec2(0, v.height);
    drawBox(hdc, corner, vec2(width + 1, height + 1), 0, 0);
    drawLine(hdc, corner, beside ? vec2(v.width, height) : vec2(width, v.height), textColour);
    const float size = std::max(1.0f, float(std::min(width, height)) / 360);
    const float pad = 6 * size;
    drawColumn(hdc, m, name, problems, corner + pad, float(width) - pad, size);

    const Surface s = dcSurface(hdc);
    std::vector<std::uint32_t> pixels(s.pixels,
                                      s.pixels + std::size_t(width) * std::size_t(height));
    deleteSurfaceDC(hdc);
    return pixels;
}
