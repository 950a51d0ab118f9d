// part11_content.cpp: the sofa room "sofa.3ds": a living room at night. A television with
// its picture "screen" stands on a cabinet against the back wall; the wolf stands between
// it and the sofa; a lamp ("lamp01" cord, "lamp02" shade, "lamp03" bulb) hangs from the
// ceiling to the left, with hidden rest copies "lamp04".."lamp06"; the "moon" and a night sky
// show through a window beside the television. Light 0 is the lamp's spotlight, light 1 a
// cold point light by the window. Plus the room's pictures and "tvstatic.bmp".
//
// Positions are in the file frame (z up): file (x, y, z) is (x, z, -y) where the sofa room's
// code works, so the floor is at z = -20, the wolf walks from (0, 100) to (-90, 185) and the
// lamp hangs from (-96, 235, 300).
#include <algorithm>
#include <cmath>

#include "kit_scene.h"

namespace {

const float FLOOR_Z = -20, CEILING_Z = 300;
const float ROOM_X0 = -220, ROOM_X1 = 210;  // left and right walls
const float ROOM_Y0 = -200, ROOM_Y1 = 330;  // front wall (behind the camera) and back wall
// The window in the back wall, right of the television.
const float WINDOW_X0 = 70, WINDOW_X1 = 200, WINDOW_Z0 = 100, WINDOW_Z1 = 250;
// The lamp's suspension point and the bulb's centre below it.
const float LAMP_X = -96, LAMP_Y = 235, BULB_Z = 172, BULB_RADIUS = 7;

// ---------------------------------------------------------------- pictures

float clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

// Oak floor boards: long planks across the picture, each with its own tone and grain.
Picture make_floor() {
    const int planks = 4;
    return picture_painted(256, 256, [](int, int, float u, float v) {
        int plank = int(v * planks);
        float shift = hash_unit(plank, 0, 611) * 0.5f;
        int board = int((u + shift) * 2) % 2;  // two boards per row, staggered joints
        float tone = 0.8f + 0.35f * hash_unit(plank, board, 612);
        float grain = fractal_noise(u * 3 + shift * 8, v * 40, 4, 0.5f, 0, 613) * 0.5f + 0.5f;
        float rings = 0.5f + 0.5f * std::sin((v * planks * 9 + grain * 3) * PI);
        Colour c = colour_mix(colour(0.20f, 0.11f, 0.06f), colour(0.46f, 0.28f, 0.15f), grain * 0.6f + rings * 0.3f);
        c = colour_scale(c, tone);
        float edge_v = std::fabs(v * planks - plank - 0.5f) * 2;  // 1 at the plank's long edges
        float edge_u = std::fabs(std::fmod(u + shift, 0.5f) * 4 - 1);
        return edge_v > 0.96f || edge_u > 0.985f ? colour_scale(c, 0.35f) : c;
    });
}

// Wallpaper: muted teal with soft vertical stripes and a small repeated leaf motif.
Picture make_wallpaper() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float stripe = 0.5f + 0.5f * std::cos(u * 8 * PI);
        float cu = std::fmod(u * 4, 1.0f) - 0.5f, cv = std::fmod(v * 4, 1.0f) - 0.5f;
        float leaf = radial_falloff(cu * 1.6f, (cv + cu * 0.6f) * 3.2f, 0.45f);
        float grime = fractal_noise(u * 4, v * 4, 5, 0.5f, 4, 621) * 0.5f + 0.5f;
        Colour c = colour_mix(colour(0.16f, 0.30f, 0.31f), colour(0.22f, 0.38f, 0.37f), stripe * 0.6f);
        c = colour_mix(c, colour(0.55f, 0.50f, 0.34f), leaf * 0.55f);
        return colour_scale(c, 0.85f + grime * 0.25f);
    });
}

