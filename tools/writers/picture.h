// picture.h: picture synthesis on Picture: colours, noise, gradients, falloffs,
// materials (stone, wood, metal), text drawn with a real font, resampling.
// Colours are floats 0..1; writing a pixel never produces the colour key
// magenta (255, 0, 255) unless picture_set_transparent asks for it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "writers/bmp_writer.h"

struct Colour {
    float r = 0, g = 0, b = 0;
};

// Colour arithmetic.
inline Colour colour(float r, float g, float b) { return Colour{r, g, b}; }
inline Colour colour_bytes(int r, int g, int b) { return Colour{r / 255.0f, g / 255.0f, b / 255.0f}; }
inline Colour colour_mix(Colour a, Colour b, float t) {
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Colour colour_scale(Colour c, float s) { return Colour{c.r * s, c.g * s, c.b * s}; }
inline Colour colour_add(Colour a, Colour b) { return Colour{a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Colour colour_multiply(Colour a, Colour b) { return Colour{a.r * b.r, a.g * b.g, a.b * b.b}; }
// Hue 0..1 (wraps), saturation and value 0..1.
Colour colour_hsv(float hue, float saturation, float value);

// Pixel access: reads and writes as float colours; writes are clamped and keep off the colour key.
Colour picture_get(const Picture &picture, int x, int y);
void picture_set(Picture &picture, int x, int y, Colour c);
// Mark a pixel transparent (the exact colour key).
void picture_set_transparent(Picture &picture, int x, int y);
bool picture_is_transparent(const Picture &picture, int x, int y);
// Additive and alpha blend of one pixel (coordinates outside the picture are ignored).
void picture_add(Picture &picture, int x, int y, Colour c);
void picture_blend(Picture &picture, int x, int y, Colour c, float alpha);
// Whole-picture operations.
void picture_fill(Picture &picture, Colour c);
// Resize with area averaging (down) or bilinear filtering (up).
Picture picture_resize(const Picture &picture, int width, int height);
// Box blur of the given radius in pixels, repeated `passes` times (3 passes look Gaussian).
void picture_blur(Picture &picture, int radius, int passes, bool wrap);

// Deterministic integer hash to 0..1.
float hash_unit(int x, int y, uint32_t seed);
// Value noise, smooth, period in lattice cells (0 = no wrap); result 0..1.
float value_noise(float x, float y, int period, uint32_t seed);
// Gradient (Perlin) noise, period in lattice cells (0 = no wrap); result about -1..1.
float perlin_noise(float x, float y, int period, uint32_t seed);
// Fractal sum of Perlin octaves, each of double frequency and `gain` times the amplitude;
// result about -1..1. Tiles with `period` cells at the base frequency when period > 0.
float fractal_noise(float x, float y, int octaves, float gain, int period, uint32_t seed);
// Worley cell noise: distance to the nearest feature point (0 at a point, about 1 far away).
float cell_noise(float x, float y, int period, uint32_t seed);
// Smoothstep of x between edges a and b.
float smooth_step(float a, float b, float x);
// Soft round falloff: 1 at the centre, 0 from `radius` on, with a smooth shoulder.
float radial_falloff(float dx, float dy, float radius);
// Glow profile: bright core and a long soft tail reaching 0 exactly at `radius`.
float glow_falloff(float dx, float dy, float radius, float sharpness);

// A width x height picture with pixel (x, y) painted shade(x, y, u, v), where u = x / width
// and v = y / height (pixel corners, so a picture that tiles repeats exactly).
template <typename Shade>
Picture picture_painted(int width, int height, Shade shade) {
    Picture p(width, height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) picture_set(p, x, y, shade(x, y, float(x) / width, float(y) / height));
    return p;
}
// Paint over every pixel of a picture: shade(x, y, u, v, its colour now), u and v as above.
template <typename Shade>
void picture_repaint(Picture &p, Shade shade) {
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            picture_set(p, x, y, shade(x, y, float(x) / p.width, float(y) / p.height, picture_get(p, x, y)));
}

// Fill with a radial gradient: `inner` at the centre, `outer` at `radius` pixels and beyond.
void picture_radial_gradient(Picture &picture, Colour inner, Colour outer, float radius);

// Materials, all seamless (they tile), size a power of two.
Picture picture_stone(int size, Colour base, uint32_t seed);
Picture picture_wood(int size, Colour light, Colour dark, uint32_t seed);
Picture picture_metal(int size, Colour base, uint32_t seed);
// Noise texture of fractal clouds between two colours.
Picture picture_clouds(int size, Colour low, Colour high, int octaves, uint32_t seed);
// Bricks or tiles: `rows` courses of `columns` bricks, mortar width in pixels.
Picture picture_bricks(int size, int columns, int rows, Colour brick, Colour mortar, uint32_t seed);

// Text through FreeType. `family` is a fontconfig pattern ("DejaVu Sans:bold").
// Coverage mask (0..255, row 0 at the top) of one line of text at the given pixel size.
struct TextMask {
    int width = 0, height = 0;
    std::vector<uint8_t> coverage;
};
// The mask hinted for one bit per pixel: coverage 0 or 255.
TextMask text_mask_mono(const std::string &text, const std::string &family, int pixel_size);
// Draw text with its top left corner at (x, y), alpha-blended in `c`.
void picture_draw_text(Picture &picture, const std::string &text, const std::string &family,
                       int pixel_size, int x, int y, Colour c);
// Draw text centred horizontally on `center_x`.
void picture_draw_text_centered(Picture &picture, const std::string &text, const std::string &family,
                                int pixel_size, int center_x, int y, Colour c);
// Width in pixels of a text at a size.
int text_width(const std::string &text, const std::string &family, int pixel_size);

// Shapes, alpha-blended in `c` with anti-aliased edges (coordinates in pixels, y down).
void picture_fill_rect(Picture &picture, int x, int y, int width, int height, Colour c, float alpha);
void picture_draw_line(Picture &picture, float x0, float y0, float x1, float y1, float width, Colour c, float alpha);

// The picture handed back repainted by shade(x, y, u, v, its colour now), as picture_repaint
// does: a material with something added, picture_repainted(picture_stone(...), shade).
template <typename Shade>
Picture picture_repainted(Picture p, Shade shade) {
    picture_repaint(p, shade);
    return p;
}
