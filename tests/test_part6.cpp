// test_part6.cpp: the greetings: the slides and fade, the blob and its shadow, the flicker, bad files.
#include <gtest/gtest.h>

#include <cmath>

#include "parts/parts.h"
#include "render/clock.h"
#include "support/part_content.h"
#include "support/part_files.h"
#include "texture/texture.h"
#include "writers/bmp_writer.h"
#include "writers/writer_3ds.h"

class GreetingsTest : public PartTest {
protected:
    Scene *scene = nullptr;
    int wall = -1, beam = -1, shadow = -1;

    void SetUp() override {
        PartTest::SetUp();
        frame_time = 1.0f / 30;
        write_part_content({generate_part6, [](ContentSink &sink) { sink.add("cutter.bmp", bmp_encode_24(Picture(8, 8))); }}, {},
                           part6_load);
        scene = part6_scene();
        wall = find_mesh(*scene, "wall");
        beam = find_mesh(*scene, "beam");
        shadow = find_mesh(*scene, "shadow");
    }
    const Mesh &mesh(int m) const { return scene->meshes[m]; }
    const Vertex &vertex(int m, int k) const { return scene->vertices[mesh(m).first_vertex + k]; }
};

TEST_F(GreetingsTest, LoadsTheGeneratedCellarAndLogsItsCounts) {
    EXPECT_EQ(logged_counts(), (std::vector<int>{scene->mesh_count, scene->vertex_count, face_total(*scene), scene->light_count,
                                                 scene->mesh_count /* one key per mesh */, scene->camera_key_count}));

    // Only the dim light is active.
    EXPECT_EQ(scene->active_lights[0], 1);
    EXPECT_EQ(scene->active_lights[1], 1);
    EXPECT_EQ(mesh(beam).vertex_count % 2, 0);

    // The blob as loaded is the ball the part takes its directions from.
    for (int k = 0; k < mesh(0).vertex_count; k++) {
        const float *p = vertex(0, k).position;
        EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + (p[2] - 200) * (p[2] - 200)), 100, 0.01) << k;
    }
    // The beam: black at the wall end, white at the lens.
    int half = mesh(beam).vertex_count / 2;
    EXPECT_FLOAT_EQ(vertex(beam, 0).light[1], -1);
    EXPECT_FLOAT_EQ(vertex(beam, half - 1).light[1], -1);
    EXPECT_FLOAT_EQ(vertex(beam, half).light[1], 0);
}

TEST_F(GreetingsTest, PicturesChangeEverySixSecondsAndSlideAndTheShowFadesAfter28) {
    const struct {
        float t;
        const char *picture;
        bool repeat;
        float fade;
    } cases[] = {{0.0f, "greez1.bmp", false, 0},  {5.9f, "greez1.bmp", false, 0}, {6.0f, "greez2.bmp", false, 0},
                 {12.0f, "greez3.bmp", false, 0}, {18.0f, "greez4.bmp", false, 0}, {24.0f, "greez5.bmp", false, 0},
                 {28.0f, "greez5.bmp", false, 0}, {29.0f, "greez5.bmp", false, -0.5f}, {30.0f, "cutter.bmp", true, -1}};
    for (const auto &c : cases) {
        part6_animate(c.t);
        EXPECT_FLOAT_EQ(scene->camera->fade, c.fade) << c.t;
        int texture = texture_find(c.picture, c.repeat);
        EXPECT_TRUE(mesh(0).faces[0].second_texture == texture && mesh(wall).faces[1].second_texture == texture &&
                    mesh(beam).faces[0].texture == texture && mesh(wall).faces[1].second_pass == 1)
            << c.t;
    }

    // At a change the picture stands 1.5 to the side; from p = 0.5 to 5.5 it stands still.
    auto wall_u = [&](float t) {
        part6_animate(t);
        return vertex(wall, 0).second_u;
    };
    float still = wall_u(9);
    for (float t : {6.5f, 8.0f, 11.5f, 12.5f})
        EXPECT_NEAR(wall_u(t), still, 1e-5) << t;
    for (float t : {6.0f, 12.0f, 18.0f, 24.0f})
        EXPECT_NEAR(wall_u(t) - still, 1.5f, 1e-4) << t;
    EXPECT_NEAR(wall_u(11.9f) - still, 1.2f, 1e-3);
    // The beam slides with the wall, both its ends alike.
    part6_animate(9);
    const int half = mesh(beam).vertex_count / 2;
    const float beam_u = vertex(beam, 3).u;
    part6_animate(6.0f);
    for (int k : {3, half + 3}) EXPECT_NEAR(vertex(beam, k).u - beam_u, 1.5f, 1e-4) << k;
}

