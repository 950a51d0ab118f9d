// part_common.h: the steps every demo part's load shares: meshes appended after the loaded
// ones, quads of two faces, and the six log lines of counts.
#pragma once
#include "scene/scene.h"

// Running counts of a part's scene while it is built.
struct PartCounts {
    int meshes, faces, vertices;
};

// Start a new mesh at the running counts (name, faces and first vertex set; counts zero).
// Fatal, naming the part, when the mesh array has no room left.
Mesh &append_mesh(const char *part, Mesh *meshes, Face *faces, int mesh_capacity, PartCounts &counts,
                  const char *name);
// Give the two faces of a quad the corners (first, first+2, first+1) and (first, first+3, first+2).
void set_quad_faces(Face *quad, int first);
// Write the six log lines "<part>: meshes %d" ... "<part>: cams   %d".
void log_part_counts(const char *part, int meshes, int vertices, int faces, int lights, int anims, int cams);
