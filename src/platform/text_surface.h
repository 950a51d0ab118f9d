// text_surface.h: GDI-style text on the window: a window-sized image presented through OpenGL.
#pragma once

// Height of a line of loading text in pixels.
enum { FONT_HEIGHT = 16 };
#include <cstdint>

// Open the font named `family` (resolved through fontconfig) with a cell height of `height`
// pixels, as CreateFont does. Fatal when no font file can be opened.
void text_select_font(const char *family, int height);
// Draw text with its top-left corner at (x, y), opaque: colours are 0xRRGGBB. Returns the
// width in pixels of the drawn box (0 for empty text). Selects Arial 16 if no font is selected.
int text_out(int x, int y, const char *text, uint32_t text_colour, uint32_t background);
// Fill a box of the image with one colour (0xRRGGBB), clipped to the image.
void text_fill(int x, int y, int width, int height, uint32_t colour);
// Show the image on the window: drawn over the back buffer with the GL state kept, then swapped.
void text_present();
// One pixel of the image as 0xRRGGBB; 0 outside it.
uint32_t text_image_pixel(int x, int y);
// Free the font and the image.
void text_release();
