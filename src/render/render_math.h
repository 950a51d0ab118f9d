// render_math.h: the renderer's arithmetic without OpenGL: projection terms, the eye-space
// transform, vertex lighting, the facing test, highlight colour, glow and flare sizes, and
// the visibility of a glow from its depth probes.
#pragma once
#include <cstdint>

#include "scene/scene.h"

// Cotangent of half the field of view, tan(((180 - fov) / 360) * pi) in double, as a float.
float projection_cotangent(float fov);
// The perspective matrix (column order) for a render of width x height.
void build_projection(float fov, float width, float height, float matrix[16]);
// True when the camera cannot be drawn: zmax too small or looking straight up or down.
bool camera_degenerate(const Camera &camera);

// The world-to-eye mapping of one frame.
struct EyeTransform {
    bool camera_mode;     // false: flat mode, positions divided by -S, S, -S
    bool aspect_squeeze;  // render width differs from height: y divided by 0.75 more
    float offset[3];      // camera mode: added to a position before the rotation
    float rows[3][3];     // camera mode: rotation rows already divided by zmax
    float zmax;
};
// Build the camera-mode transform from the working camera.
void eye_transform_camera(const Camera &camera, bool aspect_squeeze, EyeTransform &out);
// Build the flat-mode transform (geometry already placed relative to the origin).
void eye_transform_flat(float zmax, bool aspect_squeeze, EyeTransform &out);
// Map a position into eye space in place.
void eye_apply_position(const EyeTransform &t, float p[3]);
// Map a normal in place (rotation only; flat mode leaves normals alone).
void eye_apply_normal(const EyeTransform &t, float n[3]);

// Light offset of one vertex: (ambient - 1) plus every listed light's contribution.
// A zero normal gets ambient alone.
void light_vertex(const float position[3], const float normal[3], float ambient,
                  const Light *lights, const int32_t *indices, int count, float out[3]);

// True when the triangle p, q, r (eye space) faces the eye.
bool face_towards_eye(const float p[3], const float q[3], const float r[3]);
// Texture-environment highlight colour: the positive light of three vertices, averaged.
void highlight_colour(const float *la, const float *lb, const float *lc, float out[4]);

// Glow texture selector 0..7 from the light's colour (4 red, 2 green, 1 blue).
int light_colour_index(const float color[3]);
// Flare size factor 3.3 * strength held within 3..7.
float flare_size_factor(float strength);
// Fraction of a glow seen, from the five depth probes before and after it was drawn.
float probe_visibility(const uint32_t before[5], const uint32_t after[5]);
// Project an eye-space point with the projection matrix into normalised device x, y.
void project_point(const float matrix[16], const float p[3], float &ndc_x, float &ndc_y);
