// test_3ds_peer.cpp: files from our .3ds writer read by an independent reader (`assimp info`)
// and by our loader must agree on meshes, vertices and faces.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/load3ds.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"
#include "writers/writer_3ds.h"

namespace {

// Everything `assimp info` printed, or "" when it could not run.
std::string assimp_info(const std::string &file) {
    std::string command = "assimp info " + file + " 2>&1";
    FILE *p = popen(command.c_str(), "r");
    if (!p) return "";
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
    return out;
}

// The number after "<label>:" on the first line that starts with it, or -1.
long stat_value(const std::string &out, const std::string &label) {
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(label + ":", 0) == 0) return strtol(line.c_str() + label.size() + 1, nullptr, 10);
    return -1;
}

Material3ds plain(const std::string &name, float r, float g, float b) {
    Material3ds m;
    m.name = name;
    m.diffuse[0] = r, m.diffuse[1] = g, m.diffuse[2] = b;
    return m;
}

}  // namespace

TEST(Peer3ds, AssimpReadsTheSameMeshesVerticesAndFaces) {
    if (system("command -v assimp > /dev/null 2>&1") != 0) GTEST_SKIP() << "assimp is not installed";
    ScratchDir dir;
    ASSERT_FALSE(dir.path.empty());

    Scene3ds s;
    s.materials = {plain("stone", 0.5f, 0.5f, 0.5f), plain("red", 1, 0, 0), plain("blue", 0, 0, 1), plain("a", 1, 0, 0),
                   plain("b", 0, 1, 0)};
    Mesh3ds cube;  // 8 shared corners, 12 faces, one material
    cube.name = "cube";
    for (int i = 0; i < 8; i++) cube.add_vertex(float(i & 1), float(i >> 1 & 1), float(i >> 2 & 1), 0, 0);
    const int quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto &q : quads) {
        cube.add_face(q[0], q[1], q[2]);
        cube.add_face(q[0], q[2], q[3]);
    }
    cube.set_material("stone", 0, 12);
    s.meshes.push_back(cube);
    Mesh3ds strip;  // a strip of 6 faces over 8 vertices, one material
    strip.name = "strip";
    for (int i = 0; i < 8; i++) strip.add_vertex(float(i / 2) + 5, float(i % 2), 0, 0, 0);
    for (int i = 0; i < 6; i++) strip.add_face(i, i + 1, i + 2);
    strip.set_material("red", 0, 6);
    s.meshes.push_back(strip);
    Mesh3ds fan;  // a fan of 4 faces without mappings
    fan.name = "fan";
    fan.add_vertex(0, 0, 5);
    for (int i = 0; i < 5; i++) fan.add_vertex(float(i), 1, 5);
    for (int i = 0; i < 4; i++) fan.add_face(0, i + 1, i + 2);
    fan.set_material("blue", 0, 4);
    s.meshes.push_back(fan);
    Mesh3ds two;  // faces of two materials: one mesh to us, one per material to assimp
    two.name = "two";
    for (int i = 0; i < 6; i++) two.add_vertex(float(i), float(i * i % 5), 20);
    for (int i = 0; i < 4; i++) two.add_face(i, i + 1, i + 2);
    two.set_material("a", 0, 1);
    two.set_material("b", 1, 3);
    s.meshes.push_back(two);
    Light3ds light;
    light.name = "lamp";
    light.position[2] = 10;
    s.lights.push_back(light);
    Camera3ds camera;
    camera.name = "cam";
    camera.position[1] = -20;
    s.cameras.push_back(camera);
    for (const Mesh3ds &m : s.meshes) s.add_static_node(m.name);
    CameraNode3ds track;
    track.name = "cam";
    track.position = {key3ds_position(0, 0, -20, 0), key3ds_position(100, 0, -10, 0)};
    track.target = {key3ds_position(0, 0, 0, 0)};
    track.fov = {key3ds_value(0, 60)};
    s.camera_nodes.push_back(track);
    ASSERT_TRUE(write_file("peer.3ds", encode_3ds(s)));

    std::vector<Mesh> meshes(8);
    std::vector<Face> faces(64);
    std::vector<Vertex> vertices(64);
    std::vector<Light> lights(4);
    std::vector<CameraKey> camera_keys(8);
    std::vector<ObjectKey> object_keys(16);
    for (Mesh &m : meshes) init_mesh(m);
    for (Face &f : faces) init_face(f);
    for (Vertex &v : vertices) init_vertex(v);
    for (Light &l : lights) init_light(l);
    Camera cam;
    init_camera(cam);
    Scene scene;
    init_scene(scene);
    LoadSummary *ours = load_3ds("peer.3ds", scene, meshes.data(), faces.data(), vertices.data(), lights.data(), &cam,
                                 camera_keys.data(), object_keys.data(), nullptr, 10.0f,
                                 Load3dsCapacity{8, 64, 64, 4, 8, 16, 0});
    ASSERT_EQ(ours->mesh_count, 4);
    ASSERT_EQ(ours->vertex_count, 28);
    ASSERT_EQ(ours->face_count, 26);

    std::string out = assimp_info("peer.3ds");
    ASSERT_NE(out.find("Meshes:"), std::string::npos) << out;
    EXPECT_EQ(stat_value(out, "Meshes"), ours->mesh_count + 1);
    EXPECT_EQ(stat_value(out, "Faces"), ours->face_count);
    // assimp splits faces into corners and joins identical corners again within each of its
    // meshes; every vertex here has its own position, and "two" shares two between its meshes.
    EXPECT_EQ(stat_value(out, "Vertices"), ours->vertex_count + 2);
    EXPECT_EQ(stat_value(out, "Lights"), ours->light_count);
    EXPECT_EQ(stat_value(out, "Cameras"), 1);
    delete ours;
}
