// texture_font.cpp: the raw 8 x 8 bitmap font, one texture per character code 32 to 127.
#include <cstdlib>

#include "app/file_bytes.h"
#include "app/messages.h"
#include "texture/texture.h"

enum { FONT_FIRST_CODE = 32 };

// Glyphs of codes 32..127 into the next 96 rows, uploaded clamped.
void texture_load_font(const char *name) {
    if (texture_count > MAX_TEXTURES - FONT_GLYPHS)
        fatal_errorf("too many textures loading %s (at most %d)!", name, int(MAX_TEXTURES));
    FileBytes file = file_load_bytes(name, "font", "Texture %s not found");
    bytes_need(file, 0, FONT_FILE_SIZE);
    for (int g = 0; g < FONT_GLYPHS; ++g) {
        int index = texture_count + g;
        TextureRecord &record = texture_table[index];
        record = TextureRecord{};
        record.width = record.height = 8;
        record.pixels = static_cast<uint8_t *>(calloc(64, 4));
        if (!record.pixels) fatal_errorf("font %s: out of memory", name);
        font_decode_glyph(file.data + (FONT_FIRST_CODE + g) * FONT_GLYPH_BYTES, record.pixels);
        record.gl_name = uint32_t(index);
        texture_upload(record, false);
    }
    texture_count += FONT_GLYPHS;
    file_free_bytes(file);
}
