// The program's start-up, frame loop and shut-down. gameMain runs them in
// order; a platform whose frames are driven from outside (a web page's
// animation frames) calls the three parts itself.
#include <cstdlib>

#include "app/app.h"
#include "app/bindings.h"
#include "app/display.h"
#include "app/dropped_file.h"
#include "app/notices.h"
#include "app/options.h"
#include "app/player_settings.h"
#include "app/screenshot.h"
#include "app/session.h"
#include "app/sound_out.h"
#include "app/viewer.h"
#include "sound/sound.h"
#include "platform/random_state.h"
#include "platform/system.h"
#include "render/render.h"

namespace {

// What the frame loop holds from start-up to shut-down.
struct loopState {
    HINSTANCE instance = nullptr;
    RECT client{0, 0, 0, 0};
    HDC window = nullptr;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HBRUSH black = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    HGDIOBJ oldBrush = nullptr;
    bool was[256] = {};  // the keys as they were, for the added keys' presses
    bool held[256] = {}; // keys held as the options closed: the game sees them once let go
};

loopState& loop() {
    static loopState state;
    return state;
}

// The memory bitmap the game draws into, made anew at a frame size.
void makeFrame(loopState& l, int width, int height) {
    if (l.bitmap) {
        SelectObject(l.memory, l.oldBitmap);
        DeleteObject(l.bitmap);
    }
    l.client = RECT{0, 0, width, height};
    l.bitmap = CreateCompatibleBitmap(l.window, width, height);
    l.oldBitmap = SelectObject(l.memory, l.bitmap);
}

// The keys the game does not read: the options (F1), the display (F11 and
// Alt+Enter) and screenshots (F12, taken after the frame is drawn).
bool addedKeys(loopState& l, const inputState& in) {
    auto pressed = [&](int vk) { return in.keys[vk] && !l.was[vk]; };
    const bool display = pressed(VK_F11) || (in.keys[VK_MENU] && pressed(VK_RETURN));
    const bool shot = pressed(VK_F12);
    if (pressed(VK_F1) && !optionsOpen()) optionsShow();
    for (int vk = 0; vk < 256; ++vk) l.was[vk] = in.keys[vk];
    if (display) displayToggle();
    return shot;
}

// What the player set that changes the picture, as input: the frame's size
// for the window as it stands (the window's divided by the scale) and the
// side colours. Recorded like a key; a recording played gives its own.
void liveDisplay(inputState& in) {
    int ww = 0, wh = 0;
    sysWindowSize(&ww, &wh);
    if (ww > 0 && wh > 0) {
        frameSizeFor(playerSettings().scale, ww, wh, in.width, in.height);
    } else {
        in.width = workRes(true, 1, 0);
        in.height = workRes(true, 0, 0);
    }
    in.palette = playerSettings().palette;
}

// Draws from now on at the input's frame size, when it changed.
void followFrameSize(loopState& l, const inputState& in) {
    if (in.width <= 0 || in.height <= 0) return;
    if (in.width == workRes(true, 1, 0) && in.height == workRes(true, 0, 0)) return;
    workRes(false, in.width, in.height);
    sysFrameSize(in.width, in.height);
    l.window = sysWindowDC();
    makeFrame(l, in.width, in.height);
}

// One frame of the game into the memory bitmap, from the input given (a
// recording played puts its own in its place). A frame not to be seen (one a
// viewer's seek runs through) is drawn over the last without clearing it,
// which is half the cost of a frame, and its picture is not checked. False
// when the recording played has ended. `t` becomes the frame time the game
// was given (a recording's own, when one is played).
bool runGameFrame(loopState& l, inputState in, float& t, bool heard, bool seen = true) {
    if (!sessionFrame(t, in)) return false;
    followFrameSize(l, in);
    setSidePalette(in.palette);
    playInput(&in);
    sessionFrameSeen(seen);
    if (seen) FillRect(l.memory, &l.client, l.black);
    goProgram(l.memory, l.instance, t);
    soundKeys(l.memory, t);
    playInput(nullptr);
    if (heard) soundFeed(t);
    sessionFrameDone(seen ? l.memory : nullptr);
    return true;
}

// A recording watched in the viewer: its frames run as the viewer asks,
// unheard but at the normal speed (events then place no sound).
bool watchFrame(loopState& l, const inputState& live, bool shot) {
    const float t = retFrameSpd();
    const viewerHooks hooks{
        [&](bool heard, bool seen) {
            const bool on = soundOn();
            if (!heard && on) soundSetOn(false);
            float recorded = 0;
            const bool more = runGameFrame(l, inputState{}, recorded, heard, seen);
            if (!heard && on) soundSetOn(true);
            return more;
        },
        [&](const inputState& in) { followFrameSize(l, in); },
    };
    if (!viewerFrame(hooks, l.memory, l.window, l.client.right, l.client.bottom, live, t))
        return false;
    if (shot) takeScreenshot(l.memory);
    drawNotices(l.window, l.client.right, l.client.bottom, t);
    sysShow();
    if (!sessionWatching()) { // C took the game over: its keys held reach it once let go
        for (int vk = 0; vk < 256; ++vk) l.held[vk] = live.keys[vk] && vk != 'C';
    }
    return true;
}

} // namespace

