// compositing.h: the driver's own passes between scene renders: the mirror copy of entry 1,
// the stencil wave wipe from part 3 to part 4, and the noise overlay at the end of entry 13.
#pragma once
#include "scene/scene.h"

enum { MIRROR_SIZE = 128, WIPE_WAVE_POINTS = 100 };
// Entry 1 renders the mirror until 37 s of its time; entry 13 lays the static from 45 s.
const float MIRROR_END = 37.0f, NOISE_START = 45.0f;

// Render the mirror room at 128 x 128 and copy that corner of the back buffer into "mirror.bmp"
// (with drawing off, only what the render changes of the show).
void mirror_pass(Scene &scene, float local_time);
// Mark the area above the wave with stencil value 1 (colour writes off).
void stencil_wipe_mark(double t, double l3);
// Height of wave point i (0 to 99) at demo time t and local time L3 of part 4.
double wipe_wave_y(int i, double t, double l3);
// Draw the moving noise texture over the frame with the alpha of noise_alpha (its two random
// numbers are drawn with drawing off too).
void noise_overlay(float t, float l13);
// Overlay alpha: sin(4t) + (L13 - 46) / 1.8 - 1, kept within 0 to 1.
float noise_alpha(float t, float l13);
