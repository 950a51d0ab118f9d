// bench_load3ds.cpp: time of load_3ds on a scene larger than any of the show's, read loose
// from the working directory and from inside a "Data" pack.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/files.h"
#include "scene/load3ds.h"
#include "writers/bmp_writer.h"
#include "writers/pack_writer.h"
#include "writers/writer_3ds.h"

enum { MESHES = 40, GRID = 22, KEYS = 60, CAMERA_KEYS = 50 };

// 40 grid meshes of 22 x 22 vertices, each with a node of 60 position and rotation keys.
static Scene3ds big_scene() {
    Scene3ds s;
    s.end_frame = 1000;
    Material3ds m;
    m.name = "grey";
    s.materials.push_back(m);
    for (int n = 0; n < MESHES; n++) {
        Mesh3ds mesh;
        mesh.name = "grid" + std::to_string(n);
        for (int y = 0; y < GRID; y++)
            for (int x = 0; x < GRID; x++) mesh.add_vertex(float(x), float(y), float(n), x / 21.0f, y / 21.0f);
        for (int y = 0; y + 1 < GRID; y++)
            for (int x = 0; x + 1 < GRID; x++) {
                int i = y * GRID + x;
                mesh.add_face(i, i + 1, i + GRID + 1);
                mesh.add_face(i, i + GRID + 1, i + GRID);
            }
        mesh.set_material("grey", 0, mesh.face_count());
        s.meshes.push_back(mesh);
        ObjectNode3ds node;
        node.name = mesh.name;
        for (int k = 0; k < KEYS; k++) {
            node.position.push_back(key3ds_position(uint32_t(k * 10), float(k), 0, 0));
            node.rotation.push_back(key3ds_rotation(uint32_t(k * 10), 0.1f * float(k), 0, 0, 1));
        }
        node.scale.push_back(key3ds_scale(0, 1, 1, 1));
        s.object_nodes.push_back(node);
    }
    CameraNode3ds camera;
    camera.name = "cam";
    for (int k = 0; k < CAMERA_KEYS; k++) {
        camera.position.push_back(key3ds_position(uint32_t(k * 20), float(k), -50, 10));
        camera.target.push_back(key3ds_position(uint32_t(k * 20), 0, 0, 0));
    }
    s.camera_nodes.push_back(camera);
    return s;
}

// Milliseconds per load of `name`, over `runs` loads into the same arrays.
static double time_loads(const char *name, int runs, LoadSummary &last) {
    const Load3dsCapacity cap = {MESHES, 40000, 20000, 4, 100, MESHES * KEYS, 0};
    static std::vector<Mesh> meshes(size_t(cap.meshes));
    static std::vector<Face> faces(size_t(cap.faces));
    static std::vector<Vertex> vertices(size_t(cap.vertices));
    static std::vector<Light> lights(size_t(cap.lights));
    static std::vector<CameraKey> camera_keys(size_t(cap.camera_keys));
    static std::vector<ObjectKey> object_keys(size_t(cap.object_keys));
    Camera camera;
    Scene scene;
    auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < runs; r++) {
        for (Mesh &m : meshes) init_mesh(m);
        init_camera(camera);
        init_scene(scene);
        LoadSummary *s = load_3ds(name, scene, meshes.data(), faces.data(), vertices.data(), lights.data(), &camera,
                                  camera_keys.data(), object_keys.data(), nullptr, 50.0f, cap);
        last = *s;
        delete s;
    }
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count() / runs;
}

int main() {
    char dir[] = "/tmp/kelp-bench-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) return 1;
    std::vector<uint8_t> bytes = encode_3ds(big_scene());
    write_file("big.3ds", bytes);
    std::string error;
    pack_write("Data", {PackEntry{"packed.3ds", bytes}}, &error);

    LoadSummary s{};
    archive_open("Data");
    double loose = time_loads("big.3ds", 5, s);
    double packed = time_loads("packed.3ds", 5, s);
    file_close_all();
    printf("scene: %zu bytes, %d meshes, %d vertices, %d faces, %d object keys, %d camera keys\n", bytes.size(),
           s.mesh_count, s.vertex_count, s.face_count, s.object_key_count, s.camera_key_count);
    printf("load_3ds loose file:  %.2f ms (%.1f MB/s)\n", loose, bytes.size() / loose / 1000.0);
    printf("load_3ds from pack:   %.2f ms (%.1f MB/s)\n", packed, bytes.size() / packed / 1000.0);
    unlink("big.3ds");
    unlink("Data");
    chdir("/tmp");
    rmdir(dir);
    return 0;
}
