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

// The wolf's vertex positions in the intro's scene.
std::vector<float> wolf_positions() {
    const Mesh &wolf = part1_scene()->meshes[find_mesh(*part1_scene(), "wolfguy.mdl")];
    const Vertex *v = part1_scene()->vertices + wolf.first_vertex;
    std::vector<float> out;
    for (int i = 0; i < wolf.vertex_count; i++) out.insert(out.end(), v[i].position, v[i].position + 3);
    return out;
}

TEST_F(ToolTest, ASeekReplaysTheIntroToThePlayedPose) {
    prepare_part_files();
    part1_load();
    scene_table[0] = part1_scene();
    const float target = 17.5f;
    // Played from the entry's start at the replay's step, then the frame at the target.
    reset_model_state();
    frame_time = TOOL_STEP;
    for (int i = 0; float(double(i) * double(TOOL_STEP)) < target; i++) part1_animate(float(double(i) * double(TOOL_STEP)));
    part1_animate(target);
    std::vector<float> played = wolf_positions();
    // Started fresh at the target, the wolf has not turned the way the played one has.
    reset_model_state();
    part1_animate(target);
    EXPECT_NE(wolf_positions(), played);
    // From later in the show, back to the target by a seek.
    tool_seek(25.0f);
    tool_seek(target);
    EXPECT_EQ(schedule_index, 0);
    part1_animate(target);
    EXPECT_EQ(wolf_positions(), played);
}

}  // namespace
