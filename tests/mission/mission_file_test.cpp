// Mission files: the 51052-byte layout, save and load round trips (a fight
// saved mid-way comes back exactly), every load message, short and malformed
// files, the repair that makes any file safe to play, failed saves that
// leave the old file as it was, and saves through links and permissions.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "mission/mission_file.h"
#include "model/model.h"
#include "support/process.h"
#include "support/unprivileged.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;
using Messages = std::vector<std::string>;

const std::string saveFailed = "Failed to save file!\nAccess denied!";
const std::string notFound = "Failed to load file!\nFile not found or Access denied!";
const std::string badCode =
    "Failed to load file!\nIdentification code invalid!\nMost likely version difference.";
const std::string afterHeader = "Error in file buffer. Misplaced char.\nAfter fail file position.";
const std::string afterNote =
    "Error in file buffer. Misplaced char.\nAfter mission message position.";
const std::string afterShip = "Error in file buffer. Misplaced char.\nAfter ship data position";

constexpr int shipAt(int k) { return 602 + 1009 * k; }
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr float nanf = std::numeric_limits<float>::quiet_NaN();
constexpr float inff = std::numeric_limits<float>::infinity();

// The driver's mission state, owned by the test.
std::unique_ptr<Mission> fresh() { return std::make_unique<Mission>(); }

Bytes image(const ship& s) {
    Bytes b(shipImageSize);
    writeShipImage(s, b.data());
    return b;
}

Bytes bytesOf(Mission& m) { return missionBytes(m.refs()); }

std::uint64_t le(const Bytes& b, int at, int size) {
    std::uint64_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}
int i32At(const Bytes& b, int at) { return std::int32_t(std::uint32_t(le(b, at, 4))); }
void setI32(Bytes& b, int at, int v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(std::uint32_t(v) >> 8 * i);
}

// A mission in the middle of a fight: ships of every design in motion and
// turning, with energy, damaged and destroyed parts, guns reloading, engines
// burning, minds in their states and timers running, targets and leaders set,
// a dead ship waiting to respawn, and a message with bytes after its end.
std::unique_ptr<Mission> fightMission() {
    auto m = fresh();
    std::srand(2024);
    m->a[0] = ship(vec2(0, 0), typeBase, sideRed, true);
    m->a[1] = ship(vec2(400.5, -120.25), typeLightFighter, sideRed, true);
    m->a[2] = ship(vec2(-800, 900.125), typeMediumFighter, sideGreen, true);
    m->a[3] = ship(vec2(2500, 2500), typeHeavyFighter, sideBlue, true);
    m->a[4] = ship(vec2(-3000, 1200), typeTransport, sideGreen, false); // still being built
    m->a[5] = ship(vec2(10000, -10000), typeBase, sideBlue, true);
    m->a[8] = ship(vec2(-29999.5, 29999.5), typeLightFighter, sideBlue, true);
    m->a[49] = ship(vec2(123.456, -654.321), typeHeavyFighter, sideGreen, true);
    const int live[] = {0, 1, 2, 3, 4, 5, 8, 49};
    for (int n = 0; n < 8; ++n) {
        ship& s = m->a[live[n]];
        s.vel = vec2(12.5 * n - 20, 7.25 - 3.0 * n);
        s.spin = 0.1f * n - 0.25f;
        s.energy = 3.5f + n;
        s.energyMax = 10.25f + n;
        s.mass = 4.5f + n;
        s.mind = n + 1; // 1..8, every state but normal
        s.mindTime = 1.75f + 0.5f * n;
        s.objective = n % 3;
        s.respawns = std::uint8_t(n == 0 ? respawnUnlimited : n);
        s.target = live[(n + 3) % 8];
        s.probe = live[(n + 5) % 8];
        s.nearEnemy = live[(n + 2) % 8];
        s.nearShip = live[(n + 1) % 8];
        s.leader = n % 2 ? live[n] : 0; // odd ones follow nobody
        s.homeBase = s.side == sideBlue ? 5 : 0;
        s.waypoint = vec2(100.0 * n, -50.0 * n);
        s.wayA = vec2(-2000.5, 300);
        s.wayB = vec2(2000.25, -300);
        for (int k = 0; k < partSlots; ++k) {
            part& p = s.parts[k];
            if (p.kind == kindGun) p.reload = 0.05f * (k + 1);
            if (p.kind == kindEngine) p.lit = k % 2 == 0;
            if (p.kind != kindNone && (k + n) % 3 == 0) p.health *= 0.375f; // damaged
            if (p.kind != kindNone && (k + n) % 5 == 0) p.health = 0;       // shot away
        }
    }
    // Dead, waiting at its home base with respawns left; its parts all gone.
    m->a[6] = ship(vec2(50, 60), typeMediumFighter, sideRed, true);
    m->a[6].alive = false;
    m->a[6].respawns = 3;
    for (part& p : m->a[6].parts) p.health = 0;

    m->you = 2;
    m->sid = sideGreen;
    std::memcpy(m->sucfil, "kvxmap.AB12.kvx", fileNameSize);
    std::memcpy(m->faifil, "kvxmap.Z9Z9.kvx", fileNameSize);
    std::strcpy(m->note, "Hold the line.\nThe blue base must fall.");
    m->note[400] = 'Q'; // left over in the buffer after an edit: saved as it is
    return m;
}

