// part3_content.cpp: the wobbel torus's world "wobbel.3ds", modelled around the origin
// (the part moves everything 200 units in front of the viewer and turns it there): an
// inward-facing deep-water shell, two brass rings, an icosahedral brass cage with pearls
// at its corners and a swarm of glass shards around "Torus"; then the two shapes the torus
// morphs between, "Torus1" (a fat round donut) and "Torus2" (a thin wavy ring with twisted
// flutes), last in the file and with the torus's vertex count and order.
#include <cmath>

#include "kit_scene.h"

namespace {

// Grid of the torus and its two shapes: rings along the tube, vertices round each ring.
const int TUBE_SEGMENTS = 90, TUBE_SIDES = 20;
const float SHELL_RADIUS = 250;  // the viewer sits 200 from the centre: inside the shell
const float CAGE_RADIUS = 118;
// The outer ring's tilt across the torus and its turn about the axis, in radians.
const float RING2_TILT = 1.1f, RING2_TURN = 0.5f;
// The turn between one shard's direction and the next round the spiral (about 137.5 degrees).
const float GOLDEN_ANGLE = 2.39996f;

// A closed tube round a closed centre line, TUBE_SEGMENTS rings of TUBE_SIDES vertices
// without seam copies (so normals stay smooth all round). Vertex i * TUBE_SIDES + j is
// ring i, side j, in every tube this makes: the morph pairs vertices by index.
// Side 0 lies on the outside of the ring (away from the z axis), side TUBE_SIDES / 4 on top.
MeshData make_tube(Vec3 (*centre)(float s), float (*radius)(float s, float b)) {
    MeshData tube;
    for (int i = 0; i < TUBE_SEGMENTS; i++) {
        float s = TWO_PI * i / TUBE_SEGMENTS;
        Vec3 c = centre(s);
        Vec3 tangent = normalize(centre(s + 0.001f) - centre(s - 0.001f));
        Vec3 n_up = normalize(UNIT_Z - tangent * dot(UNIT_Z, tangent));
        Vec3 n_out = cross(tangent, n_up);
        for (int j = 0; j < TUBE_SIDES; j++) {
            float b = TWO_PI * j / TUBE_SIDES;
            Vec3 p = c + (n_out * std::cos(b) + n_up * std::sin(b)) * radius(s, b);
            mesh_add_vertex(tube, p, float(i) / TUBE_SEGMENTS, float(j) / TUBE_SIDES);
        }
    }
    for (int i = 0; i < TUBE_SEGMENTS; i++)
        for (int j = 0; j < TUBE_SIDES; j++) {
            int i1 = (i + 1) % TUBE_SEGMENTS, j1 = (j + 1) % TUBE_SIDES;
            int a = i * TUBE_SIDES + j, b = i1 * TUBE_SIDES + j, c = i1 * TUBE_SIDES + j1, d = i * TUBE_SIDES + j1;
            mesh_add_quad(tube, a, b, c, d);
        }
    mesh_wind_outwards(tube);
    return tube;
}

// The fat round donut.
Vec3 round_centre(float s) { return {42 * std::cos(s), 42 * std::sin(s), 0}; }
float round_radius(float, float) { return 18; }

// The thin ring that waves in and out and up and down three times round, its tube fluted
// with five ridges that twist nine times along it.
Vec3 wavy_centre(float s) {
    float r = 45 + 12 * std::cos(3 * s);
    return {r * std::cos(s), r * std::sin(s), 20 * std::sin(3 * s)};
}
float wavy_radius(float s, float b) { return 8.0f * (1 + 0.4f * std::cos(5 * b + 9 * s)); }

// A thin bar of square section `width` from a to b (a box turned onto the segment).
MeshData make_bar(Vec3 a, Vec3 b, float width) {
    Vec3 d = b - a;
    float span = length(d);
    d = d * (1 / span);
    Vec3 mid = (a + b) * 0.5f;
    Vec3 e1 = cross(d, mid);
    if (dot(e1, e1) < 1e-6f) e1 = cross(d, UNIT_Z);
    e1 = normalize(e1);
    Vec3 e2 = cross(d, e1);
    MeshData bar = mesh_box(span, width, width);
    mesh_on_axes(bar, mid, d, e1, e2);
    for (MeshVertex &v : bar.vertices) v.u *= span / 40;  // the brass grain runs along the bar
    return bar;
}

// The twelve corners of an icosahedron on a sphere of the given radius.
std::vector<Vec3> icosahedron(float radius) {
    const float g = (1 + std::sqrt(5.0f)) / 2;
    std::vector<Vec3> corners;
    for (int a = -1; a <= 1; a += 2)
        for (int b = -1; b <= 1; b += 2) {
            corners.push_back({0, float(a), b * g});
            corners.push_back({float(a), b * g, 0});
            corners.push_back({b * g, 0, float(a)});
        }
    for (Vec3 &c : corners) c = normalize(c) * radius;
    return corners;
}

// The cage: the thirty edges of the icosahedron as brass bars.
MeshData make_cage() {
    std::vector<Vec3> corners = icosahedron(CAGE_RADIUS);
    float edge = 0;  // the shortest distance between corners is the edge length
    for (size_t i = 1; i < corners.size(); i++) {
        float l = length(corners[i] - corners[0]);
        if (edge == 0 || l < edge) edge = l;
    }
    MeshData cage;
    for (size_t i = 0; i < corners.size(); i++)
        for (size_t j = i + 1; j < corners.size(); j++)
            if (length(corners[j] - corners[i]) < edge * 1.01f) mesh_append(cage, make_bar(corners[i], corners[j], 1.6f));
    return cage;
}

// A pearl on every corner of the cage.
MeshData make_pearls() {
    MeshData pearls;
    for (Vec3 c : icosahedron(CAGE_RADIUS)) mesh_append(pearls, mesh_moved(mesh_sphere(5, 10, 6), c));
    return pearls;
}

// A six-sided glass shard (two pyramids base to base), faceted: every face has its own
// corners, so the facets catch the light one by one.
MeshData make_shard(Vec3 centre, Vec3 axis, float half_length, float width, float twist) {
    axis = normalize(axis);
    Vec3 e1 = normalize(cross(axis, std::fabs(axis.z) < 0.9f ? UNIT_Z : UNIT_X));
    Vec3 e2 = cross(axis, e1);
    Vec3 top = centre + axis * half_length, bottom = centre - axis * (half_length * 0.6f);
    Vec3 ring[6];
    for (int k = 0; k < 6; k++) {
        float a = TWO_PI * k / 6 + twist;
        ring[k] = centre + (e1 * std::cos(a) + e2 * std::sin(a)) * width;
    }
    MeshData shard;
    auto corner = [&](Vec3 p, float u, float v) { return mesh_add_vertex(shard, p, u, v); };
    for (int k = 0; k < 6; k++) {
        Vec3 a = ring[k], b = ring[(k + 1) % 6];
        int t0 = corner(top, 0.5f, 1), t1 = corner(a, 0, 0.3f), t2 = corner(b, 1, 0.3f);
        shard.triangles.push_back({t1, t2, t0});
        int b0 = corner(bottom, 0.5f, 0), b1 = corner(b, 1, 0.3f), b2 = corner(a, 0, 0.3f);
        shard.triangles.push_back({b1, b2, b0});
    }
    mesh_wind_outwards(shard);
    return shard;
}

// Twelve shards scattered in a loose shell round the torus, pointing every way.
MeshData make_shards() {
    MeshData shards;
    for (int i = 0; i < 12; i++) {
        // Even spread of directions (a spiral over the sphere), radius varied.
        float z = 1 - (i + 0.5f) / 6.0f;
        float r = std::sqrt(1 - z * z);
        float a = i * GOLDEN_ANGLE;
        Vec3 dir = {r * std::cos(a), r * std::sin(a), z};
        float distance = 80 + 45 * hash_unit(i, 1, 3301);
        Vec3 axis = {hash_unit(i, 2, 3301) - 0.5f, hash_unit(i, 3, 3301) - 0.5f, hash_unit(i, 4, 3301) - 0.5f};
        axis = normalize(cross(dir, axis));  // lying across the line to the centre
        float length = 20 + 12 * hash_unit(i, 5, 3301);
        MeshData shard = make_shard(dir * distance, axis, length, 6.0f + 3.0f * hash_unit(i, 6, 3301),
                                    hash_unit(i, 7, 3301));
        mesh_append(shards, shard);
    }
    return shards;
}

// Chrome reflection seen through the torus's normals: u and v are the normal's x and y,
// so the picture is sampled round its corner (0, 0) and must tile. Up-facing normals
// (v from 0 to 0.5) reflect a teal sky with light shafts above a warm horizon glow at
// v = 0; down-facing ones (v from 0.5 to 1) a sandy sea floor with a bright rim at v = 1.
Picture make_chrome() {
    const int size = 256;
    return picture_painted(size, size, [](int x, int y, float, float) {
        float u = (x + 0.5f) / size, v = 1 - (y + 0.5f) / size;  // rows are stored bottom-up
        float streak = fractal_noise(u * 4, v * 16, 4, 0.5f, 4, 3101) * 0.5f + 0.5f;
        Colour c;
        if (v < 0.5f) {
            float t = v / 0.5f;  // 0 at the horizon, 1 straight up
            c = colour_mix(colour(0.62f, 0.86f, 0.92f), colour(0.12f, 0.26f, 0.50f), std::pow(t, 0.7f));
            float shafts = std::pow(0.5f + 0.5f * std::sin(u * TWO_PI * 3 + streak * 2), 6.0f);
            c = colour_add(c, colour_scale(colour(0.6f, 0.8f, 0.85f), shafts * (1 - t) * 0.5f));
            c = colour_add(c, colour_scale(colour(1.0f, 0.75f, 0.45f), std::exp(-t * 12) * 0.8f));
            c = colour_scale(c, 0.85f + 0.3f * streak);
        } else {
            float t = (1 - v) / 0.5f;  // 0 at the horizon, 1 straight down
            float ripple = 0.5f + 0.5f * std::sin((u * 8 + streak * 1.5f) * TWO_PI + t * 20);
            c = colour_mix(colour(0.55f, 0.46f, 0.32f), colour(0.10f, 0.14f, 0.20f), std::pow(t, 0.6f));
            c = colour_scale(c, 0.8f + 0.4f * ripple * (1 - t));
            c = colour_add(c, colour_scale(colour(1.0f, 0.85f, 0.6f), std::exp(-t * 25) * 0.6f));
        }
        return c;
    });
}

// Deep water for the shell: dark blue-green masses, a web of caustic light and warm
// glowing specks; tiles round (u) so the shell has no seam, darker towards the poles.
Picture make_deep() {
    const int size = 512;
    return picture_painted(size, size, [](int x, int y, float, float) {
        float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
        float mass = fractal_noise(u * 3, v * 3, 5, 0.55f, 3, 3201) * 0.5f + 0.5f;
        float web = 1 - std::fabs(perlin_noise(u * 10, v * 10, 10, 3202));
        float web2 = 1 - std::fabs(perlin_noise(u * 20 + 3.3f, v * 20, 20, 3203));
        float caustic = std::pow(web, 10.0f) * 0.7f + std::pow(web2, 14.0f) * 0.4f;
        float pole = std::sin(v * PI);
        Colour c = colour_mix(colour(0.02f, 0.06f, 0.14f), colour(0.08f, 0.30f, 0.36f), std::pow(mass, 1.4f));
        c = colour_add(c, colour_scale(colour(0.45f, 0.85f, 0.85f), caustic * (0.4f + mass)));
        float speck = hash_unit(x, y, 3204);
        if (speck > 0.9985f) c = colour_add(c, colour(1.0f, 0.6f, 0.3f));
        return colour_scale(c, 0.55f + 0.45f * pole);
    });
}

// Warm brass with a grain along u and darker tarnish in patches.
Picture make_brass() {
    return picture_repainted(picture_metal(256, colour(0.78f, 0.56f, 0.30f), 3401), [](int, int, float u, float v, Colour now) {
        float tarnish = smooth_step(0.5f, 0.8f, fractal_noise(u * 3, v * 3, 4, 0.5f, 3, 3402) * 0.5f + 0.5f);
        float band = smooth_step(0.8f, 0.95f, std::fabs(std::sin(u * TWO_PI * 4)));
        Colour c = colour_mix(now, colour(0.22f, 0.30f, 0.22f), tarnish * 0.6f);
        return colour_scale(c, 1 - band * 0.35f);
    });
}

// Teal glass with pale veins.
Picture make_glass() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float vein = std::pow(1 - std::fabs(perlin_noise(u * 5, v * 5, 5, 3501)), 12.0f);
        float depth = fractal_noise(u * 4, v * 4, 4, 0.5f, 4, 3502) * 0.5f + 0.5f;
        Colour c = colour_mix(colour(0.10f, 0.45f, 0.50f), colour(0.35f, 0.85f, 0.85f), depth);
        return colour_add(c, colour_scale(colour(0.8f, 0.95f, 0.9f), vein));
    });
}

