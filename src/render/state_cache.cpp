// state_cache.cpp: the shadowed OpenGL state of the face and glow passes and the batch of
// triangles drawn under it.
#include "render/state_cache.h"

#include <cstring>

static struct {
    bool texturing;
    GLuint bound;
    bool bound_known;
    GLenum blend_source, blend_destination;
    bool depth_mask;
    GLenum depth_func;
    bool env_blend;
    float env_colour[4];
} shadow;

static const float BLACK[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// Interleaved corners: position, colour, texture coordinates.
struct BatchVertex {
    float position[3];
    float colour[4];
    float uv[2];
};
enum { MAX_BATCH_VERTICES = 3 * 2048 };
static BatchVertex batch[MAX_BATCH_VERTICES];
static int batch_count = 0;

void batch_vertex(const float position[3], float red, float green, float blue, float alpha, float u, float v) {
    if (batch_count == MAX_BATCH_VERTICES) batch_flush();
    BatchVertex &b = batch[batch_count++];
    b.position[0] = position[0], b.position[1] = position[1], b.position[2] = position[2];
    b.colour[0] = red, b.colour[1] = green, b.colour[2] = blue, b.colour[3] = alpha;
    b.uv[0] = u, b.uv[1] = v;
}

void batch_flush() {
    // Only whole triangles are drawn; a full batch always holds whole triangles.
    int count = batch_count - batch_count % 3;
    if (count > 0) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(BatchVertex), batch[0].position);
        glColorPointer(4, GL_FLOAT, sizeof(BatchVertex), batch[0].colour);
        glTexCoordPointer(2, GL_FLOAT, sizeof(BatchVertex), batch[0].uv);
        glDrawArrays(GL_TRIANGLES, 0, count);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    batch_count = 0;
}

void state_cache_begin() {
    shadow.texturing = true;
    shadow.bound = 0;
    shadow.bound_known = false;
    shadow.blend_source = GL_SRC_ALPHA;
    shadow.blend_destination = GL_ONE_MINUS_SRC_ALPHA;
    shadow.depth_mask = true;
    shadow.depth_func = GL_LEQUAL;
    shadow.env_blend = false;
    memcpy(shadow.env_colour, BLACK, sizeof BLACK);
}

void state_cache_end() {
    batch_flush();
    state_texture_env(nullptr);
    state_blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    state_depth_mask(true);
    state_depth_func(GL_LEQUAL);
    if (!shadow.texturing) glEnable(GL_TEXTURE_2D);
    shadow.texturing = true;
}

void state_texture(int texture) {
    if (texture == -1) {
        if (shadow.texturing) batch_flush(), glDisable(GL_TEXTURE_2D);
        shadow.texturing = false;
        return;
    }
    if (!shadow.texturing) batch_flush(), glEnable(GL_TEXTURE_2D);
    shadow.texturing = true;
    if (!shadow.bound_known || shadow.bound != GLuint(texture)) batch_flush(), glBindTexture(GL_TEXTURE_2D, GLuint(texture));
    shadow.bound = GLuint(texture);
    shadow.bound_known = true;
}

void state_blend(GLenum source, GLenum destination) {
    if (source == shadow.blend_source && destination == shadow.blend_destination) return;
    batch_flush();
    glBlendFunc(source, destination);
    shadow.blend_source = source;
    shadow.blend_destination = destination;
}

void state_depth_mask(bool write) {
    if (write == shadow.depth_mask) return;
    batch_flush();
    glDepthMask(write ? GL_TRUE : GL_FALSE);
    shadow.depth_mask = write;
}

void state_depth_func(GLenum func) {
    if (func == shadow.depth_func) return;
    batch_flush();
    glDepthFunc(func);
    shadow.depth_func = func;
}

void state_texture_env(const float *blend_colour) {
    const float *colour = blend_colour ? blend_colour : BLACK;
    bool blend = blend_colour != nullptr;
    bool same_colour = memcmp(colour, shadow.env_colour, sizeof shadow.env_colour) == 0;
    if (blend == shadow.env_blend && same_colour) return;
    batch_flush();
    if (blend != shadow.env_blend)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, blend ? GL_BLEND : GL_MODULATE);
    if (!same_colour)
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colour);
    shadow.env_blend = blend;
    memcpy(shadow.env_colour, colour, sizeof shadow.env_colour);
}
