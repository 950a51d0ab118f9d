// part9.cpp: the light ball and the night. Three fathers stand in the night scene
// "lightball.3ds" while a ball of light (a swarm of flares on a sphere) travels along the
// scene's first path, gathers its lights at the warp, a tube of light that opens and closes,
// and sends them one by one as sparks to a red ball on the second path; at the end every
// vertex of the scene is sucked into the red ball.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "app/messages.h"
#include "parts/part9.h"
#include "parts/part_common.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/model.h"
#include "scene/pose.h"
#include "scene/random.h"
#include "texture/texture.h"

namespace {

// The part's lights follow the file's lights, in these groups (offsets from the first).
enum {
    BALL_SWARM = 0,     // 59 white glows on the ball's sphere
    BALL_SPARKS = 59,   // 20 small blue glows around the ball
    BALL_LIGHT = 79,    // the ball's own light
    RED_SWARM = 80,     // 20 red glows on the red ball's sphere
    RED_SHADOWS = 100,  // 59 darkening flares on the red ball's sphere
    RED_LIGHT = 159,    // the red ball's own light
    PART_LIGHTS = 160,
    BALL_GLOWS = 79,    // swarm and sparks: the lights the ball gathers and sends away
    RED_MOVED = 78,     // red ball lights placed on its sphere (the last shadow stays put)
};
enum { WARP_RINGS = 16, FATHERS = 3 };

// Room for a night of up to 11 meshes and 346 object keys (ours has 10 and keys them in
// 250), plus the warp and the three fathers appended after it.
const PartCapacity capacity = {15, 10000, 7600, 1 + PART_LIGHTS, 22, 346, 0};

const float PI = 3.1415927f;

PartScene part;
PathRanges paths;
int file_lights;  // lights loaded from the file; the part's lights follow them
int warp_mesh;
int father_mesh[FATHERS];

// How each father stands and loops: frames, speed, turn about y and place on the ground.
struct FatherPose {
    const char *mesh;
    int first_frame, last_frame;
    float fps, turn, x, y, z;
};
const FatherPose fathers[FATHERS] = {
    {"1father.mdl", 96, 123, 10.0f, 3.1415927f, -120, 20, 240},
    {"2father.mdl", 0, 39, 13.0f, 5.2359877f, -260, 20, -10},
    {"3father.mdl", 72, 83, 7.0f, 1.0471976f, 10, 20, -10},
};

Light &group_light(int offset) { return part.lights[file_lights + offset]; }

// Set one of the part's lights.
void set_light(Light &light, float intensity, float flare_strength, float glow_size, float r, float g, float b,
               byte active, int flare_texture) {
    light.intensity = intensity;
    light.flare_strength = flare_strength;
    light.glow_size = glow_size;
    light.color[0] = r, light.color[1] = g, light.color[2] = b;
    light.active = active;
    light.flare_texture = flare_texture;
}

// The lights of both balls, in group order after the file's lights.
void add_ball_lights() {
    file_lights = part.scene.light_count;
    for (int i = 0; i < PART_LIGHTS; i++) part_add_light(part);
    for (int i = BALL_SWARM; i < BALL_SPARKS; i++) set_light(group_light(i), 0, 1.0f, 7.0f, 1, 1, 1, 0, 0);
    for (int i = BALL_SPARKS; i < BALL_LIGHT; i++) set_light(group_light(i), 0, 1.7f, 1.3f, 0, 0, 1, 0, 2);
    Light &ball = group_light(BALL_LIGHT);
    set_light(ball, 2.0f, ball.flare_strength, 0, 0.8f, 0.8f, 1.0f, 1, ball.flare_texture);
    ball.range_inner = 400, ball.range_outer = 700;
    for (int i = RED_SWARM; i < RED_SHADOWS; i++) set_light(group_light(i), 0, 1.7f, 7.0f, 1, 0, 0, 0, 2);
    for (int i = RED_SHADOWS; i < RED_LIGHT; i++) set_light(group_light(i), 0, -1.0f, 7.0f, 1, 1, 1, 0, 0);
    Light &red = group_light(RED_LIGHT);
    set_light(red, 1.2f, red.flare_strength, 0, 1, 0, 0, 1, red.flare_texture);
    red.range_inner = 200, red.range_outer = 400;
}

// The warp: an upright open tube of light, radius 10, from y 114 to 340, drawn from inside
// and out and blended.
void add_warp() {
    warp_mesh = part.mesh_count;
    Mesh &warp = part_add_mesh(part, "warp", 2 * WARP_RINGS, 2 * WARP_RINGS);
    warp.lit = 0;
    Vertex *v = part.vertices + warp.first_vertex;
    for (int i = 0; i < WARP_RINGS; i++) {
        float x = 10 * sinf(i * PI / 8) - 120, z = 10 * cosf(i * PI / 8) + 78;
        v[2 * i].position[0] = v[2 * i + 1].position[0] = x;
        v[2 * i].position[1] = 114;
        v[2 * i + 1].position[1] = 340;
        v[2 * i].position[2] = v[2 * i + 1].position[2] = z;
    }
    int texture = texture_find("warp.bmp", true);
    const int n = 2 * WARP_RINGS;
    for (int i = 0; i < WARP_RINGS; i++) {
        Face *f = &warp.faces[2 * i];
        f[0].a = 2 * i, f[0].b = 2 * i + 1, f[0].c = (2 * i + 3) % n;
        f[1].a = 2 * i, f[1].b = (2 * i + 3) % n, f[1].c = (2 * i + 2) % n;
        for (int j = 0; j < 2; j++) {
            f[j].two_sided = 1;
            f[j].texture = texture;
            f[j].blend_mode = 1;
            f[j].light_blend = 0;
        }
    }
}

// Place light i of a sphere of radius r around centre c at time s (the ball's own clock).
void sphere_point(int i, float s, float r, const float c[3], float out[3]) {
    float a = cosf(float(i)) * s * 5.3f, b = sinf(float(i)) * s * 4.0f;
    out[0] = sinf(a) * sinf(b) * r + c[0];
    out[1] = cosf(a) * r + c[1];
    out[2] = sinf(a) * cosf(b) * r + c[2];
}

void set_position(Light &light, const float p[3]) {
    light.position[0] = p[0], light.position[1] = p[1], light.position[2] = p[2];
}

// rand() mod 70 / 100 + 1.5: the flicker of both balls' lights.
float flicker_intensity() { return float(random_next() % 70) / 100.0f + 1.5f; }

// The warp's texture flows along it; it shows between 22 and 32 s.
void animate_warp(float t) {
    Mesh &warp = part.meshes[warp_mesh];
    Vertex *v = part.vertices + warp.first_vertex;
    for (int i = 0; i < WARP_RINGS; i++) {
        float u = sinf(i * PI / 8) / 2 + 0.5f;
        v[2 * i].u = u, v[2 * i].v = -t;
        v[2 * i + 1].u = u, v[2 * i + 1].v = 1 - t;
    }
    float alpha = 0;
    if (t > 22 && t < 32) {
        alpha = sinf((t - 22) / 10 * PI) + sinf((t - 22) * 2 * PI - 1.5707964f) / 2 + 0.5f;
        if (alpha < 0) alpha = 0;
        if (alpha > 1) alpha = 1;
    }
    for (int f = 0; f < warp.face_count; f++) warp.faces[f].alpha = alpha;
}

// The ball on its path, its lights gathered one by one between 24 and 34 s.
void animate_ball(float t) {
    float s = t + 22.4f, pa[3], p[3];
    path_point(part.object_keys, paths.a, t, pa);
    for (int i = 0; i < BALL_SPARKS - BALL_SWARM; i++) {
        sphere_point(i, s, 30, pa, p);
        set_position(group_light(BALL_SWARM + i), p);
    }
    for (int i = 0; i < BALL_LIGHT - BALL_SPARKS; i++) {
        p[0] = 35 * sinf(0.53f * i + 3.7f * t) + pa[0];
        p[1] = 35 * sinf(0.37f * i + 2.3f * t) + pa[1];
        p[2] = 35 * sinf(0.44f * i + 3.1f * t) + pa[2];
        set_position(group_light(BALL_SPARKS + i), p);
    }
    Light &ball = group_light(BALL_LIGHT);
    set_position(ball, pa);
    ball.intensity = flicker_intensity();
    int n = 0;
    if (t >= 34) n = BALL_GLOWS;
    else if (t > 24) n = int((t - 24) * 8.0f);
    for (int i = 0; i < BALL_GLOWS; i++) {
        float size = i < BALL_SPARKS ? 7.0f : 1.3f;
        group_light(i).glow_size = i < n ? size : 0;
    }
    ball.intensity *= float(n) / float(BALL_GLOWS);
}

// The red ball on the second path; it swells between 40 and 50 s.
void animate_red_ball(float t, const float pb[3]) {
    float r = 30.0f;
    if (t >= 40 && t <= 50) {
        r = (t - 40) * 2.5f + 30;
        for (int i = RED_SWARM; i < RED_LIGHT; i++) group_light(i).glow_size = (t - 40) / 1.2f + 7.0f;
    } else if (t > 50) {
        r = 55.0f;
    }
    float s = t + 22.4f, p[3];
    for (int i = 0; i < RED_MOVED; i++) {
        sphere_point(i, s, r, pb, p);
        set_position(group_light(RED_SWARM + i), p);
    }
    Light &red = group_light(RED_LIGHT);
    set_position(red, pb);
    red.intensity = flicker_intensity();
}

// Between 40 and 50 s the ball's lights fly one by one, the last first, to the red ball and
// go out when they reach it; from 50 s the ball is gone.
void animate_sparks(float t, const float pb[3]) {
    if (t >= 40 && t <= 50) {
        group_light(BALL_LIGHT).intensity = (t - 40) / 10;
        for (int i = 0; i < BALL_GLOWS; i++) {
            float f = ((t - 40) - 7.0f * float(i) / float(BALL_GLOWS)) / 3;
            Light &spark = group_light(BALL_GLOWS - 1 - i);
            if (f > 0 && f <= 1) {
                for (int k = 0; k < 3; k++) spark.position[k] = (1 - f) * spark.position[k] + f * pb[k];
                spark.flare_strength = 1 - f;
            } else if (f > 1) {
                spark.glow_size = 0;
            }
        }
    }
    if (t > 50)
        for (int i = 0; i <= BALL_LIGHT; i++) {
            group_light(i).glow_size = 0;
            group_light(i).intensity = 0;
        }
}

// From 57 s every vertex is pulled into the red ball, the last ones first.
void pull_into_red_ball(float t, const float pb[3]) {
    part.scene.scene_fade = 0;
    int count = part.scene.vertex_count;
    // A frame longer than 2/3 s pulls every vertex into the ball, never through it.
    float keep = 1 - 1.5f * frame_delta();
    if (keep < 0) keep = 0;
    for (int i = 0; i < count; i++) {
        if (!((t - 57) - 10.0f * i / count > 0)) break;  // the later ones wait longer
        float *p = part.vertices[count - 1 - i].position;
        for (int k = 0; k < 3; k++) p[k] = keep * (p[k] - pb[k]) + pb[k];
    }
}

void animate_fathers(float t) {
    for (int m = 0; m < FATHERS; m++) {
        const FatherPose &f = fathers[m];
        place_model(part, father_mesh[m], {"father.mdl", f.first_frame, f.last_frame, f.fps, 1, f.turn, f.x, f.y, f.z}, t, 0, 0);
    }
}

}  // namespace

