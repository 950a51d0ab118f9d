// test_part2.cpp: the mirror room: the chance divisor, the spark slots and the ripple latch on
// their own; then the part on its generated content: load counts and log lines, the messiah
// gone at 35 s, the credits' window, and the shatter keeping the last reflection.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "demo/driver.h"
#include "parts/part2_mirror.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "render/render.h"
#include "scene/random.h"
#include "support/gl_context.h"
#include "content.h"
#include "scene/model.h"
#include "support/scratch_dir.h"
#include "texture/texture.h"
#include "writers/bmp_writer.h"

namespace {

float &grid_z(std::vector<Vertex> &grid, int i, int j) { return grid[MIRROR_SIDE * i + j].position[2]; }

// The characters and the mirror room's files from their generators (made once), the models
// loaded and the renderer's working arrays made.
void write_room_files() {
    static ContentSink sink;
    if (sink.files.empty()) {
        generate_characters(sink);
        generate_part2(sink);
    }
    for (const ContentFile &file : sink.files) ASSERT_TRUE(write_file(file.name, file.bytes));
    free_model_table();
    create_model_table();
    load_model("messiah.mdl");
    free_working_arrays();
    allocate_working_arrays();
}

std::vector<std::string> log_lines() {
    std::ifstream in("VKB_Kelp.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(MirrorRoomLogic, ChanceDivisorIsTheWholeSpansPerFrameAndOneForLongFrames) {
    struct Case {
        float span, d;
        int divisor;
    } cases[] = {
        {2.5f, 0.02f, 125}, {1.0f, 0.02f, 50}, {1.0f, 0.3f, 3}, {1.0f, 1.0f, 1},
        {1.0f, 1.5f, 1},    {2.5f, 2.6f, 1},   {2.5f, 40.0f, 1},
    };
    for (const Case &c : cases) EXPECT_EQ(chance_divisor(c.span, c.d), c.divisor) << c.span << " / " << c.d;
}

TEST(MirrorRoomLogic, ASpawnTakesTheHighestFreeSlotAndDoesNothingWhenNoneIsFree) {
    SparkSlot slots[SPARK_SLOTS];
    for (SparkSlot &s : slots) s = SparkSlot{true, 2.0f, 0.5f};
    slots[4].active = slots[11].active = false;

    EXPECT_TRUE(spawn_spark(slots, 1));
    EXPECT_TRUE(slots[11].active);
    EXPECT_EQ(slots[11].age, 0.0f);
    EXPECT_GE(slots[11].angle, 0.0f);
    EXPECT_LT(slots[11].angle, 6.2832f);
    EXPECT_TRUE(spawn_spark(slots, 1));
    EXPECT_TRUE(slots[4].active);

    // Every slot busy: the attempt draws its one number and changes nothing.
    random_reset();
    random_next();
    int second = random_next();
    random_reset();
    SparkSlot before[SPARK_SLOTS];
    std::copy(slots, slots + SPARK_SLOTS, before);
    EXPECT_FALSE(spawn_spark(slots, 1));
    EXPECT_EQ(random_next(), second);
    for (int k = 0; k < SPARK_SLOTS; k++) {
        EXPECT_TRUE(slots[k].active);
        EXPECT_EQ(slots[k].age, before[k].age);
        EXPECT_EQ(slots[k].angle, before[k].angle);
    }
}

TEST(MirrorRoomLogic, OneRipplePerPassThroughFrame78) {
    std::vector<Vertex> grid(MIRROR_VERTICES);
    MirrorState state = {};
    struct Step {
        float t, frame;
        bool ripple;  // the touch point is raised to 60
    } steps[] = {
        {29.5f, 77.9f, false}, {30.0f, 78.0f, true}, {30.05f, 78.4f, false}, {30.1f, 78.9f, false},
        {30.15f, 79.0f, false},  // not past 79 yet
        {30.2f, 79.2f, false},   // past 79: the latch opens
        {31.5f, 78.1f, true},
    };
    for (const Step &s : steps) {
        grid_z(grid, 13, 14) = 0;
        mirror_trigger(state, s.t, s.frame, grid.data());
        EXPECT_EQ(grid_z(grid, 13, 14), s.ripple ? 60.0f : 0.0f) << "t " << s.t << " frame " << s.frame;
    }
}

TEST(MirrorRoomLogic, TheSurfaceIsDisturbedOnceAndTheLatchOpensAt34Point6) {
    std::vector<Vertex> grid(MIRROR_VERTICES);
    MirrorState state = {};
    mirror_trigger(state, 34.3f, 0, grid.data());
    EXPECT_NE(grid_z(grid, 10, 10), 0.0f);
    EXPECT_EQ(grid_z(grid, 0, 10), 0.0f);
    EXPECT_EQ(grid_z(grid, 10, 20), 0.0f);
    for (Vertex &v : grid) v.position[2] = 0;
    mirror_trigger(state, 34.5f, 0, grid.data());
    EXPECT_EQ(grid_z(grid, 10, 10), 0.0f);
    mirror_trigger(state, 34.6f, 78.5f, grid.data());
    EXPECT_FALSE(state.latch);
}

TEST(MirrorRoomLogic, ARippleSpreadsFromTheTouchAndTheRimStaysStill) {
    std::vector<Vertex> grid(MIRROR_VERTICES);
    MirrorState state = {};
    state.grid[0][5] = 3;  // a stale rim velocity is cleared
    grid_z(grid, 13, 14) = 60;
    mirror_ripple_step(state, grid.data());
    EXPECT_EQ(state.grid[0][5], 0.0f);
    EXPECT_LT(grid_z(grid, 13, 14), 60.0f);
    EXPECT_NE(grid_z(grid, 14, 14), 0.0f);  // reached in the same pass (row 13 is done first)
    EXPECT_NE(grid_z(grid, 13, 15), 0.0f);
    for (int k = 0; k < MIRROR_SIDE; k++) {
        EXPECT_EQ(grid_z(grid, 0, k), 0.0f);
        EXPECT_EQ(grid_z(grid, 20, k), 0.0f);
    }
}

class MirrorRoomTest : public GlContextTest {
protected:
    void SetUp() override {
        GlContextTest::SetUp();
        write_room_files();
        statistics = true;
        part2_load();
        statistics = false;
    }
    void TearDown() override {
        time_table = nullptr;
        time_count = 0;
        for (Scene *&scene : scene_table) scene = nullptr;
        frame_time = 0;
        GlContextTest::TearDown();
    }
    ScratchDir dir;
};

TEST_F(MirrorRoomTest, LoadsTheGeneratedRoomAndLogsItsCounts) {
    Scene &scene = *part2_scene();
    const Mesh &mirror = scene.meshes[find_mesh(scene, "mirrorface")];
    const Mesh &model = scene.meshes[find_mesh(scene, "messiah.mdl")];
    EXPECT_EQ(mirror.vertex_count, 441);
    EXPECT_EQ(mirror.face_count, 800);
    EXPECT_EQ(mirror.lit, 0);
    EXPECT_EQ(model.first_vertex, mirror.first_vertex + 441);
    EXPECT_EQ(scene.mesh_count, find_mesh(scene, "messiah.mdl") + 1);
    EXPECT_EQ(scene.light_count, 264);
    EXPECT_EQ(scene.active_lights[0], 5);  // fill, two torches, lightning, hand
    EXPECT_GE(scene.camera_key_count, 2);
    EXPECT_LE(scene.camera_key_count, 17);
    EXPECT_FLOAT_EQ(scene.camera->zmax, 800.0f);

    int faces = 0;
    for (int m = 0; m < scene.mesh_count; m++) faces += scene.meshes[m].face_count;
    std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "3dstest: meshes " + std::to_string(scene.mesh_count));
    EXPECT_EQ(lines[1], "3dstest: verts  " + std::to_string(scene.vertex_count + 1600));
    EXPECT_EQ(lines[2], "3dstest: faces  " + std::to_string(faces));
    EXPECT_EQ(lines[3], "3dstest: lights 264");
    // Every placed mesh of the file has its one key; the part adds the mirror and the model.
    EXPECT_EQ(lines[4], "3dstest: anims  " + std::to_string(scene.mesh_count - 2));
    EXPECT_EQ(lines[5], "3dstest: cams   " + std::to_string(scene.camera_key_count));
}

TEST_F(MirrorRoomTest, HandSparksFollowTheHandUntilTheMessiahIsGoneAt35) {
    Scene &scene = *part2_scene();
    const Mesh &model = scene.meshes[find_mesh(scene, "messiah.mdl")];
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
    for (int i = 224; i < 264; i++) {
        EXPECT_EQ(scene.lights[i].position[1], -500.0f) << i;
        EXPECT_EQ(scene.lights[i].intensity, 0.0f) << i;
    }
}

TEST_F(MirrorRoomTest, AFrameLongerThanTheLightningSpanFlashes) {
    Scene &scene = *part2_scene();
    frame_time = 3.0f;
    for (float t : {21.0f, 21.1f, 21.2f}) {
        part2_animate(t);
        EXPECT_EQ(scene.lights[203].intensity, 2.0f);
        EXPECT_EQ(scene.fog_color[2], 0.5f);
    }
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
    EXPECT_EQ(camera.fade, 0.0f);
    GLint depth = 0, blend = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depth);
    glGetIntegerv(GL_BLEND_SRC, &blend);
    EXPECT_EQ(depth, GL_LEQUAL);
    EXPECT_EQ(blend, GL_SRC_ALPHA);

