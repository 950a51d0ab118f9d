// part_table.h: the twelve demo parts as the driver sees them: one row of operations per part.
#pragma once
#include "scene/scene.h"

enum { PART_COUNT = 12 };

struct PartRow {
    void (*load)();
    Scene *(*scene)();
    void (*animate)(float t);
    // Demo part 2 only: the mirror texture update and the credits, run every frame of entry 1.
    void (*update_mirror)(float t);
    void (*draw_credits)(float t);
};

// Row k - 1 is demo part k; a part that is not built yet is a row of nulls.
extern const PartRow part_table[PART_COUNT];

// True when demo part k (1 to 12) has its load, scene and animate operations.
bool part_built(int part);
