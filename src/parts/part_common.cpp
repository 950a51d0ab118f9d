// part_common.cpp: the part builder: allocation, loading, appended meshes and models, counts.
#include "parts/part_common.h"

#include <cstdio>
#include <cstdlib>

#include "app/messages.h"
#include "scene/load3ds.h"
#include "scene/model.h"
#include "scene/pose.h"
#include "parts/part_table.h"

PartScene *part_scenes[PART_COUNT];

// Replace *array with `count` fresh records set to their defaults by init (zero first, so
// the bytes between fields are zero too and a digest of the bytes stays the same).
template <typename T>
static void renew(T *&array, int count, void (*init)(T &)) {
    delete[] array;
    array = count > 0 ? new T[count]() : nullptr;
    if (init)
        for (int i = 0; i < count; i++) init(array[i]);
}

static void init_zero_camera_key(CameraKey &key) { key = CameraKey{}; }
static void init_zero_object_key(ObjectKey &key) { key = ObjectKey{}; }
static void init_zero_path_key(ModelPathKey &key) { key = ModelPathKey{}; }

void part_create(PartScene &part, int number, const PartCapacity &capacity) {
    if (number < 1 || number > PART_COUNT) fatal_errorf("part_create: no demo part %d", number);
    part.number = number;
    part.tag = part_table[number - 1].tag;
    part_scenes[number - 1] = &part;
    part.own = nullptr;
    part.own_size = 0;
    delete[] part.loaded_state;  // the copy of an earlier load
    part.loaded_state = nullptr;
    part.capacity = capacity;
    renew(part.vertices, capacity.vertices, init_vertex);
    renew(part.faces, capacity.faces, init_face);
    renew(part.meshes, capacity.meshes, init_mesh);
    renew(part.lights, capacity.lights, init_light);
    renew(part.camera_keys, capacity.camera_keys, init_zero_camera_key);
    renew(part.object_keys, capacity.object_keys, init_zero_object_key);
    renew(part.model_path, capacity.model_path_keys, init_zero_path_key);
    free(part.scene.active_lights);  // the list of an earlier load
    init_scene(part.scene);
    init_camera(part.camera);
    part.scene.meshes = part.meshes;
    part.scene.vertices = part.vertices;
    part.scene.lights = part.lights;
    part.scene.camera = &part.camera;
    part.scene.camera_keys = part.camera_keys;
    part.scene.object_keys = part.object_keys;
    part.mesh_count = part.face_count = part.vertex_count = 0;
    part.loaded = LoadSummary{};
}

void part_load_3ds(PartScene &part, const SceneFile &file) {
    const PartCapacity &c = part.capacity;
    const Load3dsCapacity capacity = {c.meshes, c.faces, c.vertices, c.lights,
                                      c.camera_keys, c.object_keys, c.model_path_keys};
    LoadSummary *summary = load_3ds(file.name, part.scene, part.meshes, part.faces, part.vertices, part.lights,
                                    &part.camera, part.camera_keys, part.object_keys, part.model_path,
                                    file.play_time, capacity);
    part.loaded = *summary;
    delete summary;
    part.mesh_count = part.loaded.mesh_count;
    part.face_count = part.loaded.face_count;
    part.vertex_count = part.loaded.vertex_count;
}

void part_light_loaded_meshes(PartScene &part, float ambient, byte light_blend, byte two_sided) {
    for (int i = 0; i < part.mesh_count; i++) {
        Mesh &mesh = part.meshes[i];
        compute_normals(mesh, part.vertices);
        mesh.lit = 1;
        mesh.ambient = ambient;
        for (int f = 0; f < mesh.face_count; f++) {
            mesh.faces[f].light_blend = light_blend;
            mesh.faces[f].two_sided = two_sided;
        }
    }
}

float place_model(PartScene &part, int mesh, const ModelPlacement &p, float t, byte copy_faces, byte smooth_switch,
                  bool normals) {
    Mesh &m = part.meshes[mesh];
    float frame = pose_model(p.model, m, part.vertices, t, p.first_frame, p.last_frame, p.fps, copy_faces, smooth_switch);
    if (p.scale != 1.0f) scale_mesh(m, part.vertices, p.scale, p.scale, p.scale);
    rotate_mesh(m, part.vertices, 0, 1, 0, p.turn);
    translate_mesh(m, part.vertices, p.x, p.y, p.z);
    if (normals) compute_normals(m, part.vertices);
    return frame;
}

// Fatal unless `wanted` more records fit after `used` of `capacity`.
static void check_room(const PartScene &part, const char *name, const char *array, int used, int wanted,
                       int capacity) {
    if (wanted < 0 || used + wanted > capacity)
        fatal_errorf("%s: [%s] no room for %d more %s (%d of %d used)", part.tag, name, wanted, array, used,
                     capacity);
}

Mesh &part_add_mesh(PartScene &part, const char *name, int vertex_count, int face_count) {
    check_room(part, name, "meshes", part.mesh_count, 1, part.capacity.meshes);
    check_room(part, name, "vertices", part.vertex_count, vertex_count, part.capacity.vertices);
    check_room(part, name, "faces", part.face_count, face_count, part.capacity.faces);
    Mesh &mesh = part.meshes[part.mesh_count++];
    snprintf(mesh.name, sizeof mesh.name, "%s", name);
    mesh.faces = &part.faces[part.face_count];
    mesh.first_vertex = part.vertex_count;
    mesh.vertex_count = vertex_count;
    mesh.face_count = face_count;
    part.vertex_count += vertex_count;
    part.face_count += face_count;
    return mesh;
}

Mesh &part_add_model(PartScene &part, const char *model) {
    int index = find_model(model);
    if (index < 0) fatal_errorf("Model %s not found!", model);
    const Model &m = model_table[index];
    return part_add_mesh(part, model, m.vertex_count, m.triangle_count);
}

Light &part_add_light(PartScene &part) {
    check_room(part, "light", "lights", part.scene.light_count, 1, part.capacity.lights);
    return part.lights[part.scene.light_count++];
}

void part_finish(PartScene &part) {
    part.scene.mesh_count = part.mesh_count;
    part.scene.vertex_count = part.vertex_count;
    collect_active_lights(part.scene);
}

void part_keep_state(PartScene &part, void *record, size_t size) {
    part.own = record;
    part.own_size = size;
}

void set_quad_faces(Face *quad, int first) {
    quad[0].a = first, quad[0].b = first + 2, quad[0].c = first + 1;
    quad[1].a = first, quad[1].b = first + 3, quad[1].c = first + 2;
}

void log_part_counts(const PartScene &part, int extra_meshes, int extra_vertices, int extra_faces) {
    log_linef("%s: meshes %d", part.tag, part.scene.mesh_count + extra_meshes);
    log_linef("%s: verts  %d", part.tag, part.scene.vertex_count + extra_vertices);
    log_linef("%s: faces  %d", part.tag, part.face_count + extra_faces);
    log_linef("%s: lights %d", part.tag, part.scene.light_count);
    log_linef("%s: anims  %d", part.tag, part.loaded.object_key_count);
    log_linef("%s: cams   %d", part.tag, part.loaded.camera_key_count);
}
