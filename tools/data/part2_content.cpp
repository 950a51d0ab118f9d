// part2_content.cpp: the mirror room "mirrorscene.3ds": a stone hall at night with a large
// wall mirror set in a marble chimney-breast, two torches on iron brackets either side of it,
// a hanging brazier that drips sparks, a window on the left for the lightning, a rug, beams
// and pillars, and a camera that opens close on the mirror for the credits and then watches
// the messiah walk up, touch the mirror, leap into it and see it shatter. Also "mirror.bmp",
// the picture the live reflection replaces, and the five credit pictures.
//
// The scene is laid out in the file's frame (z up): file (x, y, z) is the show's (x, z, -y),
// so the mirror plane z = 0 of the show is file y = 0, the room lies at file y < 0 and the
// floor (show y = -30) is file z = -30.
#include <cmath>
#include <string>

#include "content.h"
#include "writers/mesh_3ds.h"
#include "writers/picture.h"

namespace {

const float PI = 3.14159265f;
const int END_FRAME = 200;          // 20 s of playing time at 10 frames a second
const float FRAMES_PER_SECOND = 10;

// Room bounds in the file frame.
const float ROOM_X = 200, BACK_Y = 20, FRONT_Y = -360, FLOOR_Z = -30, CEILING_Z = 240;
// The chimney-breast that holds the mirror: it stands out from the back wall to the mirror plane.
const float BREAST_X = 80, BREAST_TOP = 190;
// The mirror opening (the part's own grid fills it).
const float MIRROR_X = 60, MIRROR_BOTTOM = 40, MIRROR_TOP = 160;
// Torch centres (x) and the hanging brazier, where the part's sparks start.
const float TORCH_X[2] = {-113, 107};
const float BRAZIER_X = -88, BRAZIER_Y = -219;
// The window in the left wall.
const float WINDOW_Y0 = -120, WINDOW_Y1 = -40, WINDOW_Z0 = 60, WINDOW_Z1 = 180, WINDOW_DEPTH = 25;

struct P3 {
    float x, y, z;
};

P3 operator+(P3 a, P3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
P3 operator*(P3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float length(P3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

// A flat panel from `origin` along du (nu cells) and dv (nv cells), facing du x dv, mapped
// su and sv texture repeats per unit of length. Cells for which skip(i, j, context) is true
// are left out, and so are the vertices only they used.
MeshData panel(P3 origin, P3 du, P3 dv, int nu, int nv, float su, float sv,
               bool (*skip)(int i, int j) = nullptr) {
    MeshData mesh;
    float lu = length(du), lv = length(dv);
    std::vector<int> index((nu + 1) * (nv + 1), -1);
    auto vertex = [&](int i, int j) {
        int &k = index[j * (nu + 1) + i];
        if (k < 0) {
            P3 p = origin + du * (float(i) / nu) + dv * (float(j) / nv);
            MeshVertex v;
            v.x = p.x, v.y = p.y, v.z = p.z;
            v.u = lu * i / nu * su;
            v.v = lv * j / nv * sv;
            k = int(mesh.vertices.size());
            mesh.vertices.push_back(v);
        }
        return k;
    };
    for (int j = 0; j < nv; j++)
        for (int i = 0; i < nu; i++) {
            if (skip && skip(i, j)) continue;
            int a = vertex(i, j), b = vertex(i + 1, j), c = vertex(i + 1, j + 1), d = vertex(i, j + 1);
            mesh.triangles.push_back({a, b, c});
            mesh.triangles.push_back({a, c, d});
        }
    return mesh;
}

const P3 X = {1, 0, 0}, Y = {0, 1, 0}, Z = {0, 0, 1};

// Sides of a box that can be left out where they lie against something.
enum { OMIT_MINUS_X = 1, OMIT_PLUS_X = 2, OMIT_MINUS_Y = 4, OMIT_PLUS_Y = 8, OMIT_MINUS_Z = 16, OMIT_PLUS_Z = 32 };

// An axis-aligned box from lo to hi, faces outwards, mapped `s` repeats per unit.
MeshData box(P3 lo, P3 hi, int omit, float s) {
    MeshData mesh;
    float w = hi.x - lo.x, d = hi.y - lo.y, h = hi.z - lo.z;
    if (!(omit & OMIT_MINUS_Y)) mesh_append(mesh, panel({lo.x, lo.y, lo.z}, X * w, Z * h, 1, 1, s, s));
    if (!(omit & OMIT_PLUS_Y)) mesh_append(mesh, panel({hi.x, hi.y, lo.z}, X * -w, Z * h, 1, 1, s, s));
    if (!(omit & OMIT_MINUS_X)) mesh_append(mesh, panel({lo.x, hi.y, lo.z}, Y * -d, Z * h, 1, 1, s, s));
    if (!(omit & OMIT_PLUS_X)) mesh_append(mesh, panel({hi.x, lo.y, lo.z}, Y * d, Z * h, 1, 1, s, s));
    if (!(omit & OMIT_PLUS_Z)) mesh_append(mesh, panel({lo.x, lo.y, hi.z}, X * w, Y * d, 1, 1, s, s));
    if (!(omit & OMIT_MINUS_Z)) mesh_append(mesh, panel({lo.x, hi.y, lo.z}, X * w, Y * -d, 1, 1, s, s));
    return mesh;
}

// A six-sided rod between two points with its ends capped.
MeshData rod(P3 a, P3 b, float radius) {
    P3 d = {b.x - a.x, b.y - a.y, b.z - a.z};
    float l = length(d);
    MeshData mesh = mesh_cylinder(radius, l, 6, 1, true);
    // Tilt the z axis onto d: first about x (towards y), then about z.
    float horizontal = std::sqrt(d.x * d.x + d.y * d.y);
    mesh_rotate_x(mesh, -std::atan2(horizontal, d.z));
    if (horizontal > 0) mesh_rotate_z(mesh, std::atan2(d.y, d.x) - PI / 2);
    mesh_translate(mesh, a.x, a.y, a.z);
    return mesh;
}

// ---- pictures ----

// Blue-grey ashlar blocks for the walls, with darker weathering running down.
Picture make_wall() {
    Picture p = picture_bricks(256, 4, 8, colour(0.42f, 0.45f, 0.52f), colour(0.16f, 0.16f, 0.18f), 2101);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            float u = x / 256.0f, v = y / 256.0f;
            float grain = fractal_noise(u * 16, v * 16, 4, 0.5f, 16, 2102) * 0.5f + 0.5f;
            float stain = smooth_step(0.5f, 0.8f, fractal_noise(u * 3, v * 1.5f, 4, 0.5f, 3, 2103) * 0.5f + 0.5f);
            Colour c = colour_scale(picture_get(p, x, y), 0.8f + grain * 0.35f);
            picture_set(p, x, y, colour_mix(c, colour(0.18f, 0.2f, 0.22f), stain * 0.5f));
        }
    return p;
}

// Large worn flagstones.
Picture make_floor() {
    Picture p = picture_bricks(256, 2, 2, colour(0.36f, 0.33f, 0.31f), colour(0.09f, 0.08f, 0.08f), 2201);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            float u = x / 256.0f, v = y / 256.0f;
            float wear = fractal_noise(u * 6, v * 6, 5, 0.55f, 6, 2202) * 0.5f + 0.5f;
            float cracks = std::pow(cell_noise(u * 5, v * 5, 5, 2203), 0.3f);
            Colour c = colour_scale(picture_get(p, x, y), (0.75f + wear * 0.45f) * (0.7f + 0.3f * cracks));
            picture_set(p, x, y, c);
        }
    return p;
}

// A warm pale marble with soft veins for the chimney-breast, its cornice and the hearth.
Picture make_marble() {
    Picture p(256, 256);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            float u = x / 256.0f, v = y / 256.0f;
            float n = fractal_noise(u * 3, v * 3, 6, 0.55f, 3, 2301);
            float vein = std::pow(1 - std::fabs(std::sin((u * 2 + v * 3 + n * 1.6f) * PI)), 12.0f);
            float cloud = fractal_noise(u * 5, v * 5, 4, 0.5f, 5, 2302) * 0.5f + 0.5f;
            Colour c = colour_mix(colour(0.62f, 0.56f, 0.5f), colour(0.78f, 0.73f, 0.66f), cloud);
            picture_set(p, x, y, colour_mix(c, colour(0.35f, 0.28f, 0.24f), vein * 0.7f));
        }
    return p;
}

// Dark ceiling planks.
Picture make_wood() { return picture_wood(256, colour(0.36f, 0.25f, 0.16f), colour(0.17f, 0.11f, 0.07f), 2401); }

// Old gilding for the mirror frame: a warm metal with dark grime in a running pattern.
Picture make_gold() {
    Picture p = picture_metal(256, colour(0.85f, 0.64f, 0.3f), 2501);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            float u = x / 256.0f, v = y / 256.0f;
            float bead = 0.5f + 0.5f * std::sin(u * 32 * PI) * std::sin(v * 8 * PI);
            float grime = fractal_noise(u * 8, v * 8, 4, 0.5f, 8, 2502) * 0.5f + 0.5f;
            Colour c = colour_scale(picture_get(p, x, y), 0.7f + 0.4f * bead);
            picture_set(p, x, y, colour_mix(c, colour(0.2f, 0.14f, 0.06f), smooth_step(0.55f, 0.8f, grime) * 0.6f));
        }
    return p;
}

