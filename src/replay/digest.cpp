// The state digest: the spans shown under each part and their hashes.
#include "replay/digest.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace {

enum spanKind { bytesSpan, shipsSpan, shipSpan, fragsSpan, keptSpan };

static_assert(std::is_trivially_copyable_v<ship> && std::is_trivially_copyable_v<frag>);

struct span {
    int part;
    spanKind kind;
    const void* at;
    std::size_t size;
    bool shown = true; // false after a snapshot from before its first use was put back
};

// The bytes a span covers, for snapshots.
std::size_t spanSize(const span& s) {
    switch (s.kind) {
    case shipsSpan: return sizeof(ship) * shipCount;
    case shipSpan: return sizeof(ship);
    case fragsSpan: return sizeof(frag) * fragCount;
    default: return s.size;
    }
}

std::vector<span>& spans() {
    static std::vector<span> all;
    return all;
}

// Each span's bytes as they were when it was first shown: a snapshot taken
// before then puts them back, as its owner had not yet run.
std::vector<unsigned char>& firstBytes() {
    static std::vector<unsigned char> all;
    return all;
}

void watch(const span& s) {
    for (span& w : spans()) {
        if (w.at == s.at && w.kind == s.kind && w.part == s.part) {
            w.shown = true;
            return;
        }
    }
    spans().push_back(s);
    const auto* p = static_cast<const unsigned char*>(s.at);
    firstBytes().insert(firstBytes().end(), p, p + spanSize(s));
}

std::uint64_t hashShip(const ship& s, std::uint64_t h) {
    unsigned char image[shipImageSize];
    writeShipImage(s, image); // every field, the padding zero
    return hashBytes(image, sizeof image, h);
}

// Field by field: a frag's padding holds whatever its last copy left there.
std::uint64_t hashFrag(const frag& f, std::uint64_t h) {
    const double v[6] = {f.pos.x, f.pos.y, f.dir.x, f.dir.y, f.vel.x, f.vel.y};
    const float g[2] = {f.spin, f.life};
    const int k[3] = {f.type, f.partKind, f.partIndex};
    h = hashBytes(v, sizeof v, h);
    h = hashBytes(g, sizeof g, h);
    return hashBytes(k, sizeof k, h);
}

} // namespace

std::uint64_t hashBytes(const void* at, std::size_t size, std::uint64_t h) {
    const auto* p = static_cast<const unsigned char*>(at);
    for (std::size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

std::string digestPartName(int part) {
    static const char* const names[] = {
        "frags",        "camera",       "zoom",           "player's ship", "player's side",
        "pilot flag",   "repair flag",  "autopilot flag", "mode",          "file name",
        "success file", "failure file", "message",        "frame time",    "Enter latch",
        "main menu",    "name entry",   "message entry",  "editor",
    };
    static_assert(sizeof names / sizeof names[0] == digestPartCount - partFrags);
    if (part >= partShip0 && part < partShip0 + shipCount)
        return "ship " + std::to_string(part - partShip0);
    if (part >= partFrags && part < digestPartCount) return names[part - partFrags];
    return "part " + std::to_string(part);
}

void watchBytes(int part, const void* at, std::size_t size) { watch({part, bytesSpan, at, size}); }
void keepBytes(const void* at, std::size_t size) { watch({-1, keptSpan, at, size}); }

// A snapshot: how many spans there were, whether each was shown, their bytes.
std::vector<unsigned char> takeSnapshot() {
    const std::vector<span>& all = spans();
    const std::uint32_t count = std::uint32_t(all.size());
    std::vector<unsigned char> out(sizeof count);
    std::memcpy(out.data(), &count, sizeof count);
    for (const span& s : all) out.push_back(s.shown ? 1 : 0);
    for (const span& s : all) {
        const auto* p = static_cast<const unsigned char*>(s.at);
        out.insert(out.end(), p, p + spanSize(s));
    }
    return out;
}

void putSnapshotBack(const std::vector<unsigned char>& bytes) {
    std::uint32_t count = 0;
    if (bytes.size() >= sizeof count) std::memcpy(&count, bytes.data(), sizeof count);
    std::vector<span>& all = spans();
    count = std::min<std::uint32_t>(count, std::uint32_t(all.size()));
    std::size_t at = sizeof count + count, first = 0;
    for (std::size_t k = 0; k < all.size(); ++k) {
        span& s = all[k];
        const std::size_t n = spanSize(s);
        // A span shown after the snapshot was taken: as it was first shown, hidden.
        const bool had = k < count && at + n <= bytes.size();
        std::memcpy(const_cast<void*>(s.at), had ? bytes.data() + at : firstBytes().data() + first,
                    n);
        s.shown = had && bytes[sizeof count + k] != 0;
        if (had) at += n;
        first += n;
    }
}

void watchShips(const ship* a) { watch({partShip0, shipsSpan, a, 0}); }
void watchShip(int part, const ship* s) { watch({part, shipSpan, s, 0}); }
void watchFrags(const frag* b) { watch({partFrags, fragsSpan, b, 0}); }

const void* watched(int part) {
    for (const span& s : spans())
        if (s.part == part) return s.at;
    return nullptr;
}

stateDigest digestState() {
    stateDigest d;
    for (std::uint64_t& h : d.parts) h = hashBytes(nullptr, 0);
    for (const span& s : spans()) {
        if (!s.shown) continue;
        switch (s.kind) {
        case bytesSpan:
            d.parts[s.part] = hashBytes(s.at, s.size, d.parts[s.part]);
            break;
        case shipsSpan:
            for (int k = 0; k < shipCount; ++k) {
                const ship& sh = static_cast<const ship*>(s.at)[k];
                d.parts[partShip0 + k] = hashShip(sh, d.parts[partShip0 + k]);
            }
            break;
        case shipSpan:
            d.parts[s.part] = hashShip(*static_cast<const ship*>(s.at), d.parts[s.part]);
            break;
        case fragsSpan:
            for (int k = 0; k < fragCount; ++k)
                d.parts[partFrags] =
                    hashFrag(static_cast<const frag*>(s.at)[k], d.parts[partFrags]);
            break;
        case keptSpan:
            break;
        }
    }
    d.total = hashBytes(d.parts, sizeof d.parts);
    return d;
}
