// part5_content.cpp: the oil room "oilroom.3ds": a square pool of oil under a stone vault
// that rests on a colonnade and opens at its top into a tall shaft, where five loose blocks
// hang on chains above the oil; a walkway runs round the pool inside a low hall, entered
// by a passage. The shaft is the unlit "tunnel01", its picture lit from the room below, so
// the flares that end the part rise against it into the dark. Light 0 sits under the oil.
// Plus "oil.bmp", what the rippling oil reflects, and the room's stone pictures.
//
// Everything is built in the show's frame (y up) and turned into the file's frame (z up)
// on the way out: file (x, y, z) = (x, -z, y).
#include <cmath>

#include "kit_scene.h"

namespace {

// The layout, in the show's frame.
const float POOL = 150;        // the oil spans x and z from -POOL to POOL at y = 0
const float RIM = 166;         // outer edge of the pool's coping
const float HALL = 330;        // outer walls of the hall
const float FLOOR_Y = 2;       // the walkway
const float SPRING_Y = 120;    // the vault rests on the colonnade here
const float OPENING_Y = 206.7f;  // the vault stops here: half-width 75
const float SHAFT = 75;        // half-width of the shaft above the opening
const float SHAFT_TOP = 600;
const float FRAGMENT_Y = 354;  // the loose blocks hang centred at this height
const float TUNNEL_X0 = 27, TUNNEL_X1 = 87, TUNNEL_TOP = 84, TUNNEL_END = 470;

// A surface patch from a function of (s, t) in 0..1, nu x nv cells, facing `towards`
// (a direction, or, when `towards_point`, the point it faces). `skip` leaves out cells.
template <typename Surface>
void add_patch(MeshData &mesh, int nu, int nv, Surface surface, Vec3 towards, bool towards_point,
               float texel, bool (*skip)(Vec3 centre) = nullptr) {
    int first = int(mesh.vertices.size());
    std::vector<Vec3> points;
    for (int j = 0; j <= nv; j++)
        for (int i = 0; i <= nu; i++) points.push_back(surface(float(i) / nu, float(j) / nv));
    auto at = [&](int i, int j) { return points[size_t(j * (nu + 1) + i)]; };
    // Texture coordinates from the distances along the patch, so texels stay even.
    for (int j = 0; j <= nv; j++)
        for (int i = 0; i <= nu; i++) {
            float u = 0, v = 0;
            for (int k = 1; k <= i; k++) u += length(at(k, j) - at(k - 1, j));
            for (int k = 1; k <= j; k++) v += length(at(i, k) - at(i, k - 1));
            mesh_add_vertex(mesh, at(i, j), u * texel, v * texel);
        }
    for (int j = 0; j < nv; j++)
        for (int i = 0; i < nu; i++) {
            int a = first + j * (nu + 1) + i, b = a + 1, c = a + nu + 2, d = a + nu + 1;
            Vec3 centre = (points[size_t(a - first)] + points[size_t(c - first)]) * 0.5f;
            if (skip && skip(centre)) continue;
            Vec3 dir = towards_point ? towards - centre : towards;
            mesh_add_facing(mesh, a, b, c, dir);
            mesh_add_facing(mesh, a, c, d, dir);
        }
}

// A flat quad patch with corners o, o + du, o + du + dv, o + dv.
void add_flat(MeshData &mesh, Vec3 o, Vec3 du, Vec3 dv, int nu, int nv, Vec3 towards, float texel,
              bool (*skip)(Vec3) = nullptr) {
    add_patch(mesh, nu, nv, [&](float s, float t) { return o + du * s + dv * t; }, towards, false, texel, skip);
}

// A box in the show's frame, from corner lo to corner hi, faces outward.
void add_box(MeshData &mesh, Vec3 lo, Vec3 hi, float texel) {
    Vec3 size = hi - lo, centre = (lo + hi) * 0.5f;
    MeshData box = mesh_box(size.x, size.z, size.y);  // built z up: its y is our z
    for (MeshVertex &v : box.vertices) {
        float y = v.z, z = v.y;
        v.x += centre.x, v.y = y + centre.y, v.z = z + centre.z;
    }
    // mesh_box winds for the z-up frame; swapping y and z mirrors it, so wind back.
    mesh_flip(box);
    mesh_map_box(box, texel);
    mesh_append(mesh, box);
}

// A square ring of four boxes between half-widths `in` and `out`, from height lo to hi.
void add_box_ring(MeshData &mesh, float in, float out, float lo, float hi, float texel) {
    add_box(mesh, {-out, lo, -out}, {out, hi, -in}, texel);
    add_box(mesh, {-out, lo, in}, {out, hi, out}, texel);
    add_box(mesh, {-out, lo, -in}, {-in, hi, in}, texel);
    add_box(mesh, {in, lo, -in}, {out, hi, in}, texel);
}

// Half-width of the vault at height y: the surface the climbing dust follows.
float vault_half_width(float y) { return POOL * std::cos((y - SPRING_Y) * PI / 260); }

// ---- pictures ----

// The oil: what its surface reflects, by the tilt of its normal. Still oil shows the dark
// centre; a ripple's slopes catch a warm glint on one side and a teal one on the other, and
// a faint rainbow sheen in rings between.
Picture make_oil() {
    const int size = 256;
    return picture_painted(size, size, [](int x, int y, float, float) {
        float dx = (x + 0.5f) / size - 0.5f, dy = (y + 0.5f) / size - 0.5f;  // pixel centres
        float r = std::sqrt(dx * dx + dy * dy);
        float swirl = fractal_noise(dx * 12 + std::sin(dy * 18) * 0.3f, dy * 12, 4, 0.55f, 0, 5501);
        auto glint = [&](float angle, float width) {
            float gx = dx - 0.05f * std::cos(angle), gy = dy - 0.05f * std::sin(angle);
            float d2 = (gx * gx + gy * gy) / (width * width);
            return (std::exp(-d2) + 0.3f * std::exp(-d2 / 6)) * smooth_step(0.004f, 0.02f, r);
        };
        float sheen = smooth_step(0.004f, 0.014f, r) * std::pow(0.5f + 0.5f * std::cos((r - 0.018f) * 260), 2);
        Colour c = colour(0.07f, 0.05f, 0.045f);  // still oil: brown-black
        c = colour_add(c, colour_scale(colour_hsv(r * 7 + swirl * 0.25f, 0.45f, 1), sheen * 0.3f));
        c = colour_add(c, colour_scale(colour(1.0f, 0.66f, 0.36f), glint(-0.7f + swirl * 0.3f, 0.032f)));
        c = colour_add(c, colour_scale(colour(0.25f, 0.6f, 0.65f), 0.6f * glint(2.4f + swirl * 0.3f, 0.035f)));
        // Steep slopes reflect the warm stone round the pool.
        return colour_add(c, colour_scale(colour(0.34f, 0.2f, 0.13f), smooth_step(0.07f, 0.16f, r)));
    });
}

// Reddish sandstone blocks for the hall's walls.
Picture make_wall() {
    Picture p = picture_bricks(256, 4, 8, colour(0.68f, 0.40f, 0.29f), colour(0.24f, 0.15f, 0.12f), 5511);
    picture_repaint(p, [](int, int, float u, float v, Colour c) {
        float soot = smooth_step(0.2f, 0.8f, fractal_noise(u * 3, v * 3, 4, 0.5f, 3, 5512) * 0.5f + 0.5f);
        return colour_scale(c, 1 - 0.45f * soot);
    });
    return p;
}

// Worn floor flags, dark with oil stains.
Picture make_floor() {
    Picture p = picture_bricks(256, 2, 2, colour(0.54f, 0.38f, 0.30f), colour(0.14f, 0.10f, 0.08f), 5521);
    picture_repaint(p, [](int, int, float u, float v, Colour c) {
        float stain = smooth_step(0.45f, 0.75f, fractal_noise(u * 4, v * 4, 5, 0.5f, 4, 5522) * 0.5f + 0.5f);
        return colour_mix(c, colour(0.05f, 0.04f, 0.04f), stain * 0.7f);
    });
    return p;
}

// Rough red-grey stone for the vault, the colonnade and the chains; pale worked stone for
// the loose blocks.
Picture make_stone() { return picture_stone(256, colour(0.66f, 0.46f, 0.38f), 5531); }
Picture make_block() { return picture_stone(128, colour(0.85f, 0.74f, 0.62f), 5561); }

// The passage: its stone fading to black along its length (texture v, which runs up the
// picture, from the mouth inwards).
Picture make_passage() {
    Picture p = picture_bricks(256, 4, 8, colour(0.62f, 0.40f, 0.32f), colour(0.16f, 0.10f, 0.08f), 5541);
    picture_repaint(p, [&](int, int y, float, float, Colour c) {
        return colour_scale(c, std::pow((y + 0.5f) / p.height, 1.6f) + 0.02f);
    });
    return p;
}

// The shaft, drawn unlit: stone courses streaked by seepage, lit from the room below: warm
// at the opening (texture v 0, the picture's foot), cooling and fading to black well below
// its top.
Picture make_shaft() {
    Picture blocks = picture_bricks(256, 3, 8, colour(0.64f, 0.6f, 0.6f), colour(0.34f, 0.3f, 0.3f), 5571);
    return picture_painted(256, 512, [&](int x, int y, float u, float row) {
        float v = 1 - row, streaks = fractal_noise(u * 6, row * 2, 4, 0.55f, 6, 5572);
        Colour tint = colour_mix(colour(1.0f, 0.8f, 0.62f), colour(0.62f, 0.74f, 0.95f), smooth_step(0, 0.5f, v));
        float light = std::exp(-2.4f * v) * (1 - smooth_step(0.45f, 0.9f, v)) * (0.8f + 0.35f * streaks);
        return colour_scale(colour_multiply(picture_get(blocks, x, y % 256), tint), light);
    });
}

// ---- geometry ----

// The walkway round the pool (facing up) or the low ceiling over it (facing down): 12 cells
// of 55 each way, the middle six square (the pool and its coping) left out.
MeshData make_hall_plane(float y, float facing) {
    MeshData m;
    auto inside_rim = [](Vec3 c) { return std::fabs(c.x) < RIM && std::fabs(c.z) < RIM; };
    add_flat(m, {-HALL, y, -HALL}, {2 * HALL, 0, 0}, {0, 0, 2 * HALL}, 12, 12, {0, facing, 0}, 1.0f / 110, inside_rim);
    return m;
}

// The hall's four walls; the one at +z has the tunnel's mouth.
MeshData make_walls() {
    MeshData m;
    float h = SPRING_Y - FLOOR_Y;
    add_flat(m, {-HALL, FLOOR_Y, -HALL}, {2 * HALL, 0, 0}, {0, h, 0}, 12, 3, {0, 0, 1}, 1.0f / 120);
    add_flat(m, {-HALL, FLOOR_Y, -HALL}, {0, 0, 2 * HALL}, {0, h, 0}, 12, 3, {1, 0, 0}, 1.0f / 120);
    add_flat(m, {HALL, FLOOR_Y, -HALL}, {0, 0, 2 * HALL}, {0, h, 0}, 12, 3, {-1, 0, 0}, 1.0f / 120);
    // The +z wall in columns that meet the tunnel's sides; over the mouth only above it.
    const float xs[] = {-HALL, -220, -110, 0, TUNNEL_X0, TUNNEL_X1, 200, HALL};
    for (int k = 0; k + 1 < 8; k++) {
        bool mouth = k == 4;
        float bottom = mouth ? TUNNEL_TOP : FLOOR_Y;
        add_flat(m, {xs[k], bottom, HALL}, {xs[k + 1] - xs[k], 0, 0}, {0, SPRING_Y - bottom, 0},
                 k == 3 || mouth ? 1 : 2, mouth ? 1 : 3, {0, 0, -1}, 1.0f / 120);
    }
    return m;
}

// A rectangular tube seen from inside, open at `corner` (spanned by a and b), running along
// `along` and closed at its end. On its sides v runs along it (0 at the opening, 1 at the
// end) and u 0..1 across; the end maps to v 0.999.
MeshData make_tube(Vec3 corner, Vec3 a, Vec3 b, Vec3 along, int cells) {
    MeshData m;
    add_flat(m, corner, b, along, 2, cells, a, 1);
    add_flat(m, corner + a, b, along, 2, cells, a * -1, 1);
    add_flat(m, corner, a, along, 2, cells, b, 1);
    add_flat(m, corner + b, a, along, 2, cells, b * -1, 1);
    for (size_t i = 0; i < m.vertices.size(); i++) {
        MeshVertex &v = m.vertices[i];
        v.u = (i % 3) * 0.5f, v.v = dot(vertex_position(v) - corner, along) / dot(along, along);
    }
    size_t end = m.vertices.size();
    add_flat(m, corner + along, a, b, 1, 1, along * -1, 1);
    for (size_t i = end; i < m.vertices.size(); i++) m.vertices[i].v = 0.999f;
    return m;
}

// The passage the messiah comes out of, running back from its mouth in the hall's wall.
MeshData make_passage_mesh() {
    return make_tube({TUNNEL_X0, FLOOR_Y, HALL}, {TUNNEL_X1 - TUNNEL_X0, 0, 0}, {0, TUNNEL_TOP - FLOOR_Y, 0},
                     {0, 0, TUNNEL_END - HALL}, 4);
}

// The shaft above the vault's opening, closed at its top.
MeshData make_shaft_mesh() {
    return make_tube({-SHAFT, OPENING_Y, -SHAFT}, {2 * SHAFT, 0, 0}, {0, 0, 2 * SHAFT},
                     {0, SHAFT_TOP - OPENING_Y, 0}, 5);
}

// The pool: its basin under the oil and the coping round it.
MeshData make_pool() {
    MeshData m;
    // Basin walls and floor, seen from inside, a little below the oil.
    const float deep = -40;
    const Vec3 across_x = {2 * POOL, 0, 0}, across_z = {0, 0, 2 * POOL}, up = {0, 8 - deep, 0};
    add_flat(m, {-POOL, deep, -POOL}, across_x, across_z, 1, 1, UNIT_Y, 1.0f / 150);
    add_flat(m, {-POOL, deep, -POOL}, across_x, up, 4, 1, UNIT_Z, 1.0f / 150);
    add_flat(m, {-POOL, deep, POOL}, across_x, up, 4, 1, UNIT_Z * -1, 1.0f / 150);
    add_flat(m, {-POOL, deep, -POOL}, across_z, up, 4, 1, UNIT_X, 1.0f / 150);
    add_flat(m, {POOL, deep, -POOL}, across_z, up, 4, 1, UNIT_X * -1, 1.0f / 150);
    // The coping: four slabs just above the walkway.
    add_box_ring(m, POOL, RIM, FLOOR_Y - 4, 8, 1.0f / 80);
    return m;
}

// Eight square columns round the pool and the beam ring they carry under the vault.
MeshData make_colonnade() {
    MeshData m;
    const float c = 158, r = 9, top = SPRING_Y - 8;
    const float spots[8][2] = {{-c, -c}, {c, -c}, {-c, c}, {c, c}, {0, -c}, {0, c}, {-c, 0}, {c, 0}};
    for (const auto &s : spots) add_box(m, {s[0] - r, FLOOR_Y, s[1] - r}, {s[0] + r, top, s[1] + r}, 1.0f / 60);
    add_box_ring(m, POOL - 4, RIM + 6, SPRING_Y - 10, SPRING_Y + 4, 1.0f / 60);
    return m;
}

// The vault: four curved sides closing in from the colonnade to the opening, seen from below.
MeshData make_vault() {
    MeshData m;
    for (int side = 0; side < 4; side++) {
        auto surface = [side](float s, float t) {
            float y = SPRING_Y + (OPENING_Y - SPRING_Y) * t;
            float w = vault_half_width(y), a = (2 * s - 1) * w;
            float edge = side % 2 ? -w : w;  // sides at +x, -x, +z, -z
            return side < 2 ? Vec3{edge, y, a} : Vec3{a, y, edge};
        };
        add_patch(m, 8, 5, surface, Vec3{0, 0, 0}, true, 1.0f / 100);
    }
    return m;
}

// Where the blocks hang: above the grid vertices their splashes start from.
struct Hang {
    const char *name;
    int row, column;
    float size;
};
const Hang hangs[5] = {{OIL_FRAGMENTS[0], 8, 11, 15}, {OIL_FRAGMENTS[1], 7, 13, 16}, {OIL_FRAGMENTS[2], 11, 10, 13},
                       {OIL_FRAGMENTS[3], 11, 9, 13}, {OIL_FRAGMENTS[4], 10, 7, 16}};

// The point a block hangs at, in the show's frame.
Vec3 hang_point(const Hang &h) {
    return {(h.column / 19.0f - 0.5f) * 2 * POOL, FRAGMENT_Y, (h.row / 19.0f - 0.5f) * 2 * POOL};
}

// A loose block: a roughened box whose vertices average exactly the hanging point.
MeshData make_fragment(const Hang &h, uint32_t seed) {
    MeshData m;
    float s = h.size;
    add_box(m, {-s / 2, -s * 0.7f, -s / 2}, {s / 2, s * 0.7f, s / 2}, 1.0f / 40);
    for (MeshVertex &v : m.vertices) {
        // The same corner gets the same push on each of its three faces.
        int key = (v.x > 0) * 4 + (v.y > 0) * 2 + (v.z > 0);
        v.x *= 0.8f + 0.4f * hash_unit(key, 1, seed);
        v.y *= 0.8f + 0.4f * hash_unit(key, 2, seed);
        v.z *= 0.8f + 0.4f * hash_unit(key, 3, seed);
    }
    double sum[3] = {0, 0, 0};
    for (const MeshVertex &v : m.vertices) sum[0] += v.x, sum[1] += v.y, sum[2] += v.z;
    float n = float(m.vertices.size());
    Vec3 at = hang_point(h);
    mesh_translate(m, at.x - float(sum[0] / n), at.y - float(sum[1] / n), at.z - float(sum[2] / n));
    return m;
}

// The chains the blocks hang on, from each block up to the shaft's top.
MeshData make_chains() {
    MeshData m;
    for (const Hang &h : hangs) {
        Vec3 at = hang_point(h);
        add_box(m, {at.x - 0.8f, FRAGMENT_Y + h.size * 0.5f, at.z - 0.8f}, {at.x + 0.8f, SHAFT_TOP, at.z + 0.8f},
                1.0f / 20);
    }
    return m;
}

// The walk out of the tunnel, the action by the pool, the fragments' fall and their rings,
// the patch flying off, the dust on the vault and the flares rising up the shaft.
const std::vector<Shot> SHOTS = {
    {0, {-20, 72, 185}, {90, 40, 300}, 75},      {4, {15, 74, 170}, {160, 40, 235}, 75},
    {8, {60, 72, 160}, {205, 45, 120}, 75},      {10.8f, {70, 62, 150}, {180, 50, 80}, 75},
    {12.6f, {95, 28, 95}, {15, 330, 5}, 75},     {14.3f, {120, 55, 115}, {15, 120, 0}, 75},
    {15.8f, {125, 100, 120}, {15, 0, -5}, 75},   {17.6f, {60, 105, 140}, {5, 0, -5}, 75},
    {20.3f, {-20, 75, 110}, {180, 45, 78}, 75},  {25, {-250, 85, 75}, {0, 45, 50}, 75},
    {30, {-100, 100, 50}, {0, 235, 0}, 75},      {36, {-20, 100, -110}, {0, 235, 0}, 75},
    {41, {80, 105, -70}, {0, 250, 0}, 75},       {45.5f, {20, 80, -60}, {0, 330, 0}, 70},
    {48, {0, 100, -30}, {0, 485, 0}, 25},
};

}  // namespace

