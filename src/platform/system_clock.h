// system_clock.h: the millisecond system clock.
#pragma once
#include <cstdint>

// Milliseconds since the clock was first read (wraps after 49 days, like timeGetTime).
uint32_t time_get_time();
// Give the processor away for about that many milliseconds.
void sleep_milliseconds(uint32_t milliseconds);
