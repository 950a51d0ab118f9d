// part2_mirror.h: the mirror room's frame-by-frame pieces that need no OpenGL: the chance
// divisor of the lightning and the sparks, the spark slots, the ripple triggers and the
// ripple step of the mirror grid.
#pragma once
#include "scene/scene.h"

enum { MIRROR_SIDE = 21, MIRROR_CELLS = 20, MIRROR_VERTICES = 441, SHARD_VERTICES = 1600, SPARK_SLOTS = 20 };

// One spark falling from the brazier.
struct SparkSlot {
    bool active;
    float age;
    float angle;  // radians, the direction it drifts in
};

// The mirror grid's per-vertex floats (ripple velocity, later the shards' fall values) and
// the latch shared by the ripple triggers and the shatter set-up.
struct MirrorState {
    float grid[MIRROR_SIDE][MIRROR_SIDE];
    bool latch;
};

// The integer part of span / d, where rand() modulo it decides an event that should come
// once per `span` seconds on average. A frame longer than `span` makes it 0; it is then 1,
// so such a frame always has the event.
int chance_divisor(float span, float d);
// One spawn attempt: draws k = rand(); on k modulo divisor == 0 the highest-numbered inactive
// slot (if any) starts with age 0 and a new angle (a second rand()). True when a slot started.
bool spawn_spark(SparkSlot *slots, int divisor);
// The triggers at time t with the model at `model_frame`, on the grid vertices (row after
// row, 21 by 21): the disturbance of the whole surface once between 34.2 and 34.6 s, and
// before 34 s one ripple at row 13, column 14 each time the model passes frame 78.
void mirror_trigger(MirrorState &state, float t, float model_frame, Vertex *grid);
// One ripple step of the grid heights (z), in place, once per frame.
void mirror_ripple_step(MirrorState &state, Vertex *grid);
