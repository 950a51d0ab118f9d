// texture.h: BMP and raw-font images, their OpenGL upload, and the registry by file name.
#pragma once
#include <cstddef>
#include <cstdint>

enum { MAX_TEXTURES = 1000, TEXTURE_NAME_SIZE = 32, FONT_GLYPHS = 96 };

struct TextureRecord {
    uint8_t *pixels;  // RGBA, rows bottom-up
    int32_t width, height;
    uint32_t gl_name;  // equal to the record's index
};

extern TextureRecord texture_table[MAX_TEXTURES];
extern int texture_count;
extern char texture_names[MAX_TEXTURES][TEXTURE_NAME_SIZE];
extern int texture_name_count;

// First index of the seven light glows, the ten flares and the 96 font glyphs of the shared
// start-up set.
extern int32_t light_texture_base, flare_texture_base, font_base;

// Index of the texture loaded from `name` (case ignored), loading it on first use.
int texture_find(const char *name, bool repeat);
// Load a BMP into the next record and upload it; lower-cases name in place.
int texture_load(char *name, bool repeat);
// Load the 96 glyphs (codes 32..127) of a raw font into the next 96 records.
void texture_load_font(const char *name);
// Read and convert a BMP into the record (fatal on anything it cannot read).
void texture_read_bmp(TextureRecord &record, const char *name);
// Upload a record to OpenGL under its index.
void texture_upload(const TextureRecord &record, bool repeat);
// Reserve registry rows with empty names (shared start-up textures).
void texture_reserve_names(int count);

// Largest width or height a texture may have, and the size of a raw font file
// (128 glyphs of 8 x 8 texels, 3 bytes each, rows top first).
enum { MAX_TEXTURE_SIDE = 8192, FONT_GLYPH_BYTES = 192, FONT_FILE_SIZE = 128 * FONT_GLYPH_BYTES };

// Decode BMP file bytes into the record (RGBA, rows bottom-up, magenta keyed out);
// no files, no OpenGL. Fatal, naming `name`, on anything it cannot read.
void bmp_decode(const uint8_t *data, size_t size, const char *name, TextureRecord &record);
// Convert one 192-byte raw font glyph into 8 x 8 RGBA texels, rows bottom-up.
void font_decode_glyph(const uint8_t *glyph, uint8_t *rgba);
