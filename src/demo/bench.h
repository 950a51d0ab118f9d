// bench.h: bench mode: every frame timed, split into our own work and the wait for OpenGL,
// summarised per schedule entry at the end.
#pragma once
#include <cstdint>
#include <cstdio>

enum { MAX_BENCH_FRAMES = 1 << 18 };

struct BenchSummary {
    int frames;
    double mean_ms, median_ms, p95_ms, worst_ms;
    double own_share;  // share of the frame time spent outside glFinish and the buffer swap
    double fps;
};

// glFinish; in bench mode its duration counts as waiting for OpenGL.
void finish_gl();
// Bracket a wait for OpenGL (the buffer swap): in bench mode it is not counted as our own work.
uint64_t bench_wait_begin();
void bench_wait_end(uint64_t start);

// Allocate the frame records once; from now on frames are timed.
void bench_begin();
bool bench_active();
void bench_frame_begin();
// Record the frame that just ended as one of `entry`'s (only frames that presented count).
void bench_frame_end(int entry, bool presented);
// Print the per-entry table and the totals, then free the records.
void bench_report(FILE *out);

// Summary of n frames: times in seconds (sorted in place) and their OpenGL waits.
BenchSummary bench_summarise(float *frame_seconds, const float *wait_seconds, int n);
