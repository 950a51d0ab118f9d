// characters_bodies.cpp: the three bodies: torso, head, arms, hands, legs and feet lathed
// from radius profiles and deformed per character (hood and robe, beard and coat, muzzle and
// ears), each vertex weighted to the skeleton's joints.
#include <cmath>

#include "characters_parts.h"

namespace {

// Look and proportions of one character.
struct Style {
    float h, w;        // skeleton height and width scales
    float bulk;        // limb thickness
    float belly;       // how far the belly pushes forward
    float chest;       // chest and shoulder breadth
    bool robe, hood;   // messiah
    bool coat, beard;  // father
    bool wolf;         // wolfguy
};

// The look of each character.
Style style_of(CharacterKind kind) {
    switch (kind) {
    case CHAR_MESSIAH: return {1.0f, 0.95f, 0.95f, 0.0f, 0.95f, true, true, false, false, false};
    case CHAR_FATHER: return {0.97f, 1.1f, 1.12f, 1.0f, 1.08f, false, false, true, true, false};
    default: return {1.04f, 1.05f, 1.08f, 0.0f, 1.15f, false, false, false, false, true};
    }
}

// Cross-section point of an ellipse, slightly squared for the torso.
Vec3 section(Vec3 centre, float a, float rx, float ry, float square) {
    float c = cosf(a), s = sinf(a);
    if (square > 0) {
        float n = 2.0f + square;
        float k = powf(powf(fabsf(c), n) + powf(fabsf(s), n), -1.0f / n);
        c *= k;
        s *= k;
    }
    return {centre.x + c * rx, centre.y + s * ry, centre.z};
}

// Weights of a hanging limb chain top -> mid -> end, by the height of the point.
void chain_weights(const Skeleton &sk, int parent, int top, int mid, int end, float z,
                   float parent_share, Influences &inf) {
    float zt = sk.rest[top].z, zm = sk.rest[mid].z, ze = sk.rest[end].z;
    float wp = parent_share * smooth_step(zt - 2.5f, zt + 1.5f, z);
    float wm = smooth_step(zm + 2.0f, zm - 2.0f, z);
    float we = smooth_step(ze + 1.5f, ze - 0.8f, z);
    float rest = 1 - wp;
    inf.add(parent, wp);
    inf.add(top, rest * (1 - wm));
    inf.add(mid, rest * wm * (1 - we));
    inf.add(end, rest * wm * we);
}

// Centre of a hanging chain at height z, following the rest joints.
Vec3 chain_centre(const Skeleton &sk, int top, int mid, int end, float z) {
    Vec3 a = sk.rest[top], b = sk.rest[mid], c = sk.rest[end];
    if (z >= b.z) {
        float f = (a.z - z) / (a.z - b.z);
        return a + (b - a) * f;
    }
    float f = (b.z - z) / (b.z - c.z);
    return b + (c - b) * f;
}

// Torso from pelvis to neck, its belly and chest shaped by the style.
void build_torso(CharacterBody &body, const Style &st) {
    const Skeleton &sk = body.skeleton;
    // t, z, rx, ry, cx
    const float profile[] = {0.00f, 23.0f, 2.0f, 2.5f, 0.0f,  0.10f, 25.2f, 3.9f, 5.9f, 0.0f,
                             0.22f, 28.4f, 4.1f, 6.5f, -0.2f,  0.36f, 32.0f, 3.7f, 5.8f, 0.0f,
                             0.50f, 36.0f, 3.9f, 6.1f, 0.2f,  0.63f, 39.5f, 4.3f, 6.8f, 0.5f,
                             0.76f, 43.0f, 4.1f, 7.4f, 0.3f,  0.86f, 45.6f, 3.3f, 6.6f, 0.0f,
                             0.94f, 47.8f, 2.0f, 2.6f, 0.2f,  1.00f, 50.0f, 1.8f, 2.0f, 0.3f};
    TubeSpec spec{.rings = 10, .segs = 12, .pole_start = true, .atlas = ATLAS_TORSO, .tag = P_TORSO};
    auto surface = [&](float a, float t) {
        auto [z, rx, ry, cx] = table_row<4>(profile, t);
        ry *= st.w;
        if (t > 0.5f && t < 0.9f) ry *= st.chest, rx *= 0.5f + 0.5f * st.chest;
        // Belly: pushes the front of the waist forward.
        float belly = st.belly * expf(-powf((t - 0.42f) / 0.16f, 2));
        float front = std::max(0.0f, cosf(a));
        rx += belly * 2.2f * front;
        cx += belly * 0.6f;
        if (st.wolf && t > 0.55f && t < 0.9f) rx += 0.6f * front;  // deep chest
        // Shoulder blades and chest are flatter than the sides.
        return section({cx, 0, z * st.h}, a, rx, ry, 1.2f);
    };
    auto weights = [&](Vec3 p, float, float, Influences &inf) {
        float z = p.z;
        float w1 = smooth_step(sk.rest[J_PELVIS].z + 1, sk.rest[J_SPINE].z + 2, z);
        float w2 = smooth_step(sk.rest[J_SPINE].z + 1, sk.rest[J_CHEST].z + 1.5f, z);
        float w3 = smooth_step(sk.rest[J_HEAD].z - 0.5f, sk.rest[J_HEAD].z + 3, z) * 0.6f;
        inf.add(J_PELVIS, 1 - w1);
        inf.add(J_SPINE, w1 * (1 - w2));
        inf.add(J_CHEST, w1 * w2 * (1 - w3));
        inf.add(J_HEAD, w1 * w2 * w3);
    };
    add_tube(body, spec, surface, weights);
}

// Head on the neck: the hood, the beard or the muzzle and ears.
void build_head(CharacterBody &body, const Style &st) {
    const Skeleton &sk = body.skeleton;
    float base = sk.rest[J_HEAD].z;
    // t, dz above the neck joint, rx, ry, cx
    const float human[] = {0.00f, -0.5f, 1.9f, 1.9f, 0.2f,  0.14f, 1.4f, 2.1f, 2.0f, 0.3f,
                           0.28f, 3.0f, 3.0f, 2.7f, 0.8f,  0.42f, 4.6f, 3.7f, 3.1f, 0.6f,
                           0.56f, 6.2f, 4.0f, 3.35f, 0.4f,  0.70f, 7.8f, 3.9f, 3.3f, 0.2f,
                           0.84f, 9.2f, 3.1f, 2.7f, 0.0f,  1.00f, 10.2f, 1.0f, 1.0f, -0.2f};
    TubeSpec spec{.rings = st.wolf ? 11 : (st.beard ? 9 : 10), .segs = 12, .pole_end = true,
                  .atlas = ATLAS_HEAD, .tag = P_HEAD};
    auto surface = [&](float a, float t) {
        auto [dz, rx, ry, cx] = table_row<4>(human, t);
        float c = cosf(a), front = std::max(0.0f, c);
        if (st.hood) {
            // The hood: a larger shell, peaked at the back, with the face sunk into its
            // opening at the front.
            float shell = smooth_step(0.1f, 0.35f, t);
            rx += 1.3f * shell;
            ry += 1.1f * shell;
            cx -= 0.5f * shell;
            dz += 0.9f * smooth_step(0.6f, 1.0f, t);
            if (t > 0.9f) cx -= 1.6f * (t - 0.9f) * 10;
            float opening = smooth_step(0.45f, 0.9f, c) * expf(-powf((t - 0.5f) / 0.2f, 2));
            rx -= 2.4f * opening;
            // The hood falls onto the shoulders.
            if (t < 0.3f) {
                float drape = 1 - t / 0.3f;
                rx += 1.6f * drape * (1 - 0.6f * front);
                ry += 2.0f * drape;
            }
        }
        if (st.beard) {
            // Beard: fills the chin and jaw and hangs below them.
            float jaw = expf(-powf((t - 0.26f) / 0.14f, 2));
            float f = smooth_step(-0.2f, 0.6f, c);
            rx += 1.8f * jaw * f;
            ry += 0.5f * jaw * f;
            dz -= 1.0f * jaw * f * front;
            rx += 0.4f * expf(-powf((t - 0.5f) / 0.08f, 2)) * powf(front, 6);  // nose
            rx += 0.3f, ry += 0.3f;  // a broader head
        }
        if (st.wolf) {
            // Muzzle: the front of the lower head drawn out into a snout.
            float snout = expf(-powf((t - 0.4f) / 0.14f, 2));
            float f = powf(front, 1.5f);
            rx += 5.2f * snout * f;
            dz -= 0.8f * snout * f;
            ry *= 1.0f - 0.25f * snout * f;
            ry += 0.4f * expf(-powf((t - 0.3f) / 0.1f, 2));  // cheek ruff
            rx += 0.3f * expf(-powf((t - 0.62f) / 0.07f, 2)) * front;  // brow
        }
        if (!st.wolf && !st.beard && !st.hood)
            rx += 0.35f * expf(-powf((t - 0.5f) / 0.08f, 2)) * powf(front, 6);
        return section({cx, 0, base + dz * st.h}, a, rx, ry, 0.0f);
    };
    auto weights = [&](Vec3 p, float, float, Influences &inf) {
        float w = smooth_step(base - 0.5f, base + 2.0f, p.z);
        inf.add(J_CHEST, 1 - w);
        inf.add(J_HEAD, w);
    };
    add_tube(body, spec, surface, weights);
    if (st.wolf) {
        // Ears: small pointed cones on top of the head.
        for (int side = -1; side <= 1; side += 2) {
            TubeSpec es{.rings = 3, .segs = 4, .pole_end = true, .atlas = ATLAS_EXTRA, .tag = P_EXTRA};
            Vec3 root = {-0.8f, 2.1f * side, base + 8.4f * st.h};
            Vec3 tip = {-1.4f, 3.3f * side, base + 12.6f * st.h};
            auto ear = [root, tip](float a, float t) {
                Vec3 c = root + (tip - root) * t;
                float r = 1.5f * (1 - t);
                return Vec3{c.x + cosf(a) * r * 0.6f, c.y + sinf(a) * r, c.z};
            };
            auto ew = [](Vec3, float, float, Influences &inf) { inf.add(J_HEAD, 1); };
            add_tube(body, es, ear, ew);
        }
    }
}

// Arm from shoulder to wrist, in a wide sleeve for the robe.
void build_arm(CharacterBody &body, const Style &st, int side) {
    const Skeleton &sk = body.skeleton;
    int sh = side_joint(J_L_SHOULDER, side), el = side_joint(J_L_ELBOW, side);
    int wr = side_joint(J_L_WRIST, side);
    float ztop = sk.rest[sh].z + 0.4f, zend = sk.rest[wr].z;
    // t, rx, ry (upper arm -> wrist)
    const float arm[] = {0.00f, 2.0f, 2.1f,  0.15f, 2.3f, 2.4f,  0.35f, 2.0f, 2.0f,  0.52f, 1.6f, 1.7f,
                         0.70f, 1.75f, 1.6f,  0.88f, 1.4f, 1.3f,  1.00f, 1.15f, 1.05f};
    const float sleeve[] = {0.00f, 2.2f, 2.3f,  0.15f, 2.5f, 2.6f,  0.35f, 2.3f, 2.3f,  0.52f, 2.3f, 2.3f,
                            0.70f, 2.6f, 2.5f,  0.88f, 3.2f, 3.0f,  0.96f, 3.4f, 3.2f,  1.00f, 1.2f, 1.1f};
    TubeSpec spec{.rings = st.robe ? 9 : 8, .segs = st.robe ? 8 : 7, .atlas = ATLAS_ARM,
                  .tag = side_part(P_ARM_L, side)};
    auto surface = [&](float a, float t) {
        float z = ztop + (zend - ztop) * t;
        Vec3 c = chain_centre(sk, sh, el, wr, std::min(z, sk.rest[sh].z));
        c.z = z;
        c.y -= side * 0.6f * smooth_step(sk.rest[sh].z - 1, ztop, z);
        auto [rx, ry] = st.robe ? table_row<2>(sleeve, t) : table_row<2>(arm, t);
        if (st.robe && t > 0.97f) c.z += 0.6f;  // the sleeve's hem turns back inside
        if (st.coat) rx += 0.3f, ry += 0.3f;
        return section(c, a, rx * st.bulk, ry * st.bulk, 0.0f);
    };
    auto weights = [&](Vec3 p, float, float, Influences &inf) {
        chain_weights(sk, J_CHEST, sh, el, wr, p.z, 0.55f, inf);
    };
    add_tube(body, spec, surface, weights);
}

// Hand hanging from the wrist, with a thumb bulge.
void build_hand(CharacterBody &body, const Style &st, int side) {
    const Skeleton &sk = body.skeleton;
    int el = side_joint(J_L_ELBOW, side), wr = side_joint(J_L_WRIST, side);
    Vec3 w = sk.rest[wr];
    float len = 5.2f * st.h;
    // t, rx (palm width, forward), ry (thickness), forward offset
    const float hand[] = {0.00f, 1.1f, 0.95f, 0.0f,  0.25f, 1.55f, 1.0f, 0.1f,  0.55f, 1.7f, 0.95f, 0.15f,
                          0.80f, 1.5f, 0.85f, 0.1f,  1.00f, 0.7f, 0.55f, 0.0f};
    TubeSpec spec{.rings = 5, .segs = 6, .pole_end = true, .atlas = ATLAS_HAND, .tag = side_part(P_HAND_L, side)};
    float k = st.wolf ? 1.15f : 1.0f;
    auto surface = [&](float a, float t) {
        auto [rx, ry, fx] = table_row<3>(hand, t);
        Vec3 c = {w.x + fx + 0.3f, w.y + side * (0.2f + 0.4f * t), w.z + 0.6f - len * t};
        Vec3 p = section(c, a, rx * k, ry * k, 0.0f);
        // Thumb: a bulge at the front of the palm.
        float thumb = expf(-powf((t - 0.35f) / 0.15f, 2)) * std::max(0.0f, cosf(a - side * 0.6f));
        p.x += 0.7f * thumb;
        return p;
    };
    auto weights = [&](Vec3 p, float, float, Influences &inf) {
        float f = smooth_step(w.z + 1.5f, w.z - 0.2f, p.z);
        inf.add(el, 1 - f);
        inf.add(wr, f);
    };
    add_tube(body, spec, surface, weights);
}

// Leg from hip to ankle, with a calf.
void build_leg(CharacterBody &body, const Style &st, int side) {
    const Skeleton &sk = body.skeleton;
    int hip = side_joint(J_L_HIP, side), kn = side_joint(J_L_KNEE, side), an = side_joint(J_L_ANKLE, side);
    float ztop = sk.rest[hip].z + 1.5f, zend = sk.rest[an].z - 0.5f;
    // t, rx, ry
    const float leg[] = {0.00f, 3.5f, 3.4f,  0.18f, 3.3f, 3.1f,  0.38f, 2.6f, 2.4f,  0.50f, 2.3f, 2.2f,
                         0.65f, 2.6f, 2.3f,  0.85f, 1.9f, 1.7f,  1.00f, 1.6f, 1.5f};
    TubeSpec spec{.rings = 6, .segs = st.coat ? 7 : 8, .atlas = ATLAS_LEG, .tag = side_part(P_LEG_L, side)};
    auto surface = [&](float a, float t) {
        float z = ztop + (zend - ztop) * t;
        Vec3 c = chain_centre(sk, hip, kn, an, std::min(z, sk.rest[hip].z));
        c.z = z;
        auto [rx, ry] = table_row<2>(leg, t);
        rx *= st.bulk, ry *= st.bulk;
        if (st.coat) rx += 0.2f, ry += 0.2f;  // trousers
        // Calf muscle at the back.
        float calf = expf(-powf((t - 0.66f) / 0.1f, 2)) * std::max(0.0f, -cosf(a));
        Vec3 p = section(c, a, rx, ry, 0.0f);
        p.x -= 0.6f * calf;
        return p;
    };
    auto weights = [&](Vec3 p, float, float, Influences &inf) {
        chain_weights(sk, J_PELVIS, hip, kn, an, p.z, 0.5f, inf);
    };
    add_tube(body, spec, surface, weights);
}

// Foot on the floor below the ankle, its sole flat.
void build_foot(CharacterBody &body, const Style &st, int side) {
    const Skeleton &sk = body.skeleton;
    int an = side_joint(J_L_ANKLE, side);
    Vec3 a0 = sk.rest[an];
    float scale = st.wolf ? 1.15f : (st.coat ? 1.05f : 1.0f);
    // t, x, half height, half width, centre height
    const float foot[] = {0.00f, -2.2f, 1.2f, 1.2f, 1.6f,  0.20f, -1.6f, 1.8f, 1.5f, 2.0f,
                          0.50f, 1.2f, 1.5f, 1.7f, 1.5f,  0.80f, 4.2f, 0.9f, 1.6f, 1.0f,
                          1.00f, 5.6f, 0.4f, 0.9f, 0.6f};
    TubeSpec spec{.rings = 5, .segs = 6, .pole_start = true, .pole_end = true, .atlas = ATLAS_FOOT,
                  .tag = side_part(P_FOOT_L, side)};
    auto surface = [&](float a, float t) {
        auto [x, hh, hw, cz] = table_row<4>(foot, t);
        // a = 0 is the top of the foot; the sole is flat on the ground.
        float z = cz + cosf(a) * (hh * scale);
        if (z < 0) z = 0;
        return Vec3{a0.x + x * scale, a0.y + side * 0.3f + sinf(a) * (hw * scale), z};
    };
    auto weights = [&](Vec3, float, float, Influences &inf) { inf.add(an, 1); };
    add_tube(body, spec, surface, weights);
}

// The lower garment: the messiah's floor-length robe or the father's knee-length coat.
// Its sides follow the legs like wide trousers so that walking moves it.
void build_skirt(CharacterBody &body, const Style &st) {
    const Skeleton &sk = body.skeleton;
    float ztop = 34.0f * st.h;
    float zbot = st.robe ? 1.2f : 13.0f * st.h;
    // t, rx, ry, cx
    const float robe[] = {0.00f, 4.0f, 6.2f, 0.2f,  0.25f, 4.6f, 7.0f, 0.0f,  0.55f, 5.2f, 7.2f, 0.0f,
                          0.85f, 6.0f, 7.6f, 0.2f,  0.93f, 6.3f, 7.9f, 0.3f,  1.00f, 4.0f, 5.5f, 0.3f};
    const float coat[] = {0.00f, 5.0f, 7.2f, 0.6f,  0.25f, 5.4f, 7.6f, 0.4f,  0.55f, 5.5f, 7.6f, 0.2f,
                          0.85f, 5.8f, 7.9f, 0.0f,  0.93f, 5.9f, 8.0f, 0.0f,  1.00f, 4.4f, 6.3f, 0.0f};
    TubeSpec spec{.rings = 6, .segs = st.robe ? 14 : 10, .atlas = ATLAS_SKIRT, .tag = P_SKIRT};
    auto surface = [&](float a, float t) {
        float z = ztop + (zbot - ztop) * std::min(t, 0.93f) / 0.93f;
        if (t > 0.95f) z += 1.0f;  // the hem turns inside
        auto [rx, ry, cx] = table_row<3>(st.robe ? robe : coat, t);
        if (st.coat) rx += st.belly * 1.2f * std::max(0.0f, cosf(a)) * (1 - t);
        return section({cx, 0, z}, a, rx, ry * st.w, 0.4f);
    };
    auto weights = [&](Vec3 p, float a, float, Influences &inf) {
        float side = sinf(a);
        float wl = smooth_step(-0.55f, 0.55f, side);
        float hipz = sk.rest[J_L_HIP].z, kneez = sk.rest[J_L_KNEE].z;
        float wp = smooth_step(hipz - 3.0f, hipz + 5.0f, p.z);
        float wk = smooth_step(kneez + 5.0f, kneez - 3.0f, p.z);
        float legs = 1 - wp;
        // The robe's lower part follows the thighs more loosely than the shins.
        inf.add(J_PELVIS, wp);
        inf.add(J_L_HIP, legs * wl * (1 - wk * 0.6f));
        inf.add(J_L_KNEE, legs * wl * wk * 0.6f);
        inf.add(J_R_HIP, legs * (1 - wl) * (1 - wk * 0.6f));
        inf.add(J_R_KNEE, legs * (1 - wl) * wk * 0.6f);
    };
    add_tube(body, spec, surface, weights);
}

// The messiah's amulet: a small gem hanging on the chest, a piece of its own that the oil
// room throws off by its texture coordinates.
void build_amulet(CharacterBody &body, const Style &st) {
    // Two rings of six and the two poles: a piece big enough to see fly.
    TubeSpec spec{.rings = 4, .segs = 6, .pole_start = true, .pole_end = true, .atlas = ATLAS_AMULET, .tag = P_AMULET};
    float z = 40.5f * st.h;
    auto surface = [z](float a, float t) {
        float x = 4.4f + 2.4f * t;
        float r = t > 0 && t < 1 ? 2.2f : 0.0f;
        return Vec3{x, sinf(a) * r, z + cosf(a) * r * 1.3f};
    };
    auto weights = [](Vec3, float, float, Influences &inf) { inf.add(J_CHEST, 1); };
    add_tube(body, spec, surface, weights);
}

}  // namespace

Skeleton character_skeleton(CharacterKind kind) {
    Style st = style_of(kind);
    return make_skeleton(st.h, st.w);
}

CharacterBody build_body(CharacterKind kind) {
    Style st = style_of(kind);
    CharacterBody body;
    body.skeleton = make_skeleton(st.h, st.w);
    build_torso(body, st);
    if (st.robe) build_amulet(body, st);
    if (st.robe || st.coat) build_skirt(body, st);
    if (!st.robe)
        for (int side = 1; side >= -1; side -= 2) build_leg(body, st, side);
    for (int side = 1; side >= -1; side -= 2) build_foot(body, st, side);
    build_head(body, st);
    for (int side = 1; side >= -1; side -= 2) {
        build_arm(body, st, side);
        build_hand(body, st, side);
    }
    return body;
}