// Plaster ceiling: pale grey-blue with faint cloudy patches.
Picture make_plaster() { return picture_clouds(256, colour(0.46f, 0.47f, 0.50f), colour(0.62f, 0.62f, 0.64f), 6, 631); }

// Velvet upholstery: deep blue-teal, a fine weave and soft worn patches.
Picture make_fabric() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {
        float weave = 0.5f + 0.25f * std::sin(x * PI / 2) + 0.25f * std::sin(y * PI / 2);
        float wear = fractal_noise(u * 3, v * 3, 5, 0.55f, 3, 641) * 0.5f + 0.5f;
        Colour c = colour_mix(colour(0.08f, 0.16f, 0.30f), colour(0.18f, 0.34f, 0.48f), wear);
        c = colour_scale(c, 0.9f + weave * 0.15f);
        float seam = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        return seam < 0.03f ? colour_scale(c, 0.6f + seam * 10) : c;
    });
}

// A warm rug: deep red field, an ochre border and a diamond medallion (the room's warm accent).
Picture make_rug() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {
        u -= 0.5f, v -= 0.5f;
        float border = std::max(std::fabs(u), std::fabs(v));
        float diamond = std::fabs(u) + std::fabs(v);
        float fibre = hash_unit(x, y, 651) * 0.2f + fractal_noise(u * 8, v * 8, 3, 0.5f, 0, 652) * 0.1f;
        Colour c = colour(0.42f, 0.08f, 0.06f);
        if (diamond < 0.3f) c = colour(0.62f, 0.36f, 0.10f);
        if (diamond < 0.2f) c = colour(0.20f, 0.10f, 0.16f);
        if (diamond < 0.08f) c = colour(0.70f, 0.45f, 0.15f);
        if (border > 0.40f) c = colour(0.62f, 0.36f, 0.10f);
        if (border > 0.43f && border < 0.45f) c = colour(0.20f, 0.10f, 0.16f);
        if (border > 0.47f) c = colour(0.30f, 0.06f, 0.05f);
        return colour_scale(c, 0.85f + fibre);
    });
}

// Dark walnut for the cabinet, shelf, table and frames.
Picture make_walnut() { return picture_wood(256, colour(0.36f, 0.22f, 0.13f), colour(0.14f, 0.08f, 0.05f), 661); }

// The television's case: dark brown plastic with a faint speckle and a lighter bevel round each side.
Picture make_case() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float n = fractal_noise(u * 6, v * 6, 4, 0.5f, 6, 671) * 0.5f + 0.5f;
        Colour c = colour_mix(colour(0.10f, 0.08f, 0.07f), colour(0.18f, 0.15f, 0.13f), n);
        float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        return edge < 0.04f ? colour_scale(c, 1.4f) : c;
    });
}

// The switched-off picture tube: dark glass with a soft reflection across one corner.
Picture make_glass() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        u -= 0.5f, v -= 0.5f;
        float bulge = radial_falloff(u, v, 0.75f);
        float sheen = std::pow(clamp01(1 - std::fabs(u + v - 0.35f) * 4), 2.0f) * 0.25f;
        Colour c = colour_mix(colour(0.03f, 0.04f, 0.05f), colour(0.10f, 0.13f, 0.15f), bulge);
        c = colour_add(c, colour(sheen, sheen * 1.05f, sheen * 1.15f));
        return std::max(std::fabs(u), std::fabs(v)) > 0.46f ? colour(0.05f, 0.04f, 0.035f) : c;
    });
}

// Television static: grains of grey with a blue cast, a few brighter streaks and a rolling
// band, tiling both ways (the picture slides by random steps every frame).
Picture make_static() {
    const int size = 256;
    return picture_painted(size, size, [](int x, int y, float, float) {
        float streak = hash_unit(0, y, 681) > 0.93f ? 0.25f : 0.0f;
        float band = 0.15f * (0.5f + 0.5f * std::cos(2 * PI * y / size * 2));
        float line = (y % 2) ? 0.85f : 1.0f;  // scan lines
        float grain = hash_unit(x, y, 682);
        float clump = value_noise(x / 2.0f, y / 2.0f, size / 2, 683);
        float k = clamp01((grain * 0.7f + clump * 0.4f - 0.15f + streak + band) * line);
        return colour(k * 0.86f, k * 0.92f, k);
    });
}

