// test_part3.cpp: the wobbel torus on a small hand-made file, and the generated world drawn.
#include <gtest/gtest.h>
#include <GL/gl.h>

#include <cmath>

#include "parts/parts.h"
#include "render/clock.h"
#include "render/render.h"
#include "scene/random.h"
#include "support/part_content.h"
#include "support/part_files.h"
#include "writers/bmp_writer.h"
#include "writers/writer_3ds.h"

namespace {

// A tetrahedron named `name`, scaled and moved (file frame), `corners` of its four corners.
Mesh3ds tetra(const char *name, float scale, float dx, int corners = 4) {
    static const float p[4][3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}};
    Mesh3ds mesh;
    mesh.name = name;
    for (int k = 0; k < corners; k++) mesh.add_vertex(p[k][0] * scale + dx, p[k][1] * scale, p[k][2] * scale);
    mesh.add_face(0, 2, 1);
    if (corners == 4) {
        mesh.add_face(0, 1, 3);
        mesh.add_face(0, 3, 2);
        mesh.add_face(1, 2, 3);
    }
    return mesh;
}

// "wobbel.3ds": a spinning "Ring", the "Torus", then the two sources (in `last_two` order);
// `short_source` gives "Torus2" three corners instead of four.
void write_small_world(const std::vector<const char *> &last_two, bool short_source) {
    Scene3ds scene;
    scene.meshes.push_back(tetra("Ring", 1, 30));
    scene.meshes.push_back(tetra("Torus", 1, 0));
    for (const char *name : last_two) {
        bool wavy = std::string(name) == "Torus2";
        scene.meshes.push_back(tetra(name, wavy ? 3.0f : 1.0f, wavy ? -5.0f : 5.0f, wavy && short_source ? 3 : 4));
    }
    scene.end_frame = 300;
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    scene.light_nodes = false;
    ASSERT_TRUE(write_file("wobbel.3ds", encode_3ds(scene)));
}

const Vertex *mesh_vertices(const Scene &scene, int mesh) {
    return scene.vertices + scene.meshes[mesh].first_vertex;
}

}  // namespace

// The small world loaded, with its counts logged.
class WobbelTest : public ::testing::Test {
protected:
    ScratchDir dir;
    Scene &scene = *part3_scene();
    void SetUp() override {
        write_small_world({"Torus1", "Torus2"}, false);
        load_logged(part3_load);
    }
    void TearDown() override { frame_time = 0; }
};

TEST_F(WobbelTest, CountsLeaveOutTheTwoSourceShapes) {
    EXPECT_STREQ(scene.meshes[2].name, "Torus1");
    EXPECT_EQ(scene.meshes[2].first_vertex, 8);  // the sources' vertices lie past the count
    ASSERT_EQ(scene.active_lights[0], 1);  // the orb only
    EXPECT_EQ(scene.active_lights[1], 0);
    EXPECT_FLOAT_EQ(scene.meshes[0].pivot[2], 200);
    EXPECT_EQ(logged_counts(), (std::vector<int>{2, 8, 16, 41, 4, 0}));
}

TEST_F(WobbelTest, TorusIsTheBlendOfItsSourcesTurnedRigidly) {
    write_small_world({"Torus2", "Torus1"}, false);  // either order of the two
    part3_load();
    const Vertex *torus = mesh_vertices(scene, 1), *round = mesh_vertices(scene, 3), *wavy = mesh_vertices(scene, 2);
    // At t = 0 the blend is half and half, and the tumble angle is too small to turn.
    part3_animate(0);
    for (int k = 0; k < 4; k++)
        for (int c = 0; c < 3; c++)
            EXPECT_NEAR(torus[k].position[c], (round[k].position[c] + wavy[k].position[c]) / 2, 1e-4) << k;
    // Where the blend is all "Torus2" the torus is that shape turned about the centre:
    // every distance to the centre and between corners is kept.
    part3_animate(3 * float(M_PI) / 1.2f);
    const float centre[3] = {0, 0, 200};
    auto distance = [](const float *a, const float *b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); };
    for (int k = 0; k < 4; k++) {
        EXPECT_NEAR(distance(torus[k].position, centre), distance(wavy[k].position, centre), 1e-2) << k;
        int j = (k + 1) % 4;
        EXPECT_NEAR(distance(torus[k].position, torus[j].position), distance(wavy[k].position, wavy[j].position), 1e-2);
    }
    EXPECT_GT(distance(torus[1].position, wavy[1].position), 1.0f);  // and it did turn
}

