// The headless backend: no display; a clock that advances by a fixed frame
// time after each frame; keys, mouse and focus fed from a script of events;
// frames saved as PNG; message boxes printed to standard output and dismissed
// at once. korvane-headless and the tests drive the game through it.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

// One line of an input script: "<frame> down|up <key>", "<frame> move <x> <y>",
// "<frame> focus on|off", "<frame> dt <seconds>", "<frame> size <W>x<H>"
// (the window resized), "<frame> drop <path>" (a file dropped on the window). It takes effect before frame
// `frame` runs; a dt sets how far the clock advances after each frame from then on.
struct HeadlessEvent {
    enum Kind { down, up, move, focus, step, size, drop };
    int frame = 1;
    Kind kind = down;
    int key = 0;      // virtual-key code, for down and up
    int x = 0, y = 0; // for move; the new size for size
    bool on = true;   // for focus
    double dt = 0;    // for step
    std::string path; // for drop: the file dropped on the window
};

struct HeadlessShot {
    int frame = 1; // frames count from 1
    std::string path;
};

struct HeadlessConfig {
    int width = 1024;
    int height = 768;
    bool sized = false; // --size was given (a playback's window is else the recording's size)
    int frames = 0;    // frames to run; 0 means: up to the last shot, at least 1
    double dt = 0.016; // seconds the clock advances after each frame
    unsigned seed = 1; // srand seed used instead of the tick count
    std::string dir;   // working directory, where mission files live ("" = unchanged)
    std::vector<HeadlessEvent> events;
    std::vector<HeadlessShot> shots;
    bool help = false;   // --help was given: print headlessUsage() and run nothing
    std::string replay;  // --replay: a recording to play back (the runner reads it)
    bool watch = false;  // --watch: in the viewer, its keys from the script
    std::string record;  // --record: where to record the run
    int digestEvery = 0; // --digest N
    std::string wav;     // --wav: where to write the run's sound
    std::string settings; // --settings: the player's settings to read (and write); "" none
    // Called after each frame is shown with the picture a shot of it would
    // save (0x00RRGGBB, top-down), for tools that film a run.
    std::function<void(const std::uint32_t* pixels, int width, int height)> onFrame;
};

// Key names of scripts: A-Z, 0-9, Enter, Escape, Tab, Backspace, Shift, Space,
// Home, End, Left, Up, Right, Down, Numpad0, Add, Subtract, Period, LButton,
// RButton, or a code 0xNN. Returns -1 for anything else.
int headlessKeyCode(const std::string& name);
// The script's name of a key code: the inverse of headlessKeyCode.
std::string headlessKeyName(int code);

// Parse a script; on a bad line returns false with `error` naming the line.
bool parseHeadlessScript(std::istream& in, const std::string& name,
                         std::vector<HeadlessEvent>& events, std::string& error);

// Parse the command line (without argv[0]), reading the script file it names.
// On a bad option returns false with a one-line `error`.
bool parseHeadlessArgs(int argc, const char* const* argv, HeadlessConfig& config,
                       std::string& error);

// The options of korvane-headless, one per line, for --help.
const char* headlessUsage();

// Set the backend up for a run; call before the game's entry point.
void headlessConfigure(const HeadlessConfig& config);

// Whether a shot could not be written (or was never reached because the run
// ended first); each such failure was reported on standard error.
bool headlessFailed();

// Controls for tests that call the game's functions directly.
void headlessSetTicks(unsigned ms);
void headlessSetKey(int vk, bool down);
void headlessSetFocus(bool focused);
void headlessSetCursor(int x, int y);
int headlessFramesShown(); // frames presented so far

// Write the pixels of a 0x00RRGGBB top-down buffer as an RGB PNG; with
// clearBlack, as RGBA in which black is clear (an icon on any background).
bool writePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              std::string& error, bool clearBlack = false);