bool hasHeading(const ship& s) {
    if (s.alive) return true;
    for (const part& p : s.parts)
        if (p.kind != kindNone) return true;
    return false;
}

// What is wrong with the mission for play, independently of the code under
// test; empty when it is safe.
std::string unsafety(const Mission& m) {
    std::ostringstream out;
    auto finite = [](double v) { return std::isfinite(v); };
    auto finiteVec = [&](vec2 v) { return finite(v.x) && finite(v.y); };
    if (m.you < 0 || m.you > 49) out << "you " << m.you << "; ";
    if (m.sid < 0 || m.sid > 2) out << "sid " << m.sid << "; ";
    if (m.note[499] != 0) out << "message unterminated; ";
    for (const char* name : {m.sucfil, m.faifil}) {
        if (std::memchr(name, 0, fileNameSize) == nullptr) {
            out << "file name unterminated; ";
            continue;
        }
        const std::string n = name;
        const bool mission = n.size() == 15 && n.starts_with("kvxmap.") && n.ends_with(".kvx") &&
                             std::all_of(n.begin() + 7, n.begin() + 11, [](char c) {
                                 return std::isdigit(static_cast<unsigned char>(c)) ||
                                        std::isupper(static_cast<unsigned char>(c));
                             });
        if (!mission) out << "file name " << n << "; ";
    }
    for (int i = 0; i < shipCount; ++i) {
        const ship& s = m.a[i];
        const std::string at = "ship " + std::to_string(i) + " ";
        for (int r : {s.target, s.probe, s.nearEnemy, s.nearShip, s.leader, s.homeBase})
            if (r < 0 || r > 49) out << at << "reference " << r << "; ";
        if (s.side < 0 || s.side > 2) out << at << "side " << s.side << "; ";
        if (s.core < 0 || s.core > 16) out << at << "core " << s.core << "; ";
        if (s.name[19] != 0) out << at << "name unterminated; ";
        for (vec2 v : {s.pos, s.dir, s.vel, s.waypoint, s.wayA, s.wayB})
            if (!finiteVec(v)) out << at << "vector not finite; ";
        for (float v : {s.spin, s.energy, s.energyMax, s.mass, s.radius, s.mindTime})
            if (!finite(v)) out << at << "number not finite; ";
        if (hasHeading(s) && s.dir.x == 0 && s.dir.y == 0) out << at << "no heading; ";
        for (int k = 0; k < partSlots; ++k) {
            const part& p = s.parts[k];
            const std::string pat = at + "part " + std::to_string(k) + " ";
            static const int rows[] = {0, 8, 2, 3};
            if (p.kind < 0 || p.kind > 3) {
                out << pat << "kind " << p.kind << "; ";
            } else if (p.kind != kindNone && (p.index < 0 || p.index >= rows[p.kind])) {
                out << pat << "index " << p.index << "; ";
            }
            if (p.parent < 0 || p.parent > 16) out << pat << "parent " << p.parent << "; ";
            if (!finiteVec(p.pos)) out << pat << "position not finite; ";
            for (float v : {p.angle, p.health, p.reload})
                if (!finite(v)) out << pat << "number not finite; ";
        }
    }
    return out.str();
}

bool isLoadMessage(const std::string& s) {
    return s == badCode || s == afterHeader || s == afterNote || s == afterShip;
}

// Loads bytes into a fresh mission.
std::unique_ptr<Mission> loaded(const Bytes& b, Messages* messages = nullptr) {
    auto m = fresh();
    Messages got = loadMissionBytes(b, m->refs());
    if (messages) *messages = got;
    return m;
}

void expectSameMission(Mission& got, Mission& want) {
    for (int k = 0; k < shipCount; ++k)
        EXPECT_EQ(image(got.a[k]), image(want.a[k])) << "ship " << k;
    EXPECT_EQ(got.you, want.you);
    EXPECT_EQ(got.sid, want.sid);
    EXPECT_EQ(std::memcmp(got.sucfil, want.sucfil, fileNameSize), 0);
    EXPECT_EQ(std::memcmp(got.faifil, want.faifil, fileNameSize), 0);
    EXPECT_EQ(std::memcmp(got.note, want.note, noteSize), 0);
}

// The names in a folder, sorted.
std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A directory of its own for each test, removed afterwards.
class MissionFileOnDisk : public testing::Test {
protected:
    std::vector<std::string> entries() const { return namesIn(dir); }
    ScratchDir scratch{"korvane-mission-test"};
    const fs::path dir = scratch.path();
};

// --- Layout and round trips ---