// Blackened wrought iron.
Picture make_iron() { return picture_metal(256, colour(0.22f, 0.21f, 0.21f), 2601); }

// Glowing coals: dark lumps with orange cracks.
Picture make_embers() {
    Picture p(256, 256);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            float u = x / 256.0f, v = y / 256.0f;
            float cell = cell_noise(u * 10, v * 10, 10, 2701);
            float heat = fractal_noise(u * 4, v * 4, 4, 0.5f, 4, 2702) * 0.5f + 0.5f;
            float crack = 1 - smooth_step(0.05f, 0.35f, cell);
            Colour c = colour_mix(colour(0.1f, 0.06f, 0.05f), colour(1.0f, 0.5f, 0.12f), crack * (0.5f + heat));
            picture_set(p, x, y, c);
        }
    return p;
}

// The night outside the window: clouds lit from behind by a hidden moon, rain streaks.
Picture make_sky() {
    Picture p(256, 256);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            float u = x / 256.0f, v = y / 256.0f;  // v = 0 at the top
            float cloud = fractal_noise(u * 3, v * 3, 6, 0.55f, 3, 2801) * 0.5f + 0.5f;
            float moon = glow_falloff((u - 0.7f) * 256, (v - 0.25f) * 256, 160, 2.0f);
            Colour c = colour_mix(colour(0.04f, 0.06f, 0.14f), colour(0.3f, 0.36f, 0.55f), std::pow(cloud, 2.0f) * (0.4f + moon));
            float rain = hash_unit(x, int(y / 9 + x * 0.3f), 2802) > 0.985f ? 0.15f : 0.0f;
            picture_set(p, x, y, colour_add(c, colour(rain, rain, rain * 1.2f)));
        }
    return p;
}

