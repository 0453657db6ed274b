// State digests: a hash of everything that makes up the game's state between
// frames, in named parts, so two runs can be compared frame by frame and a
// difference traced to the ship slot, the frags or the piece of the driver's,
// menus' or editor's state where it starts. Each owner of state shows it here
// once, on first use; nothing here changes what it is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"

// The parts of a digest, in a fixed order: the ship slots, then the rest.
enum {
    partShip0 = 0, // partShip0 + k: ship slot k
    partFrags = shipCount,
    partCamera,
    partZoom,
    partPlayerShip,
    partPlayerSide,
    partPilot,
    partRepair,
    partAutopilot,
    partMode,
    partFileName,
    partSuccessFile,
    partFailureFile,
    partMessage,
    partFrameTime,
    partEnterLatch,
    partMainMenu,
    partNameEntry,
    partMessageEntry,
    partEditor,
    digestPartCount
};

// The name of a part, as departures name it: "ship 12", "frags", "camera"...
std::string digestPartName(int part);

// Shows state to the digests under a part: plain bytes (no padding inside),
// ships by their file image, frags field by field. Several spans may share a
// part. A span is shown from its first use on (showing it again changes
// nothing); its owner keeps it for the whole run. An owner whose first use
// can come after a snapshot (screens reached later) shows its spans at every
// use: a snapshot from before the first use, put back, hides them again
// until then, as they were.
void watchBytes(int part, const void* at, std::size_t size);
void watchShips(const ship* a);          // the 50 slots, parts partShip0..
void watchShip(int part, const ship* s); // one more ship under a part
void watchFrags(const frag* b);          // the 1500 frags

// State that no digest shows but that a snapshot must keep all the same (what
// only the picture depends on, as the star field).
void keepBytes(const void* at, std::size_t size);

// A snapshot: the bytes of every span shown or kept, in the order shown, and
// which were shown then, and putting them back. A snapshot is put back only
// in the run that took it.
std::vector<unsigned char> takeSnapshot();
void putSnapshotBack(const std::vector<unsigned char>& bytes);

// Where the state shown first under a part lives (for the ship slots, the
// array), for tools that look at a run's state; null when nothing was shown.
const void* watched(int part);

struct stateDigest {
    std::uint64_t total = 0;
    std::uint64_t parts[digestPartCount] = {};
};

// The digest of everything shown so far (a part nothing was shown under hashes
// as empty).
stateDigest digestState();

// 64-bit FNV-1a, continued from `h`.
std::uint64_t hashBytes(const void* at, std::size_t size,
                        std::uint64_t h = 14695981039346656037ull);
