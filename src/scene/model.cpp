// model.cpp: Quake .mdl characters: the table of three models, loading them from their
// files, and posing a blended animation frame into a mesh that a demo part reserved.
#include "scene/model.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "app/file_bytes.h"
#include "app/messages.h"
#include "scene/pose.h"
#include "texture/texture.h"

Model *model_table = nullptr;
int model_count = 0;

enum {
    MDL_TEXCOORD_SIZE = 12,
    MDL_TRIANGLE_SIZE = 16,
    MDL_FRAME_HEADER_SIZE = 28,
    MDL_PACKED_VERTEX_SIZE = 4,
    MDL_DEFAULT_SKIN_SIDE = 256,
};

// Allocate the table of three empty models.
void create_model_table() {
    model_table = static_cast<Model *>(calloc(MAX_MODELS, sizeof(Model)));
    if (!model_table) fatal_error("out of memory for the model table");
    model_count = 0;
}

// Free every loaded model and the table.
void free_model_table() {
    if (!model_table) return;
    for (int i = 0; i < model_count; ++i) {
        free(model_table[i].frames);
        free(model_table[i].header);
        free(model_table[i].vertices);
        free(model_table[i].faces);
    }
    free(model_table);
    model_table = nullptr;
    model_count = 0;
}

// Zero-filled heap storage for count elements of size bytes, or a fatal error.
static void *model_alloc(const char *name, uint64_t count, uint64_t size) {
    void *p = calloc(count ? size_t(count) : 1, size_t(size));
    if (!p) fatal_errorf("model %s: out of memory for %llu bytes", name, (unsigned long long)(count * size));
    return p;
}

// A header count that must lie between low and high.
static int32_t model_count_field(const FileBytes &file, uint64_t offset, const char *what, int32_t low,
                                 int32_t high) {
    int32_t value = bytes_i32(file, offset);
    if (value < low || value > high)
        fatal_errorf("model %s has a %s of %d, must be %d to %d!", file.name, what, value, low, high);
    return value;
}

