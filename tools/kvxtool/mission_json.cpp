// Missions to JSON and back. Enumerations are written by name and read by name
// or number; a value outside its enumeration is written as its number, so a
// dump loses nothing. Floats are written as the shortest decimal that reads
// back to the same float; values JSON cannot hold are the strings "nan",
// "inf" and "-inf". Text blocks are strings of their bytes up to the last
// non-zero one, each byte a character U+0000..U+00FF.
#include "mission_json.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <vector>

namespace {

// ---- Enumerations ----------------------------------------------------------

struct Enumeration {
    const char* what;
    std::vector<const char*> names; // by value, from 0
};

const Enumeration sides{"side", {"red", "green", "blue"}};
const Enumeration objectives{"objective", {"none", "destroy", "defend"}};
const Enumeration minds{"mind",
                        {"normal", "attack", "attack2", "quickRepair", "followLeader",
                         "completeRepair", "followWaypoints", "defendBase", "patrolLine"}};
const Enumeration orderNames{"orders", {"fighter", "guardLine", "freighter", "base"}};
const Enumeration kinds{"kind", {"none", "hull", "engine", "gun"}};
const Enumeration designs{"design",
                          {"base", "lightFighter", "mediumFighter", "heavyFighter", "transport"}};

Json enumJson(const Enumeration& e, int v) {
    if (v >= 0 && v < int(e.names.size())) return e.names[std::size_t(v)];
    return v;
}

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw JsonError(path + ": " + what);
}

std::string quoted(const std::string& s) { return Json(s).dump(-1, ' ', true); }

// A value as a message shows it: its JSON, cut short when long.
std::string brief(const Json& j) {
    if (j.is_structured() && !j.empty()) return j.is_array() ? "a list" : "an object";
    std::string s = j.dump(-1, ' ', true);
    return s.size() > 40 ? s.substr(0, 37) + "..." : s;
}

int intFrom(const Json& j, const std::string& path) {
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    if (j.is_number_unsigned() && j.get<std::uint64_t>() <= std::uint64_t(hi))
        return int(j.get<std::uint64_t>());
    if (j.is_number_integer() && !j.is_number_unsigned()) {
        const auto v = j.get<std::int64_t>();
        if (v >= lo && v <= hi) return int(v);
    }
    fail(path, "expected a whole number from -2147483648 to 2147483647, not " + brief(j));
}

int enumFrom(const Enumeration& e, const Json& j, const std::string& path) {
    if (j.is_string()) {
        const std::string s = j.get<std::string>();
        for (std::size_t v = 0; v < e.names.size(); ++v)
            if (s == e.names[v]) return int(v);
        std::string known;
        for (const char* n : e.names) known += std::string(known.empty() ? "" : ", ") + n;
        fail(path,
             "unknown " + std::string(e.what) + " " + quoted(s) + " (" + known + ", or a number)");
    }
    if (j.is_number_integer()) return intFrom(j, path);
    fail(path, "expected a " + std::string(e.what) + " name or a number, not " + brief(j));
}

bool boolFrom(const Json& j, const std::string& path) {
    if (!j.is_boolean()) fail(path, "expected true or false, not " + brief(j));
    return j.get<bool>();
}

// ---- Numbers ---------------------------------------------------------------

Json doubleJson(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    return v;
}

// The shortest decimal that reads back as this float, held as the double it
// reads as; the float's exact value when a double in between would round
// elsewhere.
Json floatJson(float v) {
    if (!std::isfinite(v)) return doubleJson(v);
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf - 1, v);
    *r.ptr = 0;
    const double d = std::strtod(buf, nullptr);
    const float back = float(d);
    if (back == v && std::signbit(back) == std::signbit(v)) return d;
    return double(v);
}

double doubleFrom(const Json& j, const std::string& path) {
    if (j.is_number()) return j.get<double>();
    if (j.is_string()) {
        const std::string s = j.get<std::string>();
        if (s == "nan") return std::numeric_limits<double>::quiet_NaN();
        if (s == "inf") return std::numeric_limits<double>::infinity();
        if (s == "-inf") return -std::numeric_limits<double>::infinity();
    }
    fail(path, "expected a number (or \"nan\", \"inf\", \"-inf\"), not " + brief(j));
}

float floatFrom(const Json& j, const std::string& path) {
    const double d = doubleFrom(j, path);
    if (std::isfinite(d) && std::fabs(d) > double(std::numeric_limits<float>::max()))
        fail(path, brief(j) + " is beyond the range of a float");
    return float(d);
}

