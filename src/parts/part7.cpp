// part7.cpp: the rock tunnel: the camera flies through a tunnel of rock and out under a
// starry sky with two drifting cloud layers, while two blue lights flash like lightning for
// the first 22 seconds and a swarm of red and dark flares with a red light at its centre
// leads the way along the path of the file's guide keys. The part sweeps the field of view
// wide and back at the start and widens it again near the end.
#include <cmath>

#include "app/messages.h"
#include "parts/part7.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/random.h"

// Capacities: room for a tunnel of up to 107 object keys (ours keys its four meshes and the
// guide in 40), plus the swarm's 80 lights after its two.
static const PartCapacity capacity = {4, 2900, 1650, 82, 11, 107, 0};

static PartScene part;
static int file_lights;  // L: the lights of the file, the lightning lights first
static int cloud_meshes[2];

// Load "rocktunnel.3ds", light the rock, and add the swarm's flares and light.
void part7_load() {
    part_create(part, 7, capacity);
    part_load_3ds(part, ROCK_TUNNEL_SCENE);
    file_lights = part.scene.light_count;
    if (file_lights < ROCK_TUNNEL_FILE_LIGHTS) fatal_errorf("tunnel: [rocktunnel.3ds] needs two lightning lights (%d)", file_lights);

    for (int i = 0; i < 2; i++) {
        Light &light = part.lights[i];
        light.glow_size = 4.0f;
        light.flare_strength = 10.0f;
        light.flare_texture = 0;
        light.range_inner = 200;
        light.range_outer = 400;
        light.active = 1;
        light.flare_flag = 1;
        light.color[0] = 0.1f, light.color[1] = 0.1f, light.color[2] = 1.0f;
    }

    part_light_loaded_meshes(part, 0.4f, 1, 1);
    part.meshes[find_mesh(part.scene, STAR_SKY_MESH)].lit = 0;
    for (int c = 0; c < 2; c++) cloud_meshes[c] = find_mesh(part.scene, CLOUD_MESHES[c]);
    part.meshes[cloud_meshes[0]].lit = 0;
    part.meshes[cloud_meshes[1]].lit = 0;

    // The second cloud layer starts a fifth of its picture further on.
    const Mesh &clouds2 = part.meshes[cloud_meshes[1]];
    for (int k = 0; k < clouds2.vertex_count; k++) part.vertices[clouds2.first_vertex + k].v += 0.2f;

    for (int i = 0; i < SWARM_FLARES; i++) {
        Light &light = part_add_light(part);
        light.intensity = 0;
        light.glow_size = 7.0f;
        light.active = 0;
        if (i < SWARM_RED_FLARES) {
            light.flare_strength = 1.7f;
            light.color[0] = 1, light.color[1] = 0, light.color[2] = 0;
            light.flare_texture = 2;
        } else {
            light.flare_strength = -1.0f;  // subtractive
            light.color[0] = light.color[1] = light.color[2] = 1;
        }
    }
    Light &centre = part_add_light(part);
    centre.intensity = 1.2f;
    centre.glow_size = 0;
    centre.color[0] = 1, centre.color[1] = 0, centre.color[2] = 0;
    centre.active = 1;
    centre.range_inner = 100;
    centre.range_outer = 200;

    part.scene.flags = DRAW_SEPARATE_HIGHLIGHT;
    part.scene.scene_fade = 1.0f;
    part.camera.zmax = 4000;
    part_finish(part);

    log_part_counts(part);
}

Scene *part7_scene() { return &part.scene; }

int lightning_divisor(float d) {
    int divisor = int(0.3f / d);
    return divisor > 0 ? divisor : 1;  // a frame longer than 0.3 s may flash every time
}

// One lightning light: bright and flaring when the dice hit, else a dark light.
static void strike(Light &light, float t, int divisor) {
    int k = random_next();
    if (t >= 22 || k % divisor != 0) {
        light.intensity = -1;
        light.flare_strength = -1;
        light.flare_flag = 0;
    } else {
        light.intensity = 10;
        light.flare_strength = 10;
        light.flare_flag = 1;
    }
}

void swarm_centre(const ObjectKey *keys, int count, float frame, float out[3]) {
    if (count <= 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    int k = -1;
    for (int i = 0; i < count; i++)
        if (keys[i].frame <= frame) k = i;
    // Before the first key or from the last one on, the swarm holds that key's place.
    const ObjectKey &a = keys[k < 0 ? 0 : k];
    const ObjectKey &b = k >= 0 && k + 1 < count ? keys[k + 1] : a;
    float f = &a == &b ? 0.0f : (frame - a.frame) / (b.frame - a.frame);
    out[0] = (1 - f) * a.position[0] + f * b.position[0];
    out[1] = (1 - f) * a.position[2] + f * b.position[2];
    out[2] = -((1 - f) * a.position[1] + f * b.position[1]);
}

void part7_animate(float t) {
    float d = frame_delta();
    int divisor = lightning_divisor(d);
    strike(part.lights[0], t, divisor);
    strike(part.lights[1], t, divisor);

    float q[3];
    swarm_centre(part.object_keys, part.loaded.object_key_count, t * part.scene.frame_rate, q);
    float T = t + 22.4f;
    for (int i = 0; i < SWARM_FLARES; i++) {
        float a = sinf(float(i)) * T * 4, b = cosf(float(i)) * T * 5.3f;
        float *p = part.lights[file_lights + i].position;
        p[0] = sinf(a) * sinf(b) * 30 + q[0];
        p[1] = cosf(b) * 30 + q[1];
        p[2] = cosf(a) * sinf(b) * 30 + q[2];
    }
    float *centre = part.lights[file_lights + SWARM_FLARES].position;
    centre[0] = q[0], centre[1] = q[1], centre[2] = q[2];

    for (int c = 0; c < 2; c++) {
        const Mesh &mesh = part.meshes[cloud_meshes[c]];
        for (int k = 0; k < mesh.vertex_count; k++) part.vertices[mesh.first_vertex + k].u += d / 6;
    }

    Camera &camera = part.camera;
    const float pi = 3.1415927f;
    if (t < 4)
        camera.fov = sinf((t / 2) * pi - pi / 2) * 50 + 85;
    else if (t > 26 && t <= 30)
        camera.fov = sinf(((t - 26) / 4) * pi - pi / 2) * 20 + 55;
    camera.keep_mask = 4;
}
