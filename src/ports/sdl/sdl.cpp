// The SDL2 window system: the functions of system.h for the real game. One
// full-screen window at the desktop size, the frame copied to the window's own
// surface, keys and mouse buttons kept as a held-down table by virtual-key code.
#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clocks.h"
#include "platform/pacer.h"
#include "ports/sdl/sdl_keys.h"
#include "ports/sdl/sdl_pad.h"
#include "gdi/surface.h"
#include "platform/system.h"
#include "platform/window_size.h"
#include "mission/safe_write.h"
#include "settings/settings.h"

namespace {

// How a frame reaches the screen. The game draws into its memory bitmap and
// BitBlts it whole into `windowDC`, a software bitmap of the frame's size that
// stands for the window's own context. sysShow copies those pixels (top-down
// 0x00RRGGBB rows, the layout of SDL's XRGB8888) into the window's surface and
// updates the window from it: the frame is drawn in software already, so no
// renderer stands between (on a machine without a graphics card, a GL
// renderer would cost a core of its own). Nothing waits for the display: the
// pump paces the frames (platform/pacer.h) and the game measures their time.
// A window of another size than the frame shows it scaled to fit, centred.
SDL_Window* window = nullptr;
HDC windowDC = nullptr;
SDL_Rect shown{0, 0, 0, 0}; // where the frame last went in the window

bool videoUp = false;      // SDL_Init(SDL_INIT_VIDEO) succeeded and SDL_Quit was not called since
bool cursorHidden = false; // sysHideCursor was called; applied again once the window exists
bool fullScreen = false; // the display was "switched"; with a desktop-sized window nothing changes
bool windowed = false;   // KORVANE_WINDOW asked for a window of its own size
bool quitPosted = false; // sysQuit or a closed window: the pump reports quit from now on
std::vector<std::string> dropped; // files dropped on the window, not yet taken
framePacer pacer;        // set from KORVANE_FPS when the window opens

// Sound goes to SDL's queue, topped up once a frame to about 50 ms ahead: the
// game thread mixes, SDL's audio thread only plays what is queued, and the
// queue never makes the game wait. SDL_AUDIODRIVER chooses the driver (dummy
// and disk work without a sound card).
SDL_AudioDeviceID audio = 0;
int audioRate = 0;
constexpr double audioAhead = 0.05;

// Held-down state by Win32 virtual-key code, like GetKeyState's 0x80 bit:
// the keyboard's and mouse's, and the gamepads' (taken as a frame starts).
bool keys[256] = {};
bool padKeysHeld[256] = {};

int mouseKey(Uint8 button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return VK_LBUTTON;
    case SDL_BUTTON_RIGHT:
        return VK_RBUTTON;
    case SDL_BUTTON_MIDDLE:
        return 0x04;
    case SDL_BUTTON_X1:
        return 0x05;
    case SDL_BUTTON_X2:
        return 0x06;
    default:
        return 0;
    }
}

void setKey(int vk, bool down) {
    if (vk <= 0 || vk > 255) return;
    keys[vk] = down;
    // The side-neutral codes read as held while either side is held.
    keys[VK_SHIFT] = keys[VK_LSHIFT] || keys[VK_RSHIFT];
    keys[VK_CONTROL] = keys[VK_LCONTROL] || keys[VK_RCONTROL];
    keys[VK_MENU] = keys[VK_LMENU] || keys[VK_RMENU];
}

void releaseAllKeys() {
    for (bool& k : keys) k = false;
    for (bool& k : padKeysHeld) k = false;
}

// The window went away (closed by the user or the system): put the display
// back and post the quit message, which the pump reports at its next turn.
void windowClosed() {
    sysRestoreDisplay();
    sysQuit();
}

void destroyWindow() {
    if (window) SDL_DestroyWindow(window);
    if (windowDC) deleteSurfaceDC(windowDC);
    window = nullptr;
    windowDC = nullptr;
}

