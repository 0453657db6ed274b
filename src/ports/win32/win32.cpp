// The Windows backend: the real window, message pump, key state, focus, cursor,
// clocks, frame pacing and message box of Win32. Drawing needs nothing here: on Windows
// the game's GDI calls are GDI itself. The game draws into a bitmap of the frame's
// size, which sysShow puts in the window enlarged by a whole factor, centred on black.
// The window is a borderless popup covering the desktop or a resizable window;
// the settings live in a file, kept files in the player's folder.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gdi/surface.h"
#include "platform/clocks.h"
#include "platform/pacer.h"
#include "platform/system.h"

#include <mmsystem.h> // after windows.h, which system.h brings
#include <xinput.h>

#include "mission/safe_write.h"
#include "platform/pad.h"
#include "platform/shown_frame.h"
#include "platform/window_size.h"
#include "ports/win32/win32.h"
#include "settings/settings.h"

namespace {

HINSTANCE instance = nullptr;
int showCommand = SW_SHOWDEFAULT;
HWND window = nullptr;
HDC windowDC = nullptr; // the window's own (CS_OWNDC)
HDC frameDC = nullptr;  // the frame, a DIB section the game copies its picture into
int frameWidth = 0, frameHeight = 0;
int clientWidth = 0, clientHeight = 0; // the window's inside as last seen, not minimised
const char className[] = "theClassName";
framePacer pacer;                      // set from KORVANE_FPS when the window opens
bool fullScreen = true;                // the popup covering the desktop, else a window
bool cursorHidden = false;             // over the window's inside
int windowWidth = 0, windowHeight = 0; // a window's inside asked for before it opened

constexpr DWORD popupStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD windowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int smallestInside = 160; // a window's inside may not be dragged smaller

// Sound through winmm's waveOut: a ring of buffers, topped up once a frame to
// about 60 ms ahead; a buffer the device has not finished is never touched,
// and when all are busy a frame's sound is dropped rather than waited for.
// Gamepads through XInput, polled as each frame starts; a slot with no pad is
// asked again only once a second (asking an empty slot is slow), so a pad
// plugged in is found within a second and one pulled out lets go at once.
bool padKeysHeld[256] = {};
bool padConnected[XUSER_MAX_COUNT] = {};
double padLookedFor = -1;

// -1..1; the game's own dead zone applies, the same on every platform.
float stick(SHORT v) { return v < 0 ? float(v) / 32768.0f : float(v) / 32767.0f; }

void readPads(double now) {
    for (bool& k : padKeysHeld) k = false;
    const bool lookAgain = now - padLookedFor >= 1.0;
    if (lookAgain) padLookedFor = now;
    for (DWORD i = 0; i < XUSER_MAX_COUNT; ++i) {
        if (!padConnected[i] && !lookAgain) continue;
        XINPUT_STATE state;
        ZeroMemory(&state, sizeof state);
        padConnected[i] = XInputGetState(i, &state) == ERROR_SUCCESS;
        if (!padConnected[i]) continue;
        const XINPUT_GAMEPAD& g = state.Gamepad;
        padState p;
        p.leftX = stick(g.sThumbLX);
        p.leftY = -stick(g.sThumbLY); // XInput's y is up
        p.rightTrigger = g.bRightTrigger / 255.0f;
        p.up = g.wButtons & XINPUT_GAMEPAD_DPAD_UP;
        p.down = g.wButtons & XINPUT_GAMEPAD_DPAD_DOWN;
        p.left = g.wButtons & XINPUT_GAMEPAD_DPAD_LEFT;
        p.right = g.wButtons & XINPUT_GAMEPAD_DPAD_RIGHT;
        p.a = g.wButtons & XINPUT_GAMEPAD_A;
        p.b = g.wButtons & XINPUT_GAMEPAD_B;
        p.x = g.wButtons & XINPUT_GAMEPAD_X;
        p.y = g.wButtons & XINPUT_GAMEPAD_Y;
        p.leftShoulder = g.wButtons & XINPUT_GAMEPAD_LEFT_SHOULDER;
        p.rightShoulder = g.wButtons & XINPUT_GAMEPAD_RIGHT_SHOULDER;
        p.back = g.wButtons & XINPUT_GAMEPAD_BACK;
        p.start = g.wButtons & XINPUT_GAMEPAD_START;
        padKeys(p, padKeysHeld);
    }
}

HWAVEOUT waveOut = nullptr;
constexpr int audioBuffers = 8;
constexpr int audioFramesMax = 4096;
WAVEHDR audioHeaders[audioBuffers];
std::int16_t audioStore[audioBuffers][audioFramesMax * 2];
int audioNext = 0;
int audioRate = 0;

bool audioBusy(const WAVEHDR& h) { return (h.dwFlags & WHDR_PREPARED) && !(h.dwFlags & WHDR_DONE); }

void closeAudio() {
    if (!waveOut) return;
    waveOutReset(waveOut);
    for (WAVEHDR& h : audioHeaders)
        if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(waveOut, &h, sizeof h);
    waveOutClose(waveOut);
    waveOut = nullptr;
}

// The window's inside as it stands; a minimised window keeps the size it had.
void readClient() {
    RECT r;
    if (!window || IsIconic(window) || !GetClientRect(window, &r)) return;
    if (r.right > 0 && r.bottom > 0) {
        clientWidth = r.right;
        clientHeight = r.bottom;
    }
}

shownRect shown() {
    readClient();
    return shownFrame(clientWidth, clientHeight, frameWidth, frameHeight);
}

// The frame into the window, where shown() puts it, and black around it.
void present() {
    if (!windowDC || !frameDC) return;
    const shownRect r = shown();
    if (r.width <= 0) return;
    const HBRUSH black = HBRUSH(GetStockObject(BLACK_BRUSH));
    const RECT around[] = {{0, 0, clientWidth, r.y},
                           {0, r.y + r.height, clientWidth, clientHeight},
                           {0, r.y, r.x, r.y + r.height},
                           {r.x + r.width, r.y, clientWidth, r.y + r.height}};
    for (const RECT& a : around)
        if (a.right > a.left && a.bottom > a.top) FillRect(windowDC, &a, black);
    if (r.width == frameWidth && r.height == frameHeight) {
        BitBlt(windowDC, r.x, r.y, r.width, r.height, frameDC, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(windowDC, COLORONCOLOR);
        StretchBlt(windowDC, r.x, r.y, r.width, r.height, frameDC, 0, 0, frameWidth, frameHeight,
                   SRCCOPY);
    }
    GdiFlush();
}

// Where a window whose inside is width x height goes: centred in the work
// area (the desktop less the task bar), and no larger than it.
RECT windowPlace(int width, int height, const RECT& work) {
    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, windowStyle, FALSE);
    const LONG workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    const LONG w = std::min(outer.right - outer.left, workWidth);
    const LONG h = std::min(outer.bottom - outer.top, workHeight);
    const LONG x = work.left + (workWidth - w) / 2, y = work.top + (workHeight - h) / 2;
    return RECT{x, y, x + w, y + h};
}

LRESULT CALLBACK WinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: { // the last frame again (while the window is dragged, no frame runs)
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        present();
        return 0;
    }
    case WM_ERASEBKGND: // present() paints every pixel
        return 1;
    case WM_SETCURSOR:
        if (cursorHidden && LOWORD(lParam) == HTCLIENT) {
            SetCursor(nullptr);
            return TRUE;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_GETMINMAXINFO: {
        RECT outer{0, 0, smallestInside, smallestInside};
        AdjustWindowRect(&outer, windowStyle, FALSE);
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = POINT{outer.right - outer.left, outer.bottom - outer.top};
        return 0;
    }
    case WM_CLOSE:
    case WM_DESTROY:
        ChangeDisplaySettingsA(nullptr, 0);
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN: // keys are polled, never taken from messages
        return 0;
    // Alt and F10 would open the window's menu and stop the game until the
    // next key; Alt with a letter would beep. Alt+F4 still closes the window.
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (wParam == VK_F4) return DefWindowProcA(hwnd, message, wParam, lParam);
        return 0;
    case WM_SYSCHAR:
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void win32Start(HINSTANCE inst, int show) {
    instance = inst;
    showCommand = show;
}

// At start-up KORVANE_WINDOW's size, when it asks for a window; the desktop's
// once the window is open (the options' window sizes).
bool sysDesktopSize(int* width, int* height) {
    if (!window) {
        std::string problem;
        const bool windowed =
            windowSizeFor(std::getenv("KORVANE_WINDOW"), *width, *height, problem);
        if (!problem.empty()) MessageBoxA(nullptr, problem.c_str(), "Korvane", MB_OK);
        if (windowed) {
            fullScreen = false;
            return true;
        }
    }
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    *width = desktop.right;
    *height = desktop.bottom;
    return true;
}

bool sysFullScreen(int width, int height) {
    if (!fullScreen) return true; // a window leaves the display as it is
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return true;
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void sysRestoreDisplay() { ChangeDisplaySettingsA(nullptr, 0); }

bool sysOpenWindow(const char* title, int width, int height) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC; // the window's context lasts as it does
    wc.lpfnWndProc = WinProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
    // The frame the game draws into, at its first size.
    frameDC = createSurfaceDC(width, height);
    if (!frameDC) {
        UnregisterClassA(className, instance);
        return false;
    }
    frameWidth = width;
    frameHeight = height;
    // In a window, the frame is its client area: the window is as much larger
    // as its frame and caption take. A window asked for before (sysSetDisplay)
    // takes its size and place once the window is there.
    const bool placeLater = !fullScreen && windowWidth > 0;
    const DWORD style = fullScreen ? popupStyle : windowStyle;
    RECT outer{0, 0, width, height};
    if (!fullScreen) AdjustWindowRect(&outer, style, FALSE);
    window = CreateWindowExA(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                             outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                             instance, nullptr);
    if (!window) {
        deleteSurfaceDC(frameDC);
        frameDC = nullptr;
        UnregisterClassA(className, instance);
        return false;
    }
    windowDC = GetDC(window);
    clientWidth = width;
    clientHeight = height;
    if (placeLater) sysSetDisplay(false, windowWidth, windowHeight);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    std::string problem;
    pacer = pacerFor(std::getenv("KORVANE_FPS"), problem);
    if (!problem.empty()) MessageBoxA(window, problem.c_str(), "Korvane", MB_OK);
    timeBeginPeriod(1); // the pacer's sleeps, to the millisecond
    return true;
}

// Hidden over the window's inside (WM_SETCURSOR): a window's edges still show
// it, to be dragged.
void sysHideCursor() {
    cursorHidden = true;
    SetCursor(nullptr);
}

HDC sysWindowDC() { return frameDC; }
void sysShow() { present(); }

void sysCloseWindow() {
    closeAudio();
    timeEndPeriod(1);
    ReleaseDC(window, windowDC);
    if (frameDC) deleteSurfaceDC(frameDC);
    frameDC = windowDC = nullptr;
    UnregisterClassA(className, instance);
}

void sysWindowSize(int* width, int* height) {
    readClient();
    *width = clientWidth;
    *height = clientHeight;
}

bool sysSetDisplay(bool full, int width, int height) {
    if (!full && (width <= 0 || height <= 0)) return false;
    if (!window) { // sysOpenWindow makes it so
        fullScreen = full;
        windowWidth = width;
        windowHeight = height;
        return true;
    }
    MONITORINFO monitor;
    ZeroMemory(&monitor, sizeof monitor);
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return false;
    const LONG_PTR before = GetWindowLongPtrA(window, GWL_STYLE);
    const RECT place = full ? monitor.rcMonitor : windowPlace(width, height, monitor.rcWork);
    SetWindowLongPtrA(window, GWL_STYLE,
                      LONG_PTR(full ? popupStyle : windowStyle) | (before & WS_VISIBLE));
    if (!SetWindowPos(window, HWND_TOP, place.left, place.top, place.right - place.left,
                      place.bottom - place.top, SWP_FRAMECHANGED | SWP_NOOWNERZORDER)) {
        SetWindowLongPtrA(window, GWL_STYLE, before);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        return false;
    }
    fullScreen = full;
    readClient();
    return true;
}

bool sysIsFullScreen() { return fullScreen; }

void sysFrameSize(int width, int height) {
    if (width == frameWidth && height == frameHeight) return;
    if (width <= 0 || height <= 0 || !frameDC || !win32SurfaceSize(frameDC, width, height)) {
        std::fprintf(stderr, "korvane: cannot make a %dx%d frame; the frame stays %dx%d\n", width,
                     height, frameWidth, frameHeight);
        return;
    }
    frameWidth = width;
    frameHeight = height;
}

// The file at settingsFilePath(): %APPDATA%\Korvane\settings.toml.
bool sysLoadSettings(std::string& text, std::string& where) {
    return loadSettingsFile(text, where);
}

bool sysSaveSettings(const std::string& text, std::string& error) {
    return saveSettingsFile(text, error);
}

// Into folder\name of the current folder (the player's), or the first of
// name-2, name-3... that is not there yet (mission/safe_write.h).
bool sysKeepFile(const char* folder, const char* name, const std::vector<unsigned char>& bytes,
                 std::string& where) {
    return keepNewFile(folder ? folder : ".", name ? name : "", bytes, where);
}

std::string sysKeyLabel(int vk) {
    // The layout's name of the key: by its scan code, extended for the keys
    // that have twins on the keypad (the arrows, Insert...) or on the left.
    if (vk <= 0x06 || vk > 0xFE || (vk >= padFirst && vk <= padLast)) return ""; // mouse, pads
    const UINT scan = MapVirtualKeyA(UINT(vk), MAPVK_VK_TO_VSC);
    if (scan == 0) return "";
    const bool extended = (vk >= 0x21 && vk <= 0x2E) || vk == VK_RCONTROL || vk == VK_RMENU ||
                          vk == 0x6F || vk == 0x5B || vk == 0x5C || vk == 0x90;
    char name[64] = {};
    const int n =
        GetKeyNameTextA(LONG((scan << 16) | (extended ? 1u << 24 : 0u)), name, sizeof name);
    return n > 0 ? std::string(name, std::size_t(n)) : std::string();
}

unsigned sysSeed() { return bootMillis(); }

SysMessage sysPump() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // Nothing waiting: the frame starts when it is due. After a wait the
        // pump looks again, so messages that came meanwhile are handled first.
        if (pacerWait(pacer, sysSeconds()) > 0) {
            waitUntil(pacer.due, sysSeconds);
            return SysMessage::handled;
        }
        pacerStart(pacer, sysSeconds());
        readPads(sysSeconds());
        return SysMessage::none;
    }
    if (msg.message == WM_QUIT) return SysMessage::quit;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return SysMessage::handled;
}

