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
#include <functional>

#include "content.h"
#include "writers/mesh_3ds.h"
#include "writers/picture.h"

namespace {

const float PI = 3.14159265f;
const float FLOOR_Z = -20, CEILING_Z = 300;
const float ROOM_X0 = -220, ROOM_X1 = 210;  // left and right walls
const float ROOM_Y0 = -200, ROOM_Y1 = 330;  // front wall (behind the camera) and back wall
// The window in the back wall, right of the television.
const float WINDOW_X0 = 70, WINDOW_X1 = 200, WINDOW_Z0 = 100, WINDOW_Z1 = 250;
// The lamp's suspension point and the bulb's centre below it.
const float LAMP_X = -96, LAMP_Y = 235, BULB_Z = 172, BULB_RADIUS = 7;
const int END_FRAME = 200;  // 20 s of playing time at 10 frames a second
const int FRAMES_PER_SECOND = 10;

// ---------------------------------------------------------------- pictures

float clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

// Oak floor boards: long planks across the picture, each with its own tone and grain.
Picture make_floor() {
    const int size = 256, planks = 4;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;
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
            if (edge_v > 0.96f || edge_u > 0.985f) c = colour_scale(c, 0.35f);
            picture_set(p, x, y, c);
        }
    return p;
}

// Wallpaper: muted teal with soft vertical stripes and a small repeated leaf motif.
Picture make_wallpaper() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;
            float stripe = 0.5f + 0.5f * std::cos(u * 8 * PI);
            float cu = std::fmod(u * 4, 1.0f) - 0.5f, cv = std::fmod(v * 4, 1.0f) - 0.5f;
            float leaf = radial_falloff(cu * 1.6f, (cv + cu * 0.6f) * 3.2f, 0.45f);
            float grime = fractal_noise(u * 4, v * 4, 5, 0.5f, 4, 621) * 0.5f + 0.5f;
            Colour c = colour_mix(colour(0.16f, 0.30f, 0.31f), colour(0.22f, 0.38f, 0.37f), stripe * 0.6f);
            c = colour_mix(c, colour(0.55f, 0.50f, 0.34f), leaf * 0.55f);
            c = colour_scale(c, 0.85f + grime * 0.25f);
            picture_set(p, x, y, c);
        }
    return p;
}

// Plaster ceiling: pale grey-blue with faint cloudy patches.
Picture make_plaster() {
    Picture p = picture_clouds(256, colour(0.46f, 0.47f, 0.50f), colour(0.62f, 0.62f, 0.64f), 6, 631);
    return p;
}

// Velvet upholstery: deep blue-teal, a fine weave and soft worn patches.
Picture make_fabric() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;
            float weave = 0.5f + 0.25f * std::sin(x * PI / 2) + 0.25f * std::sin(y * PI / 2);
            float wear = fractal_noise(u * 3, v * 3, 5, 0.55f, 3, 641) * 0.5f + 0.5f;
            Colour c = colour_mix(colour(0.08f, 0.16f, 0.30f), colour(0.18f, 0.34f, 0.48f), wear);
            c = colour_scale(c, 0.9f + weave * 0.15f);
            float seam = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            if (seam < 0.03f) c = colour_scale(c, 0.6f + seam * 10);
            picture_set(p, x, y, c);
        }
    return p;
}

// A warm rug: deep red field, an ochre border and a diamond medallion (the room's warm accent).
Picture make_rug() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size - 0.5f, v = float(y) / size - 0.5f;
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
            picture_set(p, x, y, colour_scale(c, 0.85f + fibre));
        }
    return p;
}

// Dark walnut for the cabinet, shelf, table and frames.
Picture make_walnut() { return picture_wood(256, colour(0.36f, 0.22f, 0.13f), colour(0.14f, 0.08f, 0.05f), 661); }

// The television's case: dark brown plastic with a faint speckle.
Picture make_case() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;
            float n = fractal_noise(u * 6, v * 6, 4, 0.5f, 6, 671) * 0.5f + 0.5f;
            Colour c = colour_mix(colour(0.10f, 0.08f, 0.07f), colour(0.18f, 0.15f, 0.13f), n);
            float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            if (edge < 0.04f) c = colour_scale(c, 1.4f);  // a lighter bevel round each side
            picture_set(p, x, y, c);
        }
    return p;
}

