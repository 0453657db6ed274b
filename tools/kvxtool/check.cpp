// The checks of `kvxtool check`: the file is loaded with the game's own loader
// and the mission judged as the game would play it (checkMissionState, which
// the editor lists too). Here are the checks that need the file's bytes: what
// the game says while loading, the file's size and the values the loader
// quietly changes.
#include "check.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "mission/mission_file.h"
#include "files.h"
#include "mission_json.h"

namespace fs = std::filesystem;

namespace {

// Where the blocks of a mission file lie, from the sizes of its parts.
constexpr int shipStride = shipImageSize + 1; // a ship image and its separator
constexpr int shipsAt = missionFileSize - shipCount * shipStride;
constexpr int headerSize = shipsAt - noteSize - 2;
static_assert(headerSize == 100);

std::string slotText(int i) { return "ship " + std::to_string(i); }

// The game's load messages, each once, with how often it came.
void loadMessages(const std::vector<std::string>& messages, std::vector<std::string>& out) {
    std::vector<std::pair<std::string, int>> counted;
    for (const std::string& msg : messages) {
        bool seen = false;
        for (auto& [text, n] : counted)
            if (text == msg) ++n, seen = true;
        if (!seen) counted.emplace_back(msg, 1);
    }
    for (const auto& [text, n] : counted)
        out.push_back("the game says: " + oneLineText(text) +
                      (n > 1 ? " (" + std::to_string(n) + " times)" : ""));
}

// The fields of a ship that differ between two readings of it, as paths.
void differences(const Json& a, const Json& b, const std::string& path,
                 std::vector<std::string>& out) {
    if (a.is_object() && b.is_object()) {
        for (const auto& [key, v] : a.items())
            differences(v, b.at(key), path.empty() ? key : path + "." + key, out);
    } else if (a.is_array() && b.is_array() && a.size() == b.size() && !a.empty() &&
               a[0].is_object()) {
        for (std::size_t k = 0; k < a.size(); ++k)
            differences(a[k], b[k], path + "[" + std::to_string(k) + "]", out);
    } else if (a != b) {
        out.push_back(path);
    }
}

// What the loader changed in a whole file: values the game does not take as
// they are (a reference outside 0..49, an unknown part, a number that is not
// finite, a name that is not a mission's).
void quietChanges(const std::vector<unsigned char>& bytes, Mission& safe,
                  std::vector<std::string>& out) {
    const std::vector<unsigned char> again = missionBytes(safe.refs());
    if (!std::equal(bytes.begin(), bytes.begin() + headerSize, again.begin()))
        out.push_back("header: the game changes the player's ship, side or a follow-up name "
                      "when loading: values it does not take");
    const int noteAt = headerSize + 1;
    if (!std::equal(bytes.begin() + noteAt, bytes.begin() + noteAt + noteSize,
                    again.begin() + noteAt))
        out.push_back("message: the game cuts it to 499 characters when loading");
    for (int k = 0; k < shipCount; ++k) {
        const ship raw = readShipImage(bytes.data() + shipsAt + shipStride * k);
        std::vector<std::string> fields;
        differences(shipToJson(raw), shipToJson(safe.a[k]), "", fields);
        if (fields.empty()) continue;
        std::string list;
        for (const std::string& f : fields) list += (list.empty() ? "" : ", ") + f;
        out.push_back(slotText(k) + ": the game changes " + list +
                      " when loading: values it does not take");
    }
}

} // namespace

std::vector<std::string> checkMission(const std::string& path) {
    std::size_t size = 0;
    const std::vector<unsigned char> bytes = readFileBytes(path, missionFileSize, &size);

    std::vector<std::string> out;
    auto m = std::make_unique<Mission>();
    const std::vector<std::string> messages = loadMissionBytes(bytes, m->refs());
    loadMessages(messages, out);
    // A wrong identification code stops the load: there is no mission to judge.
    if (messages.size() == 1 && messages[0].starts_with("Failed to load file!")) return out;

    if (size < std::size_t(missionFileSize))
        out.push_back(std::to_string(size) + " bytes, but a mission file has 51052: the game "
                                             "reads past its end");
    else if (size > std::size_t(missionFileSize))
        out.push_back(std::to_string(size) + " bytes, but a mission file has 51052: the game "
                                             "ignores the rest");
    else
        quietChanges(bytes, *m, out);

    for (const missionProblem& p : checkMissionState(m->refs(), filesBeside(path)))
        out.push_back(p.text);
    return out;
}

missionFileExists filesBeside(const std::string& path) {
    return [dir = fs::path(path).parent_path()](const char* name) {
        std::error_code ec;
        return fs::is_regular_file(dir / name, ec);
    };
}
