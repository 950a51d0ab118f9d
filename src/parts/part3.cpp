// part3.cpp: the wobbel torus: a chrome torus morphs between two shapes and tumbles in
// front of the viewer while the rest of "wobbel.3ds" spins about wandering axes; a light
// orb flies round it, sheds falling sparkles and now and then flashes, tinting the fog.
// The scene is drawn without the camera transform: positions are viewer space.
#include <cmath>
#include <initializer_list>

#include "app/messages.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/pose.h"
#include "scene/random.h"

// Capacities: what "wobbel.3ds" holds (the torus's two source shapes included); the orb
// and its forty sparkles are the part's own lights.
enum { SPARKLES = 40, LIGHTS = SPARKLES + 1 };
static const PartCapacity capacity = {12, 16000, 9600, LIGHTS, 1, 12, 0};
static const float CENTRE_Z = 200.0f;  // everything turns about (0, 0, 200), in front of the viewer

static PartScene part;
static int torus_mesh, round_source, wavy_source;  // "Torus", "Torus1", "Torus2"

// Load "wobbel.3ds", check the torus and its two sources, set up the orb and the sparkles.
void part3_load() {
    part_create(part, 3, capacity);
    part_load_3ds(part, WOBBEL_SCENE);
    part_light_loaded_meshes(part, 0);
    Mesh *meshes = part.meshes;
    Vertex *vertices = part.vertices;

    // The two shapes the torus morphs between come last, so the scene's counts can leave
    // them out, and pair vertex for vertex with the torus.
    int file_meshes = part.mesh_count;
    torus_mesh = find_mesh(part.scene, TORUS_MESH);
    round_source = find_mesh(part.scene, ROUND_TORUS_MESH);
    wavy_source = find_mesh(part.scene, WAVY_TORUS_MESH);
    if (round_source < file_meshes - 2 || wavy_source < file_meshes - 2 || torus_mesh >= file_meshes - 2)
        fatal_errorf("wobbel: [wobbel.3ds] Torus1 and Torus2 must be the last two of %d meshes (at %d and %d)",
                     file_meshes, round_source, wavy_source);
    int torus_vertices = meshes[torus_mesh].vertex_count;
    for (int source : {round_source, wavy_source})
        if (meshes[source].vertex_count != torus_vertices)
            fatal_errorf("wobbel: [wobbel.3ds] %s has %d vertices, Torus %d", meshes[source].name,
                         meshes[source].vertex_count, torus_vertices);
    meshes[torus_mesh].lit = 0;  // its light is written every frame

    Light *lights = part.lights;
    Light &orb = lights[0];
    orb.intensity = 1.0f;
    orb.flare_strength = 3.0f;
    orb.color[0] = orb.color[1] = orb.color[2] = 1.0f;
    orb.flare_flag = 1;
    orb.glow_size = 10.0f;
    orb.range_inner = 100;
    orb.range_outer = 300;
    orb.active = 1;
    orb.flare_texture = 2;
    for (int i = 1; i <= SPARKLES; i++) {
        Light &sparkle = lights[i];
        sparkle.intensity = 0;
        sparkle.flare_strength = float(random_next() % 100) / 100;
        sparkle.glow_size = 2.0f;
        sparkle.flare_texture = 8;
        sparkle.active = 0;
    }

    for (int i = 0; i < file_meshes; i++) {
        translate_mesh(meshes[i], vertices, 0, 0, CENTRE_Z);
        meshes[i].pivot[0] = meshes[i].pivot[1] = 0;
        meshes[i].pivot[2] = CENTRE_Z;
    }

    Scene &scene = part.scene;
    scene.light_count = LIGHTS;
    scene.flags = DRAW_FOG;
    scene.fog_density = 3.0f;
    scene.scene_fade = 1.0f;  // the shell covers every pixel: no colour clear
    part.camera.zmax = 700;
    part.mesh_count = file_meshes - 2;
    part.vertex_count -= 2 * meshes[file_meshes - 1].vertex_count;
    part_finish(part);

    log_part_counts(part);
}

Scene *part3_scene() { return &part.scene; }