// Write "oilroom.3ds", "oil.bmp" and the room's pictures.
void generate_part5(ContentSink &sink) {
    Scene3ds scene;
    add_scene_pictures(sink, scene, {{"oil.bmp", make_oil}, {"oil_wall.bmp", make_wall, "wall"},
                                     {"oil_floor.bmp", make_floor, "floor"}, {"oil_vault.bmp", make_stone, "vault"},
                                     {"oil_passage.bmp", make_passage, "passage"},
                                     {"oil_shaft.bmp", make_shaft, "shaft"},
                                     {"oil_block.bmp", make_block, "block"}});
    add_show_mesh(scene, make_hall_plane(FLOOR_Y, 1), "floor", "floor");
    add_show_mesh(scene, make_hall_plane(SPRING_Y, -1), "ceiling", "vault");
    add_show_mesh(scene, make_walls(), "walls", "wall");
    add_show_mesh(scene, make_passage_mesh(), "passage", "passage");
    add_show_mesh(scene, make_pool(), "pool", "floor");
    add_show_mesh(scene, make_colonnade(), "colonnade", "vault");
    add_show_mesh(scene, make_vault(), "vault", "vault");
    add_show_mesh(scene, make_shaft_mesh(), OIL_TUNNEL_MESH, "shaft");
    add_show_mesh(scene, make_chains(), "chains", "vault");
    for (int i = 0; i < 5; i++) add_show_mesh(scene, make_fragment(hangs[i], 5600 + i), hangs[i].name, "block");
    add_static_nodes(scene);
    // The part drops each block by the height of its pivot: keep the pivot at the block.
    for (int i = 0; i < 5; i++) {
        Vec3 at = hang_point(hangs[i]);
        ObjectNode3ds &node = scene.object_nodes[scene.object_nodes.size() - 5 + i];
        node.pivot[0] = at.x, node.pivot[1] = at.y, node.pivot[2] = at.z;
    }
    // Light 0 under the oil between its centre and the messiah's place (the part sets its height).
    scene.lights.push_back(point_light("light01", to_file({70, 60, 40}), colour(1.0f, 0.62f, 0.42f)));
    add_shot_camera(scene, "camera01", SHOTS, AIM_PITCH_CORRECTED, 50, FOV_PER_SHOT);
    write_keyed_scene(sink, scene, OIL_ROOM_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 5, generate_part5);