// The night outside: deep blue sky with stars, thin clouds lit from the moon's side and a
// dark line of hills and trees along the bottom.
Picture make_sky() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {
        v = 1 - v;  // 0 at the bottom row
        float cloud = smooth_step(0.1f, 0.7f, fractal_noise(u * 3, v * 6, 5, 0.55f, 3, 691) * 0.5f + 0.5f);
        Colour c = colour_mix(colour(0.05f, 0.10f, 0.22f), colour(0.02f, 0.04f, 0.11f), v);
        c = colour_add(c, colour_scale(colour(0.16f, 0.22f, 0.32f), cloud * (0.4f + 0.6f * (1 - std::fabs(u - 0.55f)))));
        float star = hash_unit(x, y, 692);
        if (star > 0.996f && cloud < 0.3f) c = colour_add(c, colour(0.7f, 0.7f, 0.8f));
        float hills = 0.22f + 0.05f * std::sin(u * 9) + 0.04f * fractal_noise(u * 12, 0, 3, 0.5f, 0, 693);
        return v < hills ? colour(0.015f, 0.03f, 0.04f) : c;
    });
}

// The moon: a pale disc with darker seas and a few craters, soft at the rim.
Picture make_moon() {
    const int size = 256;
    return picture_painted(size, size, [](int x, int y, float, float) {
        float dx = (x + 0.5f) / size - 0.5f, dy = (y + 0.5f) / size - 0.5f;
        float d = std::sqrt(dx * dx + dy * dy) * 2;
        float seas = smooth_step(0.1f, 0.5f, fractal_noise(dx * 3, dy * 3, 4, 0.5f, 0, 701) * 0.5f + 0.5f);
        float crater = cell_noise(dx * 10, dy * 10, 0, 702);
        Colour c = colour_mix(colour(0.95f, 0.94f, 0.86f), colour(0.62f, 0.64f, 0.66f), seas * 0.7f);
        if (crater < 0.15f) c = colour_scale(c, 0.85f + crater);
        c = colour_scale(c, 1 - 0.35f * d * d);
        return d > 1 ? colour(0.05f, 0.09f, 0.18f) : c;
    });
}

// The lampshade: warm cream linen with vertical ribs.
Picture make_shade_picture() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {
        float rib = 0.5f + 0.5f * std::cos(u * 16 * 2 * PI);
        float linen = hash_unit(x, y, 711) * 0.1f + (0.5f + 0.5f * std::sin(y * PI / 1.5f)) * 0.05f;
        Colour c = colour_mix(colour(1.0f, 0.78f, 0.45f), colour(0.86f, 0.55f, 0.28f), rib * 0.5f + v * 0.2f);
        return colour_scale(c, 0.9f + linen);
    });
}

// Brass for the lamp's cord and fitting.
Picture make_brass() { return picture_metal(128, colour(0.62f, 0.48f, 0.22f), 721); }

// The bulb: warm white, brighter in the middle.
Picture make_bulb_picture() {
    Picture p(64, 64);
    picture_radial_gradient(p, colour(1.0f, 0.98f, 0.9f), colour(1.0f, 0.82f, 0.55f), 40);
    return p;
}

