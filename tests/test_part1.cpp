// test_part1.cpp: the intro against small files made with the writers: its load results,
// log lines, and the values its animate operation sets over time.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>

#include "app/settings.h"
#include "parts/parts.h"
#include "render/render.h"
#include "scene/model.h"
#include "support/part_files.h"
#include "texture/texture.h"
#include "writers/bmp_writer.h"
#include "writers/mdl_writer.h"
#include "writers/writer_3ds.h"

namespace {

// A two-triangle model with the 210 frames of the characters' layout.
void write_model(const char *name) {
    MdlModel m;
    m.skin_width = m.skin_height = 8;
    m.skin.assign(64, 0);
    m.texcoords = {{0, 0, 0}, {0, 8, 0}, {0, 8, 8}, {0, 0, 8}};
    m.triangles = {{1, {0, 1, 2}}, {1, {0, 2, 3}}};
    for (int f = 0; f < 210; f++) {
        m.frames.push_back({0, 0, -24, 0, 10, -24, 0, 10, 32 + f * 0.01f, 0, 0, 32});
        m.frame_names.push_back("frame");
    }
    ASSERT_TRUE(write_file(name, mdl_encode(m)));
}

// A panel mesh of four vertices at file depth y0 (near edge) and y1 (far edge).
Mesh3ds panel(const char *name, float y0, float y1) {
    Mesh3ds mesh;
    mesh.name = name;
    mesh.add_vertex(-10, y0, -20, 0, 0);
    mesh.add_vertex(10, y1, -20, 1, 0);
    mesh.add_vertex(10, y1, 20, 1, 1);
    mesh.add_vertex(-10, y0, 20, 0, 1);
    mesh.add_face(0, 1, 2);
    mesh.add_face(0, 2, 3);
    return mesh;
}

// "thc.3ds" with the four panels, a ground mesh, one light and a two-key camera track.
void write_intro_scene(bool with_all_panels) {
    Scene3ds scene;
    scene.meshes.push_back(panel("thc01", 10, -50));  // near edge at renderer depth -10
    scene.meshes.push_back(panel("thc02", -40, -50));
    if (with_all_panels) scene.meshes.push_back(panel("thc03", -40, -50));
    scene.meshes.push_back(panel("thc04", -40, -50));
    scene.meshes.push_back(panel("ground", -40, -60));
    Light3ds light;
    light.position[0] = 0, light.position[1] = -30, light.position[2] = 20;
    scene.lights.push_back(light);
    Camera3ds camera;
    camera.position[0] = -50, camera.position[1] = -20, camera.position[2] = 0;
    camera.target[0] = 0, camera.target[1] = -84, camera.target[2] = 0;
    scene.cameras.push_back(camera);
    scene.end_frame = 280;
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    CameraNode3ds node;
    node.position = {key3ds_position(0, -50, -20, 0), key3ds_position(280, -40, -30, 0)};
    node.target = {key3ds_position(0, 0, -84, 0), key3ds_position(280, 0, -84, 0)};
    node.fov = {key3ds_value(0, 60)};
    node.roll = {key3ds_value(0, 0)};
    scene.camera_nodes.push_back(node);
    ASSERT_TRUE(write_file("thc.3ds", encode_3ds(scene)));
}

}  // namespace