Json vecJson(vec2 v) { return Json::array({doubleJson(v.x), doubleJson(v.y)}); }

vec2 vecFrom(const Json& j, const std::string& path) {
    if (!j.is_array() || j.size() != 2) fail(path, "expected [x, y], not " + brief(j));
    return vec2(doubleFrom(j[0], path + "[0]"), doubleFrom(j[1], path + "[1]"));
}

// ---- Text ------------------------------------------------------------------

// The bytes up to the last non-zero one, each as the character of that code.
Json textJson(const char* bytes, std::size_t size) {
    std::size_t end = size;
    while (end > 0 && bytes[end - 1] == 0) --end;
    std::string utf8;
    for (std::size_t i = 0; i < end; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            utf8 += char(b);
        } else {
            utf8 += char(0xC0 | (b >> 6));
            utf8 += char(0x80 | (b & 0x3F));
        }
    }
    return utf8;
}

// The bytes of a string, at most `limit` of them. The parser has checked the
// UTF-8; every character must be one byte's code.
std::string textFrom(const std::string& utf8, std::size_t limit, const std::string& path) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        std::uint32_t code = b;
        int more = 0;
        if (b >= 0xF0)
            code = b & 0x07, more = 3;
        else if (b >= 0xE0)
            code = b & 0x0F, more = 2;
        else if (b >= 0xC0)
            code = b & 0x1F, more = 1;
        ++i;
        for (; more > 0 && i < utf8.size(); --more, ++i)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        if (code > 0xFF) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", unsigned(code));
            fail(path, std::string("character ") + hex +
                           " is not a byte: only U+0000 to U+00FF can be stored");
        }
        bytes += char(code);
    }
    if (bytes.size() > limit)
        fail(path, std::to_string(bytes.size()) + " characters; at most " + std::to_string(limit) +
                       " fit");
    return bytes;
}

std::string stringFrom(const Json& j, const std::string& path) {
    if (!j.is_string()) fail(path, "expected a string, not " + brief(j));
    return j.get<std::string>();
}

// A follow-up mission: "kvxmap.NNNN.kvx" or just NNNN, N a digit or capital.
void fileNameFrom(const Json& j, char (&out)[fileNameSize], const std::string& path) {
    std::string s = stringFrom(j, path);
    if (s.size() == 4) s = "kvxmap." + s + ".kvx";
    if (!isMissionFileName(s))
        fail(path, quoted(j.get<std::string>()) +
                       " is not a mission name (NNNN or kvxmap.NNNN.kvx, N a digit or capital)");
    std::memset(out, 0, fileNameSize);
    std::memcpy(out, s.data(), s.size());
}

// ---- Ships -----------------------------------------------------------------

using Labels = std::map<std::string, int>;

// A ship reference: a slot number (kept as given, also outside 0..49), a
// label, or "none" (the ship's own slot).
int refFrom(const Json& j, int self, const Labels& labels, const std::string& path) {
    if (j.is_string()) {
        const std::string s = j.get<std::string>();
        if (s == "none") return self;
        auto it = labels.find(s);
        if (it == labels.end()) fail(path, "no ship is labelled " + quoted(s));
        return it->second;
    }
    if (j.is_number_integer()) return intFrom(j, path);
    fail(path, "expected a slot number, a label or \"none\", not " + brief(j));
}

void requireObject(const Json& j, const std::string& path) {
    if (!j.is_object()) fail(path, "expected an object, not " + brief(j));
}

Json partJson(const part& p) {
    Json j;
    j["pos"] = vecJson(p.pos);
    j["angle"] = floatJson(p.angle);
    j["health"] = floatJson(p.health);
    j["reload"] = floatJson(p.reload);
    j["lit"] = p.lit;
    j["kind"] = enumJson(kinds, p.kind);
    j["index"] = p.index;
    j["parent"] = p.parent;
    return j;
}

// One field of a part or ship being read: the record, the value and its
// path; for ships also the slot (a reference to it names no ship) and the
// labels of the mission's ships.
template <class Record> struct Field {
    Record& r;
    const Json& v;
    const std::string at;
    int slot = 0;
    const Labels* labels = nullptr;

    vec2 vec() const { return vecFrom(v, at); }
    float number() const { return floatFrom(v, at); }
    int whole() const { return intFrom(v, at); }
    bool flag() const { return boolFrom(v, at); }
    int named(const Enumeration& e) const { return enumFrom(e, v, at); }
    int ref() const { return refFrom(v, slot, *labels, at); }
};

