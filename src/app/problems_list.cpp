// The problems list: the mission's problems found as it stands, drawn in a
// panel at the right of the editor, each row a place to click.
#include "app/problems_list.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "draw/draw.h"
#include "frame/frame.h"
#include "platform/keys.h"

namespace {

constexpr COLORREF panelLine = 0xffaf64, panelFill = 0x321900;
constexpr COLORREF titleColour = 0xffffff, errorColour = 0x64afff;

// The follow-up missions are looked for in the player's folder, where the
// game loads them from.
bool inFolder(const char* name) {
    std::error_code ec;
    return std::filesystem::is_regular_file(name, ec);
}

} // namespace

float listLeft(int width) { return float(width - std::min(440, width / 2)); }

bool listPress(problemsList& l, const ship* ships, vec2& cam, float zom, bool freshPress) {
    if (!key(VK_LBUTTON)) {
        l.pressOn = false;
        return false;
    }
    if (!freshPress) return l.pressOn;
    const vec2 m = mousePos();
    const int width = workRes(true, 1, 0);
    l.pressOn = l.shown && m.x >= listLeft(width);
    if (!l.pressOn) return false;
    // The ship goes to the middle of the map the list leaves in view.
    const double shift = (listLeft(width) / 2 - width / 2) / zom;
    for (std::size_t i = 0; i < l.rowTop.size() && i < l.problems.size(); ++i) {
        const int s = l.problems[i].ship;
        if (m.y >= l.rowTop[i] && m.y < l.rowBottom[i] && s >= 0 && s < shipCount)
            cam = vec2(shift, 0) - ships[s].pos;
    }
    return true;
}

void drawProblems(problemsList& l, HDC hdc, const MissionRefs& m) {
    l.problems = checkMissionState(m, inFolder);
    const int width = workRes(true, 1, 0), height = workRes(true, 0, 0);
    const float left = listLeft(width) + 10, right = float(width - 10);
    drawBox(hdc, vec2(listLeft(width), 0), vec2(width, height), panelLine, panelFill);
    setLine(hdc, 0, 1, titleColour);
    const std::string title =
        l.problems.empty() ? "No problems found" : "Problems: " + std::to_string(l.problems.size());
    vec2 at = drawText(hdc, vec2(left, 10), left, right, 2, title.c_str());
    setLine(hdc, 0, 1, textColour);
    at = drawText(hdc, at, left, right, 2, "\nF3 hides the list. Click one to see its ship\n");
    l.rowTop.clear();
    l.rowBottom.clear();
    for (const missionProblem& p : l.problems) {
        setLine(hdc, 0, 1, p.warning ? textColour : errorColour);
        const float top = at.y + 14;
        std::string row(1, '\n'); // appended, not "\n" + text: GCC 12 warns of that falsely
        row += fontSafe(p.text);
        at = drawText(hdc, at, left, right, 2, row.c_str());
        l.rowTop.push_back(top);
        l.rowBottom.push_back(at.y + 14);
        if (at.y > height) break;
    }
    endLine(hdc);
}
