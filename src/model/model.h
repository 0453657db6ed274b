// The three records of the world (ship, part, frag), the part attribute
// tables, the five ship designs and the ship's 1008-byte file image.
//
// The driver owns the whole world: 50 ships and 1500 frags in two fixed arrays.
// Ships refer to each other by slot index 0..49; a reference holding the ship's
// own index means none (no target, no leader, no home base). Everything else
// works on the arrays only for the length of a call.
#pragma once

#include <cstdint>

#include "geom/vec2.h"

// part.kind
enum { kindNone = 0, kindHull = 1, kindEngine = 2, kindGun = 3 };
// ship.side
enum { sideRed = 0, sideGreen = 1, sideBlue = 2 };
// ship.objective
enum { objNone = 0, objDestroy = 1, objDefend = 2 };
// ship.mind: the computer pilot's state
enum {
    mindNormal = 0,
    mindAttack = 1,
    mindAttack2 = 2,
    mindQuickRepair = 3,
    mindFollowLeader = 4,
    mindCompleteRepair = 5,
    mindFollowWaypoints = 6,
    mindDefendBase = 7,
    mindPatrolLine = 8,
};
// ship.orders
enum { orderFighter = 0, orderGuardLine = 1, orderFreighter = 2, orderBase = 3 };
// ship.respawns: 0 none, 1..254 that many, this value unlimited
enum { respawnUnlimited = 255 };
// frag.type: 0..2 are shots of the gun row of that number
enum { fragShot = 0, fragSpark = 3, fragBit = 4, fragFlash = 5, fragDebris = 6 };
// The design argument of the design constructor.
enum {
    typeBase = 0,
    typeLightFighter = 1,
    typeMediumFighter = 2,
    typeHeavyFighter = 3,
    typeTransport = 4,
};
// Columns of the attribute tables.
enum { attrHealth = 0, attrPower = 1, attrReload = 2, attrSize = 3 };

constexpr int shipCount = 50;
constexpr int fragCount = 1500;
constexpr int partSlots = 17;

// One hull plate, engine or gun of a ship. A slot is in use when kind != 0;
// the part is present (counted, drawn, hit) while health > 0 as well. A
// destroyed part keeps kind, index, parent and position, so repair can rebuild
// it in place.
struct part {
    vec2 pos;          // in the ship's frame: x ahead along dir, y along retext2(dir)
    float angle = 0;   // orientation against the ship's heading, in whole turns
    float health = 0;  // hit points; attrHealth when whole
    float reload = 0;  // guns: seconds until the gun may fire again
    bool lit = false;  // engines: burning this step (drawn with a flame)
    int kind = kindNone;
    int index = 0;     // row of the kind's attribute table
    int parent = 0;    // slot (0..16) of the part this one hangs on

    part() = default;
    part(vec2 pos, float angle, int kind, int index, int parent, bool built);
};

// A vessel of up to 17 parts. A slot is free when alive is false; a dead ship
// keeps its record (design, side, orders, references, respawns) so that it
// can be rebuilt at its home base.
struct ship {
    vec2 pos;              // world position of the centre
    vec2 dir;              // unit heading: the ship's x axis; its y axis is retext2(dir)
    vec2 vel;              // units per second
    float spin = 0;        // radians per second
    float energy = 0;
    float energyMax = 0;   // sum of attrPower of present parts, each step
    float mass = 0;        // sum of attrHealth of present parts, each step
    float radius = 0;      // reach of the ship, fixed when it is built
    bool alive = false;
    std::uint8_t respawns = 0;
    int side = sideRed;
    int objective = objNone;
    int mind = mindNormal;
    int core = 0;          // slot of the core part: while it is broken the ship is held in repair
    int target = 0;        // ship references, slot indices 0..49
    int probe = 0;
    int nearEnemy = 0;
    int nearShip = 0;
    int leader = 0;
    int homeBase = 0;
    int orders = orderFighter;
    vec2 waypoint;         // current destination
    vec2 wayA, wayB;       // the route
    float mindTime = 0;    // seconds left in the mind state
    char name[20] = {};    // the design's name, zero-terminated
    part parts[partSlots];

    ship() = default;
    // One of the five designs (typeBase .. typeTransport). The rand calls are
    // part of the behaviour: heading, references, then the design's variants.
    ship(vec2 pos, int type, int side, bool built);
};

// A shot, spark, bit, flash or piece of debris. A slot is free when life <= 0.
struct frag {
    vec2 pos;
    vec2 dir;           // orientation of bits and debris
    vec2 vel;
    float spin = 0;     // radians per second
    float life = 0;     // seconds left
    int type = 0;
    int partKind = 0;   // debris: the part it shows
    int partIndex = 0;

    frag() = default;
    // Shots (types 0..2, the gun's row), sparks (3) and bits (4).
    frag(vec2 pos, vec2 vel, int type);
    // Flashes (5: c = 0 small, 1 large) and debris (6: the part kind c and row d).
    frag(vec2 pos, vec2 vel, int type, int c, int d);
};

// An attribute of a part type: kind 1 hull, 2 engine, 3 gun; 0 for an empty
// slot, and for rows or columns outside the tables.
float getatt(int kind, int index, int attr);

// The rows of a kind's attribute table (hull 8, engine 2, gun 3); 0 for any
// other kind. A part's index is a row of its kind's table.
int tableRows(int kind);

// Copies at most len - 1 characters of src, stopping after its terminating zero.
void settext(char* dst, const char* src, int len);

// The ship as stored in mission files: 1008 bytes, little-endian, padding zero.
constexpr int shipImageSize = 1008;
constexpr int partImageSize = 48;
void writeShipImage(const ship& s, unsigned char* out);
ship readShipImage(const unsigned char* in);

// A ship reference read from ship `self`: the reference itself when it names a
// slot, else `self` (none). Our rule: references come from mission files too,
// so a value outside 0..49 reads as none instead of indexing past the array.
inline int shipRef(int ref, int self) { return ref >= 0 && ref < shipCount ? ref : self; }
