// test_part8.cpp: the water: load and log, the fade in, the drop within its clamp, the backdrop.
#include <gtest/gtest.h>

#include <cmath>

#include "parts/part8.h"
#include "parts/parts.h"
#include "support/part_content.h"
#include "support/part_files.h"

TEST(WaterLogic, DropRadiusStaysWithinItsClampForAnyDirection) {
    // Straight at the camera, along the axes, and a direction rounded a hair past length 1.
    const float directions[][3] = {{0, 0, -1}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0.6f, -0.48f, 0.64f},
                                   {0, 0, 1.0000001f}, {-0.0000001f, 0, -1.0000001f}};
    for (const auto &d : directions)
        for (float t = 0; t < 30; t += 0.37f) {
            float r = drop_radius(d, t);
            ASSERT_TRUE(std::isfinite(r) && r >= 60 - 0.201f && r <= 95 + 0.201f)
                << r << " for " << d[0] << " " << d[1] << " " << d[2] << " at " << t;
        }
}

class WaterTest : public PartTest {
protected:
    void SetUp() override {
        PartTest::SetUp();
        write_part_content({generate_part8}, {}, part8_load);
    }
};

TEST_F(WaterTest, LoadsTheDropAndTheBackdropAndLogsTheCounts) {
    Scene &scene = *part8_scene();
    ASSERT_EQ(scene.mesh_count, 2);
    EXPECT_EQ(scene.meshes[0].first_vertex, 0);
    EXPECT_EQ(scene.active_lights[0], 0);
    EXPECT_EQ(logged_counts().at(2), face_total(scene));

    // The drop is a sphere of radius 100 around (0, 0, 200); the backdrop at depth 300 is
    // wide and tall enough for a 16:9 screen at the widest fov when it waves back to 330.
    const Mesh &drop = scene.meshes[0];
    for (int k = 0; k < drop.vertex_count; k++) {
        const float *p = scene.vertices[k].position;
        EXPECT_NEAR(std::hypot(p[0], p[1], p[2] - 200), 100, 1e-3);
    }
    const Mesh &backdrop = scene.meshes[1];
    float half_width = 0, half_height = 0;
    for (int k = 0; k < backdrop.vertex_count; k++) {
        const float *p = scene.vertices[backdrop.first_vertex + k].position;
        EXPECT_NEAR(p[2], 300, 1e-3);
        half_width = std::fmax(half_width, std::fabs(p[0]));
        half_height = std::fmax(half_height, std::fabs(p[1]));
    }
    float reach = 330 * std::tan(35 * 3.14159265f / 180);
    EXPECT_GE(half_width, reach * 16 / 9);
    EXPECT_GE(half_height, reach * 0.75f);
}

TEST_F(WaterTest, FadesInShapesTheDropAndWavesTheBackdrop) {
    Scene &scene = *part8_scene();
    Camera &camera = *scene.camera;
    const float fades[][2] = {{0, 0}, {2, 0.5f}, {4, 1}, {20, 1}};  // t, glow alpha
    for (const auto &row : fades) {
        part8_animate(row[0]);
        EXPECT_FLOAT_EQ(camera.glow_alpha, row[1]) << row[0];
        EXPECT_TRUE(camera.fov >= 50 && camera.fov <= 70) << camera.fov;

        const Mesh &drop = scene.meshes[0];
        for (int k = 0; k < drop.vertex_count; k++) {
            const Vertex &v = scene.vertices[k];
            float r = std::hypot(v.position[0], v.position[1], v.position[2] - 200);
            ASSERT_TRUE(r >= 60 - 0.201f && r <= 95 + 0.201f && v.light[0] >= -0.7f && v.light[0] <= 1.3f) << row[0];
        }
        const Mesh &backdrop = scene.meshes[1];
        for (int k = 0; k < backdrop.vertex_count; k++) {
            const Vertex &v = scene.vertices[backdrop.first_vertex + k];
            ASSERT_TRUE(v.position[2] >= 270 - 1e-3f && v.position[2] <= 330 + 1e-3f) << row[0];
            ASSERT_NEAR(v.light[1], (300 - v.position[2]) / 30, 1e-5);  // nearer is brighter
        }
        for (int i = 0; i < 400; i++) {
            const float *p = scene.lights[i].position;
            ASSERT_LE(std::hypot(p[0] + 1, p[1], p[2] - 200), 110.01f);
        }
    }
    // The backdrop does wave: at 5 s not every vertex sits at 300.
    part8_animate(5);
    const Mesh &backdrop = scene.meshes[1];
    float spread = 0;
    for (int k = 0; k < backdrop.vertex_count; k++)
        spread = std::fmax(spread, std::fabs(scene.vertices[backdrop.first_vertex + k].position[2] - 300));
    EXPECT_GT(spread, 20);
}
