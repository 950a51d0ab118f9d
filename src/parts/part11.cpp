// part11.cpp: the sofa room: a living room at night, lit by the moon and a hanging lamp
// with a spotlight. The television shows flickering static and switches off, its picture
// collapsing first vertically, then horizontally. The wolf stands watching, turns, walks
// into the lamp and falls over; from 13 s on the lamp swings and its spotlight with it.
#include <cmath>

#include "app/messages.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/model.h"
#include "scene/pose.h"
#include "scene/random.h"

// Capacities: room for a room of up to 38 meshes and 38 object keys (ours has 27 of each),
// plus the wolf appended after it.
static const PartCapacity capacity = {39, 4600, 3300, 2, 10, 38, 0};

// Where the lamp hangs from; the television picture collapses towards this line and column.
static const float SUSPENSION[3] = {-96.0f, 300.0f, -235.0f};
static const float SCREEN_LINE_Y = 115.0f, SCREEN_COLUMN_X = -15.0f;
enum { LAMP_PIECES = 3, SCREEN_CORNERS = 4 };

static PartScene part;
static int wolf_mesh, screen_mesh;
static int lamp_meshes[LAMP_PIECES], rest_meshes[LAMP_PIECES];
// What the sofa room changes while it plays beyond its scene.
static struct SofaPlay {
    bool lamp_swinging;
} play;

// Load "sofa.3ds", light it, hang the lamp from its suspension point and stand the wolf in it.
void part11_load() {
    part_create(part, 11, capacity);
    part_load_3ds(part, SOFA_ROOM_SCENE);
    Scene &scene = part.scene;
    Mesh *meshes = part.meshes;
    Vertex *vertices = part.vertices;
    part_light_loaded_meshes(part, 0.15f);
    screen_mesh = find_mesh(scene, SCREEN_MESH);
    meshes[find_mesh(scene, MOON_MESH)].lit = 0;
    meshes[screen_mesh].lit = 0;
    if (meshes[screen_mesh].vertex_count < SCREEN_CORNERS)
        fatal_errorf("sofa: [sofa.3ds] screen has fewer than four corners (%d)", meshes[screen_mesh].vertex_count);

    // The lamp's three pieces turn about the suspension point; their rest copies stay hidden.
    for (int p = 0; p < LAMP_PIECES; p++) {
        lamp_meshes[p] = find_mesh(scene, LAMP_PIECE_MESHES[p]);
        rest_meshes[p] = find_mesh(scene, LAMP_REST_MESHES[p]);
        Mesh &lamp = meshes[lamp_meshes[p]];
        Mesh &rest = meshes[rest_meshes[p]];
        // Each frame copies the rest pose over the piece: they must match vertex for vertex.
        if (rest.vertex_count != lamp.vertex_count)
            fatal_errorf("sofa: [sofa.3ds] %s has %d vertices, its rest copy %s %d", LAMP_PIECE_MESHES[p], lamp.vertex_count,
                         LAMP_REST_MESHES[p], rest.vertex_count);
        for (int k = 0; k < 3; k++) lamp.pivot[k] = SUSPENSION[k];
        for (int f = 0; f < rest.face_count; f++) rest.faces[f].alpha = 0;
    }
    if (meshes[lamp_meshes[2]].vertex_count < 1) fatal_error("sofa: [sofa.3ds] lamp03 has no vertex for the spotlight");

    // The shade is unlit: a fixed random grey per vertex.
    Mesh &shade = meshes[lamp_meshes[1]];
    shade.lit = 0;
    for (int k = 0; k < shade.vertex_count; k++) {
        float g = (random_next() % 50) / 100.0f - 0.7f;
        Vertex &v = vertices[shade.first_vertex + k];
        v.light[0] = v.light[1] = v.light[2] = g;
    }

    if (scene.light_count < SOFA_ROOM_FILE_LIGHTS)
        fatal_errorf("sofa: [sofa.3ds] needs the lamp's spotlight and a point light (%d lights)", scene.light_count);
    for (int i = 0; i < scene.light_count; i++) part.lights[i].active = 1;
    Light &spot = part.lights[0];
    spot.glow_size = 10.0f;
    spot.flare_strength = 0.5f;
    spot.range_inner = 600;
    spot.range_outer = 1200;
    spot.spot = 1;
    spot.hotspot = 35;
    spot.falloff = 50;
    part.lights[1].range_inner = 10;
    part.lights[1].range_outer = 250;

    // The wolf, appended after the loaded meshes.
    wolf_mesh = part.mesh_count;
    Mesh &wolf = part_add_model(part, "wolfguy.mdl");
    wolf.lit = 1;
    wolf.ambient = 0.3f;
    pose_model("wolfguy.mdl", wolf, vertices, 0.0f, 135, 135, 7.0f, 1, 1);

    part_finish(part);
    scene.scene_fade = 1.0f;
    part.camera.zmax = 700.0f;
    play.lamp_swinging = false;
    part_keep_state(part, &play, sizeof play);

    log_part_counts(part);
}

