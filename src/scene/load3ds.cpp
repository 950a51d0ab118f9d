// load3ds.cpp: the 3DS load sequence: open, reset the loader state, walk the chunks, finish
// the key tables, move meshes into object space, pose single-key meshes, report the counts.
#include "app/ascii.h"
#include "scene/load3ds.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "app/files.h"
#include "app/messages.h"
#include "scene/load3ds_state.h"
#include "scene/pose.h"

Loader3ds loader3ds;

// Empty every table and counter of the loader and take the caller's arrays.
static void reset_loader(const char *name, Scene &scene, Mesh *meshes, Face *faces, Vertex *vertices,
                         Light *lights, Camera *camera, CameraKey *camera_keys, ObjectKey *object_keys,
                         ModelPathKey *model_path, float play_time, const Load3dsCapacity &capacity) {
    Loader3ds &L = loader3ds;
    memset(&L, 0, sizeof L);
    snprintf(L.file_name, sizeof L.file_name, "%s", name);
    lower_case(L.file_name);
    L.file = -1;
    L.play_time = play_time;
    L.scene = &scene;
    L.meshes = meshes;
    L.faces = faces;
    L.vertices = vertices;
    L.lights = lights;
    L.camera = camera;
    L.camera_keys = camera_keys;
    L.object_keys = object_keys;
    L.model_path = model_path;
    L.capacity = capacity;
    if (!model_path) L.capacity.model_path_keys = 0;
    L.current_material = -1;
    L.building_mesh = -1;
    L.current_node = -1;
}

// Subtract the mesh's translation and apply its inverse matrix to each of its vertices.
static void to_object_space(const Mesh &mesh, const MatrixEntry &e, Vertex *vertices) {
    for (int i = 0; i < mesh.vertex_count; i++) {
        float *p = vertices[mesh.first_vertex + i].position;
        float x = p[0] - e.translation[0], y = p[1] - e.translation[1], z = p[2] - e.translation[2];
        p[0] = e.inverse[0] * x + e.inverse[1] * y + e.inverse[2] * z;
        p[1] = e.inverse[3] * x + e.inverse[4] * y + e.inverse[5] * z;
        p[2] = e.inverse[6] * x + e.inverse[7] * y + e.inverse[8] * z;
    }
}

LoadSummary *load_3ds(const char *name, Scene &scene, Mesh *meshes, Face *faces, Vertex *vertices,
                      Light *lights, Camera *camera, CameraKey *camera_keys, ObjectKey *object_keys,
                      ModelPathKey *model_path, float play_time, const Load3dsCapacity &capacity) {
    int file = file_open(name, "rb");
    if (file < 0) fatal_errorf("Couldn't open %s!\n", name);
    reset_loader(name, scene, meshes, faces, vertices, lights, camera, camera_keys, object_keys, model_path,
                 play_time, capacity);
    Loader3ds &L = loader3ds;
    L.file = file;
    char line[300];
    snprintf(line, sizeof line, "       %.255s", L.file_name);
    screen_print(line, true);

    file_seek(file, 0, 2);
    L.file_size = file_tell(file);
    file_seek(file, 0, 0);
    walk_chunks(file, 0, L.file_size);

    finish_camera_keys();
    if (model_path) finish_model_path();

    scene.meshes = meshes;
    scene.lights = lights;
    scene.vertices = vertices;
    scene.camera_keys = camera_keys;
    scene.object_keys = object_keys;
    scene.camera = camera;
    scene.vertex_count = L.vertex_count;
    scene.mesh_count = L.mesh_count;
    scene.light_count = L.light_count;
    scene.camera_key_count = L.camera_key_count;

    for (int m = 0; m < L.mesh_count; m++) {
        Mesh &mesh = meshes[m];
        to_object_space(mesh, L.matrices[m], vertices);
        if (mesh.key_count == 1) {
            animate_mesh(scene, mesh, vertices, 0.0f, 20.0f);
            mesh.key_count = -1;
        }
    }

    LoadSummary *summary = new LoadSummary;
    summary->mesh_count = L.mesh_count;
    summary->face_count = L.face_count;
    summary->vertex_count = L.vertex_count;
    summary->light_count = L.light_count;
    summary->camera_key_count = L.camera_key_count;
    summary->object_key_count = L.object_key_count;
    summary->model_path_key_count = model_path ? L.model_path_key_count : -1;
    file_close(file);
    return summary;
}

LoadSummary *load_3ds(const char *name, Scene &scene, Mesh *meshes, Face *faces, Vertex *vertices,
                      Light *lights, Camera *camera, CameraKey *camera_keys, ObjectKey *object_keys,
                      ModelPathKey *model_path, float play_time) {
    const Load3dsCapacity unbounded = {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    return load_3ds(name, scene, meshes, faces, vertices, lights, camera, camera_keys, object_keys, model_path,
                    play_time, unbounded);
}
