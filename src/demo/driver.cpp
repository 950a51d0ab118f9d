// driver.cpp: run_demo: loading, the main loop with its message pump and schedule advance,
// and the end of the show.
#include "demo/driver.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "app/files.h"
#include "demo/graphics.h"
#include "app/messages.h"
#include "app/settings.h"
#include "demo/bench.h"
#include "demo/capture.h"
#include "render/clock.h"
#include "demo/music.h"
#include "demo/options.h"
#include "demo/player.h"
#include "demo/schedule.h"
#include "demo/screenshot.h"
#include "demo/timetable.h"
#include "demo/tool.h"
#include "parts/part_state.h"
#include "platform/system_clock.h"
#include "scene/model.h"
#include "texture/texture.h"

float *time_table = nullptr;
int time_count = 0;
int schedule_index = -1;
float start_offset = 0.0f;
Scene *scene_table[PART_COUNT];
bool quit_flag = false;
bool screenshot_request = false;

void handle_window_message(const WindowMessage &message) {
    if (tool_handle_message(message)) return;
    if (message.kind == MSG_CLOSE) quit_flag = true;
    if (message.kind == MSG_KEYDOWN && message.key == KEY_ESCAPE) quit_flag = true;
    if (message.kind == MSG_KEYDOWN && message.key == KEY_RETURN) screenshot_request = true;
}

void pump_window_messages() {
    WindowMessage message;
    while (peek_window_message(message)) handle_window_message(message);
}

void set_time_table(float *times, int count) {
    if (times != time_table) free_time_table(time_table);
    time_table = times;
    time_count = count;
}

// Set by start_at_frame: the frame played next is the last on the fixed clock.
static bool leave_fixed_clock = false;

void start_at_frame(uint32_t frame, float rate, bool then_real_time) {
    replay_to_frame(frame, rate, true);
    start_offset = 0.0f;
    leave_fixed_clock = then_real_time;
}

void advance_clock(bool fixed_clock) {
    if (fixed_clock) {
        clock_advance_frame();
    } else if (leave_fixed_clock) {
        start_offset -= clock_use_real_time();
        leave_fixed_clock = false;
    }
}

// Load the parts in order and keep their scenes; parts not built yet are passed over.
static void load_parts() {
    char line[32];
    for (int k = 1; k <= PART_COUNT; ++k) {
        snprintf(line, sizeof line, "Loading part %d", k);
        screen_print(line, false);
        scene_table[k - 1] = nullptr;
        if (!part_built(k)) continue;
        part_load(k);
        scene_table[k - 1] = part_table[k - 1].scene();
    }
    // The noise picture of entry 13 is read now, while the data archive is still open.
    if (part_built(9)) texture_find("noise.bmp", true);
}

void run_demo(const char *command_line) {
    DemoOptions options = parse_demo_options(command_line);
    time_table = read_time_table("timing.dat", &time_count);
    load_parts();
    file_close_all();
    schedule_index = -1;
    keep_show_start();
    start_offset = options.start_offset;
    find_next_screenshot_number();

    // Capture and bench runs see the same times on every run: one fixed step per frame.
    bool fixed_clock = options.capture || options.bench;
    bool tool = options.tool && !fixed_clock;  // the tool needs the real clock
    // An exact start replays the show up to it: at the capture or bench rate, else at the
    // tool's step; its first frame lies on that run's grid of frames.
    float rate = fixed_clock ? options.capture_rate : TOOL_RATE;
    bool exact = options.exact && !tool;
    uint32_t first_frame = frame_at(start_offset, rate);
    if (exact) start_offset = frame_time_at(first_frame, rate);
    if (options.capture) capture_begin(options, start_offset);
    if (options.bench) bench_begin();
    if (fixed_clock) clock_use_fixed_rate(options.capture_rate);
    if (exact) start_at_frame(first_frame, rate, !fixed_clock);
    bool music_on = options.music && !fixed_clock;
    music_start(music_on, start_offset);

    if (tool) tool_begin(start_offset, music_on);
    int presented = 0;
    while (!quit_flag) {
        bench_frame_begin();
        pump_window_messages();
        if (tool_active() && !tool_wants_frame()) {
            sleep_milliseconds(10);  // paused: the picture stays
            continue;
        }
        float t = clock_seconds() + start_offset;
        uint32_t before = frame_counter;
        play_frame(t, true);
        bool drawn = frame_counter != before;
        bench_frame_end(schedule_index, drawn);
        advance_clock(fixed_clock);
        if (tool_active()) tool_frame_played(t);
        if (drawn) ++presented;
        if (options.frames > 0 && presented >= options.frames) quit_flag = true;
    }

    tool_end();
    music_stop();
    capture_end();
    bench_report(stdout, "bench.csv");
    release_and_restore();
    free_time_table(time_table);
    time_table = nullptr;
    time_count = 0;
}
