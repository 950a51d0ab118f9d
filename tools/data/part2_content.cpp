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
#include <algorithm>
#include <cmath>

#include "kit_scene.h"

namespace {

// Room bounds in the file frame.
const float ROOM_X = 200, BACK_Y = 20, FRONT_Y = -360, FLOOR_Z = -30, CEILING_Z = 240;
// The chimney-breast that holds the mirror: it stands out from the back wall to the mirror plane.
const float BREAST_X = 80, BREAST_TOP = 190;
// The hearth before it: wide and deep enough for every shard of the mirror to come to rest
// on it (they fly out to 160 units aside and 50 into the room, and stop 3 above its top).
const float HEARTH_X = 170, HEARTH_DEPTH = 52;
// The mirror opening (the part's own grid fills it).
const float MIRROR_X = 60, MIRROR_BOTTOM = 40, MIRROR_TOP = 160;
// Torch centres (x) and the hanging brazier, where the part's sparks start.
const float TORCH_X[2] = {-113, 107};
const float BRAZIER_X = -88, BRAZIER_Y = -219;
// The window in the left wall.
const float WINDOW_Y0 = -120, WINDOW_Y1 = -40, WINDOW_Z0 = 60, WINDOW_Z1 = 180, WINDOW_DEPTH = 25;
// Texture repeats per unit on the walls and on the marble.
const float WALL_REPEAT = 1.0f / 96, MARBLE_REPEAT = 1.0f / 110;

// ---- pictures ----

// Blue-grey ashlar blocks for the walls, with darker weathering running down.
Picture make_wall() {
    Picture blocks = picture_bricks(256, 4, 8, colour(0.42f, 0.45f, 0.52f), colour(0.16f, 0.16f, 0.18f), 2101);
    return picture_repainted(blocks, [](int, int, float u, float v, Colour now) {
        float grain = fractal_noise(u * 16, v * 16, 4, 0.5f, 16, 2102) * 0.5f + 0.5f;
        float stain = smooth_step(0.5f, 0.8f, fractal_noise(u * 3, v * 1.5f, 4, 0.5f, 3, 2103) * 0.5f + 0.5f);
        Colour c = colour_scale(now, 0.8f + grain * 0.35f);
        return colour_mix(c, colour(0.18f, 0.2f, 0.22f), stain * 0.5f);
    });
}

// Large worn flagstones.
Picture make_floor() {
    Picture flags = picture_bricks(256, 2, 2, colour(0.36f, 0.33f, 0.31f), colour(0.09f, 0.08f, 0.08f), 2201);
    return picture_repainted(flags, [](int, int, float u, float v, Colour now) {
        float wear = fractal_noise(u * 6, v * 6, 5, 0.55f, 6, 2202) * 0.5f + 0.5f;
        float cracks = std::pow(cell_noise(u * 5, v * 5, 5, 2203), 0.3f);
        return colour_scale(now, (0.75f + wear * 0.45f) * (0.7f + 0.3f * cracks));
    });
}

// A warm pale marble with soft veins for the chimney-breast, its cornice and the hearth.
Picture make_marble() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float n = fractal_noise(u * 3, v * 3, 6, 0.55f, 3, 2301);
        float vein = std::pow(1 - std::fabs(std::sin((u * 2 + v * 3 + n * 1.6f) * PI)), 12.0f);
        float cloud = fractal_noise(u * 5, v * 5, 4, 0.5f, 5, 2302) * 0.5f + 0.5f;
        Colour c = colour_mix(colour(0.62f, 0.56f, 0.5f), colour(0.78f, 0.73f, 0.66f), cloud);
        return colour_mix(c, colour(0.35f, 0.28f, 0.24f), vein * 0.7f);
    });
}

// Dark ceiling planks.
Picture make_wood() { return picture_wood(256, colour(0.36f, 0.25f, 0.16f), colour(0.17f, 0.11f, 0.07f), 2401); }