// The modulus of the flash test: the integer part of 0.5 / d, at least 1 (a frame of more
// than half a second flashes) and at most past the largest random number (tiny frames).
static int flash_modulus(float d) {
    float q = 0.5f / d;
    if (!(q >= 1.0f)) return 1;
    if (q > float(RANDOM_MAX + 1)) return RANDOM_MAX + 1;
    return int(q);
}

// The spin, the orb, its flash and sparkles, the camera, and the torus's morph, tumble and
// chrome shading at time t.
void part3_animate(float t) {
    float d = frame_delta();
    Scene &scene = part.scene;
    Mesh *meshes = part.meshes;
    Vertex *vertices = part.vertices;

    // Everything but the torus keeps turning by one frame's time about a wandering axis.
    float ax = cosf(t * 0.3683f), ay = sinf(t * 0.6348f), az = sinf(t * 0.2867f);
    for (int i = 0; i < scene.mesh_count; i++) {
        if (i == torus_mesh) continue;
        rotate_mesh(meshes[i], vertices, ax, ay, az, d);
        compute_normals(meshes[i], vertices);
    }

    Light *lights = part.lights;
    Light &orb = lights[0];
    orb.position[0] = sinf(t * 1.235f) * 80;
    orb.position[1] = sinf(t * 1.6239f) * 80;
    orb.position[2] = sinf(t * 1.1984f) * 80 + CENTRE_Z;
    orb.color[0] = orb.color[1] = sinf(t * 0.7349f) / 2 + 0.5f;

    int k = random_next();
    if (k % flash_modulus(d) == 0) {
        orb.intensity = 10.0f;
        for (int c = 0; c < 3; c++) scene.fog_color[c] = orb.color[c];
    } else {
        orb.intensity = 1.0f;
        for (int c = 0; c < 3; c++) scene.fog_color[c] = 0.2f;
    }

    // Sparkles fall while they last, then start again at the orb in its colour.
    for (int i = 1; i <= SPARKLES; i++) {
        Light &sparkle = lights[i];
        sparkle.flare_strength -= d;
        if (sparkle.flare_strength > 0) {
            sparkle.position[1] -= d * 100;
            continue;
        }
        sparkle.flare_strength = 1.0f;
        for (int c = 0; c < 3; c++) sparkle.color[c] = orb.color[c];
        sparkle.position[0] = orb.position[0] + float(random_next() % 100) / 10;
        sparkle.position[1] = orb.position[1] + float(random_next() % 100) / 10;
        sparkle.position[2] = orb.position[2] + float(random_next() % 100) / 10;
    }

    Camera &camera = part.camera;
    camera.position[0] = camera.position[1] = camera.position[2] = 0;
    camera.direction[0] = camera.direction[1] = 0;
    camera.direction[2] = 1;
    camera.fov = t > 20 ? 91 : sinf(t * 0.7438f) * 15 + 80;
    camera.keep_mask = 15;

    // The torus: rebuilt from its two shapes, then turned to its tumble angle.
    const Mesh &torus = meshes[torus_mesh];
    const Vertex *round = vertices + meshes[round_source].first_vertex;
    const Vertex *wavy = vertices + meshes[wavy_source].first_vertex;
    Vertex *v = vertices + torus.first_vertex;
    float w = sinf(t * 0.6f) / 2 + 0.5f;
    for (int i = 0; i < torus.vertex_count; i++)
        for (int c = 0; c < 3; c++) v[i].position[c] = (1 - w) * wavy[i].position[c] + w * round[i].position[c];
    rotate_mesh(torus, vertices, sinf(t * 0.6109f), cosf(t * 0.39812f), sinf(t * 0.89831f), t);
    compute_normals(torus, vertices);

    // Chrome: bright where the surface faces the viewer, dark towards the outline, the
    // picture looked up by the normal. A vertex without a normal (no area round it) keeps
    // its last shading.
    for (int i = 0; i < torus.vertex_count; i++) {
        const float *n = v[i].normal;
        float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(length > 0)) continue;
        float nx = n[0] / length, ny = n[1] / length;
        v[i].light[0] = v[i].light[1] = v[i].light[2] = 1 - (nx * nx + ny * ny) * 5;
        v[i].u = nx;
        v[i].v = ny;
    }
}
