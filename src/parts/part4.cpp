// part4.cpp: the warp pass: in the red-fogged corridor "warppass.3ds" a tube of light opens,
// 500 specks of dust are sucked into it, the messiah beams in vertex by vertex, then walks,
// turns and walks on while sparks rise from his hand and a web swings where he passes.
#include <cmath>
#include <cstdio>

#include "app/messages.h"
#include "parts/hand_sparks.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/model.h"
#include "scene/pose.h"
#include "scene/random.h"
#include "texture/texture.h"

// The lights after the file's light 0: four circling flares, the sparks, the hand light
// and the dust.
enum {
    FLARE_FIRST = 1,
    FLARE_COUNT = 4,
    SPARK_FIRST = 5,
    SPARK_COUNT = 39,
    HAND_LIGHT = 44,
    DUST_FIRST = 45,
    DUST_COUNT = 500,
    LIGHT_COUNT = 545,
    WARP_RING = 16,
};
// The sparks climb slowly and are born close to the hand; the hand light never goes out.
static const HandSparks HAND_SPARKS = {SPARK_FIRST, SPARK_COUNT, 10, 33, 1.5f, 130, 0.8f};

// Capacities: room for a corridor of up to 18 meshes and 17 object and camera keys (ours has
// 14 meshes with a key each and 2,400 faces), plus the warp tube and the messiah appended
// after it; 545 lights in all.
static const PartCapacity capacity = {20, 2960, 2000, LIGHT_COUNT, 17, 17, 0};

static const float PI = 3.1415927f;

static PartScene part;
static int warp_mesh, messiah_mesh, web_mesh;

// Pose the messiah's mesh, turn it about y and move it (its normals follow the beam-in).
static void place_messiah(float time, int first, int last, float fps, byte copy_faces, float angle, float dx,
                          float dy, float dz) {
    place_model(part, messiah_mesh, {"messiah.mdl", first, last, fps, 1, angle, dx, dy, dz}, time, copy_faces, 1, false);
}

// The loaded meshes: lit pills, the two-sided cutter disc, the translucent unlit web and the
// bright wall panels.
static void set_up_corridor() {
    Mesh *meshes = part.meshes;
    part_light_loaded_meshes(part, 0.1f);
    for (const char *name : WARP_PILLS) {
        Mesh &pill = meshes[find_mesh(part.scene, name)];
        for (int f = 0; f < pill.face_count; f++) pill.faces[f].light_blend = 1;
    }
    Mesh &cutter = meshes[find_mesh(part.scene, CUTTER_MESH)];
    int cutter_texture = texture_find("cutter.bmp", true);
    for (int f = 0; f < cutter.face_count; f++) {
        cutter.faces[f].two_sided = 1;
        cutter.faces[f].alpha = 1.0f;
        cutter.faces[f].texture = cutter_texture;
    }
    web_mesh = find_mesh(part.scene, WEB_MESH);
    Mesh &web = meshes[web_mesh];
    if (web.vertex_count < 3)
        fatal_errorf("%s: [%s] web has %d vertices (3 needed)", part.tag, WARP_PASS_SCENE.name, web.vertex_count);
    web.lit = 0;
    for (int f = 0; f < web.face_count; f++) web.faces[f].alpha = 0.4f;
    for (int w = 1; w <= WARP_WALL_PANELS; w++) {
        char name[8];
        snprintf(name, sizeof name, WARP_WALL_PANEL_NAME, w);
        meshes[find_mesh(part.scene, name)].ambient = 0.8f;
    }
}

// Light 0 lights the corridor; the part owns every light after it: the circling flares first.
static void set_up_corridor_lights(Light *lights) {
    if (part.scene.light_count < 1) fatal_errorf("%s: [%s] has no light 0", part.tag, WARP_PASS_SCENE.name);
    lights[0].active = 1;
    lights[0].glow_size = 0;
    lights[0].intensity = 0.4f;
    lights[0].range_inner = 200;
    lights[0].range_outer = 300;
    for (int i = FLARE_FIRST; i < FLARE_FIRST + FLARE_COUNT; i++) {
        Light &l = lights[i];
        l.glow_size = 0;
        l.active = 0;
        l.intensity = 1.3f;
        l.flare_strength = 1.0f;
        l.flare_texture = 2;
        l.range_inner = 50;
        l.range_outer = 150;
    }
}

