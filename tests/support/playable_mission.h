// A mission the checks find nothing wrong with, for the tests of the checks
// and of kvxtool: a green base to defend with the player's fighter beside it
// (at home there, two respawns), a red base to destroy, and the mission's own
// file (kvxmap.TEST.kvx) as both follow-ups. Header-only.
#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>

#include "mission/mission_file.h"

// Every reference of s names nothing (its own slot).
inline void noRefs(ship& s, int self) {
    s.target = s.probe = s.nearEnemy = s.nearShip = s.leader = s.homeBase = self;
}

inline std::unique_ptr<Mission> playable() {
    auto m = std::make_unique<Mission>();
    std::srand(3);
    m->a[0] = ship(vec2(0, 0), typeBase, sideGreen, true);
    m->a[1] = ship(vec2(300, 0), typeHeavyFighter, sideGreen, true);
    m->a[2] = ship(vec2(5000, 0), typeBase, sideRed, true);
    for (int i = 0; i < 3; ++i) noRefs(m->a[i], i);
    m->a[0].objective = objDefend;
    m->a[2].objective = objDestroy;
    m->a[1].homeBase = 0;
    m->a[1].respawns = 2;
    m->you = 1;
    m->sid = sideGreen;
    std::strcpy(m->note, "TEST MISSION\nDESTROY THE RED BASE.");
    std::strcpy(m->sucfil, "kvxmap.TEST.kvx");
    std::strcpy(m->faifil, "kvxmap.TEST.kvx");
    return m;
}
