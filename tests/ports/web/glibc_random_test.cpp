// The portable glibc generator draws the system's own rand sequence (this
// test runs against glibc) from every kind of seed, edges included.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ports/web/glibc_random.h"

TEST(GlibcRandom, DrawsTheSystemsSequenceFromEverySeed) {
    for (unsigned seed : {0u, 1u, 7u, 12345u, 2147483647u, 2147483653u, 4294967295u}) {
        glibcRandom g;
        glibcSeed(g, seed);
        std::srand(seed);
        int departs = -1;
        for (int i = 0; i < 100000 && departs < 0; ++i)
            if (glibcNext(g) != std::rand()) departs = i;
        EXPECT_EQ(departs, -1) << "seed " << seed << ": the sequence departs at draw " << departs;
    }
}