using PartField = Field<part>;
const std::map<std::string, void (*)(const PartField&)> partFields = {
    {"pos", [](const PartField& f) { f.r.pos = f.vec(); }},
    {"angle", [](const PartField& f) { f.r.angle = f.number(); }},
    {"health", [](const PartField& f) { f.r.health = f.number(); }},
    {"reload", [](const PartField& f) { f.r.reload = f.number(); }},
    {"lit", [](const PartField& f) { f.r.lit = f.flag(); }},
    {"kind", [](const PartField& f) { f.r.kind = f.named(kinds); }},
    {"index", [](const PartField& f) { f.r.index = f.whole(); }},
    {"parent", [](const PartField& f) { f.r.parent = f.whole(); }},
    {"comment", [](const PartField&) {}},
};

part partFrom(const Json& j, const std::string& path) {
    requireObject(j, path);
    part p;
    for (const auto& [key, v] : j.items()) {
        const auto field = partFields.find(key);
        if (field == partFields.end()) fail(path, "unknown field " + quoted(key));
        field->second(PartField{p, v, path + "." + key});
    }
    return p;
}

void setRefs(ship& s, int self) {
    s.target = s.probe = s.nearEnemy = s.nearShip = s.leader = s.homeBase = self;
}

int respawnsFrom(const Json& v, const std::string& at) {
    if (v == "unlimited") return respawnUnlimited;
    const int n = v.is_number_integer() ? intFrom(v, at) : -1;
    if (n < 0 || n > 255) fail(at, "expected 0 to 255 or \"unlimited\", not " + brief(v));
    return n;
}

void nameFrom(char (&name)[sizeof ship::name], const Json& v, const std::string& at) {
    const std::string bytes = textFrom(stringFrom(v, at), sizeof name - 1, at);
    std::memset(name, 0, sizeof name);
    std::memcpy(name, bytes.data(), bytes.size());
}

void partsFrom(part (&parts)[partSlots], const Json& v, const std::string& at) {
    if (!v.is_array() || v.size() > partSlots)
        fail(at, "expected a list of at most 17 part slots, not " + brief(v));
    for (std::size_t k = 0; k < partSlots; ++k)
        parts[k] = k < v.size() ? partFrom(v[k], at + "[" + std::to_string(k) + "]") : part();
}

// How each field of a ship is read. The keys only a ship given by design has
// (design, built), its label and a note to the reader are taken elsewhere.
using ShipField = Field<ship>;
const std::map<std::string, void (*)(const ShipField&)> shipFields = {
    {"pos", [](const ShipField& f) { f.r.pos = f.vec(); }},
    {"dir", [](const ShipField& f) { f.r.dir = f.vec(); }},
    {"vel", [](const ShipField& f) { f.r.vel = f.vec(); }},
    {"spin", [](const ShipField& f) { f.r.spin = f.number(); }},
    {"energy", [](const ShipField& f) { f.r.energy = f.number(); }},
    {"energyMax", [](const ShipField& f) { f.r.energyMax = f.number(); }},
    {"mass", [](const ShipField& f) { f.r.mass = f.number(); }},
    {"radius", [](const ShipField& f) { f.r.radius = f.number(); }},
    {"alive", [](const ShipField& f) { f.r.alive = f.flag(); }},
    {"respawns", [](const ShipField& f) { f.r.respawns = respawnsFrom(f.v, f.at); }},
    {"side", [](const ShipField& f) { f.r.side = f.named(sides); }},
    {"objective", [](const ShipField& f) { f.r.objective = f.named(objectives); }},
    {"mind", [](const ShipField& f) { f.r.mind = f.named(minds); }},
    {"core", [](const ShipField& f) { f.r.core = f.whole(); }},
    {"target", [](const ShipField& f) { f.r.target = f.ref(); }},
    {"probe", [](const ShipField& f) { f.r.probe = f.ref(); }},
    {"nearEnemy", [](const ShipField& f) { f.r.nearEnemy = f.ref(); }},
    {"nearShip", [](const ShipField& f) { f.r.nearShip = f.ref(); }},
    {"leader", [](const ShipField& f) { f.r.leader = f.ref(); }},
    {"homeBase", [](const ShipField& f) { f.r.homeBase = f.ref(); }},
    {"orders", [](const ShipField& f) { f.r.orders = f.named(orderNames); }},
    {"waypoint", [](const ShipField& f) { f.r.waypoint = f.vec(); }},
    {"wayA", [](const ShipField& f) { f.r.wayA = f.vec(); }},
    {"wayB", [](const ShipField& f) { f.r.wayB = f.vec(); }},
    {"mindTime", [](const ShipField& f) { f.r.mindTime = f.number(); }},
    {"name", [](const ShipField& f) { nameFrom(f.r.name, f.v, f.at); }},
    {"parts", [](const ShipField& f) { partsFrom(f.r.parts, f.v, f.at); }},
};
const std::set<std::string> otherShipKeys = {"design", "built", "label", "comment"};