TEST_F(GreetingsTest, BlobStaysWithinItsBoundsAndCastsItsShadowOnTheWall) {
    const Mesh &blob = mesh(0);
    for (float t : {0.0f, 3.3f, 7.1f, 15.0f, 22.8f, 29.9f}) {
        part6_animate(t);
        float low = 1e9f, high = 0;
        for (int k = 0; k < blob.vertex_count; k++) {
            const float *p = vertex(0, k).position;
            float r = std::sqrt(p[0] * p[0] + p[1] * p[1] + (p[2] - 250) * (p[2] - 250));
            ASSERT_TRUE(std::isfinite(r)) << "vertex " << k << " at " << t;
            low = std::min(low, r), high = std::max(high, r);
            EXPECT_FLOAT_EQ(vertex(shadow, k).position[2], 5);
            EXPECT_TRUE(std::isfinite(vertex(0, k).shade) && vertex(0, k).shade >= -1 && vertex(0, k).shade <= 2);
        }
        EXPECT_TRUE(low >= 60 - 30.2f && high <= 60 + 30.2f && high - low > 1.0f) << t << ": " << low << ".." << high;
    }
    // The shadow lies on the stone exactly as the wall's own mapping: same u, v at the wall's corner.
    const Vertex &corner = vertex(wall, 0);
    EXPECT_NEAR((corner.position[0] + 300) / 500, corner.u, 1e-4);
    EXPECT_NEAR(-(corner.position[1] + 200) / 400, corner.v, 1e-4);
}

TEST_F(GreetingsTest, DimLightFlickersAndLongFramesDoNotDivideByZero) {
    Light &dim = scene->lights[1];
    int on = 0;
    for (int i = 0; i < 300; i++) {
        part6_animate(3);
        on += dim.intensity == 20;
        ASSERT_TRUE(dim.intensity == 20 || dim.intensity == 0);
    }
    EXPECT_TRUE(on > 0 && on < 300) << on;
    // A frame longer than half a second: the test's divisor would be 0; every such frame flashes.
    for (float delta : {0.51f, 0.8f, 3.0f}) {
        frame_time = delta;
        for (int i = 0; i < 20; i++) {
            part6_animate(3);
            EXPECT_EQ(dim.intensity, 20) << delta;
        }
    }
    // Very short frames still give a usable divisor.
    frame_time = 1e-9f;
    for (int i = 0; i < 20; i++) part6_animate(3);
    EXPECT_TRUE(dim.intensity == 20 || dim.intensity == 0);
}

// A hand-made "greez.3ds": a blob of four vertices, a shadow of `shadow_vertices`, a wall,
// a beam and two lights, the projector at renderer depth `projector_z`.
static void write_small_greetings(int shadow_vertices, float projector_z) {
    Scene3ds scene;
    auto strip = [](const char *name, int n, float y) {
        Mesh3ds mesh;
        mesh.name = name;
        for (int k = 0; k < n; k++) mesh.add_vertex(float(k), y, float(k % 2));
        for (int k = 0; k + 2 < n; k++) mesh.add_face(k, k + 1, k + 2);
        return mesh;
    };
    scene.meshes = {strip("blob", 4, -200), strip("shadow", shadow_vertices, -5), strip("wall", 4, 0),
                    strip("beam", 4, -300)};
    scene.lights = {Light3ds{"", {0, -projector_z, 0}}, Light3ds{}};  // the projector and the dim light
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    ASSERT_TRUE(write_file("greez.3ds", encode_3ds(scene)));
}

TEST_F(PartTest, AShortShadowOrAProjectorInFrontOfTheBlobStopsTheLoad) {
    const struct {
        int shadow_vertices;
        float projector_z;
        const char *message;
    } cases[] = {{3, 750, "fewer vertices"}, {4, 300, "in front of the blob"}};
    for (const auto &c : cases) {
        write_small_greetings(c.shadow_vertices, c.projector_z);
        EXPECT_EXIT(part6_load(), ::testing::ExitedWithCode(1), c.message) << c.message;
    }
}
