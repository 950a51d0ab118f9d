// scene.h: the in-memory scene records, their initialisers and the mesh services
// every demo part uses (lookup by name, normals, the list of active lights).
#pragma once
#include <cstdint>

typedef uint8_t byte;

// One vertex of a mesh; positions are object space until posed, then Y-up world.
struct Vertex {
    float position[3];
    float normal[3];  // unnormalised sum of area-weighted face normals
    float u, v;
    float second_u, second_v;
    float light[3];  // lit colour minus 1
    float shade;
};

// One triangle; a, b, c are relative to the mesh's first_vertex.
struct Face {
    int32_t a, b, c;
    byte blend_mode;
    byte light_blend;
    int32_t texture;
    byte second_pass;
    int32_t second_texture;
    float alpha;
    float color[3];
    byte two_sided;
};

struct ModelPathKey;

// One triangle object: a contiguous range of the scene's vertices and faces.
struct Mesh {
    char name[64];
    Face *faces;
    int32_t first_vertex;
    int32_t vertex_count;
    int32_t face_count;
    float ambient;
    byte lit;
    int32_t first_key;
    int32_t key_count;  // -1: never animated by its keys
    float pivot[3];
    int32_t model_path_count;  // -1: no model path
    ModelPathKey *model_path;
};

struct Light {
    float position[3];
    float intensity;
    float range_inner, range_outer;
    float flare_strength, glow_size;
    float color[3];
    byte active;
    byte flare_flag;
    int32_t flare_texture;
    byte spot;
    float spot_direction[3];
    float hotspot, falloff;  // degrees
};

struct Camera {
    float position[3];
    float direction[3];  // target minus position
    float fov;           // degrees
    float zmax;
    float fade;
    float roll;  // radians
    byte keep_mask;  // 1 position, 2 direction, 4 fov, 8 roll; 15 skips the track
    float glow_alpha;
};

struct CameraKey {
    float frame;
    float position[3];  // x, z, y of the file
    float target[3];    // x, z, y of the file
    float fov;
    float roll;
};

struct ObjectKey {
    float frame;
    float position[3];
    float axis[3];
    float angle;
    float scale[3];
};

struct ModelPathKey {
    float frame;
    float position[3];  // x, z, y of the file
    float target_x, target_y;
    int32_t first_frame, last_frame;
    float fps;
    float scale;
};

struct LoadSummary {
    int32_t mesh_count, face_count, vertex_count, light_count;
    int32_t camera_key_count, object_key_count, model_path_key_count;
};

struct Scene {
    Mesh *meshes;
    Light *lights;
    Vertex *vertices;
    CameraKey *camera_keys;
    ObjectKey *object_keys;
    Camera *camera;
    int32_t *active_lights;  // [0] = n, then n indices into lights
    int32_t vertex_count, mesh_count, light_count, camera_key_count;
    byte flags;  // 8 fog; OR-ed into every face's blend_mode
    int32_t background_texture;
    float fog_color[4];
    float fog_density;
    float scene_fade;
    float frame_rate;
    float camera_shake;
};

// Drawing-mode bits of a face's blend_mode merged with a scene's flags.
enum {
    DRAW_BLEND_MASK = 3,
    DRAW_WIREFRAME = 4,
    DRAW_FOG = 8,
    DRAW_SEPARATE_HIGHLIGHT = 16,
};

// Set a record to its defaults (zero everywhere else).
void init_scene(Scene &s);
void init_camera(Camera &c);
void init_mesh(Mesh &m);
void init_face(Face &f);
void init_vertex(Vertex &v);
void init_light(Light &l);

// Index of the first mesh named `name` (ASCII case ignored); fatal when none.
int find_mesh(const Scene &scene, const char *name);
// Recompute the unnormalised normals of one mesh's vertex range.
void compute_normals(const Mesh &mesh, Vertex *vertices);
// Build scene.active_lights from the lights' active bytes.
void collect_active_lights(Scene &scene);
