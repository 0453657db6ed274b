// The ship's 1008-byte image in mission files: every field little-endian at a
// fixed offset, padding zero. One field list serves both directions.
#include <bit>
#include <cstdint>
#include <cstring>

#include "model/model.h"

namespace {

// Byte offsets in the ship image.
namespace shipAt {
constexpr int pos = 0, dir = 16, vel = 32;
constexpr int spin = 48, energy = 52, energyMax = 56, mass = 60, radius = 64;
constexpr int alive = 68, respawns = 69; // 70..71 padding
constexpr int side = 72, objective = 76, mind = 80, core = 84;
constexpr int target = 88, probe = 92, nearEnemy = 96, nearShip = 100, leader = 104;
constexpr int homeBase = 108, orders = 112; // 116..119 padding
constexpr int waypoint = 120, wayA = 136, wayB = 152;
constexpr int mindTime = 168, name = 172, parts = 192;
} // namespace shipAt

// Byte offsets inside one part's image.
namespace partAt {
constexpr int pos = 0, angle = 16, health = 20, reload = 24;
constexpr int lit = 28;                           // 29..31 padding
constexpr int kind = 32, index = 36, parent = 40; // 44..47 padding
} // namespace partAt

constexpr int nameSize = sizeof(ship::name);
static_assert(nameSize == 20);
static_assert(shipAt::name + nameSize == shipAt::parts);
static_assert(shipAt::parts + partSlots * partImageSize == shipImageSize);

class Writer {
public:
    explicit Writer(unsigned char* out) : out(out) {}
    void vec(int at, const vec2& v) {
        u64(at, std::bit_cast<std::uint64_t>(v.x));
        u64(at + 8, std::bit_cast<std::uint64_t>(v.y));
    }
    void f32(int at, const float& v) { u32(at, std::bit_cast<std::uint32_t>(v)); }
    void i32(int at, const int& v) { u32(at, static_cast<std::uint32_t>(v)); }
    void flag(int at, const bool& v) { out[at] = v ? 1 : 0; }
    void byte(int at, const std::uint8_t& v) { out[at] = v; }
    void text(int at, const char (&t)[nameSize]) { std::memcpy(out + at, t, nameSize); }

private:
    void u32(int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
    }
    void u64(int at, std::uint64_t v) {
        for (int i = 0; i < 8; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
    }
    unsigned char* out;
};

class Reader {
public:
    explicit Reader(const unsigned char* in) : in(in) {}
    void vec(int at, vec2& v) {
        v.x = std::bit_cast<double>(u64(at));
        v.y = std::bit_cast<double>(u64(at + 8));
    }
    void f32(int at, float& v) { v = std::bit_cast<float>(u32(at)); }
    void i32(int at, int& v) { v = static_cast<std::int32_t>(u32(at)); }
    void flag(int at, bool& v) { v = in[at] != 0; }
    void byte(int at, std::uint8_t& v) { v = in[at]; }
    // A name read from a file is always terminated: its last byte is dropped,
    // so nothing that prints it can run past the end.
    void text(int at, char (&t)[nameSize]) {
        std::memcpy(t, in + at, nameSize);
        t[nameSize - 1] = 0;
    }

private:
    std::uint32_t u32(int at) const {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= std::uint32_t(in[at + i]) << (8 * i);
        return v;
    }
    std::uint64_t u64(int at) const {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= std::uint64_t(in[at + i]) << (8 * i);
        return v;
    }
    const unsigned char* in;
};

// Every field of the image, once: Ship is const ship for writing, ship for reading.
template <class IO, class Ship> void transfer(IO& io, Ship& s) {
    io.vec(shipAt::pos, s.pos);
    io.vec(shipAt::dir, s.dir);
    io.vec(shipAt::vel, s.vel);
    io.f32(shipAt::spin, s.spin);
    io.f32(shipAt::energy, s.energy);
    io.f32(shipAt::energyMax, s.energyMax);
    io.f32(shipAt::mass, s.mass);
    io.f32(shipAt::radius, s.radius);
    io.flag(shipAt::alive, s.alive);
    io.byte(shipAt::respawns, s.respawns);
    io.i32(shipAt::side, s.side);
    io.i32(shipAt::objective, s.objective);
    io.i32(shipAt::mind, s.mind);
    io.i32(shipAt::core, s.core);
    io.i32(shipAt::target, s.target);
    io.i32(shipAt::probe, s.probe);
    io.i32(shipAt::nearEnemy, s.nearEnemy);
    io.i32(shipAt::nearShip, s.nearShip);
    io.i32(shipAt::leader, s.leader);
    io.i32(shipAt::homeBase, s.homeBase);
    io.i32(shipAt::orders, s.orders);
    io.vec(shipAt::waypoint, s.waypoint);
    io.vec(shipAt::wayA, s.wayA);
    io.vec(shipAt::wayB, s.wayB);
    io.f32(shipAt::mindTime, s.mindTime);
    io.text(shipAt::name, s.name);
    for (int k = 0; k < partSlots; ++k) {
        auto& p = s.parts[k];
        const int at = shipAt::parts + partImageSize * k;
        io.vec(at + partAt::pos, p.pos);
        io.f32(at + partAt::angle, p.angle);
        io.f32(at + partAt::health, p.health);
        io.f32(at + partAt::reload, p.reload);
        io.flag(at + partAt::lit, p.lit);
        io.i32(at + partAt::kind, p.kind);
        io.i32(at + partAt::index, p.index);
        io.i32(at + partAt::parent, p.parent);
    }
}

} // namespace

void writeShipImage(const ship& s, unsigned char* out) {
    std::memset(out, 0, shipImageSize); // the padding
    Writer w(out);
    transfer(w, s);
}

ship readShipImage(const unsigned char* in) {
    ship s;
    Reader r(in);
    transfer(r, s);
    return s;
}
