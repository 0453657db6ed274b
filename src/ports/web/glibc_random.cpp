// glibc's random_r, TYPE_3: seeding by the Park-Miller generator computed with
// Schrage's method, then front += rear over a ring of 31 words.
#include "ports/web/glibc_random.h"

void glibcSeed(glibcRandom& g, unsigned seed) {
    if (seed == 0) seed = 1;
    // glibc keeps the seed in an int32_t word: seeds of 2^31 and above go in negative.
    std::int32_t word = std::int32_t(seed);
    g.state[0] = word;
    for (int i = 1; i < 31; ++i) {
        const std::int64_t hi = word / 127773;
        const std::int64_t lo = word % 127773;
        word = std::int32_t(16807 * lo - 2836 * hi);
        if (word < 0) word += 2147483647;
        g.state[i] = word;
    }
    g.front = 3;
    g.rear = 0;
    for (int i = 0; i < 310; ++i) glibcNext(g);
}

int glibcNext(glibcRandom& g) {
    const std::uint32_t sum = std::uint32_t(g.state[g.front]) + std::uint32_t(g.state[g.rear]);
    g.state[g.front] = std::int32_t(sum);
    g.front = g.front == 30 ? 0 : g.front + 1;
    g.rear = g.rear == 30 ? 0 : g.rear + 1;
    return int(sum >> 1);
}
