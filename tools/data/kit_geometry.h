// kit_geometry.h: the modelling vocabulary every scene file shares: one 3-vector, PI and
// angles in degrees, the turn between the show's frame (y up) and the file's (z up), and
// the builders scenes have in common: panels, open boxes, rods, triangles that face a given
// way. Meshes are the mesh builder's MeshData; kit_scene.h hands them to the .3ds scene.
#pragma once
#include <cmath>

#include "writers/angles.h"
#include "writers/mesh_builder.h"

struct Vec3 {
    float x, y, z;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator/(Vec3 a, float s) { return {a.x / s, a.y / s, a.z / s}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
// The unit vector along a (a itself when it is zero).
inline Vec3 normalize(Vec3 a) {
    float l = length(a);
    return l > 0 ? a * (1 / l) : a;
}

const Vec3 UNIT_X = {1, 0, 0}, UNIT_Y = {0, 1, 0}, UNIT_Z = {0, 0, 1};

// A point of the show's frame (y up) in the file's frame (z up): (x, y, z) -> (x, -z, y).
// It is a turn, so windings keep their sense.
inline Vec3 to_file(Vec3 show) { return {show.x, -show.z, show.y}; }
// A point of the file's frame in the show's: (x, y, z) -> (x, z, -y), exactly undoing to_file.
inline Vec3 to_show(Vec3 file) { return {file.x, file.z, -file.y}; }
// Turn every vertex of a mesh built in the show's frame into the file's.
void mesh_to_file_frame(MeshData &mesh);

inline Vec3 vertex_position(const MeshVertex &v) { return {v.x, v.y, v.z}; }
// Append a vertex at p mapped (u, v) and return its index.
int mesh_add_vertex(MeshData &mesh, Vec3 p, float u, float v);
// Append triangle a, b, c wound counter-clockwise seen from the direction `towards` points.
void mesh_add_facing(MeshData &mesh, int a, int b, int c, Vec3 towards);
// The same, seen from the point `from` (measured from corner a).
void mesh_add_facing_point(MeshData &mesh, int a, int b, int c, Vec3 from);
// Signed volume of a closed mesh: positive when its faces wind outwards.
float mesh_signed_volume(const MeshData &closed);
// Flip a closed mesh whose faces wind inwards.
inline void mesh_wind_outwards(MeshData &closed) { if (mesh_signed_volume(closed) < 0) mesh_flip(closed); }

// Cells of a panel to leave open: true for cell (i, j), i along du and j along dv.
typedef bool (*PanelHole)(int i, int j);
// A flat panel from `origin` along du (nu cells) and dv (nv cells), facing du x dv, mapped
// su and sv texture repeats per unit of length. Vertices come in the order the cells first
// use them, so the ones only the `hole` cells would use are left out.
MeshData mesh_panel(Vec3 origin, Vec3 du, Vec3 dv, int nu, int nv, float su, float sv, PanelHole hole = nullptr);
// The same panel as a full grid: vertex (i, j) is number j * (nu + 1) + i, mapped with u and
// v running 0..1 along du and dv.
MeshData mesh_panel_grid(Vec3 origin, Vec3 du, Vec3 dv, int nu, int nv);

// Sides of an open box to leave out where they lie against something.
enum {
    OMIT_MINUS_X = 1, OMIT_PLUS_X = 2, OMIT_MINUS_Y = 4, OMIT_PLUS_Y = 8, OMIT_MINUS_Z = 16,
    OMIT_PLUS_Z = 32
};
// An axis-aligned box of panels from corner lo to corner hi, faces outwards, mapped
// `repeats` per unit, the sides named in `omit` left out.
MeshData mesh_open_box(Vec3 lo, Vec3 hi, int omit, float repeats);
// A six-sided rod from a to b with both ends capped.
MeshData mesh_rod(Vec3 a, Vec3 b, float radius);

// A closed box from corner lo to corner hi (the mesh builder's box, moved into place).
MeshData mesh_box_between(Vec3 lo, Vec3 hi);
// A flat disc: a centre vertex and `segments` rim vertices, rim vertex k at centre +
// across * r cos a + up * r sin a for a = 2 PI k / segments, mapped to the picture's inscribed
// circle (0.5 + 0.5 cos a, 0.5 + 0.5 sin a), facing across x up.
MeshData mesh_disc(Vec3 centre, Vec3 across, Vec3 up, float radius, int segments);

// A ball without a seam around `centre`: vertex 0 its top pole on the y axis, `segments`
// vertices on each of rings - 1 rings, the bottom pole last; faces outwards, unmapped. Its
// longitude turns from +z towards +x (counter-clockwise seen from above) or from +x to +z.
enum BallLongitude { LONGITUDE_FROM_Z, LONGITUDE_FROM_X };
MeshData mesh_seamless_ball(Vec3 centre, float radius, int segments, int rings, BallLongitude longitude);

// The mesh moved by `offset`: the builder's translate, handed back for use in an expression.
MeshData mesh_moved(MeshData mesh, Vec3 offset);
// Lay a mesh built along local x, y and z onto the axes ax, ay, az at `origin`: vertex
// (x, y, z) goes to origin + ax x + ay y + az z. Windings keep their sense when the axes
// form a right-handed frame.
void mesh_on_axes(MeshData &mesh, Vec3 origin, Vec3 ax, Vec3 ay, Vec3 az);
