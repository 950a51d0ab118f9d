// hand_sparks.cpp: the sparks from the messiah's hand and the light there.
#include "parts/hand_sparks.h"

#include "app/messages.h"
#include "parts/scene_names.h"
#include "scene/random.h"

void check_hand_vertex(const char *tag, const Mesh &model) {
    if (model.vertex_count <= MESSIAH_HAND_VERTEX)
        fatal_errorf("%s: [messiah.mdl] has no hand vertex %d (%d vertices)", tag, MESSIAH_HAND_VERTEX,
                     model.vertex_count);
}

void set_up_hand_sparks(Light *lights, const HandSparks &sparks, float glow_size) {
    for (int i = sparks.first; i < sparks.first + sparks.count; i++) {
        Light &spark = lights[i];
        spark.glow_size = glow_size;
        spark.intensity = 0;
        spark.flare_strength = 1.0f;
        spark.active = 0;
        spark.flare_texture = 0;
        spark.color[0] = 1.0f;
        spark.color[1] = float(random_next() % 100) / 100.0f;
        spark.color[2] = 0;
    }
    Light &hand = lights[sparks.first + sparks.count];
    hand.color[0] = 1.0f, hand.color[1] = 0.6f, hand.color[2] = 0.2f;
    hand.active = 1;
    hand.glow_size = 0;
    hand.range_inner = 80, hand.range_outer = 200;
}

// A light at a random offset around the hand, x then y then z.
static void place_at_hand(Light &light, const HandSparks &sparks, const float hand[3]) {
    for (int k = 0; k < 3; k++)
        light.position[k] = float(random_next() % 100) / sparks.scatter + hand[k] - sparks.offset;
}

void animate_hand_sparks(Light *lights, const HandSparks &sparks, const float hand[3], float d) {
    for (int i = sparks.first; i < sparks.first + sparks.count; i++) {
        Light &spark = lights[i];
        spark.color[1] -= d * 1.5f;
        spark.flare_strength = spark.color[1];
        spark.position[1] += d * sparks.rise;
        if (spark.color[1] < 0) {
            place_at_hand(spark, sparks, hand);
            spark.color[1] = 1 - float(random_next() % 10) / 40.0f;
        }
    }
    Light &light = lights[sparks.first + sparks.count];
    place_at_hand(light, sparks, hand);
    light.intensity = float(random_next() % 100) / sparks.light_scale + sparks.light_base;
}

void hide_hand_sparks(Light *lights, const HandSparks &sparks) {
    for (int i = sparks.first; i <= sparks.first + sparks.count; i++) {
        lights[i].intensity = 0;
        lights[i].position[1] = -500;
    }
}
