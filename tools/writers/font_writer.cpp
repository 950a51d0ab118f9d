// font_writer.cpp: writes glyph bitmaps as the raw 8 x 8 font.
#include "writers/font_writer.h"

// Expand each glyph bit to a 3-byte texel.
std::vector<uint8_t> font_encode(const std::vector<FontGlyph> &glyphs) {
    std::vector<uint8_t> out(size_t(FONT_WRITER_GLYPHS) * 8 * 8 * 3, 0);
    for (size_t g = 0; g < glyphs.size() && g < FONT_WRITER_GLYPHS; ++g)
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                if (glyphs[g].rows[r] & (0x80 >> c)) {
                    uint8_t *texel = &out[((g * 8 + r) * 8 + c) * 3];
                    texel[0] = texel[1] = texel[2] = 255;
                }
    return out;
}
