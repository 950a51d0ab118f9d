// part1_content.cpp: the intro's world "thc.3ds": a clearing at night with a ring of
// standing stones and dead trees around the spot where the wolf stands, four misty
// backdrop panels "thc01".."thc04", light 0 in front of the wolf and a slow camera push;
// plus "smoke.bmp", the puff the intro's smoke is drawn with.
#include <cmath>
#include <cstdio>

#include "kit_scene.h"

namespace {

// Where the wolf stands (file frame, z up) and the ground under its feet.
const float WOLF_X = 0, WOLF_Y = -84, GROUND_Z = -55;  // the intro stands the wolf's feet at -55

// Misty night sky for the backdrop panels: tiles both ways, since the intro slides and
// scales its mapping with the camera.
Picture make_mist() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {
        float cloud = fractal_noise(u * 4, v * 4, 6, 0.55f, 4, 101) * 0.5f + 0.5f;
        float wisps = fractal_noise(u * 8 + cloud, v * 2, 4, 0.5f, 8, 102) * 0.5f + 0.5f;
        Colour deep = colour(0.03f, 0.05f, 0.13f), haze = colour(0.22f, 0.28f, 0.45f);
        Colour c = colour_mix(deep, haze, std::pow(cloud, 1.6f));
        c = colour_add(c, colour_scale(colour(0.25f, 0.22f, 0.35f), std::pow(wisps, 4.0f) * 0.6f));
        float star = hash_unit(x, y, 103);
        if (star > 0.9975f) c = colour_add(c, colour_scale(colour(0.9f, 0.9f, 1.0f), (star - 0.9975f) * 400 * (1 - cloud)));
        return c;
    });
}

// Damp earth with moss and scattered needles.
Picture make_ground() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {
        float soil = fractal_noise(u * 6, v * 6, 6, 0.55f, 6, 201) * 0.5f + 0.5f;
        float moss = smooth_step(0.45f, 0.7f, fractal_noise(u * 3, v * 3, 5, 0.5f, 3, 202) * 0.5f + 0.5f);
        float grit = hash_unit(x, y, 203);
        Colour earth = colour_mix(colour(0.16f, 0.12f, 0.09f), colour(0.30f, 0.24f, 0.17f), soil);
        Colour green = colour_mix(colour(0.10f, 0.20f, 0.08f), colour(0.22f, 0.34f, 0.12f), soil);
        return colour_scale(colour_mix(earth, green, moss), 0.85f + grit * 0.3f);
    });
}

// Grey-green standing stone with lichen.
Picture make_stone() {
    return picture_repainted(picture_stone(256, colour(0.55f, 0.55f, 0.52f), 301), [](int, int, float u, float v, Colour c) {
        float lichen = smooth_step(0.55f, 0.8f, fractal_noise(u * 5, v * 5, 5, 0.5f, 5, 302) * 0.5f + 0.5f);
        return colour_mix(c, colour(0.45f, 0.52f, 0.25f), lichen * 0.7f);
    });
}

// Dead bark: dark grey-brown with vertical furrows.
Picture make_bark() {
    return picture_painted(128, 128, [](int, int, float u, float v) {
        float furrow = fractal_noise(u * 16, v * 2, 4, 0.5f, 16, 401) * 0.5f + 0.5f;
        float ridge = std::pow(std::fabs(std::sin((u * 12 + furrow * 0.6f) * PI)), 0.5f);
        return colour_mix(colour(0.08f, 0.07f, 0.06f), colour(0.38f, 0.34f, 0.30f), ridge * 0.8f + furrow * 0.2f);
    });
}

// A soft puff of smoke on black, brighter in a few lumps, fading out before the border.
Picture make_smoke() {
    const int size = 128;
    return picture_painted(size, size, [](int x, int y, float u, float v) {
        float dx = x + 0.5f - size / 2.0f, dy = y + 0.5f - size / 2.0f;
        float body = radial_falloff(dx, dy, size * 0.48f);
        float lumps = fractal_noise(u * 4, v * 4, 5, 0.55f, 4, 501) * 0.5f + 0.5f;
        float k = body * (0.35f + 0.9f * lumps * lumps);
        return colour(k * 0.85f, k * 0.88f, k * 0.95f);
    });
}

