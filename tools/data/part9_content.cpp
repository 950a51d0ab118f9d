// part9_content.cpp: the light ball's night, "lightball.3ds": a starry sky dome with a moon,
// a ring of distant hills and two belts of dark firs ("night1".."night5", unlit), a meadow
// that rises towards the hills, a ring of standing stones and an altar under the spot where
// the warp opens, and a cold light over the altar. The file's first two keyframed objects
// are the paths of the ball of light and of the red ball (dummies, so nothing is drawn for
// them); two camera nodes make one cut at 20 s, where the part comes back after the spider.
// The warp's streaks are the warp pass's "warp.bmp".
#include <algorithm>
#include <cmath>

#include "kit_scene.h"

namespace {

// Frames: 10 a second over the 100 s the part loads with; the show plays it for 68 s.
const int SHOW_FRAMES = 680, CUT_FRAME = 200;
// Where things stand, in the part's own frame (y up): the ground, the altar under the warp.
const float GROUND_Y = 20, ALTAR_X = -120, ALTAR_Z = 78;
// The middle of the scene (between the three fathers and the warp) and the sky around it.
const float MIDDLE_X = -120, MIDDLE_Z = 100, SKY_RADIUS = 2000, HILLS_RADIUS = 1400;
// The middle on the file's ground plane.
const Vec3 MIDDLE_FILE = to_file({MIDDLE_X, 0, MIDDLE_Z});

// A mesh built around the file origin, moved to a point of the part's frame.
MeshData placed(const MeshData &mesh, Vec3 p) { return mesh_moved(mesh, to_file(p)); }

// --- pictures -------------------------------------------------------------------------

// The sky dome, mapped around and pole to pole (row 0 the zenith): deep blue overhead, a
// teal glow along the horizon, a band of faint cloud above it, stars thinning towards the
// horizon, and the dark underside below.
Picture make_sky() {
    const int size = 512;
    return picture_painted(size, size, [](int x, int y, float, float) {
        float u = (x + 0.5f) / size, v = 1 - (y + 0.5f) / size;
        float elevation = (v - 0.5f) * 180;  // degrees
        if (elevation < 0)
            return colour_mix(colour(0.05f, 0.09f, 0.13f), colour(0.01f, 0.02f, 0.04f), smooth_step(0, 20, -elevation));
        float up = elevation / 90;
        Colour horizon = colour(0.10f, 0.19f, 0.26f), middle = colour(0.03f, 0.06f, 0.15f),
               zenith = colour(0.01f, 0.02f, 0.07f);
        Colour c = up < 0.3f ? colour_mix(horizon, middle, smooth_step(0, 0.3f, up))
                             : colour_mix(middle, zenith, smooth_step(0.3f, 1, up));
        // Long thin clouds low in the sky, lit faintly from below.
        float cloud = fractal_noise(u * 8, v * 24, 5, 0.55f, 8, 901) * 0.5f + 0.5f;
        float band = smooth_step(2, 8, elevation) * (1 - smooth_step(18, 32, elevation));
        float k = smooth_step(0.5f, 0.8f, cloud) * band;
        c = colour_mix(c, colour(0.16f, 0.20f, 0.28f), k * 0.6f);
        // Stars: more of them overhead, hidden by cloud.
        float star = hash_unit(x, y, 902);
        float threshold = 0.996f - 0.003f * up;
        if (star > threshold) {
            float b = (star - threshold) / (1 - threshold) * (1 - k) * smooth_step(3, 15, elevation);
            float tint = hash_unit(x, y, 903);
            c = colour_add(c, colour_scale(colour(0.8f + 0.2f * tint, 0.85f, 1.0f - 0.2f * tint), 0.35f + 0.65f * b));
        }
        return c;
    });
}

// The moon: a pale disc with darker seas and small craters, dark outside the disc (the mesh
// is a disc of the same size).
Picture make_moon() {
    const int size = 256;
    return picture_painted(size, size, [](int x, int y, float u, float v) {
        const float c = size / 2.0f;
        float dx = (x + 0.5f - c) / c, dy = (y + 0.5f - c) / c;
        float r = std::sqrt(dx * dx + dy * dy);
        float seas = smooth_step(0.1f, 0.45f, fractal_noise(u * 3, v * 3, 5, 0.5f, 0, 911) * 0.5f + 0.5f);
        float craters = cell_noise(u * 14, v * 14, 0, 912);
        float pit = 1 - smooth_step(0.0f, 0.25f, craters);
        Colour surface = colour_mix(colour(0.92f, 0.92f, 0.86f), colour(0.55f, 0.58f, 0.60f), seas);
        surface = colour_scale(surface, 1 - 0.25f * pit);
        // Darker towards the limb, as a ball lit from the front.
        surface = colour_scale(surface, 1 - 0.35f * r * r);
        float inside = std::clamp((0.97f - r) * c, 0.0f, 1.0f);
        return colour_mix(colour(0.02f, 0.04f, 0.09f), surface, inside);
    });
}

// The distant hills: a dark band (row 0 its top) with a faint teal rim where the sky glow
// catches the crest, and the texture of woods on the slopes.
Picture make_hills() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float woods = fractal_noise(u * 16, v * 6, 5, 0.55f, 16, 921) * 0.5f + 0.5f;
        Colour c = colour_mix(colour(0.015f, 0.025f, 0.04f), colour(0.04f, 0.07f, 0.09f), woods);
        float rim = 1 - smooth_step(0.0f, 0.06f, v);
        return colour_mix(c, colour(0.09f, 0.16f, 0.20f), rim * 0.8f);
    });
}

