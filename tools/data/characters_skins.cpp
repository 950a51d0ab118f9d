// characters_skins.cpp: paints the characters' skins region by region of the shared atlas:
// cloth with folds, seams, hems and trim, faces with eyes, beards and fur, each pixel shaded
// by procedural noise. Coordinates inside a region run from the part's front (0) to its
// back (1) and along the part from its start (0) to its end (1).
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "characters_parts.h"

namespace {

// Colours scaled by a factor, and mixed by an amount kept within 0..1.
Colour operator*(Colour c, float k) { return colour_scale(c, k); }
Colour mixc(Colour a, Colour b, float f) { return colour_mix(a, b, std::clamp(f, 0.0f, 1.0f)); }

// Hash-based value noise in 0..1.
float hash2(int x, int y, int seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xffff) / 65535.0f;
}

// Smooth value noise between the hashed lattice points, 0..1.
float value_noise(float x, float y, int seed) {
    int ix = int(floorf(x)), iy = int(floorf(y));
    float fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = hash2(ix, iy, seed), b = hash2(ix + 1, iy, seed);
    float c = hash2(ix, iy + 1, seed), d = hash2(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// Four octaves of value noise, 0..1.
float fbm(float x, float y, int seed) {
    float sum = 0, amp = 0.5f;
    for (int o = 0; o < 4; o++) {
        sum += value_noise(x, y, seed + o * 17) * amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum / 0.9375f;
}

// 1 on a line of the given half width around `at`, fading out smoothly.
float line(float x, float at, float half) { return 1 - smooth_step(half * 0.5f, half, fabsf(x - at)); }

// Soft round spot.
float spot(float x, float y, float cx, float cy, float rx, float ry) {
    float d = sqrtf(powf((x - cx) / rx, 2) + powf((y - cy) / ry, 2));
    return 1 - smooth_step(0.7f, 1.0f, d);
}

const Colour SKIN_LIGHT{0.86f, 0.66f, 0.52f}, SKIN_OLD{0.80f, 0.6f, 0.5f};
const Colour ROBE{0.80f, 0.76f, 0.64f}, TRIM{0.62f, 0.14f, 0.10f}, GOLD{0.85f, 0.66f, 0.22f};
const Colour COAT{0.36f, 0.24f, 0.15f}, TROUSERS{0.32f, 0.32f, 0.34f}, SHIRT{0.88f, 0.87f, 0.82f};
const Colour HAIR_GREY{0.72f, 0.71f, 0.68f}, SHOE{0.12f, 0.1f, 0.09f};
const Colour FUR{0.42f, 0.36f, 0.30f}, FUR_LIGHT{0.70f, 0.64f, 0.55f}, FUR_DARK{0.20f, 0.17f, 0.15f};
const Colour JEANS{0.22f, 0.28f, 0.42f};

// Cloth: folds running along the part, fine weave, and a seam at the sides.
Colour cloth(Colour base, float a, float t, float folds, int seed) {
    float n = fbm(a * 6, t * 10, seed);
    float fold = sinf(a * folds * 6.2832f + n * 3.0f) * 0.5f + 0.5f;
    float weave = (hash2(int(a * 180), int(t * 180), seed) - 0.5f) * 0.06f;
    Colour c = base * (0.78f + 0.22f * fold + weave + (n - 0.5f) * 0.12f);
    return c * (1 - 0.35f * line(a, 0.5f, 0.02f));  // side seam
}

// Fur: streaks along the part with darker tips.
Colour fur(Colour base, float a, float t, int seed) {
    float streak = fbm(a * 28, t * 6, seed);
    float fine = hash2(int(a * 200), int(t * 60), seed);
    return base * (0.7f + 0.45f * streak + (fine - 0.5f) * 0.18f);
}

// Skin with soft blotches.
Colour flesh(Colour base, float a, float t, int seed) { return base * (0.92f + 0.12f * fbm(a * 8, t * 8, seed)); }

// A bare hand: skin with the gaps between the fingers shaded.
Colour bare_hand(Colour skin, float a, float t, int seed) {
    float fingers = smooth_step(0.5f, 0.6f, t) * line(fmodf(a * 8, 1.0f), 0.5f, 0.08f);
    return flesh(skin, a, t, seed) * (1 - 0.25f * fingers);
}

// An eye at (ex, ey): white, iris, pupil and the brow above it.
Colour eye(Colour around, float a, float t, float ex, float ey, Colour iris, float size) {
    float white = spot(a, t, ex, ey, 0.055f * size, 0.035f * size);
    float pupil = spot(a, t, ex, ey, 0.024f * size, 0.028f * size);
    Colour c = mixc(around, Colour{0.92f, 0.9f, 0.86f}, white);
    c = mixc(c, iris, pupil);
    c = mixc(c, Colour{0.05f, 0.04f, 0.04f}, spot(a, t, ex, ey, 0.011f * size, 0.014f * size));
    // Brow line above the eye.
    float brow = spot(a, t, ex + 0.005f, ey + 0.06f * size, 0.07f * size, 0.014f * size);
    return mixc(c, around * 0.45f, brow);
}

// The messiah: a pale robe with red trim and a gold belt, the face inside the hood.
Colour paint_messiah(int region, float a, float t) {
    switch (region) {
    case P_TORSO: {
        Colour c = cloth(ROBE, a, t, 5, 11);
        // Rope belt and a trimmed neckline.
        float belt = line(t, 0.37f, 0.035f);
        c = mixc(c, GOLD * (0.75f + 0.25f * sinf(a * 90)), belt);
        float v = 0.02f + (t - 0.8f) * 0.6f;
        c = mixc(c, TRIM, line(a, v, 0.02f) * (t > 0.8f));
        return c * (0.7f + 0.3f * smooth_step(0.0f, 0.15f, t));
    }
    case P_SKIRT: {
        Colour c = cloth(ROBE, a, t, 7, 12);
        c = mixc(c, TRIM, line(t, 0.84f, 0.04f));
        c = mixc(c, GOLD, line(t, 0.88f, 0.012f));
        return c * (1 - 0.35f * smooth_step(0.9f, 1.0f, t));
    }
    case P_HEAD: {
        Colour c = cloth(ROBE, a, t, 4, 13);
        float opening = smooth_step(0.30f, 0.22f, a) * smooth_step(0.28f, 0.36f, t) * smooth_step(0.82f, 0.72f, t);
        if (opening > 0) {
            Colour face = flesh(SKIN_LIGHT, a, t, 14) * 0.85f;
            face = eye(face, a, t, 0.12f, 0.58f, Colour{0.25f, 0.35f, 0.55f}, 1.0f);
            face = mixc(face, face * 0.7f, spot(a, t, 0.0f, 0.5f, 0.04f, 0.06f));  // nose shade
            face = mixc(face, Colour{0.55f, 0.3f, 0.28f}, spot(a, t, 0.0f, 0.4f, 0.07f, 0.015f));
            // A short dark beard around the mouth and chin.
            float beard = smooth_step(0.45f, 0.37f, t) * fbm(a * 30, t * 30, 15);
            face = mixc(face, Colour{0.25f, 0.17f, 0.11f}, beard * 1.3f);
            float rim = smooth_step(0.0f, 0.35f, opening);
            c = mixc(c * 0.35f, face, rim);  // the hood's shadow around the face
        }
        return c * (1 - 0.25f * smooth_step(0.9f, 1.0f, t));
    }
    case P_ARM_R: {
        Colour c = cloth(ROBE, a, t, 3, 16);
        c = mixc(c, TRIM, line(t, 0.9f, 0.035f));
        return mixc(c, c * 0.3f, smooth_step(0.95f, 1.0f, t));  // inside of the sleeve
    }
    case P_HAND_R: return bare_hand(SKIN_LIGHT, a, t, 17);
    case P_FOOT_R: {
        Colour c = flesh(SKIN_LIGHT, a, t, 18);
        float strap = line(t, 0.45f, 0.05f) + line(t, 0.7f, 0.04f) + line(a, 0.0f, 0.05f) * (t < 0.7f);
        c = mixc(c, Colour{0.35f, 0.22f, 0.12f}, std::min(1.0f, strap));
        return mixc(c, Colour{0.25f, 0.16f, 0.1f}, smooth_step(0.8f, 0.95f, a));  // sole
    }
    default: return ROBE;
    }
}

// The father: a brown coat over shirt and tie, grey hair and beard, polished shoes.
Colour paint_father(int region, float a, float t) {
    switch (region) {
    case P_TORSO: {
        Colour c = cloth(COAT, a, t, 3, 21);
        // Shirt and tie in the coat's open front, lapels, buttons.
        float v = 0.03f + (t - 0.6f) * 0.5f;
        if (t > 0.6f && a < v) {
            c = cloth(SHIRT, a, t, 2, 22);
            if (a < 0.025f && t < 0.93f) c = Colour{0.45f, 0.08f, 0.1f};  // tie
        }
        c = mixc(c, c * 0.55f, line(a, v + 0.015f, 0.012f) * (t > 0.6f));
        for (int b = 0; b < 3; b++)
            c = mixc(c, Colour{0.15f, 0.1f, 0.06f}, spot(a, t, 0.06f, 0.2f + b * 0.14f, 0.02f, 0.025f));
        return c * (0.75f + 0.25f * smooth_step(0.0f, 0.2f, t));
    }
    case P_SKIRT: {
        Colour c = cloth(COAT, a, t, 4, 23);
        c = mixc(c, c * 0.5f, line(a, 0.0f, 0.015f));  // the front opening
        c = mixc(c, c * 0.5f, line(a, 1.0f, 0.015f) * (t > 0.5f));  // the back vent
        float pocket = (a > 0.3f && a < 0.46f && t > 0.2f && t < 0.45f);
        c = mixc(c, c * 0.6f, pocket * (line(t, 0.21f, 0.015f) + line(a, 0.3f, 0.01f) + line(a, 0.46f, 0.01f)));
        c = mixc(c, Colour{0.15f, 0.1f, 0.06f}, spot(a, t, 0.06f, 0.06f, 0.02f, 0.04f));
        return c * (1 - 0.3f * smooth_step(0.88f, 1.0f, t));
    }
    case P_HEAD: {
        Colour skin = flesh(SKIN_OLD, a, t, 24);
        Colour c = skin;
        // Grey hair around the back and sides, bald crown.
        float hair = smooth_step(0.35f, 0.55f, a) * smooth_step(0.45f, 0.55f, t) * smooth_step(0.93f, 0.82f, t);
        Colour grey = HAIR_GREY * (0.8f + 0.3f * fbm(a * 40, t * 10, 25));
        c = mixc(c, grey, hair);
        c = mixc(c, c * 1.08f, spot(a, t, 0.3f, 0.95f, 0.4f, 0.15f));  // shiny crown
        c = eye(c, a, t, 0.14f, 0.6f, Colour{0.35f, 0.3f, 0.2f}, 0.9f);
        // Wrinkles across the forehead.
        float forehead = (t > 0.68f && t < 0.8f && a < 0.25f);
        c = c * (1 - 0.12f * forehead * (0.5f + 0.5f * sinf(t * 300)));
        c = mixc(c, c * 0.7f, spot(a, t, 0.0f, 0.5f, 0.035f, 0.06f));
        // Beard and moustache.
        float beard = smooth_step(0.48f, 0.4f, t) * smooth_step(0.6f, 0.35f, a);
        float mous = spot(a, t, 0.03f, 0.43f, 0.09f, 0.025f);
        Colour bc = HAIR_GREY * (0.75f + 0.35f * fbm(a * 50, t * 25, 26));
        c = mixc(c, bc, std::max(beard, mous));
        c = mixc(c, Colour{0.35f, 0.2f, 0.2f}, spot(a, t, 0.0f, 0.4f, 0.05f, 0.012f) * 0.7f);
        return t < 0.12f ? cloth(SHIRT, a, t, 2, 27) : c;  // the shirt's collar
    }
    case P_ARM_R: {
        Colour c = cloth(COAT, a, t, 2, 28);
        c = mixc(c, c * 0.7f, line(t, 0.86f, 0.02f));  // cuff
        return mixc(c, SHIRT, smooth_step(0.95f, 0.98f, t));
    }
    case P_HAND_R: return bare_hand(SKIN_OLD, a, t, 29);
    case P_LEG_R: {
        Colour c = cloth(TROUSERS, a, t, 2, 30);
        return mixc(c, c * 1.25f, line(a, 0.0f, 0.02f));  // crease
    }
    case P_FOOT_R: {
        Colour c = SHOE * (0.8f + 0.5f * fbm(a * 10, t * 10, 31));
        c = mixc(c, Colour{0.5f, 0.5f, 0.5f}, spot(a, t, 0.0f, 0.45f, 0.15f, 0.15f) *
                                            (0.5f + 0.5f * sinf(t * 120)));  // laces
        return mixc(c, c * 1.8f, spot(a, t, 0.0f, 0.7f, 0.3f, 0.2f));  // polish
    }
    default: return COAT;
    }
}

// The wolfguy: fur, light at the jaw and chest, dark on the back, torn jeans.
Colour paint_wolf(int region, float a, float t) {
    switch (region) {
    case P_TORSO: {
        Colour c = fur(FUR, a, t, 41);
        c = mixc(c, fur(FUR_LIGHT, a, t, 42), smooth_step(0.3f, 0.12f, a) * smooth_step(0.2f, 0.4f, t));
        c = mixc(c, fur(FUR_DARK, a, t, 43), smooth_step(0.7f, 0.95f, a) * 0.6f);  // back
        c = c * (1 - 0.2f * spot(a, t, 0.12f, 0.62f, 0.12f, 0.05f));  // chest muscles
        if (t < 0.24f) {
            c = cloth(JEANS, a, t, 2, 44);
            c = mixc(c, Colour{0.1f, 0.07f, 0.05f}, line(t, 0.21f, 0.03f));  // belt
            c = mixc(c, Colour{0.7f, 0.65f, 0.5f}, spot(a, t, 0.0f, 0.21f, 0.04f, 0.03f));
        }
        return c;
    }
    case P_HEAD: {
        Colour c = fur(FUR, a, t, 45);
        c = mixc(c, fur(FUR_LIGHT, a, t, 46), smooth_step(0.32f, 0.42f, 1 - t) *
                                                 smooth_step(0.5f, 0.2f, a));  // light jaw
        c = mixc(c, fur(FUR_DARK, a, t, 47), smooth_step(0.6f, 0.8f, t) * smooth_step(0.1f, 0.4f, a));
        // Nose tip, mouth line with teeth, yellow eyes.
        c = mixc(c, Colour{0.05f, 0.04f, 0.04f}, spot(a, t, 0.0f, 0.44f, 0.07f, 0.035f));
        float mouth = line(t, 0.33f, 0.012f) * smooth_step(0.3f, 0.1f, a);
        c = mixc(c, Colour{0.1f, 0.03f, 0.03f}, mouth);
        float teeth = mouth * (fmodf(a * 40, 1.0f) < 0.4f) * line(t, 0.345f, 0.008f);
        c = mixc(c, Colour{0.9f, 0.88f, 0.78f}, teeth);
        return eye(c, a, t, 0.16f, 0.61f, Colour{0.9f, 0.7f, 0.1f}, 0.85f);
    }
    case P_EXTRA: return mixc(fur(FUR_DARK, a, t, 48), Colour{0.55f, 0.35f, 0.33f}, smooth_step(0.35f, 0.15f, a) * (1 - t));
    case P_ARM_R: return mixc(fur(FUR, a, t, 49), fur(FUR_LIGHT, a, t, 50), smooth_step(0.6f, 0.9f, a) * 0.5f);
    case P_HAND_R: {
        Colour c = fur(FUR_DARK, a, t, 51);
        float claws = smooth_step(0.85f, 0.92f, t) * line(fmodf(a * 4, 1.0f), 0.5f, 0.2f);
        return mixc(c, Colour{0.85f, 0.82f, 0.72f}, claws);
    }
    case P_LEG_R: {
        Colour c = cloth(JEANS, a, t, 2, 52);
        c = mixc(c, c * 1.3f, line(a, 0.0f, 0.02f) * 0.5f);
        // Torn below the knee: ragged hem, fur beneath.
        float hem = 0.62f + 0.06f * sinf(a * 37) + 0.03f * sinf(a * 91);
        if (t > hem) c = fur(FUR, a, t, 53);
        return mixc(c, c * 0.4f, line(t, hem, 0.015f));
    }
    case P_FOOT_R: {
        Colour c = fur(FUR_DARK, a, t, 54);
        float claws = smooth_step(0.85f, 0.95f, t) * line(fmodf(a * 5, 1.0f), 0.5f, 0.2f);
        return mixc(c, Colour{0.8f, 0.78f, 0.7f}, claws * (a < 0.5f));
    }
    default: return FUR;
    }
}

// The part tag of an atlas region and the pixel's place inside it; -1 outside all regions.
// The two sides share a region, which answers with the right side's tag.
int locate(float u, float v, float &a, float &t) {
    struct Region {
        const Atlas *atlas;
        int tag;
    };
    const Region regions[] = {{&ATLAS_TORSO, P_TORSO}, {&ATLAS_HEAD, P_HEAD},
                              {&ATLAS_ARM, P_ARM_R},   {&ATLAS_HAND, P_HAND_R},
                              {&ATLAS_LEG, P_LEG_R},   {&ATLAS_FOOT, P_FOOT_R},
                              {&ATLAS_SKIRT, P_SKIRT}, {&ATLAS_EXTRA, P_EXTRA},
                              {&ATLAS_PATCH, P_AMULET}};
    for (const Region &r : regions) {
        const Atlas &at = *r.atlas;
        if (u >= at.x && u < at.x + at.w && v >= at.y && v < at.y + at.h) {
            a = std::clamp((u - at.x - ATLAS_INSET) / (at.w - 2 * ATLAS_INSET), 0.0f, 1.0f);
            t = std::clamp((v - at.y - ATLAS_INSET) / (at.h - 2 * ATLAS_INSET), 0.0f, 1.0f);
            return r.tag;
        }
    }
    return -1;
}

}  // namespace

Picture paint_skin(CharacterKind kind, int width, int height) {
    Picture pic(width, height);
    float span = character_skin_span(kind);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            float u = (x + 0.5f) / (width * span), v = (y + 0.5f) / height;
            float a = 0, t = 0;
            // Past the span the model never samples: plain filler.
            int region = u < 1.0f ? locate(u, v, a, t) : -1;
            Colour c{0.3f, 0.3f, 0.3f};
            if (region == P_AMULET) {
                // Gold with a red gem at the front point of the amulet.
                c = GOLD * (0.8f + 0.4f * fbm(a * 20, t * 20, 61));
                c = mixc(c, Colour{0.75f, 0.05f, 0.08f}, spot(a, t, 0.43f, 0.54f, 0.05f, 0.1f));
            } else if (region >= 0) {
                if (kind == CHAR_MESSIAH) c = paint_messiah(region, a, t);
                else if (kind == CHAR_FATHER) c = paint_father(region, a, t);
                else c = paint_wolf(region, a, t);
            }
            uint8_t *p = pic.at(x, y);
            p[0] = uint8_t(std::clamp(c.r * 255.0f, 0.0f, 254.0f));
            p[1] = uint8_t(std::clamp(c.g * 255.0f, 0.0f, 255.0f));
            p[2] = uint8_t(std::clamp(c.b * 255.0f, 0.0f, 255.0f));
        }
    return pic;
}
