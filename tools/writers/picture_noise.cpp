// picture_noise.cpp: deterministic hash, value, Perlin, fractal and cell noise, and falloffs.
#include <cmath>

#include "writers/angles.h"
#include "writers/picture.h"

// Wrap a lattice coordinate into 0..period-1 when a period is given.
static int wrap_cell(int i, int period) { return period > 0 ? ((i % period) + period) % period : i; }

// 32-bit integer hash of a lattice point and a seed.
static uint32_t hash_point(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ uint32_t(x) * 0x85EBCA77u ^ uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float hash_unit(int x, int y, uint32_t seed) { return float(hash_point(x, y, seed) >> 8) / float(1u << 24); }

// Quintic fade curve of Perlin's improved noise.
static float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

float value_noise(float x, float y, int period, uint32_t seed) {
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float tx = fade(x - x0), ty = fade(y - y0);
    int xa = wrap_cell(x0, period), xb = wrap_cell(x0 + 1, period);
    int ya = wrap_cell(y0, period), yb = wrap_cell(y0 + 1, period);
    float a = hash_unit(xa, ya, seed), b = hash_unit(xb, ya, seed);
    float c = hash_unit(xa, yb, seed), d = hash_unit(xb, yb, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Dot product of the lattice point's pseudo-random unit gradient with (dx, dy).
static float gradient_dot(int x, int y, uint32_t seed, float dx, float dy) {
    float angle = hash_unit(x, y, seed) * TWO_PI;
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

float perlin_noise(float x, float y, int period, uint32_t seed) {
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - x0, fy = y - y0;
    int xa = wrap_cell(x0, period), xb = wrap_cell(x0 + 1, period);
    int ya = wrap_cell(y0, period), yb = wrap_cell(y0 + 1, period);
    float a = gradient_dot(xa, ya, seed, fx, fy), b = gradient_dot(xb, ya, seed, fx - 1, fy);
    float c = gradient_dot(xa, yb, seed, fx, fy - 1), d = gradient_dot(xb, yb, seed, fx - 1, fy - 1);
    float tx = fade(fx), ty = fade(fy);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return (top + (bottom - top) * ty) * 1.41421356f;
}

float fractal_noise(float x, float y, int octaves, float gain, int period, uint32_t seed) {
    float sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; o++) {
        sum += perlin_noise(x, y, period, seed + uint32_t(o) * 1013u) * amplitude;
        norm += amplitude;
        amplitude *= gain;
        x *= 2;
        y *= 2;
        if (period > 0) period *= 2;
    }
    return norm > 0 ? sum / norm * 1.6f : 0;
}

float cell_noise(float x, float y, int period, uint32_t seed) {
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float best = 8;
    for (int j = -1; j <= 1; j++)
        for (int i = -1; i <= 1; i++) {
            int cx = x0 + i, cy = y0 + j;
            int wx = wrap_cell(cx, period), wy = wrap_cell(cy, period);
            float px = cx + hash_unit(wx, wy, seed), py = cy + hash_unit(wx, wy, seed ^ 0x5bd1e995u);
            float d = std::hypot(px - x, py - y);
            if (d < best) best = d;
        }
    return best;
}

float smooth_step(float a, float b, float x) {
    float t = (x - a) / (b - a);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

float radial_falloff(float dx, float dy, float radius) {
    return 1.0f - smooth_step(0.0f, 1.0f, std::sqrt(dx * dx + dy * dy) / radius);
}

float glow_falloff(float dx, float dy, float radius, float sharpness) {
    float d = std::sqrt(dx * dx + dy * dy) / radius;
    if (d >= 1) return 0;
    // A bright core (exponential) times a window that reaches zero with zero slope at the rim.
    float core = std::exp(-d * d * sharpness);
    float window = 1 - d * d;
    return core * window * window;
}
