// test_part9.cpp: the light ball: the two key paths, the warp, the gathering, the sparks and the pull.
#include <gtest/gtest.h>

#include <cmath>

#include "parts/part9.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/random.h"
#include "support/part_content.h"
#include "support/part_files.h"

namespace {

// A key table from frames alone; key i sits at (i, 10 i, 100 i) in the file's frame.
std::vector<ObjectKey> keys_at(const std::vector<float> &frames) {
    std::vector<ObjectKey> keys(frames.size());
    for (size_t i = 0; i < frames.size(); i++) keys[i] = ObjectKey{frames[i], {float(i), 10.0f * i, 100.0f * i}, {}, 0, {}};
    return keys;
}

float distance(const float *p, const float *q) { return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]); }

}  // namespace

TEST(LightBallPaths, KeyRangesFromTheHeadOfTheTable) {
    const struct {
        const char *what;
        std::vector<float> frames;
        PathRange a, b;
    } cases[] = {
        {"two paths, then static meshes", {0, 5, 9, 0, 3, 7, 8, 0, 0}, {0, 2}, {3, 6}},
        {"two frame-0 keys before each path", {0, 0, 4, 0, 0, 6}, {1, 2}, {4, 5}},
        {"no second path", {0, 5, 9}, {0, 2}, {2, 2}},
        {"second path without moving keys", {0, 5, 0, 0}, {0, 1}, {3, 3}},
        {"no frame-0 key at the start", {3, 6, 0, 2}, {0, 1}, {2, 3}},
        {"empty table", {}, {-1, -1}, {-1, -1}},
    };
    for (const auto &c : cases) {
        std::vector<ObjectKey> keys = keys_at(c.frames);
        PathRanges r = find_path_ranges(keys.data(), int(keys.size()));
        EXPECT_TRUE(r.a.first == c.a.first && r.a.last == c.a.last && r.b.first == c.b.first && r.b.last == c.b.last)
            << c.what << ": " << r.a.first << ".." << r.a.last << ", " << r.b.first << ".." << r.b.last;
    }
}

TEST(LightBallPaths, BlendsKeysAndHoldsTheEnds) {
    std::vector<ObjectKey> keys = keys_at({0, 2, 6, 0});
    const PathRange range = {0, 2};
    struct {
        float t, key;  // expected point: the blend of key floor(key) and the next
    } cases[] = {{0, 0}, {1, 0.5f}, {2, 1}, {5, 1.75f}, {6, 2}, {60, 2}, {-1, 0}};
    for (const auto &c : cases) {
        float p[3];
        path_point(keys.data(), range, c.t, p);
        // (x, z, -y) of the file's position (key, 10 key, 100 key).
        EXPECT_FLOAT_EQ(p[0], c.key) << c.t;
        EXPECT_FLOAT_EQ(p[1], 100 * c.key) << c.t;
        EXPECT_FLOAT_EQ(p[2], -10 * c.key) << c.t;
    }
    float p[3] = {1, 1, 1};
    path_point(nullptr, PathRange{-1, -1}, 3, p);
    EXPECT_EQ(p[0] + p[1] + p[2], 0.0f);
}

class LightBallTest : public PartTest {
protected:
    Scene *scene = nullptr;
    int F = 0;  // lights from the file
    void SetUp() override {
        PartTest::SetUp();
        write_part_content({generate_characters, generate_part4 /* "warp.bmp" */, generate_part9},
                           {"messiah.mdl", "father.mdl", "wolfguy.mdl"}, part9_load);
        scene = part9_scene();
        F = scene->light_count - 160;
        random_reset();
    }
    Light &light(int offset) { return scene->lights[F + offset]; }
};

TEST_F(LightBallTest, LoadsTheNightWithItsLightsWarpAndFathers) {
    const std::vector<int> counts = logged_counts();
    const int anims = counts.at(4);
    EXPECT_EQ(counts, (std::vector<int>{scene->mesh_count, scene->vertex_count, face_total(*scene), scene->light_count, anims,
                                        scene->camera_key_count}));

    // The scene's paths lead its key table; the rest are the loaded meshes' single keys.
    PathRanges r = find_path_ranges(scene->object_keys, anims);
    EXPECT_EQ(anims - (r.b.last + 1), scene->mesh_count - 4);  // the warp and three fathers are appended
    EXPECT_NEAR(scene->object_keys[r.a.last].frame, 47, 0.5);  // seconds, after the division
    EXPECT_NEAR(scene->object_keys[r.b.last].frame, 68, 0.5);
    EXPECT_GE(scene->camera_keys[scene->camera_key_count - 1].frame / scene->frame_rate, 68.0f);

    EXPECT_EQ(F, 1);
    EXPECT_EQ(scene->active_lights[0], 3);  // light 0, the ball's light and the red light
    const Mesh &warp = scene->meshes[find_mesh(*scene, "warp")];
    EXPECT_EQ(warp.vertex_count, 32);
    EXPECT_EQ(warp.faces[31].c, 0);  // the tube closes on itself
    for (const char *name : {"1father.mdl", "2father.mdl", "3father.mdl"})
        EXPECT_GT(scene->meshes[find_mesh(*scene, name)].face_count, 0) << name;
}