// Book spines on three shelves: coloured spines of varying width and height, dark gaps.
Picture make_books() {
    const int size = 256, shelves = 3;
    Picture p(size, size);
    picture_fill(p, colour(0.06f, 0.04f, 0.03f));
    for (int s = 0; s < shelves; s++) {
        int top = s * size / shelves + 8, bottom = (s + 1) * size / shelves - 6;
        int x = 4, book = 0;
        while (x < size - 10) {
            int width = 7 + int(hash_unit(s, book, 731) * 12);
            int height = int((bottom - top) * (0.7f + 0.3f * hash_unit(s, book, 732)));
            float hue = hash_unit(s, book, 733);
            Colour c = colour_hsv(hue, 0.55f, 0.28f + 0.25f * hash_unit(s, book, 734));
            if (hash_unit(s, book, 735) > 0.85f) {  // a gap between groups of books
                x += 10;
            } else {
                int w = std::min(width, size - 4 - x);
                picture_fill_rect(p, x, bottom - height, w, height, c, 1);
                picture_fill_rect(p, x, bottom - height + 6, w, 3, colour(0.75f, 0.62f, 0.3f), 0.7f);
                x += width + 1;
            }
            book++;
        }
        picture_fill_rect(p, 0, bottom, size, 6, colour(0.24f, 0.15f, 0.09f), 1);
    }
    return p;
}

// A framed painting: kelp swaying under a teal sea, lit from above.
Picture make_painting() {
    const int size = 256;
    return picture_painted(size, size, [](int x, int y, float u, float v) {  // v: 0 at the top row
        int edge = std::min(std::min(x, size - 1 - x), std::min(y, size - 1 - y));
        if (edge < 14) return colour_scale(colour(0.55f, 0.40f, 0.18f), 0.6f + edge / 30.0f);  // the frame
        Colour c = colour_mix(colour(0.20f, 0.52f, 0.55f), colour(0.03f, 0.12f, 0.18f), v);
        float ray = std::pow(clamp01(0.5f + 0.5f * std::sin((u - v * 0.3f) * 18)), 6.0f) * (1 - v) * 0.2f;
        c = colour_add(c, colour(ray, ray, ray * 0.8f));
        for (int k = 0; k < 6; k++) {
            float base = 0.1f + k * 0.16f;
            float sway = std::sin(v * 7 + k * 1.7f) * 0.04f * (1 - v);
            float width = 0.018f + 0.01f * std::sin(v * 20 + k);
            if (std::fabs(u - base - sway) < width && v > 0.15f + 0.2f * hash_unit(k, 0, 741))
                c = colour_mix(colour(0.10f, 0.30f, 0.10f), colour(0.38f, 0.45f, 0.12f), 1 - v);
        }
        if (v > 0.92f) c = colour(0.35f, 0.30f, 0.20f);  // sand
        float canvas = hash_unit(x, y, 742) * 0.06f;
        return colour_scale(c, 0.95f + canvas);
    });
}

// ---------------------------------------------------------------- meshes

// A flat panel (the kit's full grid) mapped in world units, one picture every `tile` units.
MeshData tiled_panel(Vec3 o, Vec3 e1, Vec3 e2, int n1, int n2, float tile) {
    MeshData panel = mesh_panel_grid(o, e1, e2, n1, n2);
    float l1 = length(e1), l2 = length(e2);
    for (MeshVertex &v : panel.vertices) v.u = v.u * l1 / tile, v.v = v.v * l2 / tile;
    return panel;
}

// A panel showing one picture over its whole face, u and v measured from the origin along
// the axis each edge (e1, e2) runs on.
MeshData picture_panel(Vec3 o, Vec3 e1, Vec3 e2, int n1, int n2) {
    MeshData panel = mesh_panel_grid(o, e1, e2, n1, n2);
    auto along = [](Vec3 p, Vec3 axis) { return axis.x != 0 ? p.x : axis.y != 0 ? p.y : p.z; };
    for (MeshVertex &v : panel.vertices) {
        v.u = (along(vertex_position(v), e1) - along(o, e1)) / along(e1, e1);
        v.v = (along(vertex_position(v), e2) - along(o, e2)) / along(e2, e2);
    }
    return panel;
}

