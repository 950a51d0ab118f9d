// part6_content.cpp: the greetings' cellar "greez.3ds": a slide projector on a table throws
// its picture through a visible beam onto a hovering blob and the stone wall behind it;
// plus the five greeting slides "greez1.bmp".."greez5.bmp", the rough "stonewal.bmp" and
// the cellar's floor, ceiling and projector pictures.
//
// The part fixes the layout (renderer frame, y up): the blob is a ball of radius 100 around
// (0, 0, 200) that it rebuilds around (0, 0, 250); the wall is the plane z = 0 facing +z;
// the projector (light 0) stands on the +z side at y = 0. Geometry is built here in the
// renderer frame and turned into the file's z-up frame on the way out.
#include <algorithm>
#include <cmath>

#include "content.h"
#include "writers/mesh_3ds.h"
#include "writers/picture.h"

namespace {

const float PI = 3.14159265f;
const int END_FRAME = 300;  // 30 s at 10 frames a second

// The cellar (renderer frame): the stone wall at z = 0, the back wall at z = BACK_Z.
const float ROOM_X = 520, FLOOR_Y = -380, CEILING_Y = 400, BACK_Z = 1250;
// The projector's lens, where light 0 stands.
const float LENS_Z = 750;
// Where the beam meets the wall: inside the picture's area on the wall (the part maps the
// picture across the beam from x -250..250 and y -300..100).
const float BEAM_X0 = -230, BEAM_X1 = 230, BEAM_Y0 = -290, BEAM_Y1 = 90;
// The beam leaves the lens as a small copy of its wall end.
const float APERTURE = 0.06f;

// Renderer frame (y up) to the file's z-up frame: (x, y, z) -> (x, -z, y).
void to_file_frame(MeshData &mesh) {
    for (MeshVertex &v : mesh.vertices) {
        float y = v.y, z = v.z;
        v.y = -z;
        v.z = y;
    }
}

// A grid of nu x nv cells from corner o along edges eu and ev (renderer frame), facing
// eu x ev; texture coordinates from `map` of each vertex's position.
MeshData make_panel(const float o[3], const float eu[3], const float ev[3], int nu, int nv,
                    void (*map)(const float p[3], float &u, float &v)) {
    MeshData mesh;
    for (int j = 0; j <= nv; j++)
        for (int i = 0; i <= nu; i++) {
            float fu = float(i) / nu, fv = float(j) / nv;
            MeshVertex v;
            v.x = o[0] + eu[0] * fu + ev[0] * fv;
            v.y = o[1] + eu[1] * fu + ev[1] * fv;
            v.z = o[2] + eu[2] * fu + ev[2] * fv;
            float p[3] = {v.x, v.y, v.z};
            map(p, v.u, v.v);
            mesh.vertices.push_back(v);
        }
    for (int j = 0; j < nv; j++)
        for (int i = 0; i < nu; i++) {
            int a = j * (nu + 1) + i, b = a + 1, c = b + nu + 1, d = a + nu + 1;
            mesh.triangles.push_back({a, b, c});
            mesh.triangles.push_back({a, c, d});
        }
    return mesh;
}

// Stone mapped as the part maps the blob's shadow on the wall, so the two match.
void map_front_stone(const float p[3], float &u, float &v) {
    u = (p[0] + 300) / 500;
    v = -(p[1] + 200) / 400;
}
void map_side_stone(const float p[3], float &u, float &v) {
    u = p[2] / 500;
    v = -p[1] / 400;
}
void map_back_stone(const float p[3], float &u, float &v) {
    u = -p[0] / 500;
    v = -p[1] / 400;
}
void map_floor(const float p[3], float &u, float &v) {
    u = p[0] / 400;
    v = p[2] / 400;
}
void map_ceiling(const float p[3], float &u, float &v) {
    u = p[0] / 260;
    v = p[2] / 520;
}

// A ball of the given radius around c (renderer frame) with single poles on the y axis and
// no seam, so that rebuilding it from directions can never tear it open.
MeshData make_ball(float radius, const float c[3], int segments, int rings) {
    MeshData mesh;
    MeshVertex top;
    top.x = c[0], top.y = c[1] + radius, top.z = c[2];
    mesh.vertices.push_back(top);
    for (int r = 1; r < rings; r++) {
        float lat = PI / 2 - PI * r / rings;
        for (int s = 0; s < segments; s++) {
            float lon = 2 * PI * s / segments;
            MeshVertex v;
            v.x = c[0] + radius * std::cos(lat) * std::sin(lon);
            v.y = c[1] + radius * std::sin(lat);
            v.z = c[2] + radius * std::cos(lat) * std::cos(lon);
            mesh.vertices.push_back(v);
        }
    }
    MeshVertex bottom;
    bottom.x = c[0], bottom.y = c[1] - radius, bottom.z = c[2];
    mesh.vertices.push_back(bottom);
    int last = int(mesh.vertices.size()) - 1;
    auto ring = [&](int r, int s) { return 1 + (r - 1) * segments + (s % segments); };
    // Counter-clockwise seen from outside: longitude grows from +z towards +x.
    for (int s = 0; s < segments; s++) mesh.triangles.push_back({0, ring(1, s), ring(1, s + 1)});
    for (int r = 1; r < rings - 1; r++)
        for (int s = 0; s < segments; s++) {
            int a = ring(r, s), b = ring(r, s + 1), cc = ring(r + 1, s + 1), d = ring(r + 1, s);
            mesh.triangles.push_back({a, d, cc});
            mesh.triangles.push_back({a, cc, b});
        }
    for (int s = 0; s < segments; s++) mesh.triangles.push_back({last, ring(rings - 1, s + 1), ring(rings - 1, s)});
    return mesh;
}

// The beam: its first half of vertices at the wall end, spread over the picture, the second
// half at the lens in the same order. A hollow frustum along the picture's border and
// two sheets each way across it; every face is doubled back to back so it shows from both sides.
MeshData make_beam() {
    std::vector<float> ends;  // x, y of the wall end
    std::vector<std::pair<int, int>> spans;  // consecutive wall-end points joined by a face pair
    auto add_line = [&](float x0, float y0, float x1, float y1, int steps) {
        int first = int(ends.size() / 2);
        for (int i = 0; i <= steps; i++) {
            ends.push_back(x0 + (x1 - x0) * i / steps);
            ends.push_back(y0 + (y1 - y0) * i / steps);
        }
        for (int i = 0; i < steps; i++) spans.push_back({first + i, first + i + 1});
    };
    // Border, counter-clockwise, one line per side (corners repeated so each side maps alone).
    add_line(BEAM_X0, BEAM_Y0, BEAM_X1, BEAM_Y0, 6);
    add_line(BEAM_X1, BEAM_Y0, BEAM_X1, BEAM_Y1, 6);
    add_line(BEAM_X1, BEAM_Y1, BEAM_X0, BEAM_Y1, 6);
    add_line(BEAM_X0, BEAM_Y1, BEAM_X0, BEAM_Y0, 6);
    // Sheets across.
    for (int k = 1; k <= 2; k++) {
        float y = BEAM_Y0 + (BEAM_Y1 - BEAM_Y0) * k / 3;
        add_line(BEAM_X0, y, BEAM_X1, y, 6);
        float x = BEAM_X0 + (BEAM_X1 - BEAM_X0) * k / 3;
        add_line(x, BEAM_Y0, x, BEAM_Y1, 6);
    }
    int half = int(ends.size() / 2);
    float cy = (BEAM_Y0 + BEAM_Y1) / 2;
    MeshData mesh;
    for (int i = 0; i < half; i++) {
        MeshVertex v;
        v.x = ends[2 * i], v.y = ends[2 * i + 1], v.z = 2;
        mesh.vertices.push_back(v);
    }
    for (int i = 0; i < half; i++) {
        MeshVertex v;
        v.x = ends[2 * i] * APERTURE, v.y = (ends[2 * i + 1] - cy) * APERTURE, v.z = LENS_Z - 2;
        mesh.vertices.push_back(v);
    }
    for (const auto &s : spans) {
        int a = s.first, b = s.second, c = b + half, d = a + half;
        mesh.triangles.push_back({a, b, c});
        mesh.triangles.push_back({a, c, d});
        mesh.triangles.push_back({a, c, b});
        mesh.triangles.push_back({a, d, c});
    }
    return mesh;
}

// The slide projector (renderer frame): a body behind the lens, two reels on top, on a table.
MeshData make_projector() {
    MeshData projector;
    MeshData body = mesh_box(110, 150, 84);  // builder frame: x, y (depth), z (height)
    mesh_map_box(body, 1.0f / 120);
    mesh_translate(body, 0, -(LENS_Z + 32 + 75), 0);  // file frame: depth is -y
    mesh_append(projector, body);
    for (int r = 0; r < 2; r++) {
        MeshData reel = mesh_cylinder(44, 12, 10, 1, true);
        mesh_map_planar(reel, 0, 1.0f / 90, 1.0f / 90);
        mesh_translate(reel, 0, 0, -6);
        mesh_rotate_y(reel, PI / 2);  // axis along x
        mesh_translate(reel, 0, -(LENS_Z + 60 + 80 * r), 42 + 44);
        mesh_append(projector, reel);
    }
    return projector;
}

MeshData make_lens() {
    MeshData lens = mesh_cylinder(24, 34, 10, 1, true);
    mesh_map_cylindrical(lens, 1, 1.0f / 34);
    mesh_rotate_x(lens, -PI / 2);  // axis along -y of the file: towards the wall
    mesh_translate(lens, 0, -(LENS_Z + 34), 0);
    return lens;
}

MeshData make_table() {
    MeshData table;
    const float top_y = -42, depth0 = LENS_Z - 20, depth1 = LENS_Z + 200;
    MeshData top = mesh_box(220, depth1 - depth0, 14);
    mesh_map_box(top, 1.0f / 200);
    mesh_translate(top, 0, -(depth0 + depth1) / 2, top_y - 7);
    mesh_append(table, top);
    float leg = top_y - 14 - FLOOR_Y;
    for (int i = 0; i < 4; i++) {
        MeshData l = mesh_box(14, 14, leg);
        mesh_map_box(l, 1.0f / 200);
        float x = (i & 1) ? 95 : -95, d = (i & 2) ? depth1 - 14 : depth0 + 14;
        mesh_translate(l, x, -d, FLOOR_Y + leg / 2);
        mesh_append(table, l);
    }
    return table;
}

// Rough stone: blue-grey blocks in mortar, the blocks broken by cracks and stains. The part
// maps it flipped upright, so nothing in it points up or down.
Picture make_stone_wall() {
    const int size = 256;
    Picture stone = picture_stone(size, colour(0.60f, 0.64f, 0.70f), 601);
    Picture p(size, size);
    const int rows = 4, columns = 3;
    float bh = float(size) / rows, bw = float(size) / columns;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;
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
            c = colour_mix(c, colour(0.18f, 0.26f, 0.24f), damp * 0.5f);
            picture_set(p, x, y, c);
        }
    return p;
}

