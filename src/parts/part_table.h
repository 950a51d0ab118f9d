// part_table.h: the twelve demo parts as the driver sees them: one row per part with its
// operations, how it is drawn and its short name.
#pragma once
#include "scene/scene.h"

enum { PART_COUNT = 12 };

struct PartRow {
    const char *tag;  // short name heading the part's log lines
    void (*load)();
    Scene *(*scene)();
    void (*animate)(float t);
    bool camera_mode;  // drawn through the camera transform (else in eye space as stored)
    // Demo part 2 only: the mirror texture update and the credits, run every frame of entry 1.
    void (*update_mirror)(float t);
    void (*draw_credits)(float t);
};

// Row k - 1 is demo part k; a part that is not built yet has null operations.
extern const PartRow part_table[PART_COUNT];

// True when demo part k (1 to 12) has its load, scene and animate operations.
bool part_built(int part);
