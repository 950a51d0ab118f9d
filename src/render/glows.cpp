// glows.cpp: light glows, their five depth probes before and after, flares whose strength
// follows how much of the glow was seen, and the two lens-flare ghosts.
#include <GL/gl.h>

#include "app/settings.h"
#include "texture/texture.h"
#include "render/render.h"
#include "render/render_math.h"
#include "render/state_cache.h"

// Depth at (u, v) of the viewport; 0 outside it, the last column or row on the far edges.
uint32_t sample_depth(float u, float v) {
    if (!(u >= 0.0f && u <= 1.0f && v >= 0.0f && v <= 1.0f)) return 0;
    if (render_width <= 0 || render_height <= 0) return 0;
    batch_flush();  // what was gathered is part of the picture read
    int x = int(u * float(render_width));
    int y = int(v * float(render_height));
    if (x >= render_width) x = render_width - 1;
    if (y >= render_height) y = render_height - 1;
    GLuint depth = 0;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, &depth);
    return depth;
}

// One textured quad centred on (x, y, z) with half sizes sx, sy, one colour at every corner,
// added to the batch as the two triangles the driver makes of a four-corner polygon, in its
// corner order (another order interpolates with different rounding).
static void sprite(float x, float y, float z, float sx, float sy, const float colour[4]) {
    const float corners[4][3] = {{x - sx, y - sy, z}, {x + sx, y - sy, z}, {x + sx, y + sy, z}, {x - sx, y + sy, z}};
    static const float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    static const int order[6] = {1, 2, 0, 2, 3, 0};
    for (int k : order)
        batch_vertex(corners[k], colour[0], colour[1], colour[2], colour[3], uv[k][0], uv[k][1]);
}

// The five probe points: centre, left, right, below, above.
static void probe_five(float u, float v, float o, uint32_t out[5]) {
    out[0] = sample_depth(u, v);
    out[1] = sample_depth(u - o, v);
    out[2] = sample_depth(u + o, v);
    out[3] = sample_depth(u, v - o);
    out[4] = sample_depth(u, v + o);
}

// Glow, flare and ghosts of one light, eye-space position already in the working copy.
static void draw_light(const Light &light, const Camera &camera, float aspect) {
    float s = light.glow_size;
    float x = light.position[0], y = light.position[1], z = light.position[2];
    float h = s / aspect;
    int c = light_colour_index(light.color);
    bool probed = false;
    uint32_t before[5], after[5];
    if (light.intensity != 0.0f && c > 0) {
        probed = true;
        float ndc_x, ndc_y, side_x, side_y;
        project_point(projection_matrix, light.position, ndc_x, ndc_y);
        float side[3] = {x - s, y, z};
        project_point(projection_matrix, side, side_x, side_y);
        float u = ndc_x / 2.0f + 0.5f, v = ndc_y / 2.0f + 0.5f;
        float o = (side_x - ndc_x) / 2.3f;
        probe_five(u, v, o, before);
        state_texture(light_texture_base + c - 1);
        if (light.intensity < 0.0f)
            state_blend(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        else
            state_blend(GL_ONE, GL_ONE);
        state_depth_mask(true);
        state_depth_func(GL_LEQUAL);
        const float white[4] = {1.0f, 1.0f, 1.0f, camera.glow_alpha};
        sprite(x, y, z, s, h, white);
        probe_five(u, v, o, after);
    }
    float F = light.flare_strength;
    if (F == 0.0f) return;
    float sx = s * flare_size_factor(F);
    float sy = sx / aspect;
    if (light.flare_texture >= 4) sy *= 2.0f;
    float visibility = probed ? probe_visibility(before, after) : 1.0f;
    float a = (F < 0.0f ? -F : F) * visibility;
    if (!(a > 0.0f)) return;
    // A probed flare is drawn over everything (and writes depth); one without a glow keeps the
    // depth buffer as it is.
    state_depth_func(probed ? GL_ALWAYS : GL_LEQUAL);
    state_depth_mask(probed);
    state_texture(flare_texture_base + light.flare_texture);
    const float *rgb = light.color;
    if (F < 0.0f) {
        state_blend(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        const float colour[4] = {rgb[0] * a, rgb[1] * a, rgb[2] * a, a * camera.glow_alpha};
        sprite(x, y, z, sx, sy, colour);
    } else {
        state_blend(GL_SRC_ALPHA, GL_ONE);
        const float colour[4] = {rgb[0], rgb[1], rgb[2], a * camera.glow_alpha};
        sprite(x, y, z, sx, sy, colour);
    }
    if (light.flare_flag) {
        float g = projection_cotangent(camera.fov) / 14.0f;
        state_texture(flare_texture_base + 9);
        state_blend(GL_ONE, GL_ONE);
        const float first[4] = {rgb[0], rgb[1], rgb[2], (a / 2.0f) * camera.glow_alpha};
        sprite(-x, -y, z, 0.6f * g, 0.6f * g, first);
        const float second[4] = {rgb[0], rgb[1], rgb[2], a * camera.glow_alpha};
        sprite(-2.0f * x, -2.0f * y, z, g, g, second);
    }
}

// Every working light with a positive glow size, in index order.
void draw_light_glows(int light_count, const Camera &camera) {
    float aspect = float(render_width) / float(render_height);
    state_cache_begin();
    for (int i = 0; i < light_count; i++)
        if (working_lights[i].glow_size > 0.0f) draw_light(working_lights[i], camera, aspect);
    state_cache_end();
}
