// test_clock.cpp: the demo clock in capture mode, frame_delta and the part time.
#include <gtest/gtest.h>

#include "render/clock.h"

TEST(Clock, FrameDeltaIsTheFrameTimeOrATenthWhenNotPositive) {
    frame_time = 0.0f;
    EXPECT_FLOAT_EQ(frame_delta(), 0.1f);
    frame_time = -0.5f;
    EXPECT_FLOAT_EQ(frame_delta(), 0.1f);
    frame_time = 0.016f;
    EXPECT_FLOAT_EQ(frame_delta(), 0.016f);
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

TEST(Clock, PartTimeIsStoredForTheStatistics) {
    set_part_time(12.5f);
    EXPECT_FLOAT_EQ(part_time, 12.5f);
}