// Where the frame goes in the window: enlarged by the largest whole factor
// that fits, centred; shrunk to the largest rectangle of its shape that fits
// when the window is smaller than the frame.
SDL_Rect fitted(int frameW, int frameH, int windowW, int windowH) {
    const int k = std::min(windowW / frameW, windowH / frameH);
    if (k >= 1) return SDL_Rect{(windowW - frameW * k) / 2, (windowH - frameH * k) / 2, frameW * k, frameH * k};
    if (frameW * windowH <= windowW * frameH) {
        const int w = frameW * windowH / frameH;
        return SDL_Rect{(windowW - w) / 2, 0, w, windowH};
    }
    const int h = frameH * windowW / frameW;
    return SDL_Rect{0, (windowH - h) / 2, windowW, h};
}

void shutDownVideo() {
    padCloseAll();
    if (videoUp) SDL_Quit();
    videoUp = false;
}

} // namespace

bool sysDesktopSize(int* width, int* height) {
    if (!videoUp) {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "korvane: cannot open the display: %s\n", SDL_GetError());
            return false;
        }
        videoUp = true;
        // Gamepads are welcome but not needed: without them the game plays on.
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        // With no display at all SDL falls back to a driver that draws nowhere;
        // the game would run unseen with no way to stop it. Use one only when asked.
        const char* driver = SDL_GetCurrentVideoDriver();
        const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
        bool invisible =
            driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
        if (invisible && !(asked && SDL_strcasestr(asked, driver))) {
            std::fprintf(stderr, "korvane: cannot open the display: no display was found\n");
            shutDownVideo();
            return false;
        }
    }
    std::string problem;
    windowed = windowSizeFor(std::getenv("KORVANE_WINDOW"), *width, *height, problem);
    if (!problem.empty()) std::fprintf(stderr, "korvane: %s\n", problem.c_str());
    if (windowed) return true;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w < 1 || mode.h < 1) {
        std::fprintf(stderr, "korvane: cannot read the desktop size: %s\n", SDL_GetError());
        shutDownVideo();
        return false;
    }
    *width = mode.w;
    *height = mode.h;
    return true;
}

bool sysFullScreen(int, int) {
    // The window covers the desktop at its own mode, so there is no mode to change.
    fullScreen = true;
    return true;
}

void sysRestoreDisplay() { fullScreen = false; }

bool sysOpenWindow(const char* title, int width, int height) {
    if (!videoUp) {
        std::fprintf(stderr, "korvane: cannot open a window: the display is not open\n");
        return false;
    }
    destroyWindow();
    // The window system's own framebuffer (on X, shared memory), not one made
    // of a GL texture. SDL_FRAMEBUFFER_ACCELERATION in the environment overrides.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    window = windowed ? SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                         width, height, SDL_WINDOW_RESIZABLE)
                      : SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                         width, height,
                                         SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
    if (window && SDL_GetWindowSurface(window)) windowDC = createSurfaceDC(width, height);
    if (!windowDC) {
        std::fprintf(stderr, "korvane: cannot open a %dx%d window: %s\n", width, height,
                     SDL_GetError());
        destroyWindow();
        shutDownVideo();
        return false;
    }
    if (cursorHidden) SDL_ShowCursor(SDL_DISABLE);
    releaseAllKeys();
    std::string problem;
    pacer = pacerFor(std::getenv("KORVANE_FPS"), problem);
    if (!problem.empty()) std::fprintf(stderr, "korvane: %s\n", problem.c_str());
    return true;
}

void sysHideCursor() {
    cursorHidden = true;
    if (videoUp) SDL_ShowCursor(SDL_DISABLE);
}

HDC sysWindowDC() { return windowDC; }

