// part5.cpp: the oil room: the messiah walks in beside a pool of oil and acts; a white flash
// and a shake, then five fragments break from the shaft above and fall into the oil, each
// splash spreading rings over the surface. Sparks stream from his hand until a patch of him
// flies off at 20 s; dust rises from the floor and climbs the vault; at the end red and dark
// flares circle above the pool and rise up the shaft.
#include <cmath>

#include "app/messages.h"
#include "parts/hand_sparks.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/model.h"
#include "scene/pose.h"
#include "scene/random.h"
#include "texture/texture.h"

namespace {

const float PI = 3.1415927f;

// Room for "oilroom.3ds" as generated (14 meshes and keys, 1902 vertices), the messiah (550
// vertices) and the oil grid (400 vertices, 722 faces): 2852 vertices and 3236 faces in all.
const PartCapacity capacity = {26, 3300, 2900, 521, 15, 24, 0};

// The light table: light 0 from the file, then the dust, the circling flares, the hand.
enum {
    DUST_FIRST = 1,
    DUST_COUNT = 400,
    CIRCLE_FIRST = 401,
    CIRCLE_COUNT = 80,
    LIGHT_TOTAL = 521,
    SPARK_FIRST = LIGHT_TOTAL - 40,  // the last 40 lights: 39 sparks, then the hand light
    RESPAWN_MAX = 60,
};
// The sparks climb at 20 units a second, born up to 5 units around the hand.
const HandSparks HAND_SPARKS = {SPARK_FIRST, 39, 20, 15, 5, 70, 0};

// The oil: a GRID x GRID vertex grid over x and z from -150 to 150 at y = 0.
enum { GRID = 20 };
const float OIL_SIZE = 300;

struct Fragment {
    const char *name;
    float start;    // seconds into the part when it breaks away
    float k;        // how fast it falls
    float axis[3];  // what it spins about
    int row, column;  // where it hits the oil
    float impulse;
};
const Fragment fragments[5] = {
    {OIL_FRAGMENTS[0], 12.0f, 16, {0.3f, -0.9f, 0.2f}, 8, 11, -1.0f},
    {OIL_FRAGMENTS[1], 13.0f, 15, {0.2f, 0, -0.7f}, 7, 13, -1.0f},
    {OIL_FRAGMENTS[2], 15.0f, 14, {-0.3f, 0.4f, 0.7f}, 11, 10, -3.0f},
    {OIL_FRAGMENTS[3], 12.7f, 17, {0.7f, -0.5f, -0.3f}, 11, 9, -1.5f},
    {OIL_FRAGMENTS[4], 13.5f, 13, {-0.5f, 0.3f, 0}, 10, 7, -1.0f},
};

PartScene part;
int model_mesh, surface_mesh;
int fragment_mesh[5];
// What the oil room changes while it plays beyond its scene.
struct OilRoomPlay {
    int visible_dust;    // 0..400 motes shown
    int respawn_count;   // 0..60: how many circling flares exist
    float circle_height;  // centre of the circling flares
    float ripple_velocity[GRID][GRID];
} play;

// The flying patch of the messiah's skin, by texture coordinates.
bool in_patch(const Vertex &v) {
    return v.u > 0.56640625f && v.u < 0.64453125f && v.v > 0.5234375f && v.v < 0.63671875f;
}

// Light 0 warms the pool from below the vault; then the dust motes and the circling flares.
void set_up_room_lights() {
    if (part.scene.light_count != OIL_ROOM_FILE_LIGHTS)
        fatal_errorf("oil: [%s] needs exactly %d light (%d)", OIL_ROOM_SCENE.name, OIL_ROOM_FILE_LIGHTS,
                     part.scene.light_count);
    Light &room = part.lights[0];
    room.position[1] = -20;
    room.active = 1;
    room.glow_size = 0;
    room.intensity = 1.0f;
    room.range_inner = 150;
    room.range_outer = 230;
    for (int i = 0; i < DUST_COUNT; i++) {
        Light &mote = part_add_light(part);
        mote.active = 0;
        mote.glow_size = 5.0f;
        mote.intensity = 0;
        mote.flare_strength = 0;
        mote.flare_texture = 4 + random_next() % 4;
        mote.position[0] = float(random_next() % 300 - 150);
        mote.position[1] = float(random_next() % 250);
        mote.position[2] = float(random_next() % 300 - 150);
    }
    for (int i = 0; i < CIRCLE_COUNT; i++) {
        Light &flare = part_add_light(part);
        flare.glow_size = 0;
        flare.intensity = 0;
        flare.flare_strength = 0;
        flare.active = 0;
    }
}

// The oil: rows along z, columns along x, two faces a cell. Its mesh record still holds the
// defaults part_create gave it.
void add_oil_surface() {
    surface_mesh = part.mesh_count;
    Mesh &surface = part_add_mesh(part, "surface", GRID * GRID, 2 * (GRID - 1) * (GRID - 1));
    surface.lit = 0;
    for (int i = 0; i < GRID; i++)
        for (int j = 0; j < GRID; j++) {
            Vertex &v = part.vertices[surface.first_vertex + GRID * i + j];
            v.position[0] = (j / float(GRID - 1) - 0.5f) * OIL_SIZE;
            v.position[1] = 0;
            v.position[2] = (i / float(GRID - 1) - 0.5f) * OIL_SIZE;
            v.light[0] = v.light[1] = v.light[2] = 0;
        }
    int oil_texture = texture_find("oil.bmp", true);
    Face *face = surface.faces;
    for (int i = 0; i < GRID - 1; i++)
        for (int j = 0; j < GRID - 1; j++) {
            face[0].a = GRID * i + j, face[0].b = GRID * (i + 1) + j + 1, face[0].c = GRID * (i + 1) + j;
            face[1].a = GRID * i + j, face[1].b = GRID * i + j + 1, face[1].c = GRID * (i + 1) + j + 1;
            for (int k = 0; k < 2; k++) {
                face[k].texture = oil_texture;
                face[k].light_blend = 0;
            }
            face += 2;
        }
}

}  // namespace