TEST_F(WobbelTest, FieldOfViewFollowsTheSineUpToTwentySeconds) {
    Camera &camera = *scene.camera;
    part3_animate(0);
    EXPECT_FLOAT_EQ(camera.fov, 80);
    part3_animate(19.995f);
    float before = camera.fov;
    part3_animate(20);  // still the sine at 20 s, then held
    EXPECT_TRUE(camera.fov != 91.0f && std::fabs(camera.fov - before) < 0.1f) << camera.fov;
    part3_animate(20.001f);
    EXPECT_EQ(camera.fov, 91.0f);
}

TEST_F(WobbelTest, SparkleReachingZeroIsRebornAtTheOrb) {
    Light *lights = scene.lights;
    frame_time = 0.25f;
    lights[5].flare_strength = 0.25f;  // reaches exactly 0 this frame
    lights[6].flare_strength = 0.5f;   // still alive: falls
    lights[6].position[0] = 3, lights[6].position[1] = 7, lights[6].position[2] = 11;
    part3_animate(3);
    const Light &orb = lights[0];  // on its three sines about the centre
    const float orb_at_3[3] = {-42.7256f, -78.98695f, 164.94313f};
    for (int c = 0; c < 3; c++) EXPECT_NEAR(orb.position[c], orb_at_3[c], 1e-3) << c;
    EXPECT_EQ(lights[5].flare_strength, 1.0f);
    for (int c = 0; c < 3; c++) {
        const float *p = lights[5].position;
        EXPECT_TRUE(lights[5].color[c] == orb.color[c] && p[c] >= orb.position[c] && p[c] <= orb.position[c] + 9.9001f);
    }
    EXPECT_FLOAT_EQ(lights[6].flare_strength, 0.25f);
    const float fallen[3] = {3, 7 - 25, 11};
    for (int c = 0; c < 3; c++) EXPECT_FLOAT_EQ(lights[6].position[c], fallen[c]) << c;
}

TEST_F(WobbelTest, FlashAndSpinAtExtremeFrameTimes) {
    const Light &orb = scene.lights[0];
    // Frames longer than half a second: the flash test has no whole divisor; every one flashes.
    frame_time = 0.75f;
    for (int i = 0; i < 3; i++) {
        part3_animate(1.0f + i);
        EXPECT_EQ(orb.intensity, 10.0f);
        for (int c = 0; c < 3; c++) EXPECT_EQ(scene.fog_color[c], orb.color[c]) << c;
    }
    // At 60 frames a second it flashes now and then, and the fog is grey in between.
    random_reset();
    frame_time = 1 / 60.0f;
    bool flashed = false;
    for (int i = 0; i < 300; i++) {
        part3_animate(i / 60.0f);
        if (orb.intensity == 10.0f) flashed = true;
        else EXPECT_FLOAT_EQ(scene.fog_color[0], 0.2f);
    }
    EXPECT_TRUE(flashed);
    // Frames below a millisecond leave the spinning meshes where they are.
    const std::vector<Vertex> before(mesh_vertices(scene, 0), mesh_vertices(scene, 0) + 4);
    for (float d : {0.0005f, 1e-9f}) {
        frame_time = d;
        part3_animate(5);
        for (int k = 0; k < 4; k++)
            for (int c = 0; c < 3; c++) EXPECT_EQ(mesh_vertices(scene, 0)[k].position[c], before[k].position[c]) << d;
    }
}

TEST_F(WobbelTest, SourcesThatDoNotMatchTheTorusStop) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    write_small_world({"Torus1", "Torus2"}, true);
    EXPECT_EXIT(part3_load(), ::testing::ExitedWithCode(1), "Torus2 has 3 vertices, Torus 4");
    Scene3ds scene;  // the sources not last
    scene.meshes = {tetra("Torus", 1, 0), tetra("Torus1", 1, 0), tetra("Torus2", 1, 0), tetra("Ring", 1, 0)};
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    ASSERT_TRUE(write_file("wobbel.3ds", encode_3ds(scene)));
    EXPECT_EXIT(part3_load(), ::testing::ExitedWithCode(1), "must be the last two");
}

// The part never clears the picture: the generated shell must cover every pixel of the old one.
TEST_F(PartTest, GeneratedWobbelWorldCoversThePicture) {
    write_part_content({generate_part3});
    part3_load();
    Scene &scene = *part3_scene();
    frame_time = 1 / 30.0f;
    part3_animate(5);
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    render_scene(scene, 5, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    std::vector<uint8_t> rgba(640 * 480 * 4);
    gl_read_pixels(0, 0, 640, 480, rgba.data());
    int uncovered = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) uncovered += rgba[i] == 255 && rgba[i + 1] == 0 && rgba[i + 2] == 255;
    EXPECT_EQ(uncovered, 0);
    frame_time = 0;
}
