// test_texture_gl.cpp: texture loading, the name registry and the upload in a real GL context.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/gl_context.h"
#include "support/test_data.h"
#include "writers/font_writer.h"

namespace {

// The glyph of each code c: row r holds (c + r) so every glyph is distinct; space gets a frame.
std::vector<FontGlyph> test_glyphs() {
    std::vector<FontGlyph> glyphs(128);
    for (int c = 0; c < 128; ++c)
        for (int r = 0; r < 8; ++r) glyphs[c].rows[r] = uint8_t(c + r);
    glyphs[' '].rows[0] = 0xFF;
    glyphs[' '].rows[7] = 0x81;
    return glyphs;
}

// Load the start-up set as the program does: 17 shared BMPs and the font, names reserved.
void load_shared_set() {
    for (int i = 0; i < 17; ++i) {
        std::string name = "shared" + std::to_string(i) + ".bmp";
        ASSERT_TRUE(write_file(name, bmp_encode_24(solid_picture(4, 4, uint8_t(i * 10), 0, 0))));
        ASSERT_EQ(texture_load(name.data(), false), i);
        texture_reserve_names(1);
    }
    ASSERT_TRUE(write_file("font.raw", font_encode(test_glyphs())));
    texture_load_font("font.raw");
    texture_reserve_names(FONT_GLYPHS);
}

std::vector<uint8_t> read_back(int index, int w, int h) {
    std::vector<uint8_t> rgba(size_t(w) * h * 4, 0xCC);
    glBindTexture(GL_TEXTURE_2D, GLuint(index));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

GLint wrap_of(int index) {
    GLint wrap = 0;
    glBindTexture(GL_TEXTURE_2D, GLuint(index));
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    return wrap;
}

// Each test works in the process's folder with an empty texture table.
class TextureGl : public GlContextTest {
  protected:
    void SetUp() override {
        GlContextTest::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        enter_data_dir();
        reset_textures();
    }
};
using TextureDeath = TextureGl;

}  // namespace

TEST_F(TextureGl, SharedSetPutsTheSpaceGlyphAtSeventeen) {
    load_shared_set();
    EXPECT_EQ(std::make_pair(texture_count, texture_name_count), std::make_pair(113, 113));
    std::vector<uint8_t> space = read_back(17, 8, 8);
    // Texture rows are bottom-up: file row 0 (all set) is texture row 7, file row 7 is row 0.
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(space[(7 * 8 + c) * 4] & space[(7 * 8 + c) * 4 + 3], 255) << c;  // red, opaque
        EXPECT_EQ(space[c * 4 + 3], c == 0 || c == 7 ? 255 : 0) << c;
    }
    // The last glyph (code 127) is index 112; its row r is 127 + r, so top row 0x7F.
    std::vector<uint8_t> del = read_back(112, 8, 8);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(del[(7 * 8 + c) * 4 + 3], c == 0 ? 0 : 255) << c;
    EXPECT_EQ(wrap_of(17), GL_CLAMP);
    EXPECT_EQ(texture_names[5][0] | texture_names[60][0], 0);  // reserved: no file name finds them
}

TEST_F(TextureGl, FindIgnoresCaseAndLoadsOnce) {
    load_shared_set();
    ASSERT_TRUE(write_file("mirror.bmp", bmp_encode_24(solid_picture(8, 4, 10, 20, 30))));
    int first = texture_find("mirror.bmp", true);
    EXPECT_EQ(first, 113);
    EXPECT_EQ(texture_find("Mirror.BMP", false), first);
    EXPECT_EQ(texture_count, 114);
    EXPECT_STREQ(texture_names[first], "mirror.bmp");
    EXPECT_EQ(wrap_of(first), GL_REPEAT);

    // An upper-case request for a new file lower-cases the stored name.
    ASSERT_TRUE(write_file("wall.bmp", bmp_encode_24(solid_picture(4, 4, 1, 2, 3))));
    int wall = texture_find("WALL.BMP", false);
    EXPECT_EQ(wall, 114);
    EXPECT_STREQ(texture_names[wall], "wall.bmp");
    EXPECT_EQ(wrap_of(wall), GL_CLAMP);
    // A name of 31 characters and the last slot of the table are still accepted.
    std::string longest = std::string(27, 'a') + ".bmp";
    ASSERT_TRUE(write_file(longest, bmp_encode_24(solid_picture(4, 4, 1, 2, 3))));
    texture_count = texture_name_count = MAX_TEXTURES - 1;
    EXPECT_EQ(texture_find(longest.c_str(), false), MAX_TEXTURES - 1);
    EXPECT_EQ(texture_count, MAX_TEXTURES);
    texture_count = texture_name_count = MAX_TEXTURES - FONT_GLYPHS;  // the font fills the table exactly
    texture_load_font("font.raw");
    EXPECT_EQ(texture_count, MAX_TEXTURES);
}

