// part7_content.cpp: the rock tunnel "rocktunnel.3ds": a winding tunnel of rough rock that
// opens onto hilly ground under a starry dome with two cloud layers, two lightning lights
// tucked under its roof, a hidden guide whose keys lead the flare swarm through it, and a
// camera that flies through and out under the sky. Pictures: rock, ground, stars, clouds.
#include <algorithm>
#include <cmath>

#include "kit_scene.h"

namespace {

const int END_FRAME = end_frame(ROCK_TUNNEL_SCENE);
// The tunnel runs along +y (file frame, z up) from its closed end to its mouth.
const float TUNNEL_START = 100, TUNNEL_END = 1900;
const float FLOOR = -55;  // floor height below the centre line; the ground outside lies there
const int TUNNEL_SIDES = 22, TUNNEL_RINGS = 32;  // every face is a draw of its own, twice when lit
// The sky dome and its cloud layers are centred on the mouth at ground level.
const float SKY_RADIUS = 1800, CLOUD1_RADIUS = 1700, CLOUD2_RADIUS = 1600;
const float SKY_Y = TUNNEL_END, SKY_Z = FLOOR;

// The centre line of the tunnel: a gentle S sideways and a slow swell, straight at both ends.
float bend(float y, float amplitude, float period) {
    return y <= TUNNEL_START || y >= TUNNEL_END ? 0 : amplitude * std::sin(PI * (y - TUNNEL_START) / period);
}
float centre_x(float y) { return bend(y, 60, 900); }
float centre_z(float y) { return bend(y, 15, 600); }

// Rough brown rock with cracks and damp patches, with little blue in it: between their
// flashes the lightning lights take away mostly blue, which then reads as shadow on it.
Picture make_rock() {
    return picture_repainted(picture_stone(256, colour(0.66f, 0.52f, 0.36f), 701), [](int, int, float u, float v, Colour c) {
        float strata = std::sin((v * 6 + fractal_noise(u * 4, v * 4, 4, 0.5f, 4, 702) * 0.35f) * 2 * PI) * 0.5f + 0.5f;
        float damp = smooth_step(0.5f, 0.8f, fractal_noise(u * 3, v * 3, 4, 0.5f, 3, 703) * 0.5f + 0.5f);
        c = colour_scale(c, 0.8f + 0.35f * strata);
        return colour_mix(c, colour(0.34f, 0.30f, 0.22f), damp * 0.5f);
    });
}

// Dark stony ground with pale grass tufts, seen in starlight.
Picture make_ground() {
    return picture_painted(256, 256, [](int x, int y, float u, float v) {
        float soil = fractal_noise(u * 6, v * 6, 5, 0.55f, 6, 711) * 0.5f + 0.5f;
        float stones = 1 - smooth_step(0.05f, 0.18f, cell_noise(u * 10, v * 10, 10, 712));
        float grass = smooth_step(0.5f, 0.75f, fractal_noise(u * 5, v * 5, 4, 0.5f, 5, 713) * 0.5f + 0.5f);
        Colour c = colour_mix(colour(0.12f, 0.13f, 0.15f), colour(0.24f, 0.25f, 0.27f), soil);
        c = colour_mix(c, colour(0.16f, 0.24f, 0.20f), grass * 0.7f);
        c = colour_mix(c, colour(0.38f, 0.40f, 0.44f), stones * 0.6f);
        return colour_scale(c, 0.9f + 0.2f * hash_unit(x, y, 714));
    });
}

// The night sky: deep blue, a teal glow along the horizon (v = 0.5), a faint milky band and
// stars of several sizes. Tiles left to right.
Picture make_stars() {
    const int size = 512;
    Picture p = picture_painted(size, size, [](int, int, float u, float v) {
        float height = std::fabs(v - 0.5f) * 2;  // 0 at the horizon, 1 at the poles
        Colour c = colour_mix(colour(0.06f, 0.14f, 0.20f), colour(0.01f, 0.02f, 0.07f), std::pow(height, 0.45f));
        float band = std::exp(-std::pow((v - 0.5f - 0.25f * std::sin(u * 2 * PI)) * 5, 2.0f));
        float dust = fractal_noise(u * 8, v * 8, 5, 0.55f, 8, 721) * 0.5f + 0.5f;
        return colour_add(c, colour_scale(colour(0.10f, 0.11f, 0.18f), band * dust * dust));
    });
    // Stars: many faint points and a few bright ones with a soft halo.
    for (int i = 0; i < 1400; i++) {
        float sx = hash_unit(i, 1, 722) * size, sy = hash_unit(i, 2, 722) * size;
        float bright = std::pow(hash_unit(i, 3, 722), 3.0f);
        float radius = 0.6f + bright * 2.2f;
        Colour star = hash_unit(i, 4, 722) > 0.8f ? colour(1.0f, 0.85f, 0.7f) : colour(0.8f, 0.88f, 1.0f);
        for (int dy = -3; dy <= 3; dy++)
            for (int dx = -3; dx <= 3; dx++) {
                int cx = int(sx) + dx, cy = int(sy) + dy;
                float k = glow_falloff(cx + 0.5f - sx, cy + 0.5f - sy, radius, 2.5f);
                if (k > 0) picture_add(p, (cx + size) % size, cy, colour_scale(star, k * (0.35f + bright)));
            }
    }
    return p;
}

// Moonlit clouds: soft grey-blue masses with darker undersides, on the sky's own dark blue,
// so the gaps keep the colour of the sky. Tiles both ways.
Picture make_clouds(uint32_t seed, float cover) {
    return picture_painted(256, 256, [&](int, int, float u, float v) {
        float mass = fractal_noise(u * 3, v * 3, 6, 0.55f, 3, seed) * 0.5f + 0.5f;
        float detail = fractal_noise(u * 12, v * 12, 3, 0.5f, 12, seed + 1) * 0.5f + 0.5f;
        float k = smooth_step(cover, cover + 0.25f, mass + (detail - 0.5f) * 0.15f);
        float lit = smooth_step(0.3f, 0.9f, mass);
        Colour cloud = colour_mix(colour(0.22f, 0.26f, 0.36f), colour(0.62f, 0.68f, 0.80f), lit);
        return colour_mix(colour(0.02f, 0.04f, 0.09f), cloud, k);
    });
}

// Radius of the tunnel wall at angle a and depth y: rough rock that widens at the mouth.
float wall_radius(float a, float y) {
    float rough = fractal_noise(a / TWO_PI * 8, y / 70, 4, 0.5f, 8, 731);
    float boulders = fractal_noise(a / TWO_PI * 3, y / 240, 2, 0.5f, 3, 732);
    float mouth = smooth_step(TUNNEL_END - 250, TUNNEL_END, y);
    return (100 + 18 * rough + 14 * boulders) * (1 + 0.35f * mouth);
}

// The tunnel: a grid bent into rings of rough rock around the centre line with a flat
// floor, u around the wall (twice) and v along it, closed at its start by a bulging rock face.
MeshData make_tunnel() {
    MeshData mesh = mesh_panel_grid({0, 0, 0}, UNIT_X, UNIT_Y, TUNNEL_SIDES, TUNNEL_RINGS);
    for (int r = 0; r <= TUNNEL_RINGS; r++) {
        float y = TUNNEL_START + (TUNNEL_END - TUNNEL_START) * r / TUNNEL_RINGS;
        float cx = centre_x(y), cz = centre_z(y);
        for (int s = 0; s <= TUNNEL_SIDES; s++) {
            float a = TWO_PI * (s % TUNNEL_SIDES) / TUNNEL_SIDES;
            float radius = wall_radius(a, y);
            MeshVertex &v = mesh.vertices[r * (TUNNEL_SIDES + 1) + s];
            v.x = cx + radius * std::cos(a);
            v.y = y + 10 * fractal_noise(a, y / 50, 2, 0.5f, 0, 733) * (r > 0 && r < TUNNEL_RINGS);
            v.z = std::max(cz + radius * 0.85f * std::sin(a), cz + FLOOR);  // the floor is flat
            v.u = 2.0f * s / TUNNEL_SIDES, v.v = (y - TUNNEL_START) / 220;
        }
    }
    // The closed end: a fan from a point set back into the rock.
    int centre = mesh_add_vertex(mesh, {0, TUNNEL_START - 60, -10}, 1, -0.3f);
    for (int s = 0; s < TUNNEL_SIDES; s++) mesh.triangles.push_back({centre, s, s + 1});
    return mesh;
}

// Ground beyond the mouth: flat at the floor near the tunnel, rising into dark hills
// towards the horizon, reaching past the sky dome on every side.
MeshData make_ground_mesh() {
    const float width = 4000, depth = 2000;
    MeshData ground = mesh_grid(width, depth, 24, 12);
    for (MeshVertex &v : ground.vertices) {
        v.y += TUNNEL_END + depth / 2;
        float dx = v.x, dy = v.y - TUNNEL_END, d = std::sqrt(dx * dx + dy * dy);
        float hills = fractal_noise(v.x / 900, v.y / 900, 4, 0.5f, 0, 741) * 0.5f + 0.5f;
        v.z = FLOOR + smooth_step(250, 1500, d) * (60 + 420 * hills);
        v.u = v.x / 300, v.v = v.y / 300;
    }
    return ground;
}

// A cloud layer: a low, flattened vault over the dome's centre, mapped flat from above so
// that sliding u moves the clouds across the sky and they thin out towards the horizon.
MeshData make_cloud_layer(float radius, float height, float tile) {
    std::vector<Point2> profile;
    const int steps = 6;
    for (int i = 0; i <= steps; i++) {
        float e = degrees(-4 + 94.0f * i / steps);
        profile.push_back({radius * std::cos(e), height * std::sin(e)});
    }
    profile.back().x = 0.01f * radius;  // close the top
    MeshData layer = mesh_lathe(profile, 18);
    for (MeshVertex &v : layer.vertices) v.u = v.x / tile, v.v = v.y / tile;
    return mesh_moved(layer, {0, SKY_Y, SKY_Z});
}

// Where the camera is at a frame: along the tunnel at an even speed, out of the mouth at
// 23 s, then climbing gently over the ground.
Vec3 camera_at(float frame) {
    float y = 180 + 75 * frame / 10;
    float rise = std::max(0.0f, y - TUNNEL_END);
    return {centre_x(y) * 0.8f, y, centre_z(y) + 5 + rise * 0.18f};
}

// Where the swarm's guide is at a frame: ahead of the camera along the tunnel, weaving a
// little, then rising into the sky once it is out.
Vec3 guide_at(float frame) {
    float y = 180 + 75 * frame / 10 + 420 + 50 * std::sin(frame / 25);
    float rise = std::max(0.0f, y - TUNNEL_END);
    return {centre_x(y) + 22 * std::sin(frame / 17), y, centre_z(y) + 8 * std::sin(frame / 11) + rise * 0.3f};
}

// The tunnel and the ground outside it as one mesh of two materials, the sky dome and the
// two cloud layers.
void add_landscape(Scene3ds &scene) {
    MeshData tunnel = make_tunnel();
    int tunnel_faces = int(tunnel.triangles.size());
    mesh_append(tunnel, make_ground_mesh());
    Mesh3ds rock = mesh_to_3ds(tunnel, "tunnel", "");
    rock.set_material("rock", 0, tunnel_faces);
    rock.set_material("ground", tunnel_faces, rock.face_count() - tunnel_faces);
    scene.meshes.push_back(rock);
    MeshData sky = mesh_sphere(SKY_RADIUS, 20, 10);
    mesh_map_spherical(sky, 2, 1);
    add_mesh(scene, mesh_moved(sky, {0, SKY_Y, SKY_Z}), STAR_SKY_MESH, "stars");
    add_mesh(scene, make_cloud_layer(CLOUD1_RADIUS, 700, 900), CLOUD_MESHES[0], "clouds1");
    add_mesh(scene, make_cloud_layer(CLOUD2_RADIUS, 560, 620), CLOUD_MESHES[1], "clouds2");
}

// The camera (its lens the field of view the part holds between its sweeps) and eleven
// keys, each looking 260 units down the tunnel, lifting towards the sky once it is out.
void add_camera(Scene3ds &scene) {
    std::vector<Shot> shots;
    for (int frame = 0; frame <= END_FRAME; frame += 30) {
        Vec3 p = camera_at(float(frame)), q = camera_at(float(frame) + 35);
        float lift = std::max(0.0f, p.y - TUNNEL_END) * 0.12f;
        shots.push_back({float(frame) / FRAMES_PER_SECOND, to_show(p), to_show({centre_x(q.y), q.y, q.z + lift})});
    }
    Shot start = {0, to_show(camera_at(0)), to_show(camera_at(20))};
    scene.cameras.push_back(shot_camera("camera01", start, AIM_AT_LOOK, 35));
    scene.camera_nodes.push_back(shot_node("camera01", shots, AIM_AT_LOOK, 35));
}

}  // namespace