// Flagstones of the cellar floor.
Picture make_floor() {
    Picture p = picture_bricks(256, 2, 2, colour(0.36f, 0.36f, 0.38f), colour(0.12f, 0.12f, 0.13f), 611);
    Picture grain = picture_stone(256, colour(1, 1, 1), 612);
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            picture_set(p, x, y, colour_multiply(picture_get(p, x, y), picture_get(grain, x, y)));
    return p;
}

// One greeting slide: a header, a short word in the middle (it lands on the blob), and the
// greeting itself in two lines below (it lands on the wall beside the blob's shadow).
// Black at the border, so the sliding picture leaves black behind it.
Picture make_slide(const char *header, const char *middle, const char *line1, const char *line2, float hue) {
    const int size = 512;
    Picture p(size, size);
    // A lit slide: bright in the middle like a projector's lamp, darker towards the frame.
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float dx = (x - size / 2.0f) / size, dy = (y - size / 2.0f) / size;
            float glow = std::exp(-(dx * dx + dy * dy) * 5);
            float ripple = fractal_noise(x / 96.0f, y / 64.0f, 4, 0.5f, 0, 621) * 0.5f + 0.5f;
            Colour c = colour_hsv(hue + (ripple - 0.5f) * 0.05f, 0.65f, 0.22f + 0.45f * glow + 0.12f * ripple);
            picture_set(p, x, y, c);
        }
    // A warm frame inside the black border.
    const int border = 14;
    Colour warm = colour(1.0f, 0.72f, 0.35f);
    picture_fill_rect(p, border, border, size - 2 * border, 3, warm, 0.8f);
    picture_fill_rect(p, border, size - border - 3, size - 2 * border, 3, warm, 0.8f);
    picture_fill_rect(p, border, border, 3, size - 2 * border, warm, 0.8f);
    picture_fill_rect(p, size - border - 3, border, 3, size - 2 * border, warm, 0.8f);

    const std::string font = "DejaVu Sans:bold";
    const int header_y = 30, middle_y = 198, line_y = 352;
    Colour header_colour = colour(1.0f, 0.80f, 0.45f);
    Colour middle_colour = colour(1.0f, 0.95f, 0.85f);
    Colour line_colour = colour_hsv(hue + 0.02f, 0.15f, 1.0f);
    auto fit = [&](const char *text, int wanted, int width) {
        int px = wanted;
        while (px > 12 && text_width(text, font, px) > width) px -= 2;
        return px;
    };
    int header_px = fit(header, 46, size - 80);
    int middle_px = fit(middle, 104, 180);
    int line1_px = fit(line1, 54, size - 70), line2_px = fit(line2, 54, size - 70);
    int line_px = std::min(line1_px, line2_px);
    auto draw_all = [&](Picture &target) {
        picture_draw_text_centered(target, header, font, header_px, size / 2, header_y, header_colour);
        picture_draw_text_centered(target, middle, font, middle_px, size / 2, middle_y, middle_colour);
        picture_draw_text_centered(target, line1, font, line_px, size / 2, line_y, line_colour);
        picture_draw_text_centered(target, line2, font, line_px, size / 2, line_y + line_px + 10, line_colour);
    };
    // A dark halo behind the letters keeps them clear on the lit slide.
    Picture halo(size, size);
    draw_all(halo);
    picture_blur(halo, 5, 3, false);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float k = std::min(1.0f, picture_get(halo, x, y).r * 1.6f);
            picture_set(p, x, y, colour_scale(picture_get(p, x, y), 1 - 0.85f * k));
        }
    draw_all(p);
    // Clear the border to black.
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            if (x < border - 4 || y < border - 4 || x >= size - border + 4 || y >= size - border + 4)
                picture_set(p, x, y, colour(0, 0, 0));
    return p;
}

}  // namespace

