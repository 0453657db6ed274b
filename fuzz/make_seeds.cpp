// Writes the fuzzer's seed missions into a directory: the game's start (a lone
// Base), an editor-made mission with every design, side and link, and a fight
// saved in mid-course. Run once; the files are kept in fuzz/seeds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mission/mission_file.h"

namespace {

Mission missions[3];

void loneBase(Mission& m) {
    m.a[0] = ship(vec2(0, 0), typeBase, sideRed, true);
    std::memcpy(m.sucfil, "kvxmap.AAAA.kvx", fileNameSize);
}

void editorMission(Mission& m) {
    for (int i = 0; i < 15; ++i) {
        const int type = i % 5, side = i % 3;
        m.a[i] = ship(vec2(1000.0 * i - 7000, 500.0 * side), type, side, true);
        ship& s = m.a[i];
        s.homeBase = side; // ships 0, 1 and 2 are the three bases
        s.leader = i >= 3 ? i - 3 : i;
        s.target = (i + 1) % 15;
        s.orders = type == typeBase ? orderBase : i % 3;
        s.mind = i % 9;
        s.objective = i % 3;
        s.respawns = std::uint8_t(i == 0 ? respawnUnlimited : i % 4);
        s.waypoint = vec2(200.0 * i, -300);
        s.wayA = vec2(-5000, 2500);
        s.wayB = vec2(5000, -2500);
    }
    m.you = 4;
    m.sid = sideGreen;
    std::memcpy(m.sucfil, "kvxmap.B001.kvx", fileNameSize);
    std::memcpy(m.faifil, "kvxmap.F001.kvx", fileNameSize);
    std::strcpy(m.note, "Escort the transport to the green base.\nDo not lose it.");
}

void fight(Mission& m) {
    editorMission(m);
    for (int i = 0; i < 15; ++i) {
        ship& s = m.a[i];
        s.vel = vec2(10.5 * i - 70, 30 - 4.25 * i);
        s.spin = 0.05f * i - 0.3f;
        s.energy = 2.5f * i;
        s.mindTime = 0.5f + i;
        s.alive = i % 7 != 6;
        for (int k = 0; k < partSlots; ++k) {
            part& p = s.parts[k];
            if (p.kind == kindGun) p.reload = 0.1f * (k % 4);
            if (p.kind == kindEngine) p.lit = k % 2 == 1;
            if (p.kind != kindNone && (i + k) % 4 == 0) p.health *= 0.5f;
            if (p.kind != kindNone && (i + k) % 6 == 0) p.health = 0;
        }
    }
    std::strcpy(m.note, "Half way.");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    std::srand(1101);
    loneBase(missions[0]);
    editorMission(missions[1]);
    fight(missions[2]);
    const char* names[] = {"lone-base.kvx", "editor.kvx", "fight.kvx"};
    for (int n = 0; n < 3; ++n) {
        const std::string path = std::string(argv[1]) + "/" + names[n];
        const std::vector<std::string> messages = saveMission(path.c_str(), missions[n].refs());
        if (!messages.empty()) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), messages[0].c_str());
            return 1;
        }
    }
    return 0;
}