TEST_F(MissionFileOnDisk, SavedFileLayout) {
    auto m = fightMission();
    const fs::path path = dir / "kvxmap.AAAA.kvx";
    EXPECT_EQ(saveMission(path.c_str(), m->refs()), Messages{});
    const Bytes b = readBytes(path);
    ASSERT_EQ(b.size(), 51052u);
    EXPECT_EQ(entries(), std::vector<std::string>{"kvxmap.AAAA.kvx"}); // no temporary left
    EXPECT_EQ(b, bytesOf(*m));

    const Bytes code = {0x4D, 0x04, 0x00, 0x00}; // 1101, little-endian
    EXPECT_TRUE(std::equal(code.begin(), code.end(), b.begin()));
    EXPECT_EQ(i32At(b, 4), 2);
    EXPECT_EQ(i32At(b, 8), 1);
    EXPECT_EQ(std::memcmp(&b[12], "kvxmap.AB12.kvx", 16), 0);
    EXPECT_EQ(std::memcmp(&b[28], "kvxmap.Z9Z9.kvx", 16), 0);
    for (int at = 44; at < 100; ++at) EXPECT_EQ(b[at], 0) << "header byte " << at;
    EXPECT_EQ(b[100], 0x0A);
    EXPECT_EQ(std::memcmp(&b[101], m->note, 500), 0);
    EXPECT_EQ(b[101 + 400], 'Q'); // the whole buffer, not just the text
    EXPECT_EQ(b[601], 0x0A);
    for (int k = 0; k < shipCount; ++k) {
        EXPECT_TRUE(
            std::equal(b.begin() + shipAt(k), b.begin() + shipAt(k) + 1008, image(m->a[k]).begin()))
            << "ship " << k;
        EXPECT_EQ(b[shipAt(k) + 1008], 0x0A) << "ship " << k;
    }
}

TEST_F(MissionFileOnDisk, FightSavedMidwayLoadsExactlyAsWritten) {
    auto m = fightMission();
    const fs::path path = dir / "kvxmap.FGHT.kvx";
    ASSERT_EQ(saveMission(path.c_str(), m->refs()), Messages{});

    auto back = fresh();
    back->you = 7;
    back->sid = 2;
    EXPECT_EQ(loadMission(path.c_str(), back->refs()), Messages{});
    expectSameMission(*back, *m);
    EXPECT_EQ(bytesOf(*back), readBytes(path)); // nothing was repaired
    // The running state came back, not just the design.
    EXPECT_EQ(back->a[1].vel, m->a[1].vel);
    EXPECT_FALSE(back->a[6].alive);
    EXPECT_EQ(back->a[6].respawns, 3);
    EXPECT_EQ(back->a[0].respawns, respawnUnlimited);
    EXPECT_EQ(back->a[49].mind, 8);
    EXPECT_EQ(back->a[2].dir, m->a[2].dir);
    EXPECT_EQ(back->a[20].dir, vec2(0, 0)); // a free slot stays as it was
    EXPECT_EQ(back->note[400], 'Q');
}

TEST_F(MissionFileOnDisk, SaveReplacesTheOldFile) {
    const fs::path path = dir / "kvxmap.0000.kvx";
    auto first = fightMission();
    ASSERT_EQ(saveMission(path.c_str(), first->refs()), Messages{});
    auto second = fresh();
    second->a[3] = ship(vec2(1, 2), typeTransport, sideBlue, true);
    second->you = 3;
    std::strcpy(second->note, "Second");
    ASSERT_EQ(saveMission(path.c_str(), second->refs()), Messages{});
    EXPECT_EQ(readBytes(path), bytesOf(*second));
    EXPECT_EQ(entries(), std::vector<std::string>{"kvxmap.0000.kvx"});
}

TEST(MissionFile, MessageOf499CharactersKeepsItsTerminator) {
    auto m = fightMission();
    std::memset(m->note, 'x', 499);
    m->note[499] = 0;
    const Bytes b = bytesOf(*m);
    EXPECT_EQ(b[101 + 498], 'x');
    EXPECT_EQ(b[600], 0);
    Messages messages;
    auto back = loaded(b, &messages);
    EXPECT_EQ(messages, Messages{});
    EXPECT_EQ(std::strlen(back->note), 499u);
    EXPECT_EQ(std::memcmp(back->note, m->note, 500), 0);
}

// --- Files that are refused ---

TEST_F(MissionFileOnDisk, WrongCodeLeavesTheMissionUntouched) {
    auto source = fresh();
    source->a[0] = ship(vec2(), typeBase, sideBlue, true);
    source->you = 0;
    const Bytes good = bytesOf(*source);
    // Near misses: another version, the code big-endian, a byte off.
    for (int code : {1100, 1102, 0, -1, 0x4D040000, 1101 + 0x10000}) {
        Bytes b = good;
        setI32(b, 0, code);
        auto m = fightMission();
        const Bytes before = bytesOf(*m);
        EXPECT_EQ(loadMissionBytes(b, m->refs()), Messages{badCode}) << code;
        EXPECT_EQ(bytesOf(*m), before) << code;

        const fs::path path = dir / "kvxmap.CODE.kvx";
        writeBytes(path, b);
        EXPECT_EQ(loadMission(path.c_str(), m->refs()), Messages{badCode}) << code;
        EXPECT_EQ(bytesOf(*m), before) << code;
    }
}

TEST_F(MissionFileOnDisk, MissingFileOrDirectoryIsNotFound) {
    auto m = fightMission();
    const Bytes before = bytesOf(*m);
    const fs::path missing = dir / "kvxmap.NONE.kvx";
    EXPECT_EQ(loadMission(missing.c_str(), m->refs()), Messages{notFound});
    const fs::path folder = dir / "kvxmap.DIRS.kvx";
    fs::create_directory(folder);
    EXPECT_EQ(loadMission(folder.c_str(), m->refs()), Messages{notFound});
    EXPECT_EQ(bytesOf(*m), before);
}

// --- Separators ---