// Old gilding for the mirror frame: a warm metal with dark grime in a running pattern.
Picture make_gold() {
    return picture_repainted(picture_metal(256, colour(0.85f, 0.64f, 0.3f), 2501), [](int, int, float u, float v, Colour now) {
        float bead = 0.5f + 0.5f * std::sin(u * 32 * PI) * std::sin(v * 8 * PI);
        float grime = fractal_noise(u * 8, v * 8, 4, 0.5f, 8, 2502) * 0.5f + 0.5f;
        Colour c = colour_scale(now, 0.7f + 0.4f * bead);
        return colour_mix(c, colour(0.2f, 0.14f, 0.06f), smooth_step(0.55f, 0.8f, grime) * 0.6f);
    });
}

// Blackened wrought iron.
Picture make_iron() { return picture_metal(256, colour(0.22f, 0.21f, 0.21f), 2601); }

// Glowing coals: dark lumps with orange cracks.
Picture make_embers() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float cell = cell_noise(u * 10, v * 10, 10, 2701);
        float heat = fractal_noise(u * 4, v * 4, 4, 0.5f, 4, 2702) * 0.5f + 0.5f;
        float crack = 1 - smooth_step(0.05f, 0.35f, cell);
        return colour_mix(colour(0.1f, 0.06f, 0.05f), colour(1.0f, 0.5f, 0.12f), crack * (0.5f + heat));
    });
}

// The night outside the window: clouds lit from behind by a hidden moon, rain streaks.
Picture make_sky() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {  // v = 0 at the top
        float cloud = fractal_noise(u * 3, v * 3, 6, 0.55f, 3, 2801) * 0.5f + 0.5f;
        float moon = glow_falloff((u - 0.7f) * 256, (v - 0.25f) * 256, 160, 2.0f);
        Colour c = colour_mix(colour(0.04f, 0.06f, 0.14f), colour(0.3f, 0.36f, 0.55f), std::pow(cloud, 2.0f) * (0.4f + moon));
        float rain = hash_unit(x, int(y / 9 + x * 0.3f), 2802) > 0.985f ? 0.15f : 0.0f;
        return colour_add(c, colour(rain, rain, rain * 1.2f));
    });
}

// A deep red rug with a border and a medallion, mapped once over the rug.
Picture make_rug() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {
        float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        float du = u - 0.5f, dv = (v - 0.5f) * 0.55f;
        float medallion = std::sqrt(du * du + dv * dv);
        float weave = 0.85f + 0.15f * hash_unit(x, y, 2901);
        float wear = fractal_noise(u * 4, v * 4, 4, 0.5f, 4, 2902) * 0.5f + 0.5f;
        Colour c = colour(0.42f, 0.07f, 0.06f);
        if (edge < 0.1f) c = colour(0.12f, 0.1f, 0.2f);
        if (edge > 0.04f && edge < 0.06f) c = colour(0.7f, 0.5f, 0.22f);
        if (medallion < 0.22f) c = colour_mix(colour(0.7f, 0.5f, 0.22f), colour(0.12f, 0.1f, 0.2f), smooth_step(0.1f, 0.2f, medallion));
        return colour_scale(c, weave * (0.75f + 0.35f * wear));
    });
}

// What the mirror shows before its first reflection: dim silver with a cold sheen.
Picture make_mirror() {
    return picture_painted(128, 128, [](int, int, float u, float v) {
        float sheen = std::pow(std::max(0.0f, std::sin((u * 0.8f + v * 1.2f) * PI)), 3.0f);
        float cloud = fractal_noise(u * 3, v * 3, 4, 0.5f, 3, 3001) * 0.5f + 0.5f;
        return colour_mix(colour(0.12f, 0.14f, 0.18f), colour(0.5f, 0.55f, 0.62f), sheen * 0.6f + cloud * 0.2f);
    });
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
    Picture p = picture_painted(width, height,
                                [&](int x, int y, float, float) { return colour_scale(picture_get(glow, x, y), 0.9f); });
    for (const CreditLine &line : lines)
        picture_draw_text_centered(p, line.text, line.family, line.size, width / 2, line.y, colour(1.0f, 0.93f, 0.8f));
    return picture_resize(p, 512, 256);
}

const char *const TITLE_FONT = "DejaVu Serif:bold";
const char *const SMALL_FONT = "DejaVu Sans";

