// characters_parts.cpp: tubes swept around a part's axis, with joint weights and atlas
// coordinates mirrored about the part's front-back plane (so no seam needs split vertices).
#include <algorithm>

#include "characters_parts.h"

const Atlas ATLAS_TORSO{0.0f, 0.0f, 0.5f, 0.375f};
const Atlas ATLAS_HEAD{0.5f, 0.0f, 0.5f, 0.375f};
const Atlas ATLAS_SKIRT{0.0f, 0.375f, 0.5f, 0.25f};
const Atlas ATLAS_ARM{0.5f, 0.5f, 0.25f, 0.3125f};
const Atlas ATLAS_LEG{0.75f, 0.375f, 0.25f, 0.3125f};
const Atlas ATLAS_HAND{0.0f, 0.625f, 0.25f, 0.125f};
const Atlas ATLAS_FOOT{0.25f, 0.625f, 0.25f, 0.125f};
const Atlas ATLAS_EXTRA{0.0f, 0.75f, 0.25f, 0.125f};
// The oil room throws off the model vertices whose coordinates lie strictly inside
// u 145..165 and t 93..122 of 256 (the messiah's amulet); nothing else maps there.
const Atlas ATLAS_PATCH{0.5f, 0.375f, 0.25f, 0.125f};
const Atlas ATLAS_AMULET{0.585f, 0.39f, 0.045f, 0.06f};

void Influences::add(int j, float w) {
    if (w <= 0) return;
    for (int i = 0; i < count; i++)
        if (joint[i] == j) {
            weight[i] += w;
            return;
        }
    if (count < 8) {
        joint[count] = j;
        weight[count] = w;
        count++;
    }
}

void table_lookup(const float *table, int rows, int columns, float key, float *values) {
    int stride = columns + 1;
    auto hold = [&](const float *row) { std::copy(row + 1, row + stride, values); };
    if (key <= table[0]) return hold(table);
    for (int r = 1; r < rows; r++) {
        const float *a = table + (r - 1) * stride, *b = table + r * stride;
        if (key <= b[0]) {
            float f = (key - a[0]) / (b[0] - a[0]);
            for (int c = 0; c < columns; c++) values[c] = a[c + 1] + (b[c + 1] - a[c + 1]) * f;
            return;
        }
    }
    hold(table + (rows - 1) * stride);
}

// Keep the four strongest influences, normalised.
static void finish_weights(Influences &inf, SkinVertex &v) {
    for (int i = 0; i < inf.count; i++)
        for (int j = i + 1; j < inf.count; j++)
            if (inf.weight[j] > inf.weight[i]) {
                std::swap(inf.weight[i], inf.weight[j]);
                std::swap(inf.joint[i], inf.joint[j]);
            }
    float sum = 0;
    for (int i = 0; i < MAX_INFLUENCES; i++) {
        v.joint[i] = i < inf.count ? inf.joint[i] : 0;
        v.weight[i] = i < inf.count ? inf.weight[i] : 0;
        sum += v.weight[i];
    }
    for (int i = 0; i < MAX_INFLUENCES; i++) v.weight[i] = sum > 0 ? v.weight[i] / sum : 0;
    if (sum <= 0) v.weight[0] = 1;
}

int add_tube(CharacterBody &body, const TubeSpec &spec, const SurfaceFn &surface, const WeightFn &weights) {
    int first = int(body.vertices.size());
    // ring_start[r]: first vertex of ring r; a pole ring has one vertex.
    std::vector<int> ring_start(spec.rings), ring_size(spec.rings);
    for (int r = 0; r < spec.rings; r++) {
        float t = float(r) / float(spec.rings - 1);
        bool pole = (r == 0 && spec.pole_start) || (r == spec.rings - 1 && spec.pole_end);
        ring_start[r] = int(body.vertices.size());
        ring_size[r] = pole ? 1 : spec.segs;
        for (int k = 0; k < ring_size[r]; k++) {
            float a = pole ? 0.0f : TWO_PI * float(k) / float(spec.segs);
            SkinVertex v{};
            v.p = surface(a, t);
            if (pole) {
                // The centre of the ring the pole closes.
                Vec3 c = {0, 0, 0};
                for (int q = 0; q < spec.segs; q++) c = c + surface(TWO_PI * float(q) / float(spec.segs), t);
                v.p = c * (1.0f / float(spec.segs));
            }
            float around = a <= PI ? a / PI : (TWO_PI - a) / PI;
            v.u = spec.atlas.x + ATLAS_INSET + (spec.atlas.w - 2 * ATLAS_INSET) * (pole ? 0.5f : around);
            v.v = spec.atlas.y + ATLAS_INSET + (spec.atlas.h - 2 * ATLAS_INSET) * t;
            v.part = spec.tag;
            Influences inf;
            weights(v.p, a, t, inf);
            finish_weights(inf, v);
            body.vertices.push_back(v);
        }
    }
    int tri_first = int(body.triangles.size());
    for (int r = 0; r + 1 < spec.rings; r++) {
        int a0 = ring_start[r], b0 = ring_start[r + 1];
        for (int k = 0; k < spec.segs; k++) {
            int k1 = (k + 1) % spec.segs;
            if (ring_size[r] == 1) body.triangles.insert(body.triangles.end(), {a0, b0 + k, b0 + k1});
            else if (ring_size[r + 1] == 1) body.triangles.insert(body.triangles.end(), {a0 + k, b0, a0 + k1});
            else body.triangles.insert(body.triangles.end(), {a0 + k, b0 + k, b0 + k1, a0 + k, b0 + k1, a0 + k1});
        }
    }
    // Make the tube's triangles face outwards: the surface's sweep direction decides their
    // turn, so test it against the tube's centre and flip when they face inwards.
    Vec3 centre = {0, 0, 0};
    int n = int(body.vertices.size()) - first;
    for (int i = first; i < first + n; i++) centre = centre + body.vertices[i].p;
    centre = centre * (1.0f / float(n));
    double volume = 0;
    for (size_t i = tri_first; i < body.triangles.size(); i += 3) {
        Vec3 p0 = body.vertices[body.triangles[i]].p - centre;
        Vec3 p1 = body.vertices[body.triangles[i + 1]].p - centre;
        Vec3 p2 = body.vertices[body.triangles[i + 2]].p - centre;
        volume += dot(p0, cross(p1, p2));
    }
    if (volume < 0)
        for (size_t i = tri_first; i < body.triangles.size(); i += 3)
            std::swap(body.triangles[i + 1], body.triangles[i + 2]);
    return first;
}