// Load "oilroom.3ds", fill the light table, add the messiah and the oil.
void part5_load() {
    part_create(part, 5, capacity);
    part_load_3ds(part, OIL_ROOM_SCENE);
    part_light_loaded_meshes(part, 0.3f);
    part.meshes[find_mesh(part.scene, OIL_TUNNEL_MESH)].lit = 0;
    set_up_room_lights();
    for (int f = 0; f < 5; f++) {
        fragment_mesh[f] = find_mesh(part.scene, fragments[f].name);
        Mesh &mesh = part.meshes[fragment_mesh[f]];
        for (int k = 0; k < mesh.face_count; k++) mesh.faces[k].two_sided = 1;
    }

    model_mesh = part.mesh_count;
    Mesh &model = part_add_model(part, "messiah.mdl");
    model.lit = 1;
    model.ambient = 0.3f;
    pose_model("messiah.mdl", model, part.vertices, 0.0f, 0, 39, 7.0f, 1, 1);
    check_hand_vertex(part.tag, model);
    for (int i = 0; i <= HAND_SPARKS.count; i++) part_add_light(part);
    set_up_hand_sparks(part.lights, HAND_SPARKS, 2.0f);

    add_oil_surface();
    for (int i = 0; i < GRID; i++)
        for (int j = 0; j < GRID; j++) play.ripple_velocity[i][j] = 0;
    play.visible_dust = 0;
    play.respawn_count = 0;
    play.circle_height = 235;
    part_keep_state(part, &play, sizeof play);

    part.scene.light_count = LIGHT_TOTAL;
    part.scene.fog_density = 1.7f;
    part.scene.fog_color[0] = 0.4f, part.scene.fog_color[1] = 0.1f, part.scene.fog_color[2] = 0.1f;
    part.scene.scene_fade = 1.0f;
    part.camera.zmax = 800;
    part_finish(part);
    log_part_counts(part);
}

Scene *part5_scene() { return &part.scene; }

