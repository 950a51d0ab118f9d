// test_part4.cpp: the warp pass on its generated content: the beam-in, the tube, dust, sparks, walk and web.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "parts/parts.h"
#include "render/clock.h"
#include "scene/random.h"
#include "shared_set.h"
#include "support/part_content.h"
#include "support/part_files.h"
#include "texture/texture.h"
#include "writers/bmp_writer.h"

namespace {

enum { SPARK = 5, HAND_LIGHT = 44, DUST = 45, HAND_VERTEX = 510 };

}  // namespace

class WarpPassTest : public PartTest {
protected:
    void SetUp() override {
        PartTest::SetUp();
        random_reset();
        write_part_content({generate_characters, generate_part4,
                            [](ContentSink &sink) { sink.add("cutter.bmp", bmp_encode_24(make_cutter())); }},
                           {"messiah.mdl"}, part4_load);
        frame_time = 0.05f;
        scene = part4_scene();
        messiah = &scene->meshes[find_mesh(*scene, "messiah.mdl")];
    }
    const float *model_vertex(int k) const { return scene->vertices[messiah->first_vertex + k].position; }
    Scene *scene = nullptr;
    const Mesh *messiah = nullptr;
};

TEST_F(WarpPassTest, LoadsTheGeneratedCorridorAndLogsItsCounts) {
    // The file's meshes, then the warp tube and the messiah.
    const Mesh &warp = scene->meshes[find_mesh(*scene, "warp")];
    EXPECT_EQ(&warp + 1, messiah);
    EXPECT_EQ(int(messiah - scene->meshes), scene->mesh_count - 1);
    // A key per file mesh; the counts take in one more mesh of 32 vertices and faces.
    EXPECT_EQ(logged_counts(), (std::vector<int>{scene->mesh_count + 1, scene->vertex_count + 32, face_total(*scene) + 32, 545,
                                                 scene->mesh_count - 2, scene->camera_key_count}));

    // The cutter found by name gets its picture; only the corridor and hand lights light meshes.
    const Mesh &cutter = scene->meshes[find_mesh(*scene, "Cutter")];
    EXPECT_EQ(cutter.faces[0].texture, texture_find("cutter.bmp", true));
    ASSERT_EQ(scene->light_count, 545);
    ASSERT_EQ(scene->active_lights[0], 2);
    EXPECT_EQ(scene->active_lights[1], 0);
    EXPECT_EQ(scene->active_lights[2], HAND_LIGHT);
    // The camera track covers both entries the part is shown in (35 s).
    EXPECT_GE(scene->camera_keys[scene->camera_key_count - 1].frame / scene->frame_rate, 35.0f);
    // The dust starts on the plane in front of the tube's mouth.
    for (int i = DUST; i < 545; i++) {
        const float *p = scene->lights[i].position;
        ASSERT_TRUE(p[0] >= -30 && p[0] < 50 && p[1] >= 0 && p[1] < 90 && p[2] == 50.0f) << i;
    }
}

TEST_F(WarpPassTest, BeamInPullsEachVertexBackByItsShare) {
    int n = messiah->vertex_count;
    ASSERT_GT(n, HAND_VERTEX);
    // Just after 7 s no vertex has moved yet; at 8.5 s the first has arrived, the middle one
    // is halfway (f = 0.5) and the last has not started.
    part4_animate(7.0001f);
    const int ks[3] = {0, n / 2, n - 1};
    float waiting[3];
    for (int i = 0; i < 3; i++) waiting[i] = model_vertex(ks[i])[2];
    part4_animate(8.5f);
    const float pulled[3] = {260, 130, 0};
    for (int i = 0; i < 3; i++) EXPECT_NEAR(waiting[i] - model_vertex(ks[i])[2], pulled[i], 1.0f) << ks[i];
}

TEST_F(WarpPassTest, WarpFadesInAndOutAndDrawsNothingOutside) {
    Mesh &warp = scene->meshes[find_mesh(*scene, "warp")];
    // In order: 8 s keeps what 6.5 s set. Time, alpha, faces and vertices drawn.
    const float rows[][3] = {{5.9f, 0, 0}, {6.5f, 0.5f, 32}, {8, 0.5f, 32}, {10.25f, 0.75f, 32}, {12, 0, 0}};
    for (const auto &row : rows) {
        part4_animate(row[0]);
        EXPECT_NEAR(warp.faces[31].alpha, row[1], 1e-5) << row[0];
        EXPECT_TRUE(warp.face_count == int(row[2]) && warp.vertex_count == int(row[2])) << row[0];
    }
}

