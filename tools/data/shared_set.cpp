// shared_set.cpp: the pictures every part shares: the seven light glows, the ten flares
// the television static "noise.bmp" and "cutter.bmp". Glows and flares lie on black (they are drawn
// additively) and fade to exactly black before the border, so clamped edges never show.
#include <algorithm>
#include <cmath>

#include "content.h"
#include "shared_set.h"
#include "writers/angles.h"
#include "writers/picture.h"

// Colour of a light glow by its colour index: 4 red, 2 green, 1 blue.
static Colour light_index_colour(int index) {
    return Colour{(index & 4) ? 1.0f : 0.0f, (index & 2) ? 1.0f : 0.0f, (index & 1) ? 1.0f : 0.0f};
}

Picture make_light_glow(int index) {
    const int size = 128;
    Colour c = light_index_colour(index);
    float radius = size / 2 - 1.5f;
    return picture_painted(size, size, [&](int x, int y, float, float) {
        float dx = x + 0.5f - size / 2.0f, dy = y + 0.5f - size / 2.0f;
        float glow = glow_falloff(dx, dy, radius, 5.0f);
        float core = glow_falloff(dx, dy, radius * 0.35f, 3.0f);
        // Coloured body with a slightly paler hot core; the colour index stays readable.
        return colour_add(colour_scale(c, glow), colour_scale(colour(1, 1, 1), core * 0.3f));
    });
}

// Distance and angle of a pixel from the centre of a square picture, the distance in units
// of the half size.
static void polar(int size, int x, int y, float &r, float &angle) {
    float dx = (x + 0.5f) / (size / 2.0f) - 1, dy = (y + 0.5f) / (size / 2.0f) - 1;
    r = std::sqrt(dx * dx + dy * dy);
    angle = std::atan2(dy, dx);
}

// Window that takes a value to zero smoothly at radius 1 (the picture's inscribed circle).
static float rim(float r) { return 1 - smooth_step(0.8f, 0.985f, r); }

// A square picture of a grey field, value(x, y) at each pixel, with a tint that is strongest
// in the dim outskirts.
template <typename Value>
static Picture field_picture(int size, Colour tint, Value value) {
    return picture_painted(size, size, [&](int x, int y, float, float) {
        float v = std::max(0.0f, value(x, y));
        float s = std::min(v, 1.0f);
        // Bright parts go white, dim ones keep a trace of tint.
        return colour_mix(colour_multiply(tint, colour(s, s, s)), colour(s, s, s), std::min(1.0f, v * v));
    });
}

// The same with value(r, angle) at each pixel's distance and angle from the centre.
template <typename Value>
static Picture polar_field_picture(int size, Colour tint, Value value) {
    return field_picture(size, tint, [&](int x, int y) {
        float r, a;
        polar(size, x, y, r, a);
        return value(r, a);
    });
}

// Thin star ray along an angle: sharp across, long falloff along.
static float ray(float r, float angle, float direction, float width, float length) {
    float d = angle - direction;
    d = std::atan2(std::sin(d), std::cos(d));
    if (std::fabs(d) > PI / 2) return 0;
    float across = std::fabs(std::sin(d)) * r;
    return std::exp(-across * across / (width * width)) * std::exp(-r / length);
}

// Star flare: a hot core with four long rays and four short ones between them.
static Picture make_flare_normal() {
    return polar_field_picture(256, colour(0.85f, 0.9f, 1.0f), [](float r, float a) {
        float v = std::exp(-r * r * 60) * 1.2f + std::exp(-r * 5) * 0.35f;
        for (int k = 0; k < 4; k++) v += ray(r, a, k * PI / 2, 0.012f, 0.35f) * 0.9f;
        for (int k = 0; k < 4; k++) v += ray(r, a, PI / 4 + k * PI / 2, 0.008f, 0.18f) * 0.45f;
        return v * rim(r);
    });
}

// Heavy flare: a broad glow, a halo ring and a horizontal streak.
static Picture make_flare_heavy() {
    return polar_field_picture(256, colour(1.0f, 0.9f, 0.75f), [](float r, float a) {
        float v = std::exp(-r * r * 12) * 1.1f + std::exp(-r * 2.6f) * 0.45f;
        // A faint halo ring with a soft chromatic touch left to the tint.
        v += std::exp(-(r - 0.62f) * (r - 0.62f) / 0.0025f) * 0.22f;
        float streak = ray(r, a, 0, 0.03f, 0.6f) + ray(r, a, PI, 0.03f, 0.6f);
        v += streak * 0.5f;
        return v * rim(r);
    });
}

