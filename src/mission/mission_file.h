// Mission files: kvxmap.NNNN.kvx in the working directory, 51052 bytes: a
// 100-byte header (code 1101, player ship and side, success and failure file
// names), the 500-byte mission message and the 50 ship images, each block
// closed by a newline byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"

constexpr int missionFileSize = 51052;
constexpr int missionCode = 1101;
constexpr int noteSize = 500;
constexpr int fileNameSize = 16;

// The parts of the driver's state a mission file holds.
struct MissionRefs {
    ship* a;      // the 50 ships
    int& you;     // the player's ship
    int& sid;     // the player's side
    char* sucfil; // 16 bytes: the file loaded when the mission is won
    char* faifil; // 16 bytes: the file loaded when it is lost
    char* note;   // 500 bytes: the mission message
};

// A mission with storage of its own, as the game starts it, for tools and
// tests (the game itself keeps these in the driver's state).
struct Mission {
    ship a[shipCount];
    int you = 0;
    int sid = 0;
    char sucfil[fileNameSize] = "kvxmap.0000.kvx";
    char faifil[fileNameSize] = "kvxmap.0000.kvx";
    char note[noteSize] = {};

    MissionRefs refs() { return {a, you, sid, sucfil, faifil, note}; }
};

// Writes the mission to path. Returns the messages to show (caption: the file
// name); empty when all went well.
std::vector<std::string> saveMission(const char* path, const MissionRefs& m);

// Replaces the mission from path. Returns the messages to show, in order.
std::vector<std::string> loadMission(const char* path, const MissionRefs& m);

// The two halves of loadMission, so a recording can keep what was read and
// give it back: the bytes the game reads of a mission file (at most
// missionFileSize; false when it cannot be opened or read), and the load from
// them (found false: the message of a file that could not be opened).
bool readMissionFile(const char* path, std::vector<unsigned char>& bytes);
std::vector<std::string> loadMissionRead(bool found, const std::vector<unsigned char>& bytes,
                                         const MissionRefs& m);

// The same on bytes in memory, for tools and tests: the whole file image,
// however short or long.
std::vector<std::string> loadMissionBytes(const std::vector<unsigned char>& bytes,
                                          const MissionRefs& m);
std::vector<unsigned char> missionBytes(const MissionRefs& m);

// Whether name is a mission file name of the working directory:
// "kvxmap.NNNN.kvx" with N a digit or capital letter, nothing more.
bool isMissionFileName(std::string_view name);

// Makes a mission safe to play, whatever a file put into it (every load runs
// it): you in 0..49 and sid in 0..2, else 0; the message and the ship names
// terminated; a follow-up name that is not "kvxmap.NNNN.kvx" (N a digit or
// capital letter) becomes "kvxmap.0000.kvx"; a ship reference outside 0..49
// becomes the ship's own index (none); side outside 0..2 and core outside
// 0..16 become 0; a part of unknown kind, or with a row outside its attribute
// table, is emptied; a parent outside 0..16 becomes the part's own slot;
// numbers that are not finite become 0, and a heading that is not finite or
// is (0, 0) becomes (1, 0) on a ship that is alive or has parts. A mission the
// game wrote itself comes through unchanged.
void makeMissionSafe(const MissionRefs& m);