// Append the points dividing a..b into n equal steps, from step `first` on.
void add_steps(std::vector<float> &points, float a, float b, int n, int first) {
    for (int i = first; i <= n; i++) points.push_back(a + (b - a) * i / n);
}

// The back wall: one grid whose lines run along the window's edges (no cracks where pieces
// meet), with the window's cells left open.
MeshData make_back_wall() {
    // Columns: 10 cells up to the window, 4 across it, 1 beyond; rows: 4 below, 5 across, 2 above.
    std::vector<float> xs, zs;
    add_steps(xs, ROOM_X0, WINDOW_X0, 10, 0);
    add_steps(xs, WINDOW_X0, WINDOW_X1, 4, 1);
    add_steps(xs, WINDOW_X1, ROOM_X1, 1, 1);
    add_steps(zs, FLOOR_Z, WINDOW_Z0, 4, 0);
    add_steps(zs, WINDOW_Z0, WINDOW_Z1, 5, 1);
    add_steps(zs, WINDOW_Z1, CEILING_Z, 2, 1);
    MeshData wall;
    for (float z : zs)
        for (float x : xs) mesh_add_vertex(wall, {x, ROOM_Y1, z}, x / 120, z / 120);
    int nx = int(xs.size()), nz = int(zs.size());
    for (int j = 0; j + 1 < nz; j++)
        for (int i = 0; i + 1 < nx; i++) {
            if (xs[i] >= WINDOW_X0 && xs[i + 1] <= WINDOW_X1 && zs[j] >= WINDOW_Z0 && zs[j + 1] <= WINDOW_Z1) continue;
            // Seen from the room (from -y) the quad a, b, c, d runs counter-clockwise.
            int a = j * nx + i, b = a + 1, c = a + nx + 1, d = a + nx;
            mesh_add_quad(wall, a, b, c, d);
        }
    return wall;
}

// A box between two corners.
struct Box {
    Vec3 lo, hi;
};

// The boxes as one mesh.
MeshData make_boxes(const std::vector<Box> &boxes) {
    MeshData mesh;
    for (const Box &box : boxes) mesh_append(mesh, mesh_box_between(box.lo, box.hi));
    return mesh;
}

// Four legs 4 units square from the floor up to `top`, their corners at x0 or x1 and y0 or y1.
void add_legs(std::vector<Box> &boxes, float x0, float x1, float y0, float y1, float top) {
    for (int k = 0; k < 4; k++) {
        float x = k % 2 ? x1 : x0, y = k / 2 ? y1 : y0;
        boxes.push_back({{x, y, FLOOR_Z}, {x + 4, y + 4, top}});
    }
}

// The sofa: a two-seater of a base, two seat cushions, a back, two arms and short legs,
// built facing +y about the origin, then turned to face the television from the right.
MeshData make_sofa() {
    std::vector<Box> boxes = {{{-85, -40, FLOOR_Z + 4}, {85, 38, 15}}, {{-67, -22, 15}, {-1, 40, 31}},
                              {{1, -22, 15}, {67, 40, 31}},           {{-85, -42, 15}, {85, -20, 78}},
                              {{-87, -42, 15}, {-67, 42, 46}},        {{67, -42, 15}, {87, 42, 46}}};
    add_legs(boxes, -79, 75, -34, 30, FLOOR_Z + 4);
    MeshData sofa = make_boxes(boxes);
    mesh_rotate_z(sofa, degrees(40));
    return mesh_moved(sofa, {112, 132, 0});
}

// A side table at the sofa's end, under the window: a top on four legs.
MeshData make_table() {
    std::vector<Box> boxes = {{{158, 214, 38}, {204, 258, 42}}};
    add_legs(boxes, 162, 196, 218, 250, 38);
    return make_boxes(boxes);
}

