// goProgram: one frame of the game. It owns the whole game state for the run
// (the mission's ships, the frags, camera, zoom, the player's ship and side,
// the message and file names) and runs exactly one screen of its mode
// machine each frame.
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/edit_session.h"
#include "mission/mission_file.h"
#include "app/play.h"
#include "app/player_settings.h"
#include "app/session.h"
#include "draw/draw.h"
#include "editor/editor.h"
#include "platform/system.h"
#include "render/render.h"
#include "replay/digest.h"

namespace {


float startZoom() { return defaultZoom(workRes(true, 1, 0)); }

void drawLiveShips(HDC hdc, const ship* a, vec2 cam, float zom) {
    for (int i = 0; i < shipCount; ++i)
        if (a[i].alive) drawShip(hdc, a[i], screenOf(a[i].pos, cam, zom), zom);
}

// Text at the screens' usual margins: left 10, the window width, size 2.
vec2 say(HDC hdc, vec2 cursor, const char* text, float size = 2) {
    return drawText(hdc, cursor, 10, float(workRes(true, 1, 0)), size, text);
}

void showMessages(const char* caption, const std::vector<std::string>& messages) {
    for (const std::string& m : messages) sessionSay(caption, m);
}

// A load that could not open the file or found the wrong code changed nothing.
bool loadWentThrough(const std::vector<std::string>& messages) {
    return messages.empty() || messages.front().rfind("Failed to load file!", 0) != 0;
}

const char* const helpLines[] = {
    "\n\nHelp message:\n\n",
    "Help on ship piloting:\n",
    "Arrowkeys\tMoves the ship\n",
    "Shift\t\tFire weapons\n",
    "Numpad 0\t\tTarget nearest enemy\n",
    "TAB\t\tShows the radar screen\n",
    "R\t\tRepair ship\n",
    "A\t\tAutopilot\n",
    "C\t\tControl mode\n",
    "X\t\tSpectator mode\n",
    "Esc\t\tMain menu\n",
    "\nStart a new game by selecting Play in the main\n",
    "menu when program starts, or by loading a mission\n",
    "such as AAAA, which is the standard first mission.\n",
    "\nIn spectator mode you can zoom in and out using\n",
    "the + and - buttons. Backspace resets the view.\n",
    "\nFor more information about mission editing,\n",
    "saving and loading, see the text file supplied\n",
    "with this program.\n",
};

// Shows the driver's state to the state digests.
void watchDriver(const ship* a, const frag* b, const vec2& cam, const float& zom, const int& you,
                 const int& sid, const bool& aliv, const bool& autr, const bool& autp,
                 const bool& entdw, const float& oSpd, const int& mode, const char* filnam,
                 const char* sucfil, const char* faifil, const char* note) {
    watchShips(a);
    watchFrags(b);
    watchBytes(partCamera, &cam, sizeof cam);
    watchBytes(partZoom, &zom, sizeof zom);
    watchBytes(partPlayerShip, &you, sizeof you);
    watchBytes(partPlayerSide, &sid, sizeof sid);
    watchBytes(partPilot, &aliv, sizeof aliv);
    watchBytes(partRepair, &autr, sizeof autr);
    watchBytes(partAutopilot, &autp, sizeof autp);
    watchBytes(partEnterLatch, &entdw, sizeof entdw);
    watchBytes(partFrameTime, &oSpd, sizeof oSpd);
    watchBytes(partMode, &mode, sizeof mode);
    watchBytes(partFileName, filnam, fileNameSize);
    watchBytes(partSuccessFile, sucfil, fileNameSize);
    watchBytes(partFailureFile, faifil, fileNameSize);
    watchBytes(partMessage, note, noteSize);
}

const int* modeSeen = nullptr; // goProgram's mode, once it has run

} // namespace

int driverMode() { return modeSeen ? *modeSeen : modeLoadSuccess; }

