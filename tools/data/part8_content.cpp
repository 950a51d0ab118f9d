// part8_content.cpp: the water scene "water.3ds", seen from the origin along +z: mesh 0 the
// drop, a sphere of radius 100 around (0, 0, 200) without a seam (the part reshapes it and
// maps it itself), mesh 1 the backdrop, a finely divided sheet at depth 300 wide enough for
// wide screens. Pictures: the drop's bright watery reflection and the deep water behind it.
#include <cmath>

#include "kit_scene.h"

namespace {

const float DROP_RADIUS = 100, DROP_DEPTH = 200;
const float BACKDROP_DEPTH = 300;
// The backdrop waves between depths 270 and 330; at 330 and the widest fov (70 degrees) a
// 16:9 screen sees x up to about 411 and y up to about 173.
const float BACKDROP_HALF_WIDTH = 480, BACKDROP_HALF_HEIGHT = 260;
const int BACKDROP_COLUMNS = 40, BACKDROP_ROWS = 24;

// Caustic light on bright water: a web of cell edges in two sizes over teal and sky blue,
// with a pale window of light across the top. Tiles both ways (the part drifts its mapping).
Picture make_reflection() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float web = std::pow(cell_noise(u * 5, v * 5, 5, 801), 2.2f);
        float fine = std::pow(cell_noise(u * 11, v * 11, 11, 802), 3.0f);
        float swell = fractal_noise(u * 2, v * 2, 3, 0.5f, 2, 803) * 0.5f + 0.5f;
        float window = 0.5f + 0.5f * std::cos(v * 2 * PI);
        Colour c = colour_mix(colour(0.05f, 0.30f, 0.42f), colour(0.25f, 0.60f, 0.75f), swell);
        c = colour_add(c, colour_scale(colour(0.55f, 0.85f, 0.95f), web * 0.9f + fine * 0.5f));
        return colour_add(c, colour_scale(colour(0.35f, 0.40f, 0.45f), window * window * swell));
    });
}

// Deep water: dark blue-green fading downwards (v = 0 at the top), soft shafts of light
// slanting in from above, drifting motes and faint kelp shadows at the bottom.
Picture make_deep_water() {
    return picture_painted(512, 512, [](int x, int y, float u, float v) {
        Colour c = colour_mix(colour(0.10f, 0.34f, 0.45f), colour(0.01f, 0.06f, 0.12f), std::pow(v, 0.8f));
        float shaft = fractal_noise((u + v * 0.35f) * 6, 0.5f, 3, 0.5f, 0, 811) * 0.5f + 0.5f;
        shaft = smooth_step(0.55f, 0.85f, shaft) * (1 - v);
        c = colour_add(c, colour_scale(colour(0.25f, 0.45f, 0.50f), shaft * 0.6f));
        float ripple = fractal_noise(u * 8, v * 8, 4, 0.5f, 0, 812) * 0.5f + 0.5f;
        c = colour_scale(c, 0.85f + 0.3f * ripple);
        float kelp = smooth_step(0.55f, 0.75f, fractal_noise(u * 14, v * 1.5f, 3, 0.5f, 0, 813) * 0.5f + 0.5f);
        c = colour_mix(c, colour(0.01f, 0.05f, 0.05f), kelp * smooth_step(0.55f, 1.0f, v) * 0.8f);
        if (hash_unit(x, y, 814) > 0.9985f) c = colour_add(c, colour(0.25f, 0.35f, 0.35f));
        return c;
    });
}

// The backdrop: a grid facing the camera at depth 300, its picture once across it (each
// vertex placed from where it maps).
MeshData make_backdrop() {
    MeshData mesh = mesh_panel_grid({0, 0, 0}, UNIT_X, UNIT_Y, BACKDROP_COLUMNS, BACKDROP_ROWS);
    for (MeshVertex &v : mesh.vertices)
        v.x = (v.u * 2 - 1) * BACKDROP_HALF_WIDTH, v.y = (v.v * 2 - 1) * BACKDROP_HALF_HEIGHT, v.z = BACKDROP_DEPTH;
    mesh_flip(mesh);  // towards the camera at the origin
    return mesh;
}

}  // namespace

// Write "water.3ds" and its pictures. The meshes are turned into the file's frame; the
// frame-0 key of each node turns them back.
void generate_part8(ContentSink &sink) {
    Scene3ds scene;
    add_scene_pictures(sink, scene, {{"water_reflect.bmp", make_reflection, "reflect"},
                                     {"water_deep.bmp", make_deep_water, "deep"}});
    MeshData drop = mesh_seamless_ball({0, 0, DROP_DEPTH}, DROP_RADIUS, 32, 20, LONGITUDE_FROM_X);
    for (MeshVertex &v : drop.vertices) v.u = v.v = 0.5f;  // the part maps it itself
    add_show_mesh(scene, drop, "drop", "reflect");
    add_show_mesh(scene, make_backdrop(), "backdrop", "deep");
    write_scene(sink, scene, WATER_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 8, generate_part8);
