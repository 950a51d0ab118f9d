// faces.cpp: the two face passes (opaque, then transparent), the facing test, and draw_face
// in every drawing mode; the OpenGL state is back at its start-up values after every pass and
// after every face drawn on its own.
#include <GL/gl.h>

#include "app/messages.h"
#include "render/render.h"
#include "render/render_math.h"
#include "render/state_cache.h"

// Vertex colour (light + 1) * colour with the given alpha.
static void vertex_colour(const Vertex &v, const float colour[3], float alpha) {
    glColor4f((v.light[0] + 1.0f) * colour[0], (v.light[1] + 1.0f) * colour[1],
              (v.light[2] + 1.0f) * colour[2], alpha);
}

// The state of the passes added over a face: added, writing depth, the plain texture environment.
static void additive_state(int texture) {
    state_texture_env(nullptr);
    state_depth_mask(true);
    state_blend(GL_ONE, GL_ONE);
    state_texture(texture);
}

// The second texture added over a face: (light + 1) * colour + shade, full alpha.
static void face_second_pass(const Vertex *const v[3], const float colour[3], int second_texture) {
    additive_state(second_texture);
    for (int i = 0; i < 3; i++)
        batch_vertex(v[i]->position, (v[i]->light[0] + 1.0f) * colour[0] + v[i]->shade,
                     (v[i]->light[1] + 1.0f) * colour[1] + v[i]->shade,
                     (v[i]->light[2] + 1.0f) * colour[2] + v[i]->shade, 1.0f, v[i]->second_u, v[i]->second_v);
    face_counter++;
}

// The separate highlight: the raw light added over a face, untextured.
static void face_highlight_pass(const Vertex *const v[3]) {
    additive_state(-1);
    for (int i = 0; i < 3; i++)
        batch_vertex(v[i]->position, v[i]->light[0], v[i]->light[1], v[i]->light[2], 1.0f, 0.0f, 0.0f);
    face_counter++;
}

// No light above 0 at any corner: the separate highlight would add black (without fog, which
// would add its colour to it).
static bool light_adds_nothing(const Vertex *const v[3]) {
    for (int i = 0; i < 3; i++)
        for (int k = 0; k < 3; k++)
            if (!(v[i]->light[k] <= 0.0f)) return false;
    return true;
}

// Additive passes of opaque faces held back until the end of the opaque pass (or until the
// list is full), then drawn together: the second textures, then the highlights.
struct DeferredPass {
    int a, b, c;
    int second_texture;  // -1: none
    bool highlight;
    float colour[3];
};
enum { MAX_DEFERRED_PASSES = 4096 };
static DeferredPass deferred[MAX_DEFERRED_PASSES];
static int deferred_count = 0;
static bool deferring = false;

static void draw_deferred_passes() {
    for (int i = 0; i < deferred_count; i++) {
        const DeferredPass &d = deferred[i];
        if (d.second_texture == -1) continue;
        const Vertex *v[3] = {&working_vertices[d.a], &working_vertices[d.b], &working_vertices[d.c]};
        face_second_pass(v, d.colour, d.second_texture);
    }
    for (int i = 0; i < deferred_count; i++) {
        const DeferredPass &d = deferred[i];
        if (!d.highlight) continue;
        const Vertex *v[3] = {&working_vertices[d.a], &working_vertices[d.b], &working_vertices[d.c]};
        face_highlight_pass(v);
    }
    deferred_count = 0;
}