// The five credits: 1 and 2 show at 5:3, 3 at 16:9, 4 and 5 at 4:3.
void add_credits(ContentSink &sink) {
    add_picture(sink, "credits1.bmp", make_credit(640, 384, {{"Brixlon", TITLE_FONT, 120, 90}, {"presents", SMALL_FONT, 48, 250}}));
    add_picture(sink, "credits2.bmp", make_credit(640, 384, {{"Kelp", TITLE_FONT, 170, 70}, {"a real-time demo", SMALL_FONT, 46, 270}}));
    add_picture(sink, "credits3.bmp", make_credit(640, 360, {{"code", TITLE_FONT, 130, 60}, {"Brixlon", SMALL_FONT, 64, 230}}));
    add_picture(sink, "credits4.bmp", make_credit(512, 384, {{"music", TITLE_FONT, 120, 70}, {"Brixlon", SMALL_FONT, 70, 240}}));
    add_picture(sink, "credits5.bmp", make_credit(512, 384, {{"models", TITLE_FONT, 84, 40}, {"& textures", TITLE_FONT, 70, 145}, {"Brixlon", SMALL_FONT, 58, 280}}));
}

// ---- the scene ----

bool window_cell(int i, int j) { return i >= 12 && i < 16 && j >= 3 && j < 7; }
bool mirror_cell(int i, int j) { return i >= 2 && i < 14 && j >= 7 && j < 19; }

// The shell: everything ends at the back wall, so the camera behind the mirror sees the
// room through the back wall's unseen side and nothing else.
void add_shell(Scene3ds &scene) {
    const float W = 2 * ROOM_X, D = BACK_Y - FRONT_Y, H = CEILING_Z - FLOOR_Z;
    const float f = 1.0f / 90, c = 1.0f / 120, w = WALL_REPEAT;  // repeats per unit: floor, ceiling, walls
    add_mesh(scene, mesh_panel({-ROOM_X, FRONT_Y, FLOOR_Z}, UNIT_X * W, UNIT_Y * D, 16, 15, f, f), "floor", "floor");
    add_mesh(scene, mesh_panel({-ROOM_X, BACK_Y, CEILING_Z}, UNIT_X * W, UNIT_Y * -D, 8, 8, c, c), "ceiling", "wood");
    add_mesh(scene, mesh_panel({-ROOM_X, BACK_Y, FLOOR_Z}, UNIT_X * W, UNIT_Z * H, 16, 9, w, w), "backwall", "wall");
    add_mesh(scene, mesh_panel({ROOM_X, FRONT_Y, FLOOR_Z}, UNIT_X * -W, UNIT_Z * H, 8, 5, w, w), "frontwall", "wall");
    MeshData left = mesh_panel({-ROOM_X, FRONT_Y, FLOOR_Z}, UNIT_Y * D, UNIT_Z * H, 19, 9, w, w, window_cell);
    add_mesh(scene, left, "leftwall", "wall");
    add_mesh(scene, mesh_panel({ROOM_X, BACK_Y, FLOOR_Z}, UNIT_Y * -D, UNIT_Z * H, 19, 9, w, w), "rightwall", "wall");
}

