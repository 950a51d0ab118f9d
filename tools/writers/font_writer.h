// font_writer.h: glyph bitmaps in memory and the raw font file "font.raw" made from them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum { FONT_WRITER_GLYPHS = 128 };

// One 8 x 8 glyph: rows top first; bit 7 of a row is its leftmost texel.
struct FontGlyph {
    uint8_t rows[8] = {};
};

// "font.raw" bytes: 128 glyphs (codes 0..127) of 8 x 8 texels, 3 bytes each, rows top first;
// a set texel is (255, 255, 255), a clear one (0, 0, 0). Missing glyphs are blank.
std::vector<uint8_t> font_encode(const std::vector<FontGlyph> &glyphs);
