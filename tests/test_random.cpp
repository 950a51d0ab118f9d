// test_random.cpp: the one global random sequence behaves like the classic library rand.
#include <gtest/gtest.h>

#include "scene/random.h"

namespace {

TEST(Random, StartsWithTheClassicSequence) {
    random_reset();
    EXPECT_EQ(random_next(), 41);
    EXPECT_EQ(random_next(), 18467);
    EXPECT_EQ(random_next(), 6334);
    EXPECT_EQ(random_next(), 26500);
    EXPECT_EQ(random_next(), 19169);
    random_reset();
    EXPECT_EQ(random_next(), 41);
}

TEST(Random, StaysInRangeAndWrapsTheState) {
    random_reset();
    int lowest = RANDOM_MAX, highest = 0;
    // far more calls than 2^32 / 214013, so the 32-bit state wraps many times
    for (int i = 0; i < 200000; i++) {
        int r = random_next();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, RANDOM_MAX);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 10);
    EXPECT_GT(highest, RANDOM_MAX - 10);
    // the state after n calls follows the recurrence computed here independently
    random_reset();
    uint64_t state = 1;
    for (int i = 0; i < 1000; i++) {
        state = (state * 214013u + 2531011u) % 4294967296u;
        ASSERT_EQ(random_next(), int((state >> 16) & 0x7fff)) << i;
    }
}

}  // namespace
