// The options screen: five pages of rows, driven by the arrow keys, Enter,
// Delete and Escape, by the mouse, and by a pad (whose stick, A and Start are
// the arrows, Enter and Escape). Every change is put into effect and kept at once.
#include "app/options.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/player_settings.h"
#include "draw/draw.h"
#include "platform/system.h"
#include "render/render.h"
#include "sound/sound.h"

const char* const addedKeysLine = "F1 options, F2 sound, F11 full screen, F12 screenshot";

namespace {

enum page { pageControls, pageDisplay, pageSound, pageColours, pageCampaign, pageCount };
const char* const pageTitles[pageCount] = {"Controls", "Display", "Sound", "Side colours",
                                           "Campaign"};
constexpr int resetRow = actionCount + 1; // the row under the actions
constexpr COLORREF titleColour = 0xffffff;
constexpr COLORREF conflictColour = 0x5050ff; // a red, and marked with '!' as well
constexpr COLORREF panelFill = 0x140a00;

// A place on screen the mouse can choose: a row's cell.
struct cell {
    float x0, y0, x1, y1;
    int row, col;
};

struct optionsState {
    bool open = false;
    int page = pageControls;
    int row = 0; // 0: the row of pages
    int col = 0; // on the controls: key 1, key 2, the pad's button
    bool capturing = false;
    bool was[256] = {}; // the keys as they were in the last frame
    std::vector<cell> cells;
};

optionsState& state() {
    static optionsState s;
    return s;
}

const int windowSizes[][2] = {{800, 600},   {1024, 768},  {1280, 720},  {1366, 768},
                              {1600, 900},  {1920, 1080}, {2560, 1440}, {3840, 2160}};

int rowsOf(int page) {
    switch (page) {
    case pageControls: return resetRow;
    case pageDisplay: return 3;
    case pageSound: return 2;
    default: return 1;
    }
}

// The font draws letters, digits and a little punctuation; a layout's name
// with anything else (an accent, a bracket) is shown by the game's own name.
bool fontHas(const std::string& text) {
    static const char* const marks = " !'()*+,-./:=?_";
    for (char c : text) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && !std::strchr(marks, c)) return false;
    }
    return !text.empty();
}

std::string label(int vk) {
    if (vk <= 0) return ""; // unbound
    if (vk >= padFirst && vk <= padLast) {
        static const char* const pads[] = {"A",  "B",  "X",  "Y",    "RB",    "LB",   "LT",
                                           "RT", "Up", "Down", "Left", "Right", "Start", "Back"};
        return std::string("Pad ") + pads[vk - padFirst];
    }
    const std::string shown = sysKeyLabel(vk);
    if (fontHas(shown)) return shown;
    const std::string name = keyName(vk);
    return name.empty() ? "Key " + std::to_string(vk) : name;
}

// How many actions a key or button is bound to.
int uses(const settings& s, int vk) {
    int n = 0;
    for (const keyBinding& b : s.binds) n += (b.keys[0] == vk) + (b.keys[1] == vk) + (b.button == vk);
    return n;
}

bool bindable(int vk, int col) {
    if (col == 2) return vk >= padFirst && vk <= padLast;
    if (vk >= padFirst && vk <= padLast) return false;
    if (vk >= VK_LSHIFT && vk <= VK_RMENU) return false; // the side-neutral codes are bound
    return !keyName(vk).empty();
}

void keep() { settingsKeep(); }

void setScale(settings& s, int step) { s.scale = (s.scale + step + maxScale + 1) % (maxScale + 1); }

void stepWindowSize(settings& s, int step) {
    int dw = 0, dh = 0;
    sysDesktopSize(&dw, &dh);
    std::vector<int> fit;
    for (int i = 0; i < int(std::size(windowSizes)); ++i)
        if (windowSizes[i][0] <= std::max(dw, 800) && windowSizes[i][1] <= std::max(dh, 600)) fit.push_back(i);
    int at = 0;
    for (int i = 0; i < int(fit.size()); ++i)
        if (windowSizes[fit[std::size_t(i)]][0] <= s.windowWidth) at = i;
    at = std::clamp(at + step, 0, int(fit.size()) - 1);
    s.windowWidth = windowSizes[fit[std::size_t(at)]][0];
    s.windowHeight = windowSizes[fit[std::size_t(at)]][1];
    if (!s.fullScreen) sysSetDisplay(false, s.windowWidth, s.windowHeight);
}

