// startup_data.h: the smallest set of files init_graphics loads: 17 shared pictures, the raw
// font and the three shared characters with their skins.
#pragma once
#include <string>

// Write them into `dir`; false when a file cannot be written. Every character is one
// triangle whose first vertex has skin coordinate s = 4 of an 8-texel-wide skin (u = 0.5).
bool write_startup_data(const std::string &dir);
// Their names: the 7 lights and 10 flares in load order, then the 3 character skins.
extern const char *const startup_pictures[20];