// The window frame: sill, head, jambs and a cross of glazing bars, set into the wall.
MeshData make_window_frame() {
    const float x0 = WINDOW_X0, x1 = WINDOW_X1, z0 = WINDOW_Z0, z1 = WINDOW_Z1, y0 = ROOM_Y1 - 10, y1 = ROOM_Y1 + 8;
    const float mx = (x0 + x1) / 2, mz = (z0 + z1) / 2 + 15, bar0 = ROOM_Y1 - 4, bar1 = ROOM_Y1 + 4;
    return make_boxes({{{x0 - 10, ROOM_Y1 - 16, z0 - 8}, {x1 + 10, y1, z0}}, {{x0 - 8, y0, z1}, {x1 + 8, y1, z1 + 8}},
                       {{x0 - 8, y0, z0}, {x0, y1, z1}}, {{x1, y0, z0}, {x1 + 8, y1, z1}},
                       {{mx - 3, bar0, z0}, {mx + 3, bar1, z1}}, {{x0, bar0, mz - 3}, {mx - 3, bar1, mz + 3}},
                       {{mx + 3, bar0, mz - 3}, {x1, bar1, mz + 3}}});
}

// The lamp's cord and its brass fitting, hanging from the suspension point.
MeshData make_cord() {
    MeshData cord = mesh_moved(mesh_cylinder(1.3f, CEILING_Z - 214, 6, 1, false), {LAMP_X, LAMP_Y, 214});
    mesh_append(cord, mesh_moved(mesh_cylinder(5, 14, 10, 1, true), {LAMP_X, LAMP_Y, 206}));
    return cord;
}

// The shade: one lathe from the inner top down the inside, round the rim and up the outside.
MeshData make_shade() {
    std::vector<Point2> profile = {{7.5f, 211}, {28.5f, 190}, {38.5f, BULB_Z}, {40, BULB_Z}, {30, 190}, {9, 212}};
    return mesh_moved(mesh_lathe(profile, 16), {LAMP_X, LAMP_Y, 0});
}

// The bulb: its first vertex is its lowest point, where the spotlight sits.
MeshData make_bulb() {
    return mesh_moved(mesh_sphere(BULB_RADIUS, 10, 6), {LAMP_X, LAMP_Y, BULB_Z});
}

// The camera's stops in the file frame: the time, the eye and the point looked at. From
// behind the sofa over the wolf's shoulder at the television, round to the right of the
// room for the walk, the bump and the fall, then slowly back and up while the lamp swings
// and the end screen fades in.
const Shot CAMERA_STOPS[] = {
    {0, {185, -165, 222}, {-30, 280, 120}},     {4, {180, -140, 218}, {-30, 280, 118}},
    {7.5f, {175, -100, 212}, {-45, 260, 118}},  {10.5f, {175, -40, 205}, {-60, 230, 125}},
    {13, {175, 40, 200}, {-80, 215, 140}},      {15.5f, {175, 20, 205}, {-60, 190, 70}},
    {19, {180, -40, 215}, {-70, 210, 100}},     {23, {185, -110, 225}, {-60, 230, 110}},
    {27, {185, -160, 232}, {-50, 240, 110}},
};

// Every picture of the room with its material; the bulb's material comes last, over-bright:
// it is lit like any surface, and the bright colour keeps it glowing in the dark.
void add_room_pictures(ContentSink &sink, Scene3ds &scene) {
    const std::vector<ScenePicture> pictures = {
        {"sofa_floor.bmp", make_floor, "floor"},         {"sofa_wall.bmp", make_wallpaper, "wall"},
        {"sofa_plaster.bmp", make_plaster, "plaster"},   {"sofa_fabric.bmp", make_fabric, "fabric"},
        {"sofa_rug.bmp", make_rug, "rug"},               {"sofa_walnut.bmp", make_walnut, "walnut"},
        {"sofa_case.bmp", make_case, "case"},            {"sofa_glass.bmp", make_glass, "glass"},
        {"tvstatic.bmp", make_static, "static"},         {"sofa_sky.bmp", make_sky, "sky"},
        {"sofa_moon.bmp", make_moon, "moon"},            {"sofa_shade.bmp", make_shade_picture, "shade"},
        {"sofa_brass.bmp", make_brass, "brass"},         {"sofa_bulb.bmp", make_bulb_picture},
        {"sofa_books.bmp", make_books, "books"},         {"sofa_painting.bmp", make_painting, "painting"},
    };
    add_scene_pictures(sink, scene, pictures);
    Material3ds &bulb = scene.add_material("bulb", "sofa_bulb.bmp");
    bulb.diffuse[0] = 6, bulb.diffuse[1] = 5.4f, bulb.diffuse[2] = 4.2f;
}