// The switched-off picture tube: dark glass with a soft reflection across one corner.
Picture make_glass() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size - 0.5f, v = float(y) / size - 0.5f;
            float bulge = radial_falloff(u, v, 0.75f);
            float sheen = std::pow(clamp01(1 - std::fabs(u + v - 0.35f) * 4), 2.0f) * 0.25f;
            Colour c = colour_mix(colour(0.03f, 0.04f, 0.05f), colour(0.10f, 0.13f, 0.15f), bulge);
            c = colour_add(c, colour(sheen, sheen * 1.05f, sheen * 1.15f));
            float rim = std::max(std::fabs(u), std::fabs(v));
            if (rim > 0.46f) c = colour(0.05f, 0.04f, 0.035f);
            picture_set(p, x, y, c);
        }
    return p;
}

// Television static: grains of grey with a blue cast, a few brighter streaks and a rolling
// band, tiling both ways (the picture slides by random steps every frame).
Picture make_static() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++) {
        float streak = hash_unit(0, y, 681) > 0.93f ? 0.25f : 0.0f;
        float band = 0.15f * (0.5f + 0.5f * std::cos(2 * PI * y / size * 2));
        float line = (y % 2) ? 0.85f : 1.0f;  // scan lines
        for (int x = 0; x < size; x++) {
            float grain = hash_unit(x, y, 682);
            float clump = value_noise(x / 2.0f, y / 2.0f, size / 2, 683);
            float k = clamp01((grain * 0.7f + clump * 0.4f - 0.15f + streak + band) * line);
            picture_set(p, x, y, colour(k * 0.86f, k * 0.92f, k));
        }
    }
    return p;
}

// The night outside: deep blue sky with stars, thin clouds lit from the moon's side and a
// dark line of hills and trees along the bottom.
Picture make_sky() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = 1 - float(y) / size;  // v: 0 at the bottom row
            float cloud = smooth_step(0.1f, 0.7f, fractal_noise(u * 3, v * 6, 5, 0.55f, 3, 691) * 0.5f + 0.5f);
            Colour c = colour_mix(colour(0.05f, 0.10f, 0.22f), colour(0.02f, 0.04f, 0.11f), v);
            c = colour_add(c, colour_scale(colour(0.16f, 0.22f, 0.32f), cloud * (0.4f + 0.6f * (1 - std::fabs(u - 0.55f)))));
            float star = hash_unit(x, y, 692);
            if (star > 0.996f && cloud < 0.3f) c = colour_add(c, colour(0.7f, 0.7f, 0.8f));
            float hills = 0.22f + 0.05f * std::sin(u * 9) + 0.04f * fractal_noise(u * 12, 0, 3, 0.5f, 0, 693);
            if (v < hills) c = colour(0.015f, 0.03f, 0.04f);
            picture_set(p, x, y, c);
        }
    return p;
}

// The moon: a pale disc with darker seas and a few craters, soft at the rim.
Picture make_moon() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float dx = (x + 0.5f) / size - 0.5f, dy = (y + 0.5f) / size - 0.5f;
            float d = std::sqrt(dx * dx + dy * dy) * 2;
            float seas = smooth_step(0.1f, 0.5f, fractal_noise(dx * 3, dy * 3, 4, 0.5f, 0, 701) * 0.5f + 0.5f);
            float crater = cell_noise(dx * 10, dy * 10, 0, 702);
            Colour c = colour_mix(colour(0.95f, 0.94f, 0.86f), colour(0.62f, 0.64f, 0.66f), seas * 0.7f);
            if (crater < 0.15f) c = colour_scale(c, 0.85f + crater);
            c = colour_scale(c, 1 - 0.35f * d * d);
            if (d > 1) c = colour(0.05f, 0.09f, 0.18f);
            picture_set(p, x, y, c);
        }
    return p;
}

