// schedule.cpp: the advance through the schedule entries, kept free of side effects.
#include "demo/schedule.h"

ScheduleAdvance schedule_advance(const float *times, int count, int current, float t) {
    ScheduleAdvance result = {current, 0, {0, 0}, 0};
    while (result.index + 1 < count && t >= times[result.index + 1]) {
        ++result.index;
        ++result.changes;
        int step = 0;
        if (result.index == WIPE_ENTRY) step = STENCIL_ENABLE;
        if (result.index == WIPE_END_ENTRY) step = STENCIL_DISABLE;
        if (step && result.stencil_step_count < 2) result.stencil_steps[result.stencil_step_count++] = step;
    }
    return result;
}

float schedule_part_time(const float *times, int count, int current, float t) {
    if (current < 0 || current >= count) return t;
    return t - times[current];
}
