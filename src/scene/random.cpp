// random.cpp: the one global random sequence of the show.
#include "scene/random.h"

static uint32_t random_state = 1;

int random_next() {
    random_state = random_state * 214013u + 2531011u;
    return int((random_state >> 16) & RANDOM_MAX);
}

void random_reset() { random_state = 1; }

uint32_t random_save() { return random_state; }

void random_restore(uint32_t state) { random_state = state; }
