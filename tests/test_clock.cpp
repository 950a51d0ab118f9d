// test_clock.cpp: the demo clock in capture mode and frame_delta.
#include <gtest/gtest.h>

#include "render/clock.h"

TEST(Clock, FrameDeltaIsTheFrameTimeOrATenthWhenNotPositive) {
    const float rows[][2] = {{0, 0.1f}, {-0.5f, 0.1f}, {0.016f, 0.016f}, {1e-9f, 1e-9f}};
    for (const auto &row : rows) {
        frame_time = row[0];
        EXPECT_FLOAT_EQ(frame_delta(), row[1]) << row[0];
    }
    frame_time = 0.0f;
}

TEST(Clock, FixedRateAdvancesByWholeFrames) {
    clock_use_fixed_rate(25.0f);
    EXPECT_FLOAT_EQ(clock_seconds(), 0.0f);
    for (int i = 0; i < 50; i++) clock_advance_frame();
    EXPECT_FLOAT_EQ(clock_seconds(), 2.0f);
    EXPECT_EQ(clock_milliseconds(), 2000u);
    clock_advance_frame();
    EXPECT_FLOAT_EQ(clock_seconds(), 2.04f);
    clock_use_fixed_rate(0.0f);  // back to the millisecond clock
}

TEST(Clock, RealClockStartsAtItsFirstCallAndNeverRunsBackwards) {
    float a = clock_seconds();
    float b = clock_seconds();
    EXPECT_GE(a, 0.0f);
    EXPECT_GE(b, a);
    EXPECT_LT(b, 60.0f);
}
