// render_math.cpp: the renderer's arithmetic, kept free of OpenGL so it can be tested alone.
#include "render/render_math.h"

#include <cmath>
#include <cstring>

static const double PI = 3.1415926536;

// Float whose bit pattern is `bits` (the projection's depth terms are given exactly).
static float float_from_bits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// acos with its argument held to [-1, 1], so rounding never yields NaN.
static double safe_acos(double x) {
    if (x > 1.0) x = 1.0;
    if (x < -1.0) x = -1.0;
    return std::acos(x);
}

// Cotangent of half the field of view.
float projection_cotangent(float fov) {
    return float(std::tan(((180.0 - double(fov)) / 360.0) * PI));
}

// Perspective with near plane 6.104e-05 and far plane 1.0; aspect from the render size.
void build_projection(float fov, float width, float height, float matrix[16]) {
    float f = projection_cotangent(fov);
    for (int i = 0; i < 16; i++) matrix[i] = 0.0f;
    matrix[0] = f * height / width;
    matrix[5] = f;
    matrix[10] = float_from_bits(0xBF800400u);
    matrix[11] = -1.0f;
    matrix[14] = float_from_bits(0xB900049Au);
}

// zmax not above the near plane, or a direction with no horizontal part.
bool camera_degenerate(const Camera &camera) {
    if (!(camera.zmax > 6.104e-05f)) return true;
    return camera.direction[0] == 0.0f && camera.direction[2] == 0.0f;
}

// Yaw from the horizontal direction, pitch as twice the arctangent of the normalised y.
void eye_transform_camera(const Camera &camera, bool aspect_squeeze, EyeTransform &out) {
    out.camera_mode = true;
    out.aspect_squeeze = aspect_squeeze;
    out.zmax = camera.zmax;
    out.offset[0] = -camera.position[0];
    out.offset[1] = -camera.position[1];
    out.offset[2] = camera.position[2];
    double dx = camera.direction[0], dy = camera.direction[1], dz = camera.direction[2];
    double yaw = 0.0;
    if (dx != 0.0 || dz != 0.0) {
        yaw = safe_acos(dz / std::sqrt(dx * dx + dz * dz));
        if (!(dx > 0.0)) yaw = -yaw;
    }
    double Y = yaw + PI;
    double P = 0.0;
    if (dx != 0.0 || dy != 0.0 || dz != 0.0)
        P = 2.0 * std::atan(dy / std::sqrt(dx * dx + dy * dy + dz * dz));
    double R = camera.roll;
    double sY = std::sin(Y), cY = std::cos(Y), sP = std::sin(P), cP = std::cos(P);
    double sR = std::sin(R), cR = std::cos(R);
    double S = camera.zmax;
    double rx[3] = {cR * cY + sR * sP * sY, -sR * cP, sR * sP * cY - cR * sY};
    double ry[3] = {sR * cY - cR * sP * sY, cR * cP, -sR * sY - cR * sP * cY};
    double rz[3] = {sY * cP, sP, cY * cP};
    for (int i = 0; i < 3; i++) {
        out.rows[0][i] = float(rx[i] / S);
        out.rows[1][i] = aspect_squeeze ? float(ry[i] / S / 0.75) : float(ry[i] / S);
        out.rows[2][i] = float(rz[i] / S);
    }
}

// Flat mode: no camera, only the division by zmax (and the aspect squeeze of y).
void eye_transform_flat(float zmax, bool aspect_squeeze, EyeTransform &out) {
    std::memset(&out, 0, sizeof out);
    out.camera_mode = false;
    out.aspect_squeeze = aspect_squeeze;
    out.zmax = zmax;
}

// Position into eye space.
void eye_apply_position(const EyeTransform &t, float p[3]) {
    if (t.camera_mode) {
        float x = p[0] + t.offset[0], y = p[1] + t.offset[1], z = p[2] + t.offset[2];
        p[0] = t.rows[0][0] * x + t.rows[0][1] * y + t.rows[0][2] * z;
        p[1] = t.rows[1][0] * x + t.rows[1][1] * y + t.rows[1][2] * z;
        p[2] = t.rows[2][0] * x + t.rows[2][1] * y + t.rows[2][2] * z;
    } else {
        float S = t.zmax;
        p[0] = p[0] / -S;
        p[1] = t.aspect_squeeze ? p[1] / (S * 0.75f) : p[1] / S;
        p[2] = p[2] / -S;
    }
}

// Normal into eye space: rotated in camera mode, untouched in flat mode.
void eye_apply_normal(const EyeTransform &t, float n[3]) {
    if (!t.camera_mode) return;
    float x = n[0], y = n[1], z = n[2];
    n[0] = t.rows[0][0] * x + t.rows[0][1] * y + t.rows[0][2] * z;
    n[1] = t.rows[1][0] * x + t.rows[1][1] * y + t.rows[1][2] * z;
    n[2] = t.rows[2][0] * x + t.rows[2][1] * y + t.rows[2][2] * z;
}