// Read one .mdl into the next table slot, every section checked against the file first.
void load_model(const char *name) {
    if (!model_table) create_model_table();
    if (model_count >= MAX_MODELS) fatal_errorf("too many models loading %s (at most %d)!", name, int(MAX_MODELS));
    if (strlen(name) >= sizeof(Model::name))
        fatal_errorf("model name %s is too long (at most %d characters)!", name, int(sizeof(Model::name)) - 1);
    Model &model = model_table[model_count];
    memset(&model, 0, sizeof model);
    snprintf(model.name, sizeof model.name, "%s", name);

    // The skin is the BMP of the same base name.
    char skin_name[TEXTURE_NAME_SIZE + 8];
    snprintf(skin_name, sizeof skin_name, "%s", name);
    if (char *dot = strrchr(skin_name, '.')) *dot = '\0';
    strncat(skin_name, ".bmp", sizeof skin_name - strlen(skin_name) - 1);

    FileBytes file = file_load_bytes(name, "model", "Couldn't open %s!");
    bytes_need(file, 0, MDL_HEADER_SIZE);
    float scale[3] = {bytes_f32(file, 8), bytes_f32(file, 12), bytes_f32(file, 16)};
    int32_t skin_count = model_count_field(file, 48, "skin count", 0, INT32_MAX);
    int32_t skin_width = model_count_field(file, 52, "skin width", 0, INT32_MAX);
    int32_t skin_height = model_count_field(file, 56, "skin height", 0, INT32_MAX);
    int32_t vertex_count = model_count_field(file, 60, "vertex count", 1, MDL_MAX_VERTICES);
    int32_t triangle_count = model_count_field(file, 64, "triangle count", 0, INT32_MAX);
    int32_t frame_count = model_count_field(file, 68, "frame count", 1, INT32_MAX);
    if (skin_width == 0) skin_width = MDL_DEFAULT_SKIN_SIDE;
    if (skin_height == 0) skin_height = MDL_DEFAULT_SKIN_SIDE;

    // Every section must lie inside the file before anything is read or allocated.
    uint64_t skin_size = 4 + uint64_t(skin_width) * uint64_t(skin_height);
    bytes_need(file, MDL_HEADER_SIZE, skin_count ? skin_size : 0);
    uint64_t texcoord_offset = MDL_HEADER_SIZE + uint64_t(skin_count) * skin_size;
    uint64_t triangle_offset = texcoord_offset + uint64_t(vertex_count) * MDL_TEXCOORD_SIZE;
    bytes_need(file, triangle_offset, uint64_t(triangle_count) * MDL_TRIANGLE_SIZE);
    uint64_t frame_offset = triangle_offset + uint64_t(triangle_count) * MDL_TRIANGLE_SIZE;
    uint64_t frame_size = MDL_FRAME_HEADER_SIZE + uint64_t(vertex_count) * MDL_PACKED_VERTEX_SIZE;
    bytes_need(file, frame_offset, uint64_t(frame_count) * frame_size);

    // Skin groups and frame groups have other layouts; reading them as single ones gives garbage.
    for (int32_t i = 0; i < skin_count; ++i)
        if (bytes_i32(file, MDL_HEADER_SIZE + uint64_t(i) * skin_size) != 0)
            fatal_errorf("model %s has a skin group (skin %d); only single skins are read!", name, i);
    for (int32_t f = 0; f < frame_count; ++f)
        if (bytes_i32(file, frame_offset + uint64_t(f) * frame_size) != 0)
            fatal_errorf("model %s has a frame group (frame %d); only simple frames are read!", name, f);
    for (int32_t i = 0; i < triangle_count; ++i)
        for (int k = 0; k < 3; ++k) {
            int32_t index = bytes_i32(file, triangle_offset + uint64_t(i) * MDL_TRIANGLE_SIZE + 4 + 4 * k);
            if (index < 0 || index >= vertex_count)
                fatal_errorf("model %s has triangle %d with vertex index %d beyond its %d vertices!", name, i,
                             index, vertex_count);
        }

    model.header = static_cast<uint8_t *>(model_alloc(name, MDL_HEADER_SIZE, 1));
    memcpy(model.header, file.data, MDL_HEADER_SIZE);
    model.vertex_count = vertex_count;
    model.triangle_count = triangle_count;
    model.frame_count = frame_count;
    model.vertices = static_cast<Vertex *>(model_alloc(name, uint64_t(vertex_count), sizeof(Vertex)));
    model.faces = static_cast<Face *>(model_alloc(name, uint64_t(triangle_count), sizeof(Face)));
    model.frames = static_cast<float *>(model_alloc(name, uint64_t(frame_count) * uint64_t(vertex_count), 3 * sizeof(float)));

    int32_t skin_texture = -1;
    for (int32_t i = 0; i < triangle_count; ++i) {
        if (skin_texture < 0) skin_texture = texture_find(skin_name, true);
        Face &face = model.faces[i];
        init_face(face);
        uint64_t at = triangle_offset + uint64_t(i) * MDL_TRIANGLE_SIZE;
        face.a = bytes_i32(file, at + 4);
        face.b = bytes_i32(file, at + 8);
        face.c = bytes_i32(file, at + 12);
        face.texture = skin_texture;
        face.blend_mode = 0;
        face.light_blend = 0;
    }
    for (int32_t i = 0; i < vertex_count; ++i) {
        Vertex &vertex = model.vertices[i];
        init_vertex(vertex);
        uint64_t at = texcoord_offset + uint64_t(i) * MDL_TEXCOORD_SIZE;
        vertex.u = float(bytes_i32(file, at + 4)) / float(skin_width);
        vertex.v = 1.0f - float(bytes_i32(file, at + 8)) / float(skin_height);
    }
    // Positions become (y, z, x) scaled: the model's up axis is the second component.
    // Each frame is then centred horizontally; its height is kept.
    for (int32_t f = 0; f < frame_count; ++f) {
        const uint8_t *packed = bytes_at(file, frame_offset + uint64_t(f) * frame_size + MDL_FRAME_HEADER_SIZE,
                                         uint64_t(vertex_count) * MDL_PACKED_VERTEX_SIZE);
        float *out = model.frames + size_t(f) * size_t(vertex_count) * 3;
        float sum_first = 0, sum_third = 0;
        for (int32_t v = 0; v < vertex_count; ++v) {
            const uint8_t *p = packed + v * MDL_PACKED_VERTEX_SIZE;
            out[v * 3 + 0] = float(p[1]) * scale[1];
            out[v * 3 + 1] = float(p[2]) * scale[2];
            out[v * 3 + 2] = float(p[0]) * scale[0];
            sum_first += out[v * 3 + 0];
            sum_third += out[v * 3 + 2];
        }
        float mean_first = sum_first / float(vertex_count), mean_third = sum_third / float(vertex_count);
        for (int32_t v = 0; v < vertex_count; ++v) {
            out[v * 3 + 0] -= mean_first;
            out[v * 3 + 2] -= mean_third;
        }
    }
    file_free_bytes(file);
    ++model_count;
}

