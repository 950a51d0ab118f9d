// font.cpp: "font.raw", the 8 x 8 statistics font, rasterized from DejaVu Sans Mono.
// Hinted monochrome rendering at 9 pixels gives crisp one-pixel strokes with a
// cap height of seven rows; letters with descenders are raised one row to fit.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstring>

#include "platform/fatal.h"
#include "content.h"
#include "font_glyphs.h"
#include "writers/font_writer.h"
#include "writers/picture.h"

enum { FONT_PIXEL_SIZE = 9, FONT_RENDER_ROWS = 11, FONT_TOP_ROW = 2 };

std::vector<FontGlyph> font_glyphs() {
    if (!TTF_WasInit() && TTF_Init() != 0) fatal_errorf("FONT: SDL2_ttf cannot start: %s", TTF_GetError());
    std::string path = font_file("DejaVu Sans Mono");
    TTF_Font *font = TTF_OpenFont(path.c_str(), FONT_PIXEL_SIZE);
    if (!font) fatal_errorf("FONT: [%s] cannot be opened: %s", path.c_str(), TTF_GetError());
    TTF_SetFontHinting(font, TTF_HINTING_MONO);
    std::vector<FontGlyph> glyphs(FONT_WRITER_GLYPHS);
    for (int code = 33; code < 127; code++) {
        SDL_Color white = {255, 255, 255, 255};
        SDL_Surface *surface = TTF_RenderGlyph_Solid(font, uint16_t(code), white);
        if (!surface) fatal_errorf("FONT: glyph %d cannot be rendered: %s", code, TTF_GetError());
        // The rendered rows, one bit per texel, clipped to 8 columns and centred in the cell.
        int offset = (8 - surface->w) / 2;
        if (offset < 0) offset = 0;
        uint8_t rows[FONT_RENDER_ROWS + 2] = {};
        SDL_LockSurface(surface);
        for (int y = 0; y < surface->h && y < FONT_RENDER_ROWS + 2; y++)
            for (int x = 0; x < surface->w && x + offset < 8; x++)
                if (static_cast<const uint8_t *>(surface->pixels)[size_t(y) * surface->pitch + x])
                    rows[y] |= uint8_t(0x80 >> (x + offset));
        SDL_UnlockSurface(surface);
        SDL_FreeSurface(surface);
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
    TTF_CloseFont(font);
    return glyphs;
}

void generate_font(ContentSink &sink) { sink.add("font.raw", font_encode(font_glyphs())); }

KELP_CONTENT(CONTENT_ORDER_FONT, generate_font);
