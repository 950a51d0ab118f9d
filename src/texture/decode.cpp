// decode.cpp: the image decoders, free of OpenGL: BMP files (8-bit palette or 24-bit) and
// glyphs of the raw 8 x 8 font, to RGBA texels.
#include <cstdlib>
#include <cstring>

#include "app/file_bytes.h"
#include "app/messages.h"
#include "texture/texture.h"

enum { BMP_FILE_HEADER = 14, BMP_INFO_HEADER = 40, BMP_MAX_PALETTE = 256 };

// One RGBA texel from red, green, blue: magenta (255, 0, 255) is the transparent key.
static void put_texel(uint8_t *out, uint8_t r, uint8_t g, uint8_t b) {
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = (r == 255 && g == 0 && b == 255) ? 0 : 255;
}

// Decode a whole BMP held in memory into the record.
void bmp_decode(const uint8_t *data, size_t size, const char *name, TextureRecord &record) {
    FileBytes file = bytes_view(data, size, "texture", name);
    uint32_t pixel_offset = bytes_u32(file, 10);
    uint32_t header_size = bytes_u32(file, BMP_FILE_HEADER);
    if (header_size < BMP_INFO_HEADER)
        fatal_errorf("texture %s has an info header of %u bytes, must be at least 40!", name, header_size);
    bytes_need(file, BMP_FILE_HEADER, BMP_INFO_HEADER);
    int32_t width = bytes_i32(file, 18);
    int32_t height = bytes_i32(file, 22);
    int bit_count = bytes_u16(file, 28);
    uint32_t compression = bytes_u32(file, 30);
    uint32_t colours_used = bytes_u32(file, 46);

    if (bit_count != 24 && bit_count != 8)
        fatal_errorf("texture %s has %dbpp, must be 8 or 24!", name, bit_count);
    if (compression != 0) fatal_errorf("texture %s has compression!", name);

    // A negative height marks a top-down file; rows are flipped to bottom-up below.
    bool top_down = height < 0;
    int64_t rows = top_down ? -int64_t(height) : int64_t(height);
    if (width <= 0 || rows <= 0 || width > MAX_TEXTURE_SIDE || rows > MAX_TEXTURE_SIDE)
        fatal_errorf("texture %s has a size of %d x %lld, each side must be 1 to %d!", name, width,
                     static_cast<long long>(top_down ? -rows : rows), int(MAX_TEXTURE_SIDE));

    uint64_t palette_offset = uint64_t(BMP_FILE_HEADER) + header_size;
    uint8_t palette[BMP_MAX_PALETTE][4];
    uint32_t palette_size = 0;
    if (bit_count == 8) {
        palette_size = colours_used == 0 ? uint32_t(BMP_MAX_PALETTE) : colours_used;
        if (palette_size > BMP_MAX_PALETTE)
            fatal_errorf("texture %s has a palette of %u colours, must be at most 256!", name, palette_size);
        const uint8_t *entries = bytes_at(file, palette_offset, uint64_t(palette_size) * 4);
        for (uint32_t i = 0; i < palette_size; ++i)
            put_texel(palette[i], entries[i * 4 + 2], entries[i * 4 + 1], entries[i * 4]);
    }
    if (pixel_offset < palette_offset)
        fatal_errorf("texture %s has its pixel data at %u, inside its headers!", name, pixel_offset);

    // Rows are padded to whole 32-bit words; the last row needs only its own bytes.
    uint64_t row_bytes = uint64_t(width) * uint64_t(bit_count / 8);
    uint64_t stride = (row_bytes + 3) & ~uint64_t(3);
    const uint8_t *pixels = bytes_at(file, pixel_offset, stride * uint64_t(rows - 1) + row_bytes);

    size_t texels = size_t(width) * size_t(rows);
    uint8_t *out = static_cast<uint8_t *>(calloc(texels, 4));
    if (!out) fatal_errorf("texture %s: out of memory for %zu texels", name, texels);
    for (int64_t y = 0; y < rows; ++y) {
        const uint8_t *src = pixels + uint64_t(y) * stride;
        int64_t out_row = top_down ? rows - 1 - y : y;
        uint8_t *dst = out + size_t(out_row) * size_t(width) * 4;
        if (bit_count == 24) {
            for (int32_t x = 0; x < width; ++x, dst += 4) put_texel(dst, src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
            continue;
        }
        for (int32_t x = 0; x < width; ++x, dst += 4) {
            uint8_t index = src[x];
            if (index >= palette_size) {
                free(out);
                fatal_errorf("texture %s has palette index %u beyond its %u colours!", name, unsigned(index),
                             palette_size);
            }
            memcpy(dst, palette[index], 4);
        }
    }
    record.pixels = out;
    record.width = width;
    record.height = int32_t(rows);
}

// Texel (7 - r, c) is red and opaque where the first byte of file texel (r, c) is 255.
void font_decode_glyph(const uint8_t *glyph, uint8_t *rgba) {
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            uint8_t *texel = rgba + ((7 - r) * 8 + c) * 4;
            bool set = glyph[(r * 8 + c) * 3] == 255;
            texel[0] = set ? 255 : 0;
            texel[1] = 0;
            texel[2] = 0;
            texel[3] = set ? 255 : 0;
        }
}