PathRanges find_path_ranges(const ObjectKey *keys, int count) {
    int i = 0;
    auto run = [&](bool moving) {
        while (i < count && (moving ? keys[i].frame > 0 : keys[i].frame == 0)) i++;
        return i - 1;
    };
    PathRanges r;
    r.a.first = run(false);
    r.a.last = run(true);
    r.b.first = run(false);
    r.b.last = run(true);
    // A table that does not start with a frame-0 key starts its first path at its first key.
    if (r.a.first < 0 && count > 0) r.a.first = 0;
    return r;
}

void path_point(const ObjectKey *keys, PathRange range, float t, float out[3]) {
    out[0] = out[1] = out[2] = 0;
    if (range.first < 0 || range.last < range.first) return;
    int j = range.first;
    while (j < range.last && keys[j + 1].frame <= t) j++;
    float p[3] = {keys[j].position[0], keys[j].position[1], keys[j].position[2]};
    if (j < range.last && t > keys[j].frame) {
        const ObjectKey &next = keys[j + 1];
        float f = (t - keys[j].frame) / (next.frame - keys[j].frame);
        for (int k = 0; k < 3; k++) p[k] = (1 - f) * p[k] + f * next.position[k];
    }
    out[0] = p[0], out[1] = p[2], out[2] = -p[1];
}

