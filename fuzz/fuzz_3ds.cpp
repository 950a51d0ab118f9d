// fuzz_3ds.cpp: the whole .3ds load (chunks, materials, meshes, lights, camera, keyframer)
// on an arbitrary file "fuzz-input.3ds" in the working directory, into arrays of fixed size.
// Run it where the show's pictures lie loose, so that materials naming them load.
#include "fuzz_common.h"
#include "scene/load3ds.h"

static const Load3dsCapacity capacity = {64, 20000, 20000, 16, 100, 4000, 64};
static Mesh meshes[64];
static Face faces[20000];
static Vertex vertices[20000];
static Light lights[16];
static CameraKey camera_keys[100];
static ObjectKey object_keys[4000];
static ModelPathKey model_path[64];
static Camera camera;
static Scene scene;

static void release() {
    // Pictures stay registered between inputs (each loads once) until the table nears full.
    if (texture_count > MAX_TEXTURES - 100) fuzz_reset_textures();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!fuzz_write_file("fuzz-input.3ds", data, size)) abort();
    for (Mesh &m : meshes) init_mesh(m);
    for (Face &f : faces) init_face(f);
    for (Vertex &v : vertices) init_vertex(v);
    for (Light &l : lights) init_light(l);
    memset(camera_keys, 0, sizeof camera_keys);
    memset(object_keys, 0, sizeof object_keys);
    memset(model_path, 0, sizeof model_path);
    init_camera(camera);
    init_scene(scene);
    fuzz_run(
        [&] {
            LoadSummary *summary = load_3ds("fuzz-input.3ds", scene, meshes, faces, vertices, lights, &camera,
                                            camera_keys, object_keys, model_path, 10.0f, capacity);
            delete summary;
        },
        release);
    return 0;
}