TEST(MissionFile, EachMisplacedSeparatorIsReportedAndTheLoadGoesOn) {
    auto m = fightMission();
    const Bytes good = bytesOf(*m);
    std::vector<std::pair<int, std::string>> separators = {{100, afterHeader}, {601, afterNote}};
    for (int k = 0; k < shipCount; ++k) separators.push_back({shipAt(k) + 1008, afterShip});
    for (const auto& [at, text] : separators) {
        Bytes b = good;
        b[at] = 0x0D;
        Messages messages;
        auto back = loaded(b, &messages);
        EXPECT_EQ(messages, Messages{text}) << "separator at " << at;
        expectSameMission(*back, *m);
    }
}

TEST(MissionFile, SeveralMisplacedSeparatorsReportedInFileOrder) {
    auto m = fightMission();
    Bytes b = bytesOf(*m);
    b[100] = 'X';
    b[601] = 0;
    b[shipAt(0) + 1008] = 0xFF;
    b[shipAt(30) + 1008] = ' ';
    b[shipAt(49) + 1008] = 0x0B;
    Messages messages;
    auto back = loaded(b, &messages);
    EXPECT_EQ(messages, (Messages{afterHeader, afterNote, afterShip, afterShip, afterShip}));
    expectSameMission(*back, *m);
}

// --- Short files: reads past the end give EOF (0xFF) ---