void goProgram(HDC hdc, HINSTANCE, float frameTime) {
    static ship a[shipCount];
    static frag b[fragCount];
    static vec2 cam;
    static float zom = startZoom();
    static int you = 0;
    static int sid = 0;
    static bool aliv = false;
    static bool autr = false;
    static bool autp = false;
    static bool entdw = false;
    static float oSpd = frameTime;
    static int mode = modeLoadSuccess;
    static char filnam[fileNameSize] = "kvxmap.0000.kvx";
    static char sucfil[fileNameSize] = "kvxmap.0000.kvx";
    static char faifil[fileNameSize] = "kvxmap.0000.kvx";
    static char note[noteSize] = "Welcome to Korvane!\n\nI hope you'll enjoy your play!";
    static bool init = true;
    static const bool watched = (watchDriver(a, b, cam, zom, you, sid, aliv, autr, autp, entdw,
                                             oSpd, mode, filnam, sucfil, faifil, note),
                                 keepBytes(&init, sizeof init), true);
    (void)watched;
    modeSeen = &mode;

    // The frame time is smoothed over the last frames.
    float t = (oSpd * 5 + frameTime) / 6;
    oSpd = t;
    vec2 cursor;

    // The first frame loads the standard first mission as if a mission had
    // just been won; without it, play starts with a lone Base.
    if (init) {
        a[0] = ship(vec2(0, 0), typeBase, sideRed, true);
        const std::string first = startMission();
        std::memcpy(sucfil, first.c_str(), fileNameSize);
        mode = modeLoadSuccess;
        you = 0;
        sid = 0;
        init = false;
    }

    doStarField(hdc, cam * zom);
    key(0);
    if (key(VK_ESCAPE)) mode = modeMenu;

    MissionRefs mission{a, you, sid, sucfil, faifil, note};
    const driverRefs d{a,   b,    cam,   zom,    you,    sid,    aliv, autr,
                       autp, entdw, mode, filnam, sucfil, faifil, note};

    switch (mode) {
    case modeMenu: {
        drawLiveShips(hdc, a, cam, zom);
        switch (mainMenu(hdc, false)) {
        case 1: mode = modeStart, entdw = true; break;
        case 2: mode = modeLoad, entdw = true; break;
        case 3:
            mode = modeSave, entdw = true;
            std::memset(filnam + 7, '0', 4);
            break;
        case 4:
            flightEnd(d); // a test flight ends with the editor as it was
            mode = modeEditor;
            break;
        case 5: mode = modeHelp; break;
        case 6: sysQuit(); break;
        default: break;
        }
        break;
    }

    case modeStart: {
        cursor = vec2(10, 10);
        zom = startZoom();
        aliv = false;
        // The search for a ship of the player's side takes one step per frame.
        bool valid = a[you].alive && a[you].side == sid;
        if (valid) cam = a[you].pos * -1;
        else you = (you + 1) % shipCount;
        drawLiveShips(hdc, a, cam, zom);
        setLine(hdc, 0, 1, textColour);
        if (!valid) cursor = drawText(hdc, cursor, 10, 640, 2, "Player ship not set...\n\n");
        cursor = drawText(hdc, cursor, 10, 640, 2, note);
        cursor = drawText(hdc, cursor, 10, 640, 2, "\n\nPress Enter to start as spectator...");
        cursor = drawText(hdc, cursor, 10, 640, 2, "\nPress C to start as pilot...");
        endLine(hdc);
        if (key(VK_RETURN)) {
            if (!entdw && valid) mode = modePlay, aliv = false;
            entdw = true;
        } else if (key('C')) {
            if (!entdw && valid) mode = modePlay, aliv = true;
            entdw = true;
        } else {
            entdw = false;
        }
        break;
    }

    case modeLoad:
    case modeLoadSuccess:
    case modeLoadFail: {
        setLine(hdc, 0, 1, textColour);
        cursor = say(hdc, vec2(5, 5), "Load file\n\n");
        cursor = setfilename(hdc, filnam, cursor, false);
        cursor = say(hdc, cursor, "\n\nEnter to save\nEsc to cancel");
        endLine(hdc);
        bool automatic = mode == modeLoadSuccess || mode == modeLoadFail;
        if (key(VK_RETURN) || automatic) {
            if (!entdw || automatic) {
                for (frag& f : b) f = frag();
                if (mode == modeLoadSuccess) std::memcpy(filnam, sucfil, fileNameSize);
                if (mode == modeLoadFail) std::memcpy(filnam, faifil, fileNameSize);
                std::vector<unsigned char> bytes;
                const bool found = sessionReadMission(filnam, bytes);
                std::vector<std::string> messages = loadMissionRead(found, bytes, mission);
                showMessages(filnam, messages);
                if (loadWentThrough(messages)) {
                    editmessage(hdc, cursor, note, noteSize, true);
                    if (found) missionLoaded(filnam), missionFileUsed(d, filnam, false);
                }
                mainMenu(hdc, true);
                mode = modeStart;
            }
            entdw = true;
        } else {
            entdw = false;
        }
        break;
    }

    case modeSave: {
        setLine(hdc, 0, 1, textColour);
        cursor = say(hdc, vec2(5, 5), "Save file\n\n");
        cursor = setfilename(hdc, filnam, cursor, false);
        cursor = say(hdc, cursor, "\n\nEnter to save\nEsc to cancel");
        endLine(hdc);
        if (key(VK_RETURN)) {
            if (!entdw) {
                const std::vector<std::string> messages = saveMission(filnam, mission);
                showMessages(filnam, messages);
                if (messages.empty()) missionFileUsed(d, filnam, true);
                mode = modeMenu;
            }
            entdw = true;
        } else {
            entdw = false;
        }
        break;
    }

    case modeHelp: {
        setLine(hdc, 0, 1, 0xffffff);
        cursor = say(hdc, vec2(10, 10), "Korvane 1.05", 2.5f);
        setLine(hdc, 0, 1, textColour);
        for (const char* line : helpLines) cursor = say(hdc, cursor, line);
        endLine(hdc);
        break;
    }

    case modeEditor: {
        int r = editorScreen(hdc, d, t);
        if (mode == modePlay) {
            // F5 started a test flight: its first frame is this one.
            PlayState play{a, b, cam, zom, you, sid, aliv, autr, autp, mode};
            playFrame(hdc, play, t);
        } else if (r == 1) {
            mode = modeMessage;
            editmessage(hdc, vec2(10, 10), note, noteSize, true);
        } else if (r == 2) {
            mode = modeSuccessName;
            setfilename(hdc, sucfil, vec2(10, 10), true);
        } else if (r == 3) {
            mode = modeFailName;
            setfilename(hdc, faifil, vec2(10, 10), true);
        }
        break;
    }

    case modeMessage: editmessage(hdc, vec2(10, 10), note, noteSize, false); break;

    case modeSuccessName:
    case modeFailName: {
        setLine(hdc, 0, 1, textColour);
        bool success = mode == modeSuccessName;
        cursor = say(hdc, vec2(5, 5), success ? "Success mission\n\n" : "Fail mission\n\n");
        cursor = setfilename(hdc, success ? sucfil : faifil, cursor, false);
        say(hdc, cursor, "\n\nEnter to continue");
        endLine(hdc);
        if (key(VK_RETURN)) mode = modeEditor;
        break;
    }

    case modeWon:
    case modeLost: {
        setLine(hdc, 0, 1, textColour);
        say(hdc, vec2(10, 10),
            mode == modeWon ? "Mission successfully completed.\nPress Enter to continue..."
                            : "Mission failed!\nPress Enter to continue...");
        endLine(hdc);
        if (key(VK_RETURN)) {
            // After a test flight the editor comes back in place of the next mission.
            if (!entdw) flightOn() ? flightEnd(d) : void(mode -= 2);
            entdw = true;
        } else {
            entdw = false;
        }
        break;
    }

    default: {
        if (!flightKeys(d)) break; // F5 ended a test flight
        PlayState play{a, b, cam, zom, you, sid, aliv, autr, autp, mode};
        playFrame(hdc, play, t);
        flightFoot(hdc, t);
        break;
    }
    }
    editedFrame(d);
}
