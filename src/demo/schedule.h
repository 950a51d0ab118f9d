// schedule.h: the advance through the 17 schedule entries by the time table.
#pragma once

// The show's entries, and the times of a complete table: each entry's start, then the end.
enum { SCHEDULE_ENTRIES = 17, SCHEDULE_TIMES = SCHEDULE_ENTRIES + 1 };
enum { STENCIL_ENABLE = 1, STENCIL_DISABLE = 2 };

// What one advance did: the new entry index, how many entry changes (each resets the models'
// animation state) and the stencil steps in the order they happened.
struct ScheduleAdvance {
    int index;
    int changes;
    int stencil_steps[2];
    int stencil_step_count;
};

// Move from entry `current` past every time of the table that t has reached.
ScheduleAdvance schedule_advance(const float *times, int count, int current, float t);
// Local time of the current entry (t itself before the first entry).
float schedule_part_time(const float *times, int count, int current, float t);

// What an entry draws beyond its parts' scenes: the driver's own compositing passes.
enum EntryPass { PASS_NONE, PASS_MIRROR, PASS_WIPE, PASS_NOISE };

// One part drawn by an entry, with the entry from whose start its clock counts and the
// seconds added to that clock.
struct EntryLayer {
    int part;
    int clock_entry;
    float clock_offset;
};

// A schedule entry: the parts it animates and renders in order (the last one is presented)
// and its own pass.
struct ScheduleRow {
    EntryLayer layers[2];
    int layer_count;
    EntryPass pass;
};

extern const ScheduleRow schedule_table[SCHEDULE_ENTRIES];

// Whether entry `index` is the stencil wave wipe (which draws with the stencil test on).
bool entry_is_wipe(int index);

// One part animated and rendered: with which local time and camera mode.
struct EntryStep {
    int part;
    float local_time;
    bool camera_mode;
};

// The steps of entry `index` at demo time t, given the entries' start times and each part's
// camera mode (camera_modes[k - 1] for part k); returns how many (0 for no such entry).
int entry_steps(int index, float t, const float *times, const bool *camera_modes, EntryStep steps[2]);
