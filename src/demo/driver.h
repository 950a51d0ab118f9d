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
// Apply the entry changes of one advance: model resets, the wipe's stencil steps, the index.
struct ScheduleAdvance;
void apply_schedule_advance(const ScheduleAdvance &advance);
// One pass of the main loop at demo time t: advance, part time, quit check, draw.
void run_frame(float t);
// Draw schedule entry `index` at demo time t (quit flag for any other index).
void draw_entry(int index, float t);
// Finish a frame: frame counter, the camera's fade, glFinish, screenshot and capture, swap.
void present_frame(Scene &scene);
// Finish a frame for an entry whose parts are not built yet: black.
void present_black_frame();