TEST_F(LightBallTest, GathersTheBallAndOpensTheWarp) {
    part9_animate(2);
    EXPECT_FLOAT_EQ(scene->camera->glow_alpha, 0.5f);
    EXPECT_EQ(light(79).intensity, 0.0f);  // no light gathered yet
    part9_animate(20.25f);
    EXPECT_FLOAT_EQ(scene->camera->fade, 0.5f);

    part9_animate(25);
    for (int i = 0; i < 79; i++) EXPECT_EQ(light(i).glow_size, i < 8 ? 7.0f : 0.0f) << i;
    float ball = light(79).intensity * 79 / 8;
    EXPECT_TRUE(ball >= 1.5f - 1e-5f && ball <= 2.19f + 1e-5f) << ball;
    // The swarm lies on a sphere of radius 30 around the ball.
    EXPECT_NEAR(distance(light(30).position, light(79).position), 30, 1e-3);

    const Mesh &warp = scene->meshes[find_mesh(*scene, "warp")];
    EXPECT_FLOAT_EQ(scene->vertices[warp.first_vertex + 1].v, 1 - 25.0f);
    part9_animate(27);
    EXPECT_FLOAT_EQ(warp.faces[5].alpha, 1.0f);  // 1 + 0, clamped
    part9_animate(34);
    EXPECT_EQ(light(78).glow_size, 1.3f);
    part9_animate(32);
    EXPECT_EQ(warp.faces[5].alpha, 0.0f);
}

TEST_F(LightBallTest, SparksFlyToTheSwellingRedBall) {
    part9_animate(45);
    const float *pb = light(159).position;
    for (int i = 80; i < 158; i++) EXPECT_NEAR(distance(light(i).position, pb), 42.5f, 1e-3) << i;
    EXPECT_NEAR(light(85).glow_size, 11.1667f, 1e-4);
    EXPECT_EQ(light(158).position[0], 0.0f);  // the last shadow is never placed
    EXPECT_FLOAT_EQ(light(79).intensity, 0.5f);

    // At 45 s the first 23 sparks (lights 78 down to 56) have arrived and gone out; the next
    // ones are on their way with a fading flare; the first lights still glow on the ball.
    EXPECT_TRUE(light(78).glow_size == 0 && light(56).glow_size == 0 && light(55).glow_size == 7.0f);
    float f = (5 - 7.0f * 23 / 79) / 3;  // light 55, in flight
    EXPECT_NEAR(light(55).flare_strength, 1 - f, 1e-5);
    EXPECT_TRUE(light(0).glow_size == 7.0f && light(0).flare_strength == 1.0f);

    part9_animate(51);
    for (int i = 0; i < 80; i++) EXPECT_TRUE(light(i).glow_size == 0.0f && light(i).intensity == 0.0f) << i;
}

TEST_F(LightBallTest, PullsTheSceneIntoTheRedBallFromTheLastVertex) {
    part9_animate(57);
    int n = scene->vertex_count;
    const float *v0 = scene->vertices[0].position, first[3] = {v0[0], v0[1], v0[2]};
    const float *last = scene->vertices[n - 1].position;
    const float before[3] = {last[0], last[1], last[2]};
    part9_animate(58);
    EXPECT_EQ(scene->scene_fade, 0.0f);
    float keep = 1 - 1.5f * frame_delta();
    const float *pb = light(159).position;
    for (int k = 0; k < 3; k++) EXPECT_NEAR(last[k], keep * (before[k] - pb[k]) + pb[k], 1e-3) << k;
    for (int k = 0; k < 3; k++) EXPECT_EQ(scene->vertices[0].position[k], first[k]);  // its turn comes near 67 s
    part9_animate(67.5f);
    EXPECT_NE(scene->vertices[0].position[0], first[0]);
    // A frame longer than 2/3 s brings the pulled vertices into the ball, never through it.
    frame_time = 1.0f;
    part9_animate(68);
    frame_time = 0;
    for (int k = 0; k < 3; k++) EXPECT_EQ(last[k], pb[k]) << k;
}
