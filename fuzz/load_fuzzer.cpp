// The mission loader under libFuzzer: any bytes are loaded into a fresh
// mission, which must then be safe to play (every index in range, every number
// finite, the texts terminated, follow-up names only mission files of the
// working directory) and must save and load again unchanged and without a
// message. A refused file must leave the mission as it was. Any breach aborts.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mission/mission_file.h"

namespace {

[[noreturn]] void breach(const char* what, int ship, int slot) {
    std::fprintf(stderr, "load_fuzzer: %s (ship %d, part %d)\n", what, ship, slot);
    std::abort();
}

void require(bool ok, const char* what, int ship = -1, int slot = -1) {
    if (!ok) breach(what, ship, slot);
}

bool between(int v, int lo, int hi) { return v >= lo && v <= hi; }
bool finite(double v) { return std::isfinite(v); }
bool finite(vec2 v) { return finite(v.x) && finite(v.y); }

bool missionFileName(const char* name) {
    if (name[fileNameSize - 1] != 0 || std::strlen(name) != 15) return false;
    if (std::strncmp(name, "kvxmap.", 7) != 0 || std::strcmp(name + 11, ".kvx") != 0) return false;
    for (int i = 7; i < 11; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return false;
    }
    return true;
}

void requireSafe(const Mission& m) {
    require(between(m.you, 0, shipCount - 1), "you out of range");
    require(between(m.sid, 0, 2), "sid out of range");
    require(m.note[noteSize - 1] == 0, "message unterminated");
    require(missionFileName(m.sucfil), "success file name");
    require(missionFileName(m.faifil), "failure file name");
    static const int rows[] = {0, 8, 2, 3}; // attribute table rows by kind
    for (int i = 0; i < shipCount; ++i) {
        const ship& s = m.a[i];
        for (int r : {s.target, s.probe, s.nearEnemy, s.nearShip, s.leader, s.homeBase})
            require(between(r, 0, shipCount - 1), "ship reference out of range", i);
        require(between(s.side, 0, 2), "side out of range", i);
        require(between(s.core, 0, partSlots - 1), "core out of range", i);
        require(s.name[sizeof(s.name) - 1] == 0, "name unterminated", i);
        for (vec2 v : {s.pos, s.dir, s.vel, s.waypoint, s.wayA, s.wayB})
            require(finite(v), "vector not finite", i);
        for (float v : {s.spin, s.energy, s.energyMax, s.mass, s.radius, s.mindTime})
            require(finite(v), "number not finite", i);
        bool inUse = s.alive;
        for (int k = 0; k < partSlots; ++k) {
            const part& p = s.parts[k];
            require(between(p.kind, 0, 3), "part kind out of range", i, k);
            if (p.kind != kindNone)
                require(between(p.index, 0, rows[p.kind] - 1), "part row out of range", i, k);
            require(between(p.parent, 0, partSlots - 1), "parent out of range", i, k);
            require(finite(p.pos), "part position not finite", i, k);
            for (float v : {p.angle, p.health, p.reload})
                require(finite(v), "part number not finite", i, k);
            inUse = inUse || p.kind != kindNone;
        }
        if (inUse) require(s.dir.x != 0 || s.dir.y != 0, "ship without heading", i);
    }
}

bool loadMessage(const std::string& s) {
    return s == "Error in file buffer. Misplaced char.\nAfter fail file position." ||
           s == "Error in file buffer. Misplaced char.\nAfter mission message position." ||
           s == "Error in file buffer. Misplaced char.\nAfter ship data position";
}

Mission first, second;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    first = Mission();
    const std::vector<unsigned char> before = missionBytes(first.refs());
    const std::vector<std::string> messages =
        loadMissionBytes(std::vector<unsigned char>(data, data + size), first.refs());

    if (messages.size() == 1 && messages[0] == "Failed to load file!\nIdentification code "
                                               "invalid!\nMost likely version difference.") {
        require(missionBytes(first.refs()) == before, "refused file changed the mission");
        return 0;
    }
    require(messages.size() <= 52, "more messages than separators");
    for (const std::string& s : messages) require(loadMessage(s), "unknown message");
    requireSafe(first);

    // What was loaded saves and loads back as it is.
    const std::vector<unsigned char> saved = missionBytes(first.refs());
    require(saved.size() == missionFileSize, "saved size");
    second = Mission();
    require(loadMissionBytes(saved, second.refs()).empty(), "saved mission reloads with messages");
    require(missionBytes(second.refs()) == saved, "saved mission reloads changed");
    return 0;
}