// A deep red rug with a border and a medallion, mapped once over the rug.
Picture make_rug() {
    Picture p(256, 256);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            float u = x / 256.0f, v = y / 256.0f;
            float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            float du = u - 0.5f, dv = (v - 0.5f) * 0.55f;
            float medallion = std::sqrt(du * du + dv * dv);
            float weave = 0.85f + 0.15f * hash_unit(x, y, 2901);
            float wear = fractal_noise(u * 4, v * 4, 4, 0.5f, 4, 2902) * 0.5f + 0.5f;
            Colour c = colour(0.42f, 0.07f, 0.06f);
            if (edge < 0.1f) c = colour(0.12f, 0.1f, 0.2f);
            if (edge > 0.04f && edge < 0.06f) c = colour(0.7f, 0.5f, 0.22f);
            if (medallion < 0.22f) c = colour_mix(colour(0.7f, 0.5f, 0.22f), colour(0.12f, 0.1f, 0.2f), smooth_step(0.1f, 0.2f, medallion));
            c = colour_scale(c, weave * (0.75f + 0.35f * wear));
            picture_set(p, x, y, c);
        }
    return p;
}

// What the mirror shows before its first reflection: dim silver with a cold sheen.
Picture make_mirror() {
    Picture p(128, 128);
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) {
            float u = x / 128.0f, v = y / 128.0f;
            float sheen = std::pow(std::max(0.0f, std::sin((u * 0.8f + v * 1.2f) * PI)), 3.0f);
            float cloud = fractal_noise(u * 3, v * 3, 4, 0.5f, 3, 3001) * 0.5f + 0.5f;
            Colour c = colour_mix(colour(0.12f, 0.14f, 0.18f), colour(0.5f, 0.55f, 0.62f), sheen * 0.6f + cloud * 0.2f);
            picture_set(p, x, y, c);
        }
    return p;
}

