// load3ds.h: reads a .3ds scene (meshes, materials, lights, camera, keyframer
// tracks) into a Scene whose arrays the caller has allocated and initialised.
#pragma once
#include <cstdint>

#include "scene/scene.h"

// Sizes of the caller's arrays; the loader ends with a fatal error naming the file and the
// array instead of writing past one.
struct Load3dsCapacity {
    int32_t meshes, faces, vertices, lights;
    int32_t camera_keys, object_keys, model_path_keys;
};

// The loader's own tables.
enum {
    LOAD3DS_MAX_MATERIALS = 100,
    LOAD3DS_MAX_MESHES = 1000,       // matrix table
    LOAD3DS_MAX_NODE_KEYS = 1000,    // keys of one object node
    LOAD3DS_MAX_CAMERA_KEYS = 100,   // camera key work table
    LOAD3DS_MAX_LEVELS = 32,         // nesting of chunks
    LOAD3DS_NAME_CHARS = 63,         // longer names are cut
};

// Load `name` into the scene and the given arrays; model_path may be null. Returns a newly
// allocated summary of the counts (model path keys -1 when no table was given).
LoadSummary *load_3ds(const char *name, Scene &scene, Mesh *meshes, Face *faces, Vertex *vertices,
                      Light *lights, Camera *camera, CameraKey *camera_keys, ObjectKey *object_keys,
                      ModelPathKey *model_path, float play_time, const Load3dsCapacity &capacity);
// The same without sizes: only the loader's own tables are guarded, so the caller vouches
// that its arrays hold the whole file.
LoadSummary *load_3ds(const char *name, Scene &scene, Mesh *meshes, Face *faces, Vertex *vertices,
                      Light *lights, Camera *camera, CameraKey *camera_keys, ObjectKey *object_keys,
                      ModelPathKey *model_path, float play_time);

// Walk the chunks from the current position of `file` up to `end`; depth grows by 2 a level.
void walk_chunks(int file, int depth, long end);
