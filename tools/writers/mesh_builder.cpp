// mesh_builder.cpp: procedural meshes: primitives, lathe, transforms, UV mapping, and their
// .3ds records.
#include "writers/mesh_builder.h"

#include <algorithm>
#include <cmath>

#include "platform/fatal.h"
#include "writers/angles.h"

// Add a vertex and return its index.
static int add_vertex(MeshData &mesh, float x, float y, float z, float u, float v) {
    mesh.vertices.push_back({x, y, z, u, v});
    return int(mesh.vertices.size()) - 1;
}

static void add_triangle(MeshData &mesh, int a, int b, int c) { mesh.triangles.push_back(MeshTriangle{a, b, c}); }

void mesh_add_quad(MeshData &mesh, int a, int b, int c, int d) {
    add_triangle(mesh, a, b, c);
    add_triangle(mesh, a, c, d);
}

// Quads over the mesh's vertices laid out row by row, `columns + 1` to a row: `rows` rows of
// `columns` quads, each a vertex, the next in its row, and the two above them in the next row.
static void add_grid_quads(MeshData &mesh, int columns, int rows) {
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < columns; c++) {
            int a = r * (columns + 1) + c;
            mesh_add_quad(mesh, a, a + 1, a + columns + 2, a + columns + 1);
        }
}

MeshData mesh_box(float size_x, float size_y, float size_z) {
    MeshData mesh;
    float hx = size_x / 2, hy = size_y / 2, hz = size_z / 2;
    // Each side: origin corner and the two edge directions (u then v), counter-clockwise from outside.
    struct Side {
        float o[3], du[3], dv[3];
    } sides[6] = {
        {{hx, -hy, -hz}, {0, 2 * hy, 0}, {0, 0, 2 * hz}},    // +x
        {{-hx, hy, -hz}, {0, -2 * hy, 0}, {0, 0, 2 * hz}},   // -x
        {{hx, hy, -hz}, {-2 * hx, 0, 0}, {0, 0, 2 * hz}},    // +y
        {{-hx, -hy, -hz}, {2 * hx, 0, 0}, {0, 0, 2 * hz}},   // -y
        {{-hx, -hy, hz}, {2 * hx, 0, 0}, {0, 2 * hy, 0}},    // +z
        {{-hx, hy, -hz}, {2 * hx, 0, 0}, {0, -2 * hy, 0}},   // -z
    };
    for (const Side &s : sides) {
        int base = int(mesh.vertices.size());
        for (int k = 0; k < 4; k++) {
            float fu = (k == 1 || k == 2) ? 1.0f : 0.0f, fv = (k >= 2) ? 1.0f : 0.0f;
            add_vertex(mesh, s.o[0] + s.du[0] * fu + s.dv[0] * fv, s.o[1] + s.du[1] * fu + s.dv[1] * fv,
                       s.o[2] + s.du[2] * fu + s.dv[2] * fv, fu, fv);
        }
        mesh_add_quad(mesh, base, base + 1, base + 2, base + 3);
    }
    return mesh;
}

MeshData mesh_cylinder(float radius, float height, int segments, int rings, bool caps) {
    if (segments < 3 || rings < 1) fatal_errorf("mesh_cylinder: %d segments, %d rings", segments, rings);
    MeshData mesh;
    for (int r = 0; r <= rings; r++)
        for (int s = 0; s <= segments; s++) {
            float a = TWO_PI * s / segments, x = radius * std::cos(a), y = radius * std::sin(a);
            add_vertex(mesh, x, y, height * r / rings, float(s) / segments, float(r) / rings);
        }
    add_grid_quads(mesh, segments, rings);
    if (caps) {
        for (int end = 0; end < 2; end++) {
            float z = end ? height : 0;
            int centre = add_vertex(mesh, 0, 0, z, 0.5f, 0.5f);
            int first = int(mesh.vertices.size());
            for (int s = 0; s < segments; s++) {
                float a = TWO_PI * s / segments, cos_a = std::cos(a), sin_a = std::sin(a);
                add_vertex(mesh, radius * cos_a, radius * sin_a, z, 0.5f + 0.5f * cos_a, 0.5f + 0.5f * sin_a);
            }
            for (int s = 0; s < segments; s++) {
                int p = first + s, q = first + (s + 1) % segments;
                if (end) add_triangle(mesh, centre, p, q);
                else add_triangle(mesh, centre, q, p);
            }
        }
    }
    return mesh;
}

