// main.cpp: the entry point: command line, window and context, start-up, the show, shutdown.
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "app/command_line.h"
#include "app/files.h"
#include "demo/graphics.h"
#include "app/messages.h"
#include "app/settings.h"
#include "demo/driver.h"
#include "platform/message_box.h"
#include "platform/text_surface.h"
#include "platform/window.h"

// A fatal error gives the display back first, then says why in a box titled "Error".
static void restore_and_show(const char *message) {
    release_and_restore();
    show_message_box(message, "Error");
}

// The software OpenGL driver allocates and frees blocks of a few hundred kilobytes inside many
// of its draws. By default the C library maps each such block afresh and gives it back when it
// is freed, so the kernel zero-fills new pages on every draw (a fifth of the frame in the
// tunnel); freed memory is kept in the process instead.
static void keep_freed_memory() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
#endif
}

int main(int argc, char **argv) {
    keep_freed_memory();
    set_fatal_cleanup(restore_and_show);
    char *command_line = join_arguments(argc, argv);
    archive_open("Data");
    lower_case(command_line);
    parse_command_line(command_line);

    if (!CreateOpenGLWindow("Kelp by Brixlon", 0, 0, get_screen_width(), get_screen_height()))
        fatal_error("CreateOpenGLWindow() failed");
    log_line(window_pixel_format());
    show_window();
    set_render_size(get_screen_width(), get_screen_height());
    for (int i = 0; i < 2; i++) {  // both buffers start black
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glFinish();
        swap_window_buffers();
    }
    text_select_font("Arial", FONT_HEIGHT);
    init_graphics();
    run_demo(command_line);  // gives the display back before it returns

    text_release();
    destroy_opengl_window();
    SDL_Quit();
    free(command_line);
    return 0;
}
