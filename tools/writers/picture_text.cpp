// picture_text.cpp: text drawn with real fonts: fontconfig finds the file, SDL2_ttf renders it.
#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/fatal.h"
#include "writers/picture.h"

static std::mutex text_mutex;

std::string font_file(const std::string &family) {
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

// The open font for a pattern and pixel size (opened once, kept for the run). Caller holds text_mutex.
static TTF_Font *open_font(const std::string &family, int pixel_size) {
    static std::map<std::pair<std::string, int>, TTF_Font *> fonts;
    auto key = std::make_pair(family, pixel_size);
    auto found = fonts.find(key);
    if (found != fonts.end()) return found->second;
    if (!TTF_WasInit() && TTF_Init() != 0) fatal_errorf("FONT: SDL2_ttf cannot start: %s", TTF_GetError());
    std::string path = font_file(family);
    TTF_Font *font = TTF_OpenFont(path.c_str(), pixel_size);
    if (!font) fatal_errorf("FONT: [%s] cannot be opened: %s", path.c_str(), TTF_GetError());
    TTF_SetFontHinting(font, TTF_HINTING_NORMAL);
    fonts[key] = font;
    return font;
}

TextMask text_mask(const std::string &text, const std::string &family, int pixel_size) {
    std::lock_guard<std::mutex> lock(text_mutex);
    TextMask mask;
    if (text.empty()) return mask;
    TTF_Font *font = open_font(family, pixel_size);
    SDL_Color white = {255, 255, 255, 255};
    SDL_Surface *rendered = TTF_RenderUTF8_Blended(font, text.c_str(), white);
    if (!rendered) fatal_errorf("FONT: cannot render [%s]: %s", text.c_str(), TTF_GetError());
    SDL_Surface *surface = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(rendered);
    if (!surface) fatal_errorf("FONT: cannot convert [%s]: %s", text.c_str(), SDL_GetError());
    mask.width = surface->w;
    mask.height = surface->h;
    mask.coverage.resize(size_t(mask.width) * mask.height);
    SDL_LockSurface(surface);
    for (int y = 0; y < mask.height; y++) {
        const uint8_t *row = static_cast<const uint8_t *>(surface->pixels) + size_t(y) * surface->pitch;
        for (int x = 0; x < mask.width; x++) mask.coverage[size_t(y) * mask.width + x] = row[x * 4 + 3];
    }
    SDL_UnlockSurface(surface);
    SDL_FreeSurface(surface);
    return mask;
}

int text_width(const std::string &text, const std::string &family, int pixel_size) {
    std::lock_guard<std::mutex> lock(text_mutex);
    int w = 0, h = 0;
    if (TTF_SizeUTF8(open_font(family, pixel_size), text.c_str(), &w, &h) != 0) return 0;
    return w;
}

void picture_draw_text(Picture &picture, const std::string &text, const std::string &family, int pixel_size,
                       int x, int y, Colour c) {
    TextMask mask = text_mask(text, family, pixel_size);
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
