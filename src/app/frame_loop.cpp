// The program's start-up, frame loop and shut-down, and the per-frame services
// the rest of the game calls: window size, frame time, keys and mouse.
#include <cstdlib>

#include "app/app.h"
#include "platform/system.h"

bool global_gotfocus_tag = false;

int workRes(bool get, int value, int height) {
    static int windowWidth = 800;
    static int windowHeight = 600;
    if (!get) {
        windowWidth = value;
        windowHeight = height;
        return 0;
    }
    return value != 0 ? windowWidth : windowHeight;
}

float retFrameSpd() {
    // Seconds as floats, as the tick count was always read: the measured time
    // gets coarser the longer the machine has been up, which the driver smooths.
    float now = float(sysTicks() * 0.001);
    static float timeLast = now;
    static float timeNow = now;
    timeNow = now;
    float d = timeNow - timeLast;
    timeLast = timeNow;
    // Only the upper bound: a stall never advances the game more than 0.05 s.
    if (d > 0.05) return 0.05f;
    return d;
}

void toFullScreen() {
    if (!sysFullScreen(workRes(true, 1, 0), workRes(true, 0, 0))) sysQuit();
}

bool key(int virtualKey) {
    if (virtualKey == 0) global_gotfocus_tag = sysHasFocus();
    return global_gotfocus_tag && sysKeyDown(virtualKey);
}

vec2 mousePos() {
    POINT p = sysCursor();
    return vec2(p.x, p.y);
}

int gameMain(HINSTANCE instance) {
    int width = 0, height = 0;
    if (!sysDesktopSize(&width, &height)) return 1;
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

    std::srand(sysSeed());

    for (;;) {
        SysMessage message = sysPump();
        if (message == SysMessage::quit) break;
        if (message == SysMessage::handled) continue;
        FillRect(memory, &client, black);
        float t = retFrameSpd();
        goProgram(memory, instance, t);
        BitBlt(window, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        sysShow();
    }

    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    SelectObject(memory, oldBrush);
    DeleteObject(black);
    DeleteDC(memory);
    sysCloseWindow();
    return 0;
}
