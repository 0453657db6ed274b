// The generator's state on glibc, where initstate gives srand's own sequence
// in a buffer of ours; on Windows it stays the C library's, out of reach.
// (The browser build's generator is its own: ports/web/web_rand.cpp.)
#include "platform/random_state.h"

#if !defined(__EMSCRIPTEN__)

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)

namespace {

// glibc's TYPE_3 generator, the one srand seeds: 31 words and a header word
// that setstate fills with the read position.
constexpr std::size_t stateBytes = 128;
static_assert(stateBytes <= sizeof(randomState::bytes));

alignas(8) char live[stateBytes];
alignas(8) char spare[stateBytes]; // switched to while `live` is written

bool seeded = false;

} // namespace

void randomSeed(unsigned seed) {
    initstate(seed, live, stateBytes);
    seeded = true;
}

bool randomKeep(randomState& s) {
    if (!seeded) return false;
    setstate(live); // writes the read position into the header word
    std::memcpy(s.bytes, live, stateBytes);
    return true;
}

void randomPutBack(const randomState& s) {
    if (!seeded) return;
    // setstate first writes the position of the state it leaves; leaving
    // `spare` keeps that write off the bytes put back.
    initstate(1, spare, stateBytes);
    std::memcpy(live, s.bytes, stateBytes);
    setstate(live);
}

#else

void randomSeed(unsigned seed) { std::srand(seed); }
bool randomKeep(randomState&) { return false; }
void randomPutBack(const randomState&) {}

#endif
#endif
