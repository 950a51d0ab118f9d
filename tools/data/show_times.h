// show_times.h: the show's time table: when each schedule entry begins, and the end.
// "timing.dat" is written from it and the music is arranged on it.
#pragma once
#include "demo/schedule.h"

// Each schedule entry's start, then the end of the show.
enum { SHOW_TIME_COUNT = SCHEDULE_TIMES };

struct ShowTime {
    float seconds;
    const char *what;  // what the entry shows
};

extern const ShowTime show_times[SHOW_TIME_COUNT];
