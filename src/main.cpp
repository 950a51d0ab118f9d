// main.cpp: the entry point: command line, window and context, start-up, the show, shutdown.
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstdlib>

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

int main(int argc, char **argv) {
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