TEST_F(TextureGl, UploadKeepsPixelsAndColourKey) {
    Picture p(4, 2);
    const uint8_t colours[8][3] = {{255, 0, 255}, {254, 0, 255}, {0, 0, 0},    {255, 255, 255},
                                   {10, 200, 30}, {1, 2, 3},     {90, 80, 70}, {255, 0, 255}};
    for (int i = 0; i < 8; ++i) memcpy(p.at(i % 4, i / 4), colours[i], 3);
    ASSERT_TRUE(write_file("key8.bmp", bmp_encode_8(p)));
    ASSERT_TRUE(write_file("key24.bmp", bmp_encode_24(p)));
    for (const char *name : {"key8.bmp", "key24.bmp"}) {
        SCOPED_TRACE(name);
        int index = texture_find(name, false);
        std::vector<uint8_t> got = read_back(index, 4, 2);
        for (int i = 0; i < 8; ++i) {
            int row = 1 - i / 4;  // picture row 0 is the top, texture row 0 the bottom
            const uint8_t *t = &got[(row * 4 + i % 4) * 4];
            EXPECT_EQ(memcmp(t, colours[i], 3), 0) << i;
            bool key = colours[i][0] == 255 && colours[i][1] == 0 && colours[i][2] == 255;
            EXPECT_EQ(t[3], key ? 0 : 255) << i;
        }
    }
}

// Missing files, a short font, a name of 32 characters and a full table are fatal.
TEST_F(TextureDeath, BadFilesAndFullTablesAreFatal) {
    EXPECT_EXIT(texture_find("nothere.bmp", false), ::testing::ExitedWithCode(1), "^Texture nothere\\.bmp not found");
    texture_reserve_names(3);
    EXPECT_EXIT(texture_find("", false), ::testing::ExitedWithCode(1), "^Texture  not found");
    unlink("font.raw");
    EXPECT_EXIT(texture_load_font("font.raw"), ::testing::ExitedWithCode(1), "^Texture font\\.raw not found");
    std::vector<uint8_t> font = font_encode(test_glyphs());
    font.resize(font.size() - 1);
    ASSERT_TRUE(write_file("short.raw", font));
    EXPECT_EXIT(texture_load_font("short.raw"), ::testing::ExitedWithCode(1),
                "^font short\\.raw is truncated \\(needs 24576 bytes, has 24575\\)");
    ASSERT_TRUE(write_file("ok.bmp", bmp_encode_24(solid_picture(4, 4, 1, 1, 1))));
    EXPECT_EXIT(texture_find(std::string(32, 'a').c_str(), false), ::testing::ExitedWithCode(1),
                "^texture name a+ is too long \\(at most 31 characters\\)");
    texture_count = texture_name_count = MAX_TEXTURES;
    EXPECT_EXIT(texture_find("ok.bmp", false), ::testing::ExitedWithCode(1),
                "^too many textures loading ok\\.bmp \\(at most 1000\\)");
    texture_count = texture_name_count = MAX_TEXTURES - 95;  // the font needs 96
    EXPECT_EXIT(texture_load_font("font.raw"), ::testing::ExitedWithCode(1), "^too many textures loading font\\.raw");
    EXPECT_EXIT(texture_reserve_names(96), ::testing::ExitedWithCode(1), "^too many textures");
    texture_count = texture_name_count = 0;
}
