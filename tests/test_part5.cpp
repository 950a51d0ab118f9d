// test_part5.cpp: the oil room loaded from its generated content: counts and log lines,
// the dust that shows, the splashes and the oil's border, the flying patch and the flares.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/random.h"
#include "support/gl_context.h"
#include "content.h"
#include "scene/model.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"

namespace {

enum { DUST_FIRST = 1, DUST_COUNT = 400, CIRCLE_FIRST = 401, CIRCLE_COUNT = 80, GRID = 20 };

std::vector<std::string> log_lines() {
    std::ifstream in("VKB_Kelp.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The characters and the oil room's files, generated once, written into the working
// directory; the messiah loaded into a fresh model table.
void write_oil_room_files() {
    static ContentSink sink;
    if (sink.files.empty()) {
        generate_characters(sink);
        generate_part5(sink);
    }
    for (const ContentFile &file : sink.files) ASSERT_TRUE(write_file(file.name, file.bytes));
    free_model_table();
    create_model_table();
    load_model("messiah.mdl");
}

const Mesh &mesh(const char *name) {
    Scene &s = *part5_scene();
    return s.meshes[find_mesh(s, name)];
}

Vertex *grid_vertex(int row, int column) {
    return part5_scene()->vertices + mesh("surface").first_vertex + GRID * row + column;
}

// Dust motes drawn (a glow), red and dark circling flares in use.
int visible_motes() {
    int n = 0;
    for (int i = DUST_FIRST; i < DUST_FIRST + DUST_COUNT; i++) n += part5_scene()->lights[i].glow_size == 5.0f;
    return n;
}
void count_flares(int &red, int &dark) {
    red = dark = 0;
    for (int i = CIRCLE_FIRST; i < CIRCLE_FIRST + CIRCLE_COUNT; i++) {
        const Light &l = part5_scene()->lights[i];
        if (l.glow_size != 7.0f) continue;
        if (l.flare_strength > 0) red++;
        else dark++;
    }
}

}  // namespace

class OilRoomTest : public GlContextTest {
protected:
    ScratchDir dir;
    void SetUp() override {
        GlContextTest::SetUp();
        write_oil_room_files();
        random_reset();
        frame_time = 1 / 30.0f;
        statistics = true;
        part5_load();
        statistics = false;
    }
    void TearDown() override {
        frame_time = 0;
        GlContextTest::TearDown();
    }
};

TEST_F(OilRoomTest, LoadsItsContentAndLogsTheCounts) {
    Scene &scene = *part5_scene();
    std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "oil: meshes " + std::to_string(scene.mesh_count));
    EXPECT_EQ(lines[1], "oil: verts  " + std::to_string(scene.vertex_count));
    int faces = 0;
    for (int m = 0; m < scene.mesh_count; m++) faces += scene.meshes[m].face_count;
    EXPECT_EQ(lines[2], "oil: faces  " + std::to_string(faces));
    EXPECT_EQ(lines[3], "oil: lights 521");
    EXPECT_EQ(lines[5], "oil: cams   " + std::to_string(scene.camera_key_count));
    // The camera track runs through the 48 s the room is on screen.
    ASSERT_GE(scene.camera_key_count, 2);
    EXPECT_GE(scene.camera_keys[scene.camera_key_count - 1].frame / scene.frame_rate, 48.0f);
    EXPECT_EQ(scene.light_count, 521);
    // The room light and the warm light at the hand are the two that light meshes.
    ASSERT_EQ(scene.active_lights[0], 2);
    EXPECT_EQ(scene.active_lights[1], 0);
    EXPECT_EQ(scene.active_lights[2], 520);
    EXPECT_FLOAT_EQ(scene.lights[0].position[1], -20);

    const Mesh &surface = mesh("surface");
    EXPECT_EQ(surface.vertex_count, 400);
    EXPECT_EQ(surface.face_count, 722);
    EXPECT_EQ(&surface, &scene.meshes[scene.mesh_count - 1]);
    EXPECT_EQ(mesh("tunnel01").lit, 0);
    // Each block hangs with its pivot at the height it falls from, over its splash point.
    const int hit[5][2] = {{8, 11}, {7, 13}, {11, 10}, {11, 9}, {10, 7}};
    for (int f = 0; f < 5; f++) {
        std::string name = "Fragment0" + std::to_string(f + 1);
        const Mesh &block = mesh(name.c_str());
        SCOPED_TRACE(name);
        EXPECT_FLOAT_EQ(block.pivot[1], 354);
        EXPECT_EQ(block.faces[0].two_sided, 1);
        const Vertex *under = grid_vertex(hit[f][0], hit[f][1]);
        double x = 0, z = 0;
        for (int k = 0; k < block.vertex_count; k++) {
            x += scene.vertices[block.first_vertex + k].position[0];
            z += scene.vertices[block.first_vertex + k].position[2];
        }
        EXPECT_NEAR(x / block.vertex_count, under->position[0], 1);
        EXPECT_NEAR(z / block.vertex_count, under->position[2], 1);
    }
}

TEST_F(OilRoomTest, DustShowsFromTwentyOneAndGoesBy42_7) {
    const struct {
        float t;
        int visible;
    } rows[] = {{5, 0}, {20.9f, 0}, {23, 160}, {30, 400}, {38, 280}, {42.8f, 0}, {47, 0}};
    for (const auto &row : rows) {
        part5_animate(row.t);
        EXPECT_EQ(visible_motes(), row.visible) << row.t;
    }
}

TEST_F(OilRoomTest, OnlyAPivotInsideTheOilSplashes) {
    // Before the blocks fall, put Fragment03's pivot at a height and run one frame.
    const struct {
        float pivot_y;
        bool splash;
    } rows[] = {{0, false}, {-20, false}, {-0.5f, true}, {-19.5f, true}, {10, false}};
    for (const auto &row : rows) {
        part5_load();  // fresh arrays, still oil
        Mesh &block = part5_scene()->meshes[find_mesh(*part5_scene(), "Fragment03")];
        block.pivot[1] = row.pivot_y;
        part5_animate(5);
        EXPECT_EQ(grid_vertex(11, 10)->position[1] < 0, row.splash) << row.pivot_y;
    }
}

TEST_F(OilRoomTest, BlocksFallIntoTheOilAndTheBorderStaysPut) {
    int splashed = 0;
    float lowest = 0;
    for (float t = 11; t < 20; t += 1 / 30.0f) {
        part5_animate(t);
        for (int i = 0; i < GRID; i++)
            for (int j = 0; j < GRID; j++) {
                float y = grid_vertex(i, j)->position[1];
                bool border = i == 0 || j == 0 || i == GRID - 1 || j == GRID - 1;
                if (border) {
                    ASSERT_EQ(y, 0) << t << " " << i << " " << j;
                }
                lowest = std::min(lowest, y);
            }
        splashed += grid_vertex(8, 11)->position[1] != 0;
    }
    EXPECT_GT(splashed, 0);
    EXPECT_LT(lowest, -1);
    EXPECT_LT(mesh("Fragment05").pivot[1], -100);  // all the way through
}

TEST_F(OilRoomTest, PatchFliesOffAtTwentyAndIsGoneAfter) {
    const Mesh &model = mesh("messiah.mdl");
    const Vertex *v = part5_scene()->vertices + model.first_vertex;
    std::vector<int> patch;
    for (int k = 0; k < model.vertex_count; k++)
        if (v[k].u > 0.56640625f && v[k].u < 0.64453125f && v[k].v > 0.5234375f && v[k].v < 0.63671875f)
            patch.push_back(k);
    EXPECT_GE(patch.size(), 10u);
    EXPECT_LE(patch.size(), 40u);
    part5_animate(19.9f);
    float before = v[patch[0]].position[0];
    part5_animate(20.5f);
    EXPECT_LT(v[patch[0]].position[0], before - 50);
    part5_animate(21.5f);
    for (int k : patch) EXPECT_LT(v[k].position[1], -900);
    // The sparks are put away with the patch gone.
    EXPECT_FLOAT_EQ(part5_scene()->lights[500].position[1], -500);
}

TEST_F(OilRoomTest, FlaresGrowToTwentyRedAndSixtyDarkAndRise) {
    int red = 0, dark = 0;
    for (float t = 0; t < 48; t += 1 / 30.0f) {
        part5_animate(t);
        count_flares(red, dark);
        ASSERT_LE(dark, 60) << t;
        ASSERT_EQ(red, dark / 3) << t;
    }
    EXPECT_EQ(dark, 60);
    double height = 0;
    for (int i = CIRCLE_FIRST; i < CIRCLE_FIRST + CIRCLE_COUNT; i++) height += part5_scene()->lights[i].position[1];
    EXPECT_GT(height / float(CIRCLE_COUNT), 400);
}
