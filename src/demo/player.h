// player.h: the entry player: one frame of the show at a demo time, drawn or not, by the
// schedule table; the show's whole state saved and put back; and replays that bring the
// show to any frame of a run from its start at a fixed rate.
#pragma once
#include <cstdint>

#include "parts/part_table.h"
#include "scene/model.h"
#include "render/clock.h"

// One frame at demo time t: the schedule advance (model resets, the wipe's stencil), the part
// time, the quit check, then the current entry's steps. Drawn, it ends with the present;
// not drawn, it makes only the changes a drawn frame makes to the show's state.
void play_frame(float t, bool draw);
// Entry `index` at demo time t: its parts animated and rendered, its own pass, the present
// (the quit flag for an index outside the schedule).
void play_entry(int index, float t, bool draw);

// The show's whole state: the random sequence, the models' animations, the frame clock, the
// schedule entry and every part's state (kept only for the parts played since their load).
struct ShowState {
    uint32_t random;
    ModelAnimation models[MAX_MODELS];
    FrameClock clock;
    int schedule_index;
    uint8_t *parts[PART_COUNT];  // owned; null for a part as its load left it
};
void save_show_state(ShowState &state);
void restore_show_state(const ShowState &state);
void free_show_state(ShowState &state);

// Keep the state the loading left as the show's start (the driver, after loading the parts).
void keep_show_start();
// Back to that start: every part as loaded, the sequence, models and clock as they were.
void reset_show();

// Bring the show to the state before frame `frame` of a run from its start at `rate` frames a
// second on the fixed clock (frame f at f / rate seconds), replaying the frames before it
// without drawing. It starts from the latest saved entry start at or before that frame (each
// entry's start is saved the first time a replay passes it) or from the show's start. With
// `draw` the frames whose pixels a later frame shows are drawn: the last mirror copy before
// it, and the frames just before it. The fixed clock is left at `frame`.
void replay_to_frame(uint32_t frame, float rate, bool draw);
// Forget the saved entry starts from entry `entry` on (the times from there have changed).
void forget_saved_starts(int entry);
// The frame of a run at `rate` that shows time `seconds`: round(seconds x rate), at least 0.
uint32_t frame_at(float seconds, float rate);
// The time of frame `frame` of a run at `rate`, as the fixed clock gives it.
float frame_time_at(uint32_t frame, float rate);