    draw(20.0f);
    EXPECT_EQ(lit_pixels(320, 240), 0);
    EXPECT_EQ(camera.fade, 0.0f);

    struct Fade {
        float t, fade;
    } fades[] = {{0.5f, -0.5f}, {4.25f, -0.75f}, {7.5f, -0.5f}, {10.0f, 0.0f}, {19.75f, -0.75f}};
    for (const Fade &f : fades) {
        draw(f.t);
        EXPECT_NEAR(camera.fade, f.fade, 1e-5) << f.t;
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

    draw_entry(1, 1.0f + 36.9f);
    std::vector<uint8_t> last = mirror_image();
    for (float t : {37.0f, 37.2f, 38.5f}) {
        draw_entry(1, 1.0f + t);
        EXPECT_EQ(mirror_image(), last) << t;
    }
    const Mesh &mirror = scene.meshes[find_mesh(scene, "mirrorface")];
    EXPECT_EQ(mirror.vertex_count, 1600);
    int total = 0;
    for (int m = 0; m < scene.mesh_count; m++) total += scene.meshes[m].vertex_count;
    EXPECT_EQ(scene.vertex_count, total);
    EXPECT_EQ(scene.vertex_count, mirror.first_vertex + 1600);
    for (int f = 0; f < 800; f++) {
        ASSERT_EQ(mirror.faces[f].texture, mirror_texture);
        ASSERT_EQ(mirror.faces[f].two_sided, 1);
        ASSERT_LT(mirror.faces[f].c, 1600);
    }
}
