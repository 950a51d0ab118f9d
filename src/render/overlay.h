// overlay.h: screen-space drawing in normalised device coordinates: the full-screen quad and fade,
// bitmap text on a character grid, and the frame statistics block.
#pragma once
#include "scene/scene.h"

// One quad over the whole viewport in one colour, with texture coordinates (u0, v0) at the
// bottom left to (u1, v1) at the top right; for fades, overlays and pictures.
void draw_screen_quad(float red, float green, float blue, float alpha, float u0, float v0, float u1, float v1);
// Brighten (value > 0) or darken (value < 0) the whole viewport; 0 draws nothing.
void draw_fade(float value);
// One line of text from the bitmap font at (column, row) of a columns x rows grid, row 0 on top.
void draw_text(int font_base, const char *text, int column, int row, int columns, int rows);
// Six lines of frame statistics for the scene just drawn with `camera`.
void draw_statistics(const Scene &scene, const Camera &camera);
