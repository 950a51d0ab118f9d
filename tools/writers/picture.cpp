// picture.cpp: colours, pixel access, blending, resampling, blurring and shapes drawn into
// pictures (rectangles and soft-edged lines).
#include "writers/picture.h"

#include <algorithm>
#include <cmath>

#include "platform/fatal.h"

Colour colour_hsv(float hue, float saturation, float value) {
    float h = (hue - std::floor(hue)) * 6.0f;
    int sector = int(h) % 6;
    float f = h - std::floor(h);
    float p = value * (1 - saturation), q = value * (1 - saturation * f), t = value * (1 - saturation * (1 - f));
    switch (sector) {
        case 0: return Colour{value, t, p};
        case 1: return Colour{q, value, p};
        case 2: return Colour{p, value, t};
        case 3: return Colour{p, q, value};
        case 4: return Colour{t, p, value};
        default: return Colour{value, p, q};
    }
}

// Float 0..1 to a byte, rounded.
static uint8_t to_byte(float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

Colour picture_get(const Picture &picture, int x, int y) {
    const uint8_t *p = picture.at(x, y);
    return Colour{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
}

// The colour key: a pixel of exactly this colour is transparent.
static const uint8_t COLOUR_KEY[3] = {255, 0, 255};

void picture_set(Picture &picture, int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
    uint8_t *p = picture.at(x, y);
    p[0] = to_byte(c.r);
    p[1] = to_byte(c.g);
    p[2] = to_byte(c.b);
    if (picture_is_transparent(picture, x, y)) p[0] = 254;
}

void picture_set_transparent(Picture &picture, int x, int y) {
    if (x >= 0 && y >= 0 && x < picture.width && y < picture.height) std::copy_n(COLOUR_KEY, 3, picture.at(x, y));
}

bool picture_is_transparent(const Picture &picture, int x, int y) {
    return std::equal(COLOUR_KEY, COLOUR_KEY + 3, picture.at(x, y));
}

void picture_add(Picture &picture, int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
    picture_set(picture, x, y, colour_add(picture_get(picture, x, y), c));
}

void picture_blend(Picture &picture, int x, int y, Colour c, float alpha) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
    picture_set(picture, x, y, colour_mix(picture_get(picture, x, y), c, std::clamp(alpha, 0.0f, 1.0f)));
}

void picture_fill(Picture &picture, Colour c) {
    picture_repaint(picture, [&](int, int, float, float, Colour) { return c; });
}

// Pixel at (x, y), wrapped or clamped into the picture.
static Colour fetch(const Picture &picture, int x, int y, bool wrap) {
    if (wrap) {
        x = ((x % picture.width) + picture.width) % picture.width;
        y = ((y % picture.height) + picture.height) % picture.height;
    } else {
        x = std::clamp(x, 0, picture.width - 1);
        y = std::clamp(y, 0, picture.height - 1);
    }
    return picture_get(picture, x, y);
}

// Sample with bilinear filtering at (u, v) in 0..1, wrapping when `wrap` is set, else clamped.
static Colour picture_sample(const Picture &picture, float u, float v, bool wrap) {
    float fx = u * picture.width - 0.5f, fy = v * picture.height - 0.5f;
    int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    float tx = fx - x0, ty = fy - y0;
    Colour top = colour_mix(fetch(picture, x0, y0, wrap), fetch(picture, x0 + 1, y0, wrap), tx);
    Colour bottom = colour_mix(fetch(picture, x0, y0 + 1, wrap), fetch(picture, x0 + 1, y0 + 1, wrap), tx);
    return colour_mix(top, bottom, ty);
}

Picture picture_resize(const Picture &picture, int width, int height) {
    if (width <= 0 || height <= 0 || picture.width <= 0 || picture.height <= 0)
        fatal_errorf("picture_resize: bad size %dx%d from %dx%d", width, height, picture.width, picture.height);
    bool shrink = width <= picture.width && height <= picture.height;
    return picture_painted(width, height, [&](int x, int y, float, float) {
        if (!shrink) return picture_sample(picture, (x + 0.5f) / width, (y + 0.5f) / height, false);
        // Average the source area the target pixel covers.
        int sx0 = x * picture.width / width, sx1 = std::max(sx0 + 1, (x + 1) * picture.width / width);
        int sy0 = y * picture.height / height, sy1 = std::max(sy0 + 1, (y + 1) * picture.height / height);
        Colour sum;
        for (int sy = sy0; sy < sy1; sy++)
            for (int sx = sx0; sx < sx1; sx++) sum = colour_add(sum, picture_get(picture, sx, sy));
        return colour_scale(sum, 1.0f / float((sx1 - sx0) * (sy1 - sy0)));
    });
}

// One box-blur pass along `lines` lines of `length` pixels each (pixel k of line l starts at
// float l * across + k * along), wrapping or clamping at the ends.
static void blur_lines(std::vector<float> &data, int lines, int length, size_t across, size_t along, int radius,
                       bool wrap) {
    std::vector<float> line(size_t(length) * 3);
    float scale = 1.0f / float(2 * radius + 1);
    for (int l = 0; l < lines; l++) {
        float *first = &data[l * across];
        for (int c = 0; c < 3; c++) {
            auto value = [&](int k) {
                if (wrap) k = ((k % length) + length) % length;
                else k = std::clamp(k, 0, length - 1);
                return first[k * along + c];
            };
            float sum = 0;
            for (int k = -radius; k <= radius; k++) sum += value(k);
            for (int k = 0; k < length; k++) {
                line[k * 3 + c] = sum * scale;
                sum += value(k + radius + 1) - value(k - radius);
            }
        }
        for (int k = 0; k < length; k++) std::copy_n(&line[k * 3], 3, first + k * along);
    }
}

void picture_blur(Picture &picture, int radius, int passes, bool wrap) {
    if (radius <= 0 || passes <= 0) return;
    std::vector<float> data(picture.rgb.size());
    for (size_t i = 0; i < data.size(); i++) data[i] = picture.rgb[i] / 255.0f;
    const int w = picture.width, h = picture.height;
    for (int p = 0; p < passes; p++) {
        blur_lines(data, h, w, size_t(w) * 3, 3, radius, wrap);  // rows
        blur_lines(data, w, h, 3, size_t(w) * 3, radius, wrap);  // columns
    }
    picture_repaint(picture, [&](int x, int y, float, float, Colour) {
        const float *v = &data[(size_t(y) * picture.width + x) * 3];
        return Colour{v[0], v[1], v[2]};
    });
}

void picture_radial_gradient(Picture &picture, Colour inner, Colour outer, float radius) {
    float cx = picture.width * 0.5f, cy = picture.height * 0.5f;
    picture_repaint(picture, [&](int x, int y, float, float, Colour) {
        float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
        return colour_mix(inner, outer, std::min(d, 1.0f));
    });
}

void picture_fill_rect(Picture &picture, int x, int y, int width, int height, Colour c, float alpha) {
    for (int py = std::max(0, y); py < std::min(picture.height, y + height); py++)
        for (int px = std::max(0, x); px < std::min(picture.width, x + width); px++) picture_blend(picture, px, py, c, alpha);
}

void picture_draw_line(Picture &picture, float x0, float y0, float x1, float y1, float width, Colour c, float alpha) {
    float dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy;
    float half = width / 2;
    int bx0 = std::max(0, int(std::floor(std::min(x0, x1) - half - 1))), bx1 = std::min(picture.width - 1, int(std::ceil(std::max(x0, x1) + half + 1)));
    int by0 = std::max(0, int(std::floor(std::min(y0, y1) - half - 1))), by1 = std::min(picture.height - 1, int(std::ceil(std::max(y0, y1) + half + 1)));
    for (int y = by0; y <= by1; y++)
        for (int x = bx0; x <= bx1; x++) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f) : 0.0f;
            float d = std::hypot(px - t * dx, py - t * dy);
            float cover = std::clamp(half - d + 0.5f, 0.0f, 1.0f);
            if (cover > 0) picture_blend(picture, x, y, c, alpha * cover);
        }
}
