// Autosaves of the editor's mission: files in autosave/ of the player's
// folder, named by the mission they were made from and their time
// ("autosave/AAAA-20261209-091705.kvx", "new-..." for a mission never
// saved), in the mission file's own format. The last five are kept.
#pragma once

#include <string>
#include <vector>

constexpr const char* autosaveFolder = "autosave";
constexpr int autosavesKept = 5;

// Writes bytes as a new autosave of the mission `origin` ("kvxmap.NNNN.kvx",
// or "" when it was never loaded or saved), beside the frame loop, and keeps
// the five newest. Returns the path it is written to.
std::string autosaveWrite(const std::vector<unsigned char>& bytes, const std::string& origin);
// Removes the autosaves at these paths (beside the frame loop, after every
// write given before).
void autosaveRemove(const std::vector<std::string>& paths);

// An autosave the editor offers back.
struct autosaveOffer {
    std::string path;    // where it is
    std::string mission; // "AAAA", or "" for a mission never saved
    std::string time;    // "2026-12-09 09:17:05"
};
// The newest autosave that is newer than the mission file it was made from
// (or whose mission file is gone). False when there is none.
bool autosaveFind(autosaveOffer& found);
// The same read from an autosave's path (for a recording being played, which
// gives its path back). False when the path is not an autosave's.
bool autosaveOfPath(const std::string& path, autosaveOffer& found);
