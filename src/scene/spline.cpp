// spline.cpp: natural cubic splines through keyframe tracks, the stretch rule for tracks with
// cuts, and the camera track. Scratch tables are fixed arrays: a frame allocates nothing.
#include "scene/spline.h"

#include <cmath>

#include "app/messages.h"

// Scratch of calc_spline: the eliminated diagonal and the quadratic coefficients.
static float spline_diagonal[MAX_SPLINE_POINTS];
static float spline_quadratic[MAX_SPLINE_POINTS];
// Key times and one component of a camera stretch.
static float camera_times[MAX_SPLINE_POINTS];
static float camera_values[MAX_SPLINE_POINTS];

float calc_spline(const float *x, const float *y, int n, float t) {
    if (n < 1 || n > MAX_SPLINE_POINTS)
        fatal_errorf("SPLINE: a spline through %d points (1 to %d allowed)", n, MAX_SPLINE_POINTS);
    for (int i = 0; i + 1 < n; i++)
        if (x[i + 1] - x[i] == 0.0f) fatal_error("Critical error: d[]=0 in calc_spline!\n");

    // Natural end conditions: c[0] = c[n-1] = 0; the inner rows form a tridiagonal system
    // h[i-1] c[i-1] + 2 (h[i-1] + h[i]) c[i] + h[i] c[i+1] = 3 (s[i] - s[i-1]).
    float *diag = spline_diagonal, *c = spline_quadratic;
    c[0] = 0.0f;
    c[n - 1] = 0.0f;
    for (int i = 1; i + 1 < n; i++) {
        float h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
        float s0 = (y[i] - y[i - 1]) / h0, s1 = (y[i + 1] - y[i]) / h1;
        diag[i] = 2.0f * (h0 + h1);
        c[i] = 3.0f * (s1 - s0);  // right-hand side until back substitution
        if (i > 1) {
            float m = h0 / diag[i - 1];
            diag[i] -= m * h0;
            c[i] -= m * c[i - 1];
        }
    }
    for (int i = n - 2; i >= 1; i--) {
        float h1 = x[i + 1] - x[i];
        c[i] = (c[i] - h1 * c[i + 1]) / diag[i];
    }

    if (!(t >= x[0])) fatal_error("Critical error: t<x[0] in calc_spline!\n");
    int j = n - 1;
    while (j > 0 && !(t >= x[j])) j--;
    if (j == n - 1) return y[n - 1];  // at and past the last point the value holds
    float h = x[j + 1] - x[j];
    float s = (y[j + 1] - y[j]) / h;
    float d = (c[j + 1] - c[j]) / (3.0f * h);
    float b = s - h * (2.0f * c[j] + c[j + 1]) / 3.0f;
    float u = t - x[j];
    return ((d * u + c[j]) * u + b) * u + y[j];
}

// The stretch rule over any key table with a `frame` field.
template <typename Key>
static void find_stretch(const Key *keys, int n, float rate, float t, int *lo, int *hi) {
    auto frame = [&](int i) { return keys[i].frame; };
    int k = 0;
    for (int i = 0; i < n; i++)
        if (frame(i) / rate <= t) k = i;
    if (k > 0 && frame(k - 1) == frame(k)) k++;
    *lo = 0;
    for (int i = k - 1; i >= 1; i--)
        if (frame(i) == frame(i - 1)) {
            *lo = i;
            break;
        }
    *hi = n;
    for (int i = k + 1; i < n; i++)
        if (frame(i) == frame(i - 1)) {
            *hi = i;
            break;
        }
}

void track_stretch(const CameraKey *keys, int n, float rate, float t, int *lo, int *hi) {
    find_stretch(keys, n, rate, t, lo, hi);
}

void track_stretch(const ObjectKey *keys, int n, float rate, float t, int *lo, int *hi) {
    find_stretch(keys, n, rate, t, lo, hi);
}

// One float field of a camera key: 0 frame, 1-3 position, 4-6 target, 7 fov, 8 roll.
static float camera_key_field(const CameraKey &key, int field) {
    switch (field) {
    case 0: return key.frame;
    case 1: case 2: case 3: return key.position[field - 1];
    case 4: case 5: case 6: return key.target[field - 4];
    case 7: return key.fov;
    default: return key.roll;
    }
}

// Spline one float field of the camera keys lo .. hi-1 (times already in camera_times).
static float camera_component(const CameraKey *keys, int lo, int hi, int field, float t) {
    for (int i = lo; i < hi; i++) camera_values[i - lo] = camera_key_field(keys[i], field);
    return calc_spline(camera_times, camera_values, hi - lo, t);
}

void animate_camera(Camera &camera, const Scene &scene, float t) {
    const CameraKey *keys = scene.camera_keys;
    int n = scene.camera_key_count;
    if (!keys || n <= 0) return;
    if (!(scene.frame_rate > 0.0f) || !std::isfinite(scene.frame_rate))
        fatal_errorf("SPLINE: camera keys need a positive frame rate (scene has %g)",
                     (double)scene.frame_rate);
    int lo, hi;
    track_stretch(keys, n, scene.frame_rate, t, &lo, &hi);
    if (hi - lo > MAX_SPLINE_POINTS)
        fatal_errorf("SPLINE: camera track stretch of %d keys (at most %d)", hi - lo,
                     MAX_SPLINE_POINTS);
    for (int i = lo; i < hi; i++) camera_times[i - lo] = keys[i].frame / scene.frame_rate;

    enum { POSITION = 1, TARGET = 4, FOV = 7, ROLL = 8 };  // float fields of CameraKey
    if (!(camera.keep_mask & 1))
        for (int k = 0; k < 3; k++) camera.position[k] = camera_component(keys, lo, hi, POSITION + k, t);
    if (!(camera.keep_mask & 2)) {
        float g[3];
        for (int k = 0; k < 3; k++) g[k] = camera_component(keys, lo, hi, TARGET + k, t);
        camera.direction[0] = g[0] - camera.position[0];
        camera.direction[1] = -(g[1] - camera.position[1]);
        camera.direction[2] = -(g[2] - camera.position[2]);
    }
    if (!(camera.keep_mask & 8)) camera.roll = camera_component(keys, lo, hi, ROLL, t);
    if (!(camera.keep_mask & 4)) camera.fov = camera_component(keys, lo, hi, FOV, t);
}
