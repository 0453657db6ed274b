// The program's start-up, frame loop and shut-down.
#include <cstdlib>

#include "app/app.h"
#include "app/session.h"
#include "app/sound_out.h"
#include "platform/system.h"

void toFullScreen() {
    if (!sysFullScreen(workRes(true, 1, 0), workRes(true, 0, 0))) sysQuit();
}

int gameMain(HINSTANCE instance) {
    // A recording to play back decides the size and the seed.
    if (!sessionOpen()) return 1;
    int width = 0, height = 0;
    if (!sysDesktopSize(&width, &height)) return 1;
    sessionSize(width, height);
    workRes(false, width, height);
    toFullScreen();
    sysHideCursor();
    if (!sysOpenWindow("Korvane 1.05", workRes(true, 1, 0), workRes(true, 0, 0))) {
        sysRestoreDisplay();
        return 1;
    }
    retFrameSpd(); // the first frame measures from here

    // The frame is drawn into a memory bitmap of the client size and copied to
    // the window whole, so the screen only ever shows complete frames. The
    // black brush stays selected: fills without a brush of their own are black.
    RECT client{0, 0, width, height};
    HDC window = sysWindowDC();
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, width, height);
    HBRUSH black = CreateSolidBrush(0);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldBrush = SelectObject(memory, black);

    const unsigned seed = sessionSeed(sysSeed());
    std::srand(seed);
    sessionStart(seed, width, height);
    soundOpen();

    for (;;) {
        SysMessage message = sysPump();
        if (message == SysMessage::quit) break;
        if (message == SysMessage::handled) continue;
        FillRect(memory, &client, black);
        float t = retFrameSpd();
        if (!sessionFrame(t)) break; // the recording played has ended
        goProgram(memory, instance, t);
        soundKeys(memory, t);
        BitBlt(window, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        sysShow();
        sessionFrameDone();
        soundFeed(t);
    }
    sessionClose();

    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    SelectObject(memory, oldBrush);
    DeleteObject(black);
    DeleteDC(memory);
    sysCloseWindow();
    return 0;
}
