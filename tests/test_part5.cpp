// test_part5.cpp: the oil room on its generated content: dust, splashes, the flying patch and the flares.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "parts/parts.h"
#include "render/clock.h"
#include "scene/random.h"
#include "support/part_content.h"
#include "support/part_files.h"
#include "texture/texture.h"

namespace {

enum { DUST_FIRST = 1, DUST_COUNT = 400, CIRCLE_FIRST = 401, CIRCLE_COUNT = 80, GRID = 20 };

const Mesh &mesh(const char *name) {
    Scene &s = *part5_scene();
    return s.meshes[find_mesh(s, name)];
}

Vertex *grid_vertex(int row, int column) {
    return part5_scene()->vertices + mesh("surface").first_vertex + GRID * row + column;
}

// Grey level 0..1 of a texture at texture coordinates (u, v), nearest texel (rows bottom-up).
float texel_grey(int texture, float u, float v) {
    const TextureRecord &t = texture_table[texture];
    int x = std::min(t.width - 1, int(u * t.width)), y = std::min(t.height - 1, int(v * t.height));
    const uint8_t *p = t.pixels + (size_t(y) * t.width + x) * 4;
    return (0.3f * p[0] + 0.59f * p[1] + 0.11f * p[2]) / 255;
}

}  // namespace

class OilRoomTest : public PartTest {
protected:
    void SetUp() override {
        PartTest::SetUp();
        random_reset();
        frame_time = 1 / 30.0f;
        write_part_content({generate_characters, generate_part5}, {"messiah.mdl"}, part5_load);
    }
};

TEST_F(OilRoomTest, LoadsItsContentAndLogsTheCounts) {
    Scene &scene = *part5_scene();
    EXPECT_EQ(logged_counts().at(2), face_total(scene));
    // The camera track runs through the 48 s the room is on screen.
    ASSERT_GE(scene.camera_key_count, 2);
    EXPECT_GE(scene.camera_keys[scene.camera_key_count - 1].frame / scene.frame_rate, 48.0f);
    // The room light and the warm light at the hand are the two that light meshes.
    ASSERT_EQ(scene.active_lights[0], 2);
    EXPECT_EQ(scene.active_lights[1], 0);
    EXPECT_EQ(scene.active_lights[2], 520);
    const Mesh &surface = mesh("surface");
    EXPECT_EQ(surface.vertex_count, 400);
    EXPECT_EQ(&surface, &scene.meshes[scene.mesh_count - 1]);
}

TEST_F(OilRoomTest, DustShowsFromTwentyOneAndGoesBy42_7) {
    const float rows[][2] = {{5, 0}, {20.9f, 0}, {23, 160}, {30, 400}, {38, 280}, {42.8f, 0}, {47, 0}};
    for (const auto &row : rows) {
        part5_animate(row[0]);
        int shown = 0;  // motes with a glow
        for (int i = DUST_FIRST; i < DUST_FIRST + DUST_COUNT; i++) shown += part5_scene()->lights[i].glow_size == 5.0f;
        EXPECT_EQ(shown, int(row[1])) << row[0];
    }
}

TEST_F(OilRoomTest, OnlyAPivotInsideTheOilSplashes) {
    // Before the blocks fall, put Fragment03's pivot at a height and run one frame.
    for (float pivot_y : {0.0f, -20.0f, -0.5f, -19.5f, 10.0f}) {  // the oil lies between 0 and -20
        part5_load();  // fresh arrays, still oil
        part5_scene()->meshes[find_mesh(*part5_scene(), "Fragment03")].pivot[1] = pivot_y;
        part5_animate(5);
        EXPECT_EQ(grid_vertex(11, 10)->position[1] < 0, pivot_y < 0 && pivot_y > -20) << pivot_y;
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
                ASSERT_TRUE(!border || y == 0) << t << " " << i << " " << j;
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
    ASSERT_TRUE(patch.size() >= 10u && patch.size() <= 40u) << patch.size();
    part5_animate(19.9f);
    EXPECT_GT(v[patch[0]].position[1], -900);
    part5_animate(21.5f);
    for (int k : patch) EXPECT_LT(v[k].position[1], -900);
    // The sparks are put away with the patch gone.
    EXPECT_FLOAT_EQ(part5_scene()->lights[500].position[1], -500);
}

TEST_F(OilRoomTest, FlaresGrowToTwentyRedAndSixtyDarkAndRise) {
    int red = 0, dark = 0;
    for (float t = 0; t < 48; t += 1 / 30.0f) {
        part5_animate(t);
        red = dark = 0;
        for (int i = CIRCLE_FIRST; i < CIRCLE_FIRST + CIRCLE_COUNT; i++) {
            const Light &l = part5_scene()->lights[i];
            if (l.glow_size == 7.0f) (l.flare_strength > 0 ? red : dark)++;
        }
        ASSERT_LE(dark, 60) << t;
        ASSERT_EQ(red, dark / 3) << t;
    }
    EXPECT_EQ(dark, 60);
    double height = 0;
    for (int i = CIRCLE_FIRST; i < CIRCLE_FIRST + CIRCLE_COUNT; i++) height += part5_scene()->lights[i].position[1];
    EXPECT_GT(height / float(CIRCLE_COUNT), 400);
}

TEST_F(OilRoomTest, StillOilIsDarkAndTheSplashesTiltItIntoGlints) {
    // The surface maps by its normal's tilt: still oil at the centre, a splash's slopes up
    // to about 0.1 from it.
    int oil = mesh("surface").faces[0].texture;
    EXPECT_LT(texel_grey(oil, 0.5f, 0.5f), 0.1f);
    float brightest = 0;
    for (int k = 0; k < 32; k++)
        for (float r : {0.03f, 0.05f, 0.07f})
            brightest = std::max(brightest, texel_grey(oil, 0.5f + r * std::cos(k * 0.196f), 0.5f + r * std::sin(k * 0.196f)));
    EXPECT_GT(brightest, 0.5f);
}

TEST_F(OilRoomTest, TheShaftIsLitAtItsFootAndDarkAtItsTop) {
    // The unlit "tunnel01" is the shaft the flares rise up: bright where it opens over the
    // pool, black at its top.
    const Mesh &shaft = mesh("tunnel01");
    ASSERT_EQ(shaft.lit, 0);
    const Vertex *v = part5_scene()->vertices + shaft.first_vertex;
    const Vertex *foot = v, *top = v;
    for (int k = 0; k < shaft.vertex_count; k++) {
        if (v[k].position[1] < foot->position[1]) foot = v + k;
        if (v[k].position[1] > top->position[1]) top = v + k;
    }
    int texture = shaft.faces[0].texture;
    EXPECT_GT(top->position[1] - foot->position[1], 300);
    float at_foot = 0, at_top = 0;  // the brightest across a course
    for (float u = 0; u < 1; u += 1 / 16.0f) {
        at_foot = std::max(at_foot, texel_grey(texture, u, foot->v + 0.01f));
        at_top = std::max(at_top, texel_grey(texture, u, std::min(top->v, 0.99f)));
    }
    EXPECT_GT(at_foot, 0.4f);
    EXPECT_LT(at_top, 0.03f);
}
