// The browser build's rand and srand: glibc's sequence, which the game's
// behaviour, its recordings and golden pictures were made with. Defined here,
// they take the place of the C library's own; a viewer keeps and puts back
// its state.
#include <cstdlib>
#include <cstring>

#include "platform/random_state.h"
#include "ports/web/glibc_random.h"

namespace {

glibcRandom& generator() {
    static glibcRandom g = [] {
        glibcRandom seeded;
        glibcSeed(seeded, 1); // rand before any srand draws as after srand(1)
        return seeded;
    }();
    return g;
}

} // namespace

static_assert(sizeof(glibcRandom) <= sizeof(randomState::bytes));

void randomSeed(unsigned seed) { std::srand(seed); }

bool randomKeep(randomState& s) {
    std::memcpy(s.bytes, &generator(), sizeof(glibcRandom));
    return true;
}

void randomPutBack(const randomState& s) { std::memcpy(&generator(), s.bytes, sizeof(glibcRandom)); }

extern "C" {

void srand(unsigned seed) { glibcSeed(generator(), seed); }

int rand(void) { return glibcNext(generator()); }
}