MeshData mesh_sphere(float radius, int segments, int rings) {
    if (segments < 3 || rings < 2) fatal_errorf("mesh_sphere: %d segments, %d rings", segments, rings);
    MeshData mesh;
    for (int r = 0; r <= rings; r++) {
        float lat = -1.5707963f + PI * r / rings;  // the start is a hair short of -PI / 2
        for (int s = 0; s <= segments; s++) {
            float lon = TWO_PI * s / segments;
            add_vertex(mesh, radius * std::cos(lat) * std::cos(lon), radius * std::cos(lat) * std::sin(lon),
                       radius * std::sin(lat), float(s) / segments, float(r) / rings);
        }
    }
    for (int r = 0; r < rings; r++)
        for (int s = 0; s < segments; s++) {
            int a = r * (segments + 1) + s, b = a + 1, c = a + segments + 2, d = a + segments + 1;
            if (r > 0) add_triangle(mesh, a, b, c);
            if (r < rings - 1) add_triangle(mesh, a, c, d);
        }
    return mesh;
}

MeshData mesh_torus(float major, float minor, int segments, int sides) {
    if (segments < 3 || sides < 3) fatal_errorf("mesh_torus: %d segments, %d sides", segments, sides);
    MeshData mesh;
    for (int s = 0; s <= segments; s++) {
        float a = TWO_PI * s / segments;
        for (int k = 0; k <= sides; k++) {
            float b = TWO_PI * k / sides;
            float r = major + minor * std::cos(b);
            add_vertex(mesh, r * std::cos(a), r * std::sin(a), minor * std::sin(b), float(s) / segments,
                       float(k) / sides);
        }
    }
    for (int s = 0; s < segments; s++)
        for (int k = 0; k < sides; k++) {
            int a = s * (sides + 1) + k;
            mesh_add_quad(mesh, a, a + sides + 1, a + sides + 2, a + 1);
        }
    return mesh;
}

MeshData mesh_grid(float size_x, float size_y, int cells_x, int cells_y) {
    if (cells_x < 1 || cells_y < 1) fatal_errorf("mesh_grid: %d x %d cells", cells_x, cells_y);
    MeshData mesh;
    for (int j = 0; j <= cells_y; j++)
        for (int i = 0; i <= cells_x; i++)
            add_vertex(mesh, size_x * (float(i) / cells_x - 0.5f), size_y * (float(j) / cells_y - 0.5f), 0,
                       float(i) / cells_x, float(j) / cells_y);
    add_grid_quads(mesh, cells_x, cells_y);
    return mesh;
}