// Pearl: pale with a soft play of pink, gold and green.
Picture make_pearl() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float n = fractal_noise(u * 3, v * 3, 4, 0.5f, 3, 3601) * 0.5f + 0.5f;
        Colour sheen = colour_hsv(n * 1.4f + v * 0.3f, 0.25f, 0.95f);
        return colour_mix(colour(0.85f, 0.84f, 0.80f), sheen, 0.6f);
    });
}

}  // namespace

// Write "wobbel.3ds" and its pictures.
void generate_part3(ContentSink &sink) {
    Scene3ds scene;
    add_scene_pictures(sink, scene, {{"wob_chrome.bmp", make_chrome, "chrome"}, {"wob_deep.bmp", make_deep, "deep"},
                                     {"wob_brass.bmp", make_brass, "brass"}, {"wob_glass.bmp", make_glass, "glass", 30},
                                     {"wob_pearl.bmp", make_pearl, "pearl"}});

    // The shell, seen from inside.
    MeshData shell = mesh_sphere(SHELL_RADIUS, 32, 16);
    for (MeshVertex &v : shell.vertices) v.u *= 2;  // the picture twice round, wide enough
    mesh_flip(shell);
    add_mesh(scene, shell, "Shell", "deep");

    // Two rings round the torus: one level, one tilted across it.
    MeshData ring1 = mesh_torus(92, 2.4f, 96, 6);
    for (MeshVertex &v : ring1.vertices) v.u *= 12;
    add_mesh(scene, ring1, "Ring1", "brass");
    MeshData ring2 = mesh_torus(104, 2.0f, 96, 6);
    for (MeshVertex &v : ring2.vertices) v.u *= 14;
    mesh_rotate_x(ring2, RING2_TILT);
    mesh_rotate_z(ring2, RING2_TURN);
    add_mesh(scene, ring2, "Ring2", "brass");

    add_mesh(scene, make_cage(), "Cage", "brass");
    add_mesh(scene, make_pearls(), "Pearls", "pearl");
    MeshData shards = make_shards();
    mesh_map_box(shards, 1.0f / 30);
    add_mesh(scene, shards, "Shards", "glass");

    // The torus and, last, the two shapes it morphs between (same grid, same order).
    MeshData round = make_tube(round_centre, round_radius);
    add_mesh(scene, round, TORUS_MESH, "chrome");
    add_mesh(scene, round, ROUND_TORUS_MESH, "chrome");
    add_mesh(scene, make_tube(wavy_centre, wavy_radius), WAVY_TORUS_MESH, "chrome");

    scene.light_nodes = false;
    write_scene(sink, scene, WOBBEL_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 3, generate_part3);
