// part8_content.cpp: the water scene "water.3ds", seen from the origin along +z: mesh 0 the
// drop, a sphere of radius 100 around (0, 0, 200) without a seam (the part reshapes it and
// maps it itself), mesh 1 the backdrop, a finely divided sheet at depth 300 wide enough for
// wide screens. Pictures: the drop's bright watery reflection and the deep water behind it.
#include <algorithm>
#include <cmath>

#include "content.h"
#include "writers/mesh_3ds.h"
#include "writers/picture.h"

namespace {

const float PI = 3.14159265f;
const float DROP_RADIUS = 100, DROP_DEPTH = 200;
const float BACKDROP_DEPTH = 300;
// The backdrop waves between depths 270 and 330; at 330 and the widest fov (70 degrees) a
// 16:9 screen sees x up to about 411 and y up to about 173.
const float BACKDROP_HALF_WIDTH = 480, BACKDROP_HALF_HEIGHT = 260;
const int BACKDROP_COLUMNS = 40, BACKDROP_ROWS = 24;

// Caustic light on bright water: a web of cell edges in two sizes over teal and sky blue,
// with a pale window of light across the top. Tiles both ways (the part drifts its mapping).
Picture make_reflection() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;
            float web = std::pow(cell_noise(u * 5, v * 5, 5, 801), 2.2f);
            float fine = std::pow(cell_noise(u * 11, v * 11, 11, 802), 3.0f);
            float swell = fractal_noise(u * 2, v * 2, 3, 0.5f, 2, 803) * 0.5f + 0.5f;
            float window = 0.5f + 0.5f * std::cos(v * 2 * PI);
            Colour c = colour_mix(colour(0.05f, 0.30f, 0.42f), colour(0.25f, 0.60f, 0.75f), swell);
            c = colour_add(c, colour_scale(colour(0.55f, 0.85f, 0.95f), web * 0.9f + fine * 0.5f));
            c = colour_add(c, colour_scale(colour(0.35f, 0.40f, 0.45f), window * window * swell));
            picture_set(p, x, y, c);
        }
    return p;
}

// Deep water: dark blue-green fading downwards, soft shafts of light slanting in from above,
// drifting motes and faint kelp shadows at the bottom.
Picture make_deep_water() {
    const int size = 512;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;  // v = 0 at the top
            Colour c = colour_mix(colour(0.10f, 0.34f, 0.45f), colour(0.01f, 0.06f, 0.12f), std::pow(v, 0.8f));
            float shaft = fractal_noise((u + v * 0.35f) * 6, 0.5f, 3, 0.5f, 0, 811) * 0.5f + 0.5f;
            shaft = smooth_step(0.55f, 0.85f, shaft) * (1 - v);
            c = colour_add(c, colour_scale(colour(0.25f, 0.45f, 0.50f), shaft * 0.6f));
            float ripple = fractal_noise(u * 8, v * 8, 4, 0.5f, 0, 812) * 0.5f + 0.5f;
            c = colour_scale(c, 0.85f + 0.3f * ripple);
            float kelp = smooth_step(0.55f, 0.75f, fractal_noise(u * 14, v * 1.5f, 3, 0.5f, 0, 813) * 0.5f + 0.5f);
            c = colour_mix(c, colour(0.01f, 0.05f, 0.05f), kelp * smooth_step(0.55f, 1.0f, v) * 0.8f);
            if (hash_unit(x, y, 814) > 0.9985f) c = colour_add(c, colour(0.25f, 0.35f, 0.35f));
            picture_set(p, x, y, c);
        }
    return p;
}

// A point in the view's frame (y up, z away from the camera) as a file vertex (z up); the
// frame-0 key of its node turns it back.
MeshVertex file_vertex(float x, float y, float z, float u, float v) {
    MeshVertex out;
    out.x = x, out.y = -z, out.z = y;
    out.u = u, out.v = v;
    return out;
}

// A sphere without a seam: one vertex at each pole and `segments` per ring between them.
MeshData make_drop(int segments, int rings) {
    MeshData mesh;
    mesh.vertices.push_back(file_vertex(0, DROP_RADIUS, DROP_DEPTH, 0.5f, 0.5f));
    for (int r = 1; r < rings; r++) {
        float lat = PI / 2 - PI * r / rings;
        for (int s = 0; s < segments; s++) {
            float lon = 2 * PI * s / segments;
            float x = DROP_RADIUS * std::cos(lat) * std::cos(lon), z = DROP_RADIUS * std::cos(lat) * std::sin(lon);
            mesh.vertices.push_back(file_vertex(x, DROP_RADIUS * std::sin(lat), z + DROP_DEPTH, 0.5f, 0.5f));
        }
    }
    int south = int(mesh.vertices.size());
    mesh.vertices.push_back(file_vertex(0, -DROP_RADIUS, DROP_DEPTH, 0.5f, 0.5f));
    auto ring = [&](int r, int s) { return 1 + (r - 1) * segments + (s % segments); };
    for (int s = 0; s < segments; s++) mesh.triangles.push_back({0, ring(1, s + 1), ring(1, s)});
    for (int r = 1; r < rings - 1; r++)
        for (int s = 0; s < segments; s++) {
            mesh.triangles.push_back({ring(r, s), ring(r, s + 1), ring(r + 1, s + 1)});
            mesh.triangles.push_back({ring(r, s), ring(r + 1, s + 1), ring(r + 1, s)});
        }
    for (int s = 0; s < segments; s++) mesh.triangles.push_back({south, ring(rings - 1, s), ring(rings - 1, s + 1)});
    return mesh;
}

// The backdrop: a grid facing the camera at depth 300, its picture once across it.
MeshData make_backdrop() {
    MeshData mesh;
    for (int r = 0; r <= BACKDROP_ROWS; r++)
        for (int c = 0; c <= BACKDROP_COLUMNS; c++) {
            float s = float(c) / BACKDROP_COLUMNS, t = float(r) / BACKDROP_ROWS;
            mesh.vertices.push_back(file_vertex((s * 2 - 1) * BACKDROP_HALF_WIDTH, (t * 2 - 1) * BACKDROP_HALF_HEIGHT,
                                                BACKDROP_DEPTH, s, t));
        }
    for (int r = 0; r < BACKDROP_ROWS; r++)
        for (int c = 0; c < BACKDROP_COLUMNS; c++) {
            int a = r * (BACKDROP_COLUMNS + 1) + c, b = a + 1, d = a + BACKDROP_COLUMNS + 1, e = d + 1;
            mesh.triangles.push_back({a, e, b});
            mesh.triangles.push_back({a, d, e});
        }
    return mesh;
}

}  // namespace

// Write "water.3ds" and its pictures.
void generate_part8(ContentSink &sink) {
    sink.add("water_reflect.bmp", bmp_encode_24(make_reflection()));
    sink.add("water_deep.bmp", bmp_encode_24(make_deep_water()));

    Scene3ds scene;
    Material3ds reflect;
    reflect.name = "reflect";
    reflect.texture = "water_reflect.bmp";
    scene.materials.push_back(reflect);
    Material3ds deep;
    deep.name = "deep";
    deep.texture = "water_deep.bmp";
    scene.materials.push_back(deep);

    scene.meshes.push_back(mesh_to_3ds(make_drop(32, 20), "drop", "reflect"));
    scene.meshes.push_back(mesh_to_3ds(make_backdrop(), "backdrop", "deep"));
    scene.start_frame = 0;
    scene.end_frame = 300;
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    sink.add("water.3ds", encode_3ds(scene));
}

KELP_CONTENT(CONTENT_ORDER_PART + 8, generate_part8);