// One triangle: base pass by blend mode, highlight, second texture, separate highlight, each
// asking the state cache for its state. The additive passes of a face that replaces what lies
// behind it (blend 0, alpha 1) may be held back while deferring: an additive pass only adds to
// the face in front, and the sum does not depend on the order, so the picture is the same
// except where two faces lie at exactly the same depth (there both add their pass).
static void draw_face_cached(int a, int b, int c, int mode, int texture, int second_texture,
                             byte second_pass, byte highlight, float alpha, float red, float green,
                             float blue) {
    if (alpha == 0.0f) return;
    const Vertex *v[3] = {&working_vertices[a], &working_vertices[b], &working_vertices[c]};
    float colour[3] = {red, green, blue};
    state_texture(texture);
    if (texture != -1) colour[0] = colour[1] = colour[2] = 1.0f;
    if (mode & DRAW_WIREFRAME) {
        static const int order[6] = {0, 1, 1, 2, 2, 0};
        state_texture_env(nullptr);
        state_blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        state_depth_mask(true);
        batch_flush();
        glBegin(GL_LINES);
        for (int i = 0; i < 6; i++) {
            vertex_colour(*v[order[i]], colour, alpha);
            glVertex3fv(v[order[i]]->position);
        }
        glEnd();
        return;
    }
    bool env_highlight = highlight && !(mode & DRAW_SEPARATE_HIGHLIGHT);
    if (env_highlight) {
        float env[4];
        highlight_colour(v[0]->light, v[1]->light, v[2]->light, env);
        state_texture_env(env);
    } else {
        state_texture_env(nullptr);
    }
    int blend = mode & 7;
    float shade_alpha = 1.0f;
    if (blend == 1) {
        state_blend(GL_SRC_ALPHA, GL_ONE);
        state_depth_mask(false);
    } else if (blend == 2) {
        state_blend(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        state_depth_mask(false);
        shade_alpha = alpha;
    } else {
        state_blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        state_depth_mask(true);
    }
    for (int i = 0; i < 3; i++)
        batch_vertex(v[i]->position, (v[i]->light[0] + 1.0f) * colour[0] * shade_alpha,
                     (v[i]->light[1] + 1.0f) * colour[1] * shade_alpha,
                     (v[i]->light[2] + 1.0f) * colour[2] * shade_alpha, alpha, v[i]->u, v[i]->v);
    face_counter++;
    bool second = second_pass && second_texture != -1;
    bool separate = highlight && (mode & DRAW_SEPARATE_HIGHLIGHT);
    if (separate && blend == 0 && !(mode & DRAW_FOG) && light_adds_nothing(v)) {
        // Black added where the base already wrote the same depth: nothing to draw.
        separate = false;
        face_counter++;
    }
    if (!second && !separate) return;
    if (deferring && blend == 0 && alpha == 1.0f) {
        if (deferred_count == MAX_DEFERRED_PASSES) draw_deferred_passes();
        deferred[deferred_count++] = {a, b, c, second ? second_texture : -1, separate,
                                      {colour[0], colour[1], colour[2]}};
        return;
    }
    if (second) face_second_pass(v, colour, second_texture);
    if (separate) face_highlight_pass(v);
}

void draw_face(int a, int b, int c, int mode, int texture, int second_texture, byte second_pass,
               byte highlight, float alpha, float red, float green, float blue) {
    state_cache_begin();
    draw_face_cached(a, b, c, mode, texture, second_texture, second_pass, highlight, alpha, red,
                     green, blue);
    state_cache_end();
}

// Fatal when a face's vertex lies outside the working array.
static int working_index(const Mesh &mesh, int face, int32_t relative) {
    int64_t index = int64_t(mesh.first_vertex) + relative;
    if (index < 0 || index >= MAX_WORKING_VERTICES)
        fatal_errorf("RENDER: mesh [%.64s] face %d uses vertex %lld outside the working array (%d)",
                     mesh.name, face, static_cast<long long>(index), int(MAX_WORKING_VERTICES));
    return int(index);
}

// One pass over every mesh's faces in order: the opaque faces or the transparent ones.
static void draw_pass(const Scene &scene, float glow_alpha, bool opaque_pass) {
    for (int m = 0; m < scene.mesh_count; m++) {
        const Mesh &mesh = scene.meshes[m];
        for (int f = 0; f < mesh.face_count; f++) {
            const Face &face = mesh.faces[f];
            bool opaque = face.blend_mode == 0 && face.alpha == 1.0f;
            if (opaque != opaque_pass) continue;
            int a = working_index(mesh, f, face.a);
            int b = working_index(mesh, f, face.b);
            int c = working_index(mesh, f, face.c);
            bool draw = face.two_sided || (!opaque_pass && face.blend_mode == 4) ||
                        face_towards_eye(working_vertices[a].position,
                                         working_vertices[b].position,
                                         working_vertices[c].position);
            if (!draw) continue;
            int mode = int(static_cast<signed char>(face.blend_mode | scene.flags));
            draw_face_cached(a, b, c, mode, face.texture, face.second_texture, face.second_pass,
                             face.light_blend, face.alpha * glow_alpha, face.color[0],
                             face.color[1], face.color[2]);
        }
    }
}

// Opaque faces first, then the transparent ones, without sorting.
void draw_face_passes(const Scene &scene, float glow_alpha) {
    state_cache_begin();
    deferring = true;
    draw_pass(scene, glow_alpha, true);
    draw_deferred_passes();
    deferring = false;
    draw_pass(scene, glow_alpha, false);
    state_cache_end();
}