// The lampshade: warm cream linen with vertical ribs.
Picture make_shade_picture() {
    const int size = 256;
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;
            float rib = 0.5f + 0.5f * std::cos(u * 16 * 2 * PI);
            float linen = hash_unit(x, y, 711) * 0.1f + (0.5f + 0.5f * std::sin(y * PI / 1.5f)) * 0.05f;
            Colour c = colour_mix(colour(1.0f, 0.78f, 0.45f), colour(0.86f, 0.55f, 0.28f), rib * 0.5f + v * 0.2f);
            picture_set(p, x, y, colour_scale(c, 0.9f + linen));
        }
    return p;
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
    Picture p(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = float(x) / size, v = float(y) / size;  // v: 0 at the top row
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
            picture_set(p, x, y, colour_scale(c, 0.95f + canvas));
        }
    // The frame.
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            int edge = std::min(std::min(x, size - 1 - x), std::min(y, size - 1 - y));
            if (edge < 14) picture_set(p, x, y, colour_scale(colour(0.55f, 0.40f, 0.18f), 0.6f + edge / 30.0f));
        }
    return p;
}

// ---------------------------------------------------------------- meshes

// A flat panel from corner o along edge vectors e1 (n1 cells) and e2 (n2 cells), facing
// along e1 x e2, mapped in world units (one picture every `tile` units). Cells for which
// `skip` says so are left open.
MeshData make_panel(const float o[3], const float e1[3], const float e2[3], int n1, int n2, float tile,
                    const std::function<bool(int, int)> &skip = nullptr) {
    MeshData mesh;
    float l1 = std::sqrt(e1[0] * e1[0] + e1[1] * e1[1] + e1[2] * e1[2]);
    float l2 = std::sqrt(e2[0] * e2[0] + e2[1] * e2[1] + e2[2] * e2[2]);
    for (int j = 0; j <= n2; j++)
        for (int i = 0; i <= n1; i++) {
            float s = float(i) / n1, t = float(j) / n2;
            MeshVertex v;
            v.x = o[0] + e1[0] * s + e2[0] * t;
            v.y = o[1] + e1[1] * s + e2[1] * t;
            v.z = o[2] + e1[2] * s + e2[2] * t;
            v.u = s * l1 / tile;
            v.v = t * l2 / tile;
            mesh.vertices.push_back(v);
        }
    for (int j = 0; j < n2; j++)
        for (int i = 0; i < n1; i++) {
            if (skip && skip(i, j)) continue;
            int a = j * (n1 + 1) + i;
            mesh.triangles.push_back({a, a + 1, a + n1 + 2});
            mesh.triangles.push_back({a, a + n1 + 2, a + n1 + 1});
        }
    return mesh;
}

