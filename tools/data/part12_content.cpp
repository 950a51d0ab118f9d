// part12_content.cpp: "endscreen.bmp", the end picture: a kelp forest under water with
// light falling from the surface, the title "Kelp" and "by Brixlon".
#include <cmath>

#include "kit_scene.h"

namespace {

// Drawn at 4:3 and squeezed into a square texture: the backdrop stretches it back.
const int WIDTH = 680, HEIGHT = 512;

// Deep water, lighter towards the surface, with shafts of light and a caustic shimmer.
Picture paint_water() {
    return picture_painted(WIDTH, HEIGHT, [](int, int, float u, float v) {  // v = 0 at the top
        Colour deep = colour_mix(colour(0.05f, 0.32f, 0.42f), colour(0.0f, 0.04f, 0.09f), std::pow(v, 0.8f));
        // Shafts of light slanting down from the surface.
        float shafts = 0.5f + 0.5f * std::sin((u * 9 + v * 2.2f) * PI + std::sin(u * 23) * 0.8f);
        shafts = std::pow(shafts, 6.0f) * (1 - v) * 0.35f;
        // Caustic shimmer near the surface.
        float caustic = std::pow(1 - cell_noise(u * 14, v * 10, 0, 77), 8.0f) * (1 - v) * (1 - v) * 0.3f;
        return colour_add(deep, colour_scale(colour(0.5f, 0.85f, 0.8f), shafts + caustic));
    });
}

// Kelp fronds: swaying stalks from the sea floor with leaves, darker in front.
void draw_kelp(Picture &p) {
    for (int layer = 0; layer < 2; layer++)
        for (int k = 0; k < 9; k++) {
            float base_x = (k + 0.5f) / 9 * WIDTH + (hash_unit(k, layer, 5) - 0.5f) * 60;
            float top = HEIGHT * (0.05f + 0.35f * hash_unit(k, layer, 6));
            Colour tone = layer == 0 ? colour(0.07f, 0.22f, 0.14f) : colour(0.02f, 0.08f, 0.05f);
            float alpha = layer == 0 ? 0.55f : 0.9f;
            for (float y = HEIGHT; y > top; y -= 0.5f) {
                float along = (HEIGHT - y) / (HEIGHT - top);
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
}

// The sea floor: a dark ragged band along the bottom.
void draw_sea_floor(Picture &p) {
    for (int y = HEIGHT - 40; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++) {
            float n = fractal_noise(x / 60.0f, y / 20.0f, 4, 0.5f, 0, 91) * 0.5f + 0.5f;
            float edge = HEIGHT - 40 + n * 20;
            if (y > edge) picture_blend(p, x, y, colour(0.03f, 0.05f, 0.05f), 0.9f);
        }
}

// The title and the credit line in their colours.
void draw_titles(Picture &p, Colour title, Colour credit) {
    picture_draw_text_centered(p, "Kelp", "DejaVu Serif:bold", 150, WIDTH / 2, 120, title);
    picture_draw_text_centered(p, "by Brixlon", "DejaVu Sans", 40, WIDTH / 2, 300, credit);
}

// The whole picture: water, kelp, floor, and the titles with a soft glow behind the letters.
Picture make_end_screen() {
    Picture p = paint_water();
    draw_kelp(p);
    draw_sea_floor(p);
    Picture glow(WIDTH, HEIGHT);
    draw_titles(glow, colour(0.4f, 0.9f, 0.8f), colour(0.4f, 0.9f, 0.8f));
    picture_blur(glow, 6, 3, false);
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++) picture_add(p, x, y, colour_scale(picture_get(glow, x, y), 0.8f));
    draw_titles(p, colour(0.92f, 1.0f, 0.95f), colour(0.85f, 0.95f, 0.92f));
    return picture_resize(p, 512, 512);
}

}  // namespace

// Write the end picture.
void generate_part12(ContentSink &sink) { add_picture(sink, "endscreen.bmp", make_end_screen()); }

KELP_CONTENT(CONTENT_ORDER_PART + 12, generate_part12);
