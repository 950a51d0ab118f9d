// gl_context.cpp: a real offscreen OpenGL compatibility context for tests.
#include "support/gl_context.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "demo/graphics.h"
#include "app/settings.h"

static SDL_Window *test_window = nullptr;
static SDL_GLContext test_context = nullptr;

bool gl_context_open(int width, int height) {
    if (test_window) gl_context_close();
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "gl_context_open: SDL video: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    for (auto [attribute, value] : {std::pair{SDL_GL_DOUBLEBUFFER, 1}, {SDL_GL_RED_SIZE, 8}, {SDL_GL_GREEN_SIZE, 8},
                                    {SDL_GL_BLUE_SIZE, 8}, {SDL_GL_DEPTH_SIZE, 24}, {SDL_GL_STENCIL_SIZE, 8}})
        SDL_GL_SetAttribute(attribute, value);
    test_window = SDL_CreateWindow("kelp test", 0, 0, width, height,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!test_window) {
        fprintf(stderr, "gl_context_open: window: %s\n", SDL_GetError());
        return false;
    }
    test_context = SDL_GL_CreateContext(test_window);
    if (!test_context || SDL_GL_MakeCurrent(test_window, test_context) != 0) {
        fprintf(stderr, "gl_context_open: context: %s\n", SDL_GetError());
        gl_context_close();
        return false;
    }
    SDL_GL_SetSwapInterval(0);
    set_screen_size(width, height);
    set_render_size(width, height);
    glViewport(0, 0, width, height);
    set_fixed_gl_state();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return true;
}

void gl_context_close() {
    if (test_context) {
        SDL_GL_MakeCurrent(test_window, nullptr);
        SDL_GL_DeleteContext(test_context);
        test_context = nullptr;
    }
    if (test_window) {
        SDL_DestroyWindow(test_window);
        test_window = nullptr;
    }
}

uint32_t gl_read_pixel(int x, int y) {
    uint8_t p[4] = {0, 0, 0, 0};
    gl_read_pixels(x, y, 1, 1, p);
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void gl_read_pixels(int x, int y, int width, int height, uint8_t *rgba) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

int gl_get_int(unsigned what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

void expect_start_up_state() {
    EXPECT_EQ(gl_get_int(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(gl_get_int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(gl_get_int(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(gl_get_int(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
}