// A box between two corners.
MeshData make_box(float x0, float y0, float z0, float x1, float y1, float z1) {
    MeshData box = mesh_box(x1 - x0, y1 - y0, z1 - z0);
    mesh_translate(box, (x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2);
    return box;
}

// The back wall: one grid whose lines run along the window's edges (no cracks where pieces
// meet), with the window's cells left open.
MeshData make_back_wall() {
    // Columns: 10 cells up to the window, 4 across it, 1 beyond; rows: 4 below, 5 across, 2 above.
    std::vector<float> xs, zs;
    for (int i = 0; i <= 10; i++) xs.push_back(ROOM_X0 + (WINDOW_X0 - ROOM_X0) * i / 10);
    for (int i = 1; i <= 4; i++) xs.push_back(WINDOW_X0 + (WINDOW_X1 - WINDOW_X0) * i / 4);
    xs.push_back(ROOM_X1);
    for (int j = 0; j <= 4; j++) zs.push_back(FLOOR_Z + (WINDOW_Z0 - FLOOR_Z) * j / 4);
    for (int j = 1; j <= 5; j++) zs.push_back(WINDOW_Z0 + (WINDOW_Z1 - WINDOW_Z0) * j / 5);
    for (int j = 1; j <= 2; j++) zs.push_back(WINDOW_Z1 + (CEILING_Z - WINDOW_Z1) * j / 2);
    MeshData wall;
    int nx = int(xs.size()), nz = int(zs.size());
    for (int j = 0; j < nz; j++)
        for (int i = 0; i < nx; i++) {
            MeshVertex v;
            v.x = xs[i], v.y = ROOM_Y1, v.z = zs[j];
            v.u = v.x / 120, v.v = v.z / 120;
            wall.vertices.push_back(v);
        }
    for (int j = 0; j + 1 < nz; j++)
        for (int i = 0; i + 1 < nx; i++) {
            bool window = xs[i] >= WINDOW_X0 && xs[i + 1] <= WINDOW_X1 && zs[j] >= WINDOW_Z0 && zs[j + 1] <= WINDOW_Z1;
            if (window) continue;
            // Seen from the room (from -y) the quad a, b, c, d runs counter-clockwise.
            int a = j * nx + i, b = a + 1, c = a + nx + 1, d = a + nx;
            wall.triangles.push_back({a, b, c});
            wall.triangles.push_back({a, c, d});
        }
    return wall;
}

// The sofa: a two-seater of a base, two seat cushions, a back and two arms, built facing +y
// about the origin, then turned to face the television from the right of the room.
MeshData make_sofa() {
    MeshData sofa;
    mesh_append(sofa, make_box(-85, -40, FLOOR_Z + 4, 85, 38, 15));
    mesh_append(sofa, make_box(-67, -22, 15, -1, 40, 31));
    mesh_append(sofa, make_box(1, -22, 15, 67, 40, 31));
    mesh_append(sofa, make_box(-85, -42, 15, 85, -20, 78));
    mesh_append(sofa, make_box(-87, -42, 15, -67, 42, 46));
    mesh_append(sofa, make_box(67, -42, 15, 87, 42, 46));
    // Short legs under the base.
    for (int k = 0; k < 4; k++) {
        float x = k % 2 ? 75 : -79, y = k / 2 ? 30 : -34;
        mesh_append(sofa, make_box(x, y, FLOOR_Z, x + 4, y + 4, FLOOR_Z + 4));
    }
    mesh_rotate_z(sofa, 40 * PI / 180);
    mesh_translate(sofa, 112, 132, 0);
    return sofa;
}

// A side table at the sofa's end, under the window: a top on four legs.
MeshData make_table() {
    MeshData table;
    mesh_append(table, make_box(158, 214, 38, 204, 258, 42));
    for (int k = 0; k < 4; k++) {
        float x = k % 2 ? 196 : 162, y = k / 2 ? 250 : 218;
        mesh_append(table, make_box(x, y, FLOOR_Z, x + 4, y + 4, 38));
    }
    return table;
}

// The window frame: sill, head, jambs and a cross of glazing bars, set into the wall.
MeshData make_window_frame() {
    MeshData frame;
    const float y0 = ROOM_Y1 - 10, y1 = ROOM_Y1 + 8;
    mesh_append(frame, make_box(WINDOW_X0 - 10, ROOM_Y1 - 16, WINDOW_Z0 - 8, WINDOW_X1 + 10, y1, WINDOW_Z0));
    mesh_append(frame, make_box(WINDOW_X0 - 8, y0, WINDOW_Z1, WINDOW_X1 + 8, y1, WINDOW_Z1 + 8));
    mesh_append(frame, make_box(WINDOW_X0 - 8, y0, WINDOW_Z0, WINDOW_X0, y1, WINDOW_Z1));
    mesh_append(frame, make_box(WINDOW_X1, y0, WINDOW_Z0, WINDOW_X1 + 8, y1, WINDOW_Z1));
    float mx = (WINDOW_X0 + WINDOW_X1) / 2, mz = (WINDOW_Z0 + WINDOW_Z1) / 2 + 15;
    mesh_append(frame, make_box(mx - 3, ROOM_Y1 - 4, WINDOW_Z0, mx + 3, ROOM_Y1 + 4, WINDOW_Z1));
    mesh_append(frame, make_box(WINDOW_X0, ROOM_Y1 - 4, mz - 3, mx - 3, ROOM_Y1 + 4, mz + 3));
    mesh_append(frame, make_box(mx + 3, ROOM_Y1 - 4, mz - 3, WINDOW_X1, ROOM_Y1 + 4, mz + 3));
    return frame;
}

// The view out: a wide sky panel behind the window and the moon's disc in front of it.
// Returns the sky and the disc as one mesh; the disc's faces come after `sky_faces`.
MeshData make_outside(int &sky_faces) {
    const float sky_o[3] = {-80, ROOM_Y1 + 70, -80}, sky_e1[3] = {440, 0, 0}, sky_e2[3] = {0, 0, 540};
    MeshData outside = make_panel(sky_o, sky_e1, sky_e2, 2, 2, 1);
    for (MeshVertex &v : outside.vertices) {  // one picture over the whole panel
        v.u = (v.x + 80) / 440;
        v.v = (v.z + 80) / 540;
    }
    // make_panel faces along e1 x e2 = -y: towards the room.
    sky_faces = int(outside.triangles.size());
    const int rim = 24;
    const float cx = 150, cy = ROOM_Y1 + 60, cz = 212, radius = 18;
    int centre = int(outside.vertices.size());
    outside.vertices.push_back({cx, cy, cz, 0.5f, 0.5f});
    for (int k = 0; k < rim; k++) {
        float a = 2 * PI * k / rim;
        outside.vertices.push_back({cx + radius * std::cos(a), cy, cz + radius * std::sin(a),
                                    0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)});
    }
    for (int k = 0; k < rim; k++)  // counter-clockwise seen from -y
        outside.triangles.push_back({centre, centre + 1 + k, centre + 1 + (k + 1) % rim});
    return outside;
}

