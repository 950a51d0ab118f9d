// part12_content.cpp: "endscreen.bmp", the end picture: a kelp forest under water with
// light falling from the surface, the title "Kelp" and "by Brixlon".
#include <algorithm>
#include <cmath>

#include "content.h"
#include "writers/picture.h"

namespace {

const float PI = 3.14159265f;

Picture make_end_screen() {
    // Drawn at 4:3 and squeezed into a square texture: the backdrop stretches it back.
    const int width = 680, height = 512;
    Picture p(width, height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            float u = float(x) / width, v = float(y) / height;  // v = 0 at the top
            Colour deep = colour_mix(colour(0.05f, 0.32f, 0.42f), colour(0.0f, 0.04f, 0.09f), std::pow(v, 0.8f));
            // Shafts of light slanting down from the surface.
            float shafts = 0.5f + 0.5f * std::sin((u * 9 + v * 2.2f) * PI + std::sin(u * 23) * 0.8f);
            shafts = std::pow(shafts, 6.0f) * (1 - v) * 0.35f;
            // Caustic shimmer near the surface.
            float caustic = std::pow(1 - cell_noise(u * 14, v * 10, 0, 77), 8.0f) * (1 - v) * (1 - v) * 0.3f;
            Colour c = colour_add(deep, colour_scale(colour(0.5f, 0.85f, 0.8f), shafts + caustic));
            picture_set(p, x, y, c);
        }
    // Kelp fronds: swaying stalks from the sea floor with leaves, darker in front.
    for (int layer = 0; layer < 2; layer++)
        for (int k = 0; k < 9; k++) {
            float base_x = (k + 0.5f) / 9 * width + (hash_unit(k, layer, 5) - 0.5f) * 60;
            float top = height * (0.05f + 0.35f * hash_unit(k, layer, 6));
            Colour tone = layer == 0 ? colour(0.07f, 0.22f, 0.14f) : colour(0.02f, 0.08f, 0.05f);
            float alpha = layer == 0 ? 0.55f : 0.9f;
            for (float y = height; y > top; y -= 0.5f) {
                float along = (height - y) / (height - top);
                float sway = std::sin(along * 3.2f + k) * 26 * along;
                float x = base_x + sway;
                float w = 3.5f + layer * 1.5f;
                for (int dx = int(-w); dx <= int(w); dx++) picture_blend(p, int(x) + dx, int(y), tone, alpha);
                // Leaves every so often, alternating sides.
                if (int(y * 2) % 36 == 0) {
                    float side = (int(y) / 18) % 2 ? 1.0f : -1.0f;
                    for (int i = 0; i < 34; i++) {
                        float lx = x + side * i, ly = y - i * 0.6f - std::sin(i * 0.12f) * 6;
                        float lw = 5 * std::sin(i / 34.0f * PI);
                        for (int dy = int(-lw); dy <= int(lw); dy++) picture_blend(p, int(lx), int(ly) + dy, tone, alpha);
                    }
                }
            }
        }
    // Sea floor.
    for (int y = height - 40; y < height; y++)
        for (int x = 0; x < width; x++) {
            float n = fractal_noise(x / 60.0f, y / 20.0f, 4, 0.5f, 0, 91) * 0.5f + 0.5f;
            float edge = height - 40 + n * 20;
            if (y > edge) picture_blend(p, x, y, colour(0.03f, 0.05f, 0.05f), 0.9f);
        }
    // Title and credit, with a soft glow behind the letters.
    const std::string title_font = "DejaVu Serif:bold";
    Picture glow(width, height);
    picture_draw_text_centered(glow, "Kelp", title_font, 150, width / 2, 120, colour(0.4f, 0.9f, 0.8f));
    picture_draw_text_centered(glow, "by Brixlon", "DejaVu Sans", 40, width / 2, 300, colour(0.4f, 0.9f, 0.8f));
    picture_blur(glow, 6, 3, false);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) picture_add(p, x, y, colour_scale(picture_get(glow, x, y), 0.8f));
    picture_draw_text_centered(p, "Kelp", title_font, 150, width / 2, 120, colour(0.92f, 1.0f, 0.95f));
    picture_draw_text_centered(p, "by Brixlon", "DejaVu Sans", 40, width / 2, 300, colour(0.85f, 0.95f, 0.92f));
    return picture_resize(p, 512, 512);
}

}  // namespace

// Write the end picture.
void generate_part12(ContentSink &sink) { sink.add("endscreen.bmp", bmp_encode_24(make_end_screen())); }

KELP_CONTENT(CONTENT_ORDER_PART + 12, generate_part12);