// Load "lightball.3ds", add both balls' lights, the warp and the three fathers.
void part9_load() {
    part_create(part, 9, capacity);
    part_load_3ds(part, LIGHT_BALL_SCENE);
    paths = find_path_ranges(part.object_keys, part.loaded.object_key_count);
    part_light_loaded_meshes(part, 0.4f);
    for (const char *name : NIGHT_MESHES) part.meshes[find_mesh(part.scene, name)].lit = 0;
    if (part.scene.light_count < 1) fatal_error("father: [lightball.3ds] has no light 0");
    Light &light0 = part.lights[0];
    light0.active = 1;
    light0.range_inner = 100, light0.range_outer = 250;
    light0.glow_size = 0;
    add_ball_lights();

    add_warp();
    for (int m = 0; m < FATHERS; m++) {
        father_mesh[m] = part.mesh_count;
        Mesh &father = part_add_model(part, "father.mdl");
        snprintf(father.name, sizeof father.name, "%s", fathers[m].mesh);
        father.lit = 1;
        father.ambient = 0.4f;
        pose_model("father.mdl", father, part.vertices, 0, 0, 39, 7.0f, 1, 1);
    }

    part_finish(part);
    part.scene.scene_fade = 1.0f;
    part.camera.zmax = 4000.0f;
    // The paths' keys (and the scene's own mesh keys) run ten times faster: frame F at F/10 s.
    for (int i = 0; i < part.loaded.object_key_count; i++) part.object_keys[i].frame /= 10.0f;

    log_part_counts(part);
}

Scene *part9_scene() { return &part.scene; }

// The balls, the warp, the sparks, the fathers and the flashes at time t.
void part9_animate(float t) {
    glDepthFunc(GL_LEQUAL);
    animate_warp(t);
    if (t < 47) animate_ball(t);
    float pb[3];
    path_point(part.object_keys, paths.b, t, pb);
    animate_red_ball(t, pb);
    animate_sparks(t, pb);
    if (t > 57) pull_into_red_ball(t, pb);
    if (t <= 57) animate_fathers(t);

    Camera &camera = part.camera;
    camera.fade = 0;
    if (t >= 20 && t < 20.5f) camera.fade = (20.5f - t) * 2;
    if (t >= 40 && t < 46) camera.fade = float(random_next() % 60) / 100.0f;
    camera.glow_alpha = t < 4 ? t / 4 : 1.0f;
}
