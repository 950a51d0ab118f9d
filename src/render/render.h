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
// With drawing off, render_scene (and the parts' own drawing) draws nothing and changes only
// what a drawn frame changes of the show: the camera's track and shake, the models' poses
// along their paths, the frame time. Replays of the show run this way.
void set_render_drawing(bool on);
bool render_drawing();
// Whether the scene's background lets the picture before it show through: a backdrop drawn
// translucent, or a partial fade over the last frame. (A scene with scene_fade 1 keeps the
// picture only where nothing of it is drawn; its content covers the screen.)
bool background_keeps_pixels(const Scene &scene);

// Fatal when the scene does not fit the working arrays or a mesh reaches outside them;
// render_scene checks every frame, and whoever builds a scene may check it once.
void check_scene_fits(const Scene &scene);

// The steps of one frame, in the order render_scene runs them (also timed on their own
// by the benchmark). Each works on the working arrays only.
void copy_working_arrays(const Scene &scene);
void pose_working_arrays(Scene &scene, float time);
void light_working_vertices(const Scene &scene);
void transform_working_arrays(const Scene &scene, const Camera &camera, bool camera_mode);
// Opaque faces, then transparent faces; glow_alpha multiplies every face's alpha.
void draw_face_passes(const Scene &scene, float glow_alpha);
// Draw one triangle of the working vertices a, b, c in the given drawing mode.
void draw_face(int a, int b, int c, int mode, int texture, int second_texture, byte second_pass,
               byte highlight, float alpha, float red, float green, float blue);
// Depth value (32-bit) at (u, v) of the render viewport, 0 outside it.
uint32_t sample_depth(float u, float v);
// Glows, flares and ghosts of the working lights (eye space, projection loaded).
void draw_light_glows(int light_count, const Camera &camera);
