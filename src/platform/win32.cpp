// The Windows backend: the real window, message pump, key state, focus, cursor,
// tick count and message box of Win32. Drawing needs nothing here: on Windows
// the game's GDI calls are GDI itself.
#include "platform/surface.h"
#include "platform/system.h"

#include <map>

int gameMain(HINSTANCE instance);

namespace {

HINSTANCE instance = nullptr;
int showCommand = SW_SHOWDEFAULT;
HWND window = nullptr;
HDC windowDC = nullptr;
const char className[] = "theClassName";

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
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// Surface contexts: the DIB section each holds and the bitmap it replaced.
struct SurfaceDC {
    HBITMAP dib;
    HGDIOBJ old;
};
std::map<HDC, SurfaceDC>& surfaces() {
    static std::map<HDC, SurfaceDC> s;
    return s;
}

} // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show) {
    instance = inst;
    showCommand = show;
    return gameMain(inst);
}

bool sysDesktopSize(int* width, int* height) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    *width = desktop.right;
    *height = desktop.bottom;
    return true;
}

bool sysFullScreen(int width, int height) {
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
    window = CreateWindowExA(0, className, title, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                             CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr, nullptr,
                             instance, nullptr);
    if (!window) {
        UnregisterClassA(className, instance);
        return false;
    }
    windowDC = GetDC(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

void sysHideCursor() { ShowCursor(FALSE); }
HDC sysWindowDC() { return windowDC; }
void sysShow() { GdiFlush(); }

void sysCloseWindow() {
    ReleaseDC(window, windowDC);
    UnregisterClassA(className, instance);
}

unsigned sysSeed() { return GetTickCount(); }

SysMessage sysPump() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return SysMessage::none;
    if (msg.message == WM_QUIT) return SysMessage::quit;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return SysMessage::handled;
}

void sysQuit() { PostQuitMessage(0); }
unsigned sysTicks() { return GetTickCount(); }
bool sysHasFocus() { return GetFocus() != nullptr; }
bool sysKeyDown(int vk) { return (GetKeyState(vk) & 0x80) != 0; }

POINT sysCursor() {
    POINT p{0, 0};
    GetCursorPos(&p);
    return p;
}

void sysMessageBox(const char* caption, const char* text) {
    MessageBoxA(window, text, caption, MB_OK);
}

// Pixel access through 32-bit top-down DIB sections, whose bytes are GDI's own.

Surface dcSurface(HDC dc) {
    GdiFlush();
    DIBSECTION section;
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap || GetObject(bitmap, sizeof section, &section) != sizeof section ||
        section.dsBm.bmBitsPixel != 32)
        return Surface{};
    int height = section.dsBmih.biHeight;
    if (height > 0) return Surface{}; // bottom-up: not one of ours
    return Surface{section.dsBm.bmWidth, -height,
                   static_cast<std::uint32_t*>(section.dsBm.bmBits)};
}

HDC createSurfaceDC(int width, int height) {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    surfaces()[dc] = SurfaceDC{dib, SelectObject(dc, dib)};
    return dc;
}

void deleteSurfaceDC(HDC dc) {
    auto it = surfaces().find(dc);
    if (it == surfaces().end()) return;
    SelectObject(dc, it->second.old);
    DeleteObject(it->second.dib);
    DeleteDC(dc);
    surfaces().erase(it);
}

int gdiLiveObjects() { return int(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)); }
