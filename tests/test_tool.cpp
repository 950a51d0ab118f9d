// test_tool.cpp: the tool mode: keys to commands, where seeks and jumps land, the reading of
// a time table that is reloaded, and a seek that replays the intro to the played state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "demo/driver.h"
#include "demo/player.h"
#include "platform/system_clock.h"
#include "demo/tool.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/model.h"
#include "support/part_files.h"
#include "support/show_digest.h"
#include "writers/bmp_writer.h"

namespace {

TEST(ToolKeys, EachKeyGivesItsCommand) {
    const struct {
        int key;
        bool shift;
        int action;
        float seconds;
    } cases[] = {
        {KEY_SPACE, false, TOOL_PAUSE, 0},       {KEY_LEFT, false, TOOL_SEEK, -1},
        {KEY_RIGHT, false, TOOL_SEEK, 1},        {KEY_LEFT, true, TOOL_SEEK, -10},
        {KEY_RIGHT, true, TOOL_SEEK, 10},        {KEY_PAGE_UP, false, TOOL_PREVIOUS_ENTRY, 0},
        {KEY_PAGE_DOWN, true, TOOL_NEXT_ENTRY, 0}, {KEY_HOME, false, TOOL_HOME, 0},
        {KEY_F5, false, TOOL_RELOAD, 0},         {KEY_ESCAPE, false, TOOL_NONE, 0},
        {KEY_RETURN, false, TOOL_NONE, 0},       {'a', true, TOOL_NONE, 0},
    };
    for (const auto &c : cases) {
        ToolCommand command = tool_key_command(c.key, c.shift);
        EXPECT_TRUE(command.action == c.action && command.seconds == c.seconds) << c.key << " " << c.shift;
    }
}

// Entry k starts at 2 + 10 k; the show ends at 172. A time on an entry's start is in that entry.
TEST(ToolTargets, LandOnEntryStartsAndStayInsideTheShow) {
    float times[18];
    for (int k = 0; k < 18; k++) times[k] = 2.0f + 10.0f * float(k);
    const float last = 172.0f - TOOL_STEP;
    const struct {
        int action;
        float seconds, t, expected;
    } cases[] = {
        {TOOL_SEEK, 1, 25, 26},            {TOOL_SEEK, -1, 2.5f, 2},           {TOOL_SEEK, 10, 168, last},
        {TOOL_NEXT_ENTRY, 0, 12, 22},      {TOOL_PREVIOUS_ENTRY, 0, 25, 12},   {TOOL_PREVIOUS_ENTRY, 0, 2, 2},
        {TOOL_NEXT_ENTRY, 0, 2, 12},       {TOOL_NEXT_ENTRY, 0, 161.9f, 162},  {TOOL_NEXT_ENTRY, 0, 162, last},
        {TOOL_PREVIOUS_ENTRY, 0, 162, 152}, {TOOL_HOME, 0, 95, 2},             {TOOL_NONE, 0, 0, 2},
        {TOOL_NONE, 0, 172, last},
    };
    for (const auto &c : cases)
        EXPECT_FLOAT_EQ(tool_target({c.action, c.seconds}, c.t, times, 18), c.expected)
            << c.action << " " << c.seconds << " at " << c.t;
    // A table without an end: the next entry after the last one stays put.
    EXPECT_FLOAT_EQ(tool_target({TOOL_NEXT_ENTRY, 0}, 25, times, 3), 25);
}

std::string show_text(int count) {
    std::string text = "// retimed\r\n\r\n";
    for (int k = 0; k < count; k++) text += std::to_string(3 * k) + (k == 4 ? " // part 4\r\n" : "\n");
    return text;
}

TEST(ToolReload, ReadsATableAndSaysWhyOneIsRefused) {
    const struct {
        std::string text;
        int capacity;
        const char *says;  // nullptr: read
    } cases[] = {
        {show_text(18), 18, nullptr},  // exactly as many as it holds
        {show_text(19), 18, "too many"},
        {show_text(17), TOOL_MAX_TIMES, "only 17"},
        {show_text(18) + "end\n", TOOL_MAX_TIMES, "line 21 is not"},
        {show_text(18) + "50\n", TOOL_MAX_TIMES, "back in time"},
        {"1\n0\n" + show_text(18), TOOL_MAX_TIMES, "line 2 goes back"},
    };
    for (const auto &c : cases) {
        float times[TOOL_MAX_TIMES + 1];
        times[c.capacity] = -7;  // a write past the capacity shows here
        int count = -1;
        char reason[TOOL_REASON_SIZE];
        bool read = parse_time_text(c.text.c_str(), times, c.capacity, &count, reason, sizeof reason);
        EXPECT_EQ(times[c.capacity], -7.0f) << c.capacity;
        if (!c.says) {
            ASSERT_TRUE(read) << reason;
            EXPECT_TRUE(count == 18 && times[4] == 12.0f && times[17] == 51.0f) << count;
        } else {
            EXPECT_FALSE(read) << c.says;
            EXPECT_EQ(count, -1);
            EXPECT_NE(strstr(reason, c.says), nullptr) << reason;
        }
    }
}

// The driver's table as the start-up reader leaves it: a heap array.
class ToolTest : public PartTest {
protected:
    void SetUp() override {
        PartTest::SetUp();
        time_table = static_cast<float *>(calloc(19, sizeof(float)));
        for (int k = 0; k < 18; k++) time_table[k] = 30.0f * float(k);
        time_count = 18;
        schedule_index = -1;
        for (Scene *&scene : scene_table) scene = nullptr;
        tool_begin(0.0f, false);
    }
    void TearDown() override {
        tool_end();
        free(time_table);
        time_table = nullptr;
        time_count = 0;
        PartTest::TearDown();
    }
};

TEST_F(ToolTest, AMalformedReloadKeepsTheOldTableAndAGoodOneTakesOver) {
    float *before = time_table;
    auto reload = [](const std::string &text) {
        EXPECT_TRUE(write_file("timing.dat", std::vector<uint8_t>(text.begin(), text.end())));
        return tool_reload("timing.dat");
    };
    EXPECT_FALSE(reload(show_text(18) + "40\n"));
    EXPECT_TRUE(time_table == before && time_table[17] == 510.0f);
    EXPECT_TRUE(reload(show_text(18)));
    EXPECT_TRUE(time_count == 18 && time_table[17] == 51.0f) << time_count;
}

TEST_F(ToolTest, APauseStopsTheClockAndAPausedSeekPlaysOneFrame) {
    EXPECT_TRUE(tool_wants_frame());  // the frame the start landed on
    tool_frame_played(0.0f);
    handle_window_message({MSG_KEYDOWN, KEY_SPACE, 0, 0, false});
    float held = clock_seconds();
    EXPECT_FALSE(tool_wants_frame());  // the kept picture shown again, nothing played
    sleep_milliseconds(30);
    EXPECT_EQ(clock_seconds(), held);
    handle_window_message({MSG_KEYDOWN, KEY_RIGHT, 0, 0, true});
    EXPECT_TRUE(tool_wants_frame());
    EXPECT_FLOAT_EQ(clock_seconds() + start_offset, 10.0f);
    tool_frame_played(10.0f);
    EXPECT_FALSE(tool_wants_frame());
    handle_window_message({MSG_KEYDOWN, KEY_ESCAPE, 0, 0, false});  // Escape keeps its meaning
    EXPECT_TRUE(quit_flag);
    quit_flag = false;
}

TEST_F(ToolTest, SeeksLandInTheFirstAndLastEntriesAndStayInsideTheShow) {
    // Entry k starts at 30 k; the show ends at 510.
    const float rows[][2] = {{-3, 0}, {0, 0}, {29.9f, 0}, {30, 1}, {480, 16}, {509, 16}, {510, 16}, {900, 16}};
    for (const auto &row : rows) {
        tool_seek(row[0]);
        // The next frame is the one of the run at the tool's rate nearest the target.
        float t = clock_seconds() + start_offset;
        float frame = std::round(std::min(std::max(row[0], 0.0f), 510 - TOOL_STEP) * TOOL_RATE);
        EXPECT_EQ(t, float(double(frame) / TOOL_RATE)) << row[0];
        play_frame(t, false);
        EXPECT_EQ(schedule_index, int(row[1])) << row[0];
    }
}

// The whole show loaded with its own times: seeks land where the show played hidden from
// its start at the tool's rate is.
class ToolShowTest : public PartTest {
protected:
    void SetUp() override {
        PartTest::SetUp();
        load_whole_show();
    }
    void TearDown() override {
        tool_end();
        quit_flag = false;
        PartTest::TearDown();
    }
};
static_assert(SHOW_DIGEST_RATE == int(TOOL_RATE), "the digests' run is the tool's");

// The digests of the show's own state and of every part, and the schedule entry.
std::vector<uint64_t> show_digests() {
    std::vector<uint64_t> digests{uint64_t(schedule_index)};
    for (int k = 0; k <= PART_COUNT; k++) digests.push_back(show_part_digest(k));
    return digests;
}

// One pass of the main loop in real time, drawn.
void play_loop_frame() {
    ASSERT_TRUE(tool_wants_frame());
    float t = clock_seconds() + start_offset;
    play_frame(t, true);
    advance_clock(false);
    tool_frame_played(t);
}

TEST_F(ToolShowTest, SeeksBackOverPartsAndForwardInsideAnEntryLandOnThePlayedState) {
    // Greetings past their fade, the night at +20 s in entry 13 and later in it, the sofa room
    // after the collapse.
    const float moments[] = {199.0f, 300.0f, 310.0f, 345.0f};
    std::vector<uint64_t> played[4];
    reset_show();
    for (int i = 0; i < 4; i++) {
        play_hidden_frames(i ? frame_at(moments[i - 1], TOOL_RATE) : 0, frame_at(moments[i], TOOL_RATE));
        played[i] = show_digests();
    }
    tool_begin(0.0f, false);
    // Back over parts 11, 9 and 6, each put back on the way; then twice forward in entry 13.
    for (int i : {3, 1, 0, 1, 2}) {
        tool_seek(moments[i]);
        EXPECT_EQ(show_digests(), played[i]) << moments[i];
    }
}

TEST_F(ToolShowTest, APausedShowStaysAndTheFramesAfterItHaveOrdinaryDeltas) {
    tool_begin(100.0f, false);
    for (int i = 0; i < 3; i++) play_loop_frame();
    handle_window_message({MSG_KEYDOWN, KEY_SPACE, 0, 0, false});
    std::vector<uint64_t> held = show_digests();
    float clock = clock_seconds();
    for (int i = 0; i < 8; i++) {
        EXPECT_FALSE(tool_wants_frame());  // the kept picture again, nothing played
        sleep_milliseconds(200);
    }
    EXPECT_EQ(show_digests(), held);
    EXPECT_EQ(clock_seconds(), clock);
    handle_window_message({MSG_KEYDOWN, KEY_SPACE, 0, 0, false});
    for (int i = 0; i < 2; i++) {
        play_loop_frame();
        EXPECT_TRUE(frame_time > 0.0f && frame_time < 1.0f) << frame_time << " in frame " << i << " after 1.6 s paused";
    }
}

TEST_F(ToolShowTest, AReloadThatMovesTheCurrentEntrysStartReplaysIt) {
    // Part 4 counts from entry 3's start: half a second earlier, it is half a second further
    // on at 100 s (entry 4, whose own start stays).
    std::vector<float> times(time_table, time_table + time_count), moved = times;
    moved[3] -= 0.5f;
    float *table = static_cast<float *>(calloc(moved.size() + 1, sizeof(float)));
    std::copy(moved.begin(), moved.end(), table);
    set_time_table(table, int(moved.size()));
    reset_show();
    play_hidden_frames(0, frame_at(100.0f, TOOL_RATE));
    std::vector<uint64_t> wanted = show_digests();

    table = static_cast<float *>(calloc(times.size() + 1, sizeof(float)));
    std::copy(times.begin(), times.end(), table);
    set_time_table(table, int(times.size()));
    tool_begin(100.0f, false);
    EXPECT_NE(show_digests(), wanted);
    std::string text;
    for (float t : moved) text += std::to_string(t) + "\n";
    ASSERT_TRUE(write_file("timing.dat", std::vector<uint8_t>(text.begin(), text.end())));
    ASSERT_TRUE(tool_reload("timing.dat"));
    EXPECT_EQ(show_digests(), wanted);
}

}  // namespace
