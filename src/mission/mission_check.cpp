// The checks of a loaded mission, judged as the game would play it from its
// first frame: see mission_check.h. Nothing here reads files; whether a
// follow-up is there is asked through the caller's lookup.
#include "mission/mission_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double worldEdge = 30000;

using problems = std::vector<missionProblem>;

const char* const sideNames[] = {"red", "green", "blue"};
const char* const orderNames[] = {"fighter", "guard line", "freighter"}; // as the editor names them

std::string slotText(int i) { return "ship " + std::to_string(i); }

std::string point(vec2 p) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%g, %g)", p.x, p.y);
    return buf;
}

void add(problems& out, int slot, std::string text, bool warning = false) {
    out.push_back({slot, warning, std::move(text)});
}

// A ship that is in play on the first frame: alive, or dead with respawns and
// a live home base, so the first frame brings it back.
bool present(const MissionRefs& m, int i) {
    const ship& s = m.a[i];
    if (s.alive) return true;
    const int home = shipRef(s.homeBase, i);
    return s.respawns != 0 && home != i && m.a[home].alive;
}

void objectives(const MissionRefs& m, problems& out) {
    bool destroy = false, defend = false;
    for (int i = 0; i < shipCount; ++i) {
        const ship& s = m.a[i];
        destroy = destroy || (s.alive && s.objective == objDestroy);
        defend = defend || (s.alive && s.objective == objDefend);
    }
    if (!defend) add(out, -1, "no live ship is marked defend: the mission is lost at once");
    if (!destroy) add(out, -1, "no live ship is marked destroy: the mission is won at once");
}

void playerShip(const MissionRefs& m, problems& out) {
    const ship& s = m.a[m.you];
    const std::string who = "the player's ship (" + slotText(m.you) + ")";
    if (!s.alive) {
        add(out, m.you, who + " is not alive");
    } else if (s.side != m.sid) {
        add(out, m.you,
            who + " is " + sideNames[s.side] + ", but the player's side is " + sideNames[m.sid]);
    }
    // Play ends as soon as the player's ship is gone and cannot come back.
    if (s.alive && shipRef(s.homeBase, m.you) == m.you && s.respawns == 0)
        add(out, m.you,
            who + " has no home base and no respawns: the mission is lost the first time it "
                  "is destroyed",
            true);
}

bool inWorld(vec2 p) { return std::fabs(p.x) <= worldEdge && std::fabs(p.y) <= worldEdge; }

// A home base is a base when its orders are orderBase, whatever design it was
// built as: the minds read only the orders (base orders hold the ship in its
// place, repairing when hit), while the design's name in the record is a label
// the pilot tool leaves as it was when it changes the orders. Orders outside
// their enumeration are a problem of the home base's own.
void homeBase(const MissionRefs& m, int i, problems& out) {
    const int home = shipRef(m.a[i].homeBase, i);
    if (home == i || !present(m, home)) return;
    const int orders = m.a[home].orders;
    if (orders < orderFighter || orders >= orderBase) return;
    add(out, i,
        slotText(i) + ": home base " + slotText(home) + " has no base orders (it has " +
            orderNames[orders] + " orders): it flies about instead of holding its place",
        true);
}

void shipProblems(const MissionRefs& m, int i, problems& out) {
    const ship& s = m.a[i];
    const std::string who = slotText(i);
    const std::pair<const char*, int> refs[] = {
        {"target", s.target}, {"leader", s.leader}, {"homeBase", s.homeBase}};
    for (const auto& [field, ref] : refs)
        if (ref != i && !present(m, ref))
            add(out, i,
                who + ": " + field + " names slot " + std::to_string(ref) +
                    ", which holds no live ship");
    const std::pair<const char*, vec2> points[] = {
        {"pos", s.pos}, {"waypoint", s.waypoint}, {"wayA", s.wayA}, {"wayB", s.wayB}};
    for (const auto& [field, p] : points)
        if (!inWorld(p))
            add(out, i,
                who + ": " + field + " " + point(p) + " is outside the world (-30000 to 30000)");
    const double length = std::hypot(s.dir.x, s.dir.y);
    if (std::fabs(length - 1) > 1e-3)
        add(out, i, who + ": dir " + point(s.dir) + " is not a unit vector");
    if (s.objective < objNone || s.objective > objDefend)
        add(out, i,
            who + ": objective " + std::to_string(s.objective) +
                " is none of none, destroy, defend");
    if (s.orders < orderFighter || s.orders > orderBase)
        add(out, i,
            who + ": orders " + std::to_string(s.orders) +
                " is none of fighter, guardLine, freighter, base: its mind does nothing");
    if (s.mind < mindNormal || s.mind > mindPatrolLine)
        add(out, i, who + ": mind " + std::to_string(s.mind) + " is not a mind state");
    homeBase(m, i, out);
}

// Ships whose leaders lead back to themselves: with a leader a mind keeps
// station on it instead of flying its route, so the ring only circles (and
// fights what comes near). A ring is named once, from its lowest slot, in the
// order of following; a ship that is its own leader has none.
void leaderRings(const MissionRefs& m, problems& out) {
    for (int i = 0; i < shipCount; ++i) {
        if (!present(m, i)) continue;
        std::vector<int> ring = {i};
        int j = shipRef(m.a[i].leader, i);
        while (j != ring.back() && j > i && present(m, j) && ring.size() < std::size_t(shipCount)) {
            ring.push_back(j);
            j = shipRef(m.a[j].leader, j);
        }
        if (j != i || ring.size() < 2) continue;
        std::string names;
        for (int k : ring) names += (names.empty() ? "" : ", ") + std::to_string(k);
        add(out, i, "ships " + names + " follow each other's lead in a ring: none of them leads",
            true);
    }
}

void followUps(const MissionRefs& m, const missionFileExists& exists, problems& out) {
    const std::pair<const char*, const char*> names[] = {{"success", m.sucfil},
                                                         {"failure", m.faifil}};
    for (const auto& [which, name] : names)
        if (!exists(name))
            add(out, -1, std::string(which) + " mission " + name + " is not beside it");
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
void message(const MissionRefs& m, problems& out) {
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
        add(out, -1, "message: the font has no glyph for " + missing + " (drawn as boxes)");

    int line = 1;
    double x = 10;
    bool wrapped = false;
    for (char c : text) {
        if (!wrapped && x > 640 - 4 * 2) {
            add(out, -1,
                "message: line " + std::to_string(line) +
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

std::vector<missionProblem> checkMissionState(const MissionRefs& m,
                                              const missionFileExists& exists) {
    problems out;
    objectives(m, out);
    playerShip(m, out);
    for (int i = 0; i < shipCount; ++i)
        if (present(m, i)) shipProblems(m, i, out);
    leaderRings(m, out);
    followUps(m, exists, out);
    message(m, out);
    return out;
}