TEST(MissionFile, ShortFiles) {
    auto original = fightMission();
    const Bytes whole = bytesOf(*original);
    struct Case {
        int length;
        bool refused;       // the identification code is incomplete
        bool headerMessage; // the separator after the header is missing
        bool noteMessage;
        int shipMessages;
    };
    const Case cases[] = {
        {0, true, false, false, 0},      {1, true, false, false, 0},
        {3, true, false, false, 0},      {4, false, true, true, 50},
        {50, false, true, true, 50},     {100, false, true, true, 50},
        {101, false, false, true, 50},   {600, false, false, true, 50},
        {601, false, false, true, 50},   {602, false, false, false, 50},
        {1610, false, false, false, 50}, {1611, false, false, false, 49},
        {5000, false, false, false, 46}, {51051, false, false, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("length " + std::to_string(c.length));
        const Bytes b(whole.begin(), whole.begin() + c.length);
        auto m = fresh();
        m->a[9] = ship(vec2(5, 5), typeHeavyFighter, sideGreen, true);
        m->you = 9;
        const Bytes before = bytesOf(*m);
        const Messages messages = loadMissionBytes(b, m->refs());
        Messages want;
        if (c.refused) want.push_back(badCode);
        if (c.headerMessage) want.push_back(afterHeader);
        if (c.noteMessage) want.push_back(afterNote);
        for (int k = 0; k < c.shipMessages; ++k) want.push_back(afterShip);
        EXPECT_EQ(messages, want);
        EXPECT_EQ(unsafety(*m), "");
        if (c.refused) {
            EXPECT_EQ(bytesOf(*m), before);
            continue;
        }
        // What the file does hold is taken as written.
        if (c.length >= 44) {
            EXPECT_EQ(m->you, 2);
            EXPECT_EQ(m->sid, 1);
            EXPECT_EQ(std::memcmp(m->sucfil, original->sucfil, 16), 0);
            EXPECT_EQ(std::memcmp(m->faifil, original->faifil, 16), 0);
        }
        if (c.length >= 600) {
            EXPECT_EQ(std::memcmp(m->note, original->note, 499), 0);
        }
        for (int k = 0; k < shipCount && shipAt(k) + 1008 <= c.length; ++k)
            EXPECT_EQ(image(m->a[k]), image(original->a[k])) << "ship " << k;
    }
}

// --- The repair ---

TEST(MissionFile, OutOfRangeIndicesAreRepaired) {
    auto m = fightMission();
    m->you = 50;
    m->sid = -1;
    ship& refs = m->a[10]; // every reference out, each a different way
    refs = ship(vec2(7, 7), typeLightFighter, sideRed, true);
    refs.target = 50;
    refs.probe = -1;
    refs.nearEnemy = INT_MIN;
    refs.nearShip = INT_MAX;
    refs.leader = 1000;
    refs.homeBase = 49; // in range: kept
    refs.side = 3;
    refs.core = 17;
    ship& low = m->a[11];
    low = ship(vec2(8, 8), typeMediumFighter, sideGreen, true);
    low.target = low.probe = low.nearEnemy = low.nearShip = low.leader = low.homeBase = 0;
    low.side = -1;
    low.core = -1;
    ship& edge = m->a[12];
    edge = ship(vec2(9, 9), typeBase, sideBlue, true);
    edge.side = 2;
    edge.core = 16;
    // Base parts with kinds, rows and parents set by hand around every edge.
    struct PartCase {
        int kind, index, parent;
        bool kept;
        int parentAfter;
    };
    const PartCase partCases[partSlots] = {
        {4, 0, 0, false, 0},
        {-1, 0, 0, false, 0},
        {kindHull, 8, 0, false, 0},
        {kindHull, 7, 0, true, 0},
        {kindHull, -1, 0, false, 0},
        {kindEngine, 2, 0, false, 0},
        {kindEngine, 1, 0, true, 0},
        {kindGun, 3, 0, false, 0},
        {kindGun, -1, 0, false, 0},
        {kindGun, 2, 16, true, 16},
        {kindHull, 0, 17, true, 10},
        {kindHull, 0, -1, true, 11},
        {kindEngine, 0, INT_MAX, true, 12},
        {INT_MIN, 0, 0, false, 0},
        {kindHull, 6, 0, true, 0},
        {kindGun, 0, 15, true, 15},
        {kindEngine, 0, 3, true, 3},
    };
    for (int k = 0; k < partSlots; ++k) {
        part& p = edge.parts[k];
        p = part(vec2(k, -k), 0.25f, partCases[k].kind, partCases[k].index, partCases[k].parent,
                 true);
        p.health = 1.5f;
    }
    Messages messages;
    auto back = loaded(bytesOf(*m), &messages);
    EXPECT_EQ(messages, Messages{});
    EXPECT_EQ(back->you, 0);
    EXPECT_EQ(back->sid, 0);

    const ship& r = back->a[10];
    EXPECT_EQ(r.target, 10);
    EXPECT_EQ(r.probe, 10);
    EXPECT_EQ(r.nearEnemy, 10);
    EXPECT_EQ(r.nearShip, 10);
    EXPECT_EQ(r.leader, 10);
    EXPECT_EQ(r.homeBase, 49);
    EXPECT_EQ(r.side, 0);
    EXPECT_EQ(r.core, 0);
    const ship& l = back->a[11];
    for (int ref : {l.target, l.probe, l.nearEnemy, l.nearShip, l.leader, l.homeBase})
        EXPECT_EQ(ref, 0);
    EXPECT_EQ(l.side, 0);
    EXPECT_EQ(l.core, 0);
    const ship& e = back->a[12];
    EXPECT_EQ(e.side, 2);
    EXPECT_EQ(e.core, 16);
    for (int k = 0; k < partSlots; ++k) {
        const part& p = e.parts[k];
        const PartCase& c = partCases[k];
        SCOPED_TRACE("slot " + std::to_string(k));
        if (c.kept) {
            EXPECT_EQ(p.kind, c.kind);
            EXPECT_EQ(p.index, c.index);
            EXPECT_EQ(p.parent, c.parentAfter);
            EXPECT_EQ(p.health, 1.5f);
            EXPECT_EQ(p.pos, vec2(k, -k));
        } else { // emptied
            EXPECT_EQ(p.kind, kindNone);
            EXPECT_EQ(p.health, 0);
            EXPECT_EQ(p.pos, vec2(0, 0));
            EXPECT_EQ(p.parent, 0);
        }
    }
    EXPECT_EQ(unsafety(*back), "");
    // The ships around them are untouched.
    for (int k : {0, 1, 2, 3, 4, 5, 6, 8, 49}) EXPECT_EQ(image(back->a[k]), image(m->a[k]));
}

TEST(MissionFile, PlayerShipAndSideAtTheirEdgesAreKept) {
    auto m = fightMission();
    for (auto [you, sid] : {std::pair{49, 2}, std::pair{0, 0}}) {
        m->you = you;
        m->sid = sid;
        auto back = loaded(bytesOf(*m));
        EXPECT_EQ(back->you, you);
        EXPECT_EQ(back->sid, sid);
    }
    for (auto [you, sid] : {std::pair{-1, 3}, std::pair{INT_MAX, INT_MIN}}) {
        m->you = you;
        m->sid = sid;
        auto back = loaded(bytesOf(*m));
        EXPECT_EQ(back->you, 0);
        EXPECT_EQ(back->sid, 0);
    }
}

TEST(MissionFile, NumbersThatAreNotFiniteBecomeZero) {
    auto m = fightMission();
    ship& s = m->a[1];
    const ship kept = s;
    s.pos = vec2(nan, 1.5);
    s.vel = vec2(-2.5, inf);
    s.spin = nanf;
    s.energy = -inff;
    s.energyMax = inff;
    s.mass = nanf;
    s.radius = -nanf;
    s.waypoint = vec2(inf, -inf);
    s.wayA = vec2(nan, nan);
    s.wayB = vec2(3, -nan);
    s.mindTime = inff;
    s.parts[0].pos = vec2(inf, 2);
    s.parts[0].angle = nanf;
    s.parts[1].health = inff;
    s.parts[2].reload = -nanf;
    auto back = loaded(bytesOf(*m));
    const ship& r = back->a[1];
    EXPECT_EQ(r.pos, vec2(0, 1.5));
    EXPECT_EQ(r.vel, vec2(-2.5, 0));
    EXPECT_EQ(r.spin, 0);
    EXPECT_EQ(r.energy, 0);
    EXPECT_EQ(r.energyMax, 0);
    EXPECT_EQ(r.mass, 0);
    EXPECT_EQ(r.radius, 0);
    EXPECT_EQ(r.waypoint, vec2(0, 0));
    EXPECT_EQ(r.wayA, vec2(0, 0));
    EXPECT_EQ(r.wayB, vec2(3, 0));
    EXPECT_EQ(r.mindTime, 0);
    EXPECT_EQ(r.parts[0].pos, vec2(0, 2));
    EXPECT_EQ(r.parts[0].angle, 0);
    EXPECT_EQ(r.parts[1].health, 0);
    EXPECT_EQ(r.parts[2].reload, 0);
    EXPECT_EQ(r.parts[0].kind, kept.parts[0].kind); // the parts themselves stay
    EXPECT_EQ(r.parts[0].health, kept.parts[0].health);
    EXPECT_EQ(r.dir, kept.dir);
    EXPECT_EQ(unsafety(*back), "");
}

// Huge but finite numbers would overflow in the game's arithmetic (squared
// distances, the boundary spring); they are held at a billion.
TEST(MissionFile, HugeNumbersAreHeldAtABillion) {
    auto m = fightMission();
    ship& s = m->a[1];
    const vec2 pos = s.pos;
    s.vel = vec2(1e300, -1e300);
    s.spin = 3e38f;
    s.parts[0].pos = vec2(-1e10, 2);
    auto back = loaded(bytesOf(*m));
    const ship& r = back->a[1];
    EXPECT_EQ(r.vel, vec2(1e9, -1e9));
    EXPECT_EQ(r.spin, 1e9f);
    EXPECT_EQ(r.parts[0].pos, vec2(-1e9, 2));
    EXPECT_EQ(r.pos, pos); // ordinary values stay exactly as written
}

TEST(MissionFile, HeadingsThatCannotSteer) {
    auto m = fightMission();
    m->a[1].dir = vec2(nan, 1);
    m->a[2].dir = vec2(0, 0);
    m->a[3].dir = vec2(-0.0, -0.0);
    m->a[5].dir = vec2(1, -inf);
    m->a[6].dir = vec2(0, 0);       // dead, with parts waiting for a respawn
    m->a[8].dir = vec2(-1e-300, 0); // tiny but a direction: kept
    m->a[20].dir = vec2(0, 0);      // a free slot: kept
    m->a[21].dir = vec2(inf, 0.5);  // a free slot: made finite
    auto back = loaded(bytesOf(*m));
    for (int k : {1, 2, 3, 5, 6}) EXPECT_EQ(back->a[k].dir, vec2(1, 0)) << "ship " << k;
    EXPECT_EQ(back->a[8].dir, vec2(-1e-300, 0));
    EXPECT_EQ(back->a[20].dir, vec2(0, 0));
    EXPECT_EQ(back->a[21].dir, vec2(0, 0.5));
    EXPECT_EQ(unsafety(*back), "");
}

TEST(MissionFile, UnterminatedTextIsTerminated) {
    auto m = fightMission();
    Bytes b = bytesOf(*m);
    std::fill(b.begin() + 101, b.begin() + 601, 'n');                         // message
    std::fill(b.begin() + shipAt(3) + 172, b.begin() + shipAt(3) + 192, 's'); // a ship's name
    auto back = loaded(b);
    EXPECT_EQ(back->note[499], 0);
    EXPECT_EQ(std::strlen(back->note), 499u);
    EXPECT_EQ(back->a[3].name[19], 0);
    EXPECT_EQ(std::string(back->a[3].name), std::string(19, 's'));
}

TEST(MissionFile, FollowUpNamesOtherThanMissionFilesAreReplaced) {
    using namespace std::string_literals;
    const std::string kept[] = {"kvxmap.AB12.kvx", "kvxmap.ZZZZ.kvx", "kvxmap.0000.kvx",
                                "kvxmap.9A0Z.kvx"};
    // Each fills the 16 bytes from the start, the rest zero; "...kvxX" leaves
    // no room for a terminator.
    const std::string replaced[] = {
        "kvxmap.ab12.kvx",
        "KVXMAP.AB12.KVX",
        "kvxmap.AB12.exe",
        "kvxmap.AB1.kvx",
        "kvxmap.A/12.kvx",
        "kvxmap.A.12.kvx",
        "kvxmap.AB12.kvxX",
        "../../etc/passw",
        "/tmp/kvxmap.AAAA",
        "C:\\kvxmap.A.kvx",
        "",
        "kvxmap.AB\0\x32.kvx"s,
        "kvxmap.AB12\0kvx"s,
        "kvxmap.AB12.kv",
        " kvxmap.AB1.kvx",
    };
    auto check = [](const std::string& text, bool keep) {
        char name[fileNameSize] = {};
        std::memcpy(name, text.data(), std::min<std::size_t>(fileNameSize, text.size()));
        const std::string shown = testing::PrintToString(std::string(name, fileNameSize));
        auto m = fightMission();
        std::memcpy(m->sucfil, name, fileNameSize);
        std::memcpy(m->faifil, name, fileNameSize);
        auto back = loaded(bytesOf(*m));
        const char* want = keep ? name : "kvxmap.0000.kvx";
        EXPECT_EQ(std::memcmp(back->sucfil, want, fileNameSize), 0) << shown;
        EXPECT_EQ(std::memcmp(back->faifil, want, fileNameSize), 0) << shown;
    };
    for (const std::string& s : kept) check(s, true);
    for (const std::string& s : replaced) check(s, false);
}

// --- Saves that fail ---

TEST_F(MissionFileOnDisk, SaveIntoAMissingDirectoryFails) {
    auto m = fightMission();
    const fs::path path = dir / "none" / "kvxmap.0000.kvx";
    EXPECT_EQ(saveMission(path.c_str(), m->refs()), Messages{saveFailed});
    EXPECT_TRUE(entries().empty());
}

TEST_F(MissionFileOnDisk, SaveUnderARegularFileFails) {
    auto m = fightMission();
    writeBytes(dir / "plain", Bytes{'a', 'b'});
    const fs::path path = dir / "plain" / "kvxmap.0000.kvx";
    EXPECT_EQ(saveMission(path.c_str(), m->refs()), Messages{saveFailed});
    EXPECT_EQ(readBytes(dir / "plain"), (Bytes{'a', 'b'}));
    EXPECT_EQ(entries(), std::vector<std::string>{"plain"});
}

TEST_F(MissionFileOnDisk, FailedSaveLeavesTheOldFileAsItWas) {
    const fs::path path = dir / "kvxmap.KEEP.kvx";
    auto old = fightMission();
    ASSERT_EQ(saveMission(path.c_str(), old->refs()), Messages{});
    const Bytes before = readBytes(path);
    auto other = fresh();
    std::strcpy(other->note, "Not this one");

    // The target is a directory.
    const fs::path folder = dir / "kvxmap.FOLD.kvx";
    fs::create_directory(folder);
    writeBytes(folder / "inside", Bytes{4, 5});
    EXPECT_EQ(saveMission(folder.c_str(), other->refs()), Messages{saveFailed});
    EXPECT_EQ(readBytes(folder / "inside"), (Bytes{4, 5}));
    EXPECT_EQ(entries(), (std::vector<std::string>{"kvxmap.FOLD.kvx", "kvxmap.KEEP.kvx"}));
    EXPECT_EQ(readBytes(path), before);
}

// Something else holds the temporary file's name: the save is written in
// place, as the game always did, and the other is left alone.
TEST_F(MissionFileOnDisk, TemporaryNameTakenSavesInPlace) {
    const fs::path path = dir / "kvxmap.KEEP.kvx";
    writeBytes(path, Bytes{7, 7});
    const fs::path blocker = fs::path(path.string() + ".tmp");
    fs::create_directory(blocker);
    writeBytes(blocker / "inside", Bytes{1, 2, 3});
    auto m = fightMission();
    EXPECT_EQ(saveMission(path.c_str(), m->refs()), Messages{});
    EXPECT_EQ(readBytes(path), bytesOf(*m));
    EXPECT_EQ(readBytes(blocker / "inside"), (Bytes{1, 2, 3}));
}

// --- Links and permissions ---

// A link stays a link and the end of its chain gets the mission, keeping its
// permission bits; each relative link is read from its own folder.
TEST_F(MissionFileOnDisk, SaveWritesThroughLinks) {
    const fs::path missions = dir / "missions", game = dir / "game";
    fs::create_directory(missions);
    fs::create_directory(game);
    const fs::path real = missions / "kvxmap.REAL.kvx";
    writeBytes(real, Bytes{1, 2, 3});
    fs::permissions(real, fs::perms(0640));
    fs::create_symlink("kvxmap.REAL.kvx", missions / "hop");
    fs::create_symlink("../missions/hop", game / "kvxmap.LINK.kvx");
    fs::create_symlink("../missions/kvxmap.NEW0.kvx", game / "kvxmap.NEW0.kvx"); // dangling
    fs::create_symlink("kvxmap.PONG.kvx", game / "kvxmap.LOOP.kvx");
    fs::create_symlink("kvxmap.LOOP.kvx", game / "kvxmap.PONG.kvx");

    auto m = fightMission();
    for (const char* name : {"kvxmap.LINK.kvx", "kvxmap.NEW0.kvx"}) {
        EXPECT_EQ(saveMission((game / name).c_str(), m->refs()), Messages{}) << name;
        EXPECT_TRUE(fs::is_symlink(game / name)) << name;
    }
    EXPECT_TRUE(fs::is_symlink(missions / "hop"));
    EXPECT_EQ(readBytes(real), bytesOf(*m));
    EXPECT_EQ(readBytes(missions / "kvxmap.NEW0.kvx"), bytesOf(*m));
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
    EXPECT_EQ(saveMission((game / "kvxmap.LOOP.kvx").c_str(), m->refs()), Messages{saveFailed});

    // A file under two names stays one file.
    fs::create_hard_link(real, missions / "kvxmap.SAME.kvx");
    auto other = fresh();
    EXPECT_EQ(saveMission((missions / "kvxmap.SAME.kvx").c_str(), other->refs()), Messages{});
    EXPECT_EQ(readBytes(real), bytesOf(*other));

    EXPECT_EQ(namesIn(game), (std::vector<std::string>{"kvxmap.LINK.kvx", "kvxmap.LOOP.kvx",
                                                       "kvxmap.NEW0.kvx", "kvxmap.PONG.kvx"}));
    EXPECT_EQ(namesIn(missions), (std::vector<std::string>{"hop", "kvxmap.NEW0.kvx",
                                                           "kvxmap.REAL.kvx", "kvxmap.SAME.kvx"}));
}

// Saves as an ordinary user, each described in a line: what the save said,
// which bytes the file holds, its permission bits and the folder's names.
std::string savesAsUser(const fs::path& dir) {
    auto m = fightMission();
    const Bytes old = {9, 9, 9};
    std::ostringstream out;
    auto save = [&](const std::string& what, const fs::path& file) {
        const Messages said = saveMission(file.c_str(), m->refs());
        const Bytes now = readBytes(file);
        out << what << ": " << (said.empty() ? "saved" : said[0]) << "; "
            << (now == old ? "old" : now == bytesOf(*m) ? "new" : "other") << "; " << std::oct
            << int(fs::status(file).permissions()) << ";";
        for (const std::string& name : namesIn(file.parent_path())) out << " " << name;
        out << "\n";
    };
    const fs::path readOnly = dir / "kvxmap.RDON.kvx";
    writeBytes(readOnly, old);
    fs::permissions(readOnly, fs::perms(0444));
    save("read-only file", readOnly);

    const fs::path locked = dir / "locked";
    fs::create_directory(locked);
    writeBytes(locked / "kvxmap.LOCK.kvx", old);
    fs::permissions(locked / "kvxmap.LOCK.kvx", fs::perms(0604));
    fs::permissions(locked, fs::perms(0555));
    save("folder not writable", locked / "kvxmap.LOCK.kvx");
    fs::permissions(locked, fs::perms(0755)); // so that it can be removed

    // The new file cannot be written in full (a size limit stands in for a
    // full disk): the old one stays.
    const fs::path full = dir / "full";
    fs::create_directory(full);
    writeBytes(full / "kvxmap.FULL.kvx", old);
    fs::permissions(full / "kvxmap.FULL.kvx", fs::perms(0644));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &limit);
    save("disk full", full / "kvxmap.FULL.kvx");
    return out.str();
}