void sysShow() {
    if (!windowDC || !window) return;
    const Surface frame = dcSurface(windowDC);
    SDL_Surface* out = SDL_GetWindowSurface(window);
    if (!frame.pixels || !out) return;
    if (out->w == frame.width && out->h == frame.height &&
        out->format->format == SDL_PIXELFORMAT_XRGB8888 && SDL_LockSurface(out) == 0) {
        // The usual case: the window is the frame's size and layout, row for row.
        for (int y = 0; y < frame.height; ++y) {
            SDL_memcpy(static_cast<Uint8*>(out->pixels) + std::size_t(y) * out->pitch,
                       frame.pixels + std::size_t(y) * frame.width, std::size_t(frame.width) * 4);
        }
        SDL_UnlockSurface(out);
        shown = SDL_Rect{0, 0, frame.width, frame.height};
    } else {
        SDL_Surface* in = SDL_CreateRGBSurfaceWithFormatFrom(
            frame.pixels, frame.width, frame.height, 32, frame.width * 4, SDL_PIXELFORMAT_XRGB8888);
        if (!in) return;
        shown = fitted(frame.width, frame.height, out->w, out->h);
        SDL_FillRect(out, nullptr, SDL_MapRGB(out->format, 0, 0, 0));
        SDL_BlitScaled(in, nullptr, out, &shown);
        SDL_FreeSurface(in);
    }
    SDL_UpdateWindowSurface(window);
}

void sysCloseWindow() {
    if (audio) SDL_CloseAudioDevice(audio);
    audio = 0;
    destroyWindow();
    releaseAllKeys();
    shutDownVideo(); // also gives the pointer back and leaves the display as it was found
}

unsigned sysSeed() { return bootMillis(); }

SysMessage sysPump() {
    if (quitPosted) return SysMessage::quit;
    SDL_Event event;
    if (!videoUp || !SDL_PollEvent(&event)) {
        // Nothing waiting: the frame starts when it is due. After a wait the
        // pump looks again, so keys pressed meanwhile reach this frame.
        if (pacerWait(pacer, sysSeconds()) > 0) {
            waitUntil(pacer.due, sysSeconds);
            return SysMessage::handled;
        }
        pacerStart(pacer, sysSeconds());
        for (bool& k : padKeysHeld) k = false;
        padHeld(padKeysHeld);
        return SysMessage::none;
    }
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        padAdded(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        padRemoved(event.cdevice.which);
        break;
    case SDL_QUIT:
        windowClosed();
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) windowClosed();
        // SDL sends key-ups for held keys when the focus goes; buttons are let go here.
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) releaseAllKeys();
        break;
    case SDL_DROPFILE:
        if (event.drop.file) {
            dropped.emplace_back(event.drop.file);
            SDL_free(event.drop.file);
        }
        break;
    case SDL_KEYDOWN:
        if (!event.key.repeat) setKey(virtualKey(event.key.keysym), true);
        break;
    case SDL_KEYUP:
        setKey(virtualKey(event.key.keysym), false);
        break;
    case SDL_MOUSEBUTTONDOWN:
        setKey(mouseKey(event.button.button), true);
        break;
    case SDL_MOUSEBUTTONUP:
        setKey(mouseKey(event.button.button), false);
        break;
    default:
        break;
    }
    return SysMessage::handled;
}

void sysQuit() { quitPosted = true; }
void sysQuitCancel() { quitPosted = false; }

bool sysTakeDropped(std::string& path) {
    if (dropped.empty()) return false;
    path = dropped.front();
    dropped.erase(dropped.begin());
    return true;
}

// The process is replaced once the run has ended (gameMain's last step): the
// same program, the variable set, everything else as it was.
bool sysRestart(const std::vector<sysSetting>& environment, std::string& error) {
    for (const sysSetting& s : environment) {
        if (setenv(s.variable.c_str(), s.value.c_str(), 1) != 0) {
            error = "cannot set " + s.variable;
            return false;
        }
    }
    char* const argv[] = {const_cast<char*>("korvane"), nullptr};
    execv("/proc/self/exe", argv);
    error = std::string("cannot start the game anew: ") + std::strerror(errno);
    return false;
}

double sysSeconds() { return steadySeconds(); }

bool sysHasFocus() { return videoUp && SDL_GetKeyboardFocus() != nullptr; }

