// clock.h: the demo clock, the frame time between full-size renders, and the part time.
#pragma once
#include <cstdint>

// Seconds since the first call (the millisecond clock, or the fixed-step capture clock).
float clock_seconds();
// Seconds between the last two full-size renders; 0.1 when not positive.
float frame_delta();
// Switch the clock to fixed steps of 1/rate seconds, from frame 0, advanced by
// clock_advance_frame(); a rate of 0 goes back to the millisecond clock.
void clock_use_fixed_rate(float rate);
void clock_advance_frame();
// The fixed clock's frame, and a jump to another one (its time is frame / rate).
uint32_t clock_frame();
void clock_set_frame(uint32_t frame);
// Leave the fixed clock for the millisecond clock, carrying the frame time over: the next
// render measures from the last one as if the millisecond clock had shown it. Returns the
// shift (millisecond clock minus fixed clock) a show time counted on the clock must absorb.
float clock_use_real_time();
// Stop and restart the millisecond clock (the paused time never passes for the show).
void clock_pause();
void clock_resume();

// Frames presented since start-up (the driver counts them; the statistics show the rate).
extern uint32_t frame_counter;

// Written by render_scene at every full-size render.
extern float frame_time;
extern float last_clock;

// What a frame changes of the clock, saved and put back by replays of the show.
struct FrameClock {
    float frame_time, last_clock;
};
FrameClock clock_save();
void clock_restore(const FrameClock &saved);

// Local time of the current schedule entry, shown by the statistics.
void set_part_time(float t);
extern float part_time;

// Milliseconds since the clock's first call (the statistics' average frame rate uses it).
uint32_t clock_milliseconds();