// The window: a deep reveal, the night sky and an iron cross.
void add_window(Scene3ds &scene) {
    const float wx = -ROOM_X - WINDOW_DEPTH, wy = WINDOW_Y1 - WINDOW_Y0, wz = WINDOW_Z1 - WINDOW_Z0, r = WALL_REPEAT;
    MeshData reveal = mesh_panel({wx, WINDOW_Y0, WINDOW_Z1}, UNIT_Y * wy, UNIT_X * WINDOW_DEPTH, 2, 1, r, r);
    mesh_append(reveal, mesh_panel({wx, WINDOW_Y0, WINDOW_Z0}, UNIT_X * WINDOW_DEPTH, UNIT_Y * wy, 1, 2, r, r));
    mesh_append(reveal, mesh_panel({wx, WINDOW_Y1, WINDOW_Z0}, UNIT_X * WINDOW_DEPTH, UNIT_Z * wz, 1, 3, r, r));
    mesh_append(reveal, mesh_panel({-ROOM_X, WINDOW_Y0, WINDOW_Z0}, UNIT_X * -WINDOW_DEPTH, UNIT_Z * wz, 1, 3, r, r));
    add_mesh(scene, reveal, "reveal", "wall");
    add_mesh(scene, mesh_panel({wx, WINDOW_Y0, WINDOW_Z0}, UNIT_Y * wy, UNIT_Z * wz, 2, 3, 1 / wy, 1 / wz), "sky", "sky");
    MeshData bars = mesh_open_box({wx + 9, -82, WINDOW_Z0}, {wx + 13, -78, WINDOW_Z1}, OMIT_MINUS_Z | OMIT_PLUS_Z, 1.0f / 40);
    mesh_append(bars, mesh_open_box({wx + 9, WINDOW_Y0, 118}, {wx + 13, -82, 122}, OMIT_MINUS_Y | OMIT_PLUS_Y, 1.0f / 40));
    mesh_append(bars, mesh_open_box({wx + 9, -78, 118}, {wx + 13, WINDOW_Y1, 122}, OMIT_MINUS_Y | OMIT_PLUS_Y, 1.0f / 40));
    add_mesh(scene, bars, "windowbars", "iron");
}

// The chimney-breast with the mirror's opening in its face, its back on the wall, then its
// cornice, the hearth in front of it and the gilded frame round the opening.
void add_chimney_breast(Scene3ds &scene) {
    const float r = MARBLE_REPEAT, bw = 2 * BREAST_X, bh = BREAST_TOP - FLOOR_Z;
    MeshData breast = mesh_panel({-BREAST_X, 0, FLOOR_Z}, UNIT_X * bw, UNIT_Z * bh, 16, 22, r, r, mirror_cell);
    mesh_append(breast, mesh_panel({-BREAST_X, BACK_Y, FLOOR_Z}, UNIT_Y * -BACK_Y, UNIT_Z * bh, 1, 11, r, r));
    mesh_append(breast, mesh_panel({BREAST_X, 0, FLOOR_Z}, UNIT_Y * BACK_Y, UNIT_Z * bh, 1, 11, r, r));
    mesh_append(breast, mesh_panel({-BREAST_X, 0, BREAST_TOP}, UNIT_X * bw, UNIT_Y * BACK_Y, 8, 1, r, r));
    // The opening's sides, seen once the glass is gone.
    const float mw = 2 * MIRROR_X, mh = MIRROR_TOP - MIRROR_BOTTOM;
    mesh_append(breast, mesh_panel({-MIRROR_X, 0, MIRROR_TOP}, UNIT_Y * BACK_Y, UNIT_X * mw, 1, 6, r, r));
    mesh_append(breast, mesh_panel({-MIRROR_X, 0, MIRROR_BOTTOM}, UNIT_X * mw, UNIT_Y * BACK_Y, 6, 1, r, r));
    mesh_append(breast, mesh_panel({-MIRROR_X, 0, MIRROR_BOTTOM}, UNIT_Y * BACK_Y, UNIT_Z * mh, 1, 6, r, r));
    mesh_append(breast, mesh_panel({MIRROR_X, BACK_Y, MIRROR_BOTTOM}, UNIT_Y * -BACK_Y, UNIT_Z * mh, 1, 6, r, r));
    add_mesh(scene, breast, "breast", "marble");
    add_mesh(scene, mesh_open_box({-BREAST_X - 10, -8, BREAST_TOP}, {BREAST_X + 10, BACK_Y, BREAST_TOP + 12}, OMIT_PLUS_Y, 1.0f / 60),
             "cornice", "marble");
    add_mesh(scene, mesh_open_box({-HEARTH_X, -HEARTH_DEPTH, FLOOR_Z}, {HEARTH_X, 0, -3}, OMIT_PLUS_Y | OMIT_MINUS_Z, 1.0f / 80),
             "hearth", "floor");

    // The gilded frame round the opening, standing 4 units proud of the glass.
    const float f = 1.0f / 40;
    MeshData frame = mesh_open_box({-MIRROR_X - 8, -4, MIRROR_BOTTOM - 8}, {-MIRROR_X, 0, MIRROR_TOP + 8}, OMIT_PLUS_Y, f);
    mesh_append(frame, mesh_open_box({MIRROR_X, -4, MIRROR_BOTTOM - 8}, {MIRROR_X + 8, 0, MIRROR_TOP + 8}, OMIT_PLUS_Y, f));
    mesh_append(frame, mesh_open_box({-MIRROR_X, -4, MIRROR_BOTTOM - 8}, {MIRROR_X, 0, MIRROR_BOTTOM}, OMIT_PLUS_Y, f));
    mesh_append(frame, mesh_open_box({-MIRROR_X, -4, MIRROR_TOP}, {MIRROR_X, 0, MIRROR_TOP + 8}, OMIT_PLUS_Y, f));
    add_mesh(scene, frame, "frame", "gold");
}

