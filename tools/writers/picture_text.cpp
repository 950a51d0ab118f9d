// picture_text.cpp: text drawn with real fonts: fontconfig finds the file, FreeType renders it.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/fatal.h"
#include "writers/picture.h"

static std::mutex text_mutex;

// Path of the font file fontconfig picks for the pattern (fatal when there is none).
static std::string font_file(const std::string &family) {
    FcPattern *pattern = FcNameParse(reinterpret_cast<const FcChar8 *>(family.c_str()));
    if (!pattern) fatal_errorf("FONT: [%s] is not a font pattern", family.c_str());
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    FcChar8 *file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<const char *>(file);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    if (path.empty()) fatal_errorf("FONT: [%s] no font file found", family.c_str());
    return path;
}

// FreeType and the faces opened so far, by pattern (opened once, kept for the run).
// Caller holds text_mutex.
static FT_Face open_face(const std::string &family) {
    static FT_Library library = nullptr;
    static std::map<std::string, FT_Face> faces;
    auto found = faces.find(family);
    if (found != faces.end()) return found->second;
    if (!library && FT_Init_FreeType(&library) != 0) fatal_errorf("FONT: FreeType cannot start");
    std::string path = font_file(family);
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) fatal_errorf("FONT: [%s] cannot be opened", path.c_str());
    faces[family] = face;
    return face;
}

// Next code point of UTF-8 text at *i (a broken sequence gives '?').
static uint32_t next_code_point(const std::string &text, size_t *i) {
    uint8_t c = uint8_t(text[(*i)++]);
    int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
    uint32_t code = extra ? c & (0x3f >> extra) : c;
    for (int k = 0; k < extra; k++) {
        if (*i >= text.size() || (uint8_t(text[*i]) & 0xc0) != 0x80) return '?';
        code = code << 6 | (uint8_t(text[(*i)++]) & 0x3f);
    }
    return code;
}

// One line of text laid out on its baseline: pen advances and kerning in 1/64 pixels, each
// glyph hinted and rendered, into a mask as tall as the face's ascent to descent. `mono`
// renders one bit per pixel (coverage 0 or 255). With `draw` unset only the width is found.
// FreeType serves one thread at a time.
static TextMask lay_out_text(const std::string &text, const std::string &family, int pixel_size, bool mono, bool draw) {
    std::lock_guard<std::mutex> lock(text_mutex);
    TextMask mask;
    if (text.empty()) return mask;
    FT_Face face = open_face(family);
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixel_size)) != 0)
        fatal_errorf("FONT: [%s] has no size %d", family.c_str(), pixel_size);
    const FT_Int32 load = FT_LOAD_DEFAULT | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    const int ascent = int((face->size->metrics.ascender + 63) >> 6);
    const int descent = int(face->size->metrics.descender >> 6);  // negative, rounded down
    struct Placed {
        int x, y, width, rows;
        std::vector<uint8_t> coverage;
    };
    std::vector<Placed> placed;
    long pen = 0;
    int right = 0;
    FT_UInt previous = 0;
    for (size_t i = 0; i < text.size();) {
        FT_UInt index = FT_Get_Char_Index(face, next_code_point(text, &i));
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            if (FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern) == 0) pen += kern.x;
        }
        previous = index;
        if (FT_Load_Glyph(face, index, load) != 0)
            fatal_errorf("FONT: [%s] glyph %u cannot be loaded", family.c_str(), index);
        if (draw && FT_Render_Glyph(face->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
            fatal_errorf("FONT: [%s] glyph %u cannot be rendered", family.c_str(), index);
        const FT_Bitmap &bitmap = face->glyph->bitmap;
        Placed glyph{int(pen >> 6) + face->glyph->bitmap_left, ascent - face->glyph->bitmap_top, int(bitmap.width),
                     int(bitmap.rows), {}};
        if (draw) {
            glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.rows));
            for (int y = 0; y < glyph.rows; y++)
                for (int x = 0; x < glyph.width; x++) {
                    const uint8_t *row = bitmap.buffer + long(y) * bitmap.pitch;
                    uint8_t value = mono ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
                    glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)] = value;
                }
        }
        right = std::max(right, glyph.x + glyph.width);
        pen += face->glyph->advance.x;
        placed.push_back(std::move(glyph));
    }
    mask.width = std::max(int((pen + 63) >> 6), right);
    mask.height = ascent - descent;
    if (!draw) return mask;
    mask.coverage.assign(size_t(mask.width) * size_t(mask.height), 0);
    for (const Placed &glyph : placed)
        for (int y = 0; y < glyph.rows; y++)
            for (int x = 0; x < glyph.width; x++) {
                int tx = glyph.x + x, ty = glyph.y + y;
                if (tx < 0 || ty < 0 || tx >= mask.width || ty >= mask.height) continue;
                uint8_t &cell = mask.coverage[size_t(ty) * size_t(mask.width) + size_t(tx)];
                cell = std::max(cell, glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)]);
            }
    return mask;
}

TextMask text_mask_mono(const std::string &text, const std::string &family, int pixel_size) {
    return lay_out_text(text, family, pixel_size, true, true);
}

int text_width(const std::string &text, const std::string &family, int pixel_size) {
    return lay_out_text(text, family, pixel_size, false, false).width;
}

void picture_draw_text(Picture &picture, const std::string &text, const std::string &family, int pixel_size,
                       int x, int y, Colour c) {
    TextMask mask = lay_out_text(text, family, pixel_size, false, true);
    for (int my = 0; my < mask.height; my++)
        for (int mx = 0; mx < mask.width; mx++) {
            uint8_t a = mask.coverage[size_t(my) * mask.width + mx];
            if (a) picture_blend(picture, x + mx, y + my, c, a / 255.0f);
        }
}

void picture_draw_text_centered(Picture &picture, const std::string &text, const std::string &family,
                                int pixel_size, int center_x, int y, Colour c) {
    picture_draw_text(picture, text, family, pixel_size, center_x - text_width(text, family, pixel_size) / 2, y, c);
}
