// test_part2.cpp: the mirror room: sparks, ripples, load and log, the credits and the shatter.
#include <gtest/gtest.h>
#include <GL/gl.h>

#include "demo/driver.h"
#include "demo/player.h"
#include "parts/part2_mirror.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/random.h"
#include "support/part_content.h"
#include "support/part_files.h"
#include "texture/texture.h"

namespace {

float &grid_z(std::vector<Vertex> &grid, int i, int j) { return grid[MIRROR_SIDE * i + j].position[2]; }

}  // namespace

TEST(MirrorRoomLogic, ChanceDivisorIsTheWholeSpansPerFrameAndOneForLongFrames) {
    const float cases[][3] = {{2.5f, 0.02f, 125}, {1.0f, 0.02f, 50}, {1.0f, 0.3f, 3}, {1.0f, 1.0f, 1},
                              {1.0f, 1.5f, 1},    {2.5f, 2.6f, 1},   {2.5f, 40.0f, 1}};  // span, frame, divisor
    for (const auto &c : cases) EXPECT_EQ(chance_divisor(c[0], c[1]), int(c[2])) << c[0] << " / " << c[1];
}

TEST(MirrorRoomLogic, ASpawnTakesTheHighestFreeSlotAndDoesNothingWhenNoneIsFree) {
    SparkSlot slots[SPARK_SLOTS];
    for (SparkSlot &s : slots) s = SparkSlot{true, 2.0f, 0.5f};
    SparkSlot &first = slots[0], &last = slots[SPARK_SLOTS - 1];
    first.active = last.active = false;
    EXPECT_TRUE(spawn_spark(slots, 1));
    EXPECT_TRUE(last.active && last.age == 0.0f && last.angle >= 0 && last.angle < 6.2832f);
    EXPECT_TRUE(spawn_spark(slots, 1));
    EXPECT_TRUE(first.active && first.age == 0.0f);

    // Every slot busy: the attempt draws its one number and changes nothing.
    random_reset();
    random_next();
    const int second = random_next();
    random_reset();
    const std::vector<SparkSlot> before(slots, slots + SPARK_SLOTS);
    EXPECT_FALSE(spawn_spark(slots, 1));
    EXPECT_EQ(random_next(), second);
    for (int k = 0; k < SPARK_SLOTS; k++)
        EXPECT_TRUE(slots[k].active && slots[k].age == before[k].age && slots[k].angle == before[k].angle) << k;
}

// The touch point is raised to 60 once per pass through frame 78; the latch opens past 79.
// From 34.3 s the whole surface is disturbed once, away from its rim; at 34.6 s the latch opens.
TEST(MirrorRoomLogic, OneRipplePerPassThroughFrame78AndOneDisturbance) {
    std::vector<Vertex> grid(MIRROR_VERTICES);
    MirrorState state = {};
    const struct {
        float t, frame;
        bool ripple;
    } steps[] = {{29.5f, 77.9f, false}, {30.0f, 78.0f, true},  {30.05f, 78.4f, false}, {30.1f, 78.9f, false},
                 {30.15f, 79.0f, false}, {30.2f, 79.2f, false}, {31.5f, 78.1f, true}};
    for (const auto &s : steps) {
        grid_z(grid, 13, 14) = 0;
        mirror_trigger(state, s.t, s.frame, grid.data());
        EXPECT_EQ(grid_z(grid, 13, 14), s.ripple ? 60.0f : 0.0f) << "t " << s.t << " frame " << s.frame;
    }
    state = {};
    for (Vertex &v : grid) v.position[2] = 0;
    mirror_trigger(state, 34.3f, 0, grid.data());
    EXPECT_TRUE(grid_z(grid, 10, 10) != 0 && grid_z(grid, 0, 10) == 0 && grid_z(grid, 10, 20) == 0);
    for (Vertex &v : grid) v.position[2] = 0;
    mirror_trigger(state, 34.5f, 0, grid.data());
    EXPECT_EQ(grid_z(grid, 10, 10), 0.0f);
    mirror_trigger(state, 34.6f, 78.5f, grid.data());
    EXPECT_FALSE(state.latch);

    // A ripple spreads from the touch in the same pass (row 13 is done first); the rim stays still.
    MirrorState still = {};
    for (Vertex &v : grid) v.position[2] = 0;
    still.grid[0][5] = 3;  // a stale rim velocity is cleared
    grid_z(grid, 13, 14) = 60;
    mirror_ripple_step(still, grid.data());
    EXPECT_EQ(still.grid[0][5], 0.0f);
    EXPECT_TRUE(grid_z(grid, 13, 14) < 60 && grid_z(grid, 14, 14) != 0 && grid_z(grid, 13, 15) != 0);
    for (int k = 0; k < MIRROR_SIDE; k++) EXPECT_TRUE(grid_z(grid, 0, k) == 0 && grid_z(grid, 20, k) == 0) << k;
}

class MirrorRoomTest : public PartTest {
protected:
    void SetUp() override {
        PartTest::SetUp();
        write_part_content({generate_characters, generate_part2}, {"messiah.mdl"}, part2_load);
    }
    void TearDown() override {
        time_table = nullptr;
        time_count = 0;
        for (Scene *&scene : scene_table) scene = nullptr;
        frame_time = 0;
        PartTest::TearDown();
    }
};

