// mesh_builder.h: procedural meshes in a neutral in-memory form (positions, texture
// coordinates, triangles) for the scene writers: primitives, lathe, UV mapping, and the
// conversion into the .3ds writer's records.
// Positions are in the .3ds file frame (z up). Triangles wind counter-clockwise seen
// from outside (right-handed), so their normals point out.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "writers/writer_3ds.h"

struct MeshVertex {
    float x = 0, y = 0, z = 0;
    float u = 0, v = 0;
};

struct MeshTriangle {
    int a = 0, b = 0, c = 0;
};

struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
};

struct Point2 {
    float x = 0, y = 0;
};

// Axis-aligned box centred on the origin, 24 vertices so each side has its own 0..1 mapping.
MeshData mesh_box(float size_x, float size_y, float size_z);
// Cylinder along z from 0 to height, `segments` around, `rings` along; caps optional.
// u runs around (0..1 with a seam duplicate), v along the height.
MeshData mesh_cylinder(float radius, float height, int segments, int rings, bool caps);
// UV sphere centred on the origin; u around z, v from the south pole (0) to the north pole (1).
MeshData mesh_sphere(float radius, int segments, int rings);
// Torus around z: ring radius `major`, tube radius `minor`.
MeshData mesh_torus(float major, float minor, int segments, int sides);
// Flat grid in the xy plane at z = 0, centred, facing +z; (cells_x + 1) x (cells_y + 1) vertices, uv 0..1.
MeshData mesh_grid(float size_x, float size_y, int cells_x, int cells_y);
// Surface of revolution of a profile (x = radius, y = height) around z; u around, v along the profile.
MeshData mesh_lathe(const std::vector<Point2> &profile, int segments);
// Triangulate a simple polygon (counter-clockwise) by ear clipping: indices into the outline.
std::vector<MeshTriangle> triangulate_polygon(const std::vector<Point2> &outline);

// Append the two triangles a, b, c and a, c, d of the quad a, b, c, d (counter-clockwise).
void mesh_add_quad(MeshData &mesh, int a, int b, int c, int d);

// Transforms in place.
void mesh_translate(MeshData &mesh, float x, float y, float z);
void mesh_scale(MeshData &mesh, float x, float y, float z);
// Rotate about the x, y or z axis by an angle in radians (right-handed).
void mesh_rotate_x(MeshData &mesh, float angle);
void mesh_rotate_y(MeshData &mesh, float angle);
void mesh_rotate_z(MeshData &mesh, float angle);
// Reverse the winding of every triangle (turns the mesh inside out: rooms seen from inside).
inline void mesh_flip(MeshData &mesh) { for (MeshTriangle &t : mesh.triangles) std::swap(t.b, t.c); }
// Append `part` to `mesh` (indices shifted).
void mesh_append(MeshData &mesh, const MeshData &part);
// Move every vertex along its smooth normal by `amount` times f(x, y, z) (displacement).
void mesh_displace(MeshData &mesh, float (*f)(float x, float y, float z, void *context), void *context, float amount);
// Smooth per-vertex normals (3 floats each), area-weighted.
std::vector<float> mesh_normals(const MeshData &mesh);

// Texture mapping, overwriting u and v.
// Planar projection along an axis (0 = x, 1 = y, 2 = z): uv from the other two coordinates times scale.
void mesh_map_planar(MeshData &mesh, int axis, float scale_u, float scale_v);
// Cylindrical around z: u = angle / 2 pi times repeat_u, v = z times scale_v.
void mesh_map_cylindrical(MeshData &mesh, float repeat_u, float scale_v);
// Spherical around the origin: u = longitude, v = latitude, both 0..1 times repeats.
void mesh_map_spherical(MeshData &mesh, float repeat_u, float repeat_v);
// Box mapping: each triangle projected along the dominant axis of its normal, times scale.
// Shared vertices are split where needed.
void mesh_map_box(MeshData &mesh, float scale);

// A .3ds triangle object from a built mesh, every face given `material` (none when empty).
// Fatal when the mesh has more vertices or faces than a .3ds object holds (65535).
Mesh3ds mesh_to_3ds(const MeshData &mesh, const std::string &name, const std::string &material);