namespace {

// The walk in, the action by the pool, the idle and the throw.
void pose_messiah(float t) {
    int first, last;
    float fps, angle, x = 180, z = 78;
    if (t < 5) {
        first = 40, last = 45, fps = 4, angle = 3.9269907f;
        x = t * 16.6f + 88, z = 302 - t * 14.8f;
    } else if (t < 7.5f) {
        first = 40, last = 45, fps = 4, angle = 3.926990817f - (t - 5) / 10 * PI;
        x = (t - 5) * 18 + 171, z = 228 - (t - 5) * 35;
    } else if (t < 10) {
        first = 40, last = 45, fps = 4, angle = PI - (t - 7.5f) / 10 * PI;
        x = 216 - (t - 7.5f) * 14.4f, z = 140.5f - (t - 7.5f) * 25;
    } else if (t < 11.5f) {
        first = 112, last = 122, fps = 4, angle = 2.3561944902f - (t - 10) / 6 * PI;
    } else if (t < 20) {
        first = 0, last = 39, fps = 6, angle = PI / 2;
    } else if (t < 20.75f) {
        first = 123, last = 133, fps = 12, angle = PI / 2;
    } else {
        first = 20, last = 39, fps = 4, angle = PI / 2;
    }
    place_model(part, model_mesh, {"messiah.mdl", first, last, fps, 1, angle, x, 2, z}, t);
    Mesh &model = part.meshes[model_mesh];
    Vertex *vertices = part.vertices;

    if (t >= 20) {
        Vertex *v = vertices + model.first_vertex;
        for (int i = 0; i < model.vertex_count; i++) {
            if (!in_patch(v[i])) continue;
            if (t < 21) {
                v[i].position[1] += sinf((t - 20) * PI) * 20 - (t - 20) * 50;
                v[i].position[0] -= (t - 20) * 150;
            } else {
                v[i].position[1] -= 1000;
            }
        }
    }
}

// Sparks streaming up from the hand, and the warm light there, until 21 s.
void hand_sparks(float t, float d) {
    if (t >= 21) {
        hide_hand_sparks(part.lights, HAND_SPARKS);
        return;
    }
    const Mesh &model = part.meshes[model_mesh];
    animate_hand_sparks(part.lights, HAND_SPARKS, part.vertices[model.first_vertex + MESSIAH_HAND_VERTEX].position, d);
}

// Each fragment falls from its start time, tumbling; while it passes through the oil's
// skin it pushes the surface down around where it hits.
void fall_and_splash(float t, float d) {
    Mesh *meshes = part.meshes;
    Vertex *vertices = part.vertices;
    for (int f = 0; f < 5; f++) {
        const Fragment &fr = fragments[f];
        if (!(t > fr.start)) continue;
        Mesh &mesh = meshes[fragment_mesh[f]];
        float s = t - fr.start;
        float y = 354 - s * (s + 5) * fr.k;
        translate_mesh(mesh, vertices, 0, y - mesh.pivot[1], 0);
        center_pivot(mesh, vertices);
        rotate_mesh(mesh, vertices, fr.axis[0], fr.axis[1], fr.axis[2], d);
    }
    for (int f = 0; f < 5; f++) {
        const Fragment &fr = fragments[f];
        float y = meshes[fragment_mesh[f]].pivot[1];
        if (!(y > -20 && y < 0)) continue;
        int r = fr.row, c = fr.column;
        play.ripple_velocity[r][c] += fr.impulse;
        play.ripple_velocity[r - 1][c] -= 0.4f;
        play.ripple_velocity[r + 1][c] -= 0.4f;
        play.ripple_velocity[r][c - 1] -= 0.4f;
        play.ripple_velocity[r][c + 1] -= 0.4f;
    }
}

// One step of the ripples (once a frame), then the mapping that follows the normals.
void ripple_oil() {
    Mesh &surface = part.meshes[surface_mesh];
    Vertex *grid = part.vertices + surface.first_vertex;
    auto h = [grid](int i, int j) -> float & { return grid[GRID * i + j].position[1]; };
    for (int i = 1; i < GRID - 1; i++)
        for (int j = 1; j < GRID - 1; j++) {
            float &v = play.ripple_velocity[i][j];
            v = v / 1.3f;
            v = v + ((h(i, j - 1) + h(i, j + 1) + h(i - 1, j) + h(i + 1, j)) / 4 - h(i, j)) / 7;
            h(i, j) = h(i, j) + v * 2;
        }
    compute_normals(surface, part.vertices);
    for (int k = 0; k < surface.vertex_count; k++) {
        Vertex &v = grid[k];
        const float *n = v.normal;
        float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(len > 0)) continue;  // a vertex with no face area keeps its mapping
        v.u = n[0] / (len * 3) + 0.5f;
        v.v = n[2] / (len * 3) + 0.5f;
    }
}

