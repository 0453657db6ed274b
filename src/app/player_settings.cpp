// The run's settings, read and kept through the port (a file, or the
// browser's storage).
#include "app/player_settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/notices.h"
#include "app/session.h"
#include "mission/mission_file.h"
#include "platform/system.h"

namespace {

struct kept {
    settings now = defaultSettings();
    settings written = defaultSettings(); // as last read or written
    std::string unkept;                   // the reason they are not written
};

kept& state() {
    static kept k;
    return k;
}

} // namespace

settings& playerSettings() { return state().now; }

const std::string& settingsUnkept() { return state().unkept; }

void settingsLoad() {
    kept& k = state();
    std::string text, where;
    if (!sysLoadSettings(text, where)) return;
    std::vector<settingsProblem> problems;
    k.now = k.written = parseSettings(text, problems);
    if (problems.empty()) return;
    k.unkept = describeProblem(where, problems.front());
    std::string line = k.unkept;
    if (problems.size() > 1) line += " (and " + std::to_string(problems.size() - 1) + " more)";
    line += "; the rest was read, and the file is left as it is";
    std::fprintf(stderr, "korvane: %s\n", line.c_str());
    notify(line, 8);
}

bool settingsKeep() {
    kept& k = state();
    if (k.now == k.written || !k.unkept.empty()) return true;
    std::string error;
    if (!sysSaveSettings(formatSettings(k.now), error)) {
        notify("Settings not kept: " + error, 5);
        return false;
    }
    k.written = k.now;
    return true;
}

std::string startMission() {
    if (sessionPlaying()) {
        const std::string first = sessionFirstMission();
        return isMissionFileName(first.c_str()) ? first : "kvxmap.AAAA.kvx";
    }
    // A mission dropped on the window starts the game anew with it.
    if (const char* dropped = std::getenv("KORVANE_START"); dropped && isMissionFileName(dropped))
        return dropped;
    const settings& s = playerSettings();
    std::error_code ec;
    if (s.resume && isMissionFileName(s.lastMission.c_str()) &&
        std::filesystem::is_regular_file(s.lastMission, ec))
        return s.lastMission;
    return "kvxmap.AAAA.kvx";
}

void missionLoaded(const char* name) {
    if (sessionPlaying()) return; // a playback is not the player's progress
    settings& s = playerSettings();
    if (s.lastMission == name) return;
    s.lastMission = name;
    settingsKeep();
}
