// driver.h: the demo driver: loading, the main loop over the schedule, and presenting frames.
#pragma once
#include "platform/window.h"
#include "scene/scene.h"
#include "parts/part_table.h"

// The schedule and its state during the show.
extern float *time_table;        // T0, T1, ... from "timing.dat"
extern int time_count;
extern int schedule_index;       // current entry, -1 before the first
extern float start_offset;       // "pos" seconds added to the clock
extern Scene *scene_table[PART_COUNT];

// Set by Escape, by closing the window, and at the end of the show.
extern bool quit_flag;
// Set by Enter; cleared when the screenshot is written.
extern bool screenshot_request;

// Load every part, play the show until its end or until the user quits, then restore.
void run_demo(const char *command_line);
// Act on one window message: close and Escape quit, Enter asks for a screenshot.
void handle_window_message(const WindowMessage &message);
// Fetch and handle every pending window message.
void pump_window_messages();
// Take over a new time table (allocated with malloc; the old one is freed).
void set_time_table(float *times, int count);
// Replay the show to frame `frame` of a run from its start at `rate` and make that frame the
// next one played, on the fixed clock; with `then_real_time` the millisecond clock takes over
// after it (the show time runs on from that frame's).
void start_at_frame(uint32_t frame, float rate, bool then_real_time);
// After a frame: a fixed clock one frame on; after the frame start_at_frame made with
// `then_real_time`, the millisecond clock takes over.
void advance_clock(bool fixed_clock);
// Finish a frame: frame counter, the camera's fade, glFinish, screenshot and capture, swap.
void present_frame(Scene &scene);
// Finish a frame for an entry whose parts are not built yet: black.
void present_black_frame();
