// bench.h: bench mode: every frame timed, split into the main thread's own work (its CPU time:
// our code and the driver's work on our calls) and the time it waits for the rasterizer,
// summarised per schedule entry at the end.
#pragma once
#include <cstdint>
#include <cstdio>

enum { MAX_BENCH_FRAMES = 1 << 18 };

struct BenchSummary {
    int frames;
    double mean_ms, median_ms, p95_ms, worst_ms;
    double own_share;  // share of the frame time the main thread was on the CPU
    double fps;
};

// Allocate the frame records once; from now on frames are timed.
void bench_begin();
bool bench_active();
void bench_frame_begin();
// Record the frame that just ended as one of `entry`'s (only frames that presented count).
void bench_frame_end(int entry, bool presented);
// Print the per-entry table and the totals, write them as CSV to csv_name too (none when null),
// then free the records.
void bench_report(FILE *out, const char *csv_name);

// Summary of n frames: times in seconds (sorted in place) and the time of each the main thread
// spent off the CPU, waiting.
BenchSummary bench_summarise(float *frame_seconds, const float *wait_seconds, int n);
