// pose.h: posing a mesh from its object keys, and the vertex operations (translate, scale,
// rotate about the pivot, centre the pivot) that the demo parts use directly.
#pragma once
#include "scene/scene.h"

// Pose the mesh's vertex range of `vertices` (unposed copies) from its keys at time t, with
// key times frame / rate, then turn it from Z-up to Y-up. Nothing when key_count is -1.
void animate_mesh(const Scene &scene, const Mesh &mesh, Vertex *vertices, float t, float rate);
// Add (dx, dy, dz) to every vertex position of the mesh.
void translate_mesh(const Mesh &mesh, Vertex *vertices, float dx, float dy, float dz);
// Scale positions about the pivot and normals by the same factors.
void scale_mesh(const Mesh &mesh, Vertex *vertices, float sx, float sy, float sz);
// Rotate positions about the pivot and normals by -angle about the axis; nothing below
// 0.001 rad or with a zero axis.
void rotate_mesh(const Mesh &mesh, Vertex *vertices, float ax, float ay, float az, float angle);
// Set the pivot to the average of the mesh's vertex positions.
void center_pivot(Mesh &mesh, const Vertex *vertices);