// The lamp's cord and its brass fitting, hanging from the suspension point.
MeshData make_cord() {
    MeshData cord = mesh_cylinder(1.3f, CEILING_Z - 214, 6, 1, false);
    mesh_translate(cord, LAMP_X, LAMP_Y, 214);
    MeshData fitting = mesh_cylinder(5, 14, 10, 1, true);
    mesh_translate(fitting, LAMP_X, LAMP_Y, 206);
    mesh_append(cord, fitting);
    return cord;
}

// The shade: one lathe from the inner top down the inside, round the rim and up the outside.
MeshData make_shade() {
    std::vector<Point2> profile = {{7.5f, 211}, {28.5f, 190}, {38.5f, BULB_Z}, {40, BULB_Z}, {30, 190}, {9, 212}};
    MeshData shade = mesh_lathe(profile, 16);
    mesh_translate(shade, LAMP_X, LAMP_Y, 0);
    return shade;
}

// The bulb: its first vertex is its lowest point, where the spotlight sits.
MeshData make_bulb() {
    MeshData bulb = mesh_sphere(BULB_RADIUS, 10, 6);
    mesh_translate(bulb, LAMP_X, LAMP_Y, BULB_Z);
    return bulb;
}

// A bookcase against the left wall: a wooden carcass and the spines inset in its front.
MeshData make_bookcase(MeshData &spines) {
    const float x0 = ROOM_X0, x1 = ROOM_X0 + 34, y0 = 20, y1 = 190, z1 = 200;
    MeshData carcass = make_box(x0, y0, FLOOR_Z, x1, y1, z1);
    const float o[3] = {x1 + 1, y0 + 8, FLOOR_Z + 12}, e1[3] = {0, y1 - y0 - 16, 0}, e2[3] = {0, 0, z1 - FLOOR_Z - 20};
    spines = make_panel(o, e1, e2, 2, 3, 1);
    for (MeshVertex &v : spines.vertices) {
        v.u = (v.y - y0 - 8) / (y1 - y0 - 16);
        v.v = (v.z - FLOOR_Z - 12) / (z1 - FLOOR_Z - 20);
    }
    return carcass;
}

// Add a built mesh with one material and a static keyframer node.
void add_mesh(Scene3ds &scene, const MeshData &mesh, const char *name, const char *material) {
    scene.meshes.push_back(mesh_to_3ds(mesh, name, material));
}

// The camera's keys: seconds, position and the point looked at, in the file frame.
struct CameraStop {
    float seconds;
    float position[3], look_at[3];
};