// First model whose file name matches, ignoring case.
int find_model(const char *name) {
    for (int i = 0; i < model_count; ++i)
        if (strcasecmp(model_table[i].name, name) == 0) return i;
    return -1;
}

// Fatal unless the model has this frame.
static void check_frame(const Model &model, int frame) {
    if (frame < 0 || frame >= model.frame_count)
        fatal_errorf("model %s has no frame %d (it has %d frames)!", model.name, frame, model.frame_count);
}

// Split a position in frames into its whole frame within a sequence of n and the fraction.
static void split_frame_pos(float frame_pos, int n, int &step, float &fraction) {
    if (!std::isfinite(frame_pos)) frame_pos = 0;
    double whole = std::floor(double(frame_pos));
    fraction = float(double(frame_pos) - whole);
    if (fraction >= 1.0f) fraction = 0.0f;  // a value just below a whole number rounded up
    step = int(std::fmod(whole, double(n)));
    if (step < 0) step += n;
}

// Blend the frame due at t (looping or switching sequences) into the mesh's vertices.
float pose_model(const char *name, Mesh &mesh, Vertex *vertices, float t, int first_frame, int last_frame,
                 float fps, byte copy_faces, byte smooth_switch) {
    int index = find_model(name);
    if (index < 0) fatal_errorf("Model %s not found!", name);
    Model &model = model_table[index];
    ModelAnimation &play = model.animation;
    check_frame(model, first_frame);
    check_frame(model, last_frame);
    int n = last_frame - first_frame + 1;

    int from, to;
    float f;
    if (!smooth_switch || (play.seq_first == first_frame && play.seq_last == last_frame)) {
        // Looping play of the current sequence. A range that ends before it starts can only
        // be switched towards (the blend into its first frame), never played.
        if (n < 1)
            fatal_errorf("model %s has an empty frame range %d to %d!", model.name, first_frame, last_frame);
        play.frame_pos = (t - play.start_time) * fps;
        int step;
        split_frame_pos(play.frame_pos, n, step, f);
        from = first_frame + step;
        to = first_frame + (step + 1) % n;
        play.current_frame = f < 0.5f ? from : to;
    } else {
        // Switching: one frame time blending from the frame shown last into the new sequence.
        if (!play.in_transition) {
            play.start_time = t;
            play.in_transition = 1;
        }
        play.frame_pos = (t - play.start_time) * fps;
        if (play.frame_pos < 1.0f) {
            int unused;
            split_frame_pos(play.frame_pos, 1, unused, f);
            from = play.current_frame;
            to = first_frame;
        } else {
            play.seq_first = first_frame;
            play.seq_last = last_frame;
            play.in_transition = 0;
            from = first_frame;
            // The model's last frame has no successor: hold it.
            to = first_frame + 1 < model.frame_count ? first_frame + 1 : first_frame;
            f = play.frame_pos - 1.0f;
            if (f > 1.0f) f = 1.0f;
        }
    }

    const float *a = model.frames + size_t(from) * size_t(model.vertex_count) * 3;
    const float *b = model.frames + size_t(to) * size_t(model.vertex_count) * 3;
    Vertex *out = vertices + mesh.first_vertex;
    for (int k = 0; k < model.vertex_count; ++k) {
        for (int c = 0; c < 3; ++c) out[k].position[c] = b[k * 3 + c] * f + a[k * 3 + c] * (1.0f - f);
        if (copy_faces) {
            out[k].u = model.vertices[k].u;
            out[k].v = model.vertices[k].v;
        }
    }
    mesh.vertex_count = model.vertex_count;
    mesh.face_count = model.triangle_count;
    mesh.pivot[0] = mesh.pivot[1] = mesh.pivot[2] = 0.0f;
    if (copy_faces && model.triangle_count > 0) {
        if (!mesh.faces) fatal_errorf("mesh %s has no faces to receive model %s", mesh.name, model.name);
        memcpy(mesh.faces, model.faces, size_t(model.triangle_count) * sizeof(Face));
    }
    return float(from) + f;
}