// Write "greez.3ds", the five slides, the stone wall and the cellar's pictures.
void generate_part6(ContentSink &sink) {
    sink.add("greez1.bmp", bmp_encode_24(make_slide("BRIXLON SAYS HELLO", "HI!", "to everyone", "at the party", 0.52f)));
    sink.add("greez2.bmp", bmp_encode_24(make_slide("GREETINGS GO OUT", "OWLS", "to all the night owls", "still awake", 0.62f)));
    sink.add("greez3.bmp", bmp_encode_24(make_slide("GREETINGS GO OUT", "DIVE", "to the kelp divers", "down in the deep", 0.47f)));
    sink.add("greez4.bmp", bmp_encode_24(make_slide("HATS OFF", "CODE", "to all who still write", "renderers by hand", 0.72f)));
    sink.add("greez5.bmp", bmp_encode_24(make_slide("AND LAST OF ALL", "HOME", "to whoever watches", "at home tonight", 0.56f)));
    sink.add("stonewal.bmp", bmp_encode_24(make_stone_wall()));
    sink.add("greez_floor.bmp", bmp_encode_24(make_floor()));
    sink.add("greez_wood.bmp", bmp_encode_24(picture_wood(256, colour(0.42f, 0.30f, 0.20f), colour(0.16f, 0.10f, 0.07f), 631)));
    sink.add("greez_metal.bmp", bmp_encode_24(picture_metal(256, colour(0.62f, 0.36f, 0.22f), 641)));

    Scene3ds scene;
    auto material = [&](const char *name, const char *texture, float r, float g, float b) {
        Material3ds m;
        m.name = name;
        m.texture = texture;
        m.diffuse[0] = r, m.diffuse[1] = g, m.diffuse[2] = b;
        scene.materials.push_back(m);
    };
    material("blob", "", 0.70f, 0.86f, 0.90f);
    material("stone", "stonewal.bmp", 1, 1, 1);
    material("beam", "", 1, 1, 1);
    material("floor", "greez_floor.bmp", 1, 1, 1);
    material("wood", "greez_wood.bmp", 1, 1, 1);
    material("metal", "greez_metal.bmp", 1, 1, 1);
    material("glass", "", 0.10f, 0.16f, 0.20f);

    auto add = [&](MeshData mesh, const char *name, const char *mat) {
        to_file_frame(mesh);
        scene.meshes.push_back(mesh_to_3ds(mesh, name, mat));
    };
    // The blob first: the part takes mesh 0 for it. The shadow has the same vertices in the
    // same order, laid flat on the wall as the part lays it.
    const float blob_centre[3] = {0, 0, 200};
    MeshData blob = make_ball(100, blob_centre, 24, 16);
    MeshData shadow = blob;
    for (MeshVertex &v : shadow.vertices) {
        v.x *= 1.7f;
        v.y = (v.y - 70) * 1.7f + 70;
        v.z = 5;
        float p[3] = {v.x, v.y, v.z};
        map_front_stone(p, v.u, v.v);
    }
    add(blob, "blob", "blob");
    add(shadow, "shadow", "stone");

    // The wall: one stone quad over the whole front of the cellar, exactly four vertices.
    const float wall_o[3] = {-ROOM_X, FLOOR_Y, 0}, wall_u[3] = {2 * ROOM_X, 0, 0}, wall_v[3] = {0, CEILING_Y - FLOOR_Y, 0};
    add(make_panel(wall_o, wall_u, wall_v, 1, 1, map_front_stone), "wall", "stone");
    add(make_beam(), "beam", "beam");

    // The rest of the cellar, seen from inside.
    const float h = CEILING_Y - FLOOR_Y;
    const float left_o[3] = {-ROOM_X, FLOOR_Y, BACK_Z}, left_u[3] = {0, 0, -BACK_Z}, left_v[3] = {0, h, 0};
    add(make_panel(left_o, left_u, left_v, 4, 3, map_side_stone), "leftwall", "stone");
    const float right_o[3] = {ROOM_X, FLOOR_Y, 0}, right_u[3] = {0, 0, BACK_Z}, right_v[3] = {0, h, 0};
    add(make_panel(right_o, right_u, right_v, 4, 3, map_side_stone), "rightwall", "stone");
    const float back_o[3] = {ROOM_X, FLOOR_Y, BACK_Z}, back_u[3] = {-2 * ROOM_X, 0, 0}, back_v[3] = {0, h, 0};
    add(make_panel(back_o, back_u, back_v, 4, 3, map_back_stone), "backwall", "stone");
    const float floor_o[3] = {-ROOM_X, FLOOR_Y, BACK_Z}, floor_u[3] = {2 * ROOM_X, 0, 0}, floor_v[3] = {0, 0, -BACK_Z};
    add(make_panel(floor_o, floor_u, floor_v, 4, 4, map_floor), "floor", "floor");
    const float ceil_o[3] = {-ROOM_X, CEILING_Y, 0}, ceil_u[3] = {2 * ROOM_X, 0, 0}, ceil_v[3] = {0, 0, BACK_Z};
    add(make_panel(ceil_o, ceil_u, ceil_v, 4, 3, map_ceiling), "ceiling", "wood");

    // Projector, lens and table are built in the file frame already.
    scene.meshes.push_back(mesh_to_3ds(make_projector(), "projector", "metal"));
    scene.meshes.push_back(mesh_to_3ds(make_lens(), "lens", "glass"));
    scene.meshes.push_back(mesh_to_3ds(make_table(), "table", "wood"));

    // Light 0: the projector's lamp at the lens; light 1: a dim light high in a corner.
    Light3ds lamp;
    lamp.name = "projector";
    lamp.position[0] = 0, lamp.position[1] = -LENS_Z, lamp.position[2] = 0;
    lamp.color[0] = 1.0f, lamp.color[1] = 0.9f, lamp.color[2] = 0.7f;
    scene.lights.push_back(lamp);
    Light3ds dim;
    dim.name = "dimlight";
    dim.position[0] = -380, dim.position[1] = -520, dim.position[2] = 330;
    dim.color[0] = 0.07f, dim.color[1] = 0.08f, dim.color[2] = 0.1f;
    scene.lights.push_back(dim);

    // The camera drifts slowly round the beam's right side towards the wall and back out,
    // always inside the cellar. Positions and look points in the renderer frame.
    struct Shot {
        int frame;
        float eye[3], look[3];
    };
    const Shot shots[] = {
        {0, {430, 110, 1180}, {-30, -60, 200}},
        {80, {400, 70, 1050}, {-30, -60, 180}},
        {150, {390, 20, 600}, {-40, -50, 150}},
        {220, {270, -10, 700}, {-50, -80, 100}},
        {END_FRAME, {320, 100, 1120}, {-10, -60, 200}},
    };
    Camera3ds camera;
    camera.name = "camera01";
    camera.lens = 50;
    CameraNode3ds node;
    node.name = camera.name;
    for (const Shot &s : shots) {
        // The renderer tilts the view by twice the elevation of the target direction, so aim
        // at half the pitch that frames the look point.
        float dx = s.look[0] - s.eye[0], dy = s.look[1] - s.eye[1], dz = s.look[2] - s.eye[2];
        float flat = std::sqrt(dx * dx + dz * dz);
        float pitch = std::atan2(dy, flat);
        float elevation = std::asin(std::tan(pitch / 2));
        float target[3] = {s.eye[0] + dx / flat * std::cos(elevation) * 100, s.eye[1] + std::sin(elevation) * 100,
                           s.eye[2] + dz / flat * std::cos(elevation) * 100};
        node.position.push_back(key3ds_position(uint32_t(s.frame), s.eye[0], -s.eye[2], s.eye[1]));
        node.target.push_back(key3ds_position(uint32_t(s.frame), target[0], -target[2], target[1]));
        if (s.frame == 0) {
            camera.position[0] = s.eye[0], camera.position[1] = -s.eye[2], camera.position[2] = s.eye[1];
            camera.target[0] = target[0], camera.target[1] = -target[2], camera.target[2] = target[1];
        }
    }
    node.fov.push_back(key3ds_value(0, 62));
    node.roll.push_back(key3ds_value(0, 0));
    scene.cameras.push_back(camera);
    scene.camera_nodes.push_back(node);

    scene.start_frame = 0;
    scene.end_frame = END_FRAME;
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    sink.add("greez.3ds", encode_3ds(scene));
}

KELP_CONTENT(CONTENT_ORDER_PART + 6, generate_part6);
