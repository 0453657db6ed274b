// glibc's rand: the additive feedback generator of its random_r (TYPE_3, 31
// words), in portable form. The game's behaviour, its golden recordings and
// pictures follow glibc's sequence, so a build on another C library (the
// browser's) draws its rand from here.
#pragma once

#include <cstdint>

struct glibcRandom {
    std::int32_t state[31] = {};
    int front = 3; // glibc's fptr, as an index into state
    int rear = 0;  // its rptr
};

// srand(seed): the state as glibc seeds it, the first 310 outputs discarded.
void glibcSeed(glibcRandom& g, unsigned seed);

// rand(): the next number, 0 to 2^31 - 1.
int glibcNext(glibcRandom& g);