TEST_F(MirrorRoomTest, LoadsTheGeneratedRoomAndLogsItsCounts) {
    Scene &scene = *part2_scene();
    const Mesh &mirror = scene.meshes[find_mesh(scene, "mirrorface")];
    const Mesh &model = scene.meshes[find_mesh(scene, "messiah.mdl")];
    EXPECT_EQ(mirror.vertex_count, 441);
    EXPECT_EQ(mirror.face_count, 800);
    EXPECT_EQ(model.first_vertex, mirror.first_vertex + 441);
    EXPECT_EQ(scene.mesh_count, find_mesh(scene, "messiah.mdl") + 1);
    EXPECT_EQ(scene.active_lights[0], 5);  // fill, two torches, lightning, hand

    // The shards' vertices count; every placed mesh of the file has its one key (not the mirror, the model).
    EXPECT_EQ(logged_counts(), (std::vector<int>{scene.mesh_count, scene.vertex_count + 1600, face_total(scene), 264,
                                                 scene.mesh_count - 2, scene.camera_key_count}));
}

TEST_F(MirrorRoomTest, LightningOnLongFramesAndHandSparksUntilTheMessiahIsGoneAt35) {
    Scene &scene = *part2_scene();
    const Mesh &model = scene.meshes[find_mesh(scene, "messiah.mdl")];
    frame_time = 3.0f;  // longer than the lightning's span: every frame flashes
    for (float t : {21.0f, 21.1f, 21.2f}) {
        part2_animate(t);
        EXPECT_TRUE(scene.lights[203].intensity == 2.0f && scene.fog_color[2] == 0.5f) << t;
    }
    frame_time = 0.02f;
    part2_animate(25.0f);
    EXPECT_EQ(scene.lights[263].position[1], -500.0f);
    part2_animate(25.6f);
    const float *hand = scene.vertices[model.first_vertex + 510].position;
    for (int k = 0; k < 3; k++) EXPECT_NEAR(scene.lights[263].position[k], hand[k], 5.0f);
    EXPECT_GT(model.face_count, 0);

    part2_animate(35.0f);
    EXPECT_EQ(model.face_count, 0);
    EXPECT_EQ(model.vertex_count, 0);
    for (int i = 224; i < 264; i++)
        EXPECT_TRUE(scene.lights[i].position[1] == -500.0f && scene.lights[i].intensity == 0.0f) << i;
}

TEST_F(MirrorRoomTest, CreditsShowBelow20SecondsOnlyAndFadeAtBothEnds) {
    Camera &camera = *part2_scene()->camera;
    auto draw = [&](float t) {
        part2_animate(t);
        part2_update_mirror(t);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        part2_draw_credits(t);
    };
    auto lit_pixels = [](int x0, int y0) {
        std::vector<uint8_t> rgba(320 * 240 * 4);
        gl_read_pixels(x0, y0, 320, 240, rgba.data());
        int lit = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
        return lit;
    };
    draw(2.0f);
    EXPECT_GT(lit_pixels(320, 240), 1000);  // upper right quarter
    EXPECT_EQ(lit_pixels(0, 0), 0);
    GLint depth = 0, blend = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depth);
    glGetIntegerv(GL_BLEND_SRC, &blend);
    EXPECT_TRUE(depth == GL_LEQUAL && blend == GL_SRC_ALPHA);
    draw(20.0f);
    EXPECT_EQ(lit_pixels(320, 240), 0);

    const float fades[][2] = {{0.5f, -0.5f}, {2, 0}, {4.25f, -0.75f}, {7.5f, -0.5f}, {10, 0}, {19.75f, -0.75f}, {20, 0}};
    for (const auto &f : fades) {
        draw(f[0]);
        EXPECT_NEAR(camera.fade, f[1], 1e-5) << f[0];
    }
}

TEST_F(MirrorRoomTest, TheShardsKeepTheLastReflection) {
    float times[18];
    for (int k = 0; k < 18; k++) times[k] = k < 2 ? float(k) : 100.0f + k;
    time_table = times;
    time_count = 18;
    Scene &scene = *part2_scene();
    scene_table[1] = &scene;
    int mirror_texture = texture_find("mirror.bmp", false);
    auto mirror_image = [&]() {
        std::vector<uint8_t> rgb(128 * 128 * 3);
        glBindTexture(GL_TEXTURE_2D, GLuint(mirror_texture));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    };

    // Entry 1 starts at 1 s: the mirror shatters at 37 s of its own time.
    const Mesh &mirror = scene.meshes[find_mesh(scene, "mirrorface")];
    play_entry(1, 1.0f + 36.9f, true);
    EXPECT_EQ(mirror.vertex_count, 441);
    std::vector<uint8_t> last = mirror_image();
    for (float t : {37.0f, 37.2f, 38.5f}) {
        play_entry(1, 1.0f + t, true);
        EXPECT_EQ(mirror_image(), last) << t;
        EXPECT_EQ(mirror.vertex_count, 1600) << t;
    }
    // The shards take the mirror's place at the end of the vertex table.
    EXPECT_EQ(scene.vertex_count, mirror.first_vertex + 1600);
    for (int f = 0; f < 800; f++)
        ASSERT_TRUE(mirror.faces[f].texture == mirror_texture && mirror.faces[f].two_sided == 1 && mirror.faces[f].c < 1600) << f;
}
