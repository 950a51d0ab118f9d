// model.h: Quake .mdl characters: the model table, loading and posing into a mesh.
#pragma once
#include "scene/scene.h"

// A model posed into a scene must fit the renderer's 20000 working vertices.
enum { MAX_MODELS = 3, MDL_HEADER_SIZE = 84, MDL_MAX_VERTICES = 20000 };

// One model's animation state: what pose_model changes as it plays.
struct ModelAnimation {
    int32_t current_frame, seq_first, seq_last;
    float frame_pos, start_time;
    byte in_transition;
};

struct Model {
    char name[32];
    float *frames;     // frame count x vertex count positions, frame-major
    uint8_t *header;   // copy of the file's 84-byte header
    Vertex *vertices;  // texture coordinates
    Face *faces;
    ModelAnimation animation;
    // counts taken from the header
    int32_t vertex_count, triangle_count, frame_count;
};

extern Model *model_table;
extern int model_count;

void create_model_table();
void free_model_table();
// Load one model into the next slot of the table.
void load_model(const char *name);
// Index of the model named `name` (case ignored), or -1.
int find_model(const char *name);
// Pose the model's blended frame into the mesh's vertices; returns the frame shown.
float pose_model(const char *name, Mesh &mesh, Vertex *vertices, float t, int first_frame,
                 int last_frame, float fps, byte copy_faces, byte smooth_switch);
// Walk a model along the mesh's model path.
void pose_model_on_path(Mesh &mesh, Vertex *vertices, float t, float rate);
// Set every model's animation state back to 0.
void reset_model_state();
// Copy every model's animation state out, or back in (replays of the show).
void save_model_state(ModelAnimation saved[MAX_MODELS]);
void restore_model_state(const ModelAnimation saved[MAX_MODELS]);
