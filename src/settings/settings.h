// The player's settings: the key bindings, the display, the sound, the side
// colours and the campaign's progress, with their defaults, and their text
// form (TOML) as kept between runs. Reading is forgiving: what cannot be used
// is named with its line and left at its default, and the rest still counts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The actions of flight and view a player binds, in the order the options
// screen lists them.
enum action : int {
    actThrust,
    actTurnLeft,
    actTurnRight,
    actBrake,
    actFire,
    actTarget,
    actRadar,
    actRepair,
    actAutopilot,
    actPilot,
    actSpectator,
    actZoomIn,
    actZoomOut,
    actResetView,
    actionCount
};

struct actionInfo {
    const char* id;    // its name in the settings file: "thrust", "turn_left", ...
    const char* title; // its name on the options screen: "Thrust", "Turn left", ...
    int gameKey;       // the key the game itself reads for it (VK_UP, VK_SHIFT, VK_NUMPAD0...)
};
const actionInfo& actionOf(int a);

// Up to two keys and one gamepad button (virtual-key codes; 0 for none).
struct keyBinding {
    int keys[2] = {0, 0};
    int button = 0; // padA..padBack (platform/keys.h)
    bool operator==(const keyBinding&) const = default;
};

constexpr int minScale = 0; // 0: auto
constexpr int maxScale = 4;
// The side colours are render/render.h's paletteGame or paletteColourBlind.

struct settings {
    keyBinding binds[actionCount];
    bool fullScreen = true;
    int windowWidth = 1280, windowHeight = 720;
    int scale = 0; // 0 auto, else 1..4
    bool soundOn = true;
    int volume = 70; // 0..100
    int palette = 0; // paletteGame
    bool resume = true;      // start with the mission last played
    std::string lastMission; // "kvxmap.NNNN.kvx", or "" before any
    bool operator==(const settings&) const = default;
};

// The game's keys with the added ones: T targets, the main row's =/+ and -
// zoom, and the gamepad's buttons as padKeys always mapped them.
settings defaultSettings();
keyBinding defaultBinding(int a);

// What could not be used, and where: line 0 for the file as a whole.
struct settingsProblem {
    int line = 0;
    std::string text;
};

// The largest settings text parseSettings reads (1 MB): a larger one is one
// problem, at line 0, and all defaults. readSettingsFile reads no further.
constexpr std::size_t maxSettingsSize = 1 << 20;

// Reads the text; every value that is missing or cannot be used keeps its
// default, and each problem (a broken line, an unknown name, a value out of
// range, a key name not known, bytes that are not text) is added to problems.
settings parseSettings(const std::string& text, std::vector<settingsProblem>& problems);
// The text form, with a comment at its top; parseSettings reads it back equal.
std::string formatSettings(const settings& s);
// "where, line N: text", or "where: text" for line 0.
std::string describeProblem(const std::string& where, const settingsProblem& p);

// The stable name a key has in the settings file ("Up", "Shift", "Numpad0",
// "T", "Equals", "PadA"...); "" for a code without one. keyByName is its
// inverse (case-insensitive), 0 for a name not known.
std::string keyName(int vk);
int keyByName(const std::string& name);

// Where the settings live on this machine: $XDG_CONFIG_HOME/korvane/settings.toml
// (~/.config/korvane/ without it); %APPDATA%\Korvane\settings.toml on Windows.
// "" when neither is known.
std::string settingsFilePath();
// Reading and writing that file, for the ports: a missing file reads as
// false with no error; the write makes the folder, goes to a new file and
// renames it over the old one (mission/safe_write.h).
bool readSettingsFile(const std::string& path, std::string& text);
bool writeSettingsFile(const std::string& path, const std::string& text, std::string& error);

// The two above at settingsFilePath(), as the native ports keep settings:
// `where` is the path; the write fails, saying so, when no folder is known.
bool loadSettingsFile(std::string& text, std::string& where);
bool saveSettingsFile(const std::string& text, std::string& error);
