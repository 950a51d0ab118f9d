// test_pose.cpp: posing meshes from object keys and the vertex operations (that a played frame
// allocates nothing is checked over the whole show by test_frame_allocations).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "scene/pose.h"
#include "scene/spline.h"

namespace {

ObjectKey identity_key(float frame) {
    ObjectKey k{};
    k.frame = frame;
    k.axis[2] = 1;
    k.scale[0] = k.scale[1] = k.scale[2] = 1;
    return k;
}

// One mesh of `count` vertices at the start of the vertex array, with its keys.
struct PoseScene {
    Scene scene;
    Mesh mesh;
    std::vector<Vertex> vertices;
    std::vector<ObjectKey> keys;
    PoseScene(std::vector<ObjectKey> k, int count) : vertices(count), keys(std::move(k)) {
        init_scene(scene);
        init_mesh(mesh);
        for (Vertex &v : vertices) init_vertex(v);
        mesh.vertex_count = count;
        mesh.first_key = 0;
        mesh.key_count = int(keys.size());
        scene.object_keys = keys.data();
        scene.meshes = &mesh;
        scene.mesh_count = 1;
        scene.vertices = vertices.data();
        scene.vertex_count = count;
    }
    void set(int i, float x, float y, float z) {
        vertices[i].position[0] = x, vertices[i].position[1] = y, vertices[i].position[2] = z;
    }
};

void expect3(const float *got, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(got[0], x, tolerance);
    EXPECT_NEAR(got[1], y, tolerance);
    EXPECT_NEAR(got[2], z, tolerance);
}

// Keys pose the mesh's vertices (here the second of two) into the Y-up frame, (x, y, z) to
// (x, z, -y): identity keys only swap, one key scales, turns and moves at any time, several
// are splined over time; a mesh without keys is left alone, as is every vertex outside it.
TEST(AnimateMesh, KeysPoseIntoTheYUpFrame) {
    ObjectKey single = identity_key(0), moved = identity_key(20);
    single.scale[0] = 2;
    single.angle = float(M_PI / 2);  // a quarter turn about +z
    single.position[0] = 10, single.position[1] = 20, single.position[2] = 30;
    moved.position[0] = 4, moved.position[1] = 8, moved.position[2] = 12;
    const struct {
        const char *what;
        std::vector<ObjectKey> keys;
        int key_count;  // -1: never keyed
        float in[3], t, want[3];
    } cases[] = {
        {"identity keys", {identity_key(0), identity_key(20)}, 2, {1, 2, 3}, 0.5f, {1, 3, -2}},
        {"never keyed", {identity_key(0)}, -1, {1, 2, 3}, 0, {1, 2, 3}},
        {"no keys to pose from", {identity_key(0)}, 0, {1, 2, 3}, 0, {1, 2, 3}},
        // scaled to (2, 0, 0), turned to (0, 2, 0), moved to (10, 22, 30), then Y-up
        {"one key at 0", {single}, 1, {1, 0, 0}, 0, {10, 30, -22}},
        {"one key at 50", {single}, 1, {1, 0, 0}, 50, {10, 30, -22}},
        {"splined: frame 5 of 20", {identity_key(0), moved}, 2, {0, 0, 0}, 0.25f, {1, 3, -2}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        PoseScene p(c.keys, 2);
        p.mesh.first_vertex = 1, p.mesh.vertex_count = 1;
        p.mesh.key_count = c.key_count;
        p.set(0, 9, 9, 9);
        p.set(1, c.in[0], c.in[1], c.in[2]);
        animate_mesh(p.scene, p.mesh, p.vertices.data(), c.t, 20.0f);
        expect3(p.vertices[1].position, c.want[0], c.want[1], c.want[2], 1e-4f);
        expect3(p.vertices[0].position, 9, 9, 9, 0);
    }
}

TEST(AnimateMesh, BadKeyRangeOrRateIsFatal) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    PoseScene p({identity_key(0)}, 1);
    snprintf(p.mesh.name, sizeof p.mesh.name, "Box01");
    EXPECT_EXIT(animate_mesh(p.scene, p.mesh, p.vertices.data(), 0.0f, 0.0f),
                ::testing::ExitedWithCode(1),
                "POSE: \\[Box01\\] key times need a positive frame rate \\(got 0\\)");
    p.mesh.first_key = -1;
    EXPECT_EXIT(animate_mesh(p.scene, p.mesh, p.vertices.data(), 0.0f, 20.0f),
                ::testing::ExitedWithCode(1), "POSE: \\[Box01\\] has 1 keys from key -1");
}

// Turns by minus the angle about the pivot, normals too; tiny angles and zero axes change nothing.
TEST(RotateMesh, TurnsByMinusTheAngleAboutThePivot) {
    PoseScene p({}, 1);
    p.set(0, 1, 2, 3);
    p.vertices[0].normal[0] = 1;
    rotate_mesh(p.mesh, p.vertices.data(), 0, 0, 1, 0.0005f);
    rotate_mesh(p.mesh, p.vertices.data(), 0, 0, 1, -0.0009f);
    rotate_mesh(p.mesh, p.vertices.data(), 0, 0, 0, 1.0f);
    expect3(p.vertices[0].position, 1, 2, 3, 0);
    EXPECT_EQ(p.vertices[0].normal[0], 1.0f);
    p.mesh.pivot[0] = 1, p.mesh.pivot[1] = 1, p.mesh.pivot[2] = 2;
    p.set(0, 2, 1, 5);
    // -90 degrees about +z under the right-hand rule: (1, 0) about the pivot becomes (0, -1)
    rotate_mesh(p.mesh, p.vertices.data(), 0, 0, 3, float(M_PI / 2));
    expect3(p.vertices[0].position, 1, 0, 5);
    expect3(p.vertices[0].normal, 0, -1, 0, 1e-6f);
    // About +x: (y, z) = (0, 2) about the pivot turns to (2, 0); (0, -1, 0) to (0, 0, 1)
    p.set(0, 2, 1, 4);
    rotate_mesh(p.mesh, p.vertices.data(), 1, 0, 0, float(M_PI / 2));
    expect3(p.vertices[0].position, 2, 3, 2);
    expect3(p.vertices[0].normal, 0, 0, 1, 1e-6f);
}

TEST(MeshOperations, TranslateScaleAndCentre) {
    PoseScene p({}, 3);
    p.set(0, 0, 0, 0);
    p.set(1, 2, 4, 6);
    p.set(2, 4, 2, 0);
    p.vertices[1].normal[0] = 1, p.vertices[1].normal[1] = 1, p.vertices[1].normal[2] = 1;
    center_pivot(p.mesh, p.vertices.data());
    expect3(p.mesh.pivot, 2, 2, 2, 0);
    scale_mesh(p.mesh, p.vertices.data(), 2, 1, 0.5f);  // about the pivot, normals too
    expect3(p.vertices[1].position, 2, 4, 4);
    expect3(p.vertices[0].position, -2, 0, 1);
    expect3(p.vertices[1].normal, 2, 1, 0.5f, 0);
    translate_mesh(p.mesh, p.vertices.data(), 1, -1, 10);
    expect3(p.vertices[2].position, 7, 1, 11);
    Mesh empty;
    init_mesh(empty);
    empty.pivot[0] = 3;
    center_pivot(empty, p.vertices.data());
    EXPECT_EQ(empty.pivot[0], 3.0f);
}

}  // namespace
