// test_random.cpp: the one global random sequence behaves like the classic library rand.
#include <gtest/gtest.h>

#include "scene/random.h"

namespace {

TEST(Random, StartsWithTheClassicSequence) {
    for (int run = 0; run < 2; run++) {
        random_reset();
        for (int expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(random_next(), expected) << run;
    }
}

TEST(Random, StaysInRangeAndWrapsTheState) {
    random_reset();
    int lowest = RANDOM_MAX, highest = 0;
    // far more calls than 2^32 / 214013, so the 32-bit state wraps many times
    for (int i = 0; i < 200000; i++) {
        int r = random_next();
        ASSERT_TRUE(r >= 0 && r <= RANDOM_MAX) << r;
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 10);
    EXPECT_GT(highest, RANDOM_MAX - 10);
}

}  // namespace
