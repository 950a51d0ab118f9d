// compositing.cpp: the mirror copy, the stencil wave wipe and the noise overlay, with the
// numbers behind them (the wipe's wave, the overlay's alpha).
#include "demo/compositing.h"

#include <GL/gl.h>
#include <cmath>

#include "app/settings.h"
#include "render/overlay.h"
#include "render/render.h"
#include "scene/random.h"
#include "texture/texture.h"

#ifndef GL_CLAMP
#define GL_CLAMP 0x2900
#endif

void mirror_pass(Scene &scene, float local_time) {
    set_render_size(MIRROR_SIZE, MIRROR_SIZE);
    render_scene(scene, local_time, true);
    if (!render_drawing()) return;
    glFinish();
    glBindTexture(GL_TEXTURE_2D, GLuint(texture_find("mirror.bmp", false)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glReadBuffer(GL_BACK);
    // The first copy gives the texture its mirror-sized storage; later copies reuse it.
    GLint width = 0, height = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    if (width == MIRROR_SIZE && height == MIRROR_SIZE && (format == GL_RGB || format == GL_RGB8))
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, MIRROR_SIZE, MIRROR_SIZE);
    else
        glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, MIRROR_SIZE, MIRROR_SIZE, 0);
}

void stencil_wipe_mark(double t, double l3) {
    glStencilFunc(GL_ALWAYS, 1, 1);
    glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    for (int i = 0; i < WIPE_WAVE_POINTS; ++i) glVertex2f(float(i / 48.0 - 1.0), float(wipe_wave_y(i, t, l3)));
    glEnd();
    glFinish();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void noise_overlay(float t, float l13) {
    float du = float(random_next() % 100) / 100.0f;
    float dv = float(random_next() % 100) / 100.0f;
    if (!render_drawing()) return;
    float a = noise_alpha(t, l13);
    glBindTexture(GL_TEXTURE_2D, GLuint(texture_find("noise.bmp", true)));
    glDepthFunc(GL_ALWAYS);
    draw_screen_quad(1.0f, 1.0f, 1.0f, a, du, dv, du + 1.0f, dv + 1.0f);
    glDepthFunc(GL_LEQUAL);
    glFinish();
}

double wipe_wave_y(int i, double t, double l3) {
    double a = sin(1.3 * t + i / 12.3);
    double b = sin(0.7 * t + i / 7.5);
    return a * b / 5.0 + sin(3.0 * t + i) / 10.0 + sin(5.7 * t + i) / 8.0 + 1.2 - 2.5 * sin(l3 / 4.0);
}

float noise_alpha(float t, float l13) {
    float a = float(sin(4.0 * t) + (l13 - 46.0) / 1.8 - 1.0);
    if (a < 0.0f) a = 0.0f;
    if (a > 1.0f) a = 1.0f;
    return a;
}
