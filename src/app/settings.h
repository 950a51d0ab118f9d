// settings.h: the settings of the run: statistics, and the size of the next render.
#pragma once
#include <cstdint>

#include "platform/window.h"

extern bool statistics;  // set by "stat": log file and on-screen statistics

// Viewport size for the next scene render only.
extern int32_t render_width, render_height;
void set_render_size(int width, int height);
