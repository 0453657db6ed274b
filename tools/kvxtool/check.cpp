// The checks of `kvxtool check`: the file is loaded with the game's own loader
// and the mission judged as the game would play it. A problem is something
// the game complains about or quietly changes, an objective that decides the
// mission on its first frame, a player's ship that is not there, a reference
// to a slot without a ship, a point outside the world, a follow-up file that
// is missing, or a message the start screen would show badly.
#include "check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

constexpr double worldEdge = 30000;

const char* const sideNames[] = {"red", "green", "blue"};

std::string slotText(int i) { return "ship " + std::to_string(i); }

std::string point(vec2 p) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%g, %g)", p.x, p.y);
    return buf;
}

// A ship that is in play on the first frame: alive, or dead with respawns and
// a live home base, so the first frame brings it back.
bool present(const Mission& m, int i) {
    const ship& s = m.a[i];
    if (s.alive) return true;
    const int home = shipRef(s.homeBase, i);
    return s.respawns != 0 && home != i && m.a[home].alive;
}

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

void objectives(const Mission& m, std::vector<std::string>& out) {
    bool destroy = false, defend = false;
    for (const ship& s : m.a) {
        destroy = destroy || (s.alive && s.objective == objDestroy);
        defend = defend || (s.alive && s.objective == objDefend);
    }
    if (!defend) out.push_back("no live ship is marked defend: the mission is lost at once");
    if (!destroy) out.push_back("no live ship is marked destroy: the mission is won at once");
}

void playerShip(const Mission& m, std::vector<std::string>& out) {
    const ship& s = m.a[m.you];
    const std::string who = "the player's ship (" + slotText(m.you) + ")";
    if (!s.alive) {
        out.push_back(who + " is not alive");
    } else if (s.side != m.sid) {
        out.push_back(who + " is " + sideNames[s.side] + ", but the player's side is " +
                      sideNames[m.sid]);
    }
}

bool inWorld(vec2 p) { return std::fabs(p.x) <= worldEdge && std::fabs(p.y) <= worldEdge; }

void shipProblems(const Mission& m, int i, std::vector<std::string>& out) {
    const ship& s = m.a[i];
    const std::string who = slotText(i);
    const std::pair<const char*, int> refs[] = {
        {"target", s.target}, {"leader", s.leader}, {"homeBase", s.homeBase}};
    for (const auto& [field, ref] : refs)
        if (ref != i && !present(m, ref))
            out.push_back(who + ": " + field + " names slot " + std::to_string(ref) +
                          ", which holds no live ship");
    const std::pair<const char*, vec2> points[] = {
        {"pos", s.pos}, {"waypoint", s.waypoint}, {"wayA", s.wayA}, {"wayB", s.wayB}};
    for (const auto& [field, p] : points)
        if (!inWorld(p))
            out.push_back(who + ": " + field + " " + point(p) +
                          " is outside the world (-30000 to 30000)");
    const double length = std::hypot(s.dir.x, s.dir.y);
    if (std::fabs(length - 1) > 1e-3)
        out.push_back(who + ": dir " + point(s.dir) + " is not a unit vector");
    if (s.objective < objNone || s.objective > objDefend)
        out.push_back(who + ": objective " + std::to_string(s.objective) +
                      " is none of none, destroy, defend");
    if (s.orders < orderFighter || s.orders > orderBase)
        out.push_back(who + ": orders " + std::to_string(s.orders) +
                      " is none of fighter, guardLine, freighter, base: its mind does nothing");
    if (s.mind < mindNormal || s.mind > mindPatrolLine)
        out.push_back(who + ": mind " + std::to_string(s.mind) + " is not a mind state");
}

void followUps(const Mission& m, const std::string& path, std::vector<std::string>& out) {
    const fs::path dir = fs::path(path).parent_path();
    const std::pair<const char*, const char*> names[] = {{"success", m.sucfil},
                                                         {"failure", m.faifil}};
    for (const auto& [which, name] : names) {
        std::error_code ec;
        if (!fs::is_regular_file(dir / name, ec))
            out.push_back(std::string(which) + " mission " + name + " is not beside it");
    }
}

// The font's characters: letters, digits, space and a few marks; the start
// screen also takes line breaks and tabs. Anything else is drawn as a box.
bool drawable(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    for (char mark : std::string(" !'()*+,-./:=?_\n\t"))
        if (c == mark) return true;
    return false;
}

// The font's advance in grid units.
int advance(char c) {
    for (char narrow : std::string(" !',.:iI"))
        if (c == narrow) return 2;
    return c == '(' || c == ')' || c == '1' ? 3 : 4;
}

// The start screen draws the message from x = 10 at size 2 and wraps before a
// character when the cursor is beyond 640 - 8.
void message(const Mission& m, std::vector<std::string>& out) {
    std::string text(m.note, std::find(m.note, m.note + noteSize, 0));
    std::string missing;
    for (char c : text) {
        if (drawable(c)) continue;
        char shown[8];
        if (c > ' ' && c < 127)
            std::snprintf(shown, sizeof shown, "'%c'", c);
        else
            std::snprintf(shown, sizeof shown, "\\x%02X", unsigned(static_cast<unsigned char>(c)));
        if (missing.find(shown) == std::string::npos) {
            if (!missing.empty()) missing += ' ';
            missing += shown;
        }
    }
    if (!missing.empty())
        out.push_back("message: the font has no glyph for " + missing + " (drawn as boxes)");

    int line = 1;
    double x = 10;
    bool wrapped = false;
    for (char c : text) {
        if (!wrapped && x > 640 - 4 * 2) {
            out.push_back("message: line " + std::to_string(line) +
                          " is wider than the start screen's 640 pixels and wraps");
            wrapped = true;
        }
        if (c == '\n') {
            ++line, x = 10, wrapped = false;
        } else if (c == '\t') {
            x = 10 + 64 * (std::floor((x - 10) / 64) + 1);
        } else {
            x += advance(c) * 2;
        }
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

    objectives(*m, out);
    playerShip(*m, out);
    for (int i = 0; i < shipCount; ++i)
        if (present(*m, i)) shipProblems(*m, i, out);
    followUps(*m, path, out);
    message(*m, out);
    return out;
}
