// kit_geometry.cpp: the scene files' shared builders: frame turn, faced triangles, panels,
// open boxes and rods.
#include "kit_geometry.h"

void mesh_to_file_frame(MeshData &mesh) {
    for (MeshVertex &v : mesh.vertices) {
        float y = v.y, z = v.z;
        v.y = -z, v.z = y;
    }
}

int mesh_add_vertex(MeshData &mesh, Vec3 p, float u, float v) {
    mesh.vertices.push_back({p.x, p.y, p.z, u, v});
    return int(mesh.vertices.size()) - 1;
}

void mesh_add_facing(MeshData &mesh, int a, int b, int c, Vec3 towards) {
    Vec3 pa = vertex_position(mesh.vertices[a]), pb = vertex_position(mesh.vertices[b]);
    Vec3 pc = vertex_position(mesh.vertices[c]);
    Vec3 n = cross(pb - pa, pc - pa);
    if (dot(n, towards) >= 0) mesh.triangles.push_back({a, b, c});
    else mesh.triangles.push_back({a, c, b});
}

void mesh_add_facing_point(MeshData &mesh, int a, int b, int c, Vec3 from) {
    mesh_add_facing(mesh, a, b, c, from - vertex_position(mesh.vertices[a]));
}

float mesh_signed_volume(const MeshData &closed) {
    double volume = 0;
    for (const MeshTriangle &t : closed.triangles) {
        Vec3 pa = vertex_position(closed.vertices[t.a]), pb = vertex_position(closed.vertices[t.b]);
        Vec3 pc = vertex_position(closed.vertices[t.c]);
        volume += dot(pa, cross(pb, pc)) / 6.0;
    }
    return float(volume);
}

namespace {

// Two triangles for every cell of an nu x nv panel but the holes, counter-clockwise seen
// from du x dv; corner(i, j) gives the index of vertex (i, j).
template <typename Corner>
void add_panel_cells(MeshData &mesh, int nu, int nv, PanelHole hole, Corner corner) {
    for (int j = 0; j < nv; j++)
        for (int i = 0; i < nu; i++) {
            if (hole && hole(i, j)) continue;
            int a = corner(i, j), b = corner(i + 1, j), c = corner(i + 1, j + 1), d = corner(i, j + 1);
            mesh_add_quad(mesh, a, b, c, d);
        }
}

}  // namespace

MeshData mesh_panel(Vec3 origin, Vec3 du, Vec3 dv, int nu, int nv, float su, float sv, PanelHole hole) {
    MeshData mesh;
    float lu = length(du), lv = length(dv);
    std::vector<int> index((nu + 1) * (nv + 1), -1);
    add_panel_cells(mesh, nu, nv, hole, [&](int i, int j) {
        int &k = index[j * (nu + 1) + i];
        if (k < 0) {
            Vec3 p = origin + du * (float(i) / nu) + dv * (float(j) / nv);
            k = mesh_add_vertex(mesh, p, lu * i / nu * su, lv * j / nv * sv);
        }
        return k;
    });
    return mesh;
}

MeshData mesh_panel_grid(Vec3 origin, Vec3 du, Vec3 dv, int nu, int nv) {
    MeshData mesh;
    for (int j = 0; j <= nv; j++)
        for (int i = 0; i <= nu; i++) {
            float s = float(i) / nu, t = float(j) / nv;
            mesh_add_vertex(mesh, origin + du * s + dv * t, s, t);
        }
    add_panel_cells(mesh, nu, nv, nullptr, [&](int i, int j) { return j * (nu + 1) + i; });
    return mesh;
}

MeshData mesh_open_box(Vec3 lo, Vec3 hi, int omit, float repeats) {
    MeshData mesh;
    float w = hi.x - lo.x, d = hi.y - lo.y, h = hi.z - lo.z, s = repeats;
    const struct {
        int side;
        Vec3 origin, du, dv;
    } sides[6] = {
        {OMIT_MINUS_Y, {lo.x, lo.y, lo.z}, UNIT_X * w, UNIT_Z * h},
        {OMIT_PLUS_Y, {hi.x, hi.y, lo.z}, UNIT_X * -w, UNIT_Z * h},
        {OMIT_MINUS_X, {lo.x, hi.y, lo.z}, UNIT_Y * -d, UNIT_Z * h},
        {OMIT_PLUS_X, {hi.x, lo.y, lo.z}, UNIT_Y * d, UNIT_Z * h},
        {OMIT_PLUS_Z, {lo.x, lo.y, hi.z}, UNIT_X * w, UNIT_Y * d},
        {OMIT_MINUS_Z, {lo.x, hi.y, lo.z}, UNIT_X * w, UNIT_Y * -d},
    };
    for (const auto &side : sides)
        if (!(omit & side.side)) mesh_append(mesh, mesh_panel(side.origin, side.du, side.dv, 1, 1, s, s));
    return mesh;
}