// Twice the signed area of a polygon (positive when counter-clockwise).
static float polygon_area2(const std::vector<Point2> &p) {
    float sum = 0;
    for (size_t i = 0; i < p.size(); i++) {
        const Point2 &a = p[i], &b = p[(i + 1) % p.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

// Cross product of (b - a) and (c - a).
static float cross3(Point2 a, Point2 b, Point2 c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

std::vector<MeshTriangle> triangulate_polygon(const std::vector<Point2> &outline) {
    std::vector<MeshTriangle> result;
    std::vector<int> left;
    for (size_t i = 0; i < outline.size(); i++) left.push_back(int(i));
    if (polygon_area2(outline) < 0) std::reverse(left.begin(), left.end());
    size_t guard = 0;
    while (left.size() > 3 && guard < outline.size() * outline.size() + 16) {
        guard++;
        bool clipped = false;
        for (size_t i = 0; i < left.size() && !clipped; i++) {
            int ia = left[(i + left.size() - 1) % left.size()], ib = left[i], ic = left[(i + 1) % left.size()];
            Point2 a = outline[ia], b = outline[ib], c = outline[ic];
            if (cross3(a, b, c) <= 0) continue;  // reflex corner
            bool inside = false;
            for (int k : left) {
                if (k == ia || k == ib || k == ic) continue;
                Point2 p = outline[k];
                if (cross3(a, b, p) >= 0 && cross3(b, c, p) >= 0 && cross3(c, a, p) >= 0) {
                    inside = true;
                    break;
                }
            }
            if (inside) continue;
            result.push_back(MeshTriangle{ia, ib, ic});
            left.erase(left.begin() + long(i));
            clipped = true;
        }
        if (!clipped) break;  // degenerate outline: fan the rest
    }
    for (size_t i = 1; i + 1 < left.size(); i++) result.push_back(MeshTriangle{left[0], left[i], left[i + 1]});
    return result;
}

MeshData mesh_lathe(const std::vector<Point2> &profile, int segments) {
    if (profile.size() < 2 || segments < 3) fatal_errorf("mesh_lathe: %zu points, %d segments", profile.size(), segments);
    MeshData mesh;
    size_t n = profile.size();
    std::vector<float> length(n, 0);
    for (size_t i = 1; i < n; i++)
        length[i] = length[i - 1] + std::hypot(profile[i].x - profile[i - 1].x, profile[i].y - profile[i - 1].y);
    float total = std::max(length[n - 1], 1e-6f);
    for (size_t i = 0; i < n; i++)
        for (int s = 0; s <= segments; s++) {
            float a = TWO_PI * s / segments;
            add_vertex(mesh, profile[i].x * std::cos(a), profile[i].x * std::sin(a), profile[i].y, float(s) / segments,
                       length[i] / total);
        }
    // With the profile running upwards at positive radius, these quads face outwards.
    add_grid_quads(mesh, segments, int(n) - 1);
    return mesh;
}

void mesh_translate(MeshData &mesh, float x, float y, float z) {
    for (MeshVertex &v : mesh.vertices) v.x += x, v.y += y, v.z += z;
}

void mesh_scale(MeshData &mesh, float x, float y, float z) {
    for (MeshVertex &v : mesh.vertices) v.x *= x, v.y *= y, v.z *= z;
    // A mirroring scale turns the triangles inside out; turn them back.
    if (x * y * z < 0) mesh_flip(mesh);
}

// Rotate the pair (p, q) by angle.
static void rotate_pair(float &p, float &q, float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    float np = p * c - q * s, nq = p * s + q * c;
    p = np;
    q = nq;
}

void mesh_rotate_x(MeshData &mesh, float angle) { for (MeshVertex &v : mesh.vertices) rotate_pair(v.y, v.z, angle); }

void mesh_rotate_y(MeshData &mesh, float angle) { for (MeshVertex &v : mesh.vertices) rotate_pair(v.z, v.x, angle); }

void mesh_rotate_z(MeshData &mesh, float angle) { for (MeshVertex &v : mesh.vertices) rotate_pair(v.x, v.y, angle); }

void mesh_append(MeshData &mesh, const MeshData &part) {
    int base = int(mesh.vertices.size());
    mesh.vertices.insert(mesh.vertices.end(), part.vertices.begin(), part.vertices.end());
    for (const MeshTriangle &t : part.triangles) add_triangle(mesh, t.a + base, t.b + base, t.c + base);
}

std::vector<float> mesh_normals(const MeshData &mesh) {
    std::vector<float> normals(mesh.vertices.size() * 3, 0.0f);
    for (const MeshTriangle &t : mesh.triangles) {
        const MeshVertex &a = mesh.vertices[t.a], &b = mesh.vertices[t.b], &c = mesh.vertices[t.c];
        float e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        for (int k : {t.a, t.b, t.c})
            for (int i = 0; i < 3; i++) normals[size_t(k) * 3 + i] += n[i];
    }
    for (size_t v = 0; v < mesh.vertices.size(); v++) {
        float *n = &normals[v * 3];
        float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0)
            for (int i = 0; i < 3; i++) n[i] /= length;
    }
    return normals;
}

void mesh_displace(MeshData &mesh, float (*f)(float x, float y, float z, void *context), void *context, float amount) {
    std::vector<float> normals = mesh_normals(mesh);
    for (size_t i = 0; i < mesh.vertices.size(); i++) {
        MeshVertex &v = mesh.vertices[i];
        float d = f(v.x, v.y, v.z, context) * amount;
        v.x += normals[i * 3] * d, v.y += normals[i * 3 + 1] * d, v.z += normals[i * 3 + 2] * d;
    }
}

// Map one vertex by projection along an axis: uv from the other two coordinates times scale.
static void map_planar(MeshVertex &v, int axis, float scale_u, float scale_v) {
    float p[3] = {v.x, v.y, v.z};
    v.u = p[axis == 0 ? 1 : 0] * scale_u, v.v = p[axis == 2 ? 1 : 2] * scale_v;
}

void mesh_map_planar(MeshData &mesh, int axis, float scale_u, float scale_v) {
    for (MeshVertex &v : mesh.vertices) map_planar(v, axis, scale_u, scale_v);
}

void mesh_map_cylindrical(MeshData &mesh, float repeat_u, float scale_v) {
    for (MeshVertex &v : mesh.vertices) {
        float a = std::atan2(v.y, v.x);
        if (a < 0) a += TWO_PI;
        v.u = a / TWO_PI * repeat_u, v.v = v.z * scale_v;
    }
}

void mesh_map_spherical(MeshData &mesh, float repeat_u, float repeat_v) {
    for (MeshVertex &v : mesh.vertices) {
        float a = std::atan2(v.y, v.x);
        if (a < 0) a += TWO_PI;
        float r = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        float lat = r > 0 ? std::asin(std::clamp(v.z / r, -1.0f, 1.0f)) : 0;
        v.u = a / TWO_PI * repeat_u, v.v = (lat / PI + 0.5f) * repeat_v;
    }
}

void mesh_map_box(MeshData &mesh, float scale) {
    MeshData result;
    for (const MeshTriangle &t : mesh.triangles) {
        const MeshVertex &a = mesh.vertices[t.a], &b = mesh.vertices[t.b], &c = mesh.vertices[t.c];
        float e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        float n[3] = {std::fabs(e1[1] * e2[2] - e1[2] * e2[1]), std::fabs(e1[2] * e2[0] - e1[0] * e2[2]),
                      std::fabs(e1[0] * e2[1] - e1[1] * e2[0])};
        int axis = (n[0] >= n[1] && n[0] >= n[2]) ? 0 : (n[1] >= n[2] ? 1 : 2);
        int base = int(result.vertices.size());
        for (MeshVertex v : {a, b, c}) {
            map_planar(v, axis, scale, scale);
            result.vertices.push_back(v);
        }
        add_triangle(result, base, base + 1, base + 2);
    }
    mesh = result;
}

Mesh3ds mesh_to_3ds(const MeshData &mesh, const std::string &name, const std::string &material) {
    if (mesh.vertices.size() > 65535 || mesh.triangles.size() > 65535)
        fatal_errorf("3DS: mesh [%s] has %zu vertices and %zu faces, a .3ds object holds 65535", name.c_str(),
                     mesh.vertices.size(), mesh.triangles.size());
    Mesh3ds out;
    out.name = name;
    for (const MeshVertex &v : mesh.vertices) out.add_vertex(v.x, v.y, v.z, v.u, v.v);
    for (const MeshTriangle &t : mesh.triangles) {
        int n = int(mesh.vertices.size());
        if (t.a < 0 || t.b < 0 || t.c < 0 || t.a >= n || t.b >= n || t.c >= n)
            fatal_errorf("3DS: mesh [%s] has a face with a vertex index outside 0..%d", name.c_str(), n - 1);
        out.add_face(t.a, t.b, t.c);
    }
    if (!material.empty() && !mesh.triangles.empty()) out.set_material(material, 0, int(mesh.triangles.size()));
    return out;
}
