// clock.h: the demo clock, the frame time between full-size renders, and the part time.
#pragma once
#include <cstdint>

// Seconds since the first call (the millisecond clock, or the fixed-step capture clock).
float clock_seconds();
// Seconds between the last two full-size renders; 0.1 when not positive.
float frame_delta();
// Switch the clock to fixed steps of 1/rate seconds, advanced by clock_advance_frame().
void clock_use_fixed_rate(float rate);
void clock_advance_frame();

// Frames presented since start-up (the driver counts them; the statistics show the rate).
extern uint32_t frame_counter;

// Written by render_scene at every full-size render.
extern float frame_time;
extern float last_clock;

// Local time of the current schedule entry, shown by the statistics.
void set_part_time(float t);
extern float part_time;

// Milliseconds since the clock's first call (the statistics' average frame rate uses it).
uint32_t clock_milliseconds();
