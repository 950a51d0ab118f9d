// texture.cpp: the table of loaded textures, the registry that finds them by file name,
// the raw 8 x 8 font (one texture per character code 32 to 127) and the OpenGL upload.
#include "texture/texture.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "app/ascii.h"
#include "app/file_bytes.h"
#include "app/messages.h"

TextureRecord texture_table[MAX_TEXTURES];
int texture_count = 0;
char texture_names[MAX_TEXTURES][TEXTURE_NAME_SIZE];
int texture_name_count = 0;
int32_t light_texture_base = 0, flare_texture_base = 7, font_base = 17;

// Fatal when a name cannot fit a registry slot.
static void check_name_length(const char *name) {
    if (strlen(name) >= TEXTURE_NAME_SIZE)
        fatal_errorf("texture name %s is too long (at most %d characters)!", name, TEXTURE_NAME_SIZE - 1);
}

// Fatal when `count` more rows would not fit the table of 1000.
static void check_room(int used, int count, const char *name) {
    if (used > MAX_TEXTURES - count)
        fatal_errorf("too many textures loading %s (at most %d)!", name, int(MAX_TEXTURES));
}

// Registry look-up ignoring case; loads and registers the file on first use.
int texture_find(const char *name, bool repeat) {
    // Reserved rows have empty names and are never found by a look-up, not even of "".
    for (int i = 0; i < texture_name_count; ++i)
        if (texture_names[i][0] && strcasecmp(texture_names[i], name) == 0) return i;
    check_name_length(name);
    check_room(texture_name_count, 1, name);
    char lowered[TEXTURE_NAME_SIZE];
    snprintf(lowered, sizeof lowered, "%s", name);
    int index = texture_load(lowered, repeat);
    memcpy(texture_names[texture_name_count], lowered, TEXTURE_NAME_SIZE);
    ++texture_name_count;
    return index;
}

// Next table row: lower-case the name, show it, read, upload.
int texture_load(char *name, bool repeat) {
    check_name_length(name);
    check_room(texture_count, 1, name);
    int index = texture_count;
    lower_case(name);
    char line[TEXTURE_NAME_SIZE + 8];
    snprintf(line, sizeof line, "       %s", name);
    screen_print(line, true);
    TextureRecord &record = texture_table[index];
    record = TextureRecord{};
    texture_read_bmp(record, name);
    record.gl_name = uint32_t(index);
    texture_upload(record, repeat);
    ++texture_count;
    return index;
}

// Whole file through the file layer, then the pure decoder.
void texture_read_bmp(TextureRecord &record, const char *name) {
    FileBytes file = file_load_bytes(name, "texture", "Texture %s not found");
    bmp_decode(file.data, file.size, name, record);
    file_free_bytes(file);
}

// Empty registry rows for the shared start-up textures.
void texture_reserve_names(int count) {
    check_room(texture_name_count, count, "the shared set");
    for (int i = 0; i < count; ++i) texture_names[texture_name_count + i][0] = '\0';
    texture_name_count += count;
}

// Bind under the record's index, set wrap/filter/environment, upload level 0 as RGBA.
void texture_upload(const TextureRecord &record, bool repeat) {
    glBindTexture(GL_TEXTURE_2D, record.gl_name);
    GLint wrap = repeat ? GL_REPEAT : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, record.width, record.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 record.pixels);
}

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