TEST(MissionFileAsUser, SavesAsThePermissionsSay) {
    const ChildRun run = runUnprivileged(savesAsUser);
    if (run.how == ChildRun::skipped) GTEST_SKIP() << run.text;
    ASSERT_EQ(run.how, ChildRun::done) << run.text;
    EXPECT_EQ(run.text, "read-only file: " + saveFailed + "; old; 444; kvxmap.RDON.kvx\n" +
                            "folder not writable: saved; new; 604; kvxmap.LOCK.kvx\n" +
                            "disk full: " + saveFailed + "; old; 644; kvxmap.FULL.kvx\n");
}

// --- Malformed files ---

// Writes malformed missions into dir: truncations, flipped bytes, runs of
// 0xFF and zeros, random values in every int field, random bytes after a
// valid code, and a file longer than a mission.
std::vector<fs::path> writeCorpus(const fs::path& dir) {
    auto m = fightMission();
    const Bytes good = bytesOf(*m);
    std::vector<fs::path> files;
    auto add = [&](const Bytes& b) {
        files.push_back(dir / ("case-" + std::to_string(files.size())));
        writeBytes(files.back(), b);
    };
    std::mt19937 rng(1101);
    auto below = [&](std::size_t n) { return std::size_t(rng() % n); };
    for (int len = 0; len < 700; len += 13) add(Bytes(good.begin(), good.begin() + len));
    for (int len = 700; len < missionFileSize; len += 977)
        add(Bytes(good.begin(), good.begin() + len));
    for (int n = 0; n < 60; ++n) { // flipped bytes anywhere after the code
        Bytes b = good;
        for (int f = 0, flips = 1 + int(below(40)); f < flips; ++f)
            b[4 + below(b.size() - 4)] ^= std::uint8_t(1 + below(255));
        add(b);
    }
    for (int n = 0; n < 20; ++n) { // runs of 0xFF or zeros
        Bytes b = good;
        const std::size_t from = 4 + below(b.size() - 4);
        const std::size_t to = std::min(b.size(), from + 1 + below(3000));
        std::fill(b.begin() + from, b.begin() + to, n % 2 ? 0xFF : 0x00);
        add(b);
    }
    for (int n = 0; n < 20; ++n) { // random values in every int field of some ships
        Bytes b = good;
        setI32(b, 4, int(rng()));
        setI32(b, 8, int(rng()));
        for (int k = 0; k < shipCount; ++k) {
            if (below(3)) continue;
            for (int off = 72; off < 116; off += 4) setI32(b, shipAt(k) + off, int(rng()));
            for (int slot = 0; slot < partSlots; ++slot)
                for (int off : {32, 36, 40})
                    setI32(b, shipAt(k) + 192 + 48 * slot + off, int(below(40)) - 20);
        }
        add(b);
    }
    for (int n = 0; n < 10; ++n) { // noise after a valid code
        Bytes b(good.size());
        for (auto& c : b) c = std::uint8_t(rng());
        setI32(b, 0, missionCode);
        add(b);
    }
    Bytes longer = good;
    longer.resize(70000, 0x0A);
    add(longer);
    return files;
}

TEST_F(MissionFileOnDisk, MalformedFilesLoadSafely) {
    const std::vector<fs::path> files = writeCorpus(dir);
    ASSERT_GT(files.size(), 150u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        auto m = fresh();
        const Messages messages = loadMission(file.c_str(), m->refs());
        for (const std::string& s : messages) EXPECT_TRUE(isLoadMessage(s)) << s;
        EXPECT_EQ(unsafety(*m), "");
        // What was loaded saves and loads again unchanged, without a message.
        const Bytes saved = bytesOf(*m);
        Messages again;
        auto back = loaded(saved, &again);
        EXPECT_EQ(again, Messages{});
        EXPECT_EQ(bytesOf(*back), saved);
    }
}

} // namespace
