// render.h: render_scene and the renderer's working arrays.
#pragma once
#include "scene/scene.h"

enum { MAX_WORKING_VERTICES = 20000, MAX_WORKING_LIGHTS = 1000 };

extern Vertex *working_vertices;
extern Light *working_lights;
extern float *projection_matrix;  // 16 floats, column order
extern int face_counter;          // triangles submitted this frame

// Allocate the working arrays and projection matrix once at start-up.
void allocate_working_arrays();
void free_working_arrays();
// Draw one scene for one frame at the current render size.
void render_scene(Scene &scene, float time, byte camera_mode);
