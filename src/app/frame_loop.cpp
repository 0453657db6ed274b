// The program's start-up, frame loop and shut-down. gameMain runs them in
// order; a platform whose frames are driven from outside (a web page's
// animation frames) calls the three parts itself.
#include <cstdlib>

#include "app/app.h"
#include "app/session.h"
#include "app/sound_out.h"
#include "platform/system.h"

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
};

loopState& loop() {
    static loopState state;
    return state;
}

} // namespace

void toFullScreen() {
    if (!sysFullScreen(workRes(true, 1, 0), workRes(true, 0, 0))) sysQuit();
}

bool gameStart(HINSTANCE instance) {
    // A recording to play back decides the size and the seed.
    if (!sessionOpen()) return false;
    int width = 0, height = 0;
    if (!sysDesktopSize(&width, &height)) return false;
    sessionSize(width, height);
    workRes(false, width, height);
    toFullScreen();
    sysHideCursor();
    if (!sysOpenWindow("Korvane 1.05", workRes(true, 1, 0), workRes(true, 0, 0))) {
        sysRestoreDisplay();
        return false;
    }
    retFrameSpd(); // the first frame measures from here

    // The frame is drawn into a memory bitmap of the client size and copied to
    // the window whole, so the screen only ever shows complete frames. The
    // black brush stays selected: fills without a brush of their own are black.
    loopState& l = loop();
    l.instance = instance;
    l.client = RECT{0, 0, width, height};
    l.window = sysWindowDC();
    l.memory = CreateCompatibleDC(l.window);
    l.bitmap = CreateCompatibleBitmap(l.window, width, height);
    l.black = CreateSolidBrush(0);
    l.oldBitmap = SelectObject(l.memory, l.bitmap);
    l.oldBrush = SelectObject(l.memory, l.black);

    const unsigned seed = sessionSeed(sysSeed());
    std::srand(seed);
    sessionStart(seed, width, height);
    soundOpen();
    return true;
}

bool gameFrame() {
    for (;;) {
        const SysMessage message = sysPump();
        if (message == SysMessage::quit) return false;
        if (message == SysMessage::none) break;
    }
    loopState& l = loop();
    FillRect(l.memory, &l.client, l.black);
    float t = retFrameSpd();
    if (!sessionFrame(t)) return false; // the recording played has ended
    goProgram(l.memory, l.instance, t);
    soundKeys(l.memory, t);
    BitBlt(l.window, 0, 0, l.client.right, l.client.bottom, l.memory, 0, 0, SRCCOPY);
    sysShow();
    sessionFrameDone(l.memory);
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
    return 0;
}
