// test_part1.cpp: the intro on small hand-made files: its load, log and what it animates.
#include <gtest/gtest.h>

#include "parts/parts.h"
#include "render/render.h"
#include "scene/model.h"
#include "support/part_content.h"
#include "support/part_files.h"
#include "writers/bmp_writer.h"
#include "writers/mdl_writer.h"
#include "writers/writer_3ds.h"

namespace {

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

// The intro's files: "thc.3ds" (four panels or three, a ground, one light, a two-key camera
// track), a two-triangle wolf with the characters' 210 frames, and its pictures.
void write_intro_files(bool with_all_panels) {
    Scene3ds scene;
    scene.meshes.push_back(panel("thc01", 10, -50));  // near edge at renderer depth -10
    scene.meshes.push_back(panel("thc02", -40, -50));
    if (with_all_panels) scene.meshes.push_back(panel("thc03", -40, -50));
    scene.meshes.push_back(panel("thc04", -40, -50));
    scene.meshes.push_back(panel("ground", -40, -60));
    scene.lights.push_back(Light3ds{"", {0, -30, 20}});
    scene.end_frame = 280;
    for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name);
    scene.camera_nodes.push_back(CameraNode3ds{"", {key3ds_position(0, -50, -20, 0), key3ds_position(280, -40, -30, 0)},
                                               {key3ds_value(0, 60)}, {key3ds_value(0, 0)}, true,
                                               {key3ds_position(0, 0, -84, 0), key3ds_position(280, 0, -84, 0)}});
    scene.cameras.push_back(Camera3ds{"", {-50, -20, 0}, {0, -84, 0}});
    ASSERT_TRUE(write_file("thc.3ds", encode_3ds(scene)));

    MdlModel m;
    m.skin_width = m.skin_height = 8;
    m.skin.assign(64, 0);
    m.texcoords = {{0, 0, 0}, {0, 8, 0}, {0, 8, 8}, {0, 0, 8}};
    m.triangles = {{1, {0, 1, 2}}, {1, {0, 2, 3}}};
    for (int f = 0; f < 210; f++) {
        m.frames.push_back({0, 0, -24, 0, 10, -24, 0, 10, 32 + f * 0.01f, 0, 0, 32});
        m.frame_names.push_back("frame");
    }
    ASSERT_TRUE(write_file("wolfguy.mdl", mdl_encode(m)));
    write_grey_picture("wolfguy.bmp");
    write_grey_picture("smoke.bmp");
}

void load_intro() {
    allocate_working_arrays();
    create_model_table();
    load_model("wolfguy.mdl");
    part1_load();
}

}  // namespace

TEST_F(PartTest, IntroLightSmokeFadesAndBackdrop) {
    write_intro_files(true);
    load_logged(load_intro);

    Scene &scene = *part1_scene();
    EXPECT_EQ(scene.active_lights[0], 1);
    // Meshes: five loaded, the wolf, the smoke and one more; the smoke's 16 faces count.
    EXPECT_EQ(logged_counts(), (std::vector<int>{8, 56, 44, 1, 5, 2}));

    // Panel vertices towards the camera are black, the rest dimmed; the ground is lit.
    const Mesh &p = scene.meshes[find_mesh(scene, "thc01")];
    EXPECT_EQ(p.lit, 0);
    int near = 0;
    for (int k = 0; k < p.vertex_count; k++) {
        const Vertex &v = scene.vertices[p.first_vertex + k];
        bool is_near = v.position[2] <= -5;
        near += is_near;
        for (int c = 0; c < 3; c++) EXPECT_FLOAT_EQ(v.light[c], is_near ? -1.0f : -0.2f) << k;
    }
    EXPECT_EQ(near, 2);
    EXPECT_EQ(scene.meshes[find_mesh(scene, "ground")].lit, 1);

    // The light brightens to white by 8 s, holds, then turns red from 10 s to 12 s.
    const Light &light = scene.lights[0];
    const struct {
        float t, color[3], intensity, fade;
    } rows[] = {
        {4, {0.5f, 0.5f, 0.5f}, 4, -0.5f},    {8, {1, 1, 1}, 8, 0},  {9, {1, 1, 1}, 8, 0},
        {11, {1, 0.9f, 0.8333333f}, 4.5f, 0}, {15, {1, 0.9f, 0.8333333f}, 4.5f, 0},  // held after 12 s
    };
    for (const auto &row : rows) {
        part1_animate(row.t);
        for (int c = 0; c < 3; c++) EXPECT_NEAR(light.color[c], row.color[c], 1e-5) << row.t;
        EXPECT_FLOAT_EQ(light.intensity, row.intensity) << row.t;
        EXPECT_FLOAT_EQ(scene.camera->fade, row.fade) << row.t;
    }

    // The wolf stands scaled by 2.4, turned half round about y and moved to (0, -55, 84):
    // its lowest edge on y -55, its top 58 model units above (frame 203).
    const Mesh &wolf = scene.meshes[find_mesh(scene, "wolfguy.mdl")];
    const Vertex *w = scene.vertices + wolf.first_vertex;
    const float feet[2][3] = {{12, -55, 84}, {-12, -55, 84}};
    for (int k = 0; k < 2; k++)
        for (int c = 0; c < 3; c++) EXPECT_NEAR(w[k].position[c], feet[k][c], 0.1) << k << " " << c;
    EXPECT_NEAR(w[2].position[1], -55 + 58.03f * 2.4f, 0.6);  // within one byte step

    // The smoke appears after 18 s and rises from around (x, 40, 75); its alpha follows the time.
    const Mesh &smoke = scene.meshes[find_mesh(scene, "smoke")];
    EXPECT_EQ(smoke.face_count, 0);
    part1_animate(18.2f);
    ASSERT_EQ(smoke.face_count, 16);
    EXPECT_EQ(smoke.vertex_count, 32);
    for (int k = 0; k < 32; k++) {
        const float *pos = scene.vertices[smoke.first_vertex + k].position;
        EXPECT_FLOAT_EQ(pos[0], (k / 4) / 5.0f + 3.0f) << k;
        EXPECT_TRUE(pos[1] > 35 && pos[1] < 45) << k << " y " << pos[1];
        EXPECT_TRUE(pos[2] > 68 && pos[2] < 83) << k << " z " << pos[2];
    }
    const float smoke_rows[][3] = {{18.2f, 0.2f, 0}, {18.7f, 0.2f, 0} /* kept from 18.4 to 19 */, {20, 0.3f, 0},
                                   {22.5f, 0.05f, -0.5f}};  // t, alpha, fade
    for (const auto &row : smoke_rows) {
        part1_animate(row[0]);
        EXPECT_NEAR(smoke.faces[15].alpha, row[1], 1e-5) << row[0];
        EXPECT_FLOAT_EQ(scene.camera->fade, row[2]) << row[0];
    }

    // The backdrop mapping follows the camera's direction and position.
    Camera &camera = *scene.camera;
    camera.direction[0] = 50, camera.direction[1] = -25, camera.position[2] = -20;
    part1_animate(15);
    const Vertex &v = scene.vertices[p.first_vertex];
    EXPECT_NEAR(v.u, (v.position[0] + 73) / 168 + 1, 1e-5);
    EXPECT_NEAR(v.v, v.position[1] / 75 + 0.5f + 0.2f, 1e-5);
}

TEST_F(PartTest, IntroWithoutAPanelStopsNamingIt) {
    write_intro_files(false);
    EXPECT_EXIT(load_intro(), ::testing::ExitedWithCode(1), "thc03");
}
