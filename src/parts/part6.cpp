// part6.cpp: the greetings: a projector throws a picture through a visible beam onto a
// wobbling blob and the stone wall behind it, where the blob's shadow falls. Every six
// seconds the picture slides out and the next one slides in; a dim light flickers; after
// 28 s the picture fades to black.
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "app/messages.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/random.h"
#include "texture/texture.h"

// Capacities: what "greez.3ds" holds.
static const PartCapacity capacity = {20, 2120, 1296, 2, 16, 20, 0};

static PartScene part;
static int shadow_mesh, wall_mesh, beam_mesh;
static float *blob_directions;  // x, y, z per vertex of the blob, on the unit ball
static int blob_vertex_count;
// What the greetings change while they play beyond their scene.
static struct GreetingsPlay {
    int shown_greeting;  // index of the picture on the projector
    float slide_offset;  // of the current frame
} play;

// Slide offset at time t: the picture slides in during the first half second of its six
// and out during the last half second.
static float greeting_slide_offset(float t) {
    float p = fmodf(t, 6.0f);
    if (p < 0.5f) return (p - 0.5f) * 3;
    if (p > 5.5f) return (5.5f - p) * 3;
    return 0;
}

// The divisor of the flicker test for a frame of d seconds: the integer part of 0.5 / d,
// but never 0 (a frame longer than half a second flashes every time) and never more than
// the random range (where the test already passes only for a draw of 0).
static int greeting_flicker_divisor(float d) {
    float q = 0.5f / d;
    if (!(q >= 1.0f)) return 1;
    if (q > float(RANDOM_MAX + 1)) return RANDOM_MAX + 1;
    return int(q);
}

// Point every face of mesh 0 and of the wall at a picture, and the beam too.
static void show_picture(int texture) {
    for (int m : {0, wall_mesh}) {
        Mesh &mesh = part.meshes[m];
        for (int f = 0; f < mesh.face_count; f++) {
            mesh.faces[f].second_pass = 1;
            mesh.faces[f].second_texture = texture;
        }
    }
    Mesh &beam = part.meshes[beam_mesh];
    for (int f = 0; f < beam.face_count; f++) beam.faces[f].texture = texture;
}

// acos with its argument kept in range (rounding can carry a unit cosine past 1).
static float clamped_acos(float x) { return acosf(x < -1.0f ? -1.0f : x > 1.0f ? 1.0f : x); }

// Load "greez.3ds", store the blob's directions and set up the projection.
void part6_load() {
    part_create(part, 6, capacity);
    part_load_3ds(part, GREETINGS_SCENE);
    Mesh *meshes = part.meshes;
    Vertex *vertices = part.vertices;
    if (part.mesh_count < 1) fatal_error("greez: [greez.3ds] has no meshes");
    if (part.scene.light_count < GREETINGS_FILE_LIGHTS)
        fatal_errorf("greez: [greez.3ds] needs the projector and a dim light (%d lights)", part.scene.light_count);

    // The blob reaches up to z = 341; the projection divides by the depth from the projector.
    if (!(part.lights[0].position[2] > 341.0f))
        fatal_errorf("greez: [greez.3ds] the projector stands in front of the blob (z %g)",
                     double(part.lights[0].position[2]));

    Light &dim = part.lights[1];
    dim.active = 1;
    dim.glow_size = 0;
    dim.color[0] = 0.07f, dim.color[1] = 0.08f, dim.color[2] = 0.1f;

    part_light_loaded_meshes(part, 0.3f, 1);

    const Mesh &blob = meshes[0];
    shadow_mesh = find_mesh(part.scene, SHADOW_MESH);
    wall_mesh = find_mesh(part.scene, WALL_MESH);
    beam_mesh = find_mesh(part.scene, BEAM_MESH);
    if (meshes[shadow_mesh].vertex_count < blob.vertex_count)
        fatal_errorf("greez: [shadow] has fewer vertices than the blob (%d)", meshes[shadow_mesh].vertex_count);
    if (meshes[wall_mesh].vertex_count < 4)
        fatal_errorf("greez: [wall] needs four vertices (%d)", meshes[wall_mesh].vertex_count);

    Mesh &shadow = meshes[shadow_mesh];
    int stone = texture_find("stonewal.bmp", true);
    for (int k = 0; k < shadow.vertex_count; k++) {
        float *n = vertices[shadow.first_vertex + k].normal;
        n[0] = 0, n[1] = 0, n[2] = 1;
    }
    for (int f = 0; f < shadow.face_count; f++) shadow.faces[f].texture = stone;

    delete[] blob_directions;
    blob_vertex_count = blob.vertex_count;
    blob_directions = new float[3 * blob_vertex_count];
    for (int k = 0; k < blob_vertex_count; k++) {
        const float *p = vertices[blob.first_vertex + k].position;
        blob_directions[3 * k] = p[0] / 100;
        blob_directions[3 * k + 1] = p[1] / 100;
        blob_directions[3 * k + 2] = (p[2] - 200) / 100;
    }

    int first_picture = texture_find("greez1.bmp", false);
    for (int m : {0, wall_mesh}) {
        Mesh &mesh = meshes[m];
        for (int f = 0; f < mesh.face_count; f++) {
            mesh.faces[f].second_pass = 1;
            mesh.faces[f].second_texture = first_picture;
        }
    }

    // The beam: black at its first half of vertices, white at the second, so it fades out.
    Mesh &beam = meshes[beam_mesh];
    beam.lit = 0;
    for (int f = 0; f < beam.face_count; f++) {
        beam.faces[f].alpha = 0.3f;
        beam.faces[f].blend_mode = 1;
        beam.faces[f].texture = first_picture;
    }
    int half = beam.vertex_count / 2;
    for (int k = 0; k < beam.vertex_count; k++) {
        float light = k < half ? -1.0f : 0.0f;
        float *l = vertices[beam.first_vertex + k].light;
        l[0] = l[1] = l[2] = light;
    }

    part.scene.flags = DRAW_SEPARATE_HIGHLIGHT;
    part.scene.scene_fade = 1.0f;
    part.camera.zmax = 2000.0f;
    play.shown_greeting = 0;
    play.slide_offset = 0;
    part_keep_state(part, &play, sizeof play);

    part_finish(part);
    static const char *const pictures[5] = {"greez1.bmp", "greez2.bmp", "greez3.bmp", "greez4.bmp", "greez5.bmp"};
    for (const char *picture : pictures) texture_find(picture, false);
    log_part_counts(part);
}

