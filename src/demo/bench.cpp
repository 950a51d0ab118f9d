// bench.cpp: per-frame timing of the show and its summary table.
#include "demo/bench.h"

#include <SDL.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>

#include "demo/schedule.h"

static bool active = false;
static float *frame_seconds = nullptr;  // per recorded frame
static float *wait_seconds = nullptr;
static signed char *frame_entries = nullptr;
static int recorded = 0, dropped = 0;
static Uint64 frame_start = 0;
static double frame_cpu_start = 0.0;  // the thread's CPU time when the frame began

static double seconds_since(Uint64 start) {
    return double(SDL_GetPerformanceCounter() - start) / double(SDL_GetPerformanceFrequency());
}

// CPU time of the calling thread.
static double thread_cpu_seconds() {
    timespec now = {0, 0};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void bench_begin() {
    frame_seconds = static_cast<float *>(calloc(MAX_BENCH_FRAMES, sizeof(float)));
    wait_seconds = static_cast<float *>(calloc(MAX_BENCH_FRAMES, sizeof(float)));
    frame_entries = static_cast<signed char *>(calloc(MAX_BENCH_FRAMES, 1));
    active = frame_seconds && wait_seconds && frame_entries;
    recorded = dropped = 0;
}

bool bench_active() { return active; }

void bench_frame_begin() {
    if (!active) return;
    frame_start = SDL_GetPerformanceCounter();
    frame_cpu_start = thread_cpu_seconds();
}

void bench_frame_end(int entry, bool presented) {
    if (!active || !presented) return;
    if (recorded >= MAX_BENCH_FRAMES) {
        ++dropped;
        return;
    }
    double wall = seconds_since(frame_start), cpu = thread_cpu_seconds() - frame_cpu_start;
    frame_seconds[recorded] = float(wall);
    wait_seconds[recorded] = float(cpu < wall ? wall - cpu : 0.0);
    frame_entries[recorded] = (signed char)entry;
    ++recorded;
}

BenchSummary bench_summarise(float *seconds, const float *waits, int n) {
    BenchSummary summary = {n, 0, 0, 0, 0, 0, 0};
    if (n <= 0) return summary;
    double total = 0.0, waited = 0.0;
    for (int i = 0; i < n; ++i) {
        total += seconds[i];
        waited += waits[i];
    }
    std::sort(seconds, seconds + n);
    summary.mean_ms = 1000.0 * total / n;
    summary.median_ms = 1000.0 * (n % 2 ? seconds[n / 2] : 0.5 * (seconds[n / 2 - 1] + seconds[n / 2]));
    // Nearest rank: the smallest time that at least 95% of the frames do not exceed.
    int rank = (95 * n + 99) / 100;
    summary.p95_ms = 1000.0 * seconds[std::max(rank, 1) - 1];
    summary.worst_ms = 1000.0 * seconds[n - 1];
    summary.own_share = total > 0.0 ? 1.0 - waited / total : 0.0;
    summary.fps = total > 0.0 ? n / total : 0.0;
    return summary;
}

// One line of the table.
static void print_row(FILE *out, const char *label, const BenchSummary &s) {
    fprintf(out, "%-6s %7d %9.2f %9.2f %9.2f %9.2f %6.1f %8.1f\n", label, s.frames, s.mean_ms, s.median_ms,
            s.p95_ms, s.worst_ms, 100.0 * s.own_share, s.fps);
}

// The same line for the CSV file.
static void print_csv_row(FILE *csv, const char *label, const BenchSummary &s) {
    if (csv)
        fprintf(csv, "%s,%d,%.3f,%.3f,%.3f,%.3f,%.2f,%.2f\n", label, s.frames, s.mean_ms, s.median_ms,
                s.p95_ms, s.worst_ms, 100.0 * s.own_share, s.fps);
}

void bench_report(FILE *out, const char *csv_name) {
    if (!active) return;
    float *times = static_cast<float *>(calloc(size_t(recorded) + 1, sizeof(float)));
    float *waits = static_cast<float *>(calloc(size_t(recorded) + 1, sizeof(float)));
    FILE *csv = csv_name ? fopen(csv_name, "w") : nullptr;
    if (csv_name && !csv) fprintf(out, "bench: [%s] cannot be written, the table is only printed\n", csv_name);
    if (times && waits) {
        fprintf(out, "entry   frames   mean ms median ms    p95 ms  worst ms  own %%      fps\n");
        if (csv) fprintf(csv, "entry,frames,mean_ms,median_ms,p95_ms,worst_ms,own_percent,fps\n");
        char label[16];
        for (int entry = 0; entry < SCHEDULE_ENTRIES; ++entry) {
            int n = 0;
            for (int i = 0; i < recorded; ++i)
                if (frame_entries[i] == entry) {
                    times[n] = frame_seconds[i];
                    waits[n] = wait_seconds[i];
                    ++n;
                }
            if (n == 0) continue;
            snprintf(label, sizeof label, "%d", entry);
            BenchSummary summary = bench_summarise(times, waits, n);
            print_row(out, label, summary);
            print_csv_row(csv, label, summary);
        }
        for (int i = 0; i < recorded; ++i) {
            times[i] = frame_seconds[i];
            waits[i] = wait_seconds[i];
        }
        BenchSummary total = bench_summarise(times, waits, recorded);
        print_row(out, "total", total);
        print_csv_row(csv, "total", total);
        if (dropped) fprintf(out, "(%d frames beyond the first %d were not recorded)\n", dropped, MAX_BENCH_FRAMES);
        if (csv) fprintf(out, "bench: table also written to %s\n", csv_name);
    }
    if (csv) fclose(csv);
    free(times);
    free(waits);
    free(frame_seconds);
    free(wait_seconds);
    free(frame_entries);
    frame_seconds = wait_seconds = nullptr;
    frame_entries = nullptr;
    active = false;
}