// Fir needles at night: dark blue-green tiers with lighter tips, bark at the bottom.
Picture make_fir() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float needles = fractal_noise(u * 24, v * 12, 4, 0.5f, 24, 931) * 0.5f + 0.5f;
        float tiers = std::pow(std::fabs(std::sin((v * 6 + needles * 0.3f) * PI)), 3.0f);
        return colour_mix(colour(0.02f, 0.04f, 0.04f), colour(0.07f, 0.12f, 0.11f), needles * 0.6f + tiers * 0.4f);
    });
}

// The meadow: dark grass with patches of bare earth, flat stones and clover, tiling.
Picture make_meadow() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float blades = fractal_noise(u * 32, v * 32, 3, 0.6f, 32, 941) * 0.5f + 0.5f;
        float patches = fractal_noise(u * 3, v * 3, 5, 0.5f, 3, 942) * 0.5f + 0.5f;
        Colour grass = colour_mix(colour(0.16f, 0.26f, 0.20f), colour(0.30f, 0.42f, 0.30f), blades);
        Colour earth = colour_mix(colour(0.22f, 0.19f, 0.16f), colour(0.32f, 0.28f, 0.23f), blades);
        Colour c = colour_mix(grass, earth, smooth_step(0.62f, 0.75f, patches));
        // Flat stones half sunk in the grass.
        float stone = cell_noise(u * 6, v * 6, 6, 943);
        float flat = 1 - smooth_step(0.12f, 0.16f, stone);
        if (hash_unit(int(u * 6), int(v * 6), 944) > 0.6f)
            c = colour_mix(c, colour_scale(colour(0.40f, 0.42f, 0.44f), 0.8f + 0.3f * blades), flat);
        return c;
    });
}

// Blue-grey standing stone with pale lichen.
Picture make_stone() {
    return picture_repainted(picture_stone(256, colour(0.46f, 0.50f, 0.56f), 951), [](int, int, float u, float v, Colour c) {
        float lichen = smooth_step(0.6f, 0.85f, fractal_noise(u * 5, v * 5, 5, 0.5f, 5, 952) * 0.5f + 0.5f);
        return colour_mix(c, colour(0.62f, 0.68f, 0.55f), lichen * 0.6f);
    });
}

// --- meshes ---------------------------------------------------------------------------

