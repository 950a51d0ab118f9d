// test_screenshot.cpp: numbered TGA screenshots read from a real offscreen OpenGL context.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
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

bool exists(const char *name) { return access(name, F_OK) == 0; }

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

TEST_F(GlScreenshot, FileHoldsTheHeaderAndTheBackBufferBottomRowFirst) {
    set_screen_size(64, 48);
    draw_frame(64, 48, 5, 2);
    find_next_screenshot_number();
    save_screenshot();
    std::vector<uint8_t> file = read_all("shot0000.tga");
    ASSERT_EQ(file.size(), size_t(18 + 64 * 48 * 3));
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 64, 0, 48, 0, 24, 0};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(file[i], header[i]) << "header byte " << i;
    const uint8_t *orange = &file[18 + (2 * 64 + 5) * 3];
    EXPECT_EQ(orange[0], 0);    // blue
    EXPECT_EQ(orange[1], 128);  // green
    EXPECT_EQ(orange[2], 255);  // red
    const uint8_t *background = &file[18 + (47 * 64 + 63) * 3];
    EXPECT_EQ(background[0], 64);
    EXPECT_EQ(background[1], 0);
    EXPECT_EQ(background[2], 0);
}

TEST_F(GlScreenshot, WidthsThatAreNotAMultipleOfFourArePackedTightly) {
    set_screen_size(30, 20);
    draw_frame(30, 20, 29, 19);
    find_next_screenshot_number();
    save_screenshot();
    std::vector<uint8_t> file = read_all("shot0000.tga");
    ASSERT_EQ(file.size(), size_t(18 + 30 * 20 * 3));
    EXPECT_EQ(file[12], 30);
    EXPECT_EQ(file[14], 20);
    const uint8_t *last = &file[file.size() - 3];
    EXPECT_EQ(last[2], 255);
    EXPECT_EQ(last[1], 128);
    const uint8_t *before = &file[file.size() - 6];
    EXPECT_EQ(before[0], 64);
}

TEST_F(GlScreenshot, NumberingContinuesAfterTheShotsOfEarlierRuns) {
    touch("shot0000.tga", "old0");
    touch("shot0001.tga", "old1");
    EXPECT_EQ(find_next_screenshot_number(), 2);
    set_screen_size(16, 16);
    draw_frame(16, 16, 0, 0);
    save_screenshot();
    EXPECT_TRUE(exists("shot0002.tga"));
    EXPECT_EQ(read_all("shot0000.tga").size(), 4u);
    EXPECT_EQ(read_all("shot0001.tga").size(), 4u);
    EXPECT_EQ(next_screenshot_number, 3);
}

TEST_F(GlScreenshot, ACaptureSkipsAFileThatIsAlreadyThere) {
    touch("shot0001.tga", "keep");
    EXPECT_EQ(find_next_screenshot_number(), 0);
    set_screen_size(16, 16);
    draw_frame(16, 16, 0, 0);
    save_screenshot();
    EXPECT_EQ(read_all("shot0000.tga").size(), size_t(18 + 16 * 16 * 3));
    save_screenshot();
    std::vector<uint8_t> kept = read_all("shot0001.tga");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep");
    EXPECT_EQ(read_all("shot0002.tga").size(), size_t(18 + 16 * 16 * 3));
    // A file that appears during the run is not replaced either.
    touch("shot0003.tga", "late");
    save_screenshot();
    EXPECT_EQ(read_all("shot0003.tga").size(), 4u);
    EXPECT_TRUE(exists("shot0004.tga"));
}

TEST(TgaHeader, SizesAreLittleEndianSixteenBit) {
    uint8_t header[TGA_HEADER_SIZE];
    tga_header(header, 800, 600);
    EXPECT_EQ(header[12], 0x20);
    EXPECT_EQ(header[13], 0x03);
    EXPECT_EQ(header[14], 0x58);
    EXPECT_EQ(header[15], 0x02);
    EXPECT_EQ(header[16], 24);
}

}  // namespace
