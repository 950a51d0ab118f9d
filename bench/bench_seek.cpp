// bench_seek.cpp: what the show's exact seeks cost, on the whole show generated and loaded in
// a scratch folder at 640x480: a cold start at 360 s at 30 and at 60 frames a second, a seek
// inside an entry a replay has already passed (its start saved), and a backward seek across
// three entries. Prints milliseconds per seek (best of three).
#include <chrono>
#include <cstdio>

#include "demo/player.h"
#include "support/gl_context.h"
#include "support/scratch_dir.h"
#include "support/show_digest.h"

using Clock = std::chrono::steady_clock;

// Milliseconds of the best of three replays to `seconds` at `rate`, each after `before` (when
// given) set the state it starts from.
static double seek_ms(float seconds, float rate, void (*before)()) {
    double best = 1e30;
    for (int run = 0; run < 3; run++) {
        if (before) before();
        Clock::time_point start = Clock::now();
        replay_to_frame(frame_at(seconds, rate), rate, true);
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (ms < best) best = ms;
    }
    return best;
}

static void forget() { forget_saved_starts(0); }
static void at_300() { replay_to_frame(frame_at(300.0f, 30.0f), 30.0f, true); }
static void at_345() { replay_to_frame(frame_at(345.0f, 30.0f), 30.0f, true); }

int main() {
    ScratchDir dir;
    if (!gl_context_open(640, 480)) return 1;
    load_whole_show();
    printf("cold start at 360 s, 30 frames a second:   %8.1f ms\n", seek_ms(360.0f, 30.0f, forget));
    printf("cold start at 360 s, 60 frames a second:   %8.1f ms\n", seek_ms(360.0f, 60.0f, forget));
    replay_to_frame(frame_at(363.0f, 30.0f), 30.0f, true);  // every entry's start saved at 30
    printf("inside entry 13, 300 s to 325 s:           %8.1f ms\n", seek_ms(325.0f, 30.0f, at_300));
    printf("back across three entries, 345 s to 250 s: %8.1f ms\n", seek_ms(250.0f, 30.0f, at_345));
    gl_context_close();
    return 0;
}
