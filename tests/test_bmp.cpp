// test_bmp.cpp: BMP decoding without OpenGL: pixels, padding, palettes, colour key, bad input.
#include <gtest/gtest.h>

#include "support/test_data.h"

namespace {

// A picture whose every texel differs from its neighbours, or (`few`) one of at most 12
// colours for 8-bit files.
Picture gradient(int w, int h, bool few = false) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t *c = p.at(x, y);
            if (few) c[0] = uint8_t((x % 3) * 100), c[1] = uint8_t((y % 4) * 60), c[2] = 7;
            else c[0] = uint8_t(x * 37 + y), c[1] = uint8_t(y * 23 + 5), c[2] = uint8_t((x ^ y) * 11);
        }
    return p;
}

// Every decoded texel equals the picture's, with the picture's top row last.
void expect_same_pixels(const Picture &p, const std::vector<uint8_t> &file) {
    DecodedBmp d(file, "test.bmp");
    ASSERT_EQ(d.record.width, p.width);
    ASSERT_EQ(d.record.height, p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t *want = p.at(x, y);
            const uint8_t *got = d.texel(x, p.height - 1 - y);
            bool key = want[0] == 255 && want[1] == 0 && want[2] == 255;
            ASSERT_EQ(memcmp(want, got, 3), 0) << "texel " << x << "," << y;
            ASSERT_EQ(got[3], key ? 0 : 255) << "alpha at " << x << "," << y;
        }
}

}  // namespace

// Rows of every width are padded and stored bottom-up, in 24-bit and in 8-bit palette files.
TEST(BmpDecode, RowsArePaddedAndBottomUp) {
    for (int w : {1, 2, 3, 4, 5, 7, 9, 13}) {
        Picture rgb = gradient(w, 6), indexed = gradient(w, 5, true);
        expect_same_pixels(rgb, bmp_encode_24(rgb));
        expect_same_pixels(indexed, bmp_encode_8(indexed));
    }
}

// Variants of the layout that still decode to the picture: a colours-used count of 0 (a full
// palette of 256), top-down rows, a longer info header and a gap before the pixels, a last
// row without its padding, and the largest side of 8192.
TEST(BmpDecode, LayoutVariantsDecodeToThePicture) {
    std::vector<std::pair<Picture, std::vector<uint8_t>>> variants;
    Picture full(16, 16);
    for (int i = 0; i < 256; ++i) {
        uint8_t *c = full.at(i % 16, i / 16);
        c[0] = uint8_t(i), c[1] = uint8_t(255 - i), c[2] = uint8_t(i * 7);
    }
    variants.push_back({full, bmp_encode_8(full)});
    put_le(variants.back().second, 46, 0);
    Picture g = gradient(5, 4);
    std::vector<uint8_t> bytes = bmp_encode_24(g), flipped = bytes;  // rows reversed, marked top-down
    for (int r = 0; r < 4; ++r) memcpy(&flipped[54 + r * 16], &bytes[54 + (3 - r) * 16], 16);
    put_le(flipped, 22, uint32_t(-4));
    variants.push_back({g, flipped});
    Picture few = gradient(3, 3, true);
    bytes = bmp_encode_8(few);
    size_t palette = bytes[46] * 4u;  // the info header grown to 108 bytes, 10 bytes before the pixels
    std::vector<uint8_t> longer(bytes.begin(), bytes.begin() + 54);
    longer.insert(longer.end(), 68, 0xEE);
    longer.insert(longer.end(), bytes.begin() + 54, bytes.begin() + 54 + long(palette));
    longer.insert(longer.end(), 10, 0xEE);
    longer.insert(longer.end(), bytes.begin() + 54 + long(palette), bytes.end());
    put_le(longer, 14, 108);
    put_le(longer, 10, uint32_t(14 + 108 + palette + 10));
    variants.push_back({few, longer});
    Picture padded = gradient(5, 3);
    variants.push_back({padded, bmp_encode_24(padded)});
    variants.back().second.pop_back();  // 15 bytes of pixels, 1 byte of padding
    Picture wide = gradient(8192, 1);
    variants.push_back({wide, bmp_encode_24(wide)});
    for (const auto &[picture, file] : variants) expect_same_pixels(picture, file);
}

