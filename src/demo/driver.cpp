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
#include "demo/schedule.h"
#include "demo/screenshot.h"
#include "demo/timetable.h"
#include "demo/tool.h"
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

// Entry changes: the models start their animations afresh, and the wipe's stencil is set up
// when entry 3 begins and switched off when entry 4 begins.
void apply_schedule_advance(const ScheduleAdvance &advance) {
    for (int i = 0; i < advance.changes; ++i) reset_model_state();
    for (int i = 0; i < advance.stencil_step_count; ++i) {
        if (advance.stencil_steps[i] == STENCIL_ENABLE) {
            glClearStencil(0);
            glClear(GL_STENCIL_BUFFER_BIT);
            glEnable(GL_STENCIL_TEST);
        } else {
            glDisable(GL_STENCIL_TEST);
        }
    }
    schedule_index = advance.index;
}

void run_frame(float t) {
    apply_schedule_advance(schedule_advance(time_table, time_count, schedule_index, t));
    set_part_time(schedule_part_time(time_table, time_count, schedule_index, t));
    if (quit_flag) return;
    draw_entry(schedule_index, t);
}

// Load the parts in order and keep their scenes; parts not built yet are passed over.
static void load_parts() {
    char line[32];
    for (int k = 1; k <= PART_COUNT; ++k) {
        snprintf(line, sizeof line, "Loading part %d", k);
        screen_print(line, false);
        scene_table[k - 1] = nullptr;
        if (!part_built(k)) continue;
        part_table[k - 1].load();
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
    start_offset = options.start_offset;
    find_next_screenshot_number();

    // Capture and bench runs see the same times on every run: one fixed step per frame.
    bool fixed_clock = options.capture || options.bench;
    if (options.capture) capture_begin(options);
    if (options.bench) bench_begin();
    if (fixed_clock) clock_use_fixed_rate(options.capture_rate);
    bool music_on = options.music && !fixed_clock;
    music_start(music_on, start_offset);

    schedule_index = -1;
    // The tool mode needs the real clock; a start offset is reached by a replaying seek.
    if (options.tool && !fixed_clock) tool_begin(start_offset, music_on);
    int presented = 0;
    while (!quit_flag) {
        bench_frame_begin();
        pump_window_messages();
        float t = clock_seconds() + start_offset;
        if (tool_active() && !tool_frame_time(&t)) {
            sleep_milliseconds(10);  // paused: the picture stays
            continue;
        }
        uint32_t before = frame_counter;
        run_frame(t);
        bool drawn = frame_counter != before;
        bench_frame_end(schedule_index, drawn);
        if (fixed_clock) clock_advance_frame();
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