// A credit: lines of text, light on black with a warm glow, drawn at the aspect of the
// quad it is shown on and squeezed into 512 x 256.
struct CreditLine {
    const char *text;
    const char *family;
    int size;
    int y;
};

Picture make_credit(int width, int height, const std::vector<CreditLine> &lines) {
    Picture glow(width, height);
    for (const CreditLine &line : lines)
        picture_draw_text_centered(glow, line.text, line.family, line.size, width / 2, line.y, colour(0.9f, 0.5f, 0.2f));
    picture_blur(glow, 8, 3, false);
    Picture p(width, height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) picture_set(p, x, y, colour_scale(picture_get(glow, x, y), 0.9f));
    for (const CreditLine &line : lines)
        picture_draw_text_centered(p, line.text, line.family, line.size, width / 2, line.y, colour(1.0f, 0.93f, 0.8f));
    return picture_resize(p, 512, 256);
}

const char *const TITLE_FONT = "DejaVu Serif:bold";
const char *const SMALL_FONT = "DejaVu Sans";

// ---- the scene ----

bool window_cell(int i, int j) { return i >= 12 && i < 16 && j >= 3 && j < 7; }
bool mirror_cell(int i, int j) { return i >= 2 && i < 14 && j >= 7 && j < 19; }

// Camera keys: time in seconds, position and target in the show's frame (y up).
struct Shot {
    float t;
    float position[3], target[3];
    float fov;
};

// The camera: close on the mirror while the first two credits show (the credits scale with
// how large the mirror looks), back across the room for the rest, then up behind the
// brazier's sparks to watch the walk, the touch, the leap and the shatter.
const Shot SHOTS[] = {
    {0.0f, {-46, 100, 116}, {-6, 99, 0}, 64},
    {4.0f, {-40, 100, 114}, {-4, 99, 0}, 64},
    {6.8f, {-36, 100, 120}, {-2, 99, 0}, 64},
    {8.6f, {-38, 102, 185}, {2, 98, 0}, 62},
    {10.6f, {-42, 104, 250}, {6, 98, 0}, 60},
    {14.0f, {-50, 106, 262}, {6, 97, 5}, 60},
    {17.5f, {-60, 108, 264}, {-10, 96, 10}, 60},
    {20.0f, {-72, 124, 282}, {60, 108, 110}, 62},
    {23.0f, {-100, 134, 312}, {40, 118, 75}, 64},
    {26.5f, {-122, 138, 332}, {30, 122, 40}, 64},
    {30.0f, {-134, 140, 336}, {22, 124, 20}, 64},
    {33.5f, {-128, 140, 334}, {12, 124, 10}, 64},
    {36.5f, {-112, 138, 338}, {4, 122, 10}, 64},
    {40.5f, {-98, 136, 342}, {0, 120, 20}, 64},
};

}  // namespace