// The warp: a tube of radius 4 along the corridor, 16 vertices round at each end.
static void add_warp_tube() {
    warp_mesh = part.mesh_count;
    Mesh &warp = part_add_mesh(part, "warp", 2 * WARP_RING, 2 * WARP_RING);
    warp.lit = 0;
    int warp_texture = texture_find("warp.bmp", true);
    for (int i = 0; i < WARP_RING; i++) {
        float x = 4 * sinf(i * PI / 8) + 10, y = 4 * cosf(i * PI / 8) + 45;
        float *near = part.vertices[warp.first_vertex + 2 * i].position;
        float *far = part.vertices[warp.first_vertex + 2 * i + 1].position;
        near[0] = far[0] = x;
        near[1] = far[1] = y;
        near[2] = 50.0f;
        far[2] = -350.0f;
        Face *pair = &warp.faces[2 * i];
        pair[0].a = 2 * i, pair[0].b = 2 * i + 1, pair[0].c = (2 * i + 3) % 32;
        pair[1].a = 2 * i, pair[1].b = (2 * i + 3) % 32, pair[1].c = (2 * i + 2) % 32;
        for (int j = 0; j < 2; j++) {
            pair[j].two_sided = 1;
            pair[j].texture = warp_texture;
            pair[j].blend_mode = 1;
            pair[j].light_blend = 0;
        }
    }
}

// The dust: 500 specks on the plane in front of the tube's mouth.
static void scatter_dust(Light *lights) {
    for (int i = DUST_FIRST; i < DUST_FIRST + DUST_COUNT; i++) {
        Light &l = lights[i];
        l.color[0] = 1.0f;
        l.color[1] = (random_next() % 50) / 100.0f;
        l.color[2] = (random_next() % 50) / 100.0f;
        l.active = 0;
        l.glow_size = 0;
        l.flare_strength = (random_next() % 100) / 50.0f;
        l.intensity = 0;
        l.flare_texture = 3;
        l.position[0] = (random_next() % 160) / 2.0f - 30;
        l.position[1] = (random_next() % 180) / 2.0f;
        l.position[2] = 50.0f;
    }
}

// Load "warppass.3ds", build the warp tube, place the messiah and set up the 544 lights.
void part4_load() {
    part_create(part, 4, capacity);
    part_load_3ds(part, WARP_PASS_SCENE);
    set_up_corridor();
    set_up_corridor_lights(part.lights);
    set_up_hand_sparks(part.lights, HAND_SPARKS, 1.0f);
    add_warp_tube();
    // The messiah, waiting behind the end wall until he beams in.
    messiah_mesh = part.mesh_count;
    Mesh &messiah = part_add_model(part, "messiah.mdl");
    check_hand_vertex(part.tag, messiah);
    messiah.lit = 1;
    place_messiah(0, 115, 115, 20.0f, 1, 3.1415927f, 0, 0, 260);
    scatter_dust(part.lights);

    part.scene.light_count = LIGHT_COUNT;
    part.scene.flags = DRAW_FOG;
    part.scene.fog_density = 2.5f;
    part.scene.fog_color[0] = 0.4f, part.scene.fog_color[1] = 0.1f, part.scene.fog_color[2] = 0.1f;
    part.scene.scene_fade = 1.0f;
    part.camera.zmax = 800.0f;
    part_finish(part);
    log_part_counts(part, 1, 32, 32);
}

Scene *part4_scene() { return &part.scene; }

// Pull the beaming messiah's vertices back towards where he came from: vertex k of n has
// arrived when (t - 7) - 2k/n reaches 1.
static void beam_in(float t) {
    const Mesh &mesh = part.meshes[messiah_mesh];
    int n = mesh.vertex_count;
    for (int k = 0; k < n; k++) {
        float f = (t - 7) - 2.0f * k / n;
        float *p = part.vertices[mesh.first_vertex + k].position;
        if (f >= 0 && f <= 1) p[2] -= 260 * f;
        if (f > 1) p[2] -= 260;
    }
}

// The messiah by time window: beam-in, stand, walk down the step, turn left, walk, stop,
// wave, and walk on bearing left. Outside every window he keeps his last pose.
static void animate_messiah(float t) {
    if (t > 7 && t < 10) {
        place_messiah(0, 115, 115, 2.0f, 1, 3.1415927f, 0, 0, 260);
        beam_in(t);
    } else if (t >= 10 && t < 15) {
        place_messiah(t, 0, 39, 6.0f, 0, 3.1415927f, 0, 0, 0);
    } else if (t >= 15 && t < 17) {
        float u = t - 15;
        float y = t < 16.5f ? 2.0f : 2.0f - 14 * (t - 16.5f);
        place_messiah(t, 40, 45, 4.0f, 0, 3.1415927f, 0, y, -40 * u);
    } else if (t >= 17 && t < 17.5f) {
        float u = t - 17;
        place_messiah(t, 40, 45, 4.0f, 0, PI - (u / 3) * PI, -20 * u, -5, -80 - 40 * u);
    } else if (t >= 17.5f && t < 19) {
        float u = t - 17.5f;
        place_messiah(t, 40, 45, 4.0f, 0, 2.6179938f, -10 - 30 * u, -5, -80 - 40 * (t - 17));
    } else if (t >= 19 && t < 20) {
        float u = t - 19;
        place_messiah(t, 40, 45, 4.0f, 0, (u / 6) * PI + 2.6179938f, -10 - 30 * (t - 17.5f), -5, -80 - 40 * (t - 17));
    } else if (t >= 20 && t < 23) {
        float u = t - 20;
        place_messiah(t, 40, 45, 4.0f, 0, 3.1415927f, -5 * u - 85, -5, -200 - 40 * u);
    } else if (t >= 23 && t < 26) {
        place_messiah(t, 0, 39, 5.0f, 0, 3.1415927f, -100, -5, -320);
    } else if (t >= 26 && t < 28) {
        place_messiah(t, 112, 122, 5.0f, 0, 3.1415927f, -100, -5, -320);
    } else if (t >= 28 && t < 31) {
        float u = t - 28;
        place_messiah(t, 40, 45, 4.0f, 0, PI - (u / 18) * PI, -10 * u - 100, -5, -320 - 40 * u);
    } else if (t >= 31 && t < 35) {
        float u = t - 31;
        place_messiah(t, 40, 45, 4.0f, 0, 2.6179938f - (u / 24) * PI, -30 * u - 130, -5, -440 - 30 * u);
    } else {
        return;
    }
    compute_normals(part.meshes[messiah_mesh], part.vertices);
}