// Two torches on brackets out from the wall: a bowl of coals with its rim at 125, where
// the part's flames start, on a stem with an arm and a brace back to a wall plate.
void add_torches(Scene3ds &scene) {
    for (int k = 0; k < 2; k++) {
        float x = TORCH_X[k];
        MeshData iron = mesh_lathe({{0, 110}, {5, 111}, {11, 115}, {15.5f, 120}, {17, 124.5f}, {15, 125}, {0, 122}}, 14);
        mesh_translate(iron, x, 0, 0);
        mesh_append(iron, mesh_rod({x, 0, 84}, {x, 0, 111}, 2.5f));
        mesh_append(iron, mesh_open_box({x - 2, 0, 86}, {x + 2, BACK_Y - 3, 91}, 0, 1.0f / 30));
        mesh_append(iron, mesh_rod({x, 0, 85}, {x, BACK_Y - 3, 62}, 1.5f));
        mesh_append(iron, mesh_open_box({x - 8, BACK_Y - 3, 56}, {x + 8, BACK_Y, 100}, OMIT_PLUS_Y, 1.0f / 30));
        MeshData coals = mesh_moved(mesh_lathe({{15.2f, 124.4f}, {8, 125.6f}, {0, 126}}, 14), {x, 0, 0});
        add_mesh(scene, iron, k == 0 ? "torch1" : "torch2", "iron");
        add_mesh(scene, coals, k == 0 ? "coals1" : "coals2", "embers");
    }
}

// The brazier hanging over the room on three chains, its bowl just above where the sparks start.
void add_brazier(Scene3ds &scene) {
    const float first_chain = 0.4f;  // radians round from +x
    MeshData brazier = mesh_lathe({{0, 164}, {6, 165}, {12, 169}, {15, 175}, {13, 175.5f}, {0, 172}}, 12);
    const Vec3 apex = {BRAZIER_X, BRAZIER_Y, 206};
    mesh_translate(brazier, BRAZIER_X, BRAZIER_Y, 0);
    for (int c = 0; c < 3; c++) {
        float a = c * 2 * PI / 3 + first_chain;
        mesh_append(brazier, mesh_rod({BRAZIER_X + 14.5f * std::cos(a), BRAZIER_Y + 14.5f * std::sin(a), 175}, apex, 0.8f));
    }
    mesh_append(brazier, mesh_rod(apex, {BRAZIER_X, BRAZIER_Y, CEILING_Z}, 1.2f));
    add_mesh(scene, brazier, "brazier", "iron");
    MeshData embers = mesh_moved(mesh_lathe({{13.2f, 175.2f}, {7, 176.5f}, {0, 177}}, 12), {BRAZIER_X, BRAZIER_Y, 0});
    add_mesh(scene, embers, "brazierembers", "embers");
}

