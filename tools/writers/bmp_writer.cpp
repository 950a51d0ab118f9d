// bmp_writer.cpp: pictures to BMP files, 24-bit or 8-bit with a palette, bottom-up, padded rows,
// and to TGA files; bytes appended and written to disk.
#include <cstdio>
#include <cstring>
#include <map>

#include "writers/bmp_writer.h"

// File header and 40-byte info header for a picture with the given palette size and depth.
static std::vector<uint8_t> bmp_headers(const Picture &picture, int bit_count, uint32_t palette_size, uint32_t stride) {
    uint32_t pixel_offset = 14 + 40 + palette_size * 4;
    uint32_t image_size = stride * uint32_t(picture.height);
    std::vector<uint8_t> out = {'B', 'M'};
    out.reserve(pixel_offset + image_size);
    // Value and width in bytes of each field: file size, reserved, pixel offset; info header
    // size, width, height, one plane, depth, no compression, image size, 72 dots per inch
    // across and down, palette size, every colour important.
    const uint32_t fields[][2] = {{pixel_offset + image_size, 4}, {0, 4}, {pixel_offset, 4}, {40, 4},
                                  {uint32_t(picture.width), 4}, {uint32_t(picture.height), 4}, {1, 2},
                                  {uint32_t(bit_count), 2}, {0, 4}, {image_size, 4}, {2835, 4}, {2835, 4},
                                  {palette_size, 4}, {0, 4}};
    for (const auto &field : fields) append_le(out, field[0], int(field[1]));
    return out;
}

// Row y of a picture as blue, green, red per pixel.
static void append_bgr_row(std::vector<uint8_t> &out, const Picture &picture, int y) {
    for (int x = 0; x < picture.width; ++x) {
        const uint8_t *p = picture.at(x, y);
        out.insert(out.end(), {p[2], p[1], p[0]});
    }
}

// Blue, green, red per pixel, bottom row first.
std::vector<uint8_t> bmp_encode_24(const Picture &picture) {
    uint32_t stride = (uint32_t(picture.width) * 3 + 3) & ~3u;
    std::vector<uint8_t> out = bmp_headers(picture, 24, 0, stride);
    for (int y = picture.height - 1; y >= 0; --y) {
        append_bgr_row(out, picture, y);
        for (uint32_t pad = uint32_t(picture.width) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

// A pixel's colour as one number, for the palette.
static uint32_t colour_key(const uint8_t *p) { return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]; }

// Palette of the distinct colours, then one index per pixel; empty above 256 colours.
std::vector<uint8_t> bmp_encode_8(const Picture &picture) {
    // Palette in order of first appearance, top row first.
    std::map<uint32_t, uint8_t> index_of;
    std::vector<uint32_t> colours;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            uint32_t key = colour_key(picture.at(x, y));
            if (index_of.count(key)) continue;
            if (colours.size() == 256) return {};
            index_of[key] = uint8_t(colours.size());
            colours.push_back(key);
        }
    uint32_t stride = (uint32_t(picture.width) + 3) & ~3u;
    std::vector<uint8_t> out = bmp_headers(picture, 8, uint32_t(colours.size()), stride);
    for (uint32_t c : colours) out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0});
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) out.push_back(index_of[colour_key(picture.at(x, y))]);
        for (uint32_t pad = uint32_t(picture.width); pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

// An 18-byte header, then blue, green, red per pixel, top row first.
std::vector<uint8_t> tga_encode(const Picture &picture) {
    std::vector<uint8_t> out(12, 0);
    out[2] = 2;  // uncompressed true colour
    append_le(out, uint32_t(picture.width), 2);
    append_le(out, uint32_t(picture.height), 2);
    out.insert(out.end(), {24, 0x20});  // 24 bits a pixel, rows top first
    out.reserve(out.size() + picture.rgb.size());
    for (int y = 0; y < picture.height; y++) append_bgr_row(out, picture, y);
    return out;
}

void append_le(std::vector<uint8_t> &out, uint32_t value, int width) {
    for (int i = 0; i < width; i++) out.push_back(uint8_t(value >> (8 * i)));
}

void append_f32(std::vector<uint8_t> &out, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    append_le(out, bits, 4);
}

bool write_file(const std::string &path, const std::vector<uint8_t> &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    // an empty file has no data pointer to hand to fwrite
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}