// Seconds of a path key; a scene without a frame rate puts every key at 0.
static float path_key_time(const ModelPathKey &key, float rate) { return rate > 0.0f ? key.frame / rate : 0.0f; }

// Pose, scale, turn and move the mesh's model along its path keys at t.
void pose_model_on_path(Mesh &mesh, Vertex *vertices, float t, float rate) {
    if (mesh.model_path_count <= 0 || !mesh.model_path) return;
    const ModelPathKey *keys = mesh.model_path;
    int count = mesh.model_path_count;
    int j = 0;
    while (j + 1 < count && path_key_time(keys[j + 1], rate) <= t) ++j;
    const ModelPathKey &key = keys[j];

    pose_model(mesh.name, mesh, vertices, t, key.first_frame, key.last_frame, key.fps, 0, 1);
    scale_mesh(mesh, vertices, key.scale, key.scale, key.scale);

    // Heading from the blend of the two keys' directions to their targets.
    float f = 0.0f;
    const ModelPathKey *next = j + 1 < count ? &keys[j + 1] : nullptr;
    if (next) {
        float span = path_key_time(*next, rate) - path_key_time(key, rate);
        f = span != 0.0f ? (t - path_key_time(key, rate)) / span : 0.0f;
    }
    float dx = key.target_x - key.position[0], dy = key.target_y - key.position[2];
    float p[3] = {key.position[0], key.position[1], key.position[2]};
    if (next) {
        dx = dx * (1.0f - f) + (next->target_x - next->position[0]) * f;
        dy = dy * (1.0f - f) + (next->target_y - next->position[2]) * f;
        for (int c = 0; c < 3; ++c) p[c] = key.position[c] * (1.0f - f) + next->position[c] * f;
    }
    float length = std::sqrt(dx * dx + dy * dy);
    float heading = length > 0.0f ? std::asin(std::fmax(-1.0f, std::fmin(1.0f, dx / length))) : 0.0f;
    if (dy > 0) heading = -heading;
    rotate_mesh(mesh, vertices, 0.0f, 1.0f, 0.0f, heading - 1.5707964f);
    translate_mesh(mesh, vertices, p[0], p[1] - 7.5f * key.scale, -p[2]);
    if (mesh.lit) compute_normals(mesh, vertices);
}

// Back to the state after loading, for every model.
void reset_model_state() {
    for (int i = 0; i < model_count; ++i) model_table[i].animation = ModelAnimation{};
}

void save_model_state(ModelAnimation saved[MAX_MODELS]) {
    for (int i = 0; i < MAX_MODELS; ++i) saved[i] = i < model_count ? model_table[i].animation : ModelAnimation{};
}

void restore_model_state(const ModelAnimation saved[MAX_MODELS]) {
    for (int i = 0; i < model_count && i < MAX_MODELS; ++i) model_table[i].animation = saved[i];
}