bool sysKeyDown(int vk) { return vk >= 0 && vk < 256 && (keys[vk] || padKeysHeld[vk]); }

POINT sysCursor() {
    if (!videoUp) return POINT{0, 0};
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    const Surface frame = windowDC ? dcSurface(windowDC) : Surface{};
    if (shown.w <= 0 || shown.h <= 0 || frame.width <= 0) return POINT{x, y};
    // Window pixels to the frame's, where the frame is shown scaled.
    return POINT{int(SDL_floor(double(x - shown.x) * frame.width / shown.w)),
                 int(SDL_floor(double(y - shown.y) * frame.height / shown.h))};
}

void sysMessageBox(const char* caption, const char* text) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption ? caption : "",
                                 text ? text : "", window) != 0) {
        // No way to show it (on X, SDL draws the box with the X core fonts):
        // say so, and leave the message where it can be read.
        std::fprintf(stderr, "korvane: could not show a message box (%s): %s: %s\n", SDL_GetError(),
                     caption ? caption : "", text ? text : "");
    }
}

bool sysAudioOpen(int rate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "korvane: no sound: %s\n", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    SDL_AudioSpec have{};
    // Whatever the device takes, SDL converts our 48 kHz 16-bit stereo to it.
    audio = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!audio) {
        std::fprintf(stderr, "korvane: no sound: %s\n", SDL_GetError());
        return false;
    }
    audioRate = rate;
    SDL_PauseAudioDevice(audio, 0);
    return true;
}

int sysAudioWanted(float) {
    if (!audio) return 0;
    const int queued = int(SDL_GetQueuedAudioSize(audio) / 4);
    return std::max(0, int(audioRate * audioAhead) - queued);
}

void sysAudioQueue(const std::int16_t* samples, int frames) {
    if (audio && frames > 0) SDL_QueueAudio(audio, samples, Uint32(frames) * 4);
}

void sysWindowSize(int* width, int* height) {
    *width = *height = 0;
    SDL_Surface* out = window ? SDL_GetWindowSurface(window) : nullptr;
    if (out) {
        *width = out->w;
        *height = out->h;
    } else if (windowDC) {
        const Surface frame = dcSurface(windowDC);
        *width = frame.width;
        *height = frame.height;
    }
}

bool sysSetDisplay(bool full, int width, int height) {
    if (!window) return false;
    // Full screen is a borderless window over the whole display, as the game
    // opens: window managers take it for full screen, and without one (SDL
    // only notes a full-screen state that nothing honours) it still is.
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0 &&
        SDL_SetWindowFullscreen(window, 0) != 0)
        return false;
    if (full) {
        SDL_Rect bounds{0, 0, 0, 0};
        if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &bounds) != 0)
            return false;
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowResizable(window, SDL_FALSE);
        SDL_SetWindowPosition(window, bounds.x, bounds.y);
        SDL_SetWindowSize(window, bounds.w, bounds.h);
        windowed = false;
        return true;
    }
    SDL_Rect usable{0, 0, width, height};
    SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &usable);
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowResizable(window, SDL_TRUE);
    SDL_SetWindowSize(window, std::clamp(width, 1, std::max(1, usable.w)),
                      std::clamp(height, 1, std::max(1, usable.h)));
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    windowed = true;
    return true;
}

bool sysIsFullScreen() { return window && !windowed; }

void sysFrameSize(int width, int height) {
    if (windowDC) deleteSurfaceDC(windowDC);
    windowDC = createSurfaceDC(width, height);
}

bool sysLoadSettings(std::string& text, std::string& where) { return loadSettingsFile(text, where); }

bool sysSaveSettings(const std::string& text, std::string& error) {
    return saveSettingsFile(text, error);
}

bool sysKeepFile(const char* folder, const char* name, const std::vector<unsigned char>& bytes,
                 std::string& where) {
    return keepNewFile(folder, name, bytes, where);
}

std::string sysKeyLabel(int vk) { return videoUp ? keyLabel(vk) : ""; }