// Attenuation between range_inner (full) and range_outer (none), at most 1.
static float attenuation(const Light &light, float d) {
    float t = (light.range_outer - d) / (light.range_outer - light.range_inner);
    return t > 1.0f ? 1.0f : t;
}

// Point and spot lights summed onto the ambient offset.
void light_vertex(const float position[3], const float normal[3], float ambient,
                  const Light *lights, const int32_t *indices, int count, float out[3]) {
    out[0] = out[1] = out[2] = ambient - 1.0f;
    float len = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    if (!(len > 0.0f) || !std::isfinite(len)) return;
    float N[3] = {normal[0] / len, normal[1] / len, normal[2] / len};
    for (int i = 0; i < count; i++) {
        const Light &light = lights[indices[i]];
        float L[3] = {light.position[0] - position[0], light.position[1] - position[1],
                      light.position[2] - position[2]};
        float dot = L[0] * N[0] + L[1] * N[1] + L[2] * N[2];
        // A point light behind the surface (or at the vertex) adds nothing: skip the root.
        if (!light.spot && !(dot > 0.0f)) continue;
        float d = std::sqrt(L[0] * L[0] + L[1] * L[1] + L[2] * L[2]);
        if (d == 0.0f) continue;
        float k;
        if (!light.spot) {
            k = dot / d;
        } else {
            k = float(1.0 - 2.0 * safe_acos(dot / d) / PI);
            const float *s = light.spot_direction;
            float slen = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
            if (slen > 0.0f) {
                float g = float(safe_acos((s[0] * L[0] + s[1] * L[1] + s[2] * L[2]) / (slen * d)) *
                                180.0 / PI);
                if (g >= light.hotspot) {
                    if (g >= light.falloff)
                        k = 0.0f;
                    else
                        k = k * (1.0f - (g - light.hotspot) / (light.falloff - light.hotspot));
                }
            }
        }
        if (!(k > 0.0f)) continue;
        float t = attenuation(light, d);
        if (!(t > 0.0f)) continue;
        for (int c = 0; c < 3; c++) out[c] += t * light.intensity * light.color[c] * k;
    }
}

// The angle between the face normal (e2 x e1) and the line of sight to p exceeds 90 degrees.
bool face_towards_eye(const float p[3], const float q[3], const float r[3]) {
    float e1[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    float e2[3] = {r[0] - p[0], r[1] - p[1], r[2] - p[2]};
    float n[3] = {e1[2] * e2[1] - e1[1] * e2[2], e1[0] * e2[2] - e1[2] * e2[0],
                  e1[1] * e2[0] - e1[0] * e2[1]};
    float nl = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    float pl = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    if (!(nl != 0.0f) || !(pl != 0.0f)) return false;
    double c = double(n[0] * p[0] + n[1] * p[1] + n[2] * p[2]) / (double(nl) * double(pl));
    return safe_acos(c) > 1.5707963268;
}

// Sum of each channel's positive light over three vertices, / 3, or 1.0 above 3.
void highlight_colour(const float *la, const float *lb, const float *lc, float out[4]) {
    for (int i = 0; i < 3; i++) {
        float sum = 0.0f;
        if (la[i] > 0.0f) sum += la[i];
        if (lb[i] > 0.0f) sum += lb[i];
        if (lc[i] > 0.0f) sum += lc[i];
        out[i] = sum > 3.0f ? 1.0f : sum / 3.0f;
    }
    out[3] = 1.0f;
}

// 4 for red, 2 for green, 1 for blue, each when at least 0.5.
int light_colour_index(const float color[3]) {
    return (color[0] >= 0.5f ? 4 : 0) + (color[1] >= 0.5f ? 2 : 0) + (color[2] >= 0.5f ? 1 : 0);
}

// 3.3 * strength, raised to 3, then lowered to 7.
float flare_size_factor(float strength) {
    float k = 3.3f * strength;
    if (k < 3.0f) k = 3.0f;
    if (k > 7.0f) k = 7.0f;
    return k;
}

// The centre counts twice, each side probe once, out of six.
float probe_visibility(const uint32_t before[5], const uint32_t after[5]) {
    int seen = before[0] != after[0] ? 2 : 0;
    for (int i = 1; i < 5; i++)
        if (before[i] != after[i]) seen++;
    return float(seen) / 6.0f;
}

// clip = M * (x, y, z, 1); ndc = clip / w.
void project_point(const float m[16], const float p[3], float &ndc_x, float &ndc_y) {
    float cx = m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12];
    float cy = m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13];
    float cw = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15];
    ndc_x = cx / cw;
    ndc_y = cy / cw;
}
