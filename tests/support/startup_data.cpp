// startup_data.cpp: the smallest set of files init_graphics loads.
#include "support/startup_data.h"

#include "support/test_data.h"
#include "writers/font_writer.h"
#include "writers/mdl_writer.h"

// One triangle, one frame, an 8x8 skin.
static std::vector<uint8_t> small_mdl() {
    MdlModel model;
    model.skin_width = model.skin_height = 8;
    model.skin.assign(64, 0);
    model.texcoords = {{0, 4, 0}, {0, 0, 8}, {0, 8, 8}};
    model.triangles = {{1, {0, 1, 2}}};
    model.frames = {{0, 0, 0, 1, 0, 0, 0, 0, 1}};
    model.frame_names = {"stand"};
    return mdl_encode(model);
}

const char *const startup_pictures[20] = {
    "light1.bmp", "light2.bmp", "light3.bmp", "light4.bmp", "light5.bmp", "light6.bmp",
    "light7.bmp", "flare_normal.bmp", "flare_heavy.bmp", "flare_ray.bmp", "flare_cheesy.bmp",
    "flare_fire1.bmp", "flare_fire2.bmp", "flare_fire3.bmp", "flare_fire4.bmp",
    "flare_particle.bmp", "lensflare.bmp", "messiah.bmp", "father.bmp", "wolfguy.bmp"};

bool write_startup_data(const std::string &dir) {
    int shade = 0;
    for (const char *name : startup_pictures)
        if (!write_file(dir + "/" + name, bmp_encode_24(solid_picture(8, 8, uint8_t(shade += 12), 128, 255))))
            return false;
    std::vector<FontGlyph> glyphs(FONT_WRITER_GLYPHS);
    for (FontGlyph &glyph : glyphs)
        for (int row = 0; row < 8; row++) glyph.rows[row] = uint8_t(0x3c);
    if (!write_file(dir + "/font.raw", font_encode(glyphs))) return false;
    for (const char *name : {"messiah.mdl", "father.mdl", "wolfguy.mdl"})
        if (!write_file(dir + "/" + name, small_mdl())) return false;
    return true;
}
