// part1.cpp: the intro: the wolf stands in the night scene "thc.3ds" while a light
// brightens to white and turns red, smoke rises from 18 s, and the picture fades in and out.
#include <cmath>

#include "app/messages.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "scene/model.h"
#include "scene/pose.h"
#include "texture/texture.h"

// Capacities: what "thc.3ds" holds, plus the wolf and the smoke appended after it.
enum { SMOKE_QUADS = 8 };
static const PartCapacity capacity = {24, 6000, 6000, 4, 6, 64, 0};

static PartScene part;
static int wolf_mesh, smoke_mesh;
static int background_meshes[4];
// What the intro changes while it plays beyond its scene.
static struct IntroPlay {
    bool smoke_started;
} play;

// Load "thc.3ds", stand the wolf in it and reserve the smoke.
void part1_load() {
    part_create(part, 1, capacity);
    part_load_3ds(part, INTRO_SCENE);
    Mesh *meshes = part.meshes;
    Vertex *vertices = part.vertices;
    part_light_loaded_meshes(part, 0.1f);
    if (part.scene.light_count < 1) fatal_error("intro: [thc.3ds] has no light 0");
    part.lights[0].active = 1;
    part.lights[0].glow_size = 0;
    part.camera.zmax = 200.0f;

    // The backdrop panels are unlit: black where they come towards the camera.
    for (int p = 0; p < 4; p++) {
        background_meshes[p] = find_mesh(part.scene, INTRO_PANELS[p]);
        Mesh &mesh = meshes[background_meshes[p]];
        mesh.lit = 0;
        for (int k = 0; k < mesh.vertex_count; k++) {
            Vertex &v = vertices[mesh.first_vertex + k];
            float light = v.position[2] <= -5.0f ? -1.0f : -0.2f;
            v.light[0] = v.light[1] = v.light[2] = light;
        }
    }

    // The wolf, appended after the loaded meshes.
    wolf_mesh = part.mesh_count;
    Mesh &wolf = part_add_model(part, "wolfguy.mdl");
    wolf.lit = 1;
    wolf.ambient = 0.3f;
    pose_model("wolfguy.mdl", wolf, vertices, 0.0f, 135, 135, 7.0f, 1, 1);

    // The smoke: eight quads, empty until the smoke starts.
    smoke_mesh = part.mesh_count;
    Mesh &smoke = part_add_mesh(part, "smoke", 4 * SMOKE_QUADS, 2 * SMOKE_QUADS);
    smoke.vertex_count = smoke.face_count = 0;
    play.smoke_started = false;
    part_keep_state(part, &play, sizeof play);
    int smoke_texture = texture_find("smoke.bmp", true);
    for (int q = 0; q < SMOKE_QUADS; q++) {
        Face *quad = &smoke.faces[2 * q];
        set_quad_faces(quad, 4 * q);
        for (int j = 0; j < 2; j++) {
            quad[j].texture = smoke_texture;
            quad[j].light_blend = 0;
            quad[j].blend_mode = 1;
            quad[j].two_sided = 1;
        }
    }
    part_finish(part);

    log_part_counts(part, 1, 0, 16);
}

Scene *part1_scene() { return &part.scene; }

// Write the eight smoke quads for time t (s seconds after the smoke started).
static void place_smoke(float t) {
    float s = t - 18;
    Mesh &smoke = part.meshes[smoke_mesh];
    for (int q = 0; q < SMOKE_QUADS; q++) {
        Vertex *v = &part.vertices[smoke.first_vertex + 4 * q];
        float x = q / 5.0f + 3.0f;
        float y[4] = {2 * sinf(1.3f * t + 2.0326f + q) + s * 0.5f * (q + 3) + 40,
                      1.3f * sinf(2.6f * t + q) + 40 - s * 0.5f * (q + 3),
                      2.3f * cosf(3.1f * t + q) + 40 - s * 0.75f * (q + 2),
                      3.1f * sinf(1.7f * t + 53 + q) + s * 0.75f * (q + 2) + 40};
        float z[4] = {2 * sinf(2.3f * t + 42.235973f + q) + 79 - s * (q + 3),
                      1.7f * cosf(2.7f * t + 0.2365f + q) + 80 - s * (q + 3),
                      2.7f * sinf(0.7f * t + 0.523f + q) + 75 - s * 2 * (q + 2),
                      2.1f * cosf(1.3f * t + 1.32698f + q) + 75 - s * 2 * (q + 2)};
        static const float uv[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        for (int k = 0; k < 4; k++) {
            v[k].position[0] = x;
            v[k].position[1] = y[k];
            v[k].position[2] = z[k];
            v[k].light[0] = v[k].light[1] = v[k].light[2] = 1;
            v[k].u = uv[k][0];
            v[k].v = uv[k][1];
        }
    }
    float alpha = -1;
    if (t < 18.4f) alpha = t - 18;
    if (t > 19.0f) alpha = 0.4f - (t - 19) / 10;
    if (alpha != -1)
        for (int f = 0; f < 2 * SMOKE_QUADS; f++) smoke.faces[f].alpha = alpha;
}

// The light, the wolf, the smoke, the backdrop mapping and the fades at time t.
void part1_animate(float t) {
    Light &light = part.lights[0];
    Mesh *meshes = part.meshes;
    Vertex *vertices = part.vertices;
    Camera &camera = part.camera;
    if (t <= 8.0f) {
        light.color[0] = light.color[1] = light.color[2] = t / 8;
        light.intensity = t;
    } else if (t > 10.0f && t < 12.0f) {
        light.color[0] = 1.0f;
        light.color[1] = 1 - (t - 10) / 10;
        light.color[2] = 1 - (t - 10) / 6;
        light.intensity = 8.0f - (t - 10) * 3.5f;
    }

    // The wolf holds one frame, then blends into the next at 17 s.
    if (t < 18.0f)
        place_model(part, wolf_mesh, {"wolfguy.mdl", t < 17.0f ? 203 : 204, 203, 1.0f, 2.4f, 3.1415927f, 0, -55.0f, 84.0f}, t);

    if (t > 18.0f) {
        if (!play.smoke_started) {
            meshes[smoke_mesh].vertex_count = 4 * SMOKE_QUADS;
            meshes[smoke_mesh].face_count = 2 * SMOKE_QUADS;
            play.smoke_started = true;
        }
        place_smoke(t);
    }

    // The camera track never crosses the plane z = 0; a camera there keeps the last mapping.
    float f1 = camera.direction[0] / 50, f2 = -camera.direction[1] / 50;
    float f3 = camera.position[2] != 0 ? -20 / camera.position[2] : 0;
    for (int p = 0; p < 4 && f3 != 0; p++) {
        const Mesh &mesh = meshes[background_meshes[p]];
        for (int k = 0; k < mesh.vertex_count; k++) {
            Vertex &v = vertices[mesh.first_vertex + k];
            v.u = ((v.position[0] + 73) / 168) * f3 + f1;
            v.v = (v.position[1] / 75 + f2) * f3 + 0.2f;
        }
    }

    camera.fade = 0;
    if (t < 8.0f) camera.fade = t / 8 - 1;
    if (t > 21.0f) camera.fade = -(t - 21) / 3;
}
