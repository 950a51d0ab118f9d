// schedule.h: the advance through the 17 schedule entries by the time table.
#pragma once

enum { SCHEDULE_ENTRIES = 17, WIPE_ENTRY = 3, WIPE_END_ENTRY = 4 };
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