// Height of the meadow at a point of the file's ground plane: flat out to 450 from the
// middle, then rising towards the hills.
float ground_height(float x, float y) {
    float r = std::hypot(x - MIDDLE_FILE.x, y - MIDDLE_FILE.y);
    float rise = smooth_step(450, 1400, r);
    return GROUND_Y + rise * (90 + 40 * fractal_noise(x * 0.004f, y * 0.004f, 3, 0.5f, 0, 971));
}

// The meadow: a disc of rings around the middle, dense where the fathers stand, flat out to
// 450 and rising towards the hills so that it meets them above the horizon.
MeshData make_ground() {
    static const float radii[] = {30, 65, 105, 150, 200, 260, 330, 410, 500, 620, 780, 980, 1250, 1550};
    const int rings = int(std::size(radii)), segments = 48;
    MeshData ground;
    const Vec3 m = MIDDLE_FILE;
    mesh_add_vertex(ground, {m.x, m.y, GROUND_Y}, m.x / 70, m.y / 70);
    for (float radius : radii)
        for (int s = 0; s < segments; s++) {
            float a = 2 * PI * s / segments, x = m.x + radius * std::cos(a), y = m.y + radius * std::sin(a);
            mesh_add_vertex(ground, {x, y, ground_height(x, y)}, x / 70, y / 70);
        }
    auto at = [&](int r, int s) { return 1 + r * segments + (s % segments); };
    for (int s = 0; s < segments; s++) ground.triangles.push_back({0, at(0, s), at(0, s + 1)});
    for (int r = 0; r + 1 < rings; r++)
        for (int s = 0; s < segments; s++) mesh_add_quad(ground, at(r, s), at(r + 1, s), at(r + 1, s + 1), at(r, s + 1));
    return ground;
}

// The sky dome: a whole sphere seen from inside, so that no view leaves it.
MeshData make_sky_dome() {
    MeshData sky = mesh_sphere(SKY_RADIUS, 32, 16);
    mesh_flip(sky);
    return placed(sky, {MIDDLE_X, GROUND_Y, MIDDLE_Z});
}

// The moon: a disc low in the north-west sky, facing the middle.
MeshData make_moon_disc() {
    const float distance = 1800, azimuth = 2.5f, elevation = 0.30f;
    MeshData moon = mesh_disc({0, 0, 0}, UNIT_Y, UNIT_Z, 90, 24);
    mesh_flip(moon);  // facing -x (the file frame)
    // Out along +x, then up and round to its place; it still faces the middle.
    mesh_translate(moon, distance, 0, 0);
    mesh_rotate_y(moon, -elevation);
    mesh_rotate_z(moon, azimuth);
    return placed(moon, {MIDDLE_X, GROUND_Y, MIDDLE_Z});
}

// The distant hills: a band all round with a crest that rises and falls, seen from inside.
MeshData make_hills_band() {
    const int segments = 72;
    MeshData hills;
    for (int s = 0; s <= segments; s++) {
        float a = 2 * PI * s / segments;
        float crest = 150 + 110 * (fractal_noise(s * 0.09f, 0.5f, 4, 0.5f, int(segments * 0.09f + 0.5f), 981) * 0.5f + 0.5f);
        Vec3 foot = {MIDDLE_FILE.x + HILLS_RADIUS * std::cos(a), MIDDLE_FILE.y + HILLS_RADIUS * std::sin(a), -40};
        mesh_add_vertex(hills, foot, float(s) / segments * 6, 1.0f);
        mesh_add_vertex(hills, {foot.x, foot.y, GROUND_Y + crest}, float(s) / segments * 6, 0.0f);
    }
    for (int b = 0; b < 2 * segments; b += 2)
        hills.triangles.insert(hills.triangles.end(), {{b, b + 3, b + 2}, {b, b + 1, b + 3}});
    return hills;
}

