// Missions as JSON text: the whole mission written out field by field (what
// `kvxtool dump` prints) and read back from that or from a shorter form in
// which ships are given by their design (what `kvxtool build` takes).
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "mission/mission_file.h"

// Objects keep their keys in the order written, so a dump reads in the order
// of the file's records.
using Json = nlohmann::ordered_json;

// A mistake in a mission's JSON. The text starts with where it is, as a path
// such as ships[3].parts[2].kind.
struct JsonError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Every field of the mission and of all 50 ships. Building from this gives
// back the same file, byte for byte.
Json missionToJson(const Mission& m);
Json shipToJson(const ship& s);

// Reads JSON text as the mission sources are written, refusing values nested
// deeper than anything a mission holds. Throws JsonError or the parser's
// exception (nlohmann::json::exception).
Json parseMissionJson(const std::vector<unsigned char>& text);

// Replaces m by the mission described. Fields left out take their defaults
// (see tools/kvxtool/README.md); anything unknown or of the wrong type throws
// JsonError. Ships given by design are built with the game's constructor,
// after srand(seed) with the mission's "seed" (1 when not given).
void missionFromJson(const Json& j, Mission& m);

// The layout `dump` prints: one field per line, short arrays and part slots
// on one line each, only ASCII characters.
std::string jsonText(const Json& j);
