// The actions, the defaults, and the settings written as text. Reading the
// text back is settings_parse.cpp's; the key names are key_names.cpp's.
#include "settings/settings.h"

#include "platform/keys.h"
#include "render/render.h"

namespace {

// Each action with its game key, and the second key and the gamepad button
// it has by default.
struct defaults {
    actionInfo info;
    int secondKey, button;
};
const defaults actions[actionCount] = {
    {{"thrust", "Thrust", VK_UP}, 0, padRightTrigger},
    {{"turn_left", "Turn left", VK_LEFT}, 0, 0},
    {{"turn_right", "Turn right", VK_RIGHT}, 0, 0},
    {{"brake", "Brake", VK_DOWN}, 0, padB},
    {{"fire", "Fire", VK_SHIFT}, 0, padA},
    {{"target", "Target nearest enemy", VK_NUMPAD0}, 'T', padY},
    {{"radar", "Radar", VK_TAB}, 0, padLeftShoulder},
    {{"repair", "Repair", 'R'}, 0, padX},
    {{"autopilot", "Autopilot", 'A'}, 0, padRightShoulder},
    {{"pilot", "Pilot", 'C'}, 0, padBack},
    {{"spectator", "Spectator", 'X'}, 0, 0},
    {{"zoom_in", "Zoom in", VK_ADD}, VK_OEM_PLUS, 0},
    {{"zoom_out", "Zoom out", VK_SUBTRACT}, VK_OEM_MINUS, 0},
    {{"reset_view", "Reset the view", VK_BACK}, 0, 0},
};

// A TOML basic string: quoted, with quotes, backslashes and control
// characters escaped.
std::string quoted(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string line(const char* key, const std::string& value) {
    return std::string(key) + " = " + value + "\n";
}
std::string flag(bool on) { return on ? "true" : "false"; }

} // namespace

const actionInfo& actionOf(int a) { return actions[a >= 0 && a < actionCount ? a : 0].info; }

keyBinding defaultBinding(int a) {
    keyBinding b;
    if (a < 0 || a >= actionCount) return b;
    b.keys[0] = actions[a].info.gameKey;
    b.keys[1] = actions[a].secondKey;
    b.button = actions[a].button;
    return b;
}

settings defaultSettings() {
    settings s;
    for (int a = 0; a < actionCount; ++a) s.binds[a] = defaultBinding(a);
    return s;
}

std::string formatSettings(const settings& s) {
    std::string out = "# Korvane's settings. The game writes this file when they change; a line\n"
                      "# it cannot read keeps that setting's default.\n";
    out += "\n# Up to two keys for each action: [\"Up\"], [\"Numpad0\", \"T\"], or [] for none.\n"
           "[controls]\n";
    for (int a = 0; a < actionCount; ++a) {
        const keyBinding& b = s.binds[a];
        // A second key without a first keeps its place with "".
        const int used = b.keys[1] ? 2 : b.keys[0] ? 1 : 0;
        std::string keys = "[";
        for (int k = 0; k < used; ++k) keys += (k ? ", " : "") + quoted(keyName(b.keys[k]));
        out += line(actions[a].info.id, keys + "]");
    }
    out += "\n# One gamepad button for each action (\"PadA\", \"PadRightTrigger\"...), or \"\".\n"
           "[gamepad]\n";
    for (int a = 0; a < actionCount; ++a)
        out += line(actions[a].info.id, quoted(keyName(s.binds[a].button)));
    out += "\n# window: its size when not full screen, WxH; scale: \"auto\", or 1 to 4.\n"
           "[display]\n";
    out += line("full_screen", flag(s.fullScreen));
    out += line("window",
                quoted(std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight)));
    out += line("scale", s.scale == 0 ? quoted("auto") : std::to_string(s.scale));
    out += "\n# volume: 0 to 100.\n[sound]\n";
    out += line("on", flag(s.soundOn));
    out += line("volume", std::to_string(s.volume));
    out += "\n# sides: \"game\" or \"colour-blind\".\n[colours]\n";
    out += line("sides", quoted(s.palette == paletteColourBlind ? "colour-blind" : "game"));
    out += "\n# start: \"last\" (the mission last played) or \"first\".\n[campaign]\n";
    out += line("start", quoted(s.resume ? "last" : "first"));
    if (!s.lastMission.empty()) out += line("last_mission", quoted(s.lastMission));
    return out;
}

std::string describeProblem(const std::string& where, const settingsProblem& p) {
    if (p.line <= 0) return where + ": " + p.text;
    return where + ", line " + std::to_string(p.line) + ": " + p.text;
}
