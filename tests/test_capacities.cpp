// test_capacities.cpp: every part's arrays hold a scene file as large as the part was made
// for (its table of meshes, faces, vertices, lights and keys, less what the part appends itself),
// not only the file our generator writes.
#include <gtest/gtest.h>

#include <algorithm>

#include "parts/part_common.h"
#include "parts/part_state.h"
#include "support/part_files.h"
#include "writers/bmp_writer.h"
#include "writers/writer_3ds.h"

namespace {

// What a part's scene holds at most, its own additions included.
struct Limits {
    int part;
    int meshes, faces, vertices, lights, camera_keys, object_keys;
};

const Limits limits[] = {
    {1, 18, 1448, 1803, 1, 6, 16},   {2, 42, 1872, 3346, 264, 17, 40},  {3, 12, 8272, 5177, 41, 1, 12},
    {4, 20, 2298, 1630, 545, 17, 17}, {5, 26, 3166, 2055, 521, 15, 24}, {6, 20, 2120, 1296, 2, 16, 20},
    {7, 4, 2426, 1414, 82, 11, 107},  {8, 2, 3528, 1913, 400, 1, 2},   {9, 15, 2662, 2084, 161, 22, 346},
    {11, 39, 2566, 2321, 2, 10, 38},
};

// A file of exactly these counts: the vertices and faces spread over the meshes, the object
// keys over nodes of the first meshes (one key a frame), one camera keyed `camera_keys` times.
Scene3ds scene_of(const Limits &l) {
    Scene3ds scene;
    for (int m = 0; m < l.meshes; m++) {
        Mesh3ds mesh;
        mesh.name = "m" + std::to_string(m);
        int vertices = l.vertices / l.meshes + (m < l.vertices % l.meshes);
        int faces = l.faces / l.meshes + (m < l.faces % l.meshes);
        for (int v = 0; v < vertices; v++) mesh.add_vertex(float(v), float(v % 7), float(m), 0, 0);
        for (int f = 0; f < faces; f++) mesh.add_face(f % vertices, (f + 1) % vertices, (f + 2) % vertices);
        scene.meshes.push_back(mesh);
    }
    for (int i = 0; i < l.lights; i++) scene.lights.push_back(Light3ds{"l" + std::to_string(i)});
    scene.light_nodes = false;
    int nodes = std::min(l.meshes, l.object_keys);
    for (int n = 0; n < nodes; n++) {
        ObjectNode3ds node;
        node.name = "m" + std::to_string(n);
        int keys = l.object_keys / nodes + (n < l.object_keys % nodes);
        for (int k = 0; k < keys; k++) node.position.push_back(key3ds_position(uint32_t(k), 0, 0, 0));
        scene.object_nodes.push_back(node);
    }
    if (l.camera_keys > 0) {
        scene.cameras.push_back(Camera3ds{"camera"});
        CameraNode3ds node;
        node.name = "camera";
        for (int k = 0; k < l.camera_keys; k++) node.position.push_back(key3ds_position(uint32_t(k), 0, 0, 0));
        node.target.push_back(key3ds_position(0, 0, 1, 0));
        scene.camera_nodes.push_back(node);
    }
    scene.end_frame = 400;
    return scene;
}

TEST_F(PartTest, EveryPartHoldsAFileAsLargeAsItWasMadeFor) {
    prepare_part_files();
    for (const Limits &limit : limits) {
        SCOPED_TRACE(limit.part);
        part_load(limit.part);
        // What the part appends to its file: models, built meshes, its own lights.
        const PartScene &built = *part_scenes[limit.part - 1];
        const PartCapacity capacity = built.capacity;
        Limits file = limit;
        // (Our fathers alone outgrow the light ball's faces: its file then has none.)
        auto less = [](int figure, int appended) { return std::max(0, figure - std::max(0, appended)); };
        file.meshes = less(file.meshes, built.mesh_count - built.loaded.mesh_count);
        file.vertices = less(file.vertices, built.vertex_count - built.loaded.vertex_count);
        file.faces = less(file.faces, built.face_count - built.loaded.face_count);
        file.lights = less(file.lights, built.scene.light_count - built.loaded.light_count);
        ASSERT_TRUE(write_file("limits.3ds", encode_3ds(scene_of(file))));

        static PartScene scratch;
        part_create(scratch, limit.part, capacity);
        part_load_3ds(scratch, SceneFile{"limits.3ds", 40.0f});
        const LoadSummary &got = scratch.loaded;
        EXPECT_EQ(std::vector<int>({got.mesh_count, got.face_count, got.vertex_count, got.light_count,
                                    got.camera_key_count, got.object_key_count}),
                  std::vector<int>({file.meshes, file.faces, file.vertices, file.lights, file.camera_keys,
                                    file.object_keys}));
    }
}

}  // namespace