// A fir: a thin trunk and `tiers` drooping cones, each narrower than the one below.
MeshData make_fir(float height, int tiers, int segments) {
    std::vector<Point2> profile = {{height * 0.03f, 0}, {height * 0.03f, height * 0.12f}};
    for (int t = 0; t < tiers; t++) {
        float base = height * (0.12f + 0.8f * t / tiers), top = height * (0.12f + 0.8f * (t + 1) / tiers);
        float width = height * 0.28f * (1 - 0.55f * t / tiers);
        profile.push_back({width, base});
        profile.push_back({width * 0.25f, top * 0.98f + base * 0.02f});
    }
    profile.push_back({0, height});
    MeshData fir = mesh_lathe(profile, segments);
    mesh_map_cylindrical(fir, 2, 1.0f / height);
    return fir;
}

// A belt of firs between two distances from the middle.
MeshData make_fir_belt(int count, float near, float far, float low, float high, int tiers, int segments, uint32_t seed) {
    MeshData belt;
    for (int i = 0; i < count; i++) {
        float a = 2 * PI * (i + 0.6f * hash_unit(i, 1, seed)) / count;
        float d = near + (far - near) * hash_unit(i, 2, seed);
        MeshData fir = make_fir(low + (high - low) * hash_unit(i, 3, seed), tiers, segments);
        mesh_rotate_z(fir, a);
        Vec3 at = {MIDDLE_X + d * std::cos(a), 0, MIDDLE_Z + d * std::sin(a)};
        Vec3 f = to_file(at);
        at.y = ground_height(f.x, f.y) - 6;  // lowest where the slope runs under the trunk
        mesh_append(belt, placed(fir, at));
    }
    return belt;
}

// A standing stone: a tapered slab, rough at the edges.
MeshData make_standing_stone(float height, float width, uint32_t seed) {
    MeshData stone = mesh_box(width, width * 0.5f, height);
    for (MeshVertex &v : stone.vertices) {
        float up = v.z / height + 0.5f;
        float taper = 1 - 0.3f * up;
        v.x *= taper, v.y *= taper;
        v.x += (fractal_noise(v.y * 0.2f, v.z * 0.1f, 2, 0.5f, 0, seed) * 0.15f) * width;
        v.z += height / 2 + (up > 0.5f ? (hash_unit(int(v.x), int(v.y), seed) - 0.5f) * height * 0.1f : 0);
    }
    mesh_map_box(stone, 1.0f / 40);
    return stone;
}

// The altar: a low round stone under the warp.
MeshData make_altar() {
    MeshData altar = mesh_cylinder(24, 9, 14, 1, true);
    mesh_map_box(altar, 1.0f / 40);
    return placed(altar, {ALTAR_X, GROUND_Y - 1, ALTAR_Z});
}

// The ring of stones around the altar, open towards the three fathers.
MeshData make_stone_ring() {
    MeshData ring;
    for (int i = 0; i < 6; i++) {
        float a = 2 * PI * (i + 0.5f) / 6 + 0.2f;
        float height = 40 + 22 * hash_unit(i, 1, 991), width = 16 + 6 * hash_unit(i, 2, 991);
        MeshData stone = make_standing_stone(height, width, 992 + i);
        mesh_rotate_z(stone, a + PI / 2);
        mesh_append(ring, placed(stone, {ALTAR_X + 62 * std::cos(a), GROUND_Y - 2, ALTAR_Z + 62 * std::sin(a)}));
    }
    return ring;
}

// The lumps of a boulder's surface.
float rock_bumps(float x, float y, float z, void *context) {
    uint32_t seed = *static_cast<uint32_t *>(context);
    return fractal_noise(x * 0.08f + z * 0.05f, y * 0.08f - z * 0.03f, 3, 0.5f, 0, seed);
}

