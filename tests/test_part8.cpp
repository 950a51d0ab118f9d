// test_part8.cpp: the water on its generated content: what it loads and logs, the fade in,
// the drop's radius within its clamp, the backdrop's depth and light, the glows.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "content.h"
#include "parts/part8.h"
#include "parts/parts.h"
#include "support/gl_context.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"

namespace {

std::vector<std::string> log_lines() {
    std::ifstream in("VKB_Kelp.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(WaterLogic, DropRadiusStaysWithinItsClampForAnyDirection) {
    // Straight at the camera, along the axes, and a direction rounded a hair past length 1.
    const float directions[][3] = {{0, 0, -1}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0.6f, -0.48f, 0.64f},
                                   {0, 0, 1.0000001f}, {-0.0000001f, 0, -1.0000001f}};
    for (const auto &d : directions)
        for (float t = 0; t < 30; t += 0.37f) {
            float r = drop_radius(d, t);
            ASSERT_TRUE(std::isfinite(r)) << d[0] << " " << d[1] << " " << d[2] << " at " << t;
            EXPECT_GE(r, 60 - 0.201f);
            EXPECT_LE(r, 95 + 0.201f);
        }
}

class WaterTest : public GlContextTest {
protected:
    ScratchDir dir;
    void SetUp() override {
        GlContextTest::SetUp();
        ContentSink sink;
        generate_part8(sink);
        for (const ContentFile &file : sink.files) ASSERT_TRUE(write_file(file.name, file.bytes));
        statistics = true;
        part8_load();
        statistics = false;
    }
};

TEST_F(WaterTest, LoadsTheDropAndTheBackdropAndLogsTheCounts) {
    Scene &scene = *part8_scene();
    ASSERT_EQ(scene.mesh_count, 2);
    EXPECT_EQ(scene.meshes[0].first_vertex, 0);
    EXPECT_EQ(scene.light_count, 400);
    EXPECT_EQ(scene.active_lights[0], 0);
    std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "water: meshes 2");
    EXPECT_EQ(lines[1], "water: verts  " + std::to_string(scene.vertex_count));
    EXPECT_EQ(lines[2], "water: faces  " + std::to_string(scene.meshes[0].face_count + scene.meshes[1].face_count));
    EXPECT_EQ(lines[3], "water: lights 400");
    EXPECT_EQ(lines[4], "water: anims  2");
    EXPECT_EQ(lines[5], "water: cams   0");

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
    for (int f = 0; f < backdrop.face_count; f++) ASSERT_EQ(backdrop.faces[f].light_blend, 0);
    EXPECT_EQ(drop.faces[0].light_blend, 1);
}

TEST_F(WaterTest, FadesInShapesTheDropAndWavesTheBackdrop) {
    Scene &scene = *part8_scene();
    Camera &camera = *scene.camera;
    const struct {
        float t, glow_alpha;
    } fades[] = {{0, 0}, {2, 0.5f}, {4, 1}, {20, 1}};
    for (const auto &row : fades) {
        part8_animate(row.t);
        EXPECT_FLOAT_EQ(camera.glow_alpha, row.glow_alpha) << row.t;
        EXPECT_GE(camera.fov, 50);
        EXPECT_LE(camera.fov, 70);

        const Mesh &drop = scene.meshes[0];
        for (int k = 0; k < drop.vertex_count; k++) {
            const Vertex &v = scene.vertices[k];
            float r = std::hypot(v.position[0], v.position[1], v.position[2] - 200);
            ASSERT_GE(r, 60 - 0.201f) << row.t;
            ASSERT_LE(r, 95 + 0.201f) << row.t;
            ASSERT_GE(v.light[0], -0.7f);
            ASSERT_LE(v.light[0], 1.3f);
        }
        const Mesh &backdrop = scene.meshes[1];
        for (int k = 0; k < backdrop.vertex_count; k++) {
            const Vertex &v = scene.vertices[backdrop.first_vertex + k];
            ASSERT_GE(v.position[2], 270 - 1e-3f);
            ASSERT_LE(v.position[2], 330 + 1e-3f);
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
