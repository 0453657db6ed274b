// Recordings of whole games: the seed, the window size, each frame's measured
// frame time, the input as it changed, the bytes of every mission file the
// game read, and digests of the game's state at checkpoints. The game is
// deterministic given these, so a recording plays back exactly.
//
// The file is gzip-compressed; inside, after the 7 bytes "KVXREC" and the
// version, little-endian numbers: the seed, width and height (u32 each), the
// random generator it ran with (u8: 1 the C library's of Linux and the
// browser, 2 Windows'), then records, each a tag byte and its fields:
//   'K' u8 key, u8 down      a key or mouse button changed (virtual-key code)
//   'M' i32 x, i32 y         the cursor moved
//   'A' u8 on                the window gained (1) or lost (0) the focus
//   'S' u32 w, u32 h         the frame's size changed (the window resized, or
//                            another scale or full screen chosen) (version 2)
//   'P' u8 palette           another palette of side colours was chosen (version 2)
//   'F' f32 t                a frame ran with measured frame time t
//   'f'                      a frame ran with the previous frame's time
//   'R' u8 n, n bytes name, u8 found, u32 size, size bytes
//                            the frame read a mission file (found 0: it could not)
//   'D' u64 total, u64 picture, u8 n, n x u16 parts
//                            the state digest after the frame: its total, the
//                            hash of the frame's picture (0: not taken) and
//                            the low 16 bits of each part's hash
//   'C' u32 frame            a clip: a viewer opens it at this frame, the frames
//                            before being its lead-in (version 3, right after
//                            the header; only clips are of version 3)
//   'E' u32 frames           the end, and how many frames there were
// Input changes come before the frame they apply to; reads and digests after
// the frame record they belong to.
//
// A recording is flushed to its file (a gzip sync flush) at least twice a
// second as it is written, so a game killed at any instant leaves all but
// its last moments. A recording without its end record, cut in the middle of
// a record or of the gzip stream, reads as far as its last whole frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "replay/digest.h"

constexpr int recordingVersion = 2;
constexpr int clipRecordingVersion = 3; // a recording with a 'C' record
constexpr int oldestRecordingVersion = 1; // version 1 has no 'S' and 'P' records

// The random generators a game can run with: the C library's rand, which is
// one generator on Linux and in the browser and another on Windows. A
// recording plays back only with the generator it was made with.
enum : std::uint8_t { randomLinux = 1, randomWindows = 2 };
#if defined(_WIN32)
constexpr std::uint8_t randomHere = randomWindows;
#else
constexpr std::uint8_t randomHere = randomLinux;
#endif
constexpr const char* recordingMagic = "KVXREC";

// A change of the input between frames.
struct inputChange {
    enum kind : std::uint8_t { key, cursor, focus, size, palette };
    std::uint8_t what = key;
    int a = 0; // key: the virtual-key code; cursor: x; focus: on; size: width; palette
    int b = 0; // key: down; cursor: y; size: height
};

struct recordedFrame {
    float t = 0;               // the measured frame time the driver was given
    std::uint32_t input = 0;   // its input changes, made before it ran: inputs[input] on,
    std::uint32_t changes = 0; // this many
};

struct missionRead {
    std::uint32_t frame = 0; // frames count from 1
    std::string name;
    bool found = false;
    std::vector<unsigned char> bytes;
};

struct checkpoint {
    std::uint32_t frame = 0; // after this frame
    std::uint64_t total = 0;
    std::uint64_t picture = 0; // the frame's pixels, hashed; 0 when not taken
    std::vector<std::uint16_t> parts; // low 16 bits of each part's hash
};

struct recording {
    std::uint32_t seed = 0;
    int width = 0, height = 0;
    std::uint8_t random = randomHere; // the generator it was made with
    std::vector<recordedFrame> frames;
    std::vector<inputChange> inputs;
    std::vector<missionRead> reads;
    std::vector<checkpoint> checkpoints;
    bool endsEarly = false; // cut off: frames holds the whole frames before the cut
    std::uint32_t start = 0; // a clip: the frame a viewer opens it at (0: none)
};

// Reads a recording file whole. False, with one line saying what is wrong,
// for a file that cannot be read, is not a recording, is cut off before its
// first whole frame, is corrupt, or is of another version. A recording cut
// off later reads to its last whole frame, with endsEarly set. (Whether it was made with this build's
// random generator is the player's to check: a tool may read any.)
bool readRecording(const std::string& path, recording& out, std::string& error);
// The same on the file's bytes, and on the bytes inside its gzip stream.
bool parseRecording(const std::vector<unsigned char>& file, recording& out, std::string& error);
bool parseRecordingData(const std::vector<unsigned char>& data, recording& out,
                        std::string& error);

// A recording being written as the game runs.
struct recorder {
    void* file = nullptr; // the gzip stream
    bool haveTime = false;
    float lastTime = 0;
    std::uint32_t frames = 0;
    bool failed = false; // a write failed: the rest is dropped, the game goes on
    double flushedAt = 0; // when the stream was last flushed to the file (seconds)
};

// The longest a recording being written keeps what it has from its file.
constexpr double recordFlushSeconds = 0.5;

// Starts a recording at path. False, with the reason, when it cannot be made.
// A clip's start (not 0) is written after the header.
bool recordStart(recorder& r, const std::string& path, std::uint32_t seed, int width, int height,
                 std::string& error, std::uint32_t clipStart = 0);
void recordInput(recorder& r, const inputChange& c);
// A frame's time; the frames before it are flushed to the file first when
// recordFlushSeconds have passed since the last flush.
void recordFrame(recorder& r, float t);
void recordRead(recorder& r, const std::string& name, bool found,
                const std::vector<unsigned char>& bytes);
void recordDigest(recorder& r, const stateDigest& d, std::uint64_t picture);
// Closes the recording with its end record. False when any write failed.
bool recordFinish(recorder& r);

// Writes the records of every frame of `r` (its input, frame times, reads and
// digests) to a recording being written: a recording that goes on from there.
void recordFrames(recorder& w, const recording& r);

// Writes a whole recording, as read, to path: the same records in the same
// order, so that it reads back equal. False, with the reason, when it cannot.
bool writeRecording(const std::string& path, const recording& r, std::string& error);

// The most a mission read holds: the game reads no more of a mission file.
constexpr std::uint32_t maxMissionRead = 51052;

// The largest recording a reader takes, uncompressed: hours of play.
constexpr std::size_t maxRecordingBytes = 256u << 20;

// The line a playback says of a recording that ends early (here, as the
// browser build has no reader of its own).
inline std::string endsEarlyLine(const std::string& path, const recording& r) {
    return path + " ends early at frame " + std::to_string(r.frames.size()) + "; played to there";
}
