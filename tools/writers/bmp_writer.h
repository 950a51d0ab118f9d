// bmp_writer.h: an RGB picture in memory and its files (BMP, 24-bit or 8-bit, bottom-up, and
// TGA for previews), and what every writer does with bytes: append little-endian fields,
// write them to a file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Pixels are RGB, 3 bytes each, row 0 at the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    Picture() = default;
    Picture(int w, int h) : width(w), height(h), rgb(size_t(w) * h * 3, 0) {}
    uint8_t *at(int x, int y) { return &rgb[(size_t(y) * width + x) * 3]; }
    const uint8_t *at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// BMP file bytes: 24-bit, bottom-up, rows padded to 4 bytes.
std::vector<uint8_t> bmp_encode_24(const Picture &picture);
// BMP file bytes: 8-bit with a palette of at most 256 colours (fails when the picture has more).
std::vector<uint8_t> bmp_encode_8(const Picture &picture);
// Uncompressed 24-bit Truevision TGA bytes of a picture (for contact sheets and previews).
std::vector<uint8_t> tga_encode(const Picture &picture);
// Append a little-endian integer of `width` bytes.
void append_le(std::vector<uint8_t> &out, uint32_t value, int width);
// Append the bits of a float as a little-endian 32-bit field.
void append_f32(std::vector<uint8_t> &out, float value);
// Write bytes to a file; returns false on failure.
bool write_file(const std::string &path, const std::vector<uint8_t> &bytes);
