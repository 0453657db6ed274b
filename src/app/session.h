// What a run of the game records and plays back: recordings of whole games
// (KORVANE_RECORD), playback of one (KORVANE_REPLAY, or korvane-headless
// --replay) and the state digests that check a playback against what was
// recorded. The frame loop and the driver's mission loads call in here; the
// game's rules never depend on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "gdi/gdi.h"

struct recording;

struct sessionOptions {
    std::string record;          // write a recording of the run here ("" none)
    std::string play;            // play this recording back ("" none)
    int digestEvery = 0;         // print "digest <frame> <hex>" after every Nth frame (0 never)
    bool scratchDir = false;     // play back in a scratch folder of its own, removed at the end
    const char* who = "korvane"; // how messages name the program
    bool boxes = true; // problems also in a message box (the real game's only voice on Windows)
    bool watch = false; // the playback is watched in the viewer: paused, sought, sped, taken over
};

// The options read from the environment (KORVANE_RECORD, KORVANE_REPLAY), as
// the real game takes them.
sessionOptions sessionFromEnvironment();

// Sets the run's options; without this call, gameMain takes them from the
// environment.
void sessionConfigure(const sessionOptions& o);

// Called by gameMain in this order. sessionOpen reads a recording to play
// (false, with its one-line message on standard error, when it is refused).
bool sessionOpen();
// Playback: the recording's window size and seed replace the system's.
void sessionSize(int& width, int& height);
unsigned sessionSeed(unsigned systemSeed);
// Starts the recording once the seed and size are known.
void sessionStart(unsigned seed, int width, int height);
// Each frame, before goProgram: records the input the game is to read (the
// keys after the player's bindings) and the measured frame time, or puts the
// recording's in their place. False when the recording being played has run
// out: the run ends.
bool sessionFrame(float& t, inputState& input);
// Whether a recording is being played back.
bool sessionPlaying();
// Whether it is watched in the viewer (sessionOptions::watch).
bool sessionWatching();
// The frames run so far (the frame being run, once sessionFrame has begun it).
int sessionFrameNow();
// Where a playback stands between frames, for a viewer that goes back and
// forth: put back with the game's state of the same moment.
struct sessionPlace {
    std::uint32_t frame = 0;
    std::size_t nextRead = 0, nextCheckpoint = 0;
    inputState input; // the recording's input as it stands
};
sessionPlace sessionWhere();
void sessionGoTo(const sessionPlace& p);
// The recording being played (empty when none).
const recording& sessionRecording();

// C in the viewer: the playback ends at the frame it has reached and the game
// goes on live from there, recorded to `path` (relative to where the run
// started; "" for where the run records, else replays/<date and time>.kvr):
// the new recording holds the one played up to there, so it plays
// back whole. False, with the reason, when it cannot be written; the playback
// then goes on.
bool sessionTakeOver(const std::string& path, std::string& error);
// A stretch of the recording being played, frames `from` to `to`, written as
// a recording that opens at `from` (it holds the frames before as its lead-in).
bool sessionWriteClip(int from, int to, const std::string& path, std::string& error);
// The folder the run started in: the player's, also while a recording is
// played back in a scratch folder.
std::string sessionHome();
// The local date and time as recordings are named, 2026-12-09-143005, or
// in another strftime format (autosaves': 20261209-143005).
std::string timeStamp(const char* format = "%Y-%m-%d-%H%M%S");

// The mission file the recording being played read first ("" when none).
std::string sessionFirstMission();
// Each frame after it is shown: digests printed, checked and recorded, with
// a hash of the frame's picture (the memory bitmap it was drawn into; null
// for a frame run unseen, whose picture is not checked).
void sessionFrameDone(HDC frame);
// A message of the game's (a load that failed): a message box; while a
// recording is watched, a notice, and only for a frame that is shown (the
// viewer runs frames again and unseen: a box each time would be a flood).
void sessionSay(const char* caption, const std::string& text);
// Whether the frame about to run is shown (the viewer's seeks run frames unseen).
void sessionFrameSeen(bool seen);

// While quiet, frames are neither checked, printed nor recorded: a viewer
// draws a frame again from a view of its own, whose state it then drops.
void sessionQuiet(bool quiet);
// The end of the run: the recording closed, the scratch folder removed.
void sessionClose();

// A mission file read by the driver: from the folder (and kept in the
// recording), or given back from the recording being played.
bool sessionReadMission(const char* path, std::vector<unsigned char>& bytes);

// The file the recording being played reads next ("" when none, or when no
// recording is played).
std::string sessionNextRead();

// The number of frames of the recording being played (0 when none).
int sessionPlayFrames();

// Whether the playback departed from its recording (or the recording could
// not be written): korvane-headless then exits with 1.
bool sessionFailed();
// Whether a recording that ends early (cut off) was played to its last whole
// frame, and said so: the run's exit status is then 3.
bool sessionEndedEarly();
