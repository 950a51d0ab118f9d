// bench_pose.cpp: time of one frame of camera track and mesh posing on a scene of typical size.
#include <chrono>
#include <cstdio>
#include <vector>

#include "scene/pose.h"
#include "scene/spline.h"

int main() {
    const int meshes = 40, vertices_per_mesh = 500, keys_per_mesh = 60, camera_keys = 200;
    std::vector<ObjectKey> object_keys(size_t(meshes) * keys_per_mesh);
    for (size_t i = 0; i < object_keys.size(); i++) {
        ObjectKey &k = object_keys[i];
        k = ObjectKey{};
        k.frame = float(i % keys_per_mesh) * 5;
        k.position[0] = float(i % 7);
        k.axis[1] = 1;
        k.angle = 0.05f * float(i % keys_per_mesh);
        k.scale[0] = k.scale[1] = k.scale[2] = 1;
    }
    std::vector<CameraKey> track(camera_keys);
    for (int i = 0; i < camera_keys; i++) {
        track[i] = CameraKey{};
        track[i].frame = float(i) * 1.5f;
        track[i].position[0] = float(i);
        track[i].fov = 60;
    }
    std::vector<Mesh> mesh(meshes);
    std::vector<Vertex> source(size_t(meshes) * vertices_per_mesh), work(source.size());
    for (size_t i = 0; i < source.size(); i++) {
        init_vertex(source[i]);
        source[i].position[0] = float(i % 13);
        source[i].position[1] = float(i % 7);
    }
    Scene scene;
    Camera camera;
    init_scene(scene);
    init_camera(camera);
    for (int m = 0; m < meshes; m++) {
        init_mesh(mesh[m]);
        mesh[m].first_vertex = m * vertices_per_mesh;
        mesh[m].vertex_count = vertices_per_mesh;
        mesh[m].first_key = m * keys_per_mesh;
        mesh[m].key_count = keys_per_mesh;
    }
    scene.object_keys = object_keys.data();
    scene.camera_keys = track.data();
    scene.camera_key_count = camera_keys;
    scene.frame_rate = 30;

    const int frames = 500;
    auto start = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; f++) {
        float t = 0.02f * float(f);
        animate_camera(camera, scene, t);
        work = source;
        for (int m = 0; m < meshes; m++) animate_mesh(scene, mesh[m], work.data(), t, 30);
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    printf("posing: %d meshes x %d vertices x %d keys + camera track of %d keys: %.3f ms per frame "
           "(check %.3f)\n",
           meshes, vertices_per_mesh, keys_per_mesh, camera_keys, ms / frames,
           double(work[1234].position[1] + camera.position[0]));
    return 0;
}