// Boulders in the grass, away from where the fathers stand and the balls fly low.
MeshData make_rocks() {
    static const float spots[][3] = {{-330, -60, 14}, {90, 120, 10}, {-240, 300, 12}, {60, -140, 16}, {-40, 380, 9}};
    MeshData rocks;
    uint32_t seed = 1001;
    for (const auto &s : spots) {
        MeshData rock = mesh_sphere(s[2], 10, 6);
        mesh_displace(rock, rock_bumps, &seed, s[2] * 0.35f);
        mesh_scale(rock, 1.4f, 1.0f, 0.6f);
        mesh_rotate_z(rock, hash_unit(int(s[0]), int(s[1]), seed));
        mesh_map_box(rock, 1.0f / 40);
        mesh_append(rocks, placed(rock, {s[0], GROUND_Y + s[2] * 0.25f, s[1]}));
        seed++;
    }
    return rocks;
}

// --- paths and camera -------------------------------------------------------------------

// A point of a path at a second of the show, in the part's frame.
struct PathPoint {
    float t;
    Vec3 p;
};

// Position keys every `step` frames through the points (a smooth Hermite curve whose tangents
// follow the neighbours), first key at frame 0, last at the last point, in the file frame.
std::vector<Key3ds> path_keys(const std::vector<PathPoint> &points, int step) {
    std::vector<Key3ds> keys;
    int last = int(frame_at(points.back().t));
    auto tangent = [&](size_t i) {
        size_t a = i > 0 ? i - 1 : i, b = i + 1 < points.size() ? i + 1 : i;
        return (points[b].p - points[a].p) / (points[b].t - points[a].t);
    };
    for (int frame = 0;; frame = std::min(frame + step, last)) {
        float t = float(frame) / FRAMES_PER_SECOND;
        size_t i = 0;
        while (i + 2 < points.size() && points[i + 1].t <= t) i++;
        float h = points[i + 1].t - points[i].t, s = std::clamp((t - points[i].t) / h, 0.0f, 1.0f);
        float h00 = 2 * s * s * s - 3 * s * s + 1, h10 = s * s * s - 2 * s * s + s, h01 = -2 * s * s * s + 3 * s * s,
              h11 = s * s * s - s * s;
        Vec3 p = points[i].p * h00 + tangent(i) * (h10 * h) + points[i + 1].p * h01 + tangent(i + 1) * (h11 * h);
        keys.push_back(key3ds_point(uint32_t(frame), to_file(p)));
        if (frame == last) break;
    }
    return keys;
}

// The ball of light: from beside the first father it wanders past the second and the third,
// comes to the warp as it opens, rises and sinks in it while it gathers its lights, then
// drifts out towards the red ball, where it gives its sparks away.
const std::vector<PathPoint> ball_path = {
    {0, {-60, 75, 195}},    {4, {-175, 85, 165}},  {8, {-245, 80, 55}},   {12, {-150, 100, 10}},
    {16, {-10, 85, 40}},    {19, {-55, 115, 95}},  {22, {-120, 140, 78}}, {27, {-120, 168, 78}},
    {32, {-120, 158, 78}},  {36, {-100, 140, 90}}, {41, {-75, 132, 115}}, {47, {-70, 128, 120}},
};

// The red ball: it hovers high over the meadow beyond the third father, draws nearer while the warp
// is open, waits for the sparks, then comes into the middle, where it swallows the scene.
const std::vector<PathPoint> red_path = {
    {0, {50, 160, -40}},   {10, {85, 165, 5}},    {20, {150, 160, 40}},  {30, {140, 170, 70}},
    {40, {80, 150, 120}},  {46, {65, 150, 135}},  {50, {50, 155, 140}},  {57, {0, 150, 130}},
    {62, {-20, 145, 125}}, {68, {-30, 145, 120}},
};

// The camera before the spider (its pitch corrected on the way): a slow arc round the
// meadow from the south-east, following the ball.
const std::vector<Shot> first_shots = {
    {0, {150, 105, 360}, {-90, 72, 130}},   {4, {100, 102, 390}, {-110, 74, 110}},
    {8, {40, 100, 400}, {-140, 74, 80}},    {12, {-20, 98, 400}, {-110, 76, 50}},
    {16, {-60, 98, 390}, {-70, 80, 50}},    {20, {-90, 100, 370}, {-90, 95, 70}},
};

