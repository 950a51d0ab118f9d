// part10_content.cpp: the spider interlude's pictures: "spider7.bmp", a pale spider on
// the colour key (it is drawn additively, so it glows), and "lightbgd.bmp", a wall lit
// by a lamp from above.
#include <algorithm>
#include <cmath>

#include "kit_scene.h"

namespace {

// Distance from point p to the segment a-b.
float segment_distance(float px, float py, float ax, float ay, float bx, float by) {
    float dx = bx - ax, dy = by - ay;
    float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy + 1e-9f), 0.0f, 1.0f);
    float ex = px - (ax + t * dx), ey = py - (ay + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

// Coverage 0..1 of an ellipse at (cx, cy) with radii rx, ry, softened over one pixel.
float ellipse_cover(float px, float py, float cx, float cy, float rx, float ry) {
    float dx = (px - cx) / rx, dy = (py - cy) / ry;
    float d = std::sqrt(dx * dx + dy * dy);
    return std::clamp((1 - d) * std::min(rx, ry), 0.0f, 1.0f);
}

// The outline is laid out on a 256-pixel grid around its centre.
const float GRID_SIZE = 256, CENTRE = GRID_SIZE / 2;

// A leg: three segments from the body outwards, bent at knee and ankle.
struct Leg {
    float x[4], y[4];
};

// The eight legs, four a side: front legs forward, back legs back.
std::vector<Leg> spider_legs() {
    const float c = CENTRE, knee_up = 30, reach = 38, foot = 34;
    std::vector<Leg> legs;
    for (int side = -1; side <= 1; side += 2)
        for (int i = 0; i < 4; i++) {
            float base_angle = degrees(-55 + i * 35);
            float ax = c + side * 10, ay = c - 6 + i * 8;
            float dir = side > 0 ? base_angle : PI - base_angle;
            Leg leg;
            leg.x[0] = ax, leg.y[0] = ay;
            leg.x[1] = ax + std::cos(dir) * knee_up, leg.y[1] = ay + std::sin(dir) * knee_up - 22;
            leg.x[2] = leg.x[1] + std::cos(dir) * reach, leg.y[2] = leg.y[1] + std::sin(dir) * reach * 0.6f + 14;
            leg.x[3] = leg.x[2] + std::cos(dir) * foot * 0.7f, leg.y[3] = leg.y[2] + 30;
            legs.push_back(leg);
        }
    return legs;
}

// How much of the grid point (px, py) the spider covers, and how bright it is there.
void spider_point(const std::vector<Leg> &legs, float px, float py, float &cover, float &shade) {
    const float c = CENTRE;
    cover = 0, shade = 0;
    for (const Leg &leg : legs)
        for (int s = 0; s < 3; s++) {
            float width = 4.0f - s * 1.0f;
            float d = segment_distance(px, py, leg.x[s], leg.y[s], leg.x[s + 1], leg.y[s + 1]);
            float k = std::clamp(width - d, 0.0f, 1.0f);
            if (k > cover) cover = k, shade = 0.55f + 0.2f * s;
        }
    float abdomen = ellipse_cover(px, py, c, c + 30, 26, 34);
    float head = ellipse_cover(px, py, c, c - 10, 17, 16);
    if (abdomen > 0) {
        // Markings on the abdomen: a pale chevron pattern.
        float v = (py - (c + 30)) / 34, u = std::fabs(px - c) / 26;
        float mark = 0.5f + 0.5f * std::sin((v * 3 + u * 1.5f) * PI * 2);
        if (abdomen > cover) cover = abdomen, shade = 0.6f + 0.4f * mark * (1 - u);
    }
    if (head > cover) cover = head, shade = 0.8f;
    // Eyes: two bright dots.
    for (int e = -1; e <= 1; e += 2)
        if (ellipse_cover(px, py, c + e * 6, c - 18, 3.5f, 3.5f) > 0.5f) shade = 1.3f;
}

// The spider, pale green on the colour key. It is drawn at 60% of its outline's size: each
// picture spans a large quad, so the keyed margin keeps the ten of them from filling the
// screen. The 256-pixel outline is drawn on 512 pixels, so that the thin legs stay sharp
// where the quads magnify the picture.
Picture make_spider() {
    const float c = CENTRE, zoom = 1 / 0.6f;
    const int pixels = 512;
    const float grid = GRID_SIZE / pixels;
    std::vector<Leg> legs = spider_legs();
    Picture p(pixels, pixels);
    for (int y = 0; y < pixels; y++)
        for (int x = 0; x < pixels; x++) {
            float px = c + ((x + 0.5f) * grid - c) * zoom, py = c + ((y + 0.5f) * grid - c) * zoom;
            float cover, shade;
            spider_point(legs, px, py, cover, shade);
            if (cover < 0.5f) picture_set_transparent(p, x, y);
            else picture_set(p, x, y, colour(0.75f * shade, 0.9f * shade, 0.8f * shade));
        }
    return p;
}

// The wall behind it, lit by a lamp from above.
Picture make_lit_wall() {
    return picture_painted(256, 256, [](int, int, float u, float v) {
        float plaster = fractal_noise(u * 8, v * 8, 5, 0.5f, 8, 1001) * 0.5f + 0.5f;
        float stain = smooth_step(0.55f, 0.85f, fractal_noise(u * 3, v * 3, 4, 0.5f, 3, 1002) * 0.5f + 0.5f);
        // A cone of warm light from a lamp above the top edge.
        float dx = (u - 0.5f) * 1.6f, dy = v + 0.15f;
        float cone = std::clamp(1.0f - std::fabs(dx) / (dy * 0.9f + 0.05f), 0.0f, 1.0f);
        float falloff = 1.0f / (1.0f + dy * dy * 3.0f);
        float light = 0.12f + 1.1f * std::pow(cone, 0.7f) * falloff;
        Colour wall = colour_mix(colour(0.55f, 0.50f, 0.42f), colour(0.38f, 0.33f, 0.27f), stain * 0.6f);
        wall = colour_scale(wall, 0.85f + plaster * 0.3f);
        return colour_multiply(wall, colour_scale(colour(1.0f, 0.86f, 0.62f), light));  // the lamp's warm light
    });
}

}  // namespace

// Write the spider and the lit wall.
void generate_part10(ContentSink &sink) {
    add_picture(sink, "spider7.bmp", make_spider());
    add_picture(sink, "lightbgd.bmp", make_lit_wall());
}

KELP_CONTENT(CONTENT_ORDER_PART + 10, generate_part10);
