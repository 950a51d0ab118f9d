// picture_materials.cpp: seamless material pictures: stone, wood, metal, clouds, bricks.
#include <algorithm>
#include <cmath>

#include "writers/angles.h"
#include "writers/picture.h"

Picture picture_stone(int size, Colour base, uint32_t seed) {
    const int cells = 6;
    return picture_painted(size, size, [&](int x, int y, float u, float v) {
        float n = fractal_noise(u * 4, v * 4, 6, 0.55f, 4, seed);
        float grain = hash_unit(x, y, seed + 7) - 0.5f;
        float cracks = cell_noise(u * cells, v * cells, cells, seed + 3);
        float crack = smooth_step(0.0f, 0.12f, std::fabs(cracks - cell_noise(u * cells + 0.07f, v * cells, cells, seed + 3)));
        float shade = 0.75f + n * 0.28f + grain * 0.08f;
        Colour c = colour_scale(base, shade);
        // Darker veins where neighbouring cells meet.
        c = colour_scale(c, 0.65f + 0.35f * crack);
        return colour_mix(c, colour_scale(base, 0.5f), smooth_step(0.2f, 0.8f, fractal_noise(u * 2, v * 2, 3, 0.5f, 2, seed + 11)) * 0.3f);
    });
}

Picture picture_wood(int size, Colour light, Colour dark, uint32_t seed) {
    return picture_painted(size, size, [&](int, int, float u, float v) {
        // Growth rings across u, gently bent by low-frequency noise; fine grain along v.
        float warp = fractal_noise(u * 2, v * 2, 3, 0.5f, 2, seed) * 0.08f;
        float rings = (u + warp) * 10;
        float ring = 0.5f + 0.5f * std::sin(rings * TWO_PI);
        ring = std::pow(ring, 4.0f);
        float grain = fractal_noise(u * 96, v * 3, 2, 0.5f, 96, seed + 5) * 0.5f + 0.5f;
        float tone = fractal_noise(u * 3, v * 3, 3, 0.5f, 3, seed + 9) * 0.1f;
        return colour_mix(light, dark, std::clamp(ring * 0.55f + grain * 0.35f + tone, 0.0f, 1.0f));
    });
}

Picture picture_metal(int size, Colour base, uint32_t seed) {
    Picture p = picture_painted(size, size, [&](int, int, float u, float v) {
        // Brushed streaks along x, a soft sheen and some scratches and stains.
        float brushed = fractal_noise(u * 2, v * 128, 2, 0.5f, 128, seed) * 0.5f + 0.5f;
        float sheen = 0.5f + 0.5f * std::sin((u + v) * TWO_PI);
        float stain = smooth_step(0.3f, 0.9f, fractal_noise(u * 3, v * 3, 4, 0.5f, 3, seed + 9));
        return colour_scale(base, 0.7f + brushed * 0.2f + sheen * 0.15f - stain * 0.25f);
    });
    // Scratches: short bright lines at hashed places.
    for (int s = 0; s < size / 8; s++) {
        float sx = hash_unit(s, 1, seed) * size, sy = hash_unit(s, 2, seed) * size;
        float angle = (hash_unit(s, 3, seed) - 0.5f) * 0.6f;
        int length = 8 + int(hash_unit(s, 4, seed) * size / 6);
        for (int i = 0; i < length; i++) {
            int x = int(sx + std::cos(angle) * i) & (size - 1), y = int(sy + std::sin(angle) * i) & (size - 1);
            picture_add(p, x, y, colour(0.08f, 0.08f, 0.08f));
        }
    }
    return p;
}

Picture picture_clouds(int size, Colour low, Colour high, int octaves, uint32_t seed) {
    return picture_painted(size, size, [&](int, int, float u, float v) {
        float n = fractal_noise(u * 4, v * 4, octaves, 0.5f, 4, seed) * 0.5f + 0.5f;
        return colour_mix(low, high, std::clamp(n, 0.0f, 1.0f));
    });
}

Picture picture_bricks(int size, int columns, int rows, Colour brick, Colour mortar, uint32_t seed) {
    float bw = float(size) / columns, bh = float(size) / rows;
    float joint = std::max(1.0f, size / 128.0f);
    return picture_painted(size, size, [&](int x, int y, float u, float v) {
        int row = int(y / bh);
        float offset = (row & 1) ? bw * 0.5f : 0;
        float fx = std::fmod(x + offset, float(size));
        int column = int(fx / bw);
        float lx = fx - column * bw, ly = y - row * bh;
        float edge = std::min(std::min(lx, bw - lx), std::min(ly, bh - ly));
        float n = fractal_noise(u * 8, v * 8, 4, 0.5f, 8, seed) * 0.5f + 0.5f;
        float tone = 0.8f + 0.35f * hash_unit(column % columns, row, seed + 1);
        Colour c = colour_scale(brick, tone * (0.8f + 0.3f * n));
        float m = smooth_step(joint * 0.5f, joint * 1.5f, edge);
        return colour_mix(colour_scale(mortar, 0.8f + 0.3f * n), c, m);
    });
}
