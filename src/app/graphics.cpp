// graphics.cpp: init_graphics, the start-up of the OpenGL side, and release_and_restore.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/graphics.h"
#include "app/messages.h"
#include "app/settings.h"
#include "platform/display.h"

static DisplayMode display_template;

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
}

// Used by the normal end and by every fatal error, windowed too.
void release_and_restore() {
    restore_display_mode();
    show_cursor(true);
}
