// contact_sheet.cpp: a labelled sheet of every generated picture, read back through the
// texture reader, so what is seen is what the program will load.
#include "contact_sheet.h"

#include <strings.h>

#include <cstdlib>

#include "texture/texture.h"

Picture content_contact_sheet(const ContentSink &sink) {
    std::vector<Picture> pictures;
    std::vector<std::string> labels;
    for (const ContentFile &file : sink.files) {
        size_t n = file.name.size();
        if (n < 4 || strcasecmp(file.name.c_str() + n - 4, ".bmp") != 0) continue;
        TextureRecord record{};
        bmp_decode(file.bytes.data(), file.bytes.size(), file.name.c_str(), record);
        Picture p(record.width, record.height);
        for (int y = 0; y < record.height; y++)
            for (int x = 0; x < record.width; x++) {
                const uint8_t *texel = &record.pixels[(size_t(record.height - 1 - y) * record.width + x) * 4];
                if (texel[3] == 0) picture_set_transparent(p, x, y);
                else picture_set(p, x, y, colour_bytes(texel[0], texel[1], texel[2]));
            }
        free(record.pixels);
        pictures.push_back(p);
        labels.push_back(file.name + " " + std::to_string(record.width) + "x" + std::to_string(record.height));
    }
    return picture_contact_sheet(pictures, labels, 192, 8);
}
