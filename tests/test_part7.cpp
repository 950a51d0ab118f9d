// test_part7.cpp: the rock tunnel: load and log, the lightning, the swarm's path, the clouds and the fov.
#include <gtest/gtest.h>

#include <cmath>

#include "parts/part7.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "support/part_content.h"
#include "support/part_files.h"

namespace {

ObjectKey key(float frame, float x, float y, float z) { return ObjectKey{frame, {x, y, z}, {}, 0, {}}; }

}  // namespace

TEST(TunnelLogic, LightningDivisorNeverZero) {
    const float rows[][2] = {{0.04f, 7}, {0.0016f, 187}, {0.3f, 1}, {0.31f, 1}, {2.0f, 1}};
    for (const auto &row : rows) EXPECT_EQ(lightning_divisor(row[0]), int(row[1])) << row[0];
}

TEST(TunnelLogic, SwarmCentreBlendsTheRightKeysAndHoldsAtTheEnds) {
    // Two keys at frame 0 (as the static meshes give), then the guide's keys.
    const ObjectKey keys[] = {key(0, 9, 9, 9), key(0, 0, 0, 0), key(10, 10, 20, 30), key(20, 30, 60, 90)};
    const struct {
        float frame;
        float expect[3];  // Y-up: (x, z, -y) of the file
    } rows[] = {
        {5, {5, 15, -10}},      // between keys 1 and 2: the later of the two frame-0 keys
        {15, {20, 60, -40}},    // between keys 2 and 3
        {20, {30, 90, -60}},    // on the last key
        {40, {30, 90, -60}},    // after it: held
        {-3, {9, 9, -9}},       // before the first: held
    };
    for (const auto &row : rows) {
        float q[3];
        swarm_centre(keys, 4, row.frame, q);
        for (int i = 0; i < 3; i++) EXPECT_NEAR(q[i], row.expect[i], 1e-4) << row.frame;
    }
}

class TunnelTest : public PartTest {
protected:
    void SetUp() override {
        PartTest::SetUp();
        frame_time = 0;
        write_part_content({generate_part7}, {}, part7_load);
    }
};

TEST_F(TunnelTest, LoadsItsContentAndLogsTheCounts) {
    Scene &scene = *part7_scene();
    EXPECT_EQ(scene.active_lights[0], 3);  // the two lightning lights and the swarm's light
    const std::vector<int> counts = logged_counts();
    const int anims = counts.at(4);
    EXPECT_EQ(counts, (std::vector<int>{4, scene.vertex_count, face_total(scene), 82, anims, scene.camera_key_count}));

    // The guide's keys (the last in the table) and the camera's cover the 30 s on screen.
    ASSERT_GT(anims, 4);
    EXPECT_GE(scene.object_keys[anims - 1].frame / scene.frame_rate, 30.0f);
    EXPECT_GE(scene.camera_keys[scene.camera_key_count - 1].frame / scene.frame_rate, 30.0f);

    // Every camera key sees the whole sky dome within zmax: no pixel is left uncovered.
    const Mesh &sky = scene.meshes[find_mesh(scene, "starsky")];
    float farthest = 0;
    for (int c = 0; c < scene.camera_key_count; c++) {
        const float *p = scene.camera_keys[c].position;  // x, z, y of the file
        for (int k = 0; k < sky.vertex_count; k++) {
            const float *v = scene.vertices[sky.first_vertex + k].position;
            farthest = std::fmax(farthest, std::hypot(v[0] - p[0], v[1] - p[1], v[2] + p[2]));
        }
    }
    EXPECT_LT(farthest, scene.camera->zmax);
}

TEST_F(TunnelTest, LightningFlashesUntil22ThenStaysDark) {
    Scene &scene = *part7_scene();
    frame_time = 0.3f;  // the dice always hit
    const float rows[][2] = {{10, 10}, {21.9f, 10}, {22, -1}, {25, -1}};  // t, intensity and flare
    for (const auto &row : rows) {
        part7_animate(row[0]);
        for (const Light &l : {scene.lights[0], scene.lights[1]})
            EXPECT_TRUE(l.intensity == row[1] && l.flare_strength == row[1] && l.flare_flag == (row[1] > 0)) << row[0];
    }
    frame_time = 1.5f;  // a frame longer than 0.3 s still plays
    part7_animate(5);
    EXPECT_EQ(scene.lights[0].intensity, 10);
}

TEST_F(TunnelTest, SwarmCloudsAndFieldOfView) {
    Scene &scene = *part7_scene();
    Camera &camera = *scene.camera;
    frame_time = 0.6f;
    const Mesh &clouds1 = scene.meshes[find_mesh(scene, "clouds1")];
    const Mesh &clouds2 = scene.meshes[find_mesh(scene, "clouds2")];
    float u1 = scene.vertices[clouds1.first_vertex].u, u2 = scene.vertices[clouds2.first_vertex].u;
    part7_animate(0);
    EXPECT_NEAR(scene.vertices[clouds1.first_vertex].u, u1 + 0.1f, 1e-5);
    EXPECT_NEAR(scene.vertices[clouds2.first_vertex].u, u2 + 0.1f, 1e-5);
    EXPECT_NEAR(camera.fov, 35, 1e-3);
    part7_animate(2);
    EXPECT_NEAR(camera.fov, 135, 1e-3);

    // The flares circle the swarm's light within 30 units.
    part7_animate(3.9f);
    float held = camera.fov;
    const float *q = scene.lights[81].position;
    for (int i = 2; i < 81; i++) {
        const float *p = scene.lights[i].position;
        EXPECT_LE(std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]), 30.001f);
    }
    const float rows[][2] = {{4, held}, {15, held}, {26, held}, {28, 55}, {30, 75}};
    for (const auto &row : rows) {
        part7_animate(row[0]);
        EXPECT_NEAR(camera.fov, row[1], 1e-3) << row[0];
    }
}
