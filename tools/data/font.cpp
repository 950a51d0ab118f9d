// font.cpp: "font.raw", the 8 x 8 statistics font, rasterized from DejaVu Sans Mono.
// Hinted monochrome rendering at 9 pixels gives crisp one-pixel strokes with a
// cap height of seven rows; letters with descenders are raised one row to fit.
#include <algorithm>
#include <string>

#include "content.h"
#include "writers/font_writer.h"
#include "writers/picture.h"

enum { FONT_PIXEL_SIZE = 9, FONT_RENDER_ROWS = 11, FONT_TOP_ROW = 2 };

std::vector<FontGlyph> font_glyphs() {
    std::vector<FontGlyph> glyphs(FONT_WRITER_GLYPHS);
    for (int code = 33; code < 127; code++) {
        TextMask glyph = text_mask_mono(std::string(1, char(code)), "DejaVu Sans Mono", FONT_PIXEL_SIZE);
        // The rendered rows, one bit per texel, clipped to 8 columns and centred in the cell.
        int offset = std::max(0, (8 - glyph.width) / 2);
        uint8_t rows[FONT_RENDER_ROWS + 2] = {};
        for (int y = 0; y < glyph.height && y < FONT_RENDER_ROWS + 2; y++)
            for (int x = 0; x < glyph.width && x + offset < 8; x++)
                if (glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)])
                    rows[y] |= uint8_t(0x80 >> (x + offset));
        // Rows FONT_TOP_ROW.. become the cell; a glyph that reaches below the cell moves up
        // when its top row is free, otherwise its last rows are merged.
        int top = FONT_TOP_ROW;
        bool below = false;
        for (int y = top + 8; y < FONT_RENDER_ROWS + 2; y++) below |= rows[y] != 0;
        if (below && rows[top] == 0) top++;
        for (int r = 0; r < 8; r++) glyphs[code].rows[r] = rows[top + r];
        for (int y = top + 8; y < FONT_RENDER_ROWS + 2; y++) glyphs[code].rows[7] |= rows[y];
        for (int y = 0; y < top; y++) glyphs[code].rows[0] |= rows[y];
    }
    return glyphs;
}

void generate_font(ContentSink &sink) { sink.add("font.raw", font_encode(font_glyphs())); }

KELP_CONTENT(CONTENT_ORDER_FONT, generate_font);
