// The browser build's rand and srand: glibc's sequence, which the game's
// behaviour, its recordings and golden pictures were made with. Defined here,
// they take the place of the C library's own.
#include <cstdlib>

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

extern "C" {

void srand(unsigned seed) { glibcSeed(generator(), seed); }

int rand(void) { return glibcNext(generator()); }
}
