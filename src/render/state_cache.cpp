// state_cache.cpp: the shadowed OpenGL state of the face and glow passes.
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
    state_texture_env(nullptr);
    state_blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    state_depth_mask(true);
    state_depth_func(GL_LEQUAL);
    if (!shadow.texturing) glEnable(GL_TEXTURE_2D);
    shadow.texturing = true;
}

void state_texture(int texture) {
    if (texture == -1) {
        if (shadow.texturing) glDisable(GL_TEXTURE_2D);
        shadow.texturing = false;
        return;
    }
    if (!shadow.texturing) glEnable(GL_TEXTURE_2D);
    shadow.texturing = true;
    if (!shadow.bound_known || shadow.bound != GLuint(texture)) glBindTexture(GL_TEXTURE_2D, GLuint(texture));
    shadow.bound = GLuint(texture);
    shadow.bound_known = true;
}

void state_blend(GLenum source, GLenum destination) {
    if (source == shadow.blend_source && destination == shadow.blend_destination) return;
    glBlendFunc(source, destination);
    shadow.blend_source = source;
    shadow.blend_destination = destination;
}

void state_depth_mask(bool write) {
    if (write == shadow.depth_mask) return;
    glDepthMask(write ? GL_TRUE : GL_FALSE);
    shadow.depth_mask = write;
}

void state_depth_func(GLenum func) {
    if (func == shadow.depth_func) return;
    glDepthFunc(func);
    shadow.depth_func = func;
}

void state_texture_env(const float *blend_colour) {
    const float *colour = blend_colour ? blend_colour : BLACK;
    bool blend = blend_colour != nullptr;
    if (blend != shadow.env_blend)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, blend ? GL_BLEND : GL_MODULATE);
    if (memcmp(colour, shadow.env_colour, sizeof shadow.env_colour) != 0)
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colour);
    shadow.env_blend = blend;
    memcpy(shadow.env_colour, colour, sizeof shadow.env_colour);
}
