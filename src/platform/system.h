// The window system as the game sees it: one full-screen window with an
// off-screen frame copied to it, a message pump that also paces the frames,
// polled key state, focus, the cursor, a clock and a message box.
//
// Each port (src/ports: SDL and Win32 for the real window, the web page,
// headless for tests and tools) provides every function here; a program links
// exactly one of them. Key codes are the
// Win32 virtual-key codes (platform/keys.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include <vector>

#include "gdi/gdi.h"
#include "platform/keys.h"


// What one turn of the message pump found.
enum class SysMessage {
    none,    // nothing was waiting: time for a frame
    handled, // a message was handled; look again before drawing
    quit,    // the quit message: leave the frame loop
};

// Start-up and shut-down, in the order the frame loop calls them.
bool sysDesktopSize(int* width, int* height); // false when no display can be opened
bool sysFullScreen(int width, int height);    // switch the display; false when it cannot
void sysRestoreDisplay();                     // back to the mode the display was found in
bool sysOpenWindow(const char* title, int width, int height); // borderless, covering the screen
void sysHideCursor();
HDC sysWindowDC();     // the window's drawing context; BitBlt into it, then sysShow
void sysShow();        // put what was copied into the window's context on screen
void sysCloseWindow(); // release the window and everything the backend holds
unsigned sysSeed();    // the random seed: ms since the system started (headless: its --seed)

// The frame loop's message pump and the quit message. The real windows pace
// the frames here: `none` comes no sooner than the next frame is due.
SysMessage sysPump();
void sysQuit(); // PostQuitMessage(0): the pump reports quit at its next turn
// Takes back a quit the game posted since the last pump (a recording watched
// in the viewer runs the recorded game's Exit, and the viewer stays).
void sysQuitCancel();
// A file dropped on the window since the last call (its path), one a call.
bool sysTakeDropped(std::string& path);
// Starts the game anew, once this run has ended, with the environment
// variable set (KORVANE_REPLAY to watch a recording, KORVANE_START to begin
// with a mission): the window's build replaces the process. False, with the
// reason, where it cannot.
struct sysSetting {
    std::string variable, value;
};
bool sysRestart(const std::vector<sysSetting>& environment, std::string& error);

// Services the game calls every frame.
double sysSeconds();     // a steady clock in seconds, as fine as the system has
bool sysHasFocus();      // does the game's window have the keyboard focus
bool sysKeyDown(int vk); // is the key (or mouse button) held down
POINT sysCursor();       // cursor position in window pixels
void sysMessageBox(const char* caption, const char* text); // modal; returns when dismissed

// The display as the player set it. The frame follows the window: each frame
// the game asks the window's size, divides it by the scale and, when that
// changed, draws its frames at the new size from then on (sysFrameSize).
void sysWindowSize(int* width, int* height); // the window's inside, in pixels, as it stands
// Full screen at the desktop's size, or a resizable window of width x height
// (kept within the desktop). False when the switch could not be made; the
// display is then as it was.
bool sysSetDisplay(bool fullScreen, int width, int height);
bool sysIsFullScreen();
// The frame is width x height from now on: sysWindowDC's bitmap is made anew
// at that size. sysShow shows it enlarged by the largest whole factor that
// fits the window (at least 1, shrunk to fit only when the window is smaller),
// centred on black; sysCursor answers in the frame's pixels.
void sysFrameSize(int width, int height);

// The name the player's keyboard layout prints on the key with this code
// ("Left Shift", "&", "Keypad 0"...); "" when the port knows no better name
// than the game's own.
std::string sysKeyLabel(int vk);

// The player's settings as text (TOML). sysLoadSettings: false when there are
// none yet; `where` names them in messages (a path, or "the browser's
// storage"). sysSaveSettings replaces them whole, never leaving them half
// written; false, with the reason, when it cannot.
bool sysLoadSettings(std::string& text, std::string& where);
bool sysSaveSettings(const std::string& text, std::string& error);

// A file made for the player to keep (a screenshot): written into `folder`
// of the player's folder under `name`, never over another file (a number is
// added), or offered as a download in the browser. `where` says where it went.
bool sysKeepFile(const char* folder, const char* name, const std::vector<unsigned char>& bytes,
                 std::string& where);

// Sound, 16-bit stereo at `rate` sample frames a second. Without a device
// sysAudioOpen says false and the game is silent; nothing here ever waits.
bool sysAudioOpen(int rate);
int sysAudioWanted(float frameTime); // sample frames to queue now to keep playing
void sysAudioQueue(const std::int16_t* samples, int frames); // 2 x frames values
