// test_screenshot.cpp: numbered TGA screenshots read from a real offscreen OpenGL context.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "app/settings.h"
#include "demo/screenshot.h"
#include "support/scratch_dir.h"

namespace {

void touch(const char *name, const char *content) {
    FILE *file = fopen(name, "wb");
    ASSERT_NE(file, nullptr);
    fputs(content, file);
    fclose(file);
}

std::vector<uint8_t> read_all(const char *name) {
    std::vector<uint8_t> bytes;
    FILE *file = fopen(name, "rb");
    if (!file) return bytes;
    int c;
    while ((c = fgetc(file)) != EOF) bytes.push_back(uint8_t(c));
    fclose(file);
    return bytes;
}

// One hidden window with a GL context for the whole program.
class GlScreenshot : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window = SDL_CreateWindow("test", 0, 0, 128, 128, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        context = SDL_GL_CreateContext(window);
        ASSERT_NE(context, nullptr) << SDL_GetError();
    }
    static void TearDownTestSuite() {
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        SDL_Quit();
    }
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
    static SDL_Window *window;
    static SDL_GLContext context;
    ScratchDir scratch;
};
SDL_Window *GlScreenshot::window = nullptr;
SDL_GLContext GlScreenshot::context = nullptr;

// The header, then the back buffer bottom row first as BGR, packed tightly for widths that
// are not a multiple of four.
TEST_F(GlScreenshot, FileHoldsTheHeaderAndTheBackBufferBottomRowFirst) {
    const struct {
        int width, height, x, y;
    } cases[] = {{64, 48, 5, 2}, {30, 20, 29, 19}};
    for (const auto &c : cases) {
        set_screen_size(c.width, c.height);
        draw_frame(c.width, c.height, c.x, c.y);
        find_next_screenshot_number();
        save_screenshot();
        std::vector<uint8_t> file = read_all("shot0000.tga");
        ASSERT_EQ(file.size(), size_t(18 + c.width * c.height * 3));
        const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(c.width), uint8_t(c.width >> 8),
                                    uint8_t(c.height), uint8_t(c.height >> 8), 24, 0};
        for (int i = 0; i < 18; ++i) EXPECT_EQ(file[i], header[i]) << "header byte " << i;
        const uint8_t *orange = &file[18 + size_t(c.y * c.width + c.x) * 3];
        EXPECT_EQ(orange[0], 0);    // blue
        EXPECT_EQ(orange[1], 128);  // green
        EXPECT_EQ(orange[2], 255);  // red
        const uint8_t *background = &file[18 + size_t((c.height - 1 - c.y) * c.width + (c.width - 1 - c.x)) * 3];
        EXPECT_EQ(background[0], 64);
        EXPECT_EQ(background[1], 0);
        EXPECT_EQ(background[2], 0);
        remove("shot0000.tga");
    }
    uint8_t header[TGA_HEADER_SIZE];
    tga_header(header, 800, 600);  // sizes are little-endian 16-bit
    EXPECT_EQ(header[12] | header[13] << 8, 800);
    EXPECT_EQ(header[14] | header[15] << 8, 600);
}

// Numbering goes on after the shots of earlier runs and skips a file that is already there,
// even one that appears during the run.
TEST_F(GlScreenshot, NumberingNeverReplacesAFile) {
    touch("shot0000.tga", "old0");
    touch("shot0002.tga", "keep");
    EXPECT_EQ(find_next_screenshot_number(), 1);
    set_screen_size(16, 16);
    draw_frame(16, 16, 0, 0);
    save_screenshot();
    save_screenshot();
    touch("shot0004.tga", "late");
    save_screenshot();
    for (const char *name : {"shot0000.tga", "shot0002.tga", "shot0004.tga"}) EXPECT_EQ(read_all(name).size(), 4u) << name;
    for (const char *name : {"shot0001.tga", "shot0003.tga", "shot0005.tga"})
        EXPECT_EQ(read_all(name).size(), size_t(18 + 16 * 16 * 3)) << name;
    EXPECT_EQ(next_screenshot_number, 6);
}

}  // namespace
