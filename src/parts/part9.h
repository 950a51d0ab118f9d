// part9.h: the two paths of the light ball scene: their key ranges in the scene's object
// key table and a path's point at a time. Used by part9.cpp and its tests.
#pragma once
#include "scene/scene.h"

// First and last key index of one path (both -1 when the table is empty).
struct PathRange {
    int first, last;
};

// The ball's path (a) and the red ball's path (b).
struct PathRanges {
    PathRange a, b;
};

// Scan a key table from its start, frames as loaded: each path is a run of frame-0 keys
// (its last one starts the path) followed by a run of keys above frame 0 (its last one ends
// it). A missing run leaves the path ending where the scan stands, so every index stays
// within the table.
PathRanges find_path_ranges(const ObjectKey *keys, int count);

// Point of a path at time t, key frames taken as seconds: the linear blend of the last key
// at or before t with the next one, held at the last key past the end (and at the first
// before the start); out is (x, z, -y) of the blended key position. The origin for an empty
// range.
void path_point(const ObjectKey *keys, PathRange range, float t, float out[3]);