// Every bad file stops with a message naming the texture; none is read past its end.
TEST(BmpDecode, BadFilesAreRefusedNamingTheTexture) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::vector<uint8_t> rgb = bmp_encode_24(gradient(4, 4));
    const std::vector<uint8_t> indexed = bmp_encode_8(gradient(4, 4, true));
    struct Case {
        std::vector<uint8_t> bytes;
        std::string message;
    };
    std::vector<Case> cases;
    auto patched = [&](const std::vector<uint8_t> &base, size_t at, uint32_t value, int width, const std::string &m) {
        std::vector<uint8_t> bytes = base;
        put_le(bytes, at, value, width);
        cases.push_back({bytes, m});
    };
    patched(rgb, 28, 16, 2, "has 16bpp, must be 8 or 24!");
    patched(rgb, 28, 32, 2, "has 32bpp, must be 8 or 24!");
    patched(indexed, 30, 1, 4, "has compression!");
    patched(indexed, 46, 257, 4, "has a palette of 257 colours, must be at most 256!");
    // A pixel just past the palette of 12 colours.
    patched(indexed, size_t(indexed[10] | indexed[11] << 8) + 2, 12, 1, "has palette index 12 beyond its 12 colours!");
    patched(rgb, 14, 12, 4, "has an info header of 12 bytes, must be at least 40!");
    patched(rgb, 10, 20, 4, "has its pixel data at 20, inside its headers!");
    const struct {
        int32_t w, h;
    } sizes[] = {{0, 4}, {4, 0}, {-4, 4}, {8193, 4}, {4, -8193}, {0x7fffffff, 0x7fffffff}, {65536, 65536}, {4, INT32_MIN}};
    for (auto size : sizes) {
        std::vector<uint8_t> bad = rgb;
        put_le(bad, 18, uint32_t(size.w));
        put_le(bad, 22, uint32_t(size.h));
        cases.push_back({bad, "has a size of .*each side must be 1 to 8192!"});
    }
    // Cut inside the file header, the info header, the palette, and the pixels.
    const std::vector<uint8_t> longer = bmp_encode_8(gradient(6, 5, true));
    for (size_t keep : {size_t(0), size_t(9), size_t(20), size_t(53), size_t(60), longer.size() - 3})
        cases.push_back({std::vector<uint8_t>(longer.begin(), longer.begin() + long(keep)),
                         "is truncated \\(needs [0-9]+ bytes, has " + std::to_string(keep) + "\\)"});
    for (const Case &c : cases)
        EXPECT_EXIT(DecodedBmp(c.bytes, "bad.bmp"), ::testing::ExitedWithCode(1), "^texture bad\\.bmp " + c.message)
            << c.message;
}

// A texel is set (opaque red) only where its first byte is 255; rows come back bottom-up.
TEST(FontDecode, OnlyAFirstByteOf255SetsATexel) {
    uint8_t glyph[FONT_GLYPH_BYTES] = {}, rgba[256];
    glyph[(1 * 8 + 7) * 3] = 255;      // row 1, column 7: texel 6 * 8 + 7 from the bottom
    glyph[(7 * 8 + 3) * 3] = 254;      // not set
    glyph[(7 * 8 + 4) * 3 + 1] = 255;  // not set: only the first byte counts
    memset(rgba, 0x55, sizeof rgba);
    font_decode_glyph(glyph, rgba);
    const uint8_t red[4] = {255, 0, 0, 255}, clear[4] = {0, 0, 0, 0};
    for (int i = 0; i < 64; ++i) EXPECT_EQ(memcmp(rgba + i * 4, i == 6 * 8 + 7 ? red : clear, 4), 0) << i;
}

TEST(BmpWriter, EightBitRefusesMoreThan256Colours) {
    Picture p(257, 1);
    for (int x = 0; x < 257; ++x) p.at(x, 0)[0] = uint8_t(x), p.at(x, 0)[1] = uint8_t(x >> 8);
    EXPECT_TRUE(bmp_encode_8(p).empty());
    p.at(256, 0)[1] = 0;  // now a repeat of colour 0: 256 colours fit
    EXPECT_FALSE(bmp_encode_8(p).empty());
}
