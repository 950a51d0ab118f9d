// screenshot.h: numbered TGA screenshots of the frame just drawn.
#pragma once
#include <cstdint>

enum { TGA_HEADER_SIZE = 18, MAX_SCREENSHOT_NUMBER = 99999 };

// Number the next screenshot will try first.
extern int next_screenshot_number;

// First number n from 0 whose "shot%.4d.tga" is missing in the working directory.
int find_next_screenshot_number();
// Read the back buffer and write it to the next free "shot%.4d.tga"; skipped on any failure.
void save_screenshot();

// Read the lower-left w x h pixels of the current read buffer as RGB rows, bottom row first.
void read_frame_rgb(uint8_t *rgb, int width, int height);
// The 18 header bytes of an uncompressed 24-bit TGA of w x h, rows bottom-up.
void tga_header(uint8_t header[TGA_HEADER_SIZE], int width, int height);
// Write RGB pixels (bottom row first) as a TGA; `exclusive` refuses an existing file.
// Returns false when the file cannot be created or written. The pixels become BGR.
bool write_tga(const char *name, uint8_t *rgb, int width, int height, bool exclusive);
