// part6_content.cpp: the greetings' cellar "greez.3ds": a slide projector on a table throws
// its picture through a visible beam onto a hovering blob and the stone wall behind it;
// plus the five greeting slides "greez1.bmp".."greez5.bmp", the rough "stonewal.bmp" and
// the cellar's floor, ceiling and projector pictures.
//
// The part fixes the layout (renderer frame, y up): the blob is a ball of radius 100 around
// (0, 0, 200) that it rebuilds around (0, 0, 250); the wall is the plane z = 0 facing +z;
// the projector (light 0) stands on the +z side at y = 0. Geometry is built here in the
// show's frame and turned into the file's z-up frame on the way out.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "kit_scene.h"

namespace {

// The cellar (show frame): the stone wall at z = 0, the back wall at z = BACK_Z.
const float ROOM_X = 520, FLOOR_Y = -380, CEILING_Y = 400, BACK_Z = 1250, ROOM_HEIGHT = CEILING_Y - FLOOR_Y;
// The projector's lens, where light 0 stands.
const float LENS_Z = 750;
// Where the beam meets the wall: inside the picture's area on the wall (the part maps the
// picture across the beam from x -250..250 and y -300..100).
const float BEAM_X0 = -230, BEAM_X1 = 230, BEAM_Y0 = -290, BEAM_Y1 = 90;
// The beam leaves the lens as a small copy of its wall end.
const float APERTURE = 0.06f;

// Stone mapped as the part maps the blob's shadow on the wall, so the two match.
void map_front_stone(MeshVertex &v) { v.u = (v.x + 300) / 500, v.v = -(v.y + 200) / 400; }
// The side and back walls, the floor and the ceiling, mapped from where their vertices lie.
void map_side_stone(MeshVertex &v) { v.u = v.z / 500, v.v = -v.y / 400; }
void map_back_stone(MeshVertex &v) { v.u = -v.x / 500, v.v = -v.y / 400; }
void map_floor(MeshVertex &v) { v.u = v.x / 400, v.v = v.z / 400; }
void map_ceiling(MeshVertex &v) { v.u = v.x / 260, v.v = v.z / 520; }

// Add a panel of the cellar seen from inside: a grid from `origin` along du and dv (show
// frame), facing du x dv, mapped by `map` from where its vertices lie.
void add_room_panel(Scene3ds &scene, const char *name, const char *material, Vec3 origin, Vec3 du, Vec3 dv, int nu,
                    int nv, void (*map)(MeshVertex &)) {
    MeshData mesh = mesh_panel_grid(origin, du, dv, nu, nv);
    for (MeshVertex &v : mesh.vertices) map(v);
    add_show_mesh(scene, mesh, name, material);
}

// The beam: its first half of vertices at the wall end, spread over the picture, the second
// half at the lens in the same order. A hollow frustum along the picture's border and
// two sheets each way across it; every face is doubled back to back so it shows from both sides.
MeshData make_beam() {
    // Lines across the wall end: the border counter-clockwise, one line per side (corners
    // repeated so each side maps alone), then the sheets.
    const Point2 corners[4] = {{BEAM_X0, BEAM_Y0}, {BEAM_X1, BEAM_Y0}, {BEAM_X1, BEAM_Y1}, {BEAM_X0, BEAM_Y1}};
    std::vector<std::array<Point2, 2>> lines;
    for (int k = 0; k < 4; k++) lines.push_back({corners[k], corners[(k + 1) % 4]});
    for (int k = 1; k <= 2; k++) {
        float y = BEAM_Y0 + (BEAM_Y1 - BEAM_Y0) * k / 3, x = BEAM_X0 + (BEAM_X1 - BEAM_X0) * k / 3;
        lines.push_back({Point2{BEAM_X0, y}, Point2{BEAM_X1, y}});
        lines.push_back({Point2{x, BEAM_Y0}, Point2{x, BEAM_Y1}});
    }
    const int steps = 6, half = int(lines.size()) * (steps + 1);
    const float cy = (BEAM_Y0 + BEAM_Y1) / 2;
    MeshData mesh;
    for (int at_lens = 0; at_lens < 2; at_lens++)
        for (const auto &[from, to] : lines)
            for (int i = 0; i <= steps; i++) {
                float x = from.x + (to.x - from.x) * i / steps, y = from.y + (to.y - from.y) * i / steps;
                Vec3 p = at_lens ? Vec3{x * APERTURE, (y - cy) * APERTURE, LENS_Z - 2} : Vec3{x, y, 2};
                mesh_add_vertex(mesh, p, 0, 0);
            }
    // A face pair both ways between neighbours on a line and their copies at the lens.
    for (int a = 0; a + 1 < half; a++) {
        if (a % (steps + 1) == steps) continue;
        int b = a + 1, c = b + half, d = a + half;
        mesh.triangles.insert(mesh.triangles.end(), {{a, b, c}, {a, c, d}, {a, c, b}, {a, d, c}});
    }
    return mesh;
}

// The slide projector (file frame): a body behind the lens and two reels on top.
MeshData make_projector() {
    MeshData projector = mesh_box(110, 150, 84);  // builder frame: x, y (depth), z (height)
    mesh_map_box(projector, 1.0f / 120);
    mesh_translate(projector, 0, -(LENS_Z + 32 + 75), 0);  // file frame: depth is -y
    for (int r = 0; r < 2; r++) {
        MeshData reel = mesh_cylinder(44, 12, 10, 1, true);
        mesh_map_planar(reel, 0, 1.0f / 90, 1.0f / 90);
        mesh_translate(reel, 0, 0, -6);
        mesh_rotate_y(reel, PI / 2);  // axis along x
        mesh_append(projector, mesh_moved(reel, {0, -(LENS_Z + 60 + 80 * r), 42 + 44}));
    }
    return projector;
}

// The projector's lens, its axis pointing at the wall (file frame).
MeshData make_lens() {
    MeshData lens = mesh_cylinder(24, 34, 10, 1, true);
    mesh_map_cylindrical(lens, 1, 1.0f / 34);
    mesh_rotate_x(lens, -PI / 2);  // axis along -y of the file: towards the wall
    return mesh_moved(lens, {0, -(LENS_Z + 34), 0});
}

// The table the projector stands on: a top on four legs down to the floor (file frame).
MeshData make_table() {
    const float top_y = -42, depth0 = LENS_Z - 20, depth1 = LENS_Z + 200;
    MeshData table = mesh_box(220, depth1 - depth0, 14);
    mesh_map_box(table, 1.0f / 200);
    mesh_translate(table, 0, -(depth0 + depth1) / 2, top_y - 7);
    float leg = top_y - 14 - FLOOR_Y;
    for (int i = 0; i < 4; i++) {
        MeshData l = mesh_box(14, 14, leg);
        mesh_map_box(l, 1.0f / 200);
        float x = (i & 1) ? 95 : -95, d = (i & 2) ? depth1 - 14 : depth0 + 14;
        mesh_append(table, mesh_moved(l, {x, -d, FLOOR_Y + leg / 2}));
    }
    return table;
}

// Rough stone: blue-grey blocks in mortar, the blocks broken by cracks and stains. The part
// maps it flipped upright, so nothing in it points up or down.
Picture make_stone_wall() {
    const int size = 256;
    Picture stone = picture_stone(size, colour(0.60f, 0.64f, 0.70f), 601);
    const int rows = 4, columns = 3;
    const float bh = float(size) / rows, bw = float(size) / columns;
    return picture_painted(size, size, [&](int x, int y, float u, float v) {
        // Uneven courses: edges wander with noise.
        float wy = y + fractal_noise(u * 4, v * 4, 3, 0.5f, 4, 602) * 6;
        int row = int(std::floor(wy / bh)) & (rows - 1);
        float wx = x + ((row & 1) ? bw / 2 : 0) + fractal_noise(u * 4, v * 4, 3, 0.5f, 4, 603) * 6;
        int column = int(std::floor(wx / bw));
        float lx = std::fmod(wx, bw), ly = std::fmod(wy + bh * 8, bh);
        if (lx < 0) lx += bw;
        float edge = std::min(std::min(lx, bw - lx), std::min(ly, bh - ly));
        float block = smooth_step(2.0f, 6.0f, edge);
        float tone = 0.75f + 0.4f * hash_unit(column % columns, row, 604);
        Colour c = colour_scale(picture_get(stone, x, y), tone);
        // Rounded edges darken towards the mortar.
        c = colour_scale(c, 0.7f + 0.3f * smooth_step(2.0f, 14.0f, edge));
        Colour mortar = colour_scale(colour(0.20f, 0.22f, 0.24f), 0.8f + 0.4f * hash_unit(x, y, 605));
        c = colour_mix(mortar, c, block);
        // Damp streaks of green-grey.
        float damp = smooth_step(0.5f, 0.9f, fractal_noise(u * 3, v * 1.5f, 4, 0.5f, 3, 606) * 0.5f + 0.5f);
        return colour_mix(c, colour(0.18f, 0.26f, 0.24f), damp * 0.5f);
    });
}

// Flagstones of the cellar floor.
Picture make_floor() {
    Picture grain = picture_stone(256, colour(1, 1, 1), 612);
    return picture_repainted(picture_bricks(256, 2, 2, colour(0.36f, 0.36f, 0.38f), colour(0.12f, 0.12f, 0.13f), 611),
                             [&](int x, int y, float, float, Colour c) { return colour_multiply(c, picture_get(grain, x, y)); });
}

// Dark wood for the ceiling and the table; copper-brown metal for the projector.
Picture make_wood() { return picture_wood(256, colour(0.42f, 0.30f, 0.20f), colour(0.16f, 0.10f, 0.07f), 631); }
Picture make_metal() { return picture_metal(256, colour(0.62f, 0.36f, 0.22f), 641); }

// One greeting slide: a header, a short word in the middle (it lands on the blob), and the
// greeting itself in two lines below (it lands on the wall beside the blob's shadow).
struct Slide {
    const char *header, *middle, *line1, *line2;
    float hue;
};
const Slide SLIDES[5] = {
    {"BRIXLON SAYS HELLO", "HI!", "to everyone", "at the party", 0.52f},
    {"GREETINGS GO OUT", "OWLS", "to all the night owls", "still awake", 0.62f},
    {"GREETINGS GO OUT", "DIVE", "to the kelp divers", "down in the deep", 0.47f},
    {"HATS OFF", "CODE", "to all who still write", "renderers by hand", 0.72f},
    {"AND LAST OF ALL", "HOME", "to whoever watches", "at home tonight", 0.56f},
};
const int SLIDE_SIZE = 512, SLIDE_BORDER = 14;

// A lit slide without its words: bright in the middle like a projector's lamp, darker
// towards a warm frame inside the border.
Picture slide_background(float hue) {
    const int size = SLIDE_SIZE, border = SLIDE_BORDER;
    Picture p = picture_painted(size, size, [&](int x, int y, float, float) {
        float dx = (x - size / 2.0f) / size, dy = (y - size / 2.0f) / size;
        float glow = std::exp(-(dx * dx + dy * dy) * 5);
        float ripple = fractal_noise(x / 96.0f, y / 64.0f, 4, 0.5f, 0, 621) * 0.5f + 0.5f;
        return colour_hsv(hue + (ripple - 0.5f) * 0.05f, 0.65f, 0.22f + 0.45f * glow + 0.12f * ripple);
    });
    const int far = size - border - 3, span = size - 2 * border;
    const int bars[4][4] = {{border, border, span, 3}, {border, far, span, 3},  // top and bottom
                            {border, border, 3, span}, {far, border, 3, span}};
    for (const auto &b : bars) picture_fill_rect(p, b[0], b[1], b[2], b[3], colour(1.0f, 0.72f, 0.35f), 0.8f);
    return p;
}

// Draw a slide's words centred, each shrunk until it fits, the greeting's two lines alike.
void draw_slide_words(Picture &target, const Slide &slide) {
    const std::string font = "DejaVu Sans:bold";
    const int size = SLIDE_SIZE, header_y = 30, middle_y = 198, line_y = 352;
    auto fit = [&](const char *text, int wanted, int width) {
        int px = wanted;
        while (px > 12 && text_width(text, font, px) > width) px -= 2;
        return px;
    };
    int line_px = std::min(fit(slide.line1, 54, size - 70), fit(slide.line2, 54, size - 70));
    Colour line_colour = colour_hsv(slide.hue + 0.02f, 0.15f, 1.0f);
    picture_draw_text_centered(target, slide.header, font, fit(slide.header, 46, size - 80), size / 2, header_y,
                               colour(1.0f, 0.80f, 0.45f));
    picture_draw_text_centered(target, slide.middle, font, fit(slide.middle, 104, 180), size / 2, middle_y,
                               colour(1.0f, 0.95f, 0.85f));
    picture_draw_text_centered(target, slide.line1, font, line_px, size / 2, line_y, line_colour);
    picture_draw_text_centered(target, slide.line2, font, line_px, size / 2, line_y + line_px + 10, line_colour);
}

// A slide with its words on a dark halo that keeps them clear, black at the border so the
// sliding picture leaves black behind it.
Picture make_slide(const Slide &slide) {
    Picture p = slide_background(slide.hue);
    Picture halo(SLIDE_SIZE, SLIDE_SIZE);
    draw_slide_words(halo, slide);
    picture_blur(halo, 5, 3, false);
    picture_repaint(p, [&](int x, int y, float, float, Colour c) {
        return colour_scale(c, 1 - 0.85f * std::min(1.0f, picture_get(halo, x, y).r * 1.6f));
    });
    draw_slide_words(p, slide);
    const int inside = SLIDE_BORDER - 4, outside = SLIDE_SIZE - SLIDE_BORDER + 4;
    picture_repaint(p, [&](int x, int y, float, float, Colour c) {
        return x < inside || y < inside || x >= outside || y >= outside ? colour(0, 0, 0) : c;
    });
    return p;
}

// The cellar's materials in the part's order; the blob, the beam and the lens's glass are
// untextured.
void add_materials(Scene3ds &scene) {
    const float blob[3] = {0.70f, 0.86f, 0.90f}, glass[3] = {0.10f, 0.16f, 0.20f};
    std::copy(blob, blob + 3, scene.add_material("blob", "").diffuse);
    scene.add_material("stone", "stonewal.bmp");
    scene.add_material("beam", "");
    scene.add_material("floor", "greez_floor.bmp");
    scene.add_material("wood", "greez_wood.bmp");
    scene.add_material("metal", "greez_metal.bmp");
    std::copy(glass, glass + 3, scene.add_material("glass", "").diffuse);
}

// The blob first (the part takes mesh 0 for it), its shadow, the wall, the beam and the rest
// of the cellar, all in the show's frame; then the projector, its lens and the table, built
// in the file's frame.
void add_cellar(Scene3ds &scene) {
    // The shadow: the blob's vertices in the same order, laid flat on the wall as the part does.
    MeshData blob = mesh_seamless_ball({0, 0, 200}, 100, 24, 16, LONGITUDE_FROM_Z);
    MeshData shadow = blob;
    for (MeshVertex &v : shadow.vertices) {
        v.x *= 1.7f, v.y = (v.y - 70) * 1.7f + 70, v.z = 5;
        map_front_stone(v);
    }
    add_show_mesh(scene, blob, "blob", "blob");
    add_show_mesh(scene, shadow, SHADOW_MESH, "stone");
    // The wall: one stone quad over the whole front of the cellar, exactly four vertices.
    const Vec3 across = {2 * ROOM_X, 0, 0}, up = {0, ROOM_HEIGHT, 0};
    add_room_panel(scene, WALL_MESH, "stone", {-ROOM_X, FLOOR_Y, 0}, across, up, 1, 1, map_front_stone);
    add_show_mesh(scene, make_beam(), BEAM_MESH, "beam");
    add_room_panel(scene, "leftwall", "stone", {-ROOM_X, FLOOR_Y, BACK_Z}, {0, 0, -BACK_Z}, up, 4, 3, map_side_stone);
    add_room_panel(scene, "rightwall", "stone", {ROOM_X, FLOOR_Y, 0}, {0, 0, BACK_Z}, up, 4, 3, map_side_stone);
    add_room_panel(scene, "backwall", "stone", {ROOM_X, FLOOR_Y, BACK_Z}, across * -1, up, 4, 3, map_back_stone);
    add_room_panel(scene, "floor", "floor", {-ROOM_X, FLOOR_Y, BACK_Z}, across, {0, 0, -BACK_Z}, 4, 4, map_floor);
    add_room_panel(scene, "ceiling", "wood", {-ROOM_X, CEILING_Y, 0}, across, {0, 0, BACK_Z}, 4, 3, map_ceiling);
    add_mesh(scene, make_projector(), "projector", "metal");
    add_mesh(scene, make_lens(), "lens", "glass");
    add_mesh(scene, make_table(), "table", "wood");
}

// The camera drifts slowly round the beam's right side towards the wall and back out,
// always inside the cellar.
const std::vector<Shot> SHOTS = {
    {0, {430, 110, 1180}, {-30, -60, 200}}, {8, {400, 70, 1050}, {-30, -60, 180}},
    {15, {390, 20, 600}, {-40, -50, 150}},  {22, {270, -10, 700}, {-50, -80, 100}},
    {30, {320, 100, 1120}, {-10, -60, 200}},
};

// The camera's target: 100 units from the eye towards the look point, at the stored pitch
// that makes the renderer's doubled pitch frame it.
Vec3 framing_target(Vec3 eye, Vec3 look) {
    Vec3 d = look - eye;
    float flat = std::sqrt(d.x * d.x + d.z * d.z), elevation = stored_pitch(d.y, flat);
    return {eye.x + d.x / flat * std::cos(elevation) * 100, eye.y + std::sin(elevation) * 100,
            eye.z + d.z / flat * std::cos(elevation) * 100};
}

}  // namespace

// Write "greez.3ds", the five slides, the stone wall and the cellar's pictures.
void generate_part6(ContentSink &sink) {
    for (int i = 0; i < 5; i++) add_picture(sink, "greez" + std::to_string(i + 1) + ".bmp", make_slide(SLIDES[i]));
    Scene3ds scene;
    add_scene_pictures(sink, scene, {{"stonewal.bmp", make_stone_wall}, {"greez_floor.bmp", make_floor},
                                     {"greez_wood.bmp", make_wood}, {"greez_metal.bmp", make_metal}});
    add_materials(scene);
    add_cellar(scene);
    // Light 0: the projector's lamp at the lens; light 1: a dim light high in a corner.
    scene.lights.push_back(point_light("projector", {0, -LENS_Z, 0}, colour(1.0f, 0.9f, 0.7f)));
    scene.lights.push_back(point_light("dimlight", {-380, -520, 330}, colour(0.07f, 0.08f, 0.1f)));
    std::vector<Shot> shots = SHOTS;
    for (Shot &shot : shots) shot.look = framing_target(shot.eye, shot.look);
    add_shot_camera(scene, "camera01", shots, AIM_AT_LOOK, 50, 62);
    write_scene(sink, scene, GREETINGS_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 6, generate_part6);
