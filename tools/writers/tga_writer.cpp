// tga_writer.cpp: pictures as uncompressed 24-bit TGA files, for sheets and previews.
#include "writers/picture.h"

std::vector<uint8_t> tga_encode(const Picture &picture) {
    std::vector<uint8_t> out(18, 0);
    out[2] = 2;  // uncompressed true colour
    out[12] = uint8_t(picture.width & 0xff);
    out[13] = uint8_t(picture.width >> 8);
    out[14] = uint8_t(picture.height & 0xff);
    out[15] = uint8_t(picture.height >> 8);
    out[16] = 24;
    out[17] = 0x20;  // rows top first
    out.reserve(out.size() + picture.rgb.size());
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++) {
            const uint8_t *p = picture.at(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
    return out;
}