TEST_F(WarpPassTest, DustIsRebornTheFrameItsFlareIsFullAndNeverOvershootsTheAxis) {
    Light &full = scene->lights[DUST];
    Light &drifting = scene->lights[544];  // the last speck
    full.flare_strength = 1.95f;  // + 2 x 0.05 reaches 2.0
    drifting.flare_strength = 0;
    drifting.position[0] = 50, drifting.position[1] = 45;
    part4_animate(7);
    EXPECT_FLOAT_EQ(full.flare_strength, 0);
    EXPECT_FLOAT_EQ(full.glow_size, 0.3f);
    EXPECT_TRUE(full.position[0] >= -30 && full.position[0] < 50 && full.position[1] >= 0 && full.position[1] < 90);
    EXPECT_FLOAT_EQ(full.position[2], 50.0f);
    EXPECT_TRUE(drifting.position[0] > 10 && drifting.position[0] < 50) << drifting.position[0];
    EXPECT_FLOAT_EQ(drifting.glow_size, 0);  // only a rebirth changes the glow

    // A frame of half a second would carry a speck past the axis: it stops on it.
    drifting.flare_strength = 0;
    drifting.position[0] = 50;
    frame_time = 0.5f;
    part4_animate(7.5f);
    EXPECT_FLOAT_EQ(drifting.position[0], 10.0f);
    EXPECT_FLOAT_EQ(drifting.position[1], 45.0f);

    // Reborn after ten seconds, the dust has no glow.
    frame_time = 0.05f;
    full.flare_strength = 1.99f;
    part4_animate(12);
    EXPECT_FLOAT_EQ(full.glow_size, 0);
}

TEST_F(WarpPassTest, SparksAndTheHandLightStartAtTheHand) {
    Light &spark = scene->lights[SPARK];
    spark.color[1] = 0.05f;  // - 1.5 x 0.05 goes below 0
    part4_animate(12);
    const float *hand = model_vertex(HAND_VERTEX);
    for (int c = 0; c < 3; c++) {
        EXPECT_LE(std::fabs(spark.position[c] - hand[c]), 1.5f) << c;
        EXPECT_LE(std::fabs(scene->lights[HAND_LIGHT].position[c] - hand[c]), 1.5f) << c;
    }
    EXPECT_TRUE(spark.color[1] > 0.77f && spark.color[1] <= 1.0f) << spark.color[1];
    float intensity = scene->lights[HAND_LIGHT].intensity;
    EXPECT_TRUE(intensity >= 0.8f && intensity < 1.6f) << intensity;
}

TEST_F(WarpPassTest, TheMessiahStopsWhereTheCorridorExpectsHim) {
    // Feet on the floor and the body over the spot, at three moments of the walk.
    const float rows[][4] = {{12, 0, 0, 0}, {24, -100, -5, -320}, {34.99f, -250, -5, -560}};  // t, x, floor, z
    for (const auto &row : rows) {
        part4_animate(row[0]);
        float low = 1e9f, x = 0, z = 0;
        for (int k = 0; k < messiah->vertex_count; k++) {
            const float *p = model_vertex(k);
            low = std::min(low, p[1]);
            x += p[0] / messiah->vertex_count;
            z += p[2] / messiah->vertex_count;
        }
        EXPECT_NEAR(x, row[1], 12.0f) << row[0];
        EXPECT_NEAR(low, row[2], 1.0f) << row[0];
        EXPECT_NEAR(z, row[3], 12.0f) << row[0];
    }
}

TEST_F(WarpPassTest, TheWebSwingsFromWhereItHangsAndStaysInTheCorridor) {
    const Mesh &web = scene->meshes[find_mesh(*scene, "web")];
    const float *v1 = scene->vertices[web.first_vertex + 1].position;
    const float *v2 = scene->vertices[web.first_vertex + 2].position;
    const float hung[4] = {v1[0], v1[1], v2[0], v2[1]};
    part4_animate(26.5f);  // not yet
    EXPECT_EQ(v1[0], hung[0]);
    part4_animate(26.5001f);  // the swing starts where the file hangs them
    const float now[4] = {v1[0], v1[1], v2[0], v2[1]};
    for (int k = 0; k < 4; k++) EXPECT_NEAR(now[k], hung[k], 0.01f) << k;
    for (float t = 26.6f; t < 35; t += 0.1f) {
        part4_animate(t);
        EXPECT_TRUE(v1[0] >= -119.01f && v1[0] <= -38.99f && v2[0] >= -119.01f && v2[0] <= -38.99f) << t;
    }
    float y1 = v1[1];
    part4_animate(28);  // after 27.5 s the heights stay
    EXPECT_EQ(v1[1], y1);
}