// Ray flare: a small core and 48 thin rays of hashed length and strength.
static Picture make_flare_ray() {
    const int rays = 48;
    return polar_field_picture(256, colour(0.95f, 0.95f, 1.0f), [](float r, float a) {
        float v = std::exp(-r * r * 80) * 1.3f + std::exp(-r * 7) * 0.3f;
        for (int k = 0; k < rays; k++) {
            float direction = (k + hash_unit(k, 0, 77) * 0.6f) * 2 * PI / rays;
            float length = 0.12f + 0.4f * hash_unit(k, 1, 77);
            float strength = 0.25f + 0.6f * hash_unit(k, 2, 77);
            v += ray(r, a, direction, 0.006f + 0.006f * hash_unit(k, 3, 77), length) * strength;
        }
        return v * rim(r);
    });
}

// Cheesy flare: a core with a four-ray star and a big rainbow ring.
static Picture make_flare_cheesy() {
    return picture_painted(256, 256, [](int x, int y, float, float) {
        float r, a;
        polar(256, x, y, r, a);
        float core = std::exp(-r * r * 40) * 1.2f + std::exp(-r * 6) * 0.25f;
        // A big rainbow ring ghost: red outside, blue inside, mostly pale.
        float ring = 0.7f;
        float red = std::exp(-(r - ring - 0.03f) * (r - ring - 0.03f) / 0.0012f);
        float green = std::exp(-(r - ring) * (r - ring) / 0.0012f);
        float blue = std::exp(-(r - ring + 0.03f) * (r - ring + 0.03f) / 0.0012f);
        float star = ray(r, a, PI / 2, 0.01f, 0.5f) + ray(r, a, -PI / 2, 0.01f, 0.5f) +
                     ray(r, a, 0, 0.01f, 0.5f) + ray(r, a, PI, 0.01f, 0.5f);
        float w = rim(r);
        float g = (core + star * 0.6f) * w;
        return colour(g + (red * 0.35f + green * 0.2f + blue * 0.1f) * w,
                      g + (red * 0.15f + green * 0.3f + blue * 0.15f) * w,
                      g + (red * 0.1f + green * 0.2f + blue * 0.35f) * w);
    });
}

// Dust mote `frame` (1..4; flare textures 4 to 7 are the oil room's dust): one to three
// specks with a faint trail below. The renderer draws these twice as tall as wide, so the
// specks are painted half as tall to show round.
static Picture make_flare_dust(int frame) {
    const int size = 128;
    uint32_t seed = 301 + uint32_t(frame) * 17;
    int specks = frame == 3 ? 3 : frame == 2 ? 2 : 1;
    float width = frame == 4 ? 0.09f : 0.055f;
    return field_picture(size, colour(1.0f, 0.88f, 0.7f), [&](int x, int y) {
        float dx = (x + 0.5f) / (size / 2.0f) - 1, dy = (y + 0.5f) / (size / 2.0f) - 1;
        float v = 0;
        for (int k = 0; k < specks; k++) {
            // The first speck in the middle, the others scattered round it and smaller.
            float sx = k ? hash_unit(k, 0, seed) - 0.5f : 0, sy = k ? hash_unit(k, 1, seed) - 0.5f : 0;
            float w = width * (k ? 0.7f : 1.0f), ax = dx - sx * 0.5f, ay = 2 * (dy - sy * 0.3f);
            float d2 = (ax * ax + ay * ay) / (w * w);
            v += std::exp(-d2) * (k ? 0.9f : 1.4f) + std::exp(-d2 / 6) * 0.08f;
            // The trail: a thin fading streak under the speck, left by its rise.
            if (ay > 0) v += std::exp(-ax * ax / (w * w * 0.3f)) * std::exp(-ay / 0.5f) * 0.18f;
        }
        return v * rim(std::sqrt(dx * dx + dy * dy));
    });
}

// Particle: a small soft dot.
static Picture make_flare_particle() {
    return polar_field_picture(64, colour(1, 1, 1), [](float r, float) {
        return (std::exp(-r * r * 30) * 1.2f + std::exp(-r * 9) * 0.25f) * rim(r);
    });
}

// Lens ghost: a soft hexagonal disc with a brighter rim, as an aperture makes.
static Picture make_lensflare() {
    return polar_field_picture(128, colour(0.9f, 0.95f, 1.0f), [](float r, float a) {
        // Hexagon: distance scaled by the angle within the nearest sixth.
        float sector = std::fmod(a + TWO_PI + PI / 6, PI / 3) - PI / 6;
        float hex = r * std::cos(sector) / std::cos(PI / 6);
        float inside = 1 - smooth_step(0.78f, 0.86f, hex);
        float edge = std::exp(-(hex - 0.8f) * (hex - 0.8f) / 0.002f);
        float v = inside * (0.10f + 0.12f * hex) + edge * 0.3f;
        return v * rim(r);
    });
}