Scene *part6_scene() { return &part.scene; }

// Rebuild the blob from its directions: a radius of 60 plus a wobble of three waves.
static void wobble_blob(float t) {
    const Mesh &blob = part.meshes[0];
    for (int k = 0; k < blob_vertex_count; k++) {
        float a = blob_directions[3 * k], b = blob_directions[3 * k + 1], c = blob_directions[3 * k + 2];
        float yaw = 0;
        if (a != 0 || c != 0) {
            yaw = -clamped_acos(c) * 2;
            if (a > 0) yaw = -yaw;
        }
        float pitch = -2 * atanf(-b);
        if (c > 0) pitch = -pitch;
        float w = (sinf(yaw * 1.3f + t * 0.9f - pitch * 1.7f) + sinf(pitch * 1.1f + yaw * 1.1f + t * 1.3f) +
                   sinf(t * 1.1f - yaw * 0.5f - pitch * 0.7f)) * 10 +
                  sinf(pitch * 8 + yaw * 10 + t * 0.3f) / 5;
        float *p = part.vertices[blob.first_vertex + k].position;
        p[0] = (w + 60) * a;
        p[1] = (w + 60) * b;
        p[2] = (w + 60) * c + 250;
    }
    compute_normals(blob, part.vertices);
}

// Texture coordinates of the picture thrown from P onto a vertex.
static void project(Vertex &v, const float P[3], float s) {
    float dz = v.position[2] - P[2];
    v.second_u = (-(v.position[0] - P[0]) / dz) * 1.5f + 0.5f - s;
    v.second_v = (-(v.position[1] - P[1]) / dz) * 1.5f + 0.5f;
}

// The picture on the blob, brightest where the blob faces the projector.
static void project_on_blob(const float P[3], float s) {
    const Mesh &blob = part.meshes[0];
    for (int k = 0; k < blob.vertex_count; k++) {
        Vertex &v = part.vertices[blob.first_vertex + k];
        project(v, P, s);
        float L[3] = {P[0] - v.position[0], P[1] - v.position[1], P[2] - v.position[2]};
        float d = sqrtf(L[0] * L[0] + L[1] * L[1] + L[2] * L[2]);
        const float *n = v.normal;
        float nl = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (d != 0 && nl != 0) {
            float q = clamped_acos((n[0] * L[0] + n[1] * L[1] + n[2] * L[2]) / (d * nl));
            float a = 1 - q / 3.1415926536f * 2;
            if (a < 0) a = 0;
            v.shade = a * 3 - 1;
        }
    }
}

// The slide offset, the picture change, the flicker, the blob, the projection, the beam,
// the shadow and the fade for time t.
void part6_animate(float t) {
    play.slide_offset = greeting_slide_offset(t);
    float s = play.slide_offset;

    int g = int(t / 6);
    if (g != play.shown_greeting) {
        play.shown_greeting = g;
        char name[16];
        bool greeting = g >= 0 && g <= 4;
        if (greeting) snprintf(name, sizeof name, "greez%d.bmp", g + 1);
        show_picture(greeting ? texture_find(name, false) : texture_find("cutter.bmp", true));
    }

    Light &projector = part.lights[0];
    projector.position[1] = 0;
    int k = random_next();
    part.lights[1].intensity = k % greeting_flicker_divisor(frame_delta()) == 0 ? 20.0f : 0.0f;

    wobble_blob(t);
    const float *P = projector.position;
    project_on_blob(P, s);

    const Mesh &wall = part.meshes[wall_mesh];
    for (int i = 0; i < 4; i++) {
        Vertex &v = part.vertices[wall.first_vertex + i];
        project(v, P, s);
        v.second_v += 0.2f;
        v.shade = 0.3f;
    }

    const Mesh &beam = part.meshes[beam_mesh];
    int half = beam.vertex_count / 2;
    for (int i = 0; i < half; i++) {
        Vertex &wall_end = part.vertices[beam.first_vertex + i];
        Vertex &lens_end = part.vertices[beam.first_vertex + i + half];
        float u = (wall_end.position[0] + 250) / 500 - s;
        float v = 1 - (wall_end.position[1] + 300) / 400;
        wall_end.u = lens_end.u = u;
        wall_end.v = lens_end.v = v;
    }

    const Mesh &blob = part.meshes[0];
    const Mesh &shadow = part.meshes[shadow_mesh];
    for (int i = 0; i < blob.vertex_count; i++) {
        const float *b = part.vertices[blob.first_vertex + i].position;
        Vertex &v = part.vertices[shadow.first_vertex + i];
        v.position[0] = b[0] * 1.7f;
        v.position[1] = (b[1] - 70) * 1.7f + 70;
        v.position[2] = 5;
        v.u = (v.position[0] + 300) / 500;
        v.v = -(v.position[1] + 200) / 400;
    }

    if (t > 28) part.camera.fade = (28 - t) / 2;
}
