// mdl_writer.h: a vertex-animated character in memory and its Quake .mdl file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct MdlTriangle {
    int32_t front;  // faces-front flag
    int32_t v[3];
};

struct MdlTexCoord {
    int32_t on_seam, s, t;  // skin pixels
};

// Positions in the file's frame: +x forward, +z up. Frames hold vertex_count positions each.
struct MdlModel {
    int skin_width = 0, skin_height = 0;
    std::vector<uint8_t> skin;  // one 8-bit skin of skin_width x skin_height (may be all zero)
    std::vector<MdlTexCoord> texcoords;
    std::vector<MdlTriangle> triangles;
    std::vector<std::vector<float>> frames;  // each: vertex_count * 3 floats (x, y, z)
    std::vector<std::string> frame_names;    // optional, at most 15 characters each
};

// .mdl file bytes: header with scale/origin fitted so every frame fits the byte range.
std::vector<uint8_t> mdl_encode(const MdlModel &model);
