// window.cpp: the window, its OpenGL context and the pixel-format search, on SDL2.
#include "platform/window.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fatal.h"
#include "platform/message_box.h"

bool full_screen = true;
int32_t colour_depth = 32;
static int screen_width = 640, screen_height = 480;
static char pixel_format_line[128];

int get_screen_width() { return screen_width; }
int get_screen_height() { return screen_height; }
void set_screen_size(int width, int height) {
    screen_width = width;
    screen_height = height;
}

enum { MAX_WINDOW_SIZE = 16384 };

static SDL_Window *main_window = nullptr;
static SDL_GLContext main_context = nullptr;

// Minimum red, green and blue sizes for a colour depth in bits per pixel.
static void set_colour_attributes(int bits) {
    int r = 8, g = 8, b = 8;
    if (bits <= 8) r = 3, g = 3, b = 2;
    else if (bits <= 16) r = 5, g = 6, b = 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, r);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, g);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, b);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
}

// One try of the search: a window and a current context with these buffer sizes, or null.
static SDL_Window *try_pixel_format(const char *title, int width, int height, Uint32 flags,
                                    int depth, int stencil) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    set_colour_attributes(colour_depth);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencil);
    SDL_Window *window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (!window) return nullptr;
    main_context = SDL_GL_CreateContext(window);
    if (main_context && SDL_GL_MakeCurrent(window, main_context) == 0) return window;
    if (main_context) SDL_GL_DeleteContext(main_context);
    main_context = nullptr;
    SDL_DestroyWindow(window);
    return nullptr;
}

// Software rasterizers that Mesa names in GL_RENDERER.
bool is_software_renderer(const char *renderer) {
    if (!renderer) return false;
    return strstr(renderer, "llvmpipe") || strstr(renderer, "softpipe") ||
           strstr(renderer, "swrast") || strstr(renderer, "Software Rasterizer");
}

// Window, pixel format, context, the software question and the pixel-format log line.
SDL_Window *CreateOpenGLWindow(const char *title, int, int, int width, int height) {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "kelp: no video: %s\n", SDL_GetError());
        message_box("RegisterClass() failed", "Error");
        return nullptr;
    }
    if (width < 1 || height < 1 || width > MAX_WINDOW_SIZE || height > MAX_WINDOW_SIZE) {
        fprintf(stderr, "kelp: a window of %dx%d cannot be made (1 to %d pixels a side)\n",
                width, height, int(MAX_WINDOW_SIZE));
        message_box("CreateWindow() failed", "Error");
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    flags |= full_screen ? SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP : SDL_WINDOW_RESIZABLE;

    // Stencil from 32 down to 0 in steps of 4; a 24-bit depth buffer where offered.
    SDL_Window *window = nullptr;
    for (int stencil = 32; stencil >= 0 && !window; stencil -= 4) {
        window = try_pixel_format(title, width, height, flags, 24, stencil);
        if (!window) window = try_pixel_format(title, width, height, flags, 16, stencil);
    }
    if (!window) {
        fprintf(stderr, "kelp: no OpenGL pixel format: %s\n", SDL_GetError());
        SDL_Window *plain = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_HIDDEN);
        message_box(plain ? "ChoosePixelFormat() failed" : "CreateWindow() failed", "Error");
        if (plain) SDL_DestroyWindow(plain);
        return nullptr;
    }
    main_window = window;
    SDL_GL_SetSwapInterval(0);

    GLint r = 0, g = 0, b = 0, a = 0, depth = 0, stencil = 0;
    glGetIntegerv(GL_RED_BITS, &r);
    glGetIntegerv(GL_GREEN_BITS, &g);
    glGetIntegerv(GL_BLUE_BITS, &b);
    glGetIntegerv(GL_ALPHA_BITS, &a);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    const char *prefix = "";
    if (is_software_renderer((const char *)glGetString(GL_RENDERER))) {
        prefix = "software\n";
        if (!message_box_yes_no(
                "You're trying to run in software mode!\nIt will be REALLY slow!\nWanna try anyway?",
                "Hello!?")) {
            destroy_opengl_window();
            SDL_Quit();
            exit(0);
        }
    }
    snprintf(pixel_format_line, sizeof pixel_format_line, "%s%dx%dx%d depth:%d stencil:%d", prefix, width,
             height, int(r + g + b + a), int(depth), int(stencil));
    return window;
}

const char *window_pixel_format() { return pixel_format_line; }

SDL_Window *get_window() { return main_window; }

// The client size becomes the screen size with the three low bits cleared.
void apply_client_size(int width, int height) { set_screen_size(width & ~7, height & ~7); }

// Show, raise, and take the first size as a size message would.
void show_window() {
    if (!main_window) return;
    SDL_ShowWindow(main_window);
    SDL_RaiseWindow(main_window);
    int width = 0, height = 0;
    SDL_GetWindowSize(main_window, &width, &height);
    apply_client_size(width, height);
}

// Context first, then the window.
void destroy_opengl_window() {
    if (main_context) {
        SDL_GL_MakeCurrent(main_window, nullptr);
        SDL_GL_DeleteContext(main_context);
        main_context = nullptr;
    }
    if (main_window) {
        SDL_DestroyWindow(main_window);
        main_window = nullptr;
    }
}

void swap_window_buffers() {
    if (main_window) SDL_GL_SwapWindow(main_window);
}
