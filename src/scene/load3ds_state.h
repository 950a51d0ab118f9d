// load3ds_state.h: the 3DS loader's working state shared by its walker, handlers and
// finishing steps, and the bounded reader through which every byte of the file is read.
#pragma once
#include <cstddef>
#include <cstdint>

#include "scene/load3ds.h"

// A material of the file (loader-internal).
struct Material {
    char name[64];
    float diffuse[3];
    float opacity;  // percent
    int32_t texture;
};

// Inverse of a mesh's 3x3 matrix (row order) and its translation.
struct MatrixEntry {
    float inverse[9];
    float translation[3];
};

// Marker of a key field no track has set.
constexpr float KEY_UNSET = -100000.0f;

struct Loader3ds {
    char file_name[256];  // lower-cased, for messages
    int file;
    long file_size;
    float play_time;

    // The caller's arrays and their sizes.
    Scene *scene;
    Mesh *meshes;
    Face *faces;
    Vertex *vertices;
    Light *lights;
    Camera *camera;
    CameraKey *camera_keys;
    ObjectKey *object_keys;
    ModelPathKey *model_path;
    Load3dsCapacity capacity;

    char name[128];  // name register
    float color[3];  // colour register

    Material materials[LOAD3DS_MAX_MATERIALS];
    int material_count;
    int current_material;  // -1 outside a material chunk
    MatrixEntry matrices[LOAD3DS_MAX_MESHES];
    int building_mesh;  // mesh index inside a Tri-Mesh chunk, else -1

    ObjectKey node_keys[LOAD3DS_MAX_NODE_KEYS];
    int node_key_count;
    CameraKey camera_work[LOAD3DS_MAX_CAMERA_KEYS];

    int current_node;  // mesh index, -2 dummy, -1 none
    bool in_track_info;
    bool quake_cam;
    float camera_frame_offset;
    int camera_first_key;

    int mesh_count, face_count, vertex_count, light_count;
    int object_key_count, camera_key_count, model_path_key_count;
};

extern Loader3ds loader3ds;

// Bounded reads: each succeeds only when the bytes lie before both `end` and the file's end.
bool read_bytes_3ds(void *buffer, size_t size, long end);
bool read_u16_3ds(uint16_t &value, long end);
bool read_u32_3ds(uint32_t &value, long end);
bool read_floats_3ds(float *values, int count, long end);
bool skip_3ds(long size, long end);
// Bytes left before `end` (and the file's end) from the current position.
long bytes_left_3ds(long end);
// Read a NUL-terminated name into the name register, cut to 63 characters.
void read_name_3ds(long end);
// Copy at most 63 characters and a NUL into a 64-byte field.
void copy_name_3ds(char *field, const char *name);

// Chunk handlers: file, depth, end of the handler's own chunk.
typedef void (*ChunkHandler)(int file, int depth, long end);
void handle_track_info(int file, int depth, long end);
void handle_track_name(int file, int depth, long end);
void handle_pivot(int file, int depth, long end);
void handle_position_keys(int file, int depth, long end);
void handle_rotation_keys(int file, int depth, long end);
void handle_scale_keys(int file, int depth, long end);
void handle_camera_track(int file, int depth, long end);
void handle_target_track(int file, int depth, long end);
void handle_fov_track(int file, int depth, long end);
void handle_roll_track(int file, int depth, long end);
void handle_frames(int file, int depth, long end);

// Sort and complete the collected keys into the scene's tables.
void finish_camera_keys();
void finish_model_path();
