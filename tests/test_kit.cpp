// test_kit.cpp: the content kit: the frame turn keeps windings, panels and boxes face the
// way they say, the corrected camera target survives the renderer's doubled pitch, shots
// become keys at the right frames, and the picture table writes what it names.
#include <gtest/gtest.h>

#include <cmath>

#include "kit_scene.h"

namespace {

// Triangles whose normal does not point along `towards`.
int faces_against(const MeshData &mesh, Vec3 towards) {
    int against = 0;
    for (const MeshTriangle &t : mesh.triangles) {
        Vec3 a = vertex_position(mesh.vertices[t.a]);
        Vec3 n = cross(vertex_position(mesh.vertices[t.b]) - a, vertex_position(mesh.vertices[t.c]) - a);
        if (dot(n, towards) <= 0) against++;
    }
    return against;
}

TEST(Kit, FrameTurnKeepsWindingsAndUndoesExactly) {
    MeshData box = mesh_open_box({-1, 2, 3}, {4, 6, 9}, 0, 1);
    EXPECT_NEAR(mesh_signed_volume(box), 5 * 4 * 6, 1e-3);
    mesh_to_file_frame(box);
    EXPECT_NEAR(mesh_signed_volume(box), 5 * 4 * 6, 1e-3);  // a turn, not a mirror
    Vec3 up = to_file(UNIT_Y), p = {0.1f, -7.3f, 1e-3f}, back = to_show(to_file(p));
    EXPECT_EQ(up.z, 1);
    EXPECT_TRUE(back.x == p.x && back.y == p.y && back.z == p.z);
}

TEST(Kit, PanelsAndBoxesFaceTheWayTheySay) {
    const Vec3 du = {0, 3, 0}, dv = {0, 0, -2};  // facing du x dv = -x
    MeshData compact = mesh_panel({5, 0, 0}, du, dv, 2, 2, 0.5f, 1, [](int i, int j) { return i == 1 && j == 1; });
    EXPECT_EQ(compact.vertices.size(), 8u);  // the corner only the hole uses is left out
    EXPECT_EQ(compact.triangles.size(), 6u);
    EXPECT_EQ(faces_against(compact, {-1, 0, 0}), 0);
    EXPECT_FLOAT_EQ(compact.vertices[1].u, 1.5f * 0.5f);  // (1, 0): half of 3 units at 0.5 a unit

    MeshData grid = mesh_panel_grid({5, 0, 0}, du, dv, 3, 2);
    ASSERT_EQ(grid.vertices.size(), 12u);
    EXPECT_EQ(faces_against(grid, {-1, 0, 0}), 0);
    const MeshVertex &v = grid.vertices[1 * 4 + 2];  // (2, 1)
    EXPECT_FLOAT_EQ(v.y, 2);
    EXPECT_FLOAT_EQ(v.z, -1);
    EXPECT_FLOAT_EQ(v.u, 2.0f / 3);
    EXPECT_FLOAT_EQ(v.v, 0.5f);

    // Each omitted side takes its own two triangles away.
    for (int side = OMIT_MINUS_X; side <= OMIT_PLUS_Z; side *= 2) {
        MeshData open = mesh_open_box({0, 0, 0}, {1, 2, 3}, side, 1);
        EXPECT_EQ(open.triangles.size(), 10u) << side;
        int axis = side == OMIT_MINUS_X || side == OMIT_PLUS_X ? 0 : side == OMIT_MINUS_Y || side == OMIT_PLUS_Y ? 1 : 2;
        float sign = side == OMIT_PLUS_X || side == OMIT_PLUS_Y || side == OMIT_PLUS_Z ? 1.0f : -1.0f;
        Vec3 out = {axis == 0 ? sign : 0, axis == 1 ? sign : 0, axis == 2 ? sign : 0};
        EXPECT_EQ(faces_against(open, out), 10) << side;  // nothing left on that side
        EXPECT_EQ(faces_against(open, out * -1), 8) << side;  // the opposite side still there
    }

    // A slanted rod runs from a to b, no wider than its radius.
    const Vec3 a = {1, 2, 3}, b = {-4, 6, 11};
    MeshData rod = mesh_rod(a, b, 0.5f);
    Vec3 axis = normalize(b - a);
    float lowest = 1e9f, highest = -1e9f;
    for (const MeshVertex &m : rod.vertices) {
        Vec3 d = vertex_position(m) - a;
        float along = dot(d, axis);
        lowest = std::min(lowest, along), highest = std::max(highest, along);
        EXPECT_LE(length(d - axis * along), 0.5f + 1e-4f);
    }
    EXPECT_NEAR(lowest, 0, 1e-4);
    EXPECT_NEAR(highest, length(b - a), 1e-4);
    EXPECT_GT(mesh_signed_volume(rod), 0);
}

TEST(Kit, CorrectedTargetIsSeenWhereTheDoubledPitchLooks) {
    const struct {
        Vec3 eye, look;
    } views[] = {{{0, 10, 0}, {30, 40, -40}}, {{5, 50, 5}, {-25, 10, 45}}, {{0, 0, 0}, {0, 0, 90}}, {{3, 1, 2}, {4, 60, 2.5f}}};
    for (const auto &view : views) {
        Vec3 target = pitch_corrected_target(view.eye, view.look);
        EXPECT_TRUE(target.x == view.look.x && target.z == view.look.z);
        // The renderer pitches by twice the arctangent of the direction's height over its length.
        Vec3 aim = target - view.eye, d = view.look - view.eye;
        float doubled = 2 * std::atan(aim.y / length(aim));
        EXPECT_NEAR(doubled, std::atan2(d.y, std::sqrt(d.x * d.x + d.z * d.z)), 1e-5);
    }
}

TEST(Kit, ShotsBecomeKeysInTheFileFrameAtTheirFrames) {
    const std::vector<Shot> shots = {{1.0f, {1, 2, 3}, {1, 2, -7}, 50}, {3.46f, {4, 5, 6}, {0, 5, 0}, 70}};
    CameraNode3ds fixed = shot_node("cam", shots, AIM_AT_LOOK, 62, 10);
    ASSERT_EQ(fixed.position.size(), 2u);
    EXPECT_EQ(fixed.position[0].frame, 0u);
    EXPECT_EQ(fixed.position[1].frame, 25u);  // 34.6 rounds to 35, counted from frame 10
    EXPECT_FLOAT_EQ(fixed.position[1].value[1], -6);  // show z is file -y
    EXPECT_FLOAT_EQ(fixed.target[0].value[1], 7);
    ASSERT_EQ(fixed.fov.size(), 1u);
    EXPECT_EQ(fixed.fov[0].value[0], 62);
    CameraNode3ds own = shot_node("cam", shots, AIM_AT_LOOK, FOV_PER_SHOT);
    ASSERT_EQ(own.fov.size(), 2u);
    EXPECT_EQ(own.roll.size(), 2u);
    EXPECT_EQ(own.fov[1].frame, 35u);
    EXPECT_EQ(own.fov[1].value[0], 70);
    Camera3ds camera = shot_camera("cam", shots[1], AIM_PITCH_CORRECTED, 40);
    Vec3 target = to_file(pitch_corrected_target(shots[1].eye, shots[1].look));
    EXPECT_EQ(camera.lens, 40);
    EXPECT_EQ(camera.target[2], target.z);
}

TEST(Kit, PictureTableWritesEveryPictureAndMaterialsForThoseThatNameOne) {
    ContentSink sink;
    Scene3ds scene;
    auto grey = [] { return picture_painted(4, 4, [](int, int, float, float) { return colour(0.5f, 0.5f, 0.5f); }); };
    add_scene_pictures(sink, scene, {{"a.bmp", grey, "alpha"}, {"b.bmp", grey}, {"c.bmp", grey, "gamma", 30}});
    ASSERT_EQ(sink.files.size(), 3u);
    EXPECT_EQ(sink.files[1].name, "b.bmp");
    ASSERT_EQ(scene.materials.size(), 2u);
    EXPECT_EQ(scene.materials[1].name, "gamma");
    EXPECT_EQ(scene.materials[1].texture, "c.bmp");
    EXPECT_EQ(scene.materials[1].transparency, 30);
    EXPECT_EQ(scene.materials[0].transparency, 0);
}

}  // namespace