TEST_F(PartTest, IntroLightSmokeFadesAndBackdrop) {
    write_intro_scene(true);
    write_model("wolfguy.mdl");
    write_grey_picture("wolfguy.bmp");
    write_grey_picture("smoke.bmp");
    statistics = true;
    allocate_working_arrays();
    create_model_table();
    load_model("wolfguy.mdl");
    part1_load();
    statistics = false;

    Scene &scene = *part1_scene();
    // Five loaded meshes, the wolf and the smoke.
    ASSERT_EQ(scene.mesh_count, 7);
    EXPECT_EQ(scene.active_lights[0], 1);
    std::vector<std::string> lines = read_log_lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "intro: meshes 8");
    EXPECT_EQ(lines[1], "intro: verts  " + std::to_string(5 * 4 + 4 + 32));
    EXPECT_EQ(lines[2], "intro: faces  " + std::to_string(5 * 2 + 2 + 16 + 16));
    EXPECT_EQ(lines[3], "intro: lights 1");
    EXPECT_EQ(lines[5], "intro: cams   2");

    // Panel vertices towards the camera are black, the rest dimmed; the ground is lit.
    int thc01 = find_mesh(scene, "thc01");
    const Mesh &p = scene.meshes[thc01];
    EXPECT_EQ(p.lit, 0);
    int near = 0, far = 0;
    for (int k = 0; k < p.vertex_count; k++) {
        const Vertex &v = scene.vertices[p.first_vertex + k];
        if (v.position[2] <= -5) {
            EXPECT_FLOAT_EQ(v.light[0], -1.0f);
            near++;
        } else {
            EXPECT_FLOAT_EQ(v.light[0], -0.2f);
            far++;
        }
    }
    EXPECT_EQ(near, 2);
    EXPECT_EQ(far, 2);
    EXPECT_EQ(scene.meshes[find_mesh(scene, "ground")].lit, 1);
    EXPECT_FLOAT_EQ(scene.meshes[find_mesh(scene, "wolfguy.mdl")].ambient, 0.3f);

    Light &light = scene.lights[0];
    part1_animate(4);
    EXPECT_FLOAT_EQ(scene.camera->fade, -0.5f);
    EXPECT_FLOAT_EQ(light.intensity, 4);
    part1_animate(8);
    EXPECT_FLOAT_EQ(light.color[0], 1);
    EXPECT_FLOAT_EQ(light.intensity, 8);
    part1_animate(9);
    EXPECT_FLOAT_EQ(light.color[2], 1);
    EXPECT_FLOAT_EQ(light.intensity, 8);
    part1_animate(11);
    EXPECT_FLOAT_EQ(light.color[0], 1);
    EXPECT_NEAR(light.color[1], 0.9f, 1e-6);
    EXPECT_NEAR(light.color[2], 0.8333333f, 1e-6);
    EXPECT_FLOAT_EQ(light.intensity, 4.5f);

    // The wolf stands scaled, turned and moved: its feet (the model's lowest point) at y -55,
    // its top 58 model units above them (frame 203), and turned half round about y.
    const Mesh &wolf = scene.meshes[find_mesh(scene, "wolfguy.mdl")];
    EXPECT_NEAR(scene.vertices[wolf.first_vertex].position[1], -55, 1e-3);
    EXPECT_NEAR(scene.vertices[wolf.first_vertex + 2].position[1], -55 + 58.03f * 2.4f, 0.6);  // within one byte step
    EXPECT_NEAR(scene.vertices[wolf.first_vertex + 1].position[0], -5 * 2.4f, 0.1);
    EXPECT_NEAR(scene.vertices[wolf.first_vertex + 1].position[2], 84, 0.1);

    const Mesh &smoke = scene.meshes[find_mesh(scene, "smoke")];
    EXPECT_EQ(smoke.face_count, 0);
    part1_animate(18.2f);
    EXPECT_EQ(smoke.face_count, 16);
    EXPECT_EQ(smoke.vertex_count, 32);
    EXPECT_NEAR(smoke.faces[0].alpha, 0.2f, 1e-5);
    EXPECT_NEAR(smoke.faces[15].alpha, 0.2f, 1e-5);
    EXPECT_FLOAT_EQ(scene.vertices[smoke.first_vertex + 4].position[0], 1 / 5.0f + 3.0f);
    part1_animate(18.7f);  // between 18.4 and 19 the alpha stays as last set
    EXPECT_NEAR(smoke.faces[3].alpha, 0.2f, 1e-5);
    part1_animate(20);
    EXPECT_NEAR(smoke.faces[0].alpha, 0.3f, 1e-5);
    part1_animate(22.5f);
    EXPECT_FLOAT_EQ(scene.camera->fade, -0.5f);
    part1_animate(15);
    EXPECT_FLOAT_EQ(scene.camera->fade, 0);

    // The backdrop mapping follows the camera's direction and position.
    Camera &camera = *scene.camera;
    camera.direction[0] = 50, camera.direction[1] = -25, camera.position[2] = -20;
    part1_animate(15);
    const Vertex &v = scene.vertices[p.first_vertex];
    EXPECT_NEAR(v.u, (v.position[0] + 73) / 168 + 1, 1e-5);
    EXPECT_NEAR(v.v, v.position[1] / 75 + 0.5f + 0.2f, 1e-5);
}

TEST_F(PartTest, IntroWithoutAPanelStopsNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the GL context runs threads
    write_intro_scene(false);
    write_model("wolfguy.mdl");
    write_grey_picture("wolfguy.bmp");
    write_grey_picture("smoke.bmp");
    EXPECT_EXIT(
        {
            allocate_working_arrays();
            create_model_table();
            load_model("wolfguy.mdl");
            part1_load();
        },
        ::testing::ExitedWithCode(1), "thc03");
}