MeshData mesh_rod(Vec3 a, Vec3 b, float radius) {
    Vec3 d = b - a;
    MeshData mesh = mesh_cylinder(radius, length(d), 6, 1, true);
    // Tilt the z axis onto d: first about x (towards y), then about z.
    float horizontal = std::sqrt(d.x * d.x + d.y * d.y);
    mesh_rotate_x(mesh, -std::atan2(horizontal, d.z));
    if (horizontal > 0) mesh_rotate_z(mesh, std::atan2(d.y, d.x) - PI / 2);
    mesh_translate(mesh, a.x, a.y, a.z);
    return mesh;
}

MeshData mesh_box_between(Vec3 lo, Vec3 hi) {
    MeshData box = mesh_box(hi.x - lo.x, hi.y - lo.y, hi.z - lo.z);
    mesh_translate(box, (lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2);
    return box;
}

MeshData mesh_disc(Vec3 centre, Vec3 across, Vec3 up, float radius, int segments) {
    MeshData disc;
    mesh_add_vertex(disc, centre, 0.5f, 0.5f);
    for (int k = 0; k < segments; k++) {
        float a = 2 * PI * k / segments, c = std::cos(a), s = std::sin(a);
        mesh_add_vertex(disc, centre + across * (radius * c) + up * (radius * s), 0.5f + 0.5f * c, 0.5f + 0.5f * s);
    }
    for (int k = 0; k < segments; k++) disc.triangles.push_back({0, 1 + k, 1 + (k + 1) % segments});
    return disc;
}

MeshData mesh_seamless_ball(Vec3 centre, float radius, int segments, int rings, BallLongitude longitude) {
    MeshData mesh;
    mesh_add_vertex(mesh, centre + Vec3{0, radius, 0}, 0, 0);
    for (int r = 1; r < rings; r++) {
        float lat = PI / 2 - PI * r / rings;
        for (int s = 0; s < segments; s++) {
            float lon = 2 * PI * s / segments, across = radius * std::cos(lat);
            float a = across * std::sin(lon), b = across * std::cos(lon), up = radius * std::sin(lat);
            mesh_add_vertex(mesh, centre + (longitude == LONGITUDE_FROM_X ? Vec3{b, up, a} : Vec3{a, up, b}), 0, 0);
        }
    }
    int last = mesh_add_vertex(mesh, centre + Vec3{0, -radius, 0}, 0, 0);
    auto ring = [&](int r, int s) { return 1 + (r - 1) * segments + (s % segments); };
    // Steps to the neighbours of a corner in the order that winds the faces outwards.
    int next = longitude == LONGITUDE_FROM_X ? 1 : 0, prev = 1 - next;
    for (int s = 0; s < segments; s++) mesh.triangles.push_back({0, ring(1, s + next), ring(1, s + prev)});
    for (int r = 1; r < rings - 1; r++)
        for (int s = 0; s < segments; s++) {
            int a = ring(r, s), b = ring(r + prev, s + next), c = ring(r + 1, s + 1), d = ring(r + next, s + prev);
            mesh.triangles.insert(mesh.triangles.end(), {{a, b, c}, {a, c, d}});
        }
    for (int s = 0; s < segments; s++)
        mesh.triangles.push_back({last, ring(rings - 1, s + prev), ring(rings - 1, s + next)});
    return mesh;
}

MeshData mesh_moved(MeshData mesh, Vec3 offset) {
    mesh_translate(mesh, offset.x, offset.y, offset.z);
    return mesh;
}

void mesh_on_axes(MeshData &mesh, Vec3 origin, Vec3 ax, Vec3 ay, Vec3 az) {
    for (MeshVertex &v : mesh.vertices) {
        Vec3 p = origin + ax * v.x + ay * v.y + az * v.z;
        v.x = p.x, v.y = p.y, v.z = p.z;
    }
}
