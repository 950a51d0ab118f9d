// test_schedule.cpp: the schedule advance, the driver's options and the shapes of its passes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "demo/bench.h"
#include "demo/compositing.h"
#include "demo/options.h"
#include "demo/schedule.h"
#include "parts/part_table.h"

namespace {

// A complete table: entry k begins at 10 k seconds, the show ends at 170.
struct FullTable {
    float times[18];
    FullTable() {
        for (int k = 0; k < 18; ++k) times[k] = 10.0f * k;
    }
};

TEST(ScheduleAdvance, AStartOffsetBeyondSeveralEntriesPassesEachWithItsResetAndStencilStep) {
    FullTable table;
    ScheduleAdvance advance = schedule_advance(table.times, 18, -1, 45.0f);
    EXPECT_EQ(advance.index, 4);
    EXPECT_EQ(advance.changes, 5);  // entries 0, 1, 2, 3 and 4 each begin once
    ASSERT_EQ(advance.stencil_step_count, 2);
    EXPECT_EQ(advance.stencil_steps[0], STENCIL_ENABLE);
    EXPECT_EQ(advance.stencil_steps[1], STENCIL_DISABLE);
}

TEST(ScheduleAdvance, EnteringTheWipeEnablesTheStencilAndLeavingItDisablesIt) {
    FullTable table;
    ScheduleAdvance into = schedule_advance(table.times, 18, 2, 30.0f);
    EXPECT_EQ(into.index, 3);
    ASSERT_EQ(into.stencil_step_count, 1);
    EXPECT_EQ(into.stencil_steps[0], STENCIL_ENABLE);
    ScheduleAdvance during = schedule_advance(table.times, 18, 3, 39.9f);
    EXPECT_EQ(during.index, 3);
    EXPECT_EQ(during.changes, 0);
    EXPECT_EQ(during.stencil_step_count, 0);
    ScheduleAdvance out = schedule_advance(table.times, 18, 3, 40.0f);
    EXPECT_EQ(out.index, 4);
    ASSERT_EQ(out.stencil_step_count, 1);
    EXPECT_EQ(out.stencil_steps[0], STENCIL_DISABLE);
}

TEST(ScheduleAdvance, AFirstTimeAheadOfTheClockStaysBeforeTheFirstEntry) {
    float times[18] = {5.0f};
    for (int k = 1; k < 18; ++k) times[k] = 5.0f + k;
    ScheduleAdvance advance = schedule_advance(times, 18, -1, 0.0f);
    EXPECT_EQ(advance.index, -1);
    EXPECT_EQ(advance.changes, 0);
    EXPECT_FLOAT_EQ(schedule_part_time(times, 18, -1, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(schedule_part_time(times, 18, -1, 3.5f), 3.5f);
}

TEST(ScheduleAdvance, TheLastTimeMovesPastTheLastEntry) {
    FullTable table;
    EXPECT_EQ(schedule_advance(table.times, 18, 16, 169.99f).index, 16);
    EXPECT_EQ(schedule_advance(table.times, 18, 16, 170.0f).index, 17);
    // A table with more times than entries runs past 17 too; the driver quits there.
    float longer[20];
    for (int k = 0; k < 20; ++k) longer[k] = float(k);
    EXPECT_EQ(schedule_advance(longer, 20, -1, 100.0f).index, 19);
}

TEST(ScheduleAdvance, AShortTableStaysOnItsLastEntry) {
    float times[5] = {0, 1, 2, 3, 4};
    ScheduleAdvance advance = schedule_advance(times, 5, -1, 1000.0f);
    EXPECT_EQ(advance.index, 4);
    EXPECT_EQ(schedule_advance(nullptr, 0, -1, 1000.0f).index, -1);
}

TEST(ScheduleAdvance, AnUnsortedTableStopsAtTheFirstTimeStillAhead) {
    float times[6] = {0, 10, 50, 20, 30, 40};
    ScheduleAdvance advance = schedule_advance(times, 6, -1, 35.0f);
    EXPECT_EQ(advance.index, 1);
}

TEST(ScheduleAdvance, PartTimeIsMeasuredFromTheEntrysOwnStart) {
    FullTable table;
    EXPECT_FLOAT_EQ(schedule_part_time(table.times, 18, 4, 45.5f), 5.5f);
}

// The wiring of every entry: the parts it animates and renders in order (the presented one
// last), each with its local time and camera mode. Entry k begins at 10 k s; t = 200.
TEST(ScheduleWiring, EveryEntryDrawsItsPartsWithTheirClocksAndCameraModes) {
    struct Expected {
        int count;
        EntryStep steps[2];
        EntryPass pass;
    };
    const Expected expected[SCHEDULE_ENTRIES] = {
        {1, {{1, 200, true}}, PASS_NONE},
        {1, {{2, 190, true}}, PASS_MIRROR},
        {1, {{3, 180, false}}, PASS_NONE},
        {2, {{3, 180, false}, {4, 170, true}}, PASS_WIPE},
        {1, {{4, 170, true}}, PASS_NONE},  // part 4 runs on from the wipe's start
        {1, {{5, 150, true}}, PASS_NONE},
        {1, {{6, 140, true}}, PASS_NONE},
        {1, {{7, 130, true}}, PASS_NONE},
        {2, {{7, 130, true}, {8, 120, false}}, PASS_NONE},
        {1, {{8, 120, false}}, PASS_NONE},
        {2, {{8, 120, false}, {9, 100, true}}, PASS_NONE},
        {1, {{9, 100, true}}, PASS_NONE},
        {1, {{10, 80, false}}, PASS_NONE},
        {1, {{9, 90, true}}, PASS_NOISE},  // 20 s on from where entry 11 left part 9
        {1, {{11, 60, true}}, PASS_NONE},
        {2, {{11, 60, true}, {12, 50, true}}, PASS_NONE},
        {1, {{12, 50, true}}, PASS_NONE},
    };
    FullTable table;
    bool modes[PART_COUNT];
    for (int k = 0; k < PART_COUNT; k++) modes[k] = part_table[k].camera_mode;
    for (int index = 0; index < SCHEDULE_ENTRIES; index++) {
        SCOPED_TRACE(index);
        EntryStep steps[2];
        int count = entry_steps(index, 200.0f, table.times, modes, steps);
        ASSERT_EQ(count, expected[index].count);
        EXPECT_EQ(schedule_table[index].pass, expected[index].pass);
        for (int i = 0; i < count; i++) {
            EXPECT_EQ(steps[i].part, expected[index].steps[i].part);
            EXPECT_FLOAT_EQ(steps[i].local_time, expected[index].steps[i].local_time);
            EXPECT_EQ(steps[i].camera_mode, expected[index].steps[i].camera_mode);
        }
    }
    EntryStep steps[2];
    EXPECT_EQ(entry_steps(SCHEDULE_ENTRIES, 200.0f, table.times, modes, steps), 0);
}

TEST(DemoOptions, DefaultsPlayWithSoundFromTheStart) {
    DemoOptions options = parse_demo_options("");
    EXPECT_TRUE(options.music);
    EXPECT_FLOAT_EQ(options.start_offset, 0.0f);
    EXPECT_FALSE(options.capture);
    EXPECT_FALSE(options.bench);
    EXPECT_EQ(options.frames, 0);
    EXPECT_TRUE(parse_demo_options(nullptr).music);
}

TEST(DemoOptions, PosAndNosoundAreFoundAnywhere) {
    DemoOptions options = parse_demo_options("window nosound pos100.7 stat");
    EXPECT_FALSE(options.music);
    EXPECT_FLOAT_EQ(options.start_offset, 100.7f);
    EXPECT_FLOAT_EQ(parse_demo_options("pos 12.5").start_offset, 12.5f);
    EXPECT_FLOAT_EQ(parse_demo_options("position").start_offset, 0.0f);
    EXPECT_FLOAT_EQ(parse_demo_options("pos").start_offset, 0.0f);
    EXPECT_FLOAT_EQ(parse_demo_options("pos1e99").start_offset, 0.0f);
    EXPECT_FLOAT_EQ(parse_demo_options("posnan").start_offset, 0.0f);
}

TEST(DemoOptions, CaptureTakesItsRateAndFramesItsCount) {
    DemoOptions options = parse_demo_options("capture30 frames120");
    EXPECT_TRUE(options.capture);
    EXPECT_FLOAT_EQ(options.capture_rate, 30.0f);
    EXPECT_EQ(options.frames, 120);
    EXPECT_FALSE(options.images);
    EXPECT_FLOAT_EQ(parse_demo_options("capture").capture_rate, 60.0f);
    EXPECT_FLOAT_EQ(parse_demo_options("capture0").capture_rate, 60.0f);
    EXPECT_FLOAT_EQ(parse_demo_options("capture-5").capture_rate, 60.0f);
    EXPECT_FLOAT_EQ(parse_demo_options("capture99999").capture_rate, 60.0f);
    EXPECT_EQ(parse_demo_options("frames-3").frames, 0);
    EXPECT_TRUE(parse_demo_options("capture images").images);
    EXPECT_TRUE(parse_demo_options("bench frames10").bench);
}

TEST(DemoOptions, NewOptionsDoNotTriggerTheProgramsOwnOptions) {
    const char *ours[] = {"capture", "frames", "images", "bench"};
    const char *searched[] = {"window", "stat", "res", "nosound", "pos"};
    for (const char *option : ours)
        for (const char *word : searched) EXPECT_EQ(strstr(option, word), nullptr) << option << " holds " << word;
}

TEST(WipeWave, FollowsTheFormulaAndSinksAsPartFourAdvances) {
    // At t = 0 and L3 = 0: y = sin(i) / 10 + sin(i) / 8 + 1.2 + sin(i / 12.3) sin(i / 7.5) / 5.
    double y = wipe_wave_y(10, 0.0, 0.0);
    double expected = sin(10.0 / 12.3) * sin(10.0 / 7.5) / 5.0 + sin(10.0) / 10.0 + sin(10.0) / 8.0 + 1.2;
    EXPECT_NEAR(y, expected, 1e-12);
    // The ripples add at most 1/5 + 1/10 + 1/8: the wave starts in the top eighth of the
    // screen and, at L3 = 2 pi, lies 1.3 down from there, low in the bottom tenth.
    for (int i = 0; i < WIPE_WAVE_POINTS; ++i) {
        EXPECT_GT(wipe_wave_y(i, 3.0, 0.0), 0.77);
        EXPECT_LT(wipe_wave_y(i, 3.0, 2.0 * M_PI), -0.87);
    }
}

TEST(NoiseAlpha, StaysWithinZeroAndOne) {
    EXPECT_FLOAT_EQ(noise_alpha(0.0f, 45.0f), 0.0f);
    // sin(4t) = 1 at t = pi / 8: a = (L13 - 46) / 1.8, so 1 first at L13 = 47.8.
    float t = float(M_PI / 8.0);
    EXPECT_NEAR(noise_alpha(t, 46.9f), 0.5f, 1e-4f);
    EXPECT_LT(noise_alpha(t, 47.7f), 1.0f);
    EXPECT_FLOAT_EQ(noise_alpha(t, 48.0f), 1.0f);
    EXPECT_FLOAT_EQ(noise_alpha(t, 500.0f), 1.0f);
}

TEST(BenchSummary, MeanMedianPercentileWorstShareAndRate) {
    float times[20], waits[20];
    for (int i = 0; i < 20; ++i) {
        times[19 - i] = 0.001f * float(i + 1);  // 1 .. 20 ms, given in reverse
        waits[i] = 0.25f * 0.001f * float(i + 1);
    }
    BenchSummary s = bench_summarise(times, waits, 20);
    EXPECT_EQ(s.frames, 20);
    EXPECT_NEAR(s.mean_ms, 10.5, 1e-4);
    EXPECT_NEAR(s.median_ms, 10.5, 1e-4);
    EXPECT_NEAR(s.p95_ms, 19.0, 1e-4);
    EXPECT_NEAR(s.worst_ms, 20.0, 1e-4);
    EXPECT_NEAR(s.own_share, 0.75, 1e-5);
    EXPECT_NEAR(s.fps, 20.0 / 0.210, 1e-2);
    float one[1] = {0.004f}, none[1] = {0.0f};
    BenchSummary single = bench_summarise(one, none, 1);
    EXPECT_NEAR(single.p95_ms, 4.0, 1e-4);
    EXPECT_NEAR(single.median_ms, 4.0, 1e-4);
    EXPECT_EQ(bench_summarise(nullptr, nullptr, 0).frames, 0);
}

}  // namespace
