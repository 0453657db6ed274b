// What the editor's input does to the mission: the eight tools on the map,
// the tool buttons with their sub-modes, the R key's extra action of each
// tool, the right button's pick of the template and N's next ship.
#include <cstdlib>

#include "ai/ai.h"
#include "editor/editor_internal.h"

namespace {

// One step up a cycle of 0..last; anything at or past the end starts again at
// 0 (and a value from a file can never overflow).
int stepCycle(int value, int last) { return value >= last ? 0 : value + 1; }

// A new template of one of the five designs at random, of the active side.
ship randomTemplate(vec2 w, int sid) { return ship(w, std::rand() % 5, sid, true); }

// Tool 0: the first frame of a press that finds something grabs it (a ship
// under the cursor first, else a route point within 5 pixels); the later
// frames of the press move what was grabbed.
void selectAndMove(EditorState& st, const EditorMission& m, vec2 w) {
    ship* ships = m.ships;
    if (st.hold < 0 || st.hold >= shipCount) {
        st.hold = -1;
        int i = shipUnder(ships, st.mPos, m.cam, m.zom);
        if (i >= 0) {
            st.hold = i;
            st.htyp = 0;
            m.you = i;
            pressName = "player's ship chosen";
            st.relv = ships[i].pos - w;
            return;
        }
        for (int k = 0; k < shipCount; ++k) {
            if (!ships[k].alive) continue;
            const vec2 points[3] = {ships[k].waypoint, ships[k].wayA, ships[k].wayB};
            for (int p = 0; p < 3; ++p) {
                if (retdis2(st.mPos, toScreen(points[p], m.cam, m.zom)) < 5) {
                    st.hold = k;
                    st.htyp = p + 1;
                    pressName = "route point moved";
                    return;
                }
            }
        }
        return;
    }
    ship& s = ships[st.hold];
    switch (st.htyp) {
    case 0:
        s.pos = w + st.relv;
        pressName = "ship moved";
        break;
    case 1:
        s.waypoint = w;
        break;
    case 2:
        s.wayA = w;
        break;
    case 3:
        s.wayB = w;
        break;
    default:
        break;
    }
}

// Tool 3: a copy of the template in the first free slot (or over a random
// ship when all 50 are taken), referring to nothing, its route one and a half
// radii ahead; it becomes the selected ship and a new template is drawn.
void addShip(EditorState& st, const EditorMission& m, vec2 w) {
    int n = findShip(m.ships);
    ship& s = m.ships[n];
    s = st.shp;
    s.target = s.leader = s.homeBase = n;
    s.waypoint = s.wayA = s.wayB = s.pos + (s.dir * s.radius) * 1.5;
    m.you = n;
    st.shp = randomTemplate(w, m.sid);
}

void toggleObjective(ship& s, int objective) {
    s.objective = s.objective == objective ? int(objNone) : objective;
}

void stepPilot(ship& s, int msub) {
    if (msub == 0)
        s.mind = stepCycle(s.mind, mindPatrolLine);
    else if (msub == 1)
        s.orders = stepCycle(s.orders, orderBase);
    else if (msub == 2)
        s.respawns = nextRespawns(s.respawns);
}

} // namespace

const char* pressName = "";

void namePress(const EditorState& st, int branch, int button) {
    static const char* const links[] = {"target set", "leader set", "home base set"};
    static const char* const pilots[] = {"mind stepped", "orders stepped", "respawns stepped"};
    const int sub = st.msub >= 0 && st.msub <= 2 ? st.msub : 0;
    switch (branch) {
    case pressNext: pressName = "next ship selected"; return;
    case pressRight: pressName = "player's ship chosen"; return;
    case pressExtra:
        pressName = st.mode == toolRemove ? "all ships removed"
                    : st.mode == toolShipAI ? "respawns converted"
                                            : "active colour chosen";
        return;
    default: break;
    }
    if (button >= 0) {
        pressName = "active colour chosen";
        return;
    }
    switch (st.mode) {
    case toolSelect: pressName = "player's ship chosen"; break;
    case toolColor: pressName = "ship recoloured"; break;
    case toolRemove: pressName = "ship removed"; break;
    case toolAdd: pressName = "ship placed"; break;
    case toolLink: pressName = links[sub]; break;
    case toolObjective: pressName = st.msub == 0 ? "marked destroy" : "marked defend"; break;
    case toolShipAI: pressName = pilots[sub]; break;
    default: pressName = "route copied"; break;
    }
}

