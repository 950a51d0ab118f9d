// screenshot.cpp: saves the frame as "shot%.4d.tga", never replacing a file already there.
#include "demo/screenshot.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/settings.h"

int next_screenshot_number = 0;

int find_next_screenshot_number() {
    char name[32];
    int number = 0;
    for (; number < MAX_SCREENSHOT_NUMBER; ++number) {
        snprintf(name, sizeof name, "shot%.4d.tga", number);
        FILE *file = fopen(name, "rb");
        if (!file) break;
        fclose(file);
    }
    next_screenshot_number = number;
    return number;
}

void read_frame_rgb(uint8_t *rgb, int width, int height) {
    // Rows of w * 3 bytes are tightly packed whatever the width, so the read never runs
    // past the buffer when the width is not a multiple of 4.
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
}

void tga_header(uint8_t header[TGA_HEADER_SIZE], int width, int height) {
    for (int i = 0; i < TGA_HEADER_SIZE; ++i) header[i] = 0;
    header[2] = 2;  // uncompressed true colour
    header[12] = uint8_t(width & 0xff);
    header[13] = uint8_t((width >> 8) & 0xff);
    header[14] = uint8_t(height & 0xff);
    header[15] = uint8_t((height >> 8) & 0xff);
    header[16] = 24;
    header[17] = 0;  // rows bottom-up, no alpha bits
}

bool write_tga(const char *name, uint8_t *rgb, int width, int height, bool exclusive) {
    FILE *file = fopen(name, exclusive ? "wbx" : "wb");
    if (!file) return false;
    uint8_t header[TGA_HEADER_SIZE];
    tga_header(header, width, height);
    size_t bytes = size_t(width) * size_t(height) * 3;
    for (size_t i = 0; i < bytes; i += 3) {
        uint8_t red = rgb[i];
        rgb[i] = rgb[i + 2];
        rgb[i + 2] = red;
    }
    bool ok = fwrite(header, 1, TGA_HEADER_SIZE, file) == TGA_HEADER_SIZE &&
              fwrite(rgb, 1, bytes, file) == bytes;
    return fclose(file) == 0 && ok;
}

void save_screenshot() {
    int width = get_screen_width(), height = get_screen_height();
    // The TGA header holds 16-bit sizes.
    if (width <= 0 || height <= 0 || width > 0xffff || height > 0xffff) return;
    uint8_t *rgb = static_cast<uint8_t *>(malloc(size_t(width) * size_t(height) * 3));
    if (!rgb) {
        ++next_screenshot_number;
        return;
    }
    read_frame_rgb(rgb, width, height);
    // Take the next number that is free now: a file that appeared since the start is kept.
    char name[32];
    while (next_screenshot_number <= MAX_SCREENSHOT_NUMBER) {
        snprintf(name, sizeof name, "shot%.4d.tga", next_screenshot_number);
        ++next_screenshot_number;
        if (write_tga(name, rgb, width, height, true)) break;
        if (errno != EEXIST) break;
    }
    free(rgb);
}
