// fuzz_mdl.cpp: a Quake .mdl "fuzz-input.mdl" in the working directory loaded into the model
// table, then posed over its frames: looping play, a smooth switch, and a walk along a path.
// Its skin "fuzz-input.bmp" is a small valid picture written once.
#include <vector>

#include "fuzz_common.h"
#include "scene/model.h"

static std::vector<Vertex> vertices(MDL_MAX_VERTICES);
static std::vector<Face> faces;

static void release() {
    free_model_table();
    fuzz_reset_textures();
}

// A 2 x 2 24-bit BMP (rows padded to 8 bytes).
static void write_skin() {
    uint8_t bmp[70] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24};
    for (int i = 54; i < 70; ++i) bmp[i] = uint8_t(i * 13);
    if (!fuzz_write_file("fuzz-input.bmp", bmp, sizeof bmp)) abort();
}

static void pose_everything() {
    load_model("fuzz-input.mdl");
    const Model &model = model_table[0];
    faces.assign(size_t(model.triangle_count) + 1, Face{});
    Mesh mesh;
    init_mesh(mesh);
    snprintf(mesh.name, sizeof mesh.name, "%s", "fuzz-input.mdl");
    mesh.faces = faces.data();
    int last = model.frame_count - 1;
    int steps = model.frame_count < 40 ? model.frame_count : 40;
    for (int i = 0; i < steps; ++i)
        pose_model("fuzz-input.mdl", mesh, vertices.data(), float(i) * 0.1f, 0, last, 10.0f, i == 0, 0);
    // Switch smoothly into the last frame alone, across the blend and past it.
    for (int i = 0; i < 4; ++i)
        pose_model("fuzz-input.mdl", mesh, vertices.data(), 4.0f + float(i) * 0.06f, last, last, 10.0f, 0, 1);
    ModelPathKey path[2] = {};
    path[0].last_frame = last / 2;
    path[0].fps = 10.0f;
    path[0].scale = 1.0f;
    path[0].target_x = 5.0f;
    path[1] = path[0];
    path[1].frame = 20.0f;
    path[1].first_frame = last / 2;
    path[1].last_frame = last;
    path[1].position[0] = 3.0f;
    mesh.model_path = path;
    mesh.model_path_count = 2;
    mesh.lit = 1;
    for (int i = 0; i < 4; ++i) pose_model_on_path(mesh, vertices.data(), float(i) * 0.5f, 10.0f);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool skin_written = false;
    if (!skin_written) write_skin(), skin_written = true;
    if (!fuzz_write_file("fuzz-input.mdl", data, size)) abort();
    fuzz_run(pose_everything, release);
    return 0;
}
