// part8.cpp: the water: a drop that bulges and flattens in front of the camera, shaded by a
// drifting fake reflection, with 400 small glows swirling around it and a backdrop that
// waves back and forth in depth. The camera stays still, its field of view breathes, and
// the picture fades in over the first four seconds.
#include <cmath>

#include "app/messages.h"
#include "parts/part8.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "scene/random.h"

// Capacities: room for a drop and a backdrop of up to 1,913 vertices and 3,528 faces and a
// camera key (ours needs 1,700, 3,200 and none), and the 400 glows.
enum { GLOWS = 400, VERTICES = 1913 };
static const PartCapacity capacity = {2, 3528, VERTICES, GLOWS, 1, 2, 0};

static PartScene part;
static float directions[VERTICES][3];  // every vertex's direction from the drop's centre, at load

// Load "water.3ds", keep the drop's directions and add the glows.
void part8_load() {
    part_create(part, 8, capacity);
    part_load_3ds(part, WATER_SCENE);
    if (part.mesh_count < 2) fatal_errorf("water: [water.3ds] needs the drop and the backdrop (%d meshes)", part.mesh_count);
    if (part.meshes[0].first_vertex != 0)
        fatal_errorf("water: [water.3ds] the drop starts at vertex %d", part.meshes[0].first_vertex);

    for (int m = 0; m < part.mesh_count; m++) {
        Mesh &mesh = part.meshes[m];
        mesh.lit = 0;
        for (int f = 0; f < mesh.face_count; f++) mesh.faces[f].light_blend = 1;
    }
    for (int f = 0; f < part.meshes[1].face_count; f++) part.meshes[1].faces[f].light_blend = 0;

    for (int k = 0; k < part.vertex_count; k++) {
        const float *p = part.vertices[k].position;
        directions[k][0] = p[0] / 100;
        directions[k][1] = p[1] / 100;
        directions[k][2] = (p[2] - 200) / 100;
    }

    for (int i = 0; i < GLOWS; i++) {
        Light &light = part_add_light(part);
        light.intensity = 0;
        light.flare_strength = 1.0f;
        light.glow_size = float(random_next() % 100) / 50 + 0.5f;
        light.flare_texture = 8;
        light.active = 0;
        light.color[0] = light.color[1] = light.color[2] = 1;
    }

    part.scene.flags = DRAW_SEPARATE_HIGHLIGHT;
    part.scene.scene_fade = 1.0f;
    Camera &camera = part.camera;
    camera.position[0] = camera.position[1] = camera.position[2] = 0;
    camera.direction[0] = 0, camera.direction[1] = 0, camera.direction[2] = 1;
    camera.fov = 60;
    camera.keep_mask = 15;
    camera.zmax = 2000;
    part_finish(part);

    log_part_counts(part);
}

Scene *part8_scene() { return &part.scene; }

float drop_radius(const float direction[3], float t) {
    float a = direction[0], b = direction[1], c = direction[2];
    // A stored direction can come out a hair longer than 1: keep acos defined.
    float cc = c > 1 ? 1 : (c < -1 ? -1 : c);
    float yaw = 0;
    if (!(a == 0 && c == 0)) {
        yaw = -acosf(cc) * 2;
        if (a > 0) yaw = -yaw;
    }
    float pitch = -2 * atanf(-b);
    if (c > 0) pitch = -pitch;
    float w = (sinf(yaw * 1.3f + t * 0.9f - pitch * 1.7f) + sinf(pitch * 1.1f + yaw * 1.1f + t * 1.3f) +
               sinf(t * 1.1f - yaw * 0.5f - pitch * 0.7f)) * 50 - 40;
    if (w < -20) w = -20;
    if (w > 15) w = 15;
    w += sinf(pitch * 8 + yaw * 10 + t * 0.3f) / 5;
    return w + 80;
}

void part8_animate(float t) {
    Vertex *vertices = part.vertices;
    const Mesh &drop = part.meshes[0];
    for (int k = 0; k < drop.vertex_count; k++) {
        const float *d = directions[k];
        float r = drop_radius(d, t);
        float *p = vertices[k].position;
        p[0] = r * d[0], p[1] = r * d[1], p[2] = r * d[2] + 200;
    }
    compute_normals(drop, vertices);

    // The fake reflection: bright where the drop faces the camera, drifting slowly.
    float du = sinf(t / 3.3f) * t / 19, dv = sinf(t / 5.7f) * t / 25;
    for (int k = 0; k < drop.vertex_count; k++) {
        Vertex &v = vertices[k];
        float len = sqrtf(v.normal[0] * v.normal[0] + v.normal[1] * v.normal[1] + v.normal[2] * v.normal[2]);
        float nx = len > 0 ? v.normal[0] / len : 0, ny = len > 0 ? v.normal[1] / len : 0;
        float light = 1.3f - sqrtf(nx * nx + ny * ny) * 3.5f;
        if (light < -0.7f) light = -0.7f;
        v.light[0] = v.light[1] = v.light[2] = light;
        v.u = du + nx / 1.6f + 0.5f;
        v.v = dv + ny / 1.6f + 0.5f;
    }

    for (int i = 0; i < GLOWS; i++) {
        float *p = part.lights[i].position;
        float s4 = i / 4.0f + t, s10 = i / 10.0f + t;
        p[0] = sinf(s4) * sinf(s10) * 110 - 1;
        p[1] = cosf(s10) * 110;
        p[2] = cosf(s4) * sinf(s10) * 110 + 200;
    }

    const Mesh &backdrop = part.meshes[1];
    for (int k = 0; k < backdrop.vertex_count; k++) {
        Vertex &v = vertices[backdrop.first_vertex + k];
        float z = sinf((sinf(k / 40.0f) / 3 + 0.8f) * t) * 30 + 300;
        v.position[2] = z;
        v.light[0] = v.light[1] = v.light[2] = (300 - z) / 30;
    }

    Camera &camera = part.camera;
    camera.fov = sinf(t * 0.4f) * 10 + 60;
    camera.glow_alpha = t < 4 ? t / 4 : 1.0f;
}
