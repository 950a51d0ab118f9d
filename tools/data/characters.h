// characters.h: the three show characters built procedurally: a 16-joint skeleton,
// bodies made of lathed and deformed parts skinned to it, the shared animation frames,
// and painted skins. Models face +x with +z up, feet on z = 0.
#pragma once
#include <vector>

#include "kit_geometry.h"
#include "writers/bmp_writer.h"
#include "writers/mdl_writer.h"

// Joints of the shared skeleton; +y is the character's left.
enum Joint {
    J_PELVIS, J_SPINE, J_CHEST, J_HEAD,
    J_L_SHOULDER, J_L_ELBOW, J_L_WRIST,
    J_R_SHOULDER, J_R_ELBOW, J_R_WRIST,
    J_L_HIP, J_L_KNEE, J_L_ANKLE,
    J_R_HIP, J_R_KNEE, J_R_ANKLE,
    JOINT_COUNT
};
// The joint of one side (+1 left, -1 right) named by its left one: the right one is three on.
inline int side_joint(int left_joint, int side) { return side > 0 ? left_joint : left_joint + 3; }

enum { CHARACTER_FRAMES = 210, MAX_INFLUENCES = 4 };

enum CharacterKind { CHAR_MESSIAH, CHAR_FATHER, CHAR_WOLFGUY, CHARACTER_COUNT };

// Rest positions of the joints and their parents (-1 for the pelvis).
struct Skeleton {
    Vec3 rest[JOINT_COUNT];
    int parent[JOINT_COUNT];
};

// Local joint rotations in radians: bend about the side axis (y), roll about the forward
// axis (x), twist about the up axis (z); plus the root's movement.
struct Pose {
    float bend[JOINT_COUNT], roll[JOINT_COUNT], twist[JOINT_COUNT];
    Vec3 root_offset;  // added to the pelvis
    float root_bend, root_roll, root_yaw;  // whole-body rotation about the pelvis
    float lift;  // height of the body's lowest point above the floor
};

// One skinned vertex at rest with its joint influences.
struct SkinVertex {
    Vec3 p;
    float u, v;  // atlas coordinates, 0..1, v down
    int joint[MAX_INFLUENCES];
    float weight[MAX_INFLUENCES];
    int part;  // body part tag (for painting and tests)
};

// Body part tags.
enum PartTag { P_TORSO, P_HEAD, P_ARM_L, P_ARM_R, P_HAND_L, P_HAND_R, P_LEG_L, P_LEG_R,
               P_FOOT_L, P_FOOT_R, P_SKIRT, P_EXTRA, P_AMULET };
// The part of one side named by its left one: the right one follows it.
inline int side_part(int left_part, int side) { return side > 0 ? left_part : left_part + 1; }

struct CharacterBody {
    Skeleton skeleton;
    std::vector<SkinVertex> vertices;
    std::vector<int> triangles;  // three indices each, counter-clockwise seen from outside
};

// The shared skeleton scaled by build.
Skeleton make_skeleton(float height_scale, float width_scale);
// Positions of every body vertex in a pose (x, y, z per vertex).
void skin_body(const CharacterBody &body, const Pose &pose, std::vector<float> &out);

// Skeleton of one character.
Skeleton character_skeleton(CharacterKind kind);
// Bodies of the three characters.
CharacterBody build_body(CharacterKind kind);
// Pose of one frame (0..CHARACTER_FRAMES-1) of the shared layout, shaped by the character.
Pose character_pose(CharacterKind kind, int frame);
// Painted skin for a body's atlas; width and height are powers of two.
Picture paint_skin(CharacterKind kind, int width, int height);

// The finished model and its skin; `vertex_parts`, when given, receives each model vertex's
// part tag.
void build_character(CharacterKind kind, MdlModel &model, Picture &skin, std::vector<int> *vertex_parts = nullptr);
// File base name of a character ("messiah", "father", "wolfguy").
const char *character_name(CharacterKind kind);
// Fraction of the skin's width that the model's texture coordinates span.
inline float character_skin_span(CharacterKind kind) { return kind == CHAR_FATHER ? 0.8f : 1.0f; }
