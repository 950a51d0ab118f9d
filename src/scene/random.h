// random.h: the one global random sequence of the show (classic library rand behaviour).
#pragma once
#include <cstdint>

enum { RANDOM_MAX = 0x7fff };
// Next number 0..32767: state = state * 214013 + 2531011, result (state >> 16) & 0x7fff.
int random_next();
// Restart the sequence at state 1 (tests and capture runs only).
void random_reset();
// The sequence's state, saved and put back by replays of the show.
uint32_t random_save();
void random_restore(uint32_t state);
