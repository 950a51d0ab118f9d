// part4_content.cpp: the warp pass's world "warppass.3ds": a closed, dark metal corridor
// that runs straight from its end wall down past the beam-in point, steps down, bends left
// and runs on into the fog; two glowing pills beside the beam-in point, the cutter disc on
// the end wall, a web hanging where the character stops, seven lit wall panels "Wand01" to
// "Wand07", light 0 above the beam-in point and a 35-second camera track. Plus "warp.bmp",
// the streaking light of the warp tube (drawn additively, so it lies on black).
//
// Everything is laid out in the renderer's frame (y up) around the coordinates the warp
// pass fixes in code, then turned into the file's z-up frame on the way out.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "kit_scene.h"

namespace {

// The corridor's cross-section: half width, chamfer start and ceiling height.
const float HALF_WIDTH = 70, CHAMFER_Y = 95, CEILING_Y = 120, CHAMFER_IN = 20;
// Units per texture repeat on the corridor's surfaces.
const float TILE = 64;

// Floor height along the straight part: level to z = 0, up to 2 at z = -60, down to -5 at
// z = -80 (the step the character walks down), -5 from there on.
float floor_height(float z) {
    if (z >= 0) return 0;
    if (z >= -60) return 2 * (-z / 60);
    if (z >= -80) return 2 - 7 * ((-60 - z) / 20);
    return -5;
}

// One ring of the corridor: its centre on the floor line, unit tangent (towards the far
// end), unit lateral (to the right of the tangent), distance along the path, floor height.
struct Ring {
    Vec3 centre, tangent, lateral;
    float distance, floor;
};

// The centre line: straight along -z at x = 10 from the end wall to z = -90 (rings at the
// step's corners), then a smooth left bend through the character's path to the far end.
std::vector<Ring> corridor_rings() {
    std::vector<Vec3> points;
    const float straight[] = {150, 125, 100, 75, 50, 25, 0, -20, -40, -60, -70, -80, -90};
    for (float z : straight) points.push_back({10, 0, z});
    const float bend[][2] = {{10, -90}, {-20, -150}, {-70, -210}, {-95, -300}, {-115, -400}, {-170, -500}, {-260, -580}, {-340, -625}};
    const int bend_count = sizeof bend / sizeof bend[0];
    // Catmull-Rom through the bend's points, the straight line's direction leading in.
    auto control = [&](int i) -> Vec3 {
        if (i < 0) return {10, 0, -60};
        if (i >= bend_count) return {2 * bend[bend_count - 1][0] - bend[bend_count - 2][0], 0, 2 * bend[bend_count - 1][1] - bend[bend_count - 2][1]};
        return {bend[i][0], 0, bend[i][1]};
    };
    for (int i = 0; i + 1 < bend_count; i++) {
        Vec3 p0 = control(i - 1), p1 = control(i), p2 = control(i + 1), p3 = control(i + 2);
        const int steps = 6;
        for (int s = 1; s <= steps; s++) {
            float t = float(s) / steps, t2 = t * t, t3 = t2 * t;
            Vec3 p = (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) * 0.5f;
            points.push_back(p);
        }
    }
    std::vector<Ring> rings;
    float distance = 0;
    for (size_t i = 0; i < points.size(); i++) {
        Vec3 ahead = points[std::min(i + 1, points.size() - 1)], behind = points[i > 0 ? i - 1 : 0];
        Vec3 tangent = normalize(ahead - behind);
        if (i > 0) distance += length(points[i] - points[i - 1]);
        float floor = floor_height(points[i].z);
        rings.push_back({{points[i].x, floor, points[i].z}, tangent, normalize(cross(tangent, UNIT_Y)), distance, floor});
    }
    return rings;
}

// A point of a ring's cross-section: `side` across (negative left), `height` absolute.
Vec3 ring_point(const Ring &r, float side, float height) {
    Vec3 p = r.centre + r.lateral * side;
    p.y = height;
    return p;
}

// A strip swept along the rings through the cross-section points (side, height above the
// floor or absolute), facing the corridor's inside. u runs across, v along the path.
struct SectionPoint {
    float side, height;
    bool above_floor;  // height measured from the ring's floor
};
MeshData sweep(const std::vector<Ring> &rings, const std::vector<SectionPoint> &section) {
    MeshData mesh;
    int across = int(section.size());
    for (const Ring &r : rings) {
        float u = 0;
        Vec3 last{};
        for (int k = 0; k < across; k++) {
            const SectionPoint &s = section[k];
            Vec3 p = ring_point(r, s.side, s.above_floor ? r.floor + s.height : s.height);
            if (k > 0) u += length(p - last);
            last = p;
            mesh_add_vertex(mesh, p, u / TILE, r.distance / TILE);
        }
    }
    for (size_t i = 0; i + 1 < rings.size(); i++) {
        Vec3 inside = ring_point(rings[i], 0, rings[i].floor + 60);
        for (int k = 0; k + 1 < across; k++) {
            int a = int(i) * across + k, b = a + 1, c = a + across, d = c + 1;
            mesh_add_facing_point(mesh, a, b, d, inside);
            mesh_add_facing_point(mesh, a, d, c, inside);
        }
    }
    return mesh;
}

// The outline of the cross-section, counter-clockwise seen from the far end.
std::vector<Point2> section_outline(float floor) {
    return {{-HALF_WIDTH, floor}, {HALF_WIDTH, floor}, {HALF_WIDTH, CHAMFER_Y}, {HALF_WIDTH - CHAMFER_IN, CEILING_Y},
            {-HALF_WIDTH + CHAMFER_IN, CEILING_Y}, {-HALF_WIDTH, CHAMFER_Y}};
}

// An end wall closing the corridor at a ring, facing along `towards`.
void add_end_wall(MeshData &mesh, const Ring &r, Vec3 towards) {
    std::vector<Point2> outline = section_outline(r.floor);
    int first = int(mesh.vertices.size());
    for (const Point2 &p : outline) mesh_add_vertex(mesh, ring_point(r, p.x, p.y), (p.x + HALF_WIDTH) / TILE, p.y / TILE);
    Vec3 inside = r.centre + towards * 50;
    inside.y = 60;
    for (const MeshTriangle &t : triangulate_polygon(outline))
        mesh_add_facing_point(mesh, first + t.a, first + t.b, first + t.c, inside);
}

// Map a mesh built in local axes (x along `along`, y along `out` = up x along, z up) onto
// the world at `origin`. The axes form a right-handed frame, so windings are kept.
void place(MeshData &mesh, Vec3 origin, Vec3 along) {
    mesh_on_axes(mesh, origin, along, cross(UNIT_Y, along), UNIT_Y);
}

// Riveted steel plates, rusted towards red, with grime running down; tiles both ways.
Picture make_wall() {
    return picture_repainted(picture_metal(256, colour(0.42f, 0.30f, 0.27f), 401), [](int x, int y, float u, float v, Colour c) {
        float rust = smooth_step(0.1f, 0.6f, fractal_noise(u * 4, v * 4, 5, 0.55f, 4, 402) * 0.5f + 0.5f);
        c = colour_mix(c, colour(0.38f, 0.16f, 0.10f), rust * 0.7f);
        float streak = fractal_noise(u * 24, v * 2, 3, 0.5f, 24, 403) * 0.5f + 0.5f;
        c = colour_scale(c, 0.8f + 0.3f * streak);
        // Plates of 128 x 64 pixels: dark seams, a lit upper lip, rivets along the seams.
        int px = x % 128, py = y % 64;
        if (px < 2 || py < 2) c = colour_scale(c, 0.35f);
        else if (py < 4) c = colour_scale(c, 1.25f);
        for (int r = 0; r < 8; r++) {
            float rx = 8 + r * 16.0f, ry = 8;
            float d = std::hypot(px + 0.5f - rx, py + 0.5f - ry);
            if (d < 3) c = colour_scale(colour(0.62f, 0.5f, 0.45f), 1.1f - d / 4);
        }
        return c;
    });
}

// Floor grating: dark bars over a deeper, reddish pit; tiles both ways.
Picture make_floor() {
    const int size = 256;
    Picture metal = picture_metal(size, colour(0.36f, 0.32f, 0.30f), 411);
    return picture_painted(size, size, [&](int x, int y, float u, float v) {
        int gx = x % 32, gy = y % 16;
        bool bar = gx < 6 || gy < 4;
        float dirt = fractal_noise(u * 6, v * 6, 4, 0.5f, 6, 412) * 0.5f + 0.5f;
        Colour c;
        if (bar) {
            c = colour_scale(picture_get(metal, x, y), 0.8f + 0.4f * dirt);
            if (gx == 0 || gy == 0) c = colour_scale(c, 1.3f);
        } else {
            c = colour_mix(colour(0.03f, 0.01f, 0.01f), colour(0.22f, 0.06f, 0.04f), dirt * dirt);
        }
        return c;
    });
}

// Ceiling: dark panels crossed by two pipes running along the corridor.
Picture make_ceiling() {
    return picture_repainted(picture_metal(256, colour(0.24f, 0.20f, 0.20f), 421), [](int x, int y, float, float, Colour c) {
        if (y % 128 < 2) c = colour_scale(c, 0.4f);
        for (int pipe = 0; pipe < 2; pipe++) {
            float centre = 70 + pipe * 110, radius = 14 - pipe * 4;
            float d = (x + 0.5f - centre) / radius;
            if (std::fabs(d) < 1) {
                float shade = std::sqrt(1 - d * d);
                Colour tube = colour_scale(colour(0.45f, 0.36f, 0.30f), 0.3f + 0.8f * shade * shade);
                if (y % 64 < 5) tube = colour_scale(tube, 0.6f);  // collars
                c = tube;
            } else if (std::fabs(d) < 1.25f) {
                c = colour_scale(c, 0.5f);
            }
        }
        return c;
    });
}

// A lit wall panel: warm light behind a grille of slats, in a dark frame.
Picture make_panel() {
    return picture_painted(256, 256, [](int, int y, float u, float v) {
        float frame = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        Colour c;
        if (frame < 0.06f) {
            c = colour(0.16f, 0.12f, 0.11f);
        } else {
            float glow = 1 - 0.6f * std::pow(std::fabs(v - 0.5f) * 2, 2.0f);
            float flicker = fractal_noise(u * 3, v * 3, 3, 0.5f, 0, 431) * 0.15f;
            c = colour_scale(colour(1.0f, 0.62f, 0.30f), glow + flicker);
            if (y % 24 < 8) c = colour_scale(colour(0.2f, 0.13f, 0.1f), 0.8f + glow * 0.4f);  // slats
        }
        return c;
    });
}

// Web strands: threads fanning out from the top corners with cross threads, pale on a dim
// grey-red veil (the web is drawn at 40 % opacity).
Picture make_web() {
    const int size = 256;
    Picture p(size, size);
    picture_fill(p, colour(0.16f, 0.12f, 0.12f));
    for (int k = 0; k < 14; k++) {
        float a = (0.08f + k * 0.06f) * PI;
        picture_draw_line(p, 0, 0, std::cos(a) * 400, std::sin(a) * 400, 1.5f, colour(0.85f, 0.82f, 0.8f), 0.9f);
        picture_draw_line(p, size, 0, size - std::cos(a) * 400, std::sin(a) * 400, 1.2f, colour(0.8f, 0.78f, 0.76f), 0.8f);
    }
    for (int r = 1; r < 10; r++) {
        float radius = r * 30.0f;
        for (int s = 0; s < 12; s++) {
            float a0 = s * PI / 24, a1 = (s + 1) * PI / 24;
            picture_draw_line(p, std::cos(a0) * radius, std::sin(a0) * radius, std::cos(a1) * radius, std::sin(a1) * radius, 1.0f,
                              colour(0.75f, 0.72f, 0.7f), 0.7f);
        }
    }
    return p;
}

// The warp: streaks of light running along the tube (v), brighter in travelling bands, on
// black so that it adds. Pale blue-white with a warm fringe; tiles both ways.
Picture make_warp() {
    return picture_painted(256, 256, [](int x, int, float u, float v) {
        float streaks = fractal_noise(u * 32, v * 1, 3, 0.5f, 32, 441) * 0.5f + 0.5f;
        streaks = std::pow(smooth_step(0.35f, 1.0f, streaks), 1.5f);
        float fine = std::pow(hash_unit(x, 0, 442), 8.0f) * 0.8f;
        float bands = 0.5f + 0.5f * std::sin((v * 4 + 0.3f * std::sin(u * 2 * PI)) * 2 * PI);
        float k = std::clamp((streaks + fine) * (0.35f + 0.9f * bands * bands), 0.0f, 1.2f);
        return colour_add(colour_scale(colour(0.55f, 0.75f, 1.0f), k), colour_scale(colour(1.0f, 0.5f, 0.3f), k * k * 0.25f));
    });
}

// ---- the scene ----

// The corridor: floor, walls and ceiling swept along the rings, closed at both ends.
void add_corridor(Scene3ds &scene, const std::vector<Ring> &rings) {
    const float W = HALF_WIDTH;
    add_show_mesh(scene, sweep(rings, {{-W, 0, true}, {-W / 2, 0, true}, {0, 0, true}, {W / 2, 0, true}, {W, 0, true}}),
                  "floor", "floor");
    MeshData walls = sweep(rings, {{-W, CHAMFER_Y, false}, {-W, 50, false}, {-W, 0, true}});
    mesh_append(walls, sweep(rings, {{W, 0, true}, {W, 50, false}, {W, CHAMFER_Y, false}}));
    add_end_wall(walls, rings.front(), rings.front().tangent);
    add_end_wall(walls, rings.back(), rings.back().tangent * -1);
    add_show_mesh(scene, walls, "walls", "wall");
    add_show_mesh(scene, sweep(rings, {{-W, CHAMFER_Y, false}, {-W + CHAMFER_IN, CEILING_Y, false}, {0, CEILING_Y, false},
                                      {W - CHAMFER_IN, CEILING_Y, false}, {W, CHAMFER_Y, false}}),
                  "ceiling", "ceiling");
}

// Seven lit panels "Wand01".."Wand07" on the walls, alternating sides, from the beam-in
// point to the far end.
void add_wall_panels(Scene3ds &scene, const std::vector<Ring> &rings) {
    const int panel_rings[7] = {3, 9, 15, 20, 26, 33, 41};
    for (int i = 0; i < 7; i++) {
        const Ring &r = rings[std::min(panel_rings[i], int(rings.size()) - 2)];
        float side = i % 2 ? -1.0f : 1.0f;
        MeshData panel = mesh_box(34, 2, 44);
        Vec3 at = r.centre + r.lateral * (side * (HALF_WIDTH - 1));
        at.y = r.floor + 48;
        place(panel, at, r.tangent);
        char name[16];
        snprintf(name, sizeof name, WARP_WALL_PANEL_NAME, i + 1);
        add_show_mesh(scene, panel, name, "panel");
    }
}

// Two pills standing upright on either side of the beam-in point.
void add_pills(Scene3ds &scene) {
    const std::vector<Point2> capsule = {{0, 0}, {3.6f, 0.9f}, {6.2f, 3.2f}, {7, 7}, {7, 45}, {6.2f, 48.8f}, {3.6f, 51.1f}, {0, 52}};
    const Vec3 pill_at[2] = {{-44, 14, 30}, {64, 14, 30}};
    for (int i = 0; i < 2; i++) {
        MeshData mesh = mesh_lathe(capsule, 16);
        place(mesh, pill_at[i], UNIT_X);
        add_show_mesh(scene, mesh, WARP_PILLS[i], "pill");
    }
}

// The cutter: a disc on the end wall behind the beam-in point, the tube's axis through it.
void add_cutter(Scene3ds &scene, const Ring &end) {
    MeshData disc;
    Vec3 centre{10, 50, end.centre.z - 1.5f};
    mesh_add_vertex(disc, centre, 0.5f, 0.5f);
    const int segments = 32;
    const float radius = 42;
    for (int s = 0; s < segments; s++) {
        float a = s * 2 * PI / segments, cos_a = std::cos(a), sin_a = std::sin(a);
        mesh_add_vertex(disc, centre + Vec3{cos_a * radius, sin_a * radius, 0}, 0.5f + 0.5f * cos_a, 0.5f - 0.5f * sin_a);
    }
    for (int s = 0; s < segments; s++) mesh_add_facing_point(disc, 0, 1 + s, 1 + (s + 1) % segments, centre + Vec3{0, 0, -10});
    add_show_mesh(scene, disc, CUTTER_MESH, "cutter");
}

// The web: a veil hung from two ceiling anchors and a floor anchor just beyond the spot
// where the character stops; vertices 1 and 2 are the ones the warp pass swings.
void add_web(Scene3ds &scene) {
    MeshData web;
    const float z = -335;
    const float points[5][5] = {{-128, 118, z, 0, 0}, {-119, 63, z, 0.25f, 0.45f}, {-119, 0, z, 0.2f, 0.95f},
                                {-96, 118, z, 0.8f, 0}, {-138, -5, z, 0, 1}};
    for (const auto &q : points) mesh_add_vertex(web, {q[0], q[1], q[2]}, q[3], q[4]);
    const int faces[3][3] = {{0, 1, 3}, {0, 4, 1}, {1, 4, 2}};  // each seen from both sides
    for (const auto &f : faces) web.triangles.insert(web.triangles.end(), {{f[0], f[1], f[2]}, {f[0], f[2], f[1]}});
    add_show_mesh(scene, web, WEB_MESH, "web");
}

// The camera, always inside the corridor: drawing back from the end wall while the tube
// opens and the dust gathers, on the beam-in, back before the walk, ahead of the
// character round the bend, beside the web while he stops, then watching him walk on. The
// track runs 35 s, past the file's playing time of 10 s.
const std::vector<Shot> SHOTS = {
    {0, {14, 64, -30}, {10, 48, 90}},       {3.5f, {20, 58, -62}, {10, 45, 70}},
    {6.5f, {28, 46, -94}, {8, 40, 50}},     {8.5f, {34, 38, -110}, {4, 34, 30}},
    {10.5f, {30, 36, -88}, {0, 32, 0}},     {13, {22, 38, -80}, {0, 30, 0}},
    {15.5f, {32, 42, -120}, {0, 28, -30}},  {17.5f, {-18, 44, -205}, {-15, 24, -110}},
    {20, {-45, 40, -292}, {-85, 22, -205}}, {23, {-52, 36, -385}, {-100, 22, -320}},
    {26, {-56, 38, -410}, {-100, 32, -322}}, {28.5f, {-52, 48, -398}, {-106, 28, -340}},
    {31.5f, {-54, 54, -408}, {-140, 22, -450}}, {35, {-88, 50, -440}, {-245, 14, -560}},
};

}  // namespace