// A standing stone: a tapered, leaning slab roughened by noise.
MeshData make_standing_stone(float height, float width, float lean, uint32_t seed) {
    MeshData stone = mesh_box(width, width * 0.55f, height);
    // Subdivide once by rebuilding as a lathe-free displaced box: taper towards the top.
    for (MeshVertex &v : stone.vertices) {
        float up = (v.z + height / 2) / height;  // 0 at the foot, 1 at the top
        float taper = 1.0f - 0.35f * up;
        v.x *= taper, v.y *= taper;
        v.x += lean * up * height * 0.15f;
        float bump = fractal_noise(v.x * 0.15f + seed, v.z * 0.15f, 3, 0.5f, 0, seed) * width * 0.12f;
        v.x += bump, v.y += bump * 0.5f, v.z += height / 2;
    }
    mesh_map_box(stone, 1.0f / 24);
    return stone;
}

// A dead tree: a tapered trunk and a few crooked branches, each a thin lathed cone.
MeshData make_dead_tree(float height, uint32_t seed) {
    // In radians: each branch leans out from the trunk by the tilt and up to the tilt's
    // spread more, and turns round it by the turn from the last and up to the spread more.
    const float branch_tilt = 0.7f, tilt_spread = 0.35f, branch_turn = 2.4f, turn_spread = 1.2f;
    MeshData tree;
    std::vector<Point2> trunk_profile = {{10.0f, 0}, {7.0f, height * 0.12f}, {5.5f, height * 0.5f}, {3.0f, height * 0.8f}, {0.6f, height}};
    MeshData trunk = mesh_lathe(trunk_profile, 9);
    mesh_map_cylindrical(trunk, 2, 1.0f / 40);
    mesh_append(tree, trunk);
    for (int b = 0; b < 5; b++) {
        float base = height * (0.45f + 0.1f * b);
        float length = height * (0.45f - 0.06f * b);
        std::vector<Point2> profile = {{3.4f - 0.4f * b, 0}, {1.8f, length * 0.6f}, {0.3f, length}};
        MeshData branch = mesh_lathe(profile, 6);
        mesh_map_cylindrical(branch, 1, 1.0f / 30);
        mesh_rotate_x(branch, branch_tilt + tilt_spread * hash_unit(b, 1, seed));
        mesh_rotate_z(branch, b * branch_turn + hash_unit(b, 2, seed) * turn_spread);
        mesh_append(tree, mesh_moved(branch, {0, 0, base}));
    }
    return tree;
}

// A backdrop panel: a grid between two corners at the bottom, `height` tall, with five
// columns of vertices along its length so the intro can darken its near end smoothly.
MeshData make_backdrop_panel(float x0, float y0, float x1, float y1, float height) {
    MeshData panel = mesh_grid(1, 1, 4, 2);
    for (MeshVertex &v : panel.vertices) {
        float s = v.x + 0.5f, up = v.y + 0.5f;  // grid spans -0.5..0.5
        v.x = x0 + (x1 - x0) * s, v.y = y0 + (y1 - y0) * s, v.z = GROUND_Z - 10 + height * up;
    }
    // Seen from either side: the panels curve round the clearing.
    MeshData back = panel;
    mesh_flip(back);
    mesh_append(panel, back);
    return panel;
}

// The backdrop: four panels side by side in a wide U behind the wolf, facing the camera;
// the outer ends come round past the camera, where the intro darkens them.
void add_backdrop(Scene3ds &scene) {
    // Corners are given as (x, depth) with depth = -y of the file.
    const float corners[5][2] = {{-150, -20}, {-80, 95}, {0, 118}, {80, 95}, {150, -20}};
    for (int i = 0; i < 4; i++)
        add_mesh(scene, make_backdrop_panel(corners[i][0], -corners[i][1], corners[i + 1][0], -corners[i + 1][1], 235),
                 INTRO_PANELS[i], "mist");
}

