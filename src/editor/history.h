// The editor's undo history: the steps by which a fixed-size image of the
// mission (its bytes as the game holds them) changed, each kept as what it
// changed and nothing more, so that thousands of steps fit in little memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// One step: the runs of bytes it changed, each as the old bytes exclusive-ored
// with the new ones, so the same record takes the image back and forth.
struct historyStep {
    std::string name; // what the mission maker did, as the foot line says it
    std::vector<std::uint32_t> at, size; // the runs: offset and length
    std::vector<unsigned char> flips;    // old ^ new, the runs one after another
};

struct history {
    std::vector<unsigned char> base; // the image as the last step left it
    std::deque<historyStep> steps;   // oldest first
    std::size_t done = 0;            // steps[0, done) are done, the rest undone
    std::size_t bytes = 0;           // the memory the steps hold
};

// The steps are kept within this much memory, the oldest given up first.
constexpr std::size_t historyBudget = std::size_t(16) << 20;

// Starts again from image, with no steps.
void historyReset(history& h, const std::vector<unsigned char>& image);
// When image differs from the base, records the difference as one step named
// name (dropping the undone steps) and makes image the base. True when a
// step was made.
bool historyCommit(history& h, const std::vector<unsigned char>& image, const std::string& name);
// Takes image (which must be the base: commit first) one step back or
// forward. Returns the step's name, or "" when there is none to take.
std::string historyUndo(history& h, std::vector<unsigned char>& image);
std::string historyRedo(history& h, std::vector<unsigned char>& image);
// The memory one step holds.
std::size_t stepBytes(const historyStep& s);
