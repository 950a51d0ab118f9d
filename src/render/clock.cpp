// clock.cpp: the demo clock (milliseconds since its first call, or fixed capture steps),
// the frame time between full-size renders, and the part time shown by the statistics.
#include "render/clock.h"

#include <SDL2/SDL.h>

uint32_t frame_counter = 0;
float frame_time = 0.0f;
float last_clock = 0.0f;
float part_time = 0.0f;

static bool clock_started = false;
static uint32_t start_tick = 0;
static bool fixed_rate = false;
static double fixed_rate_value = 0.0;
static uint32_t fixed_frames = 0;

// Milliseconds since the first call of the clock (the first call starts it).
uint32_t clock_milliseconds() {
    if (!clock_started) {
        clock_started = true;
        start_tick = SDL_GetTicks();
        return 0;
    }
    if (fixed_rate) return uint32_t(double(fixed_frames) * 1000.0 / fixed_rate_value + 0.5);
    return SDL_GetTicks() - start_tick;
}

// Seconds since the first call: milliseconds as a float divided by 1000.
float clock_seconds() {
    if (fixed_rate) {
        clock_milliseconds();  // starts the clock if needed, like a real first call
        return float(double(fixed_frames) / fixed_rate_value);
    }
    return float(clock_milliseconds()) / 1000.0f;
}

// The time between the last two full-size renders, 0.1 when not positive.
float frame_delta() { return frame_time > 0.0f ? frame_time : 0.1f; }

// Capture mode: the clock advances by exactly 1/rate seconds per clock_advance_frame.
void clock_use_fixed_rate(float rate) {
    fixed_rate = rate > 0.0f;
    fixed_rate_value = fixed_rate ? double(rate) : 0.0;
    fixed_frames = 0;
}

// Capture mode: one frame later.
void clock_advance_frame() {
    if (fixed_rate) fixed_frames++;
}

// Remember the local time of the current schedule entry.
void set_part_time(float t) { part_time = t; }