// Dust motes rise from the floor; every fourth climbs the vault towards its top.
void move_dust(float d) {
    Light *lights = part.lights;
    for (int i = DUST_FIRST; i < DUST_FIRST + DUST_COUNT; i++) {
        Light &mote = lights[i];
        float *p = mote.position;
        mote.glow_size = 5.0f;
        bool climber = i % 4 == 0;
        if (p[1] > 250 || (p[1] > 120 && !climber)) {
            p[0] = float(random_next() % 300 - 150);
            p[1] -= climber ? 250 : 120;
            if (i % 32 == 0 && i <= play.visible_dust) play.respawn_count++;
            p[2] = float(random_next() % 300 - 150);
            mote.color[0] = 1, mote.color[1] = 1, mote.color[2] = 0;
            mote.flare_strength = 0;
            mote.flare_texture = 4 + random_next() % 4;
        } else if (p[1] <= 120) {
            p[1] += d * 120;
            mote.color[1] = (150 - p[1]) / 150;
            mote.flare_strength = p[1] >= 45 ? 1 - p[1] / 100 : p[1] / 45;
            p[0] += (random_next() % 100) / 33.3f - 1.5f;
            p[2] += (random_next() % 100) / 33.3f - 1.5f;
        } else {
            mote.flare_texture = 0;
            mote.color[0] = mote.color[1] = mote.color[2] = 1;
            p[1] += d * 100;
            float s = sinf((p[1] - 120) / 260 * PI + PI / 2) * 150;
            if (std::fabs(p[0]) <= std::fabs(p[2]))
                p[2] = p[2] >= 0 ? s : -s;
            else
                p[0] = p[0] >= 0 ? s : -s;
            mote.flare_strength = 4 - p[1] / 30;
        }
    }
    for (int i = DUST_FIRST + play.visible_dust; i < DUST_FIRST + DUST_COUNT; i++) lights[i].glow_size = 0;
}

// One circling flare, number k of its group.
void circle_flare(Light &flare, int k, float t) {
    float a = sinf(float(k)) * t * 4, b = cosf(float(k)) * t * 5.3f;
    flare.position[0] = sinf(a) * sinf(b) * 30;
    flare.position[1] = cosf(b) * 30 + play.circle_height;
    flare.position[2] = cosf(a) * sinf(b) * 30;
    flare.intensity = 0;
    flare.glow_size = 7.0f;
    flare.active = 0;
}

// Red flares, a third as many as the dark ones, all on the same orbits.
void circle_flares(float t) {
    if (t > 44 && t < 48) play.circle_height = sinf((t - 44) / 8 * PI) * 250 + 235;
    if (play.respawn_count > RESPAWN_MAX) play.respawn_count = RESPAWN_MAX;
    int red = play.respawn_count / 3;
    Light *lights = part.lights;
    for (int k = 0; k < red; k++) {
        Light &flare = lights[CIRCLE_FIRST + k];
        circle_flare(flare, k, t);
        flare.flare_strength = 1.7f;
        flare.color[0] = 1, flare.color[1] = 0, flare.color[2] = 0;
        flare.flare_texture = 2;
    }
    for (int k = 0; k < play.respawn_count; k++) {
        Light &flare = lights[CIRCLE_FIRST + red + k];
        circle_flare(flare, k, t);
        flare.flare_strength = -1.0f;
        flare.color[0] = flare.color[1] = flare.color[2] = 1;
    }
}

}  // namespace

void part5_animate(float t) {
    float d = frame_delta();
    // Counted in floats first, so a very late t cannot overflow the integer.
    if (t > 21) {
        float n = (t - 21) * 80;
        play.visible_dust = n < float(DUST_COUNT) ? int(n) : DUST_COUNT;
    }
    if (t > 36) {
        float n = (t - 36) * 60;
        play.visible_dust = n < float(DUST_COUNT) ? DUST_COUNT - int(n) : 0;
    }
    pose_messiah(t);
    hand_sparks(t, d);
    part.scene.camera_shake = t > 11 && t < 13 ? sinf((t - 11) / 2 * PI) * 10 : 0;
    part.camera.fade = t > 10.7f && t < 11 ? 11 - t : 0;
    fall_and_splash(t, d);
    ripple_oil();
    move_dust(d);
    circle_flares(t);
}
