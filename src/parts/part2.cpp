// part2.cpp: the mirror room: the messiah acts in front of a wall mirror that shows a live
// reflection of the room, ripples where he touches it, trembles and shatters into 400 shards;
// two torches burn with particle flames, lightning flashes through the window, sparks drip
// from a hanging brazier and his hand throws glowing sparks. Five credits open the part.
#include <GL/gl.h>

#include <cmath>

#include "app/messages.h"
#include "app/settings.h"
#include "parts/hand_sparks.h"
#include "parts/part2_mirror.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "render/render.h"
#include "scene/model.h"
#include "scene/pose.h"
#include "scene/random.h"
#include "scene/spline.h"
#include "texture/texture.h"

namespace {

const float PI = 3.1415927f;
const int N = 100;  // flame particles per torch

// Light table layout.
enum {
    LIGHT_FILL = 2 * N,
    LIGHT_LEFT_TORCH,
    LIGHT_RIGHT_TORCH,
    LIGHT_LIGHTNING,
    LIGHT_SPARKS,  // 204..223, one per spark slot
    LIGHT_HAND_SPARKS = LIGHT_SPARKS + SPARK_SLOTS,  // 224..262
    LIGHT_HAND = LIGHT_HAND_SPARKS + 39,  // 263
    LIGHT_COUNT = 2 * N + 64,
};

// The messiah's right hand, where the hand sparks are born; they climb fast and scatter wide.
const HandSparks HAND_SPARKS = {LIGHT_HAND_SPARKS, LIGHT_HAND - LIGHT_HAND_SPARKS, 30, 10, 5, 70, 0};

// The mirror: centre, width and height in the plane z = 0.
const float MIRROR_X = 0, MIRROR_Y = 100, MIRROR_Z = 0, MIRROR_WIDTH = 120;

// Capacities: "mirrorscene.3ds" (24 meshes with the two built ones, 2416 vertices, 3188
// faces, 14 camera keys, 22 object keys), the mirror grid (441, 800) and the messiah (542,
// 968). The shatter writes 1600 vertices from the mirror's first vertex, past the messiah's,
// so the vertices leave room for the file and those 1600.
const PartCapacity capacity = {42, 5200, 4200, LIGHT_COUNT, 17, 40, 0};

PartScene part;
int mirror_mesh, model_mesh;
int mirror_texture;
// What the room changes while it plays beyond its scene.
struct MirrorRoomPlay {
    float particle_angle[2 * N], particle_radius[2 * N];
    SparkSlot sparks[SPARK_SLOTS];
    MirrorState mirror;
    float model_frame;
    bool hand_sparks_on;
    bool shard_faces_built;
} play;

// Angle in degrees that the mirror's width subtends at its centre height, seen from p.
float mirror_angle(const float p[3], float previous) {
    double a[3] = {MIRROR_X - MIRROR_WIDTH / 2 - p[0], MIRROR_Y - p[1], MIRROR_Z - p[2]};
    double b[3] = {MIRROR_X + MIRROR_WIDTH / 2 - p[0], MIRROR_Y - p[1], MIRROR_Z - p[2]};
    double la = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    double lb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    // A camera on an edge of the mirror has no angle: keep the one it had.
    if (!(la > 0 && lb > 0)) return previous;
    double c = (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / (la * lb);
    if (c > 1) c = 1;
    if (c < -1) c = -1;
    return float(std::acos(c) * 180.0 / PI);
}

float rand_unit(int modulo, float divisor) { return float(random_next() % modulo) / divisor; }

// Place flame particle i (left torch below N) at height y on its cone and colour it.
void place_particle(int i, float y) {
    bool left = i < N;
    float cx = left ? -113.0f : 107.0f;
    float a = play.particle_angle[i], r = play.particle_radius[i];
    Light &light = part.lights[i];
    float s = (y - 125) / 40;
    float radius = (1 - s) * 18 + s * 7;
    light.position[0] = radius * sinf(a) * r + cx;
    light.position[1] = y;
    light.position[2] = radius * cosf(a) * r;
    if (s > 1) {
        play.particle_angle[i] = a = rand_unit(100, 50) * PI;
        play.particle_radius[i] = r = rand_unit(100, 100);
        light.position[0] = sinf(a) * r * 18 + cx;
        light.position[1] = (left ? rand_unit(100, 30) : rand_unit(100, 50)) + 125;
        light.position[2] = cosf(a) * r * 18;
        s = 0;
    }
    light.color[0] = 1 - s;
    light.color[1] = (1 - 2 * s) - r / 18;
    float blue = ((1 - r) - s) / 1.5f;
    light.color[2] = blue > 0 ? blue * blue : blue;
}

void animate_flames(float d) {
    for (int i = 0; i < 2 * N; i++) {
        float rise = i < N ? d * 40 / 1.7f : d * 40;
        place_particle(i, part.lights[i].position[1] + rise);
    }
}

void animate_sparks(float d) {
    for (int slot = 0; slot < SPARK_SLOTS; slot++) {
        SparkSlot &spark = play.sparks[slot];
        Light &light = part.lights[LIGHT_SPARKS + slot];
        if (!spark.active) {
            light.glow_size = 0;
            light.flare_strength = 0;
            continue;
        }
        spark.age += d * 6;
        if (spark.age > 6) spark.active = false;
        float g = spark.age, w = spark.angle;
        light.position[0] = sinf(w) * g * 2.3f - 88;
        light.position[1] = 162 - g * g;
        light.position[2] = cosf(w) * g * 2.3f + 219;
        light.color[0] = 1 - g / 6;
        light.color[1] = 1 - g / 5;
        light.color[2] = 1 - g / 3;
        light.glow_size = 0.3f;
        light.intensity = 0;
        light.flare_strength = rand_unit(10, 20) + 0.5f;
    }
    int divisor = chance_divisor(1.0f, d);
    for (int attempt = 0; attempt < 12; attempt++) spawn_spark(play.sparks, divisor);
}

// The sparks he throws from his hand, out of sight while he throws none.
void throw_hand_sparks(float d) {
    if (!play.hand_sparks_on) {
        hide_hand_sparks(part.lights, HAND_SPARKS);
        return;
    }
    const Mesh &model = part.meshes[model_mesh];
    animate_hand_sparks(part.lights, HAND_SPARKS, part.vertices[model.first_vertex + MESSIAH_HAND_VERTEX].position, d);
}

// Pose the messiah for time t and place him in the room.
void pose_messiah(float t, int first, int last, float fps, float angle, float x, float z) {
    play.model_frame = place_model(part, model_mesh, {"messiah.mdl", first, last, fps, 3, angle, x, -30, z}, t);
}

void choreography(float t) {
    if (t < 20) {
        pose_messiah(t, 0, 39, 6, PI / 2, 136, 176);
    } else if (t < 24) {
        float s = t - 20;
        pose_messiah(t, 40, 45, 3, s * 0.1875f * PI + PI / 2, 136 - s * 26.5f, 176 - s * 30);
    }
    if (t >= 24 && t < 27) {
        pose_messiah(t, 123, 134, 4, 3.9269907f, 30, 56);
        if (t >= 25.5f) play.hand_sparks_on = true;
    }
    if (t >= 27 && t < 29) pose_messiah(t, 16, 39, 4, 3.9269907f - ((t - 27) / 8) * PI, 30, 56);
    if (t >= 29 && t < 31) pose_messiah(t, 72, 83, 6, PI, 30, 56);
    if (t >= 31 && t < 33.5f) pose_messiah(t, 16, 39, 4, PI, 30, 56);
    if (t >= 33.5f && t < 35) {
        float s = t - 33.5f;
        pose_messiah(t, 66, 71, 2, PI, 30 - s * 10, 56 - sinf(s * PI / 6) * 120);
    }
    if (t >= 35) {
        Mesh &mesh = part.meshes[model_mesh];
        mesh.face_count = 0;
        mesh.vertex_count = 0;
        play.hand_sparks_on = false;
    }
}

// The camera behind the mirror, looking back into the room for the reflection render.
void mirror_camera(float t) {
    Camera &camera = part.camera;
    animate_camera(camera, part.scene, t);
    camera.position[2] = -camera.position[2];
    camera.direction[0] = MIRROR_X - camera.position[0];
    camera.direction[2] = -(MIRROR_Z - camera.position[2]);
    camera.keep_mask = 15;
    camera.fov = mirror_angle(camera.position, camera.fov);
}

// The mirror's texture follows the slope of its surface.
void map_ripples(const Mesh &mesh) {
    Vertex *grid = part.vertices + mesh.first_vertex;
    for (int i = 0; i < MIRROR_SIDE; i++)
        for (int j = 0; j < MIRROR_SIDE; j++) {
            Vertex &v = grid[MIRROR_SIDE * i + j];
            const float *n = v.normal;
            float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            float nx = len > 0 ? n[0] / len : 0, ny = len > 0 ? n[1] / len : 0;
            v.u = nx + (1 - j / 21.0f);
            v.v = ny + i / 21.0f;
        }
}

// The 400 shards at T seconds after the mirror broke.
void shatter(float t, float d) {
    static const float p[4] = {0, PI, PI, 0};
    static const float q[4] = {PI / 2, PI / 2, 4.7123889804f, 4.7123889804f};
    static const float r[4] = {PI / 2, 4.7123889804f, 4.7123889804f, PI / 2};
    static const float U[4] = {7.3f, 6.7f, 9.1f, 4.9f};
    static const float V[4] = {5.7f, 4.7f, 8.3f, 6.4f};
    float T = t - 37;
    Camera &camera = part.camera;
    if (t >= 37 && t < 37.5f) camera.fade = 37.5f - t;
    if (t >= 39.9f) camera.fade = -1;

    Mesh &mesh = part.meshes[mirror_mesh];
    mesh.vertex_count = SHARD_VERTICES;
    Vertex *shards = part.vertices + mesh.first_vertex;
    for (int i = 0; i < MIRROR_CELLS; i++)
        for (int j = 0; j < MIRROR_CELLS; j++) {
            bool flying = i == 19 && j == 10;
            float cx = (j * 6 - 57) + (j - 10) * T * 5 * 0.7f;
            float cz = (i + 5) * T * 0.7f;
            float &g = play.mirror.grid[i][j];
            g += d * 5 * 0.7f;
            float cy = (i * 6 + 43) - g * g;
            if (cy < 0) cy = 0;
            if (flying) {
                cx = 3 - T * 2.4266665f;
                cy = 157 - T * T * 5.37f;
                cz = T * 73.33333f;
            }
            float A = sinf(float(i + j)) * (T * 4), B = sinf(float(j - i)) * t;
            float c = flying ? 1.0f : rand_unit(100, 100) + sinf(sinf(float(i - j)) * t * 15.9f + PI / 2);
            for (int k = 0; k < 4; k++) {
                Vertex &v = shards[(MIRROR_CELLS * i + j) * 4 + k];
                v.position[0] = 3 * sinf(A + p[k]) + cx;
                v.position[1] = 3 * cosf(B + q[k]) * cosf(A + PI / 2) + cy;
                v.position[2] = 3 * sinf(B + q[k]) * cosf(A + r[k]) + cz;
                v.u = (sinf(B * U[k]) + 1) / 2;
                v.v = (cosf(B * V[k]) + 1) / 2;
                v.light[0] = v.light[1] = v.light[2] = c;
            }
        }

    // The first frame of the shatter gives each cell two faces of its own. (The set-up also
    // runs when a long stall carried the show past 34.6 s with the latch still set.)
    if (!play.mirror.latch || !play.shard_faces_built) {
        for (int cell = 0; cell < MIRROR_CELLS * MIRROR_CELLS; cell++) {
            Face *f = &mesh.faces[2 * cell];
            f[0].a = 4 * cell, f[0].b = 4 * cell + 1, f[0].c = 4 * cell + 2;
            f[1].a = 4 * cell, f[1].b = 4 * cell + 2, f[1].c = 4 * cell + 3;
            for (int k = 0; k < 2; k++) {
                f[k].texture = mirror_texture;
                f[k].two_sided = 1;
            }
        }
        for (int i = 0; i < MIRROR_CELLS; i++)
            for (int j = 0; j < MIRROR_CELLS; j++) play.mirror.grid[i][j] = rand_unit(100, 5) - 10;
        play.mirror.latch = true;
        play.shard_faces_built = true;
        int total = 0;
        for (int m = 0; m < part.scene.mesh_count; m++) total += part.meshes[m].vertex_count;
        part.scene.vertex_count = total;
    }
}

}  // namespace

int chance_divisor(float span, float d) {
    float quotient = span / d;
    // A non-positive or unreadable time cannot happen (frame_delta is then 0.1); a frame
    // longer than the span gives 0: both count as 1.
    if (!(quotient >= 1.0f)) return 1;
    if (quotient > 2147483520.0f) return 2147483520;
    return int(quotient);
}

bool spawn_spark(SparkSlot *slots, int divisor) {
    int k = random_next();
    if (k % divisor != 0) return false;
    for (int slot = SPARK_SLOTS - 1; slot >= 0; slot--)
        if (!slots[slot].active) {
            slots[slot].age = 0;
            slots[slot].angle = rand_unit(360, 180) * PI;
            slots[slot].active = true;
            return true;
        }
    return false;
}

void mirror_trigger(MirrorState &state, float t, float frame, Vertex *grid) {
    if (t >= 34) {
        if (t >= 34.2f && t < 34.6f && !state.latch) {
            for (int i = 1; i < MIRROR_SIDE - 1; i++)
                for (int j = 1; j < MIRROR_SIDE - 1; j++)
                    grid[MIRROR_SIDE * i + j].position[2] =
                        rand_unit(100, 30) + sinf(j / 19.0f * PI) * sinf(i / 19.0f * PI) * 4 - 1.5f;
            state.latch = true;
        }
        if (t >= 34.6f) state.latch = false;
    } else {
        if (!state.latch && frame >= 78 && frame < 79) {
            grid[MIRROR_SIDE * 13 + 14].position[2] = 60;
            state.latch = true;
        }
        if (frame > 79) state.latch = false;
    }
}

void mirror_ripple_step(MirrorState &state, Vertex *grid) {
    const int last = MIRROR_SIDE - 1;
    for (int k = 0; k < MIRROR_SIDE; k++) {
        state.grid[0][k] = state.grid[last][k] = 0;
        state.grid[k][0] = state.grid[k][last] = 0;
    }
    for (int i = 1; i < last; i++)
        for (int j = 1; j < last; j++) {
            float &z = grid[MIRROR_SIDE * i + j].position[2];
            float around = grid[MIRROR_SIDE * i + j - 1].position[2] + grid[MIRROR_SIDE * i + j + 1].position[2] +
                           grid[MIRROR_SIDE * (i + 1) + j].position[2] + grid[MIRROR_SIDE * (i - 1) + j].position[2];
            float &velocity = state.grid[i][j];
            velocity += (around - 4 * z) / 2;
            z = z + velocity * 0.5f - z * 0.5f;
        }
}

namespace {

// Flame particles: an angle, a height along the flame and a radius factor each.
void set_up_flames(Light *lights) {
    for (int i = 0; i < 2 * N; i++) {
        float a = rand_unit(100, 50) * PI;
        float f = rand_unit(100, 100);
        float r = rand_unit(100, 100);
        play.particle_angle[i] = a;
        play.particle_radius[i] = r;
        float radius = (1 - f) * 18 + f * 7;
        Light &light = lights[i];
        light.position[0] = radius * sinf(a) * r + (i < N ? -113.0f : 107.0f);
        light.position[1] = f * 40 + 120;
        light.position[2] = radius * cosf(a) * r;
        light.intensity = 0;
        light.active = 0;
        light.glow_size = i < N ? 2.0f : 3.0f;
    }
}

// The brazier's spark slots, all empty.
void set_up_spark_slots(Light *lights) {
    for (int slot = 0; slot < SPARK_SLOTS; slot++) {
        play.sparks[slot].active = false;
        play.sparks[slot].age = play.sparks[slot].angle = 0;
        Light &light = lights[LIGHT_SPARKS + slot];
        light.glow_size = 0.4f;
        light.flare_strength = 1.0f;
        light.active = 0;
        light.flare_texture = 8;
    }
}

// The fill light, the two torches' lights and the lightning.
void set_up_fixed_lights(Light *lights) {
    struct Fixed {
        float position[3], color[3], intensity, range_inner, range_outer;
    };
    const Fixed fixed[4] = {
        {{-60, 40, 50}, {0.7f, 0.8f, 1.0f}, 1.0f, 200, 600},
        {{-113, 140, 0}, {1.0f, 0.3f, 0}, 1.0f, 100, 200},
        {{107, 140, 0}, {1.0f, 0.3f, 0}, 1.0f, 100, 200},
        {{-120, 100, 70}, {0.4f, 0.4f, 1.0f}, 30.0f, 0, 0},  // keeps its default ranges
    };
    for (int k = 0; k < 4; k++) {
        Light &light = lights[LIGHT_FILL + k];
        for (int c = 0; c < 3; c++) light.position[c] = fixed[k].position[c], light.color[c] = fixed[k].color[c];
        light.intensity = fixed[k].intensity;
        light.glow_size = 0;
        light.active = 1;
        if (k == 3) continue;
        light.range_inner = fixed[k].range_inner;
        light.range_outer = fixed[k].range_outer;
    }
}

// The mirror: a 21 by 21 grid in the plane z = 0, two faces per cell, with room after it
// for the shards it breaks into.
void add_mirror() {
    mirror_mesh = part.mesh_count;
    Mesh &grid = part_add_mesh(part, "mirrorface", MIRROR_VERTICES, 2 * MIRROR_CELLS * MIRROR_CELLS);
    if (grid.first_vertex + SHARD_VERTICES > capacity.vertices)
        fatal_errorf("3dstest: [%s] no room for the mirror's shards (%d vertices of %d)", MIRROR_ROOM_SCENE.name,
                     grid.first_vertex + SHARD_VERTICES, capacity.vertices);
    mirror_texture = texture_find("mirror.bmp", false);
    for (int i = 0; i < MIRROR_SIDE; i++)
        for (int j = 0; j < MIRROR_SIDE; j++) {
            float *p = part.vertices[grid.first_vertex + MIRROR_SIDE * i + j].position;
            p[0] = j * 6 - 60.0f, p[1] = i * 6 + 40.0f, p[2] = 0;
        }
    Face *faces = grid.faces;
    for (int i = 0; i < MIRROR_CELLS; i++)
        for (int j = 0; j < MIRROR_CELLS; j++) {
            int here = MIRROR_SIDE * i + j, above = MIRROR_SIDE * (i + 1) + j;
            faces[0].a = here, faces[0].b = above, faces[0].c = above + 1;
            faces[1].a = here, faces[1].b = above + 1, faces[1].c = here + 1;
            for (int k = 0; k < 2; k++) {
                faces[k].texture = mirror_texture;
                faces[k].light_blend = 0;
            }
            faces += 2;
        }
    grid.lit = 0;
    grid.ambient = 0.6f;
}

}  // namespace

// Build the room, its lights, the mirror and the messiah.
void part2_load() {
    part_create(part, 2, capacity);
    part_load_3ds(part, MIRROR_ROOM_SCENE);
    part_light_loaded_meshes(part, 0.1f);
    set_up_flames(part.lights);
    set_up_spark_slots(part.lights);
    set_up_hand_sparks(part.lights, HAND_SPARKS, 3.0f);
    part.scene.light_count = LIGHT_COUNT;
    part.scene.scene_fade = 1.0f;
    set_up_fixed_lights(part.lights);
    add_mirror();
    for (int i = 0; i < MIRROR_SIDE; i++)
        for (int j = 0; j < MIRROR_SIDE; j++) play.mirror.grid[i][j] = 0;
    play.mirror.latch = false;
    play.shard_faces_built = false;
    play.hand_sparks_on = false;
    play.model_frame = 0;
    part_keep_state(part, &play, sizeof play);

    model_mesh = part.mesh_count;
    Mesh &model = part_add_model(part, "messiah.mdl");
    check_hand_vertex(part.tag, model);
    model.lit = 1;
    pose_model("messiah.mdl", model, part.vertices, 0.0f, 40, 45, 7.0f, 1, 1);
    static const char *const pictures[6] = {"credits1.bmp", "credits2.bmp", "credits3.bmp",
                                            "credits4.bmp", "credits5.bmp", "mirror.bmp"};
    for (const char *name : pictures) texture_find(name, false);

    part_finish(part);
    part.scene.fog_density = 0.7f;
    part.scene.fog_color[0] = part.scene.fog_color[1] = part.scene.fog_color[2] = 0.2f;
    part.scene.flags = DRAW_FOG;
    part.camera.zmax = 800.0f;
    log_part_counts(part, 0, SHARD_VERTICES);
}

Scene *part2_scene() { return &part.scene; }

// The messiah's choreography, the lights, and the camera for the reflection.
void part2_animate(float t) {
    part.camera.fade = 0;
    choreography(t);
    float d = frame_delta();

    // Lightning: on average one flash every 2.5 seconds, whatever the frame rate.
    Light *lights = part.lights;
    int k = random_next();
    bool flash = k % chance_divisor(2.5f, d) == 0;
    lights[LIGHT_LIGHTNING].intensity = flash ? 2.0f : 0.0f;
    part.scene.fog_color[2] = flash ? 0.5f : 0.2f;

    lights[LIGHT_LEFT_TORCH].intensity = rand_unit(100, 100) + 0.5f;
    lights[LIGHT_RIGHT_TORCH].intensity = rand_unit(100, 100) + 0.5f;

    animate_flames(d);
    animate_sparks(d);
    throw_hand_sparks(d);
    if (t < 37) mirror_camera(t);
}

// Ripple the mirror until it breaks, then fly its shards.
void part2_update_mirror(float t) {
    part.camera.keep_mask = 0;
    Mesh &mesh = part.meshes[mirror_mesh];
    if (t < 37) {
        Vertex *grid = part.vertices + mesh.first_vertex;
        mirror_trigger(play.mirror, t, play.model_frame, grid);
        mirror_ripple_step(play.mirror, grid);
        compute_normals(mesh, part.vertices);
        map_ripples(mesh);
    } else {
        shatter(t, frame_delta());
    }
}

// One credit picture over the room, sized by how large the mirror looks, fading with it
// (with drawing off only the fade is set).
void part2_draw_credits(float t) {
    if (!(t < 20)) return;
    int width = get_screen_width(), height = get_screen_height();
    if (width <= 0 || height <= 0) return;  // no window area to draw into
    Camera &camera = part.camera;
    float p = fmodf(t, 4);
    if (p <= 1) camera.fade = p - 1;
    if (p >= 3) camera.fade = 3 - p;
    if (!render_drawing()) return;

    float angle = mirror_angle(camera.position, camera.fov);
    float f = float(std::tan((180.0 - angle) / 360.0 * 3.1415926536));
    float matrix[16] = {0};
    matrix[0] = f * height / width;
    matrix[5] = f;
    matrix[10] = -1.0001221f;
    matrix[11] = -1;
    matrix[14] = -0.00012208745f;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadMatrixf(matrix);
    glMatrixMode(GL_MODELVIEW);

    glDepthFunc(GL_ALWAYS);
    glBlendFunc(GL_ONE, GL_ONE);
    static const char *const pictures[5] = {"credits1.bmp", "credits2.bmp", "credits3.bmp", "credits4.bmp",
                                            "credits5.bmp"};
    int index = t < 4 ? 0 : t < 8 ? 1 : t < 12 ? 2 : t < 16 ? 3 : 4;
    glBindTexture(GL_TEXTURE_2D, GLuint(texture_find(pictures[index], false)));
    float x0 = 0, x1, y0, y1;
    if (t < 8) x1 = 0.25f, y0 = 0.05f, y1 = 0.2f;
    else if (t < 12) x1 = 0.12f, y0 = 0.0225f, y1 = 0.09f;
    else if (t < 16) x1 = 0.05f, y0 = 0.0125f, y1 = 0.05f;
    else x1 = 0.1f, y0 = 0.025f, y1 = 0.1f;
    glBegin(GL_POLYGON);
    glColor4f(1, 1, 1, 1);
    glTexCoord2f(0, 0);
    glVertex3f(x0, y0, -0.5f);
    glTexCoord2f(1, 0);
    glVertex3f(x1, y0, -0.5f);
    glTexCoord2f(1, 1);
    glVertex3f(x1, y1, -0.5f);
    glTexCoord2f(0, 1);
    glVertex3f(x0, y1, -0.5f);
    glEnd();

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
