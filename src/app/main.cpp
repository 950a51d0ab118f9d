// main.cpp: the entry point: command line, window and context, start-up, the show, shutdown.
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstdlib>

#include "app/command_line.h"
#include "app/files.h"
#include "app/graphics.h"
#include "app/messages.h"
#include "app/settings.h"
#include "demo/driver.h"
#include "platform/text_surface.h"
#include "platform/window.h"

int main(int argc, char **argv) {
    char *command_line = join_arguments(argc, argv);
    archive_open("Data");
    lower_case(command_line);
    parse_command_line(command_line);

    if (!CreateOpenGLWindow("Kelp by Brixlon", 0, 0, get_screen_width(), get_screen_height()))
        fatal_error("CreateOpenGLWindow() failed");
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
