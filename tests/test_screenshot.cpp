// test_screenshot.cpp: numbered TGA screenshots read from a real offscreen OpenGL context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "app/settings.h"
#include "demo/screenshot.h"
#include "support/gl_context.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"

namespace {

// A fresh offscreen context for each test, working in its own directory.
class GlScreenshot : public GlContextTest {
protected:
    // A dark blue frame with one orange pixel at (x, y) counted from the lower left.
    static void draw_frame(int width, int height, int x, int y) {
        glViewport(0, 0, width, height);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 0.0f, 64 / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, y, 1, 1);
        glClearColor(1.0f, 128 / 255.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glFinish();
    }
    ScratchDir scratch;
};

// The header (sizes little-endian), then the back buffer bottom row first as BGR, packed
// tightly for widths that are not a multiple of four.
TEST_F(GlScreenshot, FileHoldsTheHeaderAndTheBackBufferBottomRowFirst) {
    const struct {
        int width, height, x, y;
    } cases[] = {{64, 48, 5, 2}, {302, 260, 301, 259}};
    for (const auto &c : cases) {
        set_screen_size(c.width, c.height);
        draw_frame(c.width, c.height, c.x, c.y);
        find_next_screenshot_number();
        save_screenshot();
        std::vector<uint8_t> file = read_bytes("shot0000.tga");
        ASSERT_EQ(file.size(), size_t(18 + c.width * c.height * 3));
        const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(c.width), uint8_t(c.width >> 8),
                                    uint8_t(c.height), uint8_t(c.height >> 8), 24, 0};
        for (int i = 0; i < 18; ++i) EXPECT_EQ(file[i], header[i]) << "header byte " << i;
        auto bgr_at = [&](int x, int y) {
            const uint8_t *p = &file[18 + size_t(y * c.width + x) * 3];
            return std::vector<int>{p[0], p[1], p[2]};
        };
        EXPECT_EQ(bgr_at(c.x, c.y), (std::vector<int>{0, 128, 255}));  // orange
        EXPECT_EQ(bgr_at(c.width - 1 - c.x, c.height - 1 - c.y), (std::vector<int>{64, 0, 0}));
        remove("shot0000.tga");
    }
}

// Numbering goes on after the shots of earlier runs and skips a file that is already there,
// even one that appears during the run.
TEST_F(GlScreenshot, NumberingNeverReplacesAFile) {
    for (const char *name : {"shot0000.tga", "shot0002.tga"}) ASSERT_TRUE(write_file(name, {'o', 'l', 'd', '0'}));
    EXPECT_EQ(find_next_screenshot_number(), 1);
    set_screen_size(16, 16);
    draw_frame(16, 16, 0, 0);
    save_screenshot();
    save_screenshot();
    ASSERT_TRUE(write_file("shot0004.tga", {'l', 'a', 't', 'e'}));
    save_screenshot();
    for (const char *name : {"shot0000.tga", "shot0002.tga", "shot0004.tga"}) EXPECT_EQ(read_bytes(name).size(), 4u) << name;
    for (const char *name : {"shot0001.tga", "shot0003.tga", "shot0005.tga"})
        EXPECT_EQ(read_bytes(name).size(), size_t(18 + 16 * 16 * 3)) << name;
    EXPECT_EQ(next_screenshot_number, 6);
}

}  // namespace