// The room: floor and ceiling fine enough for the spotlight's pool to show, walls facing in,
// and the rug under the wolf's walk, a hair above the floor.
void add_room(Scene3ds &scene) {
    const float width = ROOM_X1 - ROOM_X0, depth = ROOM_Y1 - ROOM_Y0, height = CEILING_Z - FLOOR_Z;
    add_mesh(scene, tiled_panel({ROOM_X0, ROOM_Y0, FLOOR_Z}, {width, 0, 0}, {0, depth, 0}, 24, 24, 160), "floor",
             "floor");
    add_mesh(scene, tiled_panel({ROOM_X0, ROOM_Y0, CEILING_Z}, {0, depth, 0}, {width, 0, 0}, 10, 10, 160), "ceiling",
             "plaster");
    add_mesh(scene, make_back_wall(), "wall01", "wall");
    add_mesh(scene, tiled_panel({ROOM_X0, ROOM_Y0, FLOOR_Z}, {0, depth, 0}, {0, 0, height}, 16, 8, 120), "wall02", "wall");
    add_mesh(scene, tiled_panel({ROOM_X1, ROOM_Y1, FLOOR_Z}, {0, -depth, 0}, {0, 0, height}, 12, 8, 120), "wall03", "wall");
    add_mesh(scene, tiled_panel({ROOM_X1, ROOM_Y0, FLOOR_Z}, {-width, 0, 0}, {0, 0, height}, 8, 6, 120), "wall04", "wall");
    add_mesh(scene, picture_panel({-170, 30, FLOOR_Z + 0.6f}, {240, 0, 0}, {0, 220, 0}, 12, 11), "rug", "rug");
}

// The television on its cabinet against the back wall: the case, the dark tube in front of
// it (facing the room) and the picture in front of that (centred on x -15, z 115).
void add_television(Scene3ds &scene) {
    add_mesh(scene, mesh_box_between({-115, 275, FLOOR_Z}, {85, ROOM_Y1, 55}), "cabinet", "walnut");
    add_mesh(scene, mesh_box_between({-85, 270, 55}, {55, ROOM_Y1, 175}), "tv", "case");
    add_mesh(scene, picture_panel({-76, 268.5f, 70}, {122, 0, 0}, {0, 0, 100}, 1, 1), "tvglass", "glass");
    // The picture: exactly four corners, round the quad from the lower left.
    MeshData screen;
    mesh_add_vertex(screen, {-70, 267, 75}, 0, 0);
    mesh_add_vertex(screen, {40, 267, 75}, 1, 0);
    mesh_add_vertex(screen, {40, 267, 155}, 1, 1);
    mesh_add_vertex(screen, {-70, 267, 155}, 0, 1);
    mesh_add_quad(screen, 0, 1, 2, 3);
    add_mesh(scene, screen, SCREEN_MESH, "static");
}

