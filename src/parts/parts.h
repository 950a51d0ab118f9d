// parts.h: the twelve demo parts: a load operation, a scene getter and an animate operation each.
#pragma once
#include "scene/scene.h"

#define DECLARE_PART(k)          \
    void part##k##_load();       \
    Scene *part##k##_scene();    \
    void part##k##_animate(float t);

DECLARE_PART(1)
DECLARE_PART(2)
DECLARE_PART(3)
DECLARE_PART(4)
DECLARE_PART(5)
DECLARE_PART(6)
DECLARE_PART(7)
DECLARE_PART(8)
DECLARE_PART(9)
DECLARE_PART(10)
DECLARE_PART(11)
DECLARE_PART(12)
#undef DECLARE_PART

void part2_update_mirror(float t);
void part2_draw_credits(float t);
