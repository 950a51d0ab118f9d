// settings.h: the global settings of the run and the screen/render sizes.
#pragma once
#include <cstdint>

extern bool full_screen;      // cleared by "window"
extern bool statistics;       // set by "stat": log file and on-screen statistics
extern int32_t colour_depth;  // bits per pixel, "res"
enum { FONT_HEIGHT = 16 };

// Window client size (multiples of 8 after the first resize).
int get_screen_width();
int get_screen_height();
void set_screen_size(int width, int height);

// Viewport size for the next scene render only.
extern int32_t render_width, render_height;
void set_render_size(int width, int height);

// Frames presented since init_graphics.
extern uint32_t frame_counter;

// Texture bases of the shared start-up set.
extern int32_t light_texture_base, flare_texture_base, font_base;

// Set by Escape, by closing the window, and at the end of the show.
extern bool quit_flag;
// Set by Enter; cleared when the screenshot is written.
extern bool screenshot_request;