// From behind the sofa over the wolf's shoulder at the television, round to the right of the
// room for the walk, the bump and the fall, then slowly back and up while the lamp swings and
// the end screen fades in.
const CameraStop camera_stops[] = {
    {0, {185, -165, 222}, {-30, 280, 120}},
    {4, {180, -140, 218}, {-30, 280, 118}},
    {7.5f, {175, -100, 212}, {-45, 260, 118}},
    {10.5f, {175, -40, 205}, {-60, 230, 125}},
    {13, {175, 40, 200}, {-80, 215, 140}},
    {15.5f, {175, 20, 205}, {-60, 190, 70}},
    {19, {180, -40, 215}, {-70, 210, 100}},
    {23, {185, -110, 225}, {-60, 230, 110}},
    {27, {185, -160, 232}, {-50, 240, 110}},
};

// The target to store for looking at `look_at`: the renderer turns the camera up or down by
// twice the arctangent of the direction's height over its length, so the height is lessened
// until that doubled angle is the true one.
void camera_target(const CameraStop &stop, float target[3]) {
    float dx = stop.look_at[0] - stop.position[0], dy = stop.look_at[1] - stop.position[1];
    float dz = stop.look_at[2] - stop.position[2];
    float across = std::sqrt(dx * dx + dy * dy);
    float pitch = std::atan2(dz, across);
    float stored = std::asin(std::tan(pitch / 2));  // sin(stored) = tan(pitch / 2)
    target[0] = stop.look_at[0];
    target[1] = stop.look_at[1];
    target[2] = stop.position[2] + across * std::tan(stored);
}

}  // namespace