// Beams across the ceiling and pillars along the walls.
void add_beams_and_pillars(Scene3ds &scene) {
    MeshData beams;
    for (float y : {-70.0f, -190.0f, -310.0f})
        mesh_append(beams, mesh_open_box({-ROOM_X, y - 8, CEILING_Z - 16}, {ROOM_X, y + 8, CEILING_Z},
                                         OMIT_MINUS_X | OMIT_PLUS_X | OMIT_PLUS_Z, 1.0f / 60));
    add_mesh(scene, beams, "beams", "wood");
    MeshData pillars;
    const float p = 1.0f / 70;
    for (float y : {-190.0f, -310.0f}) {
        mesh_append(pillars, mesh_open_box({-ROOM_X, y - 12, FLOOR_Z}, {-ROOM_X + 14, y + 12, CEILING_Z - 16},
                                           OMIT_MINUS_X | OMIT_MINUS_Z | OMIT_PLUS_Z, p));
        mesh_append(pillars, mesh_open_box({ROOM_X - 14, y - 12, FLOOR_Z}, {ROOM_X, y + 12, CEILING_Z - 16},
                                           OMIT_PLUS_X | OMIT_MINUS_Z | OMIT_PLUS_Z, p));
    }
    for (float x : {-ROOM_X + 20, ROOM_X - 44})
        mesh_append(pillars, mesh_open_box({x, BACK_Y - 14, FLOOR_Z}, {x + 24, BACK_Y, CEILING_Z},
                                           OMIT_PLUS_Y | OMIT_MINUS_Z | OMIT_PLUS_Z, p));
    add_mesh(scene, pillars, "pillars", "marble");
}

// The camera: close on the mirror while the first two credits show (the credits scale with
// how large the mirror looks), back across the room for the rest, then up behind the
// brazier's sparks to watch the walk, the touch, the leap and the shatter. Show frame.
const std::vector<Shot> SHOTS = {
    {0.0f, {-46, 100, 116}, {-6, 99, 0}, 64},      {4.0f, {-40, 100, 114}, {-4, 99, 0}, 64},
    {6.8f, {-36, 100, 120}, {-2, 99, 0}, 64},      {8.6f, {-38, 102, 185}, {2, 98, 0}, 62},
    {10.6f, {-42, 104, 250}, {6, 98, 0}, 60},      {14.0f, {-50, 106, 262}, {6, 97, 5}, 60},
    {17.5f, {-60, 108, 264}, {-10, 96, 10}, 60},   {20.0f, {-72, 124, 282}, {60, 108, 110}, 62},
    {23.0f, {-100, 134, 312}, {40, 118, 75}, 64},  {26.5f, {-122, 138, 332}, {30, 122, 40}, 64},
    {30.0f, {-134, 140, 336}, {22, 124, 20}, 64},  {33.5f, {-128, 140, 334}, {12, 124, 10}, 64},
    {36.5f, {-112, 138, 338}, {4, 122, 10}, 64},   {40.5f, {-98, 136, 342}, {0, 120, 20}, 64},
};

}  // namespace

// Write "mirrorscene.3ds" with its pictures, "mirror.bmp" and the five credits.
void generate_part2(ContentSink &sink) {
    Scene3ds scene;
    add_scene_pictures(sink, scene, {
        {"mr_wall.bmp", make_wall, "wall"}, {"mr_floor.bmp", make_floor, "floor"},
        {"mr_marble.bmp", make_marble, "marble"}, {"mr_wood.bmp", make_wood, "wood"},
        {"mr_gold.bmp", make_gold, "gold"}, {"mr_iron.bmp", make_iron, "iron"},
        {"mr_embers.bmp", make_embers, "embers"}, {"mr_sky.bmp", make_sky, "sky"},
        {"mr_rug.bmp", make_rug, "rug"}, {"mirror.bmp", make_mirror},
    });
    add_credits(sink);

    add_shell(scene);
    add_window(scene);
    add_chimney_breast(scene);
    add_torches(scene);
    add_brazier(scene);
    add_beams_and_pillars(scene);
    // The rug the messiah walks up to the mirror on.
    add_mesh(scene, mesh_panel({-55, -250, FLOOR_Z + 1}, UNIT_X * 110, UNIT_Y * 210, 2, 4, 1.0f / 110, 1.0f / 210), "rug", "rug");

    add_shot_camera(scene, "camera01", SHOTS, AIM_AT_LOOK, 50, FOV_PER_SHOT);
    scene.light_nodes = false;
    write_scene(sink, scene, MIRROR_ROOM_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 2, generate_part2);
