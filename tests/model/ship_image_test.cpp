// The ship's 1008-byte file image: the offset and encoding of every field,
// zero padding, every byte written, and the round trip back to the record.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/model.h"

namespace {

using Image = std::vector<unsigned char>;

std::uint64_t le(const Image& b, int at, int size) {
    std::uint64_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}
double f64At(const Image& b, int at) { return std::bit_cast<double>(le(b, at, 8)); }
float f32At(const Image& b, int at) { return std::bit_cast<float>(std::uint32_t(le(b, at, 4))); }
int i32At(const Image& b, int at) { return std::int32_t(std::uint32_t(le(b, at, 4))); }

// A ship with a different value in every field, so a field written at another
// field's offset shows.
ship distinctive() {
    ship s;
    s.pos = vec2(1.0, -2.5);
    s.dir = vec2(0.6, -0.8);
    s.vel = vec2(30.25, -40.125);
    s.spin = 1.0f;
    s.energy = 52.5f;
    s.energyMax = 56.5f;
    s.mass = 60.5f;
    s.radius = 64.5f;
    s.alive = true;
    s.respawns = 200;
    s.side = 2;
    s.objective = 0x11223344;
    s.mind = 7;
    s.core = 16;
    s.target = 11;
    s.probe = 12;
    s.nearEnemy = 13;
    s.nearShip = 14;
    s.leader = 15;
    s.homeBase = 17;
    s.orders = -3;
    s.waypoint = vec2(120.5, -121.5);
    s.wayA = vec2(136.5, -137.5);
    s.wayB = vec2(152.5, -153.5);
    s.mindTime = 168.5f;
    std::strcpy(s.name, "Medium Fighter");
    for (int k = 0; k < partSlots; ++k) {
        part& p = s.parts[k];
        p.pos = vec2(k + 0.5, -k - 0.25);
        p.angle = 0.125f * k + 0.0625f;
        p.health = k + 20.5f;
        p.reload = k + 24.5f;
        p.lit = k % 2 == 1;
        p.kind = k % 4;
        p.index = 100 + k;
        p.parent = -1 - k;
    }
    return s;
}

Image write(const ship& s, unsigned char fill) {
    Image b(shipImageSize, fill);
    writeShipImage(s, b.data());
    return b;
}

void expectSameFields(const ship& a, const ship& b) {
    auto same = [](vec2 v, vec2 w) { return v.x == w.x && v.y == w.y; };
    EXPECT_TRUE(same(a.pos, b.pos));
    EXPECT_TRUE(same(a.dir, b.dir));
    EXPECT_TRUE(same(a.vel, b.vel));
    EXPECT_EQ(a.spin, b.spin);
    EXPECT_EQ(a.energy, b.energy);
    EXPECT_EQ(a.energyMax, b.energyMax);
    EXPECT_EQ(a.mass, b.mass);
    EXPECT_EQ(a.radius, b.radius);
    EXPECT_EQ(a.alive, b.alive);
    EXPECT_EQ(a.respawns, b.respawns);
    EXPECT_EQ(a.side, b.side);
    EXPECT_EQ(a.objective, b.objective);
    EXPECT_EQ(a.mind, b.mind);
    EXPECT_EQ(a.core, b.core);
    EXPECT_EQ(a.target, b.target);
    EXPECT_EQ(a.probe, b.probe);
    EXPECT_EQ(a.nearEnemy, b.nearEnemy);
    EXPECT_EQ(a.nearShip, b.nearShip);
    EXPECT_EQ(a.leader, b.leader);
    EXPECT_EQ(a.homeBase, b.homeBase);
    EXPECT_EQ(a.orders, b.orders);
    EXPECT_TRUE(same(a.waypoint, b.waypoint));
    EXPECT_TRUE(same(a.wayA, b.wayA));
    EXPECT_TRUE(same(a.wayB, b.wayB));
    EXPECT_EQ(a.mindTime, b.mindTime);
    EXPECT_EQ(std::memcmp(a.name, b.name, sizeof a.name), 0);
    for (int k = 0; k < partSlots; ++k) {
        const part &p = a.parts[k], &q = b.parts[k];
        EXPECT_TRUE(same(p.pos, q.pos)) << "part " << k;
        EXPECT_EQ(p.angle, q.angle) << "part " << k;
        EXPECT_EQ(p.health, q.health) << "part " << k;
        EXPECT_EQ(p.reload, q.reload) << "part " << k;
        EXPECT_EQ(p.lit, q.lit) << "part " << k;
        EXPECT_EQ(p.kind, q.kind) << "part " << k;
        EXPECT_EQ(p.index, q.index) << "part " << k;
        EXPECT_EQ(p.parent, q.parent) << "part " << k;
    }
}

TEST(ShipImage, EveryFieldAtItsOffset) {
    const ship s = distinctive();
    const Image b = write(s, 0xA5);
    EXPECT_EQ(f64At(b, 0), 1.0);
    EXPECT_EQ(f64At(b, 8), -2.5);
    EXPECT_EQ(f64At(b, 16), 0.6);
    EXPECT_EQ(f64At(b, 24), -0.8);
    EXPECT_EQ(f64At(b, 32), 30.25);
    EXPECT_EQ(f64At(b, 40), -40.125);
    EXPECT_EQ(f32At(b, 48), 1.0f);
    EXPECT_EQ(f32At(b, 52), 52.5f);
    EXPECT_EQ(f32At(b, 56), 56.5f);
    EXPECT_EQ(f32At(b, 60), 60.5f);
    EXPECT_EQ(f32At(b, 64), 64.5f);
    EXPECT_EQ(b[68], 1);
    EXPECT_EQ(b[69], 200);
    EXPECT_EQ(i32At(b, 72), 2);
    EXPECT_EQ(i32At(b, 76), 0x11223344);
    EXPECT_EQ(i32At(b, 80), 7);
    EXPECT_EQ(i32At(b, 84), 16);
    EXPECT_EQ(i32At(b, 88), 11);
    EXPECT_EQ(i32At(b, 92), 12);
    EXPECT_EQ(i32At(b, 96), 13);
    EXPECT_EQ(i32At(b, 100), 14);
    EXPECT_EQ(i32At(b, 104), 15);
    EXPECT_EQ(i32At(b, 108), 17);
    EXPECT_EQ(i32At(b, 112), -3);
    EXPECT_EQ(f64At(b, 120), 120.5);
    EXPECT_EQ(f64At(b, 128), -121.5);
    EXPECT_EQ(f64At(b, 136), 136.5);
    EXPECT_EQ(f64At(b, 144), -137.5);
    EXPECT_EQ(f64At(b, 152), 152.5);
    EXPECT_EQ(f64At(b, 160), -153.5);
    EXPECT_EQ(f32At(b, 168), 168.5f);
    EXPECT_EQ(std::memcmp(&b[172], "Medium Fighter\0\0\0\0\0\0", 20), 0);
    for (int k = 0; k < partSlots; ++k) {
        const int at = 192 + 48 * k;
        EXPECT_EQ(f64At(b, at + 0), k + 0.5) << "part " << k;
        EXPECT_EQ(f64At(b, at + 8), -k - 0.25) << "part " << k;
        EXPECT_EQ(f32At(b, at + 16), 0.125f * k + 0.0625f) << "part " << k;
        EXPECT_EQ(f32At(b, at + 20), k + 20.5f) << "part " << k;
        EXPECT_EQ(f32At(b, at + 24), k + 24.5f) << "part " << k;
        EXPECT_EQ(b[at + 28], k % 2) << "part " << k;
        EXPECT_EQ(i32At(b, at + 32), k % 4) << "part " << k;
        EXPECT_EQ(i32At(b, at + 36), 100 + k) << "part " << k;
        EXPECT_EQ(i32At(b, at + 40), -1 - k) << "part " << k;
    }
}

TEST(ShipImage, LittleEndianBytes) {
    const Image b = write(distinctive(), 0);
    const unsigned char posX[] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}; // 1.0
    EXPECT_EQ(std::memcmp(&b[0], posX, 8), 0);
    const unsigned char spin[] = {0, 0, 0x80, 0x3F}; // 1.0f
    EXPECT_EQ(std::memcmp(&b[48], spin, 4), 0);
    const unsigned char objective[] = {0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(std::memcmp(&b[76], objective, 4), 0);
    const unsigned char orders[] = {0xFD, 0xFF, 0xFF, 0xFF}; // -3
    EXPECT_EQ(std::memcmp(&b[112], orders, 4), 0);
}

TEST(ShipImage, PaddingZeroAndEveryByteWritten) {
    const ship s = distinctive();
    const Image clean = write(s, 0x00);
    const Image dirty = write(s, 0xFF);
    EXPECT_EQ(clean, dirty); // nothing of the buffer's old contents survives
    for (int at : {70, 71, 116, 117, 118, 119}) EXPECT_EQ(dirty[at], 0) << "byte " << at;
    for (int k = 0; k < partSlots; ++k)
        for (int off : {29, 30, 31, 44, 45, 46, 47})
            EXPECT_EQ(dirty[192 + 48 * k + off], 0) << "part " << k << " byte " << off;
}

TEST(ShipImage, RoundTrip) {
    std::srand(5);
    const ship built(vec2(-1500.75, 2200.125), typeTransport, sideGreen, false);
    for (const ship& s : {distinctive(), built, ship()}) {
        const Image first = write(s, 0xA5);
        const ship back = readShipImage(first.data());
        expectSameFields(s, back);
        EXPECT_EQ(write(back, 0x5A), first);
    }
}

TEST(ShipImage, ReaderTakesAnyByteAndIgnoresPadding) {
    Image b = write(distinctive(), 0);
    b[68] = 2;            // alive: any non-zero byte is true
    b[192 + 28] = 0x80;   // part 0 lit
    b[192 + 48 + 28] = 0; // part 1 lit off
    for (int at : {70, 71, 116, 117, 118, 119}) b[at] = 0xEE;
    for (int k = 0; k < partSlots; ++k)
        for (int off : {29, 30, 31, 44, 45, 46, 47}) b[192 + 48 * k + off] = 0xEE;
    const ship s = readShipImage(b.data());
    EXPECT_TRUE(s.alive);
    EXPECT_TRUE(s.parts[0].lit);
    EXPECT_FALSE(s.parts[1].lit);
    ship want = distinctive();
    want.parts[0].lit = true;
    want.parts[1].lit = false;
    expectSameFields(want, s);
    // Written back, bools are 0/1 and padding is zero again.
    const Image again = write(s, 0);
    EXPECT_EQ(again[68], 1);
    EXPECT_EQ(again[192 + 28], 1);
    EXPECT_EQ(again[70], 0);
    EXPECT_EQ(again[192 + 47], 0);
}

TEST(ShipImage, NameFromAFileIsTerminated) {
    Image b = write(distinctive(), 0);
    std::memset(&b[172], 'A', 20);
    const ship s = readShipImage(b.data());
    EXPECT_EQ(std::string(s.name), std::string(19, 'A'));
}

} // namespace
