// settings.cpp: the global settings of the run and the screen/render sizes.
#include "app/settings.h"

bool full_screen = true;
bool statistics = false;
int32_t colour_depth = 32;
static int32_t screen_width = 640, screen_height = 480;
int32_t render_width = 640, render_height = 480;
uint32_t frame_counter = 0;
int32_t light_texture_base = 0, flare_texture_base = 7, font_base = 17;
bool quit_flag = false;
bool screenshot_request = false;

int get_screen_width() { return screen_width; }
int get_screen_height() { return screen_height; }
void set_screen_size(int width, int height) {
    screen_width = width;
    screen_height = height;
}
void set_render_size(int width, int height) {
    render_width = width;
    render_height = height;
}
