// part10.cpp: the spider interlude: ten translucent spiders swirl over a lit backdrop,
// opening with a white flash and ending in a white-out. The scene is built in code.
#include <GL/gl.h>

#include <cmath>

#include "parts/part_common.h"
#include "parts/parts.h"
#include "texture/texture.h"

enum { SPIDER_QUADS = 10 };
static const PartCapacity capacity = {2, 22, 44, 1, 0, 0, 0};

static PartScene part;

// Build the spider quads and the background quad.
void part10_load() {
    part_create(part, 10, capacity);
    Vertex *vertices = part.vertices;

    int spider_texture = texture_find("spider7.bmp", true);
    Mesh &spiders = part_add_mesh(part, "", 4 * SPIDER_QUADS, 2 * SPIDER_QUADS);
    static const float corner_uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int q = 0; q < SPIDER_QUADS; q++) {
        for (int k = 0; k < 4; k++) {
            vertices[4 * q + k].u = corner_uv[k][0];
            vertices[4 * q + k].v = corner_uv[k][1];
        }
        set_quad_faces(&spiders.faces[2 * q], 4 * q);
        for (int j = 0; j < 2; j++) {
            Face &f = spiders.faces[2 * q + j];
            f.blend_mode = 1;
            f.alpha = 0.4f;
            f.texture = spider_texture;
            f.light_blend = 0;
        }
    }

    Mesh &backdrop = part_add_mesh(part, "", 4, 2);
    static const float corners[4][5] = {{-0.75f, -0.5f, 0.5f, 1, 0},
                                        {0.75f, -0.5f, 0.5f, 0, 0},
                                        {0.75f, 0.5f, 0.5f, 0, 1},
                                        {-0.75f, 0.5f, 0.5f, 1, 1}};
    for (int k = 0; k < 4; k++) {
        Vertex &v = vertices[backdrop.first_vertex + k];
        v.position[0] = corners[k][0];
        v.position[1] = corners[k][1];
        v.position[2] = corners[k][2];
        v.u = corners[k][3];
        v.v = corners[k][4];
    }
    Face *back_faces = backdrop.faces;
    back_faces[0].a = 0, back_faces[0].b = 1, back_faces[0].c = 2;
    back_faces[1].a = 0, back_faces[1].b = 2, back_faces[1].c = 3;
    int background_texture = texture_find("lightbgd.bmp", true);
    for (int j = 0; j < 2; j++) {
        back_faces[j].blend_mode = 0;
        back_faces[j].texture = background_texture;
        back_faces[j].light_blend = 0;
        back_faces[j].two_sided = 1;
    }

    part_finish(part);
    part.scene.scene_fade = 1.0f;
    Camera &camera = part.camera;
    camera.position[0] = camera.position[1] = camera.position[2] = 0;
    camera.direction[0] = 0, camera.direction[1] = 0, camera.direction[2] = 1;
    camera.zmax = 3.0f;

    log_part_counts(part);
}

Scene *part10_scene() { return &part.scene; }

// Swirl the spiders: each quad's corners turn on a unit circle about a wandering centre.
void part10_animate(float t) {
    static const float phase[4] = {0.0f, 0.734346f, 1.3423698f, 1.92385f};
    static const float offset[4] = {0.0f, float(M_PI / 2), float(M_PI), float(3 * M_PI / 2)};
    for (int q = 0; q < SPIDER_QUADS; q++) {
        float sq = sinf(float(q));
        float r = 2 * sinf(sq * t / 2);
        float cx = sinf(sq * t / 1.5f) / 4 + 0.3f;
        float cy = cosf(sq * t / 1.5f) / 4 + 0.1f;
        float s = (q + 10) / 15.0f * t;
        for (int k = 0; k < 4; k++) {
            float e = sinf(s + phase[k]) / 3 + r + offset[k];
            float *p = part.vertices[4 * q + k].position;
            p[0] = sinf(e) + cx;
            p[1] = cosf(e) + cy;
            p[2] = 0.5f;
        }
    }
    // The spiders overlap the backdrop at one depth; draw every face regardless of depth.
    glDepthFunc(GL_ALWAYS);

    Camera &camera = part.camera;
    camera.fade = 0;
    if (t < 1) camera.fade = 1 - t;
    if (t > 14) camera.fade = t - 14;
}
