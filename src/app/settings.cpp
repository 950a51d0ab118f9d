// settings.cpp: the settings of the run and the render size.
#include "app/settings.h"

bool statistics = false;
int32_t render_width = 640, render_height = 480;

void set_render_size(int width, int height) {
    render_width = width;
    render_height = height;
}