void sysQuit() { PostQuitMessage(0); }
// The Windows window takes no dropped files.
bool sysTakeDropped(std::string&) { return false; }
bool sysRestart(const std::vector<sysSetting>&, std::string& error) {
    error = "the Windows build cannot start itself anew";
    return false;
}

void sysQuitCancel() {
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
double sysSeconds() { return steadySeconds(); }
bool sysHasFocus() { return GetFocus() != nullptr; }
bool sysKeyDown(int vk) {
    return (GetKeyState(vk) & 0x80) != 0 || (vk >= 0 && vk < 256 && padKeysHeld[vk]);
}

// In the frame's pixels: the window's, mapped through where the frame is shown.
POINT sysCursor() {
    POINT p{0, 0};
    GetCursorPos(&p);
    if (window) ScreenToClient(window, &p);
    int x = p.x, y = p.y;
    framePoint(shown(), frameWidth, frameHeight, x, y);
    return POINT{x, y};
}

void sysMessageBox(const char* caption, const char* text) {
    MessageBoxA(window, text, caption, MB_OK);
}

bool sysAudioOpen(int rate) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = DWORD(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = DWORD(rate) * 4;
    if (waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        waveOut = nullptr;
        return false;
    }
    ZeroMemory(audioHeaders, sizeof audioHeaders);
    audioRate = rate;
    return true;
}

int sysAudioWanted(float) {
    if (!waveOut) return 0;
    int queued = 0;
    for (const WAVEHDR& h : audioHeaders)
        if (audioBusy(h)) queued += int(h.dwBufferLength / 4);
    const int wanted = int(audioRate * 0.06) - queued;
    return wanted < 0 ? 0 : wanted > audioFramesMax ? audioFramesMax : wanted;
}

void sysAudioQueue(const std::int16_t* samples, int frames) {
    if (!waveOut || frames <= 0 || frames > audioFramesMax) return;
    WAVEHDR& h = audioHeaders[audioNext];
    if (audioBusy(h)) return;
    if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(waveOut, &h, sizeof h);
    CopyMemory(audioStore[audioNext], samples, std::size_t(frames) * 4);
    ZeroMemory(&h, sizeof h);
    h.lpData = reinterpret_cast<LPSTR>(audioStore[audioNext]);
    h.dwBufferLength = DWORD(frames) * 4;
    if (waveOutPrepareHeader(waveOut, &h, sizeof h) != MMSYSERR_NOERROR) return;
    waveOutWrite(waveOut, &h, sizeof h);
    audioNext = (audioNext + 1) % audioBuffers;
}
