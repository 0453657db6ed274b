// The Windows backend: the real window, message pump, key state, focus, cursor,
// clocks, frame pacing and message box of Win32. Drawing needs nothing here: on Windows
// the game's GDI calls are GDI itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/clocks.h"
#include "platform/pacer.h"
#include "platform/system.h"

#include <mmsystem.h> // after windows.h, which system.h brings
#include <xinput.h>

#include "platform/pad.h"
#include "platform/window_size.h"
#include "ports/win32/win32.h"

namespace {

HINSTANCE instance = nullptr;
int showCommand = SW_SHOWDEFAULT;
HWND window = nullptr;
HDC windowDC = nullptr;
const char className[] = "theClassName";
framePacer pacer; // set from KORVANE_FPS when the window opens
bool windowed = false; // KORVANE_WINDOW asked for a window of its own size

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

LRESULT CALLBACK WinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_CLOSE:
    case WM_DESTROY:
        ChangeDisplaySettingsA(nullptr, 0);
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN: // keys are polled, never taken from messages
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void win32Start(HINSTANCE inst, int show) {
    instance = inst;
    showCommand = show;
}

bool sysDesktopSize(int* width, int* height) {
    std::string problem;
    windowed = windowSizeFor(std::getenv("KORVANE_WINDOW"), *width, *height, problem);
    if (!problem.empty()) MessageBoxA(nullptr, problem.c_str(), "Korvane", MB_OK);
    if (windowed) return true;
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    *width = desktop.right;
    *height = desktop.bottom;
    return true;
}

bool sysFullScreen(int width, int height) {
    if (windowed) return true; // a window leaves the display as it is
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
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WinProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
    // In a window, the frame is its client area: the window is as much larger
    // as its frame and caption take.
    const DWORD style = windowed ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
                                 : WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    RECT outer{0, 0, width, height};
    if (windowed) AdjustWindowRect(&outer, style, FALSE);
    window = CreateWindowExA(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                             outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                             instance, nullptr);
    if (!window) {
        UnregisterClassA(className, instance);
        return false;
    }
    windowDC = GetDC(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    std::string problem;
    pacer = pacerFor(std::getenv("KORVANE_FPS"), problem);
    if (!problem.empty()) MessageBoxA(window, problem.c_str(), "Korvane", MB_OK);
    timeBeginPeriod(1); // the pacer's sleeps, to the millisecond
    return true;
}

void sysHideCursor() { ShowCursor(FALSE); }
HDC sysWindowDC() { return windowDC; }
void sysShow() { GdiFlush(); }

void sysCloseWindow() {
    closeAudio();
    timeEndPeriod(1);
    ReleaseDC(window, windowDC);
    UnregisterClassA(className, instance);
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
double sysSeconds() { return steadySeconds(); }
bool sysHasFocus() { return GetFocus() != nullptr; }
bool sysKeyDown(int vk) {
    return (GetKeyState(vk) & 0x80) != 0 || (vk >= 0 && vk < 256 && padKeysHeld[vk]);
}

POINT sysCursor() {
    POINT p{0, 0};
    GetCursorPos(&p);
    return p;
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
