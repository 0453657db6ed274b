// Autosave files: their names, the writing and pruning beside the frame loop,
// and the search for one newer than its mission.
#include "app/autosave.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/file_worker.h"
#include "app/session.h"
#include "mission/mission_file.h"
#include "mission/safe_write.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* newMission = "new";

// "AAAA-20261209-091705.kvx": the mission's four characters (or "new"), the
// date and the time.
bool parseName(const std::string& file, std::string& mission, std::string& stamp) {
    const std::size_t dash = file.find('-');
    if (dash == std::string::npos || file.size() != dash + 20 ||
        file.compare(file.size() - 4, 4, ".kvx") != 0 || file[dash + 9] != '-')
        return false;
    mission = file.substr(0, dash);
    stamp = file.substr(dash + 1, 15);
    for (std::size_t i = 0; i < stamp.size(); ++i)
        if (i != 8 && (stamp[i] < '0' || stamp[i] > '9')) return false;
    if (mission == newMission) return true;
    return isMissionFileName("kvxmap." + mission + ".kvx");
}

// The autosave files of the folder, oldest first (their names sort by time
// within one mission; across missions the time decides).
std::vector<fs::path> autosaves() {
    std::vector<std::pair<std::string, fs::path>> found;
    std::error_code ec;
    for (fs::directory_iterator it(autosaveFolder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string mission, stamp;
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(ec) && parseName(name, mission, stamp))
            found.emplace_back(stamp + name, it->path());
    }
    std::sort(found.begin(), found.end());
    std::vector<fs::path> out;
    for (auto& f : found) out.push_back(f.second);
    return out;
}

} // namespace

std::string autosaveWrite(const std::vector<unsigned char>& bytes, const std::string& origin) {
    const std::string mission = isMissionFileName(origin) ? origin.substr(7, 4) : newMission;
    std::string path = std::string(autosaveFolder) + "/" + mission + "-" + timeStamp("%Y%m%d-%H%M%S") + ".kvx";
    fileJob([bytes, path] {
        std::error_code ec;
        fs::create_directories(autosaveFolder, ec);
        if (!writeFileSafely(path.c_str(), bytes)) {
            std::fprintf(stderr, "korvane: could not write the autosave %s\n", path.c_str());
            return;
        }
        std::vector<fs::path> all = autosaves();
        for (std::size_t i = 0; i + autosavesKept < all.size(); ++i) fs::remove(all[i], ec);
    });
    return path;
}

void autosaveRemove(const std::vector<std::string>& paths) {
    fileJob([paths] {
        std::error_code ec;
        for (const std::string& p : paths) fs::remove(p, ec);
    });
}

bool autosaveOfPath(const std::string& path, autosaveOffer& found) {
    const fs::path p(path);
    std::string mission, stamp;
    if (p.parent_path() != autosaveFolder || !parseName(p.filename().string(), mission, stamp))
        return false;
    found.path = path;
    found.mission = mission == newMission ? "" : mission;
    found.time = stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
                 stamp.substr(9, 2) + ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
    return true;
}

bool autosaveFind(autosaveOffer& found) {
    const std::vector<fs::path> all = autosaves();
    if (all.empty()) return false;
    const fs::path& newest = all.back();
    std::string path = std::string(autosaveFolder) + "/" + newest.filename().string();
    if (!autosaveOfPath(path, found)) return false;
    if (found.mission.empty()) return true;
    std::error_code ec, ec2;
    const auto mission = fs::last_write_time("kvxmap." + found.mission + ".kvx", ec);
    const auto saved = fs::last_write_time(newest, ec2);
    return ec || ec2 || saved > mission;
}