ship shipFrom(const Json& j, int slot, const Labels& labels, const std::string& path) {
    requireObject(j, path);
    ship s;
    if (j.contains("design")) {
        const int type = enumFrom(designs, j["design"], path + ".design");
        const vec2 pos = j.contains("pos") ? vecFrom(j["pos"], path + ".pos") : vec2();
        const int side = j.contains("side") ? enumFrom(sides, j["side"], path + ".side") : 0;
        const bool built = j.contains("built") ? boolFrom(j["built"], path + ".built") : true;
        s = ship(pos, type, side, built);
    } else if (j.contains("built")) {
        fail(path + ".built", "only a ship given by its design is built");
    }
    setRefs(s, slot); // references left out name no ship

    for (const auto& [key, v] : j.items()) {
        const auto field = shipFields.find(key);
        if (field != shipFields.end())
            field->second(ShipField{s, v, path + "." + key, slot, &labels});
        else if (!otherShipKeys.contains(key))
            fail(path, "unknown field " + quoted(key));
    }
    return s;
}

// ---- Layout ----------------------------------------------------------------

std::string scalarText(const Json& j) { return j.dump(-1, ' ', true); }

bool isFlat(const Json& j) {
    if (!j.is_structured()) return true;
    for (const auto& v : j)
        if (v.is_structured()) return false;
    return true;
}

// Short enough for one line: scalars, arrays of scalars, and objects of those.
bool fitsOneLine(const Json& j) {
    if (!j.is_structured()) return true;
    for (const auto& v : j)
        if (!isFlat(v) || (v.is_structured() && !v.is_array())) return false;
    return true;
}

std::string oneLine(const Json& j) {
    if (j.is_array()) {
        std::string s = "[";
        for (std::size_t i = 0; i < j.size(); ++i) s += (i ? ", " : "") + oneLine(j[i]);
        return s + "]";
    }
    if (j.is_object()) {
        std::string s = "{";
        bool first = true;
        for (const auto& [key, v] : j.items()) {
            s += (first ? "" : ", ") + scalarText(key) + ": " + oneLine(v);
            first = false;
        }
        return s + "}";
    }
    return scalarText(j);
}

void layout(std::string& out, const Json& j, int indent) {
    if (fitsOneLine(j)) {
        out += oneLine(j);
        return;
    }
    const std::string pad(std::size_t(indent + 4), ' ');
    const bool object = j.is_object();
    out += object ? "{\n" : "[\n";
    bool first = true;
    for (const auto& [key, v] : j.items()) {
        out += first ? "" : ",\n";
        first = false;
        out += pad;
        if (object) out += scalarText(key) + ": ";
        layout(out, v, indent + 4);
    }
    out += "\n" + std::string(std::size_t(indent), ' ') + (object ? "}" : "]");
}

} // namespace

Json shipToJson(const ship& s) {
    Json j;
    j["pos"] = vecJson(s.pos);
    j["dir"] = vecJson(s.dir);
    j["vel"] = vecJson(s.vel);
    j["spin"] = floatJson(s.spin);
    j["energy"] = floatJson(s.energy);
    j["energyMax"] = floatJson(s.energyMax);
    j["mass"] = floatJson(s.mass);
    j["radius"] = floatJson(s.radius);
    j["alive"] = s.alive;
    j["respawns"] = s.respawns == respawnUnlimited ? Json("unlimited") : Json(int(s.respawns));
    j["side"] = enumJson(sides, s.side);
    j["objective"] = enumJson(objectives, s.objective);
    j["mind"] = enumJson(minds, s.mind);
    j["core"] = s.core;
    j["target"] = s.target;
    j["probe"] = s.probe;
    j["nearEnemy"] = s.nearEnemy;
    j["nearShip"] = s.nearShip;
    j["leader"] = s.leader;
    j["homeBase"] = s.homeBase;
    j["orders"] = enumJson(orderNames, s.orders);
    j["waypoint"] = vecJson(s.waypoint);
    j["wayA"] = vecJson(s.wayA);
    j["wayB"] = vecJson(s.wayB);
    j["mindTime"] = floatJson(s.mindTime);
    j["name"] = textJson(s.name, sizeof s.name);
    Json parts = Json::array();
    for (const part& p : s.parts) parts.push_back(partJson(p));
    j["parts"] = parts;
    return j;
}

