// test_scene.cpp: mesh lookup with its log dump, normals and active lights.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/settings.h"
#include "scene/scene.h"

namespace {

// A scene of named meshes with no geometry.
struct NamedMeshes {
    Mesh meshes[4];
    Scene scene;
    NamedMeshes(std::initializer_list<const char *> names) {
        init_scene(scene);
        int i = 0;
        for (const char *name : names) {
            init_mesh(meshes[i]);
            snprintf(meshes[i].name, sizeof meshes[i].name, "%s", name);
            i++;
        }
        scene.meshes = meshes;
        scene.mesh_count = i;
    }
};

TEST(FindMesh, IgnoresCaseAndTakesTheFirstOfEqualNames) {
    NamedMeshes m{"Floor", "Lamp01", "lamp01", "Sky"};
    EXPECT_EQ(find_mesh(m.scene, "floor"), 0);
    EXPECT_EQ(find_mesh(m.scene, "LAMP01"), 1);
    EXPECT_EQ(find_mesh(m.scene, "sky"), 3);
}

TEST(FindMesh, NameOfSixtyFourBytesWithoutNulStillCompares) {
    NamedMeshes m{"x"};
    memset(m.meshes[0].name, 'q', sizeof m.meshes[0].name);
    std::string full(64, 'Q');
    EXPECT_EQ(find_mesh(m.scene, full.c_str()), 0);
}

TEST(FindMesh, MissingNameDumpsTheMeshesAndStops) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    std::string dir = std::string(KELP_BINARY_DIR) + "/scratch-find-mesh";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    NamedMeshes m{"Floor", "Lamp01"};
    EXPECT_EXIT(
        {
            if (chdir(dir.c_str()) != 0) exit(3);
            statistics = true;
            find_mesh(m.scene, "Chair");
        },
        ::testing::ExitedWithCode(1), "^Chair");
    std::ifstream log(dir + "/VKB_Kelp.log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str(), "mesh not found, dumping...\nFloor\nLamp01\n");
    std::filesystem::remove_all(dir);
}

TEST(ComputeNormals, SumsAreaWeightedFaceNormals) {
    Vertex v[6];
    for (Vertex &x : v) init_vertex(x);
    // vertex 0 is unrelated to this mesh, which starts at 1
    float p[5][3] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {5, 5, 5}, {0, 0, 2}};
    for (int i = 0; i < 5; i++) memcpy(v[i + 1].position, p[i], sizeof p[i]);
    v[4].normal[0] = 9;  // stale normal of the unused vertex must be cleared
    Face faces[2];
    init_face(faces[0]);
    init_face(faces[1]);
    faces[0].a = 0, faces[0].b = 1, faces[0].c = 2;
    faces[1].a = 0, faces[1].b = 4, faces[1].c = 1;
    Mesh mesh;
    init_mesh(mesh);
    mesh.first_vertex = 1;
    mesh.vertex_count = 5;
    mesh.face_count = 2;
    mesh.faces = faces;
    compute_normals(mesh, v);
    // face 0 lies in z = 0: e1 x e3 = (2,0,0) x (0,-2,0) = (0,0,-4)
    EXPECT_FLOAT_EQ(v[2].normal[2], -4);
    EXPECT_FLOAT_EQ(v[3].normal[2], -4);
    EXPECT_FLOAT_EQ(v[1].normal[2], -4);
    // face 1 in y = 0 adds (0, -4, 0) to its three vertices (vertex 0 is in both)
    EXPECT_FLOAT_EQ(v[1].normal[1], -4);
    EXPECT_FLOAT_EQ(v[2].normal[1], -4);
    EXPECT_FLOAT_EQ(v[5].normal[1], -4);
    EXPECT_FLOAT_EQ(v[5].normal[2], 0);
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(v[4].normal[k], 0) << "unused vertex";
        EXPECT_EQ(v[0].normal[k], 0) << "outside the mesh";
    }
}

TEST(ComputeNormals, DegenerateFaceAddsNothing) {
    Vertex v[3];
    for (Vertex &x : v) init_vertex(x);
    v[0].position[0] = 1, v[1].position[0] = 1, v[2].position[1] = 3;
    Face face;
    init_face(face);
    face.a = 0, face.b = 1, face.c = 2;
    Mesh mesh;
    init_mesh(mesh);
    mesh.vertex_count = 3;
    mesh.face_count = 1;
    mesh.faces = &face;
    compute_normals(mesh, v);
    for (const Vertex &x : v)
        for (float n : x.normal) EXPECT_EQ(n, 0);
}

TEST(ComputeNormals, FaceIndexOutsideTheMeshIsFatal) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    Vertex v[3];
    Face face;
    init_face(face);
    face.a = 0, face.b = 1, face.c = 3;
    Mesh mesh;
    init_mesh(mesh);
    snprintf(mesh.name, sizeof mesh.name, "Broken");
    mesh.vertex_count = 3;
    mesh.face_count = 1;
    mesh.faces = &face;
    EXPECT_EXIT(compute_normals(mesh, v), ::testing::ExitedWithCode(1),
                "MESH: \\[Broken\\] face 0 uses vertex 0/1/3 of 3");
}

TEST(ActiveLights, ListsActiveLightsInOrder) {
    Light lights[5];
    for (Light &l : lights) init_light(l);
    Scene s;
    init_scene(s);
    s.lights = lights;
    s.light_count = 5;
    collect_active_lights(s);
    ASSERT_NE(s.active_lights, nullptr);
    EXPECT_EQ(s.active_lights[0], 0);
    lights[1].active = 1;
    lights[4].active = 2;
    collect_active_lights(s);
    ASSERT_EQ(s.active_lights[0], 2);
    EXPECT_EQ(s.active_lights[1], 1);
    EXPECT_EQ(s.active_lights[2], 4);
}

}  // namespace