// Ground: a gently rolling clearing, flat where the wolf stands.
MeshData make_clearing() {
    MeshData ground = mesh_grid(320, 320, 32, 32);
    for (MeshVertex &v : ground.vertices) {
        float d = std::sqrt(v.x * v.x + v.y * v.y);
        v.z = GROUND_Z + smooth_step(30, 110, d) * (fractal_noise(v.x * 0.02f, v.y * 0.02f, 3, 0.5f, 0, 11) * 6 + 2);
        v.x += WOLF_X, v.y += WOLF_Y;
        v.u = v.x / 48, v.v = v.y / 48;
    }
    return ground;
}

// A ring of standing stones around the wolf, open towards the camera.
void add_stone_ring(Scene3ds &scene) {
    for (int i = 0; i < 7; i++) {
        float angle = degrees(-25 + i * 38);  // the far side of the wolf, seen from the camera
        float radius = 40 + 8 * hash_unit(i, 3, 7);
        float height = 42 + 28 * hash_unit(i, 4, 7);
        MeshData stone = make_standing_stone(height, 22 + 8 * hash_unit(i, 5, 7), hash_unit(i, 6, 7) - 0.5f, 40 + i);
        mesh_rotate_z(stone, angle + PI / 2);
        mesh_translate(stone, WOLF_X + std::cos(angle) * radius, WOLF_Y - std::sin(angle) * radius, GROUND_Z - 2);
        char name[16];
        snprintf(name, sizeof name, "stone%02d", i + 1);
        add_mesh(scene, stone, name, "stone");
    }
}

// Two dead trees inside the backdrop, flanking the ring; the second turned to show other branches.
void add_dead_trees(Scene3ds &scene) {
    const float second_turn = 1.3f;  // radians, about 75 degrees
    add_mesh(scene, mesh_moved(make_dead_tree(150, 21), {WOLF_X + 58, WOLF_Y + 12, GROUND_Z - 2}), "tree01", "bark");
    MeshData tree2 = make_dead_tree(125, 22);
    mesh_rotate_z(tree2, second_turn);
    mesh_translate(tree2, WOLF_X - 55, WOLF_Y + 6, GROUND_Z - 2);
    add_mesh(scene, tree2, "tree02", "bark");
}

// The camera starts wide, a little to the wolf's left, and slowly closes in, looking at the
// wolf. The view stays nearly level: the renderer's pitch doubles the angle of the direction.
std::vector<Shot> camera_shots() {
    const float seconds[4] = {0, 10, 20, 28};
    const Vec3 eyes[4] = {{-45, 60, GROUND_Z + 74}, {-37, 48, GROUND_Z + 76}, {-28, 36, GROUND_Z + 78}, {-20, 25, GROUND_Z + 80}};
    std::vector<Shot> shots;
    for (int k = 0; k < 4; k++)
        shots.push_back({seconds[k], to_show(eyes[k]), to_show({WOLF_X, WOLF_Y, GROUND_Z + 73 + k * 2})});
    return shots;
}

}  // namespace

// Write "thc.3ds" and its pictures, and "smoke.bmp".
void generate_part1(ContentSink &sink) {
    Scene3ds scene;
    add_scene_pictures(sink, scene, {{"thc_mist.bmp", make_mist, "mist"}, {"thc_ground.bmp", make_ground, "ground"},
                                     {"thc_stone.bmp", make_stone, "stone"}, {"thc_bark.bmp", make_bark, "bark"},
                                     {"smoke.bmp", make_smoke}});
    add_backdrop(scene);
    add_mesh(scene, make_clearing(), "ground", "ground");
    add_stone_ring(scene);
    add_dead_trees(scene);
    // Light 0: in front of the wolf and above it, between him and the camera.
    scene.lights.push_back(point_light("light01", {WOLF_X - 35, WOLF_Y + 40, GROUND_Z + 125}));
    add_shot_camera(scene, "camera01", camera_shots(), AIM_AT_LOOK, 80, 80);
    write_scene(sink, scene, INTRO_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 1, generate_part1);