// Write "sofa.3ds" and its pictures.
void generate_part11(ContentSink &sink) {
    sink.add("sofa_floor.bmp", bmp_encode_24(make_floor()));
    sink.add("sofa_wall.bmp", bmp_encode_24(make_wallpaper()));
    sink.add("sofa_plaster.bmp", bmp_encode_24(make_plaster()));
    sink.add("sofa_fabric.bmp", bmp_encode_24(make_fabric()));
    sink.add("sofa_rug.bmp", bmp_encode_24(make_rug()));
    sink.add("sofa_walnut.bmp", bmp_encode_24(make_walnut()));
    sink.add("sofa_case.bmp", bmp_encode_24(make_case()));
    sink.add("sofa_glass.bmp", bmp_encode_24(make_glass()));
    sink.add("tvstatic.bmp", bmp_encode_24(make_static()));
    sink.add("sofa_sky.bmp", bmp_encode_24(make_sky()));
    sink.add("sofa_moon.bmp", bmp_encode_24(make_moon()));
    sink.add("sofa_shade.bmp", bmp_encode_24(make_shade_picture()));
    sink.add("sofa_brass.bmp", bmp_encode_24(make_brass()));
    sink.add("sofa_bulb.bmp", bmp_encode_24(make_bulb_picture()));
    sink.add("sofa_books.bmp", bmp_encode_24(make_books()));
    sink.add("sofa_painting.bmp", bmp_encode_24(make_painting()));

    Scene3ds scene;
    scene.add_material("floor", "sofa_floor.bmp");
    scene.add_material("wall", "sofa_wall.bmp");
    scene.add_material("plaster", "sofa_plaster.bmp");
    scene.add_material("fabric", "sofa_fabric.bmp");
    scene.add_material("rug", "sofa_rug.bmp");
    scene.add_material("walnut", "sofa_walnut.bmp");
    scene.add_material("case", "sofa_case.bmp");
    scene.add_material("glass", "sofa_glass.bmp");
    scene.add_material("static", "tvstatic.bmp");
    scene.add_material("sky", "sofa_sky.bmp");
    scene.add_material("moon", "sofa_moon.bmp");
    scene.add_material("shade", "sofa_shade.bmp");
    scene.add_material("brass", "sofa_brass.bmp");
    scene.add_material("books", "sofa_books.bmp");
    scene.add_material("painting", "sofa_painting.bmp");
    // The bulb is lit like any surface; an over-bright colour keeps it glowing in the dark.
    Material3ds &bulb = scene.add_material("bulb", "sofa_bulb.bmp");
    bulb.diffuse[0] = 6, bulb.diffuse[1] = 5.4f, bulb.diffuse[2] = 4.2f;

    // The room: floor and ceiling fine enough for the spotlight's pool to show, walls facing in.
    const float floor_o[3] = {ROOM_X0, ROOM_Y0, FLOOR_Z}, floor_e1[3] = {ROOM_X1 - ROOM_X0, 0, 0},
                floor_e2[3] = {0, ROOM_Y1 - ROOM_Y0, 0};
    add_mesh(scene, make_panel(floor_o, floor_e1, floor_e2, 24, 24, 160), "floor", "floor");
    const float ceil_o[3] = {ROOM_X0, ROOM_Y0, CEILING_Z}, ceil_e1[3] = {0, ROOM_Y1 - ROOM_Y0, 0},
                ceil_e2[3] = {ROOM_X1 - ROOM_X0, 0, 0};
    add_mesh(scene, make_panel(ceil_o, ceil_e1, ceil_e2, 10, 10, 160), "ceiling", "plaster");
    add_mesh(scene, make_back_wall(), "wall01", "wall");
    const float left_o[3] = {ROOM_X0, ROOM_Y0, FLOOR_Z}, left_e1[3] = {0, ROOM_Y1 - ROOM_Y0, 0},
                left_e2[3] = {0, 0, CEILING_Z - FLOOR_Z};
    add_mesh(scene, make_panel(left_o, left_e1, left_e2, 16, 8, 120), "wall02", "wall");
    const float right_o[3] = {ROOM_X1, ROOM_Y1, FLOOR_Z}, right_e1[3] = {0, ROOM_Y0 - ROOM_Y1, 0},
                right_e2[3] = {0, 0, CEILING_Z - FLOOR_Z};
    add_mesh(scene, make_panel(right_o, right_e1, right_e2, 12, 8, 120), "wall03", "wall");
    const float front_o[3] = {ROOM_X1, ROOM_Y0, FLOOR_Z}, front_e1[3] = {ROOM_X0 - ROOM_X1, 0, 0},
                front_e2[3] = {0, 0, CEILING_Z - FLOOR_Z};
    add_mesh(scene, make_panel(front_o, front_e1, front_e2, 8, 6, 120), "wall04", "wall");

    // The rug under the wolf's walk, a hair above the floor.
    const float rug_o[3] = {-170, 30, FLOOR_Z + 0.6f}, rug_e1[3] = {240, 0, 0}, rug_e2[3] = {0, 220, 0};
    MeshData rug = make_panel(rug_o, rug_e1, rug_e2, 12, 11, 1);
    for (MeshVertex &v : rug.vertices) {
        v.u = (v.x + 170) / 240;
        v.v = (v.y - 30) / 220;
    }
    add_mesh(scene, rug, "rug", "rug");

    // The television on its cabinet against the back wall: the case, the dark tube in front
    // of it and the picture in front of that (the screen is centred on x -15, z 115).
    add_mesh(scene, make_box(-115, 275, FLOOR_Z, 85, ROOM_Y1, 55), "cabinet", "walnut");
    add_mesh(scene, make_box(-85, 270, 55, 55, ROOM_Y1, 175), "tv", "case");
    const float glass_o[3] = {-76, 268.5f, 70}, glass_e1[3] = {122, 0, 0}, glass_e2[3] = {0, 0, 100};
    MeshData glass = make_panel(glass_o, glass_e1, glass_e2, 1, 1, 1);
    for (MeshVertex &v : glass.vertices) {
        v.u = (v.x + 76) / 122;
        v.v = (v.z - 70) / 100;
    }
    // make_panel faces along e1 x e2 = -y, towards the room.
    add_mesh(scene, glass, "tvglass", "glass");
    // The picture: exactly four corners, round the quad from the lower left.
    Mesh3ds screen;
    screen.name = "screen";
    screen.add_vertex(-70, 267, 75, 0, 0);
    screen.add_vertex(40, 267, 75, 1, 0);
    screen.add_vertex(40, 267, 155, 1, 1);
    screen.add_vertex(-70, 267, 155, 0, 1);
    screen.add_face(0, 1, 2);
    screen.add_face(0, 2, 3);
    screen.set_material("static", 0, 2);
    scene.meshes.push_back(screen);

    // The window, the night sky and the moon beyond it.
    add_mesh(scene, make_window_frame(), "window", "walnut");
    int sky_faces = 0;
    Mesh3ds outside = mesh_to_3ds(make_outside(sky_faces), "moon", "");
    outside.set_material("sky", 0, sky_faces);
    outside.set_material("moon", sky_faces, outside.face_count() - sky_faces);
    scene.meshes.push_back(outside);

    // Furniture.
    add_mesh(scene, make_sofa(), "sofa", "fabric");
    add_mesh(scene, make_table(), "table", "walnut");
    MeshData spines;
    add_mesh(scene, make_bookcase(spines), "bookcase", "walnut");
    add_mesh(scene, spines, "books", "books");
    // A painting on the back wall, left of the television.
    const float art_o[3] = {-212, ROOM_Y1 - 1.5f, 140}, art_e1[3] = {72, 0, 0}, art_e2[3] = {0, 0, 72};
    MeshData painting = make_panel(art_o, art_e1, art_e2, 2, 2, 1);
    for (MeshVertex &v : painting.vertices) {
        v.u = (v.x + 212) / 72;
        v.v = (v.z - 140) / 72;
    }
    add_mesh(scene, painting, "painting", "painting");
    // The ceiling rose the lamp hangs from.
    MeshData rose = mesh_cylinder(9, 6, 12, 1, true);
    mesh_translate(rose, LAMP_X, LAMP_Y, CEILING_Z - 6);
    add_mesh(scene, rose, "rose", "brass");

    // The lamp and its rest copies, vertex for vertex.
    const MeshData pieces[3] = {make_cord(), make_shade(), make_bulb()};
    const char *const piece_materials[3] = {"brass", "shade", "bulb"};
    for (int copy = 0; copy < 2; copy++)
        for (int p = 0; p < 3; p++) {
            char name[16];
            snprintf(name, sizeof name, "lamp%02d", copy * 3 + p + 1);
            add_mesh(scene, pieces[p], name, piece_materials[p]);
        }

    // Light 0: the lamp's spotlight at the bulb, shining down; light 1: moonlight by the window.
    Light3ds spot;
    spot.name = "spot01";
    spot.position[0] = LAMP_X, spot.position[1] = LAMP_Y, spot.position[2] = BULB_Z - BULB_RADIUS;
    spot.color[0] = 1.0f, spot.color[1] = 0.8f, spot.color[2] = 0.52f;
    spot.spot = true;
    spot.target[0] = LAMP_X, spot.target[1] = LAMP_Y, spot.target[2] = FLOOR_Z;
    spot.hotspot = 35, spot.falloff = 50;
    scene.lights.push_back(spot);
    Light3ds moonlight;
    moonlight.name = "moonlight";
    moonlight.position[0] = 95, moonlight.position[1] = 240, moonlight.position[2] = 210;
    moonlight.color[0] = 0.45f, moonlight.color[1] = 0.58f, moonlight.color[2] = 0.9f;
    scene.lights.push_back(moonlight);

    Camera3ds camera;
    camera.name = "camera01";
    camera_target(camera_stops[0], camera.target);
    for (int k = 0; k < 3; k++) camera.position[k] = camera_stops[0].position[k];
    scene.cameras.push_back(camera);

    scene.start_frame = 0;
    scene.end_frame = END_FRAME;
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    CameraNode3ds node;
    node.name = camera.name;
    for (const CameraStop &stop : camera_stops) {
        uint32_t frame = uint32_t(std::lround(stop.seconds * FRAMES_PER_SECOND));
        node.position.push_back(key3ds_position(frame, stop.position[0], stop.position[1], stop.position[2]));
        float target[3];
        camera_target(stop, target);
        node.target.push_back(key3ds_position(frame, target[0], target[1], target[2]));
    }
    node.fov.push_back(key3ds_value(0, 76));
    node.roll.push_back(key3ds_value(0, 0));
    scene.camera_nodes.push_back(node);
    sink.add("sofa.3ds", encode_3ds(scene));
}

KELP_CONTENT(CONTENT_ORDER_PART + 11, generate_part11);