Json missionToJson(const Mission& m) {
    Json j;
    j["player"] = m.you;
    j["side"] = enumJson(sides, m.sid);
    j["success"] = textJson(m.sucfil, fileNameSize);
    j["failure"] = textJson(m.faifil, fileNameSize);
    j["message"] = textJson(m.note, noteSize);
    Json ships = Json::array();
    for (const ship& s : m.a) ships.push_back(shipToJson(s));
    j["ships"] = ships;
    return j;
}

Json parseMissionJson(const std::vector<unsigned char>& text) {
    // A mission nests six deep (mission, ships, ship, parts, part, vector);
    // far deeper input is no mission, and would only cost stack.
    constexpr int depthLimit = 32;
    const Json::parser_callback_t limit = [](int depth, Json::parse_event_t, Json&) {
        if (depth > depthLimit)
            throw JsonError("nested more than " + std::to_string(depthLimit) +
                            " deep: not a mission");
        return true;
    };
    return Json::parse(text.begin(), text.end(), limit);
}

void missionFromJson(const Json& j, Mission& m) {
    if (!j.is_object()) fail("mission", "expected an object holding the mission, not " + brief(j));
    static const std::set<std::string> keys = {"player",  "side",  "success", "failure",
                                               "message", "ships", "seed",    "comment"};
    for (const auto& [key, v] : j.items())
        if (!keys.contains(key)) fail("mission", "unknown field " + quoted(key));

    for (ship& s : m.a) s = ship();
    m.you = 0;
    m.sid = sideRed;
    std::memset(m.note, 0, noteSize);
    fileNameFrom(Json("0000"), m.sucfil, "success");
    fileNameFrom(Json("0000"), m.faifil, "failure");

    // Labels first, so a ship may name one listed after it.
    Labels labels;
    const Json noShips = Json::array();
    const Json& ships = j.contains("ships") ? j["ships"] : noShips;
    if (!ships.is_array()) fail("ships", "expected a list of ships, not " + brief(ships));
    if (ships.size() > shipCount)
        fail("ships", std::to_string(ships.size()) + " ships; a mission holds at most 50");
    for (std::size_t i = 0; i < ships.size(); ++i) {
        const std::string path = "ships[" + std::to_string(i) + "]";
        requireObject(ships[i], path);
        if (!ships[i].contains("label")) continue;
        const std::string label = stringFrom(ships[i]["label"], path + ".label");
        if (label.empty() || label == "none")
            fail(path + ".label", quoted(label) + " cannot be a label");
        if (!labels.emplace(label, int(i)).second)
            fail(path + ".label", quoted(label) + " labels an earlier ship too");
    }

    unsigned seed = 1;
    if (j.contains("seed")) {
        const Json& v = j["seed"];
        if (!v.is_number_unsigned() || v.get<std::uint64_t>() > 0xFFFFFFFFu)
            fail("seed", "expected a whole number from 0 to 4294967295, not " + brief(v));
        seed = unsigned(v.get<std::uint64_t>());
    }
    std::srand(seed);
    for (std::size_t i = 0; i < ships.size(); ++i)
        m.a[i] = shipFrom(ships[i], int(i), labels, "ships[" + std::to_string(i) + "]");

    if (j.contains("player")) m.you = refFrom(j["player"], 0, labels, "player");
    if (j.contains("side"))
        m.sid = enumFrom(sides, j["side"], "side");
    else if (m.you >= 0 && m.you < shipCount)
        m.sid = m.a[m.you].side;
    if (j.contains("success")) fileNameFrom(j["success"], m.sucfil, "success");
    if (j.contains("failure")) fileNameFrom(j["failure"], m.faifil, "failure");
    if (j.contains("message")) {
        const Json& v = j["message"];
        std::string text;
        if (v.is_array()) {
            for (std::size_t i = 0; i < v.size(); ++i)
                text += (i ? "\n" : "") + stringFrom(v[i], "message[" + std::to_string(i) + "]");
        } else {
            text = stringFrom(v, "message");
        }
        const std::string bytes = textFrom(text, noteSize - 1, "message");
        std::memcpy(m.note, bytes.data(), bytes.size());
    }
}

std::string jsonText(const Json& j) {
    std::string out;
    layout(out, j, 0);
    return out + "\n";
}