std::uint8_t nextRespawns(std::uint8_t respawns) {
    if (respawns > 219) return 0;
    int t = int(respawns * 0.2);
    return std::uint8_t(respawns + t + 1);
}

void pressButton(EditorState& st, const EditorMission& m, int button, vec2 w) {
    switch (button) {
    case toolColor:
        if (st.mode == toolColor) m.sid = m.sid + 1;
        if (m.sid > sideBlue) m.sid = sideRed;
        break;
    case toolAdd:
        st.shp = randomTemplate(w, m.sid);
        break;
    case toolLink:
        if (st.mode == toolLink) st.msub = st.msub + 1;
        if (st.msub > 2) st.msub = 0;
        break;
    case toolObjective:
        if (st.mode == toolObjective) st.msub = st.msub + 1;
        if (st.msub > 1) st.msub = 0;
        break;
    case toolShipAI:
        if (st.mode == toolShipAI) st.msub = st.msub + 1;
        if (st.msub > 2) st.msub = 0;
        break;
    default:
        break;
    }
    if (button >= 0 && button < toolCount) st.mode = button;
}

void useTool(EditorState& st, const EditorMission& m, vec2 w) {
    // Select and colour act in every frame of a press, the others once.
    if (st.mode == toolSelect) return selectAndMove(st, m, w);
    if (st.mode != toolColor && st.keydw) return;
    if (st.mode == toolAdd) return addShip(st, m, w);

    int j = shipUnder(m.ships, st.mPos, m.cam, m.zom);
    if (j < 0) return;
    ship& s = m.ships[j];
    ship& own = m.ships[m.you];
    switch (st.mode) {
    case toolColor:
        s.side = m.sid;
        break;
    case toolRemove:
        s.alive = false;
        s.respawns = 0;
        break;
    case toolLink:
        if (st.msub == 0)
            own.target = j;
        else if (st.msub == 1)
            own.leader = j;
        else if (st.msub == 2)
            own.homeBase = j;
        break;
    case toolObjective:
        toggleObjective(s, st.msub == 0 ? objDestroy : objDefend);
        break;
    case toolShipAI:
        stepPilot(s, st.msub);
        break;
    case toolCopyWaypoints:
        s.waypoint = own.waypoint;
        s.wayA = own.wayA;
        s.wayB = own.wayB;
        break;
    default:
        break;
    }
}

void extraAction(EditorState& st, const EditorMission& m, vec2 w) {
    switch (st.mode) {
    case toolColor:
        m.sid = stepCycle(m.sid, sideBlue);
        break;
    case toolRemove:
        for (int i = 0; i < shipCount; ++i) {
            m.ships[i].alive = false;
            m.ships[i].respawns = 0;
        }
        break;
    case toolAdd:
        st.shp = randomTemplate(w, m.sid);
        break;
    case toolLink:
        st.msub = stepCycle(st.msub, 2);
        break;
    case toolShipAI:
        if (st.msub != 2) break;
        for (int i = 0; i < shipCount; ++i) {
            ship& s = m.ships[i];
            if (!s.alive) continue;
            if (s.respawns == 1)
                s.respawns = respawnUnlimited;
            else if (s.respawns == respawnUnlimited)
                s.respawns = 1;
        }
        break;
    default:
        break;
    }
}

void pickTemplate(EditorState& st, const EditorMission& m) {
    int j = shipUnder(m.ships, st.mPos, m.cam, m.zom);
    if (j < 0) return;
    m.you = j;
    st.shp = m.ships[j];
    m.sid = m.ships[j].side;
}

void nextShip(const EditorMission& m) {
    for (int i = m.you + 1; i < shipCount; ++i) {
        if (m.ships[i].alive) {
            m.you = i;
            return;
        }
    }
    for (int i = 0; i < m.you; ++i) {
        if (m.ships[i].alive) {
            m.you = i;
            return;
        }
    }
}
