// text_surface.cpp: text drawn with SDL2_ttf into a window-sized image, presented through OpenGL.
#include "platform/text_surface.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <cstring>

#include "platform/fatal.h"
#include "platform/window.h"
#include "platform/window.h"

static TTF_Font *text_font = nullptr;
static uint32_t *image = nullptr;  // 0xAARRGGBB, rows top-down
static int image_width = 0, image_height = 0;

// Path of the font file fontconfig picks for a family name; false when it has none.
static bool find_font_file(const char *family, char *path, size_t size) {
    if (!FcInit()) return false;
    FcPattern *pattern = FcNameParse((const FcChar8 *)family);
    if (!pattern) return false;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    FcChar8 *file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        strlen((const char *)file) < size) {
        strcpy(path, (const char *)file);
        found = true;
    }
    if (match) FcPatternDestroy(match);
    return found;
}

// Font at the point size whose line height (ascent + descent) is at most `height` pixels.
void text_select_font(const char *family, int height) {
    if (!TTF_WasInit() && TTF_Init() != 0) fatal_errorf("Couldn't start the font renderer: %s", TTF_GetError());
    char path[1024];
    if (!find_font_file(family, path, sizeof path))
        fatal_errorf("Couldn't find a font for \"%s\" (install fonts-liberation)", family);
    if (text_font) TTF_CloseFont(text_font);
    text_font = TTF_OpenFont(path, height);
    if (!text_font) fatal_errorf("Couldn't open the font %s: %s", path, TTF_GetError());
    for (int size = height; size > 1 && TTF_FontHeight(text_font) > height; size--)
        TTF_SetFontSize(text_font, size - 1);
}

// Make the image match the window's client size, keeping what overlaps.
static void fit_image() {
    int width = get_screen_width(), height = get_screen_height();
    if (SDL_Window *window = get_window()) SDL_GetWindowSize(window, &width, &height);
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    if (image && width == image_width && height == image_height) return;
    uint32_t *fresh = (uint32_t *)calloc(size_t(width) * size_t(height), sizeof(uint32_t));
    if (!fresh) fatal_errorf("Out of memory for a %dx%d text image", width, height);
    for (size_t i = 0; i < size_t(width) * size_t(height); i++) fresh[i] = 0xff000000u;
    for (int y = 0; y < height && y < image_height; y++)
        for (int x = 0; x < width && x < image_width; x++)
            fresh[size_t(y) * width + x] = image[size_t(y) * image_width + x];
    free(image);
    image = fresh;
    image_width = width;
    image_height = height;
}

// Clipped box fill.
void text_fill(int x, int y, int width, int height, uint32_t colour) {
    fit_image();
    int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int x1 = x + width > image_width ? image_width : x + width;
    int y1 = y + height > image_height ? image_height : y + height;
    for (int row = y0; row < y1; row++)
        for (int col = x0; col < x1; col++) image[size_t(row) * image_width + col] = 0xff000000u | colour;
}

// Render shaded (opaque background) and copy the clipped box into the image.
int text_out(int x, int y, const char *text, uint32_t text_colour, uint32_t background) {
    fit_image();
    if (!text_font) text_select_font("Arial", FONT_HEIGHT);  // as the program selects it
    if (!text || !text[0]) return 0;
    SDL_Color fg = {Uint8(text_colour >> 16), Uint8(text_colour >> 8), Uint8(text_colour), 255};
    SDL_Color bg = {Uint8(background >> 16), Uint8(background >> 8), Uint8(background), 255};
    SDL_Surface *shaded = TTF_RenderText_Shaded(text_font, text, fg, bg);
    if (!shaded) return 0;
    SDL_Surface *argb = SDL_ConvertSurfaceFormat(shaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(shaded);
    if (!argb) return 0;
    int drawn = argb->w;
    SDL_LockSurface(argb);
    for (int row = 0; row < argb->h; row++) {
        int iy = y + row;
        if (iy < 0 || iy >= image_height) continue;
        const uint32_t *src = (const uint32_t *)((const uint8_t *)argb->pixels + size_t(row) * argb->pitch);
        for (int col = 0; col < argb->w; col++) {
            int ix = x + col;
            if (ix >= 0 && ix < image_width) image[size_t(iy) * image_width + ix] = src[col] | 0xff000000u;
        }
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return drawn;
}

// Draw the image over the whole back buffer with identity matrices, then swap.
void text_present() {
    if (!get_window() || !SDL_GL_GetCurrentContext()) return;
    fit_image();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, image_width, image_height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glRasterPos2f(-1.0f, 1.0f);
    glPixelZoom(1.0f, -1.0f);  // the image is stored top row first
    glDrawPixels(image_width, image_height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, image);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopClientAttrib();
    glPopAttrib();
    glFinish();
    swap_window_buffers();
}

uint32_t text_image_pixel(int x, int y) {
    if (!image || x < 0 || y < 0 || x >= image_width || y >= image_height) return 0;
    return image[size_t(y) * image_width + x] & 0xffffffu;
}

void text_release() {
    if (text_font) TTF_CloseFont(text_font);
    text_font = nullptr;
    if (TTF_WasInit()) TTF_Quit();
    free(image);
    image = nullptr;
    image_width = image_height = 0;
}
