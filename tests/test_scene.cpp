// test_scene.cpp: mesh lookup with its log dump, normals and active lights.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "app/settings.h"
#include "scene/scene.h"
#include "support/scratch_dir.h"

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

// Case is ignored, the first of equal names wins, a name of 64 bytes without a NUL compares.
TEST(FindMesh, IgnoresCaseAndTakesTheFirstOfEqualNames) {
    NamedMeshes m{"Floor", "Lamp01", "lamp01", "Sky"};
    EXPECT_EQ(find_mesh(m.scene, "floor"), 0);
    EXPECT_EQ(find_mesh(m.scene, "LAMP01"), 1);
    EXPECT_EQ(find_mesh(m.scene, "sky"), 3);
    memset(m.meshes[3].name, 'q', sizeof m.meshes[3].name);
    EXPECT_EQ(find_mesh(m.scene, std::string(64, 'Q').c_str()), 3);
}

TEST(FindMesh, MissingNameDumpsTheMeshesAndStops) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the forked child writes its log where this reads it
    ScratchDir dir;
    NamedMeshes m{"Floor", "Lamp01"};
    EXPECT_EXIT(
        {
            statistics = true;
            find_mesh(m.scene, "Chair");
        },
        ::testing::ExitedWithCode(1), "^Chair");
    EXPECT_EQ(read_text("VKB_Kelp.log"), "mesh not found, dumping...\nFloor\nLamp01\n");
}

// A mesh over vertices 1..5 of the array, its faces given by `corners`.
struct NormalMesh {
    Vertex v[6];
    Face faces[3];
    Mesh mesh;
    NormalMesh(std::initializer_list<std::array<int, 3>> corners) {
        for (Vertex &x : v) init_vertex(x);
        init_mesh(mesh);
        snprintf(mesh.name, sizeof mesh.name, "Broken");
        int i = 0;
        for (const auto &c : corners) {
            init_face(faces[i]);
            faces[i].a = c[0], faces[i].b = c[1], faces[i].c = c[2];
            i++;
        }
        mesh.first_vertex = 1, mesh.vertex_count = 5, mesh.face_count = i, mesh.faces = faces;
    }
};

// Area-weighted face normals summed per vertex; unused vertices cleared, degenerate faces add
// nothing, vertices outside the mesh untouched.
TEST(ComputeNormals, SumsAreaWeightedFaceNormals) {
    NormalMesh n{{0, 1, 2}, {0, 4, 1}, {0, 0, 4}};
    float p[5][3] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {5, 5, 5}, {0, 0, 2}};
    for (int i = 0; i < 5; i++) memcpy(n.v[i + 1].position, p[i], sizeof p[i]);
    n.v[4].normal[0] = 9;  // stale normal of the unused vertex must be cleared
    n.v[0].normal[0] = 7;  // outside the mesh
    compute_normals(n.mesh, n.v);
    // face 0 in z = 0: e1 x e3 = (2,0,0) x (0,-2,0) = (0,0,-4); face 1 in y = 0: (0,-4,0)
    const float want[6][3] = {{7, 0, 0}, {0, -4, -4}, {0, -4, -4}, {0, 0, -4}, {0, 0, 0}, {0, -4, 0}};
    for (int i = 0; i < 6; i++)
        for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(n.v[i].normal[k], want[i][k]) << i << " " << k;
}

TEST(ComputeNormals, FaceIndexAtTheVertexCountIsFatal) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    NormalMesh n{{0, 1, 4}, {0, 1, 5}};  // 4 is the last vertex, 5 one past it
    EXPECT_EXIT(compute_normals(n.mesh, n.v), ::testing::ExitedWithCode(1),
                "MESH: \\[Broken\\] face 1 uses vertex 0/1/5 of 5");
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
    lights[4].active = 2;  // the last light
    collect_active_lights(s);
    EXPECT_EQ(std::vector<int32_t>(s.active_lights, s.active_lights + 3), (std::vector<int32_t>{2, 1, 4}));
}

}  // namespace
