// font_decode.cpp: one glyph of the raw 8 x 8 font to RGBA texels.
#include "texture/texture.h"

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
