// Saving and loading missions: the 51052-byte file image, saved through
// writeFileSafely (safe_write.h), so a failed save never spoils the old file;
// read byte by byte the way the game always has, then made safe to play.
#include "mission/mission_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "mission/safe_write.h"

namespace {

// Where the blocks of the file start.
constexpr int headerSize = 100;
constexpr int notePos = headerSize + 1;          // after the header's separator
constexpr int shipsPos = notePos + noteSize + 1; // after the message's separator
constexpr int shipStride = shipImageSize + 1;    // a ship image and its separator
static_assert(shipsPos + shipCount * shipStride == missionFileSize);

// Offsets in the header.
constexpr int codeAt = 0, youAt = 4, sidAt = 8, sucfilAt = 12, faifilAt = 28;
static_assert(faifilAt + fileNameSize <= headerSize);

constexpr unsigned char separator = 0x0A;

const char* const saveFailed = "Failed to save file!\nAccess denied!";
const char* const loadNotFound = "Failed to load file!\nFile not found or Access denied!";
const char* const loadBadCode =
    "Failed to load file!\nIdentification code invalid!\nMost likely version difference.";
const char* const misplacedAfterHeader =
    "Error in file buffer. Misplaced char.\nAfter fail file position.";
const char* const misplacedAfterNote =
    "Error in file buffer. Misplaced char.\nAfter mission message position.";
const char* const misplacedAfterShip =
    "Error in file buffer. Misplaced char.\nAfter ship data position";

void putInt(unsigned char* at, int value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

int getInt(const unsigned char* at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(at[i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}

// The file as the game reads it, one byte at a time: past the end every read
// gives EOF, which lands in a byte as 0xFF. A short file therefore fails the
// separator tests after its end and shows their messages.
class ByteStream {
public:
    explicit ByteStream(const std::vector<unsigned char>& bytes) : bytes(bytes) {}
    unsigned char get() {
        const unsigned char c = at < bytes.size() ? bytes[at] : 0xFF;
        ++at;
        return c;
    }
    void read(void* out, int count) {
        auto* o = static_cast<unsigned char*>(out);
        const std::size_t n = std::size_t(count);
        const std::size_t have = at < bytes.size() ? std::min(n, bytes.size() - at) : 0;
        if (have > 0) std::memcpy(o, bytes.data() + at, have);
        std::memset(o + have, 0xFF, n - have);
        at += n;
    }

private:
    const std::vector<unsigned char>& bytes;
    std::size_t at = 0;
};

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

// Numbers from a file must stay finite through the game's arithmetic: a value
// that is not a number becomes 0, and one beyond a billion (far past anything
// play produces: the world ends at 30000) is held there, so that squares and
// products in the simulation stay finite too.
constexpr double numberLimit = 1e9;
template <typename T> void makeFinite(T& v) {
    if (!std::isfinite(v)) v = 0;
    else if (v > numberLimit) v = T(numberLimit);
    else if (v < -numberLimit) v = T(-numberLimit);
}
void makeFinite(vec2& v) {
    makeFinite(v.x);
    makeFinite(v.y);
}

// A follow-up mission name stays only when it is a mission file name of the
// working directory: "kvxmap.NNNN.kvx" with N a digit or capital letter, then
// the terminating zero. Anything else could name a file elsewhere.
void makeFileNameSafe(char* name) {
    static const char fallback[fileNameSize] = "kvxmap.0000.kvx";
    static_assert(sizeof("kvxmap.0000.kvx") == fileNameSize);
    if (name[fileNameSize - 1] != 0 || !isMissionFileName(name))
        std::memcpy(name, fallback, fileNameSize);
}

void makeShipSafe(ship& s, int self) {
    for (int* ref : {&s.target, &s.probe, &s.nearEnemy, &s.nearShip, &s.leader, &s.homeBase}) {
        if (!inRange(*ref, 0, shipCount - 1)) *ref = self; // none
    }
    if (!inRange(s.side, sideRed, sideBlue)) s.side = sideRed;
    if (!inRange(s.core, 0, partSlots - 1)) s.core = 0;

    bool partsInUse = false;
    for (int k = 0; k < partSlots; ++k) {
        part& p = s.parts[k];
        if (!inRange(p.kind, kindNone, kindGun)) p = part();
        if (p.kind != kindNone && !inRange(p.index, 0, tableRows(p.kind) - 1)) p = part();
        if (!inRange(p.parent, 0, partSlots - 1)) p.parent = k;
        makeFinite(p.pos);
        makeFinite(p.angle);
        makeFinite(p.health);
        makeFinite(p.reload);
        partsInUse = partsInUse || p.kind != kindNone;
    }

    // A ship needs a heading to be drawn and steered. A free slot (no parts,
    // not alive) legitimately holds (0, 0) and keeps it.
    const bool headingOk =
        std::isfinite(s.dir.x) && std::isfinite(s.dir.y) && (s.dir.x != 0 || s.dir.y != 0);
    if (!headingOk && (s.alive || partsInUse)) s.dir = vec2(1, 0);
    makeFinite(s.dir);

    makeFinite(s.pos);
    makeFinite(s.vel);
    makeFinite(s.spin);
    makeFinite(s.energy);
    makeFinite(s.energyMax);
    makeFinite(s.mass);
    makeFinite(s.radius);
    makeFinite(s.waypoint);
    makeFinite(s.wayA);
    makeFinite(s.wayB);
    makeFinite(s.mindTime);
    s.name[sizeof(s.name) - 1] = 0;
}

} // namespace

bool isMissionFileName(std::string_view name) {
    bool ok = name.size() == fileNameSize - 1 && name.substr(0, 7) == "kvxmap." &&
              name.substr(11) == ".kvx";
    for (std::size_t i = 7; ok && i < 11; ++i)
        ok = (name[i] >= '0' && name[i] <= '9') || (name[i] >= 'A' && name[i] <= 'Z');
    return ok;
}

// Our rule for mission files from anywhere: a file is data, and the game must
// not index outside its arrays or tables, compute with NaN or infinity, or
// open a file outside its working directory because of what a file holds. A
// mission the game wrote itself passes through unchanged.
void makeMissionSafe(const MissionRefs& m) {
    if (!inRange(m.you, 0, shipCount - 1)) m.you = 0;
    if (!inRange(m.sid, sideRed, sideBlue)) m.sid = sideRed;
    m.note[noteSize - 1] = 0;
    makeFileNameSafe(m.sucfil);
    makeFileNameSafe(m.faifil);
    for (int i = 0; i < shipCount; ++i) makeShipSafe(m.a[i], i);
}

std::vector<unsigned char> missionBytes(const MissionRefs& m) {
    std::vector<unsigned char> out(missionFileSize, 0);
    unsigned char* b = out.data();
    putInt(b + codeAt, missionCode);
    putInt(b + youAt, m.you);
    putInt(b + sidAt, m.sid);
    std::memcpy(b + sucfilAt, m.sucfil, fileNameSize);
    std::memcpy(b + faifilAt, m.faifil, fileNameSize);
    b[headerSize] = separator;
    std::memcpy(b + notePos, m.note, noteSize); // all of it, also what follows the text
    b[notePos + noteSize] = separator;
    for (int k = 0; k < shipCount; ++k) {
        unsigned char* at = b + shipsPos + shipStride * k;
        writeShipImage(m.a[k], at);
        at[shipImageSize] = separator;
    }
    return out;
}

std::vector<std::string> saveMission(const char* path, const MissionRefs& m) {
    if (!writeFileSafely(path, missionBytes(m))) return {saveFailed};
    return {};
}

std::vector<std::string> loadMissionBytes(const std::vector<unsigned char>& bytes,
                                          const MissionRefs& m) {
    ByteStream in(bytes);
    unsigned char header[headerSize];
    in.read(header, headerSize);
    if (getInt(header + codeAt) != missionCode) return {loadBadCode};

    // From here on every field is taken in file order; a misplaced separator
    // is reported and the load goes on.
    std::vector<std::string> messages;
    m.you = getInt(header + youAt);
    m.sid = getInt(header + sidAt);
    std::memcpy(m.sucfil, header + sucfilAt, fileNameSize);
    std::memcpy(m.faifil, header + faifilAt, fileNameSize);
    if (in.get() != separator) messages.push_back(misplacedAfterHeader);

    in.read(m.note, noteSize);
    if (in.get() != separator) messages.push_back(misplacedAfterNote);

    unsigned char image[shipImageSize];
    for (int k = 0; k < shipCount; ++k) {
        in.read(image, shipImageSize);
        m.a[k] = readShipImage(image);
        if (in.get() != separator) messages.push_back(misplacedAfterShip);
    }

    makeMissionSafe(m);
    return messages;
}

bool readMissionFile(const char* path, std::vector<unsigned char>& bytes) {
    bytes.clear();
    // Only a plain file is a mission: a directory, device or pipe is refused
    // before it is opened (a pipe could keep the read waiting for ever).
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec)) return false;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    // Whatever follows the last ship is never read.
    bytes.resize(missionFileSize);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    bytes.resize(failed ? 0 : got);
    return !failed;
}

std::vector<std::string> loadMissionRead(bool found, const std::vector<unsigned char>& bytes,
                                         const MissionRefs& m) {
    if (!found) return {loadNotFound};
    return loadMissionBytes(bytes, m);
}

std::vector<std::string> loadMission(const char* path, const MissionRefs& m) {
    std::vector<unsigned char> bytes;
    const bool found = readMissionFile(path, bytes);
    return loadMissionRead(found, bytes, m);
}