// Dust drifts towards the tube's axis and is reborn on the plane when its flare is full.
// A frame long enough to carry a speck past the axis (over 1/2.7 s) leaves it on the axis.
static void animate_dust(float t, float dt) {
    float pull = 1 - 2.7f * dt;
    if (pull < 0) pull = 0;
    for (int i = DUST_FIRST; i < DUST_FIRST + DUST_COUNT; i++) {
        Light &l = part.lights[i];
        l.flare_strength += 2 * dt;
        if (l.flare_strength < 2.0f) {
            l.position[0] = pull * (l.position[0] - 10) + 10;
            l.position[1] = pull * (l.position[1] - 45) + 45;
        } else {
            l.flare_strength = 0;
            l.position[0] = (random_next() % 160) / 2.0f - 30;
            l.position[1] = (random_next() % 180) / 2.0f;
            l.glow_size = t >= 5 && t <= 10 ? 0.3f : 0.0f;
        }
    }
}

// The tube's texture flows along it; the tube fades in from 6 s and out from 10 s.
static void animate_warp(float t) {
    Mesh &warp = part.meshes[warp_mesh];
    for (int i = 0; i < WARP_RING; i++) {
        Vertex *v = &part.vertices[warp.first_vertex + 2 * i];
        float u = sinf(i * PI / 8) / 2 + 0.5f;
        v[0].u = u, v[0].v = -t;
        v[1].u = u, v[1].v = 1 - t;
    }
    float alpha = -1;
    if (t < 6 || t >= 11) {
        alpha = 0;
        warp.vertex_count = warp.face_count = 0;
    } else if (t < 7) {
        alpha = t - 6;
        warp.vertex_count = warp.face_count = 2 * WARP_RING;
    } else if (t >= 10) {
        alpha = 1 - (t - 10);
    }
    if (alpha != -1)
        for (int f = 0; f < 2 * WARP_RING; f++) warp.faces[f].alpha = alpha;
}

// The web's two loose vertices swing out and settle from 26.5 s.
static void animate_web(float t) {
    if (!(t > 26.5f)) return;
    float s = t - 26.5f;
    const Mesh &web = part.meshes[web_mesh];
    float *v1 = part.vertices[web.first_vertex + 1].position;
    float *v2 = part.vertices[web.first_vertex + 2].position;
    v1[0] = (40 - 5 * s) * sinf(0.6f * s * PI - 1.5707964f) - 79;
    v2[0] = (35 - 5 * s) * sinf(0.7f * s * PI - 1.5707964f) - 84;
    if (t < 27.5f) {
        v1[1] = 63 - 25 * sinf(0.5f * s * PI);
        v2[1] = 10 * sinf(0.55f * s * PI);
    }
}

// Everything that moves, in order: circling flares, messiah, sparks, hand light, dust,
// warp flow and visibility, web.
void part4_animate(float t) {
    for (int i = 0; i < FLARE_COUNT; i++) {
        float k = sinf(float(i + 1));
        float *p = part.lights[FLARE_FIRST + i].position;
        p[0] = 60 * sinf(k * 2.3f * t);
        p[1] = 60 * sinf(k * 1.7f * t) + 60;
        p[2] = 60 * sinf(k * 1.9f * t) + 60;
    }
    animate_messiah(t);
    float dt = frame_delta();
    const Mesh &messiah = part.meshes[messiah_mesh];
    animate_hand_sparks(part.lights, HAND_SPARKS, part.vertices[messiah.first_vertex + MESSIAH_HAND_VERTEX].position, dt);
    animate_dust(t, dt);
    animate_warp(t);
    animate_web(t);
}
