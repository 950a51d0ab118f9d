// graphics.cpp: the start-up of the OpenGL side: the fixed state, the shared textures and
// models, the renderer's working arrays; and release_and_restore, the way back.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/graphics.h"
#include "app/messages.h"
#include "app/settings.h"
#include "render/clock.h"
#include "platform/display.h"
#include "render/render.h"
#include "scene/model.h"
#include "texture/texture.h"

static DisplayMode display_template;

// Depth test LEQUAL, alpha blending, 2D texturing, smooth shading and colour material.
void set_fixed_gl_state() {
    glDrawBuffer(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GEQUAL, 0.05f);
    glDepthFunc(GL_LEQUAL);
    glPointSize(3.0f);
    glLineWidth(2.0f);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
}

// "%s from %s ver %s\n%s" with renderer, vendor, version and extensions, at any length.
static void log_gl_strings() {
    const char *strings[4] = {(const char *)glGetString(GL_RENDERER),
                              (const char *)glGetString(GL_VENDOR),
                              (const char *)glGetString(GL_VERSION),
                              (const char *)glGetString(GL_EXTENSIONS)};
    size_t length = 32;
    for (const char *&s : strings) {
        if (!s) s = "";
        length += strlen(s);
    }
    char *line = (char *)malloc(length);
    if (!line) fatal_error("Out of memory for the OpenGL strings");
    snprintf(line, length, "%s from %s ver %s\n%s", strings[0], strings[1], strings[2], strings[3]);
    log_line(line);
    free(line);
}

// The 113 shared textures: seven light glows, ten flares and the 96 font glyphs, clamped.
static void load_shared_textures() {
    static const char *const flares[10] = {"flare_normal.bmp", "flare_heavy.bmp", "flare_ray.bmp",
                                           "flare_cheesy.bmp", "flare_fire1.bmp", "flare_fire2.bmp",
                                           "flare_fire3.bmp", "flare_fire4.bmp", "flare_particle.bmp",
                                           "lensflare.bmp"};
    char name[TEXTURE_NAME_SIZE];
    light_texture_base = texture_count;
    for (int i = 1; i <= 7; i++) {
        snprintf(name, sizeof name, "light%d.bmp", i);
        texture_load(name, false);
        texture_reserve_names(1);
    }
    flare_texture_base = texture_count;
    for (const char *flare : flares) {
        snprintf(name, sizeof name, "%s", flare);
        texture_load(name, false);
        texture_reserve_names(1);
    }
    font_base = texture_count;
    texture_load_font("font.raw");
    texture_reserve_names(FONT_GLYPHS);
}

// The three shared characters; the father's skin is squeezed to 0.8 of its width.
static void load_shared_models() {
    create_model_table();
    screen_print("Loading messiah model...", false);
    load_model("messiah.mdl");
    screen_print("Loading father model...", false);
    load_model("father.mdl");
    int father = find_model("father.mdl");
    if (father < 0) fatal_error("father.mdl was loaded but is not in the model table");
    Model &model = model_table[father];
    for (int i = 0; i < model.vertex_count; i++) model.vertices[i].u *= 0.8f;
    screen_print("Loading guy model...", false);
    load_model("wolfguy.mdl");
}

// Fixed state, the GL strings, the display mode, then the shared resources.
void init_graphics() {
    frame_counter = 0;
    set_fixed_gl_state();
    log_gl_strings();
    get_desktop_display_mode(display_template);
    if (full_screen) {
        if (!set_display_mode(get_screen_width(), get_screen_height(), colour_depth, display_template))
            fatal_error("Couldn't set video mode");
        show_cursor(false);
    }
    allocate_working_arrays();
    screen_print("Loading textures...", false);
    load_shared_textures();
    load_shared_models();
}

// Used by the normal end and by every fatal error, windowed too.
void release_and_restore() {
    free_model_table();
    free_working_arrays();
    restore_display_mode();
    show_cursor(true);
}
