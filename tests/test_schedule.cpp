// test_schedule.cpp: the schedule advance, the local times each entry hands its parts, the
// driver's options and the shapes of its passes.
#include <gtest/gtest.h>

#include <cmath>

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

TEST(ScheduleAdvance, MovesPastEveryTimeReachedWithEachChangeAndStencilStep) {
    FullTable table;
    const struct {
        int from;
        float t;
        int index, changes;
        int steps[2];  // the stencil steps in order, 0 for none
    } cases[] = {
        {-1, 45.0f, 4, 5, {STENCIL_ENABLE, STENCIL_DISABLE}},  // entries 0 to 4 each begin once
        {-1, 0.0f, 0, 1, {0, 0}},                               // a time on an entry's start is in it
        {2, 30.0f, 3, 1, {STENCIL_ENABLE, 0}},
        {3, 40.0f, 4, 1, {STENCIL_DISABLE, 0}},
        {16, 169.99f, 16, 0, {0, 0}},
        {16, 170.0f, 17, 1, {0, 0}},  // the end of the table; the driver quits there
        {-1, 1000.0f, 17, 18, {STENCIL_ENABLE, STENCIL_DISABLE}},  // never an index at the count
    };
    for (const auto &c : cases) {
        ScheduleAdvance a = schedule_advance(table.times, 18, c.from, c.t);
        SCOPED_TRACE(testing::Message() << "from " << c.from << " at " << c.t);
        EXPECT_EQ(a.index, c.index);
        EXPECT_EQ(a.changes, c.changes);
        EXPECT_EQ(a.stencil_step_count, (c.steps[0] != 0) + (c.steps[1] != 0));
        for (int i = 0; i < a.stencil_step_count && i < 2; i++) EXPECT_EQ(a.stencil_steps[i], c.steps[i]);
    }
}

TEST(ScheduleAdvance, OddTablesStopWhereTheirTimesDo) {
    float late[18];  // the first time ahead of the clock: before the first entry
    for (int k = 0; k < 18; ++k) late[k] = 5.0f + k;
    ScheduleAdvance before = schedule_advance(late, 18, -1, 4.99f);
    EXPECT_TRUE(before.index == -1 && before.changes == 0);
    EXPECT_EQ(schedule_advance(late, 18, -1, 5.0f).index, 0);
    float longer[20];  // more times than entries: runs past 17 too
    for (int k = 0; k < 20; ++k) longer[k] = float(k);
    EXPECT_EQ(schedule_advance(longer, 20, -1, 100.0f).index, 19);
    float short_table[5] = {0, 1, 2, 3, 4};
    EXPECT_EQ(schedule_advance(short_table, 5, -1, 1000.0f).index, 4);
    EXPECT_EQ(schedule_advance(nullptr, 0, -1, 1000.0f).index, -1);
    float unsorted[6] = {0, 10, 50, 20, 30, 40};  // stops at the first time still ahead
    EXPECT_EQ(schedule_advance(unsorted, 6, -1, 35.0f).index, 1);
}

TEST(ScheduleAdvance, PartTimeCountsFromTheCurrentEntrysStart) {
    float times[19];  // 18 times, and one past them that must never be read
    for (int k = 0; k < 19; ++k) times[k] = k < 18 ? 10.0f * k : 1000.0f;
    const struct {
        int current;
        float t, local;
    } cases[] = {{4, 45.5f, 5.5f}, {0, 0.0f, 0.0f}, {16, 160.0f, 0.0f}, {17, 171.0f, 1.0f},
                 {-1, 3.5f, 3.5f},  // before the first entry: the time itself
                 {18, 175.0f, 175.0f}};  // an index at the table's size is not read
    for (const auto &c : cases)
        EXPECT_FLOAT_EQ(schedule_part_time(times, 18, c.current, c.t), c.local) << c.current;
}

// The wiring of every entry: the parts it animates and renders in order (the presented one
// last), each with the local time it gets at the entry's start and 3.5 s into it, and its
// camera mode. Entry k begins at 10 k s.
TEST(ScheduleWiring, EveryEntryHandsEachPartItsLocalTime) {
    struct Expected {
        int count;
        EntryStep steps[2];  // local times at the entry's start
        EntryPass pass;
    };
    const Expected expected[SCHEDULE_ENTRIES] = {
        {1, {{1, 0, true}}, PASS_NONE},
        {1, {{2, 0, true}}, PASS_MIRROR},
        {1, {{3, 0, false}}, PASS_NONE},
        {2, {{3, 10, false}, {4, 0, true}}, PASS_WIPE},
        {1, {{4, 10, true}}, PASS_NONE},  // part 4 runs on from the wipe's start
        {1, {{5, 0, true}}, PASS_NONE},
        {1, {{6, 0, true}}, PASS_NONE},
        {1, {{7, 0, true}}, PASS_NONE},
        {2, {{7, 10, true}, {8, 0, false}}, PASS_NONE},
        {1, {{8, 10, false}}, PASS_NONE},
        {2, {{8, 20, false}, {9, 0, true}}, PASS_NONE},
        {1, {{9, 10, true}}, PASS_NONE},
        {1, {{10, 0, false}}, PASS_NONE},
        {1, {{9, 20, true}}, PASS_NOISE},  // part 9 again, its clock 20 s on at the entry's start
        {1, {{11, 0, true}}, PASS_NONE},
        {2, {{11, 10, true}, {12, 0, true}}, PASS_NONE},
        {1, {{12, 10, true}}, PASS_NONE},
    };
    FullTable table;
    bool modes[PART_COUNT];
    for (int k = 0; k < PART_COUNT; k++) modes[k] = part_table[k].camera_mode;
    for (int index = 0; index < SCHEDULE_ENTRIES; index++) {
        EXPECT_EQ(schedule_table[index].pass, expected[index].pass) << index;
        for (float into : {0.0f, 3.5f}) {
            SCOPED_TRACE(testing::Message() << "entry " << index << ", " << into << " s in");
            EntryStep steps[2];
            ASSERT_EQ(entry_steps(index, table.times[index] + into, table.times, modes, steps), expected[index].count);
            for (int i = 0; i < expected[index].count; i++) {
                EXPECT_EQ(steps[i].part, expected[index].steps[i].part);
                EXPECT_FLOAT_EQ(steps[i].local_time, expected[index].steps[i].local_time + into);
                EXPECT_EQ(steps[i].camera_mode, expected[index].steps[i].camera_mode);
            }
        }
    }
    EntryStep steps[2];
    EXPECT_EQ(entry_steps(SCHEDULE_ENTRIES, 200.0f, table.times, modes, steps), 0);
    EXPECT_EQ(entry_steps(-1, 200.0f, table.times, modes, steps), 0);
}