// Write "mirrorscene.3ds" with its pictures, "mirror.bmp" and the five credits.
void generate_part2(ContentSink &sink) {
    sink.add("mr_wall.bmp", bmp_encode_24(make_wall()));
    sink.add("mr_floor.bmp", bmp_encode_24(make_floor()));
    sink.add("mr_marble.bmp", bmp_encode_24(make_marble()));
    sink.add("mr_wood.bmp", bmp_encode_24(make_wood()));
    sink.add("mr_gold.bmp", bmp_encode_24(make_gold()));
    sink.add("mr_iron.bmp", bmp_encode_24(make_iron()));
    sink.add("mr_embers.bmp", bmp_encode_24(make_embers()));
    sink.add("mr_sky.bmp", bmp_encode_24(make_sky()));
    sink.add("mr_rug.bmp", bmp_encode_24(make_rug()));
    sink.add("mirror.bmp", bmp_encode_24(make_mirror()));

    // Credits 1 and 2 show at 5:3, credit 3 at 16:9, credits 4 and 5 at 4:3.
    sink.add("credits1.bmp", bmp_encode_24(make_credit(640, 384, {{"Brixlon", TITLE_FONT, 120, 90}, {"presents", SMALL_FONT, 48, 250}})));
    sink.add("credits2.bmp", bmp_encode_24(make_credit(640, 384, {{"Kelp", TITLE_FONT, 170, 70}, {"a real-time demo", SMALL_FONT, 46, 270}})));
    sink.add("credits3.bmp", bmp_encode_24(make_credit(640, 360, {{"code", TITLE_FONT, 130, 60}, {"Brixlon", SMALL_FONT, 64, 230}})));
    sink.add("credits4.bmp", bmp_encode_24(make_credit(512, 384, {{"music", TITLE_FONT, 120, 70}, {"Brixlon", SMALL_FONT, 70, 240}})));
    sink.add("credits5.bmp", bmp_encode_24(make_credit(512, 384, {{"models", TITLE_FONT, 84, 40}, {"& textures", TITLE_FONT, 70, 145}, {"Brixlon", SMALL_FONT, 58, 280}})));

    Scene3ds scene;
    scene.add_material("wall", "mr_wall.bmp");
    scene.add_material("floor", "mr_floor.bmp");
    scene.add_material("marble", "mr_marble.bmp");
    scene.add_material("wood", "mr_wood.bmp");
    scene.add_material("gold", "mr_gold.bmp");
    scene.add_material("iron", "mr_iron.bmp");
    scene.add_material("embers", "mr_embers.bmp");
    scene.add_material("sky", "mr_sky.bmp");
    scene.add_material("rug", "mr_rug.bmp");
    auto add = [&](const MeshData &mesh, const char *name, const char *material_name) {
        scene.meshes.push_back(mesh_to_3ds(mesh, name, material_name));
    };

    const float W = 2 * ROOM_X, D = BACK_Y - FRONT_Y, H = CEILING_Z - FLOOR_Z;
    const float wall_repeat = 1.0f / 96, floor_repeat = 1.0f / 90;
    // The shell: everything ends at the back wall, so the camera behind the mirror sees the
    // room through the back wall's unseen side and nothing else.
    add(panel({-ROOM_X, FRONT_Y, FLOOR_Z}, X * W, Y * D, 16, 15, floor_repeat, floor_repeat), "floor", "floor");
    add(panel({-ROOM_X, BACK_Y, CEILING_Z}, X * W, Y * -D, 8, 8, 1.0f / 120, 1.0f / 120), "ceiling", "wood");
    add(panel({-ROOM_X, BACK_Y, FLOOR_Z}, X * W, Z * H, 16, 9, wall_repeat, wall_repeat), "backwall", "wall");
    add(panel({ROOM_X, FRONT_Y, FLOOR_Z}, X * -W, Z * H, 8, 5, wall_repeat, wall_repeat), "frontwall", "wall");
    add(panel({-ROOM_X, FRONT_Y, FLOOR_Z}, Y * D, Z * H, 19, 9, wall_repeat, wall_repeat, window_cell), "leftwall", "wall");
    add(panel({ROOM_X, BACK_Y, FLOOR_Z}, Y * -D, Z * H, 19, 9, wall_repeat, wall_repeat), "rightwall", "wall");

    // The window: a deep reveal, the night sky and an iron cross.
    const float wx = -ROOM_X - WINDOW_DEPTH, wy = WINDOW_Y1 - WINDOW_Y0, wz = WINDOW_Z1 - WINDOW_Z0;
    MeshData reveal = panel({wx, WINDOW_Y0, WINDOW_Z1}, Y * wy, X * WINDOW_DEPTH, 2, 1, wall_repeat, wall_repeat);
    mesh_append(reveal, panel({wx, WINDOW_Y0, WINDOW_Z0}, X * WINDOW_DEPTH, Y * wy, 1, 2, wall_repeat, wall_repeat));
    mesh_append(reveal, panel({wx, WINDOW_Y1, WINDOW_Z0}, X * WINDOW_DEPTH, Z * wz, 1, 3, wall_repeat, wall_repeat));
    mesh_append(reveal, panel({-ROOM_X, WINDOW_Y0, WINDOW_Z0}, X * -WINDOW_DEPTH, Z * wz, 1, 3, wall_repeat, wall_repeat));
    add(reveal, "reveal", "wall");
    add(panel({wx, WINDOW_Y0, WINDOW_Z0}, Y * wy, Z * wz, 2, 3, 1 / wy, 1 / wz), "sky", "sky");
    MeshData bars = box({wx + 9, -82, WINDOW_Z0}, {wx + 13, -78, WINDOW_Z1}, OMIT_MINUS_Z | OMIT_PLUS_Z, 1.0f / 40);
    mesh_append(bars, box({wx + 9, WINDOW_Y0, 118}, {wx + 13, -82, 122}, OMIT_MINUS_Y | OMIT_PLUS_Y, 1.0f / 40));
    mesh_append(bars, box({wx + 9, -78, 118}, {wx + 13, WINDOW_Y1, 122}, OMIT_MINUS_Y | OMIT_PLUS_Y, 1.0f / 40));
    add(bars, "windowbars", "iron");

    // The chimney-breast: its face has the mirror's opening; its back lies on the wall.
    MeshData breast = panel({-BREAST_X, 0, FLOOR_Z}, X * (2 * BREAST_X), Z * (BREAST_TOP - FLOOR_Z), 16, 22,
                            1.0f / 110, 1.0f / 110, mirror_cell);
    mesh_append(breast, panel({-BREAST_X, BACK_Y, FLOOR_Z}, Y * -BACK_Y, Z * (BREAST_TOP - FLOOR_Z), 1, 11, 1.0f / 110, 1.0f / 110));
    mesh_append(breast, panel({BREAST_X, 0, FLOOR_Z}, Y * BACK_Y, Z * (BREAST_TOP - FLOOR_Z), 1, 11, 1.0f / 110, 1.0f / 110));
    mesh_append(breast, panel({-BREAST_X, 0, BREAST_TOP}, X * (2 * BREAST_X), Y * BACK_Y, 8, 1, 1.0f / 110, 1.0f / 110));
    // The opening's sides, seen once the glass is gone.
    const float mw = 2 * MIRROR_X, mh = MIRROR_TOP - MIRROR_BOTTOM;
    mesh_append(breast, panel({-MIRROR_X, 0, MIRROR_TOP}, Y * BACK_Y, X * mw, 1, 6, 1.0f / 110, 1.0f / 110));
    mesh_append(breast, panel({-MIRROR_X, 0, MIRROR_BOTTOM}, X * mw, Y * BACK_Y, 6, 1, 1.0f / 110, 1.0f / 110));
    mesh_append(breast, panel({-MIRROR_X, 0, MIRROR_BOTTOM}, Y * BACK_Y, Z * mh, 1, 6, 1.0f / 110, 1.0f / 110));
    mesh_append(breast, panel({MIRROR_X, BACK_Y, MIRROR_BOTTOM}, Y * -BACK_Y, Z * mh, 1, 6, 1.0f / 110, 1.0f / 110));
    add(breast, "breast", "marble");
    add(box({-BREAST_X - 10, -8, BREAST_TOP}, {BREAST_X + 10, BACK_Y, BREAST_TOP + 12}, OMIT_PLUS_Y, 1.0f / 60), "cornice", "marble");
    add(box({-BREAST_X - 20, -34, FLOOR_Z}, {BREAST_X + 20, 0, -3}, OMIT_PLUS_Y | OMIT_MINUS_Z, 1.0f / 80), "hearth", "floor");

    // The gilded frame round the opening, standing 4 units proud of the glass.
    MeshData frame = box({-MIRROR_X - 8, -4, MIRROR_BOTTOM - 8}, {-MIRROR_X, 0, MIRROR_TOP + 8}, OMIT_PLUS_Y, 1.0f / 40);
    mesh_append(frame, box({MIRROR_X, -4, MIRROR_BOTTOM - 8}, {MIRROR_X + 8, 0, MIRROR_TOP + 8}, OMIT_PLUS_Y, 1.0f / 40));
    mesh_append(frame, box({-MIRROR_X, -4, MIRROR_BOTTOM - 8}, {MIRROR_X, 0, MIRROR_BOTTOM}, OMIT_PLUS_Y, 1.0f / 40));
    mesh_append(frame, box({-MIRROR_X, -4, MIRROR_TOP}, {MIRROR_X, 0, MIRROR_TOP + 8}, OMIT_PLUS_Y, 1.0f / 40));
    add(frame, "frame", "gold");

    // Two torches on brackets out from the wall: a bowl of coals with its rim at 125, where
    // the part's flames start, on a stem with an arm and a brace back to a wall plate.
    for (int k = 0; k < 2; k++) {
        float x = TORCH_X[k];
        MeshData iron = mesh_lathe({{0, 110}, {5, 111}, {11, 115}, {15.5f, 120}, {17, 124.5f}, {15, 125}, {0, 122}}, 14);
        mesh_translate(iron, x, 0, 0);
        mesh_append(iron, rod({x, 0, 84}, {x, 0, 111}, 2.5f));
        mesh_append(iron, box({x - 2, 0, 86}, {x + 2, BACK_Y - 3, 91}, 0, 1.0f / 30));
        mesh_append(iron, rod({x, 0, 85}, {x, BACK_Y - 3, 62}, 1.5f));
        mesh_append(iron, box({x - 8, BACK_Y - 3, 56}, {x + 8, BACK_Y, 100}, OMIT_PLUS_Y, 1.0f / 30));
        MeshData coals = mesh_lathe({{15.2f, 124.4f}, {8, 125.6f}, {0, 126}}, 14);
        mesh_translate(coals, x, 0, 0);
        add(iron, k == 0 ? "torch1" : "torch2", "iron");
        add(coals, k == 0 ? "coals1" : "coals2", "embers");
    }

    // The brazier hanging over the room on chains, its bowl just above where the sparks start.
    MeshData brazier = mesh_lathe({{0, 164}, {6, 165}, {12, 169}, {15, 175}, {13, 175.5f}, {0, 172}}, 12);
    const P3 apex = {BRAZIER_X, BRAZIER_Y, 206};
    mesh_translate(brazier, BRAZIER_X, BRAZIER_Y, 0);
    for (int c = 0; c < 3; c++) {
        float a = c * 2 * PI / 3 + 0.4f;
        mesh_append(brazier, rod({BRAZIER_X + 14.5f * std::cos(a), BRAZIER_Y + 14.5f * std::sin(a), 175}, apex, 0.8f));
    }
    mesh_append(brazier, rod(apex, {BRAZIER_X, BRAZIER_Y, CEILING_Z}, 1.2f));
    add(brazier, "brazier", "iron");
    MeshData embers = mesh_lathe({{13.2f, 175.2f}, {7, 176.5f}, {0, 177}}, 12);
    mesh_translate(embers, BRAZIER_X, BRAZIER_Y, 0);
    add(embers, "brazierembers", "embers");

    // Beams across the ceiling and pillars along the walls.
    MeshData beams;
    for (float y : {-70.0f, -190.0f, -310.0f})
        mesh_append(beams, box({-ROOM_X, y - 8, CEILING_Z - 16}, {ROOM_X, y + 8, CEILING_Z}, OMIT_MINUS_X | OMIT_PLUS_X | OMIT_PLUS_Z, 1.0f / 60));
    add(beams, "beams", "wood");
    MeshData pillars;
    for (float y : {-190.0f, -310.0f}) {
        mesh_append(pillars, box({-ROOM_X, y - 12, FLOOR_Z}, {-ROOM_X + 14, y + 12, CEILING_Z - 16}, OMIT_MINUS_X | OMIT_MINUS_Z | OMIT_PLUS_Z, 1.0f / 70));
        mesh_append(pillars, box({ROOM_X - 14, y - 12, FLOOR_Z}, {ROOM_X, y + 12, CEILING_Z - 16}, OMIT_PLUS_X | OMIT_MINUS_Z | OMIT_PLUS_Z, 1.0f / 70));
    }
    for (float x : {-ROOM_X + 20, ROOM_X - 44})
        mesh_append(pillars, box({x, BACK_Y - 14, FLOOR_Z}, {x + 24, BACK_Y, CEILING_Z}, OMIT_PLUS_Y | OMIT_MINUS_Z | OMIT_PLUS_Z, 1.0f / 70));
    add(pillars, "pillars", "marble");

    // The rug the messiah walks up to the mirror on.
    MeshData rug = panel({-55, -250, FLOOR_Z + 1}, X * 110, Y * 210, 2, 4, 1.0f / 110, 1.0f / 210);
    add(rug, "rug", "rug");

    // Camera track: positions and targets given in the show's frame, written in the file's.
    Camera3ds camera;
    camera.name = "camera01";
    const Shot &first = SHOTS[0];
    camera.position[0] = first.position[0], camera.position[1] = -first.position[2], camera.position[2] = first.position[1];
    camera.target[0] = first.target[0], camera.target[1] = -first.target[2], camera.target[2] = first.target[1];
    scene.cameras.push_back(camera);
    CameraNode3ds node;
    node.name = camera.name;
    for (const Shot &shot : SHOTS) {
        uint32_t frame = uint32_t(std::lround(shot.t * FRAMES_PER_SECOND));
        node.position.push_back(key3ds_position(frame, shot.position[0], -shot.position[2], shot.position[1]));
        node.target.push_back(key3ds_position(frame, shot.target[0], -shot.target[2], shot.target[1]));
        node.fov.push_back(key3ds_value(frame, shot.fov));
        node.roll.push_back(key3ds_value(frame, 0));
    }
    scene.camera_nodes.push_back(node);

    scene.start_frame = 0;
    scene.end_frame = END_FRAME;
    scene.light_nodes = false;
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    sink.add("mirrorscene.3ds", encode_3ds(scene));
}

KELP_CONTENT(CONTENT_ORDER_PART + 2, generate_part2);
