// hand_sparks.h: the sparks that stream up from the messiah's right hand and the warm light
// that flickers there, as the mirror room, the warp pass and the oil room show them.
#pragma once
#include "scene/scene.h"

// One part's hand sparks: `count` spark lights from light `first`, the hand's own light right
// after them, and how they move.
struct HandSparks {
    int first, count;
    float rise;                      // how fast a spark climbs, units a second
    float scatter, offset;           // a spark is born at hand + (rand() % 100) / scatter - offset on each axis
    float light_scale, light_base;   // the hand light: intensity (rand() % 100) / light_scale + light_base
};

// Fatal (naming the part) when the model mesh has no hand vertex.
void check_hand_vertex(const char *tag, const Mesh &model);
// Set the sparks up (glowing `glow_size`, each a random yellow to red, one random number
// apiece) and the hand's warm light.
void set_up_hand_sparks(Light *lights, const HandSparks &sparks, float glow_size);
// A frame of d seconds: the sparks fade from yellow to red as they climb and are born again
// at the hand; then the hand's light flickers there.
void animate_hand_sparks(Light *lights, const HandSparks &sparks, const float hand[3], float d);
// The sparks and the hand's light dark and out of sight.
void hide_hand_sparks(Light *lights, const HandSparks &sparks);
