// schedule.cpp: the advance through the schedule entries, kept free of side effects.
#include "demo/schedule.h"

ScheduleAdvance schedule_advance(const float *times, int count, int current, float t) {
    ScheduleAdvance result = {current, 0, {0, 0}, 0};
    while (result.index + 1 < count && t >= times[result.index + 1]) {
        ++result.index;
        ++result.changes;
        int step = 0;
        if (entry_is_wipe(result.index)) step = STENCIL_ENABLE;
        if (entry_is_wipe(result.index - 1)) step = STENCIL_DISABLE;
        if (step && result.stencil_step_count < 2) result.stencil_steps[result.stencil_step_count++] = step;
    }
    return result;
}

float schedule_part_time(const float *times, int count, int current, float t) {
    if (current < 0 || current >= count) return t;
    return t - times[current];
}

// Parts 3 and 4 meet in the wave wipe of entry 3; part 9 runs on from 20 s in entry 13.
const ScheduleRow schedule_table[SCHEDULE_ENTRIES] = {
    {{{1, 0, 0}}, 1, PASS_NONE},
    {{{2, 1, 0}}, 1, PASS_MIRROR},
    {{{3, 2, 0}}, 1, PASS_NONE},
    {{{3, 2, 0}, {4, 3, 0}}, 2, PASS_WIPE},
    {{{4, 3, 0}}, 1, PASS_NONE},
    {{{5, 5, 0}}, 1, PASS_NONE},
    {{{6, 6, 0}}, 1, PASS_NONE},
    {{{7, 7, 0}}, 1, PASS_NONE},
    {{{7, 7, 0}, {8, 8, 0}}, 2, PASS_NONE},
    {{{8, 8, 0}}, 1, PASS_NONE},
    {{{8, 8, 0}, {9, 10, 0}}, 2, PASS_NONE},
    {{{9, 10, 0}}, 1, PASS_NONE},
    {{{10, 12, 0}}, 1, PASS_NONE},
    {{{9, 13, 20}}, 1, PASS_NOISE},
    {{{11, 14, 0}}, 1, PASS_NONE},
    {{{11, 14, 0}, {12, 15, 0}}, 2, PASS_NONE},
    {{{12, 15, 0}}, 1, PASS_NONE},
};

bool entry_is_wipe(int index) {
    return index >= 0 && index < SCHEDULE_ENTRIES && schedule_table[index].pass == PASS_WIPE;
}

int entry_steps(int index, float t, const float *times, const bool *camera_modes, EntryStep steps[2]) {
    if (index < 0 || index >= SCHEDULE_ENTRIES) return 0;
    const ScheduleRow &row = schedule_table[index];
    for (int i = 0; i < row.layer_count; i++) {
        const EntryLayer &layer = row.layers[i];
        steps[i] = {layer.part, t - times[layer.clock_entry] + layer.clock_offset, camera_modes[layer.part - 1]};
    }
    return row.layer_count;
}
