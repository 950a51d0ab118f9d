// test_data.h: small helpers the readers' tests share: plain pictures, little-endian patches,
// BMPs decoded by the texture reader, a scratch folder and an empty texture table.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "texture/texture.h"
#include "writers/bmp_writer.h"

// A w x h picture of one colour.
inline Picture solid_picture(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    Picture p(w, h);
    for (size_t i = 0; i < p.rgb.size(); i += 3) p.rgb[i] = r, p.rgb[i + 1] = g, p.rgb[i + 2] = b;
    return p;
}

// Overwrite `width` bytes at `at` with `value`, little-endian.
inline void put_le(std::vector<uint8_t> &bytes, size_t at, uint32_t value, int width = 4) {
    for (int i = 0; i < width; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// BMP bytes decoded by the texture reader (fatal on what it cannot read).
struct DecodedBmp {
    TextureRecord record{};
    DecodedBmp(const std::vector<uint8_t> &bytes, const char *name) {
        bmp_decode(bytes.data(), bytes.size(), name, record);
    }
    ~DecodedBmp() { free(record.pixels); }
    DecodedBmp(const DecodedBmp &) = delete;
    const uint8_t *texel(int x, int row_from_bottom) const {
        return record.pixels + (size_t(row_from_bottom) * record.width + x) * 4;
    }
};

// One scratch folder for the process, entered again by each test that needs it.
inline void enter_data_dir() {
    static ScratchDir dir;
    dir.enter();
}

// Forget every texture an earlier test loaded.
inline void reset_textures() {
    for (int i = 0; i < texture_count; ++i) free(texture_table[i].pixels);
    memset(texture_table, 0, sizeof texture_table);
    memset(texture_names, 0, sizeof texture_names);
    texture_count = texture_name_count = 0;
}
