// picture_draw.cpp: shapes drawn into pictures: rectangles, soft-edged circles and lines, polygons.
#include <algorithm>
#include <cmath>

#include "writers/picture.h"

void picture_fill_rect(Picture &picture, int x, int y, int width, int height, Colour c, float alpha) {
    for (int py = std::max(0, y); py < std::min(picture.height, y + height); py++)
        for (int px = std::max(0, x); px < std::min(picture.width, x + width); px++) picture_blend(picture, px, py, c, alpha);
}

void picture_fill_circle(Picture &picture, float cx, float cy, float radius, Colour c, float alpha) {
    int x0 = std::max(0, int(std::floor(cx - radius - 1))), x1 = std::min(picture.width - 1, int(std::ceil(cx + radius + 1)));
    int y0 = std::max(0, int(std::floor(cy - radius - 1))), y1 = std::min(picture.height - 1, int(std::ceil(cy + radius + 1)));
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            float cover = std::clamp(radius - d + 0.5f, 0.0f, 1.0f);  // one pixel of anti-aliasing
            if (cover > 0) picture_blend(picture, x, y, c, alpha * cover);
        }
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

void picture_fill_polygon(Picture &picture, const std::vector<float> &points, Colour c, float alpha) {
    size_t n = points.size() / 2;
    if (n < 3) return;
    for (int y = 0; y < picture.height; y++) {
        float sy = y + 0.5f;
        std::vector<float> crossings;
        for (size_t i = 0; i < n; i++) {
            float ax = points[i * 2], ay = points[i * 2 + 1];
            float bx = points[((i + 1) % n) * 2], by = points[((i + 1) % n) * 2 + 1];
            if ((ay <= sy) != (by <= sy)) crossings.push_back(ax + (sy - ay) / (by - ay) * (bx - ax));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2)
            for (int x = std::max(0, int(std::ceil(crossings[k] - 0.5f))); x < picture.width && x + 0.5f < crossings[k + 1]; x++)
                picture_blend(picture, x, y, c, alpha);
    }
}