TEST(DemoOptions, EachOptionIsFoundAnywhereAndBadValuesKeepTheDefaults) {
    const struct {
        const char *line;
        bool music;
        float start, rate;
        bool capture, images, bench;
        int frames;
    } cases[] = {
        {"", true, 0, 60, false, false, false, 0},
        {"window nosound pos100.7 stat", false, 100.7f, 60, false, false, false, 0},
        {"position", true, 0, 60, false, false, false, 0},
        {"pos1e99", true, 0, 60, false, false, false, 0},
        {"posnan", true, 0, 60, false, false, false, 0},
        {"capture30 frames120", true, 0, 30, true, false, false, 120},
        {"capture1000", true, 0, 1000, true, false, false, 0},
        {"capture1001", true, 0, 60, true, false, false, 0},
        {"capture1", true, 0, 1, true, false, false, 0},
        {"capture0 frames-3 images", true, 0, 60, true, true, false, 0},
        {"bench frames1", true, 0, 60, false, false, true, 1},
    };
    for (const auto &c : cases) {
        DemoOptions o = parse_demo_options(c.line);
        EXPECT_TRUE(o.music == c.music && o.capture == c.capture && o.images == c.images && o.bench == c.bench &&
                    o.frames == c.frames)
            << c.line;
        EXPECT_FLOAT_EQ(o.start_offset, c.start) << c.line;
        EXPECT_FLOAT_EQ(o.capture_rate, c.rate) << c.line;
    }
    EXPECT_TRUE(parse_demo_options(nullptr).music);
}

TEST(WipeWave, SinksAsPartFourAdvances) {
    // The ripples add at most 1/5 + 1/10 + 1/8: the wave starts in the top eighth of the
    // screen and, at L3 = 2 pi, lies 1.3 down from there, low in the bottom tenth.
    for (int i = 0; i < WIPE_WAVE_POINTS; ++i) {
        EXPECT_GT(wipe_wave_y(i, 3.0, 0.0), 0.77);
        EXPECT_LT(wipe_wave_y(i, 3.0, 2.0 * M_PI), -0.87);
    }
}

TEST(NoiseAlpha, StaysWithinZeroAndOne) {
    // sin(4t) = 1 at t = pi / 8: a = (L13 - 46) / 1.8, so 1 first at L13 = 47.8.
    const float t = float(M_PI / 8.0);
    const float rows[][3] = {{0, 45, 0}, {t, 46.9f, 0.5f}, {t, 48, 1}, {t, 500, 1}};
    for (const auto &r : rows) EXPECT_NEAR(noise_alpha(r[0], r[1]), r[2], 1e-4f) << r[0] << " " << r[1];
    EXPECT_LT(noise_alpha(t, 47.7f), 1.0f);
}

TEST(BenchSummary, MeanMedianPercentileWorstShareAndRate) {
    float times[20], waits[20];
    for (int i = 0; i < 20; ++i) {
        times[19 - i] = 0.001f * float(i + 1);  // 1 .. 20 ms, given in reverse
        waits[i] = 0.25f * 0.001f * float(i + 1);
    }
    BenchSummary s = bench_summarise(times, waits, 20);
    EXPECT_EQ(s.frames, 20);
    const double got[][2] = {{s.mean_ms, 10.5}, {s.median_ms, 10.5}, {s.p95_ms, 19}, {s.worst_ms, 20},
                             {s.own_share * 1000, 750}, {s.fps, 20.0 / 0.210}};
    for (const auto &g : got) EXPECT_NEAR(g[0], g[1], 1e-2) << &g - got;  // mean, median, p95, worst, share, rate
    float one[1] = {0.004f}, none[1] = {0.0f};
    BenchSummary single = bench_summarise(one, none, 1);
    EXPECT_TRUE(std::fabs(single.p95_ms - 4) < 1e-4 && std::fabs(single.median_ms - 4) < 1e-4);
    EXPECT_EQ(bench_summarise(nullptr, nullptr, 0).frames, 0);
}

}  // namespace