// Enter, a click, or Left and Right (step -1 or 1) on the chosen row.
void change(optionsState& o, int step, bool enter) {
    settings& s = playerSettings();
    switch (o.page) {
    case pageControls:
        if (o.row == resetRow) {
            if (enter)
                for (int a = 0; a < actionCount; ++a) s.binds[a] = defaultBinding(a);
        } else if (enter) {
            o.capturing = true;
            return;
        } else {
            o.col = std::clamp(o.col + step, 0, 2);
            return;
        }
        break;
    case pageDisplay:
        if (o.row == 1) {
            if (sysSetDisplay(!s.fullScreen, s.windowWidth, s.windowHeight)) s.fullScreen = sysIsFullScreen();
        } else if (o.row == 2) {
            stepWindowSize(s, enter ? 1 : step);
        } else {
            setScale(s, enter ? 1 : step);
        }
        break;
    case pageSound:
        if (o.row == 1) {
            s.soundOn = !s.soundOn;
            soundSetOn(s.soundOn);
        } else {
            s.volume = std::clamp(s.volume + (enter ? 10 : step * 5), 0, 100);
            if (enter && s.volume == 100 && step == 0) s.volume = 0;
            soundSetVolume(s.volume);
        }
        break;
    case pageColours:
        s.palette = s.palette == paletteGame ? paletteColourBlind : paletteGame;
        break;
    case pageCampaign:
        s.resume = !s.resume;
        break;
    }
    keep();
}

void unbind(optionsState& o) {
    if (o.page != pageControls || o.row < 1 || o.row > actionCount) return;
    keyBinding& b = playerSettings().binds[o.row - 1];
    if (o.col == 2) b.button = 0;
    else b.keys[o.col] = 0;
    keep();
}

// The first key newly down while a binding waits for one.
void capture(optionsState& o, const inputState& in) {
    for (int vk = 1; vk < 256; ++vk) {
        if (!in.keys[vk] || o.was[vk] || !bindable(vk, o.col)) continue;
        if (vk == VK_F1 || vk == VK_F2 || vk == VK_F11 || vk == VK_F12) continue;
        keyBinding& b = playerSettings().binds[o.row - 1];
        if (o.col == 2) {
            b.button = vk;
        } else {
            if (b.keys[1 - o.col] == vk) b.keys[1 - o.col] = 0;
            b.keys[o.col] = vk;
        }
        o.capturing = false;
        keep();
        return;
    }
}

void click(optionsState& o, float x, float y) {
    for (const cell& c : o.cells) {
        if (x < c.x0 || x >= c.x1 || y < c.y0 || y >= c.y1) continue;
        if (c.row == 0) {
            o.page = c.col;
            o.row = 0;
            return;
        }
        o.row = c.row;
        if (o.page == pageControls && c.row <= actionCount) o.col = c.col;
        change(o, 1, true);
        return;
    }
}

void readKeys(optionsState& o, const inputState& in) {
    auto pressed = [&](int vk) { return in.keys[vk] && !o.was[vk]; };
    if (o.capturing) {
        if (pressed(VK_ESCAPE)) o.capturing = false;
        else capture(o, in);
        return;
    }
    if (pressed(VK_ESCAPE) || pressed(VK_F1)) {
        o.open = false;
        return;
    }
    const int rows = rowsOf(o.page);
    if (pressed(VK_UP)) o.row = o.row == 0 ? rows : o.row - 1;
    if (pressed(VK_DOWN)) o.row = o.row == rows ? 0 : o.row + 1;
    const int step = pressed(VK_RIGHT) - pressed(VK_LEFT);
    if (step != 0) {
        if (o.row == 0) o.page = (o.page + step + pageCount) % pageCount;
        else change(o, step, false);
    }
    if (pressed(VK_RETURN) && o.row > 0) change(o, 0, true);
    if (pressed(VK_DELETE) || pressed(VK_BACK)) unbind(o);
    if (pressed(VK_LBUTTON)) click(o, float(in.x), float(in.y));
}

// Text drawn in a colour, remembered as a cell the mouse can choose.
struct painter {
    HDC hdc;
    optionsState& o;
    float right;
    void text(float x, float y, COLORREF colour, const std::string& s, float size = 2) {
        setLine(hdc, 0, 1, colour);
        drawText(hdc, vec2(x, y), x, right, size, s.c_str());
        endLine(hdc);
    }
    void choice(float x, float y, float w, int row, int col, bool chosen, COLORREF colour,
                const std::string& s) {
        if (chosen) drawBox(hdc, vec2(x - 4, y - 4), vec2(x + w - 8, y + 14), highlightColour, highlightFill);
        text(x, y, chosen ? highlightColour : colour, s);
        o.cells.push_back({x - 4, y - 4, x + w - 8, y + 14, row, col});
    }
};

std::string onOff(bool on) { return on ? "On" : "Off"; }

