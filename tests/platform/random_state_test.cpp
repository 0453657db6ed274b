// The generator's state kept and put back: the same numbers follow, from any
// point, as many times as it is put back, and seeding gives srand's sequence.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/random_state.h"

namespace {

std::vector<int> draw(int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(std::rand());
    return v;
}

} // namespace

TEST(RandomState, PutBackGivesTheSameNumbersAndSeedingIsSrands) {
    std::srand(77);
    const std::vector<int> plain = draw(400);
    randomSeed(77);
    EXPECT_EQ(draw(400), plain) << "seeded as srand seeds";

    randomSeed(5);
    draw(123); // anywhere in the ring of words
    randomState kept;
    ASSERT_TRUE(randomKeep(kept));
    const std::vector<int> after = draw(1000);
    for (int again = 0; again < 3; ++again) {
        randomPutBack(kept);
        EXPECT_EQ(draw(1000), after) << "put back " << again + 1 << " times";
    }
    // A state kept later is another place in the same sequence.
    randomPutBack(kept);
    draw(10);
    randomState later;
    ASSERT_TRUE(randomKeep(later));
    randomPutBack(later);
    EXPECT_EQ(draw(990), std::vector<int>(after.begin() + 10, after.end()));
    std::srand(1);
}
