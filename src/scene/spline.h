// spline.h: natural cubic splines through keyframe tracks, the stretch rule that lets a
// track hold cuts, and posing of the scene camera from its track.
#pragma once
#include "scene/scene.h"

// Most keys one spline (one stretch of a track) may pass through.
enum { MAX_SPLINE_POINTS = 16384 };

// Value at t of the natural cubic spline through (x[i], y[i]), x strictly increasing.
float calc_spline(const float *x, const float *y, int n, float t);
// Keys lo .. hi-1 of a track of n keys form the stretch used at time t; a key's time is its
// frame / rate, and consecutive keys with equal frames are a cut.
void track_stretch(const CameraKey *keys, int n, float rate, float t, int *lo, int *hi);
void track_stretch(const ObjectKey *keys, int n, float rate, float t, int *lo, int *hi);
// Pose the camera from the scene's camera keys at time t, leaving what keep_mask keeps.
void animate_camera(Camera &camera, const Scene &scene, float t);
