// part7.h: the rock tunnel's pieces that can be checked on their own.
#pragma once
#include "scene/scene.h"

// The swarm: red flares, then dark ones, then the red light at its centre.
enum { SWARM_RED_FLARES = 20, SWARM_FLARES = 79 };

// The lightning's dice divisor for a frame time d: the integer part of 0.3 / d, at least 1.
int lightning_divisor(float d);
// The swarm's centre at `frame` from the object keys read in table order as one track: the
// last key whose frame is at most `frame`, blended linearly towards the next one, turned
// into the Y-up frame. Before the first key or from the last one on, that key's place.
void swarm_centre(const ObjectKey *keys, int count, float frame, float out[3]);
