// pose.cpp: posing a mesh from its object keys (scale, rotate, move, then Z-up to Y-up) and
// the vertex operations on one mesh. Runs every frame; allocates nothing.
#include "scene/pose.h"

#include <cmath>

#include "app/messages.h"
#include "scene/spline.h"

// Key times and one component of an object-key stretch.
static float pose_times[MAX_SPLINE_POINTS];
static float pose_values[MAX_SPLINE_POINTS];

// One float field of an object key: 0 frame, 1-3 position, 4-6 axis, 7 angle, 8-10 scale.
static float object_key_field(const ObjectKey &key, int field) {
    switch (field) {
    case 0: return key.frame;
    case 1: case 2: case 3: return key.position[field - 1];
    case 4: case 5: case 6: return key.axis[field - 4];
    case 7: return key.angle;
    default: return key.scale[field - 8];
    }
}

void animate_mesh(const Scene &scene, const Mesh &mesh, Vertex *vertices, float t, float rate) {
    if (mesh.key_count <= 0) return;  // -1: never animated by keys; 0: nothing to pose from
    if (mesh.first_key < 0 || !scene.object_keys)
        fatal_errorf("POSE: [%.64s] has %d keys from key %d", mesh.name, mesh.key_count,
                     mesh.first_key);
    if (!(rate > 0.0f) || !std::isfinite(rate))
        fatal_errorf("POSE: [%.64s] key times need a positive frame rate (got %g)", mesh.name,
                     (double)rate);
    const ObjectKey *keys = scene.object_keys + mesh.first_key;
    int lo, hi;
    track_stretch(keys, mesh.key_count, rate, t, &lo, &hi);
    if (hi - lo > MAX_SPLINE_POINTS)
        fatal_errorf("POSE: [%.64s] track of %d keys (at most %d)", mesh.name, hi - lo,
                     MAX_SPLINE_POINTS);
    for (int i = lo; i < hi; i++) pose_times[i - lo] = keys[i].frame / rate;

    float value[11];
    for (int field = 1; field <= 10; field++) {
        for (int i = lo; i < hi; i++) pose_values[i - lo] = object_key_field(keys[i], field);
        value[field] = calc_spline(pose_times, pose_values, hi - lo, t);
    }
    scale_mesh(mesh, vertices, value[8], value[9], value[10]);
    rotate_mesh(mesh, vertices, value[4], value[5], value[6], -value[7]);
    translate_mesh(mesh, vertices, value[1], value[2], value[3]);
    Vertex *v = vertices + mesh.first_vertex;
    for (int i = 0; i < mesh.vertex_count; i++) {
        float y = v[i].position[1];
        v[i].position[1] = v[i].position[2];
        v[i].position[2] = -y;
    }
}

void translate_mesh(const Mesh &mesh, Vertex *vertices, float dx, float dy, float dz) {
    Vertex *v = vertices + mesh.first_vertex;
    for (int i = 0; i < mesh.vertex_count; i++) {
        v[i].position[0] += dx;
        v[i].position[1] += dy;
        v[i].position[2] += dz;
    }
}

void scale_mesh(const Mesh &mesh, Vertex *vertices, float sx, float sy, float sz) {
    const float s[3] = {sx, sy, sz};
    Vertex *v = vertices + mesh.first_vertex;
    for (int i = 0; i < mesh.vertex_count; i++)
        for (int k = 0; k < 3; k++) {
            v[i].position[k] = mesh.pivot[k] + (v[i].position[k] - mesh.pivot[k]) * s[k];
            v[i].normal[k] *= s[k];
        }
}

void rotate_mesh(const Mesh &mesh, Vertex *vertices, float ax, float ay, float az, float angle) {
    if (!(std::fabs(angle) >= 0.001f)) return;
    float length = std::sqrt(ax * ax + ay * ay + az * az);
    if (!(length > 0.0f) || !std::isfinite(length)) return;  // no axis, no turn
    float half_sin = std::sin(angle / 2) / length;
    float x = half_sin * ax, y = half_sin * ay, z = half_sin * az, w = std::cos(angle / 2);
    const float r[3][3] = {
        {x * x + w * w - y * y - z * z, 2 * (w * z + x * y), 2 * (x * z - w * y)},
        {2 * (x * y - w * z), y * y + w * w - x * x - z * z, 2 * (w * x + y * z)},
        {2 * (w * y + x * z), 2 * (y * z - w * x), z * z + w * w - x * x - y * y},
    };
    const float *p = mesh.pivot;
    Vertex *v = vertices + mesh.first_vertex;
    for (int i = 0; i < mesh.vertex_count; i++) {
        float d[3] = {v[i].position[0] - p[0], v[i].position[1] - p[1], v[i].position[2] - p[2]};
        float n[3] = {v[i].normal[0], v[i].normal[1], v[i].normal[2]};
        for (int k = 0; k < 3; k++) {
            v[i].position[k] = p[k] + r[k][0] * d[0] + r[k][1] * d[1] + r[k][2] * d[2];
            v[i].normal[k] = r[k][0] * n[0] + r[k][1] * n[1] + r[k][2] * n[2];
        }
    }
}

void center_pivot(Mesh &mesh, const Vertex *vertices) {
    if (mesh.vertex_count <= 0) return;  // no vertices: the pivot stays where it is
    double sum[3] = {0, 0, 0};
    const Vertex *v = vertices + mesh.first_vertex;
    for (int i = 0; i < mesh.vertex_count; i++)
        for (int k = 0; k < 3; k++) sum[k] += v[i].position[k];
    for (int k = 0; k < 3; k++) mesh.pivot[k] = float(sum[k] / mesh.vertex_count);
}