Scene *part11_scene() { return &part.scene; }

// One window of the wolf's choreography: frames, speed, heading and where it stands.
static void pose_wolf(float t, int first, int last, float fps, float angle, float x, float y, float z) {
    place_model(part, wolf_mesh, {"wolfguy.mdl", first, last, fps, 4, angle, x, y, z}, t);
}

// Stands and watches, turns and walks to the lamp, runs into it and falls on its back.
// Between the windows it keeps its last pose.
static void animate_wolf(float t) {
    const float pi = 3.1415927f, heading = 2.3561945f;
    if (t < 10)
        pose_wolf(t, 135, 135, 4, pi, 0, -20, -100);
    else if (t < 12)
        pose_wolf(t, 0, 4, 4, pi - ((t - 10) / 8) * pi, 0, -20, -100 - (t - 10) * 20);
    if (t >= 12 && t < 13) pose_wolf(t, 40, 45, 4, heading, -(t - 12) * 90, -20, -140 - (t - 12) * 45);
    if (t >= 13 && t < 14) pose_wolf(t, 54, 57, 3, heading, -90, -20, -185);
    if (t >= 14.5f && t < 15.5f) pose_wolf(t, 178, 183, 3.5f, heading, -90, -20, -185);
    if (t >= 15.5f && t < 20) pose_wolf(t, 183, 183, 3.5f, heading, -90, -20, -185);
}

// The lamp swings from its rest pose about the suspension point once the wolf has hit it.
static void swing_lamp(float t) {
    if (t > 13) play.lamp_swinging = true;
    if (!play.lamp_swinging) return;
    float angle = -sinf((t - 13) * 2.2f) / 2;
    for (int p = 0; p < LAMP_PIECES; p++) {
        const Mesh &lamp = part.meshes[lamp_meshes[p]];
        const Mesh &rest = part.meshes[rest_meshes[p]];
        // Normals as well as positions: turning them again every frame would add up.
        for (int k = 0; k < rest.vertex_count; k++) {
            Vertex &v = part.vertices[lamp.first_vertex + k];
            const Vertex &r = part.vertices[rest.first_vertex + k];
            for (int c = 0; c < 3; c++) {
                v.position[c] = r.position[c];
                v.normal[c] = r.normal[c];
            }
        }
        rotate_mesh(lamp, part.vertices, 1, 0, -0.5f, angle);
    }
}

// The spotlight sits at the bulb and shines away from the suspension point.
static void aim_spotlight() {
    const Mesh &bulb = part.meshes[lamp_meshes[2]];
    const float *at = part.vertices[bulb.first_vertex].position;
    Light &spot = part.lights[0];
    for (int c = 0; c < 3; c++) {
        spot.position[c] = at[c];
        spot.spot_direction[c] = bulb.pivot[c] - at[c];
    }
}

// Static on the screen, then the picture collapses to a line, to a dot, and goes dark.
static void animate_television(float t) {
    Mesh &screen = part.meshes[screen_mesh];
    Vertex *corner = part.vertices + screen.first_vertex;
    float a = (random_next() % 100) / 100.0f;
    float b = (random_next() % 100) / 100.0f;
    static const float offset[SCREEN_CORNERS][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int k = 0; k < SCREEN_CORNERS; k++) {
        corner[k].u = a + offset[k][0];
        corner[k].v = b + offset[k][1];
    }
    // The shrink is per frame; a frame longer than the whole collapse closes the picture
    // (a negative factor would mirror it and blow it up again).
    float d = frame_delta();
    float shrink_y = fmaxf(1 - d * 5, 0.0f), shrink_x = fmaxf(1 - d * 3, 0.0f);
    for (int k = 0; k < SCREEN_CORNERS; k++) {
        float *p = corner[k].position;
        if (t >= 5 && t < 6) p[1] = shrink_y * (p[1] - SCREEN_LINE_Y) + SCREEN_LINE_Y;
        if (t >= 5.4f && t < 7) p[0] = shrink_x * (p[0] - SCREEN_COLUMN_X) + SCREEN_COLUMN_X;
    }
    if (t >= 7) screen.face_count = 0;
}

void part11_animate(float t) {
    animate_wolf(t);
    swing_lamp(t);
    aim_spotlight();
    animate_television(t);
}
