// part_common.h: the part builder: what every demo part's load shares. A part declares its
// capacities once; the builder allocates and initialises the arrays, loads the .3ds file with
// the loader's checks on, appends the part's own meshes and models with room checked, wires
// the scene's counts and writes the six log lines under the part's tag.
#pragma once
#include <cstddef>
#include <cstdint>

#include "parts/part_table.h"
#include "parts/scene_names.h"
#include "scene/scene.h"

// The sizes of one part's arrays.
struct PartCapacity {
    int meshes, faces, vertices, lights;
    int camera_keys, object_keys, model_path_keys;
};

// A part's scene while it is built and played: its arrays, the running counts of what is
// filled so far, what its .3ds file held, and everything it changes while it plays (the
// arrays, the scene and camera records and its own record), with a copy of all that as its
// load left it.
struct PartScene {
    int number;       // demo part 1 to 12
    const char *tag;  // short name in log lines and error messages ("intro", "3dstest", ...)
    PartCapacity capacity;
    Scene scene;
    Camera camera;
    Vertex *vertices;
    Face *faces;
    Mesh *meshes;
    Light *lights;
    CameraKey *camera_keys;
    ObjectKey *object_keys;
    ModelPathKey *model_path;  // null when the capacity has no model path keys
    int mesh_count, face_count, vertex_count;  // running counts
    LoadSummary loaded;                        // the file's counts (zero without a file)
    void *own;                                 // the part's own changing variables (or null)
    size_t own_size;
    uint8_t *loaded_state;                     // everything it changes, as its load left it
};

// Each demo part's scene (index k - 1 for part k), registered by part_create; null before.
extern PartScene *part_scenes[PART_COUNT];

// Allocate every array for the capacities, set each record to its defaults and point the
// scene at the arrays and the camera; the tag is demo part `number`'s in the part table.
// A part loaded again starts from fresh arrays.
void part_create(PartScene &part, int number, const PartCapacity &capacity);
// Load a scene file into the arrays (fatal, naming the file and the array, when it does not
// fit); key times are frames over end frame / its play time. The running counts start at the file's.
void part_load_3ds(PartScene &part, const SceneFile &file);
// Every mesh loaded so far: normals computed, lit with this ambient, each face blended with
// the light or not and drawn from both sides or not (the set-up of a loaded scene).
void part_light_loaded_meshes(PartScene &part, float ambient, byte light_blend = 0, byte two_sided = 0);
// Append a mesh after the ones so far, with room for vertex_count vertices and face_count
// faces (its counts set to those); fatal, naming the part and the array, when there is none.
Mesh &part_add_mesh(PartScene &part, const char *name, int vertex_count, int face_count);
// Append the mesh of a loaded Quake model, named after it, with room for all its vertices and
// triangles; fatal when the model is not loaded or there is no room. Pose it to fill it.
Mesh &part_add_model(PartScene &part, const char *model);
// Where and how a part's model stands: the model posed, its frame range and speed, its size
// (1 as modelled), its turn about the vertical in radians and its place.
struct ModelPlacement {
    const char *model;
    int first_frame, last_frame;
    float fps, scale, turn, x, y, z;
};
// Pose mesh `mesh` of the part as its model at time t (blending over one frame into a new
// frame range unless smooth_switch is 0, copying the model's faces and texture coordinates
// with copy_faces), scale, turn and move it, and with `normals` compute its normals. Returns
// the frame shown.
float place_model(PartScene &part, int mesh, const ModelPlacement &placement, float t, byte copy_faces = 0,
                  byte smooth_switch = 1, bool normals = true);
// Append a light after the scene's lights (fatal when the light array is full).
Light &part_add_light(PartScene &part);
// Store the running mesh and vertex counts into the scene and collect its active lights.
void part_finish(PartScene &part);
// The part's own variables that change while it plays, kept together in one record: its
// reset and the show's replays save and put back that record with the scene's arrays.
void part_keep_state(PartScene &part, void *record, size_t size);

// Give the two faces of a quad the corners (first, first+2, first+1) and (first, first+3, first+2).
void set_quad_faces(Face *quad, int first);
// Write the six log lines "<tag>: meshes %d" ... "<tag>: cams   %d": the scene's meshes,
// vertices, faces and lights, the file's object and camera keys; the extras count what the
// part adds later (built meshes that start empty, the mirror's shards).
void log_part_counts(const PartScene &part, int extra_meshes = 0, int extra_vertices = 0, int extra_faces = 0);