// "noise.bmp": television static in 32 grey levels.
static Picture make_noise() {
    return picture_painted(256, 256, [](int x, int y, float, float) {
        // Each line has its own gain, and a few lines run brighter, like a bad signal.
        float line = 0.75f + 0.25f * hash_unit(y, 0, 991);
        if (hash_unit(y, 1, 991) > 0.93f) line += 0.25f;
        float grain = hash_unit(x, y, 12345);
        float smear = hash_unit(x / 2, y, 777) * 0.3f;
        float v = std::clamp((grain * 0.8f + smear) * line, 0.0f, 1.0f);
        // 32 grey levels keep the palette small.
        v = std::floor(v * 31.0f + 0.5f) / 31.0f;
        return colour(v, v, v);
    });
}

std::vector<SharedPicture> shared_pictures() {
    std::vector<SharedPicture> pictures;
    for (int i = 1; i <= 7; i++) pictures.push_back({"light" + std::to_string(i) + ".bmp", make_light_glow(i)});
    pictures.push_back({"flare_normal.bmp", make_flare_normal()});
    pictures.push_back({"flare_heavy.bmp", make_flare_heavy()});
    pictures.push_back({"flare_ray.bmp", make_flare_ray()});
    pictures.push_back({"flare_cheesy.bmp", make_flare_cheesy()});
    for (int i = 1; i <= 4; i++) pictures.push_back({"flare_fire" + std::to_string(i) + ".bmp", make_flare_dust(i)});
    pictures.push_back({"flare_particle.bmp", make_flare_particle()});
    pictures.push_back({"lensflare.bmp", make_lensflare()});
    pictures.push_back({"noise.bmp", make_noise()});
    return pictures;
}

// "cutter.bmp": a toothed steel cutting disc on a dark machined plate, shared by the warp
// pass and the greetings.
Picture make_cutter() {
    const int size = 256;
    const float c = size / 2.0f;
    Picture plate = picture_metal(size, colour(0.16f, 0.17f, 0.2f), 41);
    Picture steel = picture_metal(size, colour(0.62f, 0.64f, 0.68f), 42);
    return picture_painted(size, size, [&](int x, int y, float, float) {
        float dx = x + 0.5f - c, dy = y + 0.5f - c;
        float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
        // 24 hooked teeth: the rim's radius climbs along each tooth and drops at its edge.
        float tooth = a / TWO_PI * 24 - std::floor(a / TWO_PI * 24);
        float rim = 104 + 14 * tooth;
        float disc = std::clamp(rim - r, 0.0f, 1.0f);
        float hole = std::clamp(r - 14, 0.0f, 1.0f);
        Colour base = picture_get(plate, x, y);
        // Brushed circles on the disc, a bevel at the rim, a hub with four bolts.
        float brushed = 0.85f + 0.15f * std::sin(r * 1.7f + hash_unit(int(r), 0, 43) * 3);
        Colour metal = colour_scale(picture_get(steel, x, y), brushed * (0.75f + 0.35f * (1 - tooth)));
        if (r > 28 && r < 34) metal = colour_scale(metal, 0.55f);
        for (int b = 0; b < 4; b++) {
            float bx = c + 22 * std::cos(b * PI / 2 + 0.4f), by = c + 22 * std::sin(b * PI / 2 + 0.4f);
            if (std::hypot(x + 0.5f - bx, y + 0.5f - by) < 4) metal = colour(0.3f, 0.3f, 0.33f);
        }
        // The disc's shadow falls down and right on the plate.
        float sx = dx - 6, sy = dy - 6;
        float shadow = std::clamp(rim + 4 - std::sqrt(sx * sx + sy * sy), 0.0f, 8.0f) / 8;
        base = colour_scale(base, 1 - 0.6f * shadow);
        return colour_mix(base, metal, disc * hole);
    });
}

void generate_shared_set(ContentSink &sink) {
    for (const SharedPicture &shared : shared_pictures()) {
        bool grey = shared.name == "noise.bmp";
        sink.add(shared.name, grey ? bmp_encode_8(shared.picture) : bmp_encode_24(shared.picture));
    }
    sink.add("cutter.bmp", bmp_encode_24(make_cutter()));
}

KELP_CONTENT(CONTENT_ORDER_SHARED, generate_shared_set);
