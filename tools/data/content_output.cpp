// content_output.cpp: the run folder: loose files beside the program and the "Data" pack; and
// the contact sheet of every generated picture, read back through the texture reader, so what
// is seen is what the program will load.
#include "content_output.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>

#include "platform/fatal.h"
#include "texture/texture.h"
#include "writers/bmp_writer.h"
#include "writers/pack_writer.h"

bool content_stays_loose(const std::string &name) {
    return strcasecmp(name.c_str(), "Music") == 0 || strcasecmp(name.c_str(), "noise.bmp") == 0;
}

size_t content_write(ContentSink &sink, const std::string &outdir) {
    std::vector<PackEntry> packed;
    for (ContentFile &file : sink.files) {
        if (content_stays_loose(file.name)) {
            std::string path = outdir + "/" + file.name;
            if (!write_file(path, file.bytes)) fatal_errorf("kelp-data: cannot write [%s]", path.c_str());
            continue;
        }
        packed.push_back(PackEntry{file.name, std::move(file.bytes)});
    }
    std::string error;
    if (!pack_write(outdir + "/Data", packed, &error))
        fatal_errorf("kelp-data: cannot write [%s/Data]: %s", outdir.c_str(), error.c_str());
    return packed.size();
}

// Copy `source` into `target` with its top left corner at (x, y), clipped.
static void picture_paste(Picture &target, const Picture &source, int x, int y) {
    for (int sy = 0; sy < source.height; sy++)
        for (int sx = 0; sx < source.width; sx++) {
            int tx = x + sx, ty = y + sy;
            if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) continue;
            std::copy(source.at(sx, sy), source.at(sx, sy) + 3, target.at(tx, ty));
        }
}

// The pictures side by side in a grid of cells `cell` pixels wide, labelled.
static Picture picture_contact_sheet(const std::vector<Picture> &pictures, const std::vector<std::string> &labels,
                                     int cell, int columns) {
    int rows = int((pictures.size() + columns - 1) / columns);
    int label_height = 16;
    Picture sheet(cell * columns, (cell + label_height) * std::max(rows, 1));
    picture_fill(sheet, colour(0.15f, 0.15f, 0.18f));
    for (size_t i = 0; i < pictures.size(); i++) {
        int cx = int(i % columns) * cell, cy = int(i / columns) * (cell + label_height);
        const Picture &p = pictures[i];
        int longest = std::max(p.width, p.height);
        int inner = cell - 8;
        Picture scaled = picture_resize(p, std::max(1, p.width * inner / longest), std::max(1, p.height * inner / longest));
        // Show transparent pixels as a checker board so the colour key is visible.
        picture_repaint(scaled, [&](int x, int y, float, float, Colour now) {
            if (!picture_is_transparent(scaled, x, y)) return now;
            return ((x / 4 + y / 4) & 1) ? colour(0.6f, 0.6f, 0.6f) : colour(0.4f, 0.4f, 0.4f);
        });
        picture_paste(sheet, scaled, cx + 4, cy + 4);
        if (i < labels.size())
            picture_draw_text(sheet, labels[i], "DejaVu Sans", 11, cx + 4, cy + cell, colour(1, 1, 1));
    }
    return sheet;
}

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