// Write "rocktunnel.3ds" and its pictures.
void generate_part7(ContentSink &sink) {
    Scene3ds scene;
    add_scene_pictures(sink, scene,
                       {{"tunnel_rock.bmp", make_rock, "rock"}, {"tunnel_ground.bmp", make_ground, "ground"},
                        {"tunnel_stars.bmp", make_stars, "stars"},
                        {"tunnel_clouds1.bmp", [] { return make_clouds(751, 0.45f); }, "clouds1", 62},
                        {"tunnel_clouds2.bmp", [] { return make_clouds(761, 0.55f); }, "clouds2", 70}});
    add_landscape(scene);
    // The lightning lights: under the roof, close to the rock, where the swarm has passed.
    for (int i = 0; i < 2; i++) {
        float y = i == 0 ? 620 : 1240, side = i == 0 ? 30 : -30;
        Vec3 at = {centre_x(y) + side, y, centre_z(y) + 70};
        scene.lights.push_back(point_light(i == 0 ? "flash01" : "flash02", at, colour(0.1f, 0.1f, 1.0f)));
    }
    add_camera(scene);
    add_static_nodes(scene);
    // The swarm's guide: last in the table, a key every ten frames.
    std::vector<Key3ds> guide;
    for (int frame = 0; frame <= END_FRAME; frame += 10) guide.push_back(key3ds_point(frame, guide_at(frame)));
    scene.object_nodes.push_back(dummy_node("swarm", guide));
    write_keyed_scene(sink, scene, ROCK_TUNNEL_SCENE);
}

KELP_CONTENT(CONTENT_ORDER_PART + 7, generate_part7);
