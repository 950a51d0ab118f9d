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
static bool paused = false;
static uint32_t paused_tick = 0;
static bool fixed_rate = false;
static double fixed_rate_value = 0.0;
static uint32_t fixed_frames = 0;

// Milliseconds of the system clock since the start, the paused time left out.
static uint32_t real_milliseconds() {
    if (!clock_started) {
        clock_started = true;
        start_tick = SDL_GetTicks();
        return 0;
    }
    return (paused ? paused_tick : SDL_GetTicks()) - start_tick;
}

// Milliseconds since the first call of the clock (the first call starts it).
uint32_t clock_milliseconds() {
    uint32_t real = real_milliseconds();
    if (fixed_rate) return uint32_t(double(fixed_frames) * 1000.0 / fixed_rate_value + 0.5);
    return real;
}

// The fixed clock's time of its current frame.
static float fixed_seconds() { return float(double(fixed_frames) / fixed_rate_value); }

// Seconds since the first call: milliseconds as a float divided by 1000.
float clock_seconds() {
    if (fixed_rate) {
        real_milliseconds();  // starts the clock if needed, like a real first call
        return fixed_seconds();
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

uint32_t clock_frame() { return fixed_frames; }

void clock_set_frame(uint32_t frame) { fixed_frames = frame; }

float clock_use_real_time() {
    if (!fixed_rate) return 0.0f;
    float fixed = fixed_seconds();
    fixed_rate = false;
    float shift = clock_seconds() - fixed;
    last_clock += shift;
    return shift;
}

void clock_pause() {
    if (paused) return;
    real_milliseconds();  // a clock paused before its first call starts now
    paused_tick = SDL_GetTicks();
    paused = true;
}

void clock_resume() {
    if (!paused) return;
    start_tick += SDL_GetTicks() - paused_tick;
    paused = false;
}

FrameClock clock_save() { return {frame_time, last_clock}; }

void clock_restore(const FrameClock &saved) {
    frame_time = saved.frame_time;
    last_clock = saved.last_clock;
}

// Remember the local time of the current schedule entry.
void set_part_time(float t) { part_time = t; }