void toFullScreen() {
    if (!sysFullScreen(workRes(true, 1, 0), workRes(true, 0, 0))) sysQuit();
}

bool gameStart(HINSTANCE instance) {
    // A recording to play back decides the size and the seed.
    if (!sessionOpen()) return false;
    settingsLoad();
    int width = 0, height = 0;
    if (!sysDesktopSize(&width, &height)) return false;
    sessionSize(width, height);
    // The window covers the desktop; the frame is the window's size at the
    // player's scale (a recording played gives its own frame, and its window).
    const int windowWidth = width, windowHeight = height;
    if (!sessionPlaying()) frameSizeFor(playerSettings().scale, width, height, width, height);
    workRes(false, windowWidth, windowHeight);
    toFullScreen();
    sysHideCursor();
    if (!sysOpenWindow("Korvane 1.05", windowWidth, windowHeight)) {
        sysRestoreDisplay();
        return false;
    }
    workRes(false, width, height);
    if (width != windowWidth || height != windowHeight) sysFrameSize(width, height);
    retFrameSpd(); // the first frame measures from here

    // The frame is drawn into a memory bitmap of the client size and copied to
    // the window whole, so the screen only ever shows complete frames. The
    // black brush stays selected: fills without a brush of their own are black.
    loopState& l = loop();
    l.instance = instance;
    l.window = sysWindowDC();
    l.memory = CreateCompatibleDC(l.window);
    makeFrame(l, width, height);
    l.black = CreateSolidBrush(0);
    l.oldBrush = SelectObject(l.memory, l.black);

    const unsigned seed = sessionSeed(sysSeed());
    randomSeed(seed); // srand, in a state a viewer can keep and put back
    sessionStart(seed, width, height);
    soundOpen();
    displayApply(playerSettings());
    return true;
}

bool gameFrame() {
    for (;;) {
        const SysMessage message = sysPump();
        if (message == SysMessage::quit) return false;
        if (message == SysMessage::none) break;
    }
    loopState& l = loop();
    takeDroppedFiles();
    inputState in = liveInput();
    const bool shot = addedKeys(l, in);
    if (optionsOpen()) {
        // The game is frozen beneath: its last frame is shown under the
        // options, and the frame timer is kept fresh so that it goes on
        // with an ordinary frame once they close.
        BitBlt(l.window, 0, 0, l.client.right, l.client.bottom, l.memory, 0, 0, SRCCOPY);
        const float t = retFrameSpd();
        optionsFrame(l.window, l.client.right, l.client.bottom, in);
        if (!optionsOpen())
            for (int vk = 0; vk < 256; ++vk) l.held[vk] = in.keys[vk];
        drawNotices(l.window, l.client.right, l.client.bottom, t);
        sysShow();
        return true;
    }
    // The Escape that closed the options is theirs, not the game's: keys
    // held as they closed reach the game only once let go.
    for (int vk = 0; vk < 256; ++vk) {
        l.held[vk] = l.held[vk] && in.keys[vk];
        if (l.held[vk]) in.keys[vk] = false;
    }
    in.keys[VK_F1] = false; // the options' key, never the game's
    if (sessionWatching()) return watchFrame(l, in, shot);
    bindKeys(playerSettings(), driverMode(), in.keys);
    liveDisplay(in);
    float t = retFrameSpd();
    if (!runGameFrame(l, in, t, false)) return false; // the recording played has ended
    if (shot) takeScreenshot(l.memory);
    BitBlt(l.window, 0, 0, l.client.right, l.client.bottom, l.memory, 0, 0, SRCCOPY);
    drawNotices(l.window, l.client.right, l.client.bottom, t);
    sysShow();
    soundFeed(t);
    return true;
}

void gameStop() {
    sessionClose();
    loopState& l = loop();
    SelectObject(l.memory, l.oldBitmap);
    DeleteObject(l.bitmap);
    SelectObject(l.memory, l.oldBrush);
    DeleteObject(l.black);
    DeleteDC(l.memory);
    l = loopState{};
    sysCloseWindow();
}

int gameMain(HINSTANCE instance) {
    if (!gameStart(instance)) return 1;
    while (gameFrame()) {
    }
    gameStop();
    restartAsDropped(); // a dropped recording or mission: the game anew with it
    return sessionEndedEarly() ? 3 : 0;
}