// Write "warppass.3ds" with its pictures, and "warp.bmp".
void generate_part4(ContentSink &sink) {
    Scene3ds scene;
    add_scene_pictures(sink, scene, {{"gang_wall.bmp", make_wall, "wall"}, {"gang_floor.bmp", make_floor, "floor"},
                                     {"gang_ceiling.bmp", make_ceiling, "ceiling"}, {"gang_panel.bmp", make_panel, "panel"},
                                     {"gang_web.bmp", make_web, "web"}, {"warp.bmp", make_warp}});
    // The pills are untextured and brighter than white: lit at all, they glow.
    Material3ds &pill = scene.add_material("pill", "");
    pill.diffuse[0] = 1.4f, pill.diffuse[1] = 2.6f, pill.diffuse[2] = 2.4f;
    scene.add_material("cutter", "cutter.bmp");

    std::vector<Ring> rings = corridor_rings();
    add_corridor(scene, rings);
    add_wall_panels(scene, rings);
    add_pills(scene);
    add_cutter(scene, rings.front());
    add_web(scene);
    // Light 0: warm, above and in front of the beam-in point.
    scene.lights.push_back(point_light("corridor", {10, -40, 100}, colour(1.0f, 0.78f, 0.62f)));
    add_shot_camera(scene, "camera01", SHOTS, AIM_PITCH_CORRECTED, 40, 62);
    write_scene(sink, scene, WARP_PASS_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 4, generate_part4);
