// characters_rig.cpp: the characters' skeleton, forward kinematics and linear blend skinning.
#include <cmath>

#include "characters.h"

// Row-major 3x3 rotation and an offset.
struct Xform {
    float m[3][3];
    Vec3 t;
};

// Matrix times vector.
static Vec3 mul(const float m[3][3], Vec3 v) {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

// Product of two rotations.
static void mul3(const float a[3][3], const float b[3][3], float out[3][3]) {
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) {
            out[i][j] = 0;
            for (int k = 0; k < 3; k++) out[i][j] += a[i][k] * b[k][j];
        }
}

// Rotation matrix of twist (z) * bend (y) * roll (x).
static void euler_matrix(float twist, float bend, float roll, float m[3][3]) {
    float cz = cosf(twist), sz = sinf(twist), cy = cosf(bend), sy = sinf(bend);
    float cx = cosf(roll), sx = sinf(roll);
    float rz[3][3] = {{cz, -sz, 0}, {sz, cz, 0}, {0, 0, 1}};
    float ry[3][3] = {{cy, 0, sy}, {0, 1, 0}, {-sy, 0, cy}};
    float rx[3][3] = {{1, 0, 0}, {0, cx, -sx}, {0, sx, cx}};
    float a[3][3];
    mul3(rz, ry, a);
    mul3(a, rx, m);
}

Skeleton make_skeleton(float h, float w) {
    // Rest positions, then each joint's parent.
    return Skeleton{{{0, 0, 27 * h}, {0, 0, 32 * h}, {0, 0, 39 * h}, {0, 0, 47 * h},
                     {0, 7.2f * w, 45 * h}, {-0.3f, 8 * w, 35.5f * h}, {0, 8.5f * w, 26.5f * h},
                     {0, -7.2f * w, 45 * h}, {-0.3f, -8 * w, 35.5f * h}, {0, -8.5f * w, 26.5f * h},
                     {0, 3.4f * w, 26.5f * h}, {0.4f, 3.4f * w, 14.5f * h}, {0, 3.4f * w, 3},
                     {0, -3.4f * w, 26.5f * h}, {0.4f, -3.4f * w, 14.5f * h}, {0, -3.4f * w, 3}},
                    {-1, J_PELVIS, J_SPINE, J_CHEST, J_CHEST, J_L_SHOULDER, J_L_ELBOW, J_CHEST, J_R_SHOULDER,
                     J_R_ELBOW, J_PELVIS, J_L_HIP, J_L_KNEE, J_PELVIS, J_R_HIP, J_R_KNEE}};
}

// World transform of every joint for a pose.
static void pose_joints(const Skeleton &s, const Pose &pose, Xform out[JOINT_COUNT]) {
    // Parents always come before their children in the joint order.
    for (int j = 0; j < JOINT_COUNT; j++) {
        float local[3][3];
        euler_matrix(pose.twist[j], pose.bend[j], pose.roll[j], local);
        if (s.parent[j] < 0) {
            float root[3][3];
            euler_matrix(pose.root_yaw, pose.root_bend, pose.root_roll, root);
            mul3(root, local, out[j].m);
            out[j].t = s.rest[j] + pose.root_offset;
        } else {
            const Xform &p = out[s.parent[j]];
            mul3(p.m, local, out[j].m);
            out[j].t = p.t + mul(p.m, s.rest[j] - s.rest[s.parent[j]]);
        }
    }
}

void skin_body(const CharacterBody &body, const Pose &pose, std::vector<float> &out) {
    Xform joints[JOINT_COUNT];
    pose_joints(body.skeleton, pose, joints);
    out.resize(body.vertices.size() * 3);
    for (size_t i = 0; i < body.vertices.size(); i++) {
        const SkinVertex &v = body.vertices[i];
        Vec3 sum = {0, 0, 0};
        for (int k = 0; k < MAX_INFLUENCES; k++) {
            if (v.weight[k] <= 0) continue;
            const Xform &x = joints[v.joint[k]];
            Vec3 q = mul(x.m, v.p - body.skeleton.rest[v.joint[k]]) + x.t;
            sum = sum + q * v.weight[k];
        }
        out[i * 3] = sum.x, out[i * 3 + 1] = sum.y, out[i * 3 + 2] = sum.z;
    }
}
