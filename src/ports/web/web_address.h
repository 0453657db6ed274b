// What the game's page reads from its own address: a mission shared as a
// link (#mission=<url-safe base64 of the mission file>) and the options of the
// query (?seed=5&size=800x600&dt=0.016&frames=60&fps=0&digest=100), which make
// a run as reproducible as korvane-headless's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The most a link may carry: a mission file is 51052 bytes, and anything
// longer is refused before it is decoded.
constexpr std::size_t maxLinkBytes = 1u << 20;

enum class linkMission {
    none, // the address carries no mission
    read, // the mission's bytes, whatever they hold: the game's loader judges them
    bad,  // not url-safe base64, or too long: `error` says why
};

// The mission of an address's fragment (with or without its '#'):
// "mission=" then url-safe base64 ('-' and '_' for '+' and '/', padding
// optional), up to the end or an '&'.
linkMission missionFromLink(std::string_view fragment, std::vector<unsigned char>& bytes,
                            std::string& error);

// The page's options. A run with a frame time (`dt`) is a test run: its clock
// advances by exactly dt a frame, as korvane-headless's does.
struct webOptions {
    unsigned seed = 0;
    bool seeded = false;
    int width = 0, height = 0; // 0: the page's size in device pixels
    double dt = 0;             // seconds a frame; 0: the real clock
    int frames = 0;            // stop after this many frames; 0: never
    std::string fps;           // as KORVANE_FPS; empty: 60 a second
    int digestEvery = 0;       // "digest <frame> <hex>" on the console every Nth frame; 0: never
};

// Reads a query (with or without its '?'). Each option it cannot take is
// left at its default and named in `problems`, one line each.
webOptions webOptionsFrom(std::string_view query, std::vector<std::string>& problems);