void drawControls(painter& p, float y) {
    const settings& s = playerSettings();
    optionsState& o = p.o;
    p.text(20, y, textColour, "Action");
    p.text(330, y, textColour, "Key");
    p.text(490, y, textColour, "Second key");
    p.text(650, y, textColour, "Pad");
    y += 24;
    std::string conflicts;
    for (int a = 0; a < actionCount; ++a, y += 22) {
        const keyBinding& b = s.binds[a];
        const int row = a + 1;
        p.text(20, y, o.row == row ? highlightColour : textColour, actionOf(a).title);
        const int slots[3] = {b.keys[0], b.keys[1], b.button};
        for (int col = 0; col < 3; ++col) {
            const int vk = slots[col];
            const bool twice = vk > 0 && uses(s, vk) > 1;
            std::string shown = o.capturing && o.row == row && o.col == col ? "press a key" : label(vk);
            if (o.capturing && o.row == row && o.col == col && col == 2) shown = "press a button";
            if (twice) {
                shown += " !";
                const std::string name = label(vk) + " ";
                if (conflicts.find(name) == std::string::npos) conflicts += name;
            }
            p.choice(330 + 160 * float(col), y, 160, row, col, o.row == row && o.col == col,
                     twice ? conflictColour : textColour, shown);
        }
    }
    y += 6;
    p.choice(20, y, 300, resetRow, 0, o.row == resetRow, textColour, "Reset to defaults");
    y += 30;
    if (!conflicts.empty()) p.text(20, y, conflictColour, "! bound to two actions: " + conflicts);
}

void drawRow(painter& p, float y, int row, const char* name, const std::string& value) {
    p.text(20, y, p.o.row == row ? highlightColour : textColour, name);
    p.choice(260, y, 420, row, 0, p.o.row == row, textColour, value);
}

void drawPage(painter& p, float y, int width, int height) {
    const settings& s = playerSettings();
    switch (p.o.page) {
    case pageControls:
        drawControls(p, y);
        break;
    case pageDisplay: {
        drawRow(p, y, 1, "Display", s.fullScreen ? "Full screen" : "Window");
        drawRow(p, y + 26, 2, "Window size",
                std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight));
        int ww = 0, wh = 0;
        sysWindowSize(&ww, &wh);
        const int k = scaleFor(s.scale, ww, wh);
        drawRow(p, y + 52, 3, "Scale",
                s.scale == 0 ? "Auto (" + std::to_string(k) + "x)" : std::to_string(s.scale) + "x");
        p.text(20, y + 96, textColour,
               "The frame is " + std::to_string(width) + "x" + std::to_string(height) +
                   ", shown at " + std::to_string(k) + "x. F11 or Alt+Enter: full screen.");
        break;
    }
    case pageSound:
        drawRow(p, y, 1, "Sound", onOff(s.soundOn));
        drawRow(p, y + 26, 2, "Volume", std::to_string(s.volume));
        break;
    case pageColours: {
        drawRow(p, y, 1, "Side colours", s.palette == paletteGame ? "The game's own" : "Colour-blind");
        // The sides at the strengths the game draws them, as the palette shows them.
        const int was = sidePalette();
        setSidePalette(s.palette);
        const char* const sides[3] = {"Red", "Green", "Blue"};
        for (int side = 0; side < 3; ++side) {
            const float sy = y + 50 + 30 * float(side);
            p.text(20, sy, textColour, sides[side]);
            for (int i = 0; i < 7; ++i) {
                const COLORREF c = sideColour(side, 255 * (40 + 10 * i) / 100);
                drawBox(p.hdc, vec2(260 + 40 * float(i), sy - 4), vec2(292 + 40 * float(i), sy + 16), c, c);
            }
        }
        setSidePalette(was);
        break;
    }
    case pageCampaign:
        drawRow(p, y, 1, "Start with", s.resume ? "The mission last played" : "The first mission");
        p.text(20, y + 40, textColour,
               "Last played: " + (s.lastMission.empty() ? std::string("none yet") : s.lastMission));
        break;
    }
}

} // namespace

bool optionsOpen() { return state().open; }

void optionsShow() {
    optionsState& o = state();
    o.open = true;
    o.capturing = false;
    for (bool& k : o.was) k = true; // the F1 that opened them must be let go first
}

void optionsFrame(HDC hdc, int width, int height, const inputState& in) {
    optionsState& o = state();
    readKeys(o, in);
    std::memcpy(o.was, in.keys, sizeof o.was);
    if (!o.open) return;

    const float right = float(width);
    drawBox(hdc, vec2(0, 0), vec2(std::min(right, 830.0f), float(height)), panelFill, panelFill);
    o.cells.clear();
    painter p{hdc, o, right};
    p.text(20, 16, titleColour, "Options", 2.5f);
    float x = 20;
    for (int i = 0; i < pageCount; ++i) {
        const float w = 16 + 8 * float(std::strlen(pageTitles[i]));
        p.choice(x, 56, w, 0, i, o.row == 0 && o.page == i,
                 o.page == i ? highlightColour : textColour, pageTitles[i]);
        x += w + 6;
    }
    drawPage(p, 96, width, height);
    const float foot = float(height) - 50;
    p.text(20, foot, textColour,
           o.capturing ? "Press the key to bind, Esc to cancel"
                       : "Arrows: choose, Enter: change, Delete: unbind, Esc or F1: close");
    if (!settingsUnkept().empty())
        p.text(20, foot + 22, conflictColour, "Not kept after this run: " + settingsUnkept());
}
