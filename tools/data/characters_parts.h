// characters_parts.h: building blocks for the characters' bodies: lathed and swept tubes
// with joint weights and atlas coordinates, and the skin atlas layout they share.
#pragma once
#include <array>
#include <functional>

#include "characters.h"
#include "writers/picture.h"

// A rectangle of the skin atlas in 0..1 units (v grows downwards).
struct Atlas {
    float x, y, w, h;
};

// Regions of the skin atlas, shared by the bodies and the painter.
extern const Atlas ATLAS_TORSO, ATLAS_HEAD, ATLAS_ARM, ATLAS_HAND, ATLAS_LEG, ATLAS_FOOT,
    ATLAS_SKIRT, ATLAS_EXTRA, ATLAS_PATCH, ATLAS_AMULET;
// How far the tubes' coordinates keep inside a region: two texels of the 256-wide atlas, so
// filtering never reaches a neighbour.
const float ATLAS_INSET = 2.0f / 256.0f;

// One point of a tube's surface for angle a (0 = the part's front) and length t (0..1).
using SurfaceFn = std::function<Vec3(float a, float t)>;

// Joint influences being collected for one vertex.
struct Influences {
    int joint[8];
    float weight[8];
    int count = 0;
    void add(int j, float w);
};
// Influences of a vertex at rest position p, angle a and length t of its tube.
using WeightFn = std::function<void(Vec3 p, float a, float t, Influences &inf)>;

// Options of one tube.
struct TubeSpec {
    int rings = 8, segs = 8;
    bool pole_start = false, pole_end = false;  // close an end with a single vertex
    Atlas atlas{0, 0, 1, 1};
    int tag = P_TORSO;
};

// Add a tube to the body; returns the index of its first vertex.
int add_tube(CharacterBody &body, const TubeSpec &spec, const SurfaceFn &surface, const WeightFn &weights);

// Linear interpolation through a table of (key, value...) rows: the `columns` values at
// `key` into `values`, the first or last row held beyond the ends.
void table_lookup(const float *table, int rows, int columns, float key, float *values);
// The N values interpolated at `key` through a table of rows of a key and N values.
template <int N, size_t SIZE>
std::array<float, N> table_row(const float (&table)[SIZE], float key) {
    static_assert(SIZE % (N + 1) == 0, "every row of the table is a key and N values");
    std::array<float, N> row;
    table_lookup(table, int(SIZE) / (N + 1), N, key, row.data());
    return row;
}
