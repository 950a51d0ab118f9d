// characters_motion.cpp: the shared frame layout of the characters: stand, walk, attack,
// pains, jump, reach-and-touch, salute, taunt, wave, point, crouch set, deaths and the extra
// calm stand and slow turn. Loops start and end on the same pose so they wrap cleanly.
#include <algorithm>
#include <cmath>

#include "characters.h"

namespace {

// Arm of one side (+1 left, -1 right): raise forward, raise sideways, elbow flex, twist.
void arm(Pose &p, int side, float forward, float out, float flex, float twist = 0) {
    int shoulder = side_joint(J_L_SHOULDER, side);
    p.bend[shoulder] = -forward;
    p.roll[shoulder] = side * out;
    p.twist[shoulder] = side * twist;
    p.bend[side_joint(J_L_ELBOW, side)] = -flex;
}

// Both arms alike.
void arms(Pose &p, float forward, float out, float flex, float twist = 0) {
    for (int side = 1; side >= -1; side -= 2) arm(p, side, forward, out, flex, twist);
}

// Leg of one side: hip flex (forward), knee flex, ankle; the foot stays level unless told.
void leg(Pose &p, int side, float forward, float flex, float toe = 0) {
    p.bend[side_joint(J_L_HIP, side)] = -forward;
    p.bend[side_joint(J_L_KNEE, side)] = flex;
    p.bend[side_joint(J_L_ANKLE, side)] = forward - flex + toe;
}

// Both legs alike.
void legs(Pose &p, float forward, float flex, float toe = 0) {
    for (int side = 1; side >= -1; side -= 2) leg(p, side, forward, flex, toe);
}

// How the back is carried: the bend of spine, chest and head.
void carriage(Pose &p, float spine, float chest, float head) {
    p.bend[J_SPINE] = spine;
    p.bend[J_CHEST] = chest;
    p.bend[J_HEAD] = head;
}

// Blend of two poses.
Pose mix(const Pose &a, const Pose &b, float f) {
    Pose r;
    for (int j = 0; j < JOINT_COUNT; j++) {
        r.bend[j] = a.bend[j] + (b.bend[j] - a.bend[j]) * f;
        r.roll[j] = a.roll[j] + (b.roll[j] - a.roll[j]) * f;
        r.twist[j] = a.twist[j] + (b.twist[j] - a.twist[j]) * f;
    }
    r.root_offset = a.root_offset + (b.root_offset - a.root_offset) * f;
    r.root_bend = a.root_bend + (b.root_bend - a.root_bend) * f;
    r.root_roll = a.root_roll + (b.root_roll - a.root_roll) * f;
    r.root_yaw = a.root_yaw + (b.root_yaw - a.root_yaw) * f;
    r.lift = a.lift + (b.lift - a.lift) * f;
    return r;
}

// One key of a keyed sequence.
struct Key {
    int frame;
    Pose pose;
};

// Pose at a frame between keys (eased between neighbours).
Pose keyed(std::initializer_list<Key> list, int frame) {
    const Key *keys = list.begin();
    int n = int(list.size());
    if (frame <= keys[0].frame) return keys[0].pose;
    for (int i = 1; i < n; i++)
        if (frame <= keys[i].frame) {
            float f = float(frame - keys[i - 1].frame) / float(keys[i].frame - keys[i - 1].frame);
            f = 0.5f - 0.5f * cosf(f * PI);
            return mix(keys[i - 1].pose, keys[i].pose, f);
        }
    return keys[n - 1].pose;
}

// Relaxed standing pose, with each character's bearing.
Pose neutral(CharacterKind kind) {
    Pose p{};  // every angle 0
    if (kind == CHAR_FATHER) {
        carriage(p, 0.06f, 0.08f, -0.08f);
        arms(p, 0.1f, 0.16f, 0.3f);
    } else if (kind == CHAR_WOLFGUY) {
        carriage(p, 0.1f, 0.12f, -0.18f);
        arms(p, 0.2f, 0.14f, 0.45f);
        legs(p, 0.12f, 0.25f);
    } else {
        arms(p, 0.12f, 0.08f, 0.35f);
    }
    return p;
}

// Stand, 0..39: a breath (0..4), a look left (4..16), a short rest (16..20), a look right
// with a shift of weight (20..40). Each piece starts and ends on the neutral pose.
Pose stand(CharacterKind kind, int i) {
    Pose p = neutral(kind);
    if (i < 4) {
        // A short breath: frames 0..4 also loop on their own (a turn on the spot plays them).
        float u = i / 4.0f;
        p.bend[J_CHEST] -= 0.025f * sinf(PI * u);
        p.roll[J_L_SHOULDER] += 0.02f * sinf(PI * u), p.roll[J_R_SHOULDER] -= 0.02f * sinf(PI * u);
    } else if (i < 16) {
        float u = (i - 4) / 12.0f, w = powf(sinf(PI * u), 2);
        p.twist[J_HEAD] += 0.45f * w;
        p.bend[J_HEAD] += 0.05f * w;
        p.twist[J_CHEST] += 0.1f * w;
        p.bend[J_CHEST] -= 0.04f * sinf(2 * PI * u);
        p.roll[J_L_SHOULDER] += 0.03f * sinf(2 * PI * u), p.roll[J_R_SHOULDER] -= 0.03f * sinf(2 * PI * u);
    } else if (i < 20) {
        float u = (i - 16) / 4.0f;
        p.bend[J_CHEST] -= 0.02f * sinf(PI * u);
    } else {
        float u = (i - 20) / 20.0f, w = powf(sinf(PI * u), 2);
        p.twist[J_HEAD] -= 0.55f * w;
        p.bend[J_HEAD] -= 0.06f * sinf(2 * PI * u);
        p.twist[J_CHEST] -= 0.12f * w;
        p.root_roll += 0.04f * w;
        p.roll[J_L_HIP] -= 0.04f * w, p.roll[J_R_HIP] -= 0.04f * w;
        p.bend[J_R_KNEE] += 0.15f * w;
        p.bend[J_R_ANKLE] -= 0.15f * w;
        p.bend[J_CHEST] -= 0.04f * sinf(4 * PI * u);
        // The left hand drifts forward a little with the shift of weight.
        p.bend[J_L_SHOULDER] -= 0.05f * w;
        p.bend[J_L_ELBOW] -= 0.1f * w;
    }
    return p;
}

// Hip flex and knee flex that put the ankle at (dx forward, dz up) from the hip joint, knee
// pointing forward.
void leg_reach(float thigh, float shin, float dx, float dz, float &forward, float &flex) {
    float d = std::min(sqrtf(dx * dx + dz * dz), (thigh + shin) * 0.999f);
    float cos_knee = (thigh * thigh + shin * shin - d * d) / (2 * thigh * shin);
    flex = PI - acosf(std::clamp(cos_knee, -1.0f, 1.0f));
    float cos_hip = (thigh * thigh + d * d - shin * shin) / (2 * thigh * d);
    forward = atan2f(dx, -dz) + acosf(std::clamp(cos_hip, -1.0f, 1.0f));
}

// One step of the six-frame walk (k = 0..5). Feet are placed by reach: a planted foot slides
// back by the same distance every frame, so with the mesh moving at about that pace the foot
// stays on the ground; the lifted foot swings forward in two frames. The right leg runs three
// frames behind the left, so the cycle's two halves mirror each other and the wrap from the
// last frame to the first is an ordinary step.
Pose walk(CharacterKind kind, int k, bool crouched) {
    Pose p = neutral(kind);
    Skeleton sk = character_skeleton(kind);
    float thigh = sk.rest[J_L_HIP].z - sk.rest[J_L_KNEE].z, shin = sk.rest[J_L_KNEE].z - sk.rest[J_L_ANKLE].z;
    float stride = crouched ? 6.0f : 9.0f;
    const float foot_x[6] = {1, 1.0f / 3, -1.0f / 3, -1, 0, 2.0f / 3};
    const float foot_up[6] = {0, 0, 0, 0.6f, 3.2f, 1.3f};
    const float toe[6] = {-0.15f, 0, 0.05f, 0.4f, 0.15f, -0.1f};
    // The hips ride as high as the planted feet allow.
    float longest = (thigh + shin) * (crouched ? 0.7f : 0.975f);
    float hip = longest;
    for (int side = 1; side >= -1; side -= 2) {
        int q = (k + (side > 0 ? 0 : 3)) % 6;
        if (foot_up[q] == 0)
            hip = std::min(hip, sqrtf(std::max(1.0f, longest * longest - powf(stride * foot_x[q], 2))));
    }
    p.root_offset.z = hip - (thigh + shin);
    for (int side = 1; side >= -1; side -= 2) {
        int q = (k + (side > 0 ? 0 : 3)) % 6;
        float forward, flex;
        leg_reach(thigh, shin, stride * foot_x[q], -(hip - foot_up[q]), forward, flex);
        leg(p, side, forward, flex, toe[q]);
    }
    float c = cosf(2 * PI * k / 6.0f);  // 1 when the left foot lands in front
    arm(p, 1, -0.4f * c + (crouched ? 0.3f : 0.0f), 0.1f, 0.45f + 0.2f * c);
    arm(p, -1, 0.4f * c + (crouched ? 0.3f : 0.0f), 0.1f, 0.45f - 0.2f * c);
    p.twist[J_PELVIS] = -0.1f * c;
    p.twist[J_CHEST] = 0.16f * c;
    p.bend[J_SPINE] += 0.06f + (crouched ? 0.45f : 0.0f);
    p.bend[J_HEAD] -= crouched ? 0.4f : 0.04f;
    p.roll[J_PELVIS] = 0.03f * sinf(2 * PI * k / 6.0f);
    if (kind == CHAR_WOLFGUY) p.bend[J_CHEST] += 0.05f;
    return p;
}

// Reach forward with the right hand and touch what stands in front (72..83, touch at 78).
Pose reach(CharacterKind kind, int frame) {
    Pose n = neutral(kind);
    Pose lift = n;
    arm(lift, -1, 0.8f, 0.05f, 1.1f);
    lift.bend[J_HEAD] -= 0.1f;
    Pose out = n;
    arm(out, -1, 1.35f, 0.0f, 0.45f);
    out.bend[J_R_WRIST] = -0.6f;
    out.bend[J_SPINE] = n.bend[J_SPINE] + 0.12f;
    leg(out, -1, 0.35f, 0.25f);
    leg(out, 1, -0.12f, 0.05f);
    Pose touch = out;
    arm(touch, -1, 1.62f, 0.02f, 0.3f);
    touch.bend[J_R_WRIST] = -1.25f;  // palm flat against the surface
    carriage(touch, n.bend[J_SPINE] + 0.2f, n.bend[J_CHEST] + 0.15f, n.bend[J_HEAD] - 0.4f);
    touch.twist[J_CHEST] = 0.12f;  // the right shoulder leads
    leg(touch, -1, 0.55f, 0.45f);
    leg(touch, 1, -0.25f, 0.08f);
    Pose hold = touch;
    hold.bend[J_HEAD] -= 0.1f;
    arm(hold, 1, 0.4f, 0.15f, 0.9f);  // the other hand lifts in surprise
    Pose back = lift;
    arm(back, -1, 0.6f, 0.1f, 1.3f);
    return keyed({{72, n}, {74, lift}, {76, out}, {78, touch}, {79, hold}, {81, back}, {83, n}}, frame);
}

// Stand-in pose used by several keyed gestures: the right arm raised high.
Pose arm_up(CharacterKind kind, float elbow_flex, float twist) {
    Pose p = neutral(kind);
    arm(p, -1, 0.35f, 2.45f, elbow_flex, twist);
    p.bend[J_R_WRIST] = 0.1f;
    p.roll[J_CHEST] = 0.05f;
    p.bend[J_HEAD] = -0.15f;
    return p;
}

// Wave (112..122): both arms open, then the right hand waves high.
Pose wave(CharacterKind kind, int frame) {
    Pose n = neutral(kind);
    Pose mid = n;
    arm(mid, -1, 0.5f, 1.2f, 0.9f);
    Pose up = arm_up(kind, 0.25f, 0.0f);
    arm(up, 1, 0.3f, 0.5f, 0.4f);  // the beam pose: both arms open
    up.bend[J_HEAD] = -0.2f;
    Pose a = arm_up(kind, 0.75f, 0.3f), b = arm_up(kind, 0.15f, -0.2f);
    return keyed({{112, n}, {113, mid}, {115, up}, {116, a}, {117, b},
                 {118, a}, {119, b}, {120, a}, {121, mid}, {122, n}}, frame);
}

// Point (123..134): the right arm aims ahead and the head follows.
Pose point(CharacterKind kind, int frame) {
    Pose n = neutral(kind);
    Pose aim = n;
    arm(aim, -1, 1.45f, 0.25f, 0.05f);
    aim.bend[J_R_WRIST] = -0.15f;
    aim.twist[J_CHEST] = -0.2f;
    aim.twist[J_HEAD] = -0.25f;
    aim.bend[J_HEAD] = n.bend[J_HEAD] - 0.05f;
    leg(aim, -1, 0.15f, 0.1f);
    Pose aim2 = aim;
    arm(aim2, -1, 1.55f, 0.2f, 0.0f);
    aim2.bend[J_SPINE] += 0.05f;
    return keyed({{123, n}, {125, aim}, {128, aim2}, {131, aim}, {133, mix(aim, n, 0.5f)}, {134, n}}, frame);
}

// Salute (84..94): the right hand to the brow, held.
Pose salute(CharacterKind kind, int frame) {
    Pose n = neutral(kind);
    Pose s = n;
    arm(s, -1, 0.6f, 1.25f, 2.35f, 0.4f);
    s.bend[J_R_WRIST] = 0.3f;
    s.bend[J_HEAD] = n.bend[J_HEAD] - 0.05f;
    s.bend[J_SPINE] = n.bend[J_SPINE] - 0.05f;
    arm(s, 1, 0.0f, 0.05f, 0.1f);
    return keyed({{84, n}, {86, s}, {91, s}, {94, n}}, frame);
}

// Taunt: hands on the hips and a laugh thrown back.
Pose taunt(CharacterKind kind, int frame) {
    Pose n = neutral(kind);
    Pose hips = n;
    arms(hips, -0.35f, 0.55f, 1.7f, -0.6f);
    Pose back = hips;
    carriage(back, -0.12f, -0.1f, -0.35f);
    Pose fwd = hips;
    carriage(fwd, 0.15f, 0.1f, 0.1f);
    fwd.twist[J_HEAD] = 0.2f;
    return keyed({{95, n}, {98, hips}, {100, back}, {102, fwd}, {104, back}, {106, fwd}, {108, hips}, {111, n}}, frame);
}

// Where an attack or a flinch starts: the neutral stand, or low on bent knees.
Pose ready(CharacterKind kind, bool crouched) {
    Pose n = neutral(kind);
    if (crouched) {
        legs(n, 1.0f, 1.9f);
        n.bend[J_SPINE] = 0.45f;
    }
    return n;
}

// Attack (46..53, crouched 160..168): wind up and strike with the right arm.
Pose attack(CharacterKind kind, int frame, bool crouched) {
    Pose n = ready(kind, crouched);
    Pose wind = n, hit = n;
    arm(wind, -1, -0.5f, 0.2f, 1.8f);
    wind.twist[J_CHEST] = -0.45f;
    wind.twist[J_SPINE] = -0.15f;
    arm(wind, 1, 0.7f, 0.2f, 1.2f);
    arm(hit, -1, 1.5f, 0.05f, 0.05f);
    hit.twist[J_CHEST] = 0.35f;
    hit.twist[J_SPINE] = 0.1f;
    arm(hit, 1, 0.2f, 0.2f, 1.6f);
    if (!crouched) {
        leg(hit, 1, 0.4f, 0.35f);
        leg(hit, -1, -0.2f, 0.1f);
        hit.root_offset = {2, 0, 0};
    }
    int f0 = crouched ? 160 : 46;
    return keyed({{f0, n}, {f0 + 2, wind}, {f0 + 4, hit}, {f0 + 5, hit}, {f0 + (crouched ? 8 : 7), n}}, frame);
}

// Three flinches: knocked back, doubled over, twisted aside.
Pose pain(CharacterKind kind, int frame, int variant, bool crouched) {
    Pose n = ready(kind, crouched);
    Pose h = n;
    if (variant == 0) {
        h.bend[J_SPINE] = n.bend[J_SPINE] - 0.25f;
        h.bend[J_HEAD] = -0.4f;
        arms(h, 0.6f, 0.4f, 1.4f);
        if (!crouched) leg(h, -1, -0.3f, 0.3f);
        h.root_offset = {-1.5f, 0, 0};
    } else if (variant == 1) {
        carriage(h, n.bend[J_SPINE] + 0.45f, 0.2f, 0.2f);
        arms(h, 0.7f, 0.0f, 1.8f);
        if (!crouched) legs(h, 0.3f, 0.6f);
    } else {
        h.twist[J_CHEST] = 0.5f;
        h.roll[J_SPINE] = -0.2f;
        h.twist[J_HEAD] = 0.4f;
        arm(h, -1, 0.3f, 0.8f, 0.6f);
        arm(h, 1, 0.5f, 0.1f, 1.9f);
    }
    int f0 = crouched ? 169 : 54 + variant * 4;
    return keyed({{f0, n}, {f0 + 1, h}, {f0 + 2, mix(h, n, 0.4f)}, {f0 + 3, n}}, frame);
}

// Jump (66..71): crouch, push off, tuck, fall and land.
Pose jump(CharacterKind kind, int frame) {
    Pose n = neutral(kind);
    Pose crouch = n;
    legs(crouch, 0.8f, 1.5f);
    arms(crouch, -0.6f, 0.1f, 0.4f);
    crouch.bend[J_SPINE] = 0.45f;
    Pose push = n;
    legs(push, -0.1f, 0.05f, 0.5f);
    arms(push, 1.6f, 0.15f, 0.2f);
    push.bend[J_SPINE] = 0.15f;
    push.lift = 3;
    Pose tuck = n;
    legs(tuck, 1.1f, 1.7f);
    arms(tuck, 1.1f, 0.3f, 0.6f);
    tuck.bend[J_SPINE] = 0.3f;
    tuck.lift = 11;
    Pose fall = tuck;
    legs(fall, 0.5f, 0.6f, 0.3f);
    fall.lift = 6;
    Pose land = crouch;
    arms(land, 0.6f, 0.5f, 0.5f);
    return keyed({{66, crouch}, {67, push}, {68, tuck}, {69, fall}, {70, land}, {71, n}}, frame);
}

// Crouched low on bent knees, the back bent by `breath` (-1..1).
Pose crouch_pose(CharacterKind kind, float breath) {
    Pose p = neutral(kind);
    legs(p, 1.2f, 2.1f);
    arms(p, 0.55f, 0.15f, 0.9f);
    p.roll[J_L_HIP] = 0.15f, p.roll[J_R_HIP] = -0.15f;
    p.bend[J_SPINE] = 0.4f + 0.03f * breath;
    p.bend[J_HEAD] = -0.35f;
    return p;
}

// Deaths: a fall backwards ending on the back (178..183), a fall forwards (184..189),
// a slump to the side (190..197) and a crouched collapse (173..177).
Pose death(CharacterKind kind, int frame) {
    Pose n = neutral(kind);
    if (frame <= 183) {
        Pose hit = n;
        hit.bend[J_SPINE] = -0.2f;
        hit.bend[J_HEAD] = -0.35f;
        arms(hit, 0.9f, 0.5f, 0.8f);
        Pose stagger = hit;
        legs(stagger, 0.5f, 0.9f);
        stagger.root_bend = -0.35f;
        Pose drop = stagger;
        drop.root_bend = -0.9f;
        legs(drop, 0.9f, 1.2f);
        arms(drop, 1.3f, 0.9f, 0.5f);
        Pose ground = n;
        ground.root_bend = -1.5f;
        legs(ground, 0.45f, 0.6f, 0.5f);
        arms(ground, 0.6f, 1.2f, 0.4f);
        ground.bend[J_HEAD] = -0.2f;
        ground.bend[J_SPINE] = -0.05f;
        Pose lie = ground;
        lie.root_bend = -1.5708f;
        leg(lie, 1, 0.1f, 0.15f, 0.9f);
        leg(lie, -1, 0.35f, 0.7f, 0.7f);  // one knee stays a little raised
        arm(lie, 1, 0.0f, 0.9f, 0.15f);
        arm(lie, -1, 0.0f, 1.1f, 0.1f);
        lie.twist[J_HEAD] = 0.5f;
        lie.bend[J_HEAD] = 0.1f;
        return keyed({{178, hit}, {179, stagger}, {180, drop}, {181, ground}, {182, lie}, {183, lie}}, frame);
    }
    if (frame <= 189) {
        Pose hit = n;
        hit.bend[J_SPINE] = 0.4f;
        arms(hit, 0.6f, 0.2f, 1.5f);
        Pose knees = hit;
        legs(knees, 0.3f, 1.6f, 0.0f);
        knees.root_bend = 0.3f;
        Pose fall = knees;
        fall.root_bend = 1.0f;
        arms(fall, 1.4f, 0.3f, 0.5f);
        Pose lie = n;
        lie.root_bend = 1.5708f;
        lie.bend[J_HEAD] = -0.3f;
        lie.twist[J_HEAD] = 0.6f;
        arm(lie, 1, 2.4f, 0.3f, 0.3f);
        arm(lie, -1, 0.2f, 0.3f, 0.2f);
        leg(lie, 1, -0.1f, 0.3f, -0.6f);
        leg(lie, -1, 0.0f, 0.1f, -0.6f);
        return keyed({{184, hit}, {185, knees}, {187, fall}, {188, lie}, {189, lie}}, frame);
    }
    Pose sag = n;
    sag.bend[J_SPINE] = 0.3f;
    sag.bend[J_HEAD] = 0.4f;
    Pose kneel = sag;
    legs(kneel, 0.2f, 1.9f, -0.3f);
    Pose slump = kneel;
    slump.root_roll = 0.8f;
    arm(slump, 1, 0.3f, 0.5f, 0.5f);
    Pose lie = slump;
    lie.root_roll = 1.5f;
    legs(lie, 0.9f, 1.3f);
    lie.twist[J_HEAD] = 0.3f;
    return keyed({{190, n}, {191, sag}, {193, kneel}, {195, slump}, {196, lie}, {197, lie}}, frame);
}

// Crouched death (173..177): tip over to the side.
Pose crouch_death(CharacterKind kind, int frame) {
    Pose c = crouch_pose(kind, 0);
    Pose tip = c;
    tip.root_roll = 0.7f;
    tip.bend[J_HEAD] = 0.3f;
    Pose lie = c;
    lie.root_roll = 1.5f;
    arm(lie, 1, 0.8f, 0.4f, 0.4f);
    lie.bend[J_HEAD] = 0.2f;
    return keyed({{173, c}, {174, tip}, {176, lie}, {177, lie}}, frame);
}

// Extra: 198..202 weight shifts back to a calm stand, 203 calm facing forward,
// 204..209 a slow turn away to the left.
Pose extra(CharacterKind kind, int frame) {
    Pose p = neutral(kind);
    if (frame <= 203) {
        float u = (frame - 198) / 5.0f;
        p.twist[J_HEAD] = 0.2f * sinf(PI * u);
        p.bend[J_CHEST] -= 0.03f * sinf(PI * u);
        return p;
    }
    float u = (frame - 203) / 6.0f;  // 204 is the first step of the turn
    p.root_yaw = 0.55f + 2.6f * (u - 1.0f / 6.0f) / (5.0f / 6.0f) * 0.9f;
    p.twist[J_HEAD] = 0.35f;
    p.twist[J_CHEST] = 0.15f;
    float s = sinf(PI * 2 * u * 3);
    leg(p, 1, 0.25f * std::max(0.0f, s), 0.5f * std::max(0.0f, s));
    leg(p, -1, 0.25f * std::max(0.0f, -s), 0.5f * std::max(0.0f, -s));
    arm(p, 1, 0.1f, 0.12f, 0.4f);
    return p;
}

}  // namespace

Pose character_pose(CharacterKind kind, int frame) {
    if (frame < 40) return stand(kind, frame);
    if (frame < 46) return walk(kind, frame - 40, false);
    if (frame < 54) return attack(kind, frame, false);
    if (frame < 66) return pain(kind, frame, (frame - 54) / 4, false);
    if (frame < 72) return jump(kind, frame);
    if (frame < 84) return reach(kind, frame);
    if (frame < 95) return salute(kind, frame);
    if (frame < 112) return taunt(kind, frame);
    if (frame < 123) return wave(kind, frame);
    if (frame < 135) return point(kind, frame);
    if (frame == 135) return neutral(kind);
    if (frame < 139) return mix(neutral(kind), crouch_pose(kind, 0), (frame - 135) / 3.0f);
    if (frame < 154) return crouch_pose(kind, sinf(2 * PI * (frame - 139) / 15.0f));
    if (frame < 160) return walk(kind, frame - 154, true);
    if (frame < 169) return attack(kind, frame, true);
    if (frame < 173) return pain(kind, frame, 0, true);
    if (frame < 178) return crouch_death(kind, frame);
    if (frame < 198) return death(kind, frame);
    return extra(kind, frame);
}
