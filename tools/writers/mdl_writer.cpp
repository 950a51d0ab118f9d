// mdl_writer.cpp: vertex-animated characters to Quake .mdl files (one skin, simple frames).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "writers/bmp_writer.h"
#include "writers/mdl_writer.h"

// A signed field as a little-endian word.
static void put_i32(std::vector<uint8_t> &out, int32_t value) { append_le(out, uint32_t(value), 4); }

// Header, one skin, texture coordinates, triangles, then every frame packed to bytes.
std::vector<uint8_t> mdl_encode(const MdlModel &model) {
    const int vertex_count = int(model.texcoords.size());
    // Bounds over every frame, so one scale and origin keep every vertex within 0..255.
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (const auto &frame : model.frames)
        for (size_t i = 0; i + 2 < frame.size() && int(i / 3) < vertex_count; i += 3)
            for (int c = 0; c < 3; ++c) {
                lo[c] = std::min(lo[c], frame[i + c]);
                hi[c] = std::max(hi[c], frame[i + c]);
            }
    float scale[3], radius = 0;
    for (int c = 0; c < 3; ++c) {
        if (lo[c] > hi[c]) lo[c] = hi[c] = 0;  // no vertices
        scale[c] = hi[c] > lo[c] ? (hi[c] - lo[c]) / 255.0f : 1.0f;
        radius = std::max(radius, std::max(std::fabs(lo[c]), std::fabs(hi[c])));
    }
    const int skin_width = model.skin_width > 0 ? model.skin_width : 8;
    const int skin_height = model.skin_height > 0 ? model.skin_height : 8;

    std::vector<uint8_t> out;
    out.insert(out.end(), {'I', 'D', 'P', 'O'});
    put_i32(out, 6);
    for (float s : scale) append_f32(out, s);
    for (float o : lo) append_f32(out, o);
    append_f32(out, radius);
    for (int c = 0; c < 3; ++c) append_f32(out, 0.0f);  // eye position
    // One skin and its size, the counts of vertices, triangles and frames, synchronised
    // frames, no flags.
    for (int32_t field : {1, skin_width, skin_height, vertex_count, int32_t(model.triangles.size()),
                          int32_t(model.frames.size()), 0, 0})
        put_i32(out, field);
    append_f32(out, 1.0f);

    // The skin: a single picture of 8-bit palette indices.
    put_i32(out, 0);
    size_t skin_bytes = size_t(skin_width) * size_t(skin_height);
    for (size_t i = 0; i < skin_bytes; ++i) out.push_back(i < model.skin.size() ? model.skin[i] : 0);

    for (const MdlTexCoord &tc : model.texcoords)
        for (int32_t field : {tc.on_seam, tc.s, tc.t}) put_i32(out, field);
    for (const MdlTriangle &tri : model.triangles) {
        put_i32(out, tri.front);
        for (int32_t v : tri.v) put_i32(out, v);
    }
    for (size_t f = 0; f < model.frames.size(); ++f) {
        const std::vector<float> &frame = model.frames[f];
        std::vector<uint8_t> packed(size_t(vertex_count) * 4, 0);
        uint8_t box_lo[3] = {255, 255, 255}, box_hi[3] = {0, 0, 0};
        for (int v = 0; v < vertex_count; ++v)
            for (int c = 0; c < 3; ++c) {
                float value = size_t(v * 3 + c) < frame.size() ? frame[v * 3 + c] : lo[c];
                long q = std::lround((value - lo[c]) / scale[c]);
                uint8_t b = uint8_t(std::clamp(q, 0L, 255L));
                packed[v * 4 + c] = b;
                box_lo[c] = std::min(box_lo[c], b);
                box_hi[c] = std::max(box_hi[c], b);
            }
        put_i32(out, 0);  // simple frame
        out.insert(out.end(), {box_lo[0], box_lo[1], box_lo[2], 0, box_hi[0], box_hi[1], box_hi[2], 0});
        char name[16] = {};
        if (f < model.frame_names.size()) strncpy(name, model.frame_names[f].c_str(), 15);
        out.insert(out.end(), name, name + 16);
        out.insert(out.end(), packed.begin(), packed.end());
    }
    return out;
}
