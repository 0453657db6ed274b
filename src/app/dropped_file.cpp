// A dropped recording or mission file: checked, a mission copied in, and
// the game started anew with it.
#include "app/dropped_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/edit_session.h"
#include "app/notices.h"
#include "app/session.h"
#include "mission/mission_file.h"
#include "mission/safe_write.h"
#include "platform/system.h"
#include "replay/recording.h"

namespace fs = std::filesystem;

namespace {

struct restart {
    const char* variable = nullptr; // KORVANE_REPLAY or KORVANE_START
    std::string value;
    std::string unsavedAsked; // a file dropped while the editor's changes were unsaved
};

restart& asked() {
    static restart r;
    return r;
}

std::string lower(std::string s) {
    for (char& c : s) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// Whether the game may end for the drop: the editor's work is on disk, or
// the same file was dropped again.
bool mayEnd(const std::string& path) {
    if (!editSessionUnsaved() || asked().unsavedAsked == path) return true;
    asked().unsavedAsked = path;
    notify("The editor's mission has changes not saved: save it, or drop the file again", 5);
    return false;
}

void recordingDropped(const fs::path& path) {
    recording r;
    std::string error;
    if (!readRecording(path.string(), r, error)) {
        notify(path.filename().string() + ": " + error, 5);
        return;
    }
    if (r.random != randomHere) {
        notify(path.filename().string() + ": recorded by another build, which alone plays it", 5);
        return;
    }
    if (!mayEnd(path.string())) return;
    asked().variable = "KORVANE_REPLAY";
    asked().value = fs::absolute(path).string();
    sysQuit();
}

// The name the mission takes in the player's folder: its own when it is a
// mission file's name and free (or the same file is there), else the first
// free kvxmap.Dnnn.kvx. "" when every one is taken.
std::string nameFor(const fs::path& home, const fs::path& from,
                    const std::vector<unsigned char>& bytes) {
    std::error_code ec;
    auto freeOrSame = [&](const std::string& name) {
        std::vector<unsigned char> there;
        return !fs::exists(home / name, ec) ||
               (readMissionFile((home / name).string().c_str(), there) && there == bytes);
    };
    const std::string own = from.filename().string();
    if (isMissionFileName(own) && freeOrSame(own)) return own;
    for (int i = 1; i < 1000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "kvxmap.D%03d.kvx", i);
        if (freeOrSame(name)) return name;
    }
    return "";
}

void missionDropped(const fs::path& path) {
    std::vector<unsigned char> bytes;
    const std::string shown = path.filename().string();
    if (!readMissionFile(path.string().c_str(), bytes)) {
        notify(shown + ": cannot be read", 5);
        return;
    }
    if (bytes.size() != std::size_t(missionFileSize)) {
        notify(shown + ": not a mission file (" + std::to_string(bytes.size()) + " bytes, not " +
                   std::to_string(missionFileSize) + ")",
               5);
        return;
    }
    if (!mayEnd(path.string())) return;
    const fs::path home = sessionHome();
    const std::string name = nameFor(home, path, bytes);
    if (name.empty()) {
        notify("No free mission name is left in your folder for " + shown, 5);
        return;
    }
    std::error_code ec;
    if (!fs::exists(home / name, ec) && !writeFileSafely((home / name).string().c_str(), bytes)) {
        notify(shown + " could not be copied into " + home.string(), 5);
        return;
    }
    asked().variable = "KORVANE_START";
    asked().value = name;
    sysQuit();
}

} // namespace

void takeDroppedFiles() {
    std::string path;
    while (sysTakeDropped(path)) {
        const std::string ext = lower(fs::path(path).extension().string());
        if (ext == ".kvr") recordingDropped(path);
        else if (ext == ".kvx") missionDropped(path);
        else notify(fs::path(path).filename().string() + ": neither a recording (.kvr) nor a mission (.kvx)", 5);
    }
}

void restartAsDropped() {
    restart& r = asked();
    if (!r.variable) return;
    std::vector<sysSetting> environment{{r.variable, r.value}};
    // A game recorded goes on recording, into a new file beside the last.
    if (const char* was = std::getenv("KORVANE_RECORD"); was && *was) {
        const fs::path folder = fs::path(was).parent_path();
        std::error_code ec;
        fs::path next = folder / (timeStamp() + ".kvr");
        for (int i = 2; fs::exists(next, ec) || next == fs::path(was); ++i)
            next = folder / (timeStamp() + "-" + std::to_string(i) + ".kvr");
        environment.push_back({"KORVANE_RECORD", next.string()});
    }
    std::string error;
    if (!sysRestart(environment, error))
        sysMessageBox("Korvane", ("The game could not start anew: " + error).c_str());
    r.variable = nullptr;
}