// After it: close to the warp while it is open, back to see both balls while the sparks
// fly, in to the red ball as it swells, and back again while it swallows the night.
const std::vector<Shot> second_shots = {
    {20, {110, 95, 300}, {-110, 125, 80}},  {24, {80, 92, 290}, {-120, 150, 78}},
    {28, {40, 95, 285}, {-120, 165, 78}},   {32, {0, 100, 290}, {-115, 158, 85}},
    {36, {50, 112, 410}, {-20, 140, 110}},  {40, {45, 115, 420}, {0, 140, 118}},
    {44, {35, 118, 440}, {5, 142, 120}},    {48, {20, 120, 420}, {20, 145, 130}},
    {52, {-20, 120, 390}, {30, 150, 135}},  {56, {-60, 118, 380}, {0, 150, 130}},
    {60, {-90, 120, 410}, {-20, 145, 125}}, {64, {-110, 122, 440}, {-30, 145, 120}},
    {68, {-120, 124, 460}, {-30, 145, 120}},
};

}  // namespace

// Write "lightball.3ds" and its pictures ("warp.bmp" comes with the warp pass).
void generate_part9(ContentSink &sink) {
    Scene3ds scene;
    add_scene_pictures(sink, scene, {{"night_sky.bmp", make_sky, "sky"}, {"night_moon.bmp", make_moon, "moon"},
                                     {"night_hills.bmp", make_hills, "hills"}, {"night_fir.bmp", make_fir, "fir"},
                                     {"night_meadow.bmp", make_meadow, "meadow"}, {"night_stone.bmp", make_stone, "stone"}});
    // The night first: the part pulls the scene into the red ball from its last vertex back,
    // so the sky goes last.
    add_mesh(scene, make_sky_dome(), NIGHT_MESHES[0], "sky");
    add_mesh(scene, make_moon_disc(), NIGHT_MESHES[1], "moon");
    add_mesh(scene, make_hills_band(), NIGHT_MESHES[2], "hills");
    add_mesh(scene, make_fir_belt(30, 820, 1150, 140, 230, 3, 5, 1011), NIGHT_MESHES[3], "fir");
    add_mesh(scene, make_fir_belt(11, 480, 650, 110, 160, 4, 7, 1012), NIGHT_MESHES[4], "fir");
    add_mesh(scene, make_ground(), "meadow", "meadow");
    add_mesh(scene, make_altar(), "altar", "stone");
    add_mesh(scene, make_stone_ring(), "stones", "stone");
    add_mesh(scene, make_rocks(), "rocks", "stone");
    // Light 0: a cold light hanging over the altar; the fathers face it.
    scene.lights.push_back(point_light("altarlight", to_file({ALTAR_X, 75, ALTAR_Z}), colour(0.6f, 0.8f, 1.0f)));
    // The camera record stands at the first shot, looking straight at its point.
    scene.cameras.push_back(shot_camera("night01", first_shots[0], AIM_AT_LOOK, 65));
    // Two camera nodes: the second one's keys follow the first's, a cut at 20 s.
    scene.camera_nodes.push_back(shot_node("night01", first_shots, AIM_PITCH_CORRECTED, 65));
    scene.camera_nodes.push_back(shot_node("night02", second_shots, AIM_PITCH_CORRECTED, 65, CUT_FRAME));
    // The two paths come first: the part finds them at the head of the key table.
    scene.object_nodes.push_back(dummy_node("ballpath", path_keys(ball_path, 5)));
    scene.object_nodes.push_back(dummy_node("redpath", path_keys(red_path, 5)));
    static_assert(SHOW_FRAMES <= end_frame(LIGHT_BALL_SCENE), "the show's 68 s fit the file's frames");
    write_scene(sink, scene, LIGHT_BALL_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 9, generate_part9);