// The window and the view out: one mesh "moon" of the sky panel facing the room and the
// moon's disc in front of it, in two materials.
void add_window(Scene3ds &scene) {
    add_mesh(scene, make_window_frame(), "window", "walnut");
    MeshData outside = picture_panel({-80, ROOM_Y1 + 70, -80}, {440, 0, 0}, {0, 0, 540}, 2, 2);
    int sky_faces = int(outside.triangles.size());
    mesh_append(outside, mesh_disc({150, ROOM_Y1 + 60, 212}, UNIT_X, UNIT_Z, 18, 24));
    Mesh3ds moon = mesh_to_3ds(outside, MOON_MESH, "");
    moon.set_material("sky", 0, sky_faces);
    moon.set_material("moon", sky_faces, moon.face_count() - sky_faces);
    scene.meshes.push_back(moon);
}

// The furniture: the sofa, the side table, a bookcase against the left wall with the spines
// inset in its front, a painting left of the television and the rose the lamp hangs from.
void add_furniture(Scene3ds &scene) {
    add_mesh(scene, make_sofa(), "sofa", "fabric");
    add_mesh(scene, make_table(), "table", "walnut");
    const float x1 = ROOM_X0 + 34, y0 = 20, y1 = 190, z1 = 200;
    add_mesh(scene, mesh_box_between({ROOM_X0, y0, FLOOR_Z}, {x1, y1, z1}), "bookcase", "walnut");
    add_mesh(scene, picture_panel({x1 + 1, y0 + 8, FLOOR_Z + 12}, {0, y1 - y0 - 16, 0}, {0, 0, z1 - FLOOR_Z - 20}, 2, 3),
             "books", "books");
    add_mesh(scene, picture_panel({-212, ROOM_Y1 - 1.5f, 140}, {72, 0, 0}, {0, 0, 72}, 2, 2), "painting", "painting");
    add_mesh(scene, mesh_moved(mesh_cylinder(9, 6, 12, 1, true), {LAMP_X, LAMP_Y, CEILING_Z - 6}), "rose", "brass");
}

// The lamp ("lamp01".."lamp03") and its rest copies ("lamp04".."lamp06"), vertex for vertex.
void add_lamps(Scene3ds &scene) {
    const MeshData pieces[3] = {make_cord(), make_shade(), make_bulb()};
    const char *const materials[3] = {"brass", "shade", "bulb"};
    for (const char *const *names : {LAMP_PIECE_MESHES, LAMP_REST_MESHES})
        for (int p = 0; p < 3; p++) add_mesh(scene, pieces[p], names[p], materials[p]);
}

// Light 0: the lamp's spotlight at the bulb's lowest point, shining down; light 1:
// moonlight by the window.
void add_lights(Scene3ds &scene) {
    Light3ds spot = point_light("spot01", {LAMP_X, LAMP_Y, BULB_Z - BULB_RADIUS}, colour(1.0f, 0.8f, 0.52f));
    spot.spot = true;
    spot.target[0] = LAMP_X, spot.target[1] = LAMP_Y, spot.target[2] = FLOOR_Z;
    spot.hotspot = 35, spot.falloff = 50;
    scene.lights.push_back(spot);
    scene.lights.push_back(point_light("moonlight", {95, 240, 210}, colour(0.45f, 0.58f, 0.9f)));
}

// The camera through its stops, aimed so that the renderer's view passes the points looked at.
void add_camera(Scene3ds &scene) {
    std::vector<Shot> shots;
    for (const Shot &stop : CAMERA_STOPS) shots.push_back({stop.time, to_show(stop.eye), to_show(stop.look)});
    add_shot_camera(scene, "camera01", shots, AIM_PITCH_CORRECTED, 50, 76);
}

}  // namespace

// Write "sofa.3ds" and its pictures.
void generate_part11(ContentSink &sink) {
    Scene3ds scene;
    add_room_pictures(sink, scene);
    add_room(scene);
    add_television(scene);
    add_window(scene);
    add_furniture(scene);
    add_lamps(scene);
    add_lights(scene);
    add_camera(scene);
    write_scene(sink, scene, SOFA_ROOM_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 11, generate_part11);
