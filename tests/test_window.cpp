// test_window.cpp: the real window, pixel format, message queue and loading text, headless.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <regex>
#include <string>

#include "demo/graphics.h"
#include "app/messages.h"
#include "app/settings.h"
#include "demo/driver.h"
#include "render/clock.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "platform/system_clock.h"
#include "platform/text_surface.h"
#include "platform/window.h"
#include "scene/model.h"
#include "support/gl_context.h"
#include "support/startup_data.h"
#include "texture/texture.h"
#include "support/scratch_dir.h"

TEST(SoftwareRenderer, MesaSoftwareRasterizersAreNamed) {
    for (const char *name : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Mesa DRI swrast"})
        EXPECT_TRUE(is_software_renderer(name)) << name;
    EXPECT_FALSE(is_software_renderer("Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6)"));
    EXPECT_FALSE(is_software_renderer(nullptr));
}

// One window for the whole suite, as the program has: created windowed, headless.
class Window : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        full_screen = false;
        statistics = true;
        colour_depth = 32;
        dir = new ScratchDir;
        ASSERT_TRUE(write_startup_data(dir->path));
        ASSERT_NE(CreateOpenGLWindow("Kelp by Brixlon", 0, 0, 803, 605), nullptr);
        show_window();
        text_select_font("Arial", FONT_HEIGHT);
    }
    static void TearDownTestSuite() {
        text_release();
        destroy_opengl_window();
        SDL_Quit();
        delete dir;
    }
    static ScratchDir *dir;
    void SetUp() override {
        quit_flag = false;
        WindowMessage m;
        while (peek_window_message(m)) {}
    }
};

ScratchDir *Window::dir = nullptr;

TEST_F(Window, PixelFormatLineAndFirstSizeRounded) {
    EXPECT_TRUE(is_headless());
    ASSERT_NE(get_window(), nullptr);
    // software renderer: the question was answered Yes (headless) and the run goes on
    std::string line = window_pixel_format();
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, std::regex("(software\n)?803x605x(\\d+) depth:(\\d+) stencil:(\\d+)")))
        << line;
    EXPECT_GE(std::stoi(m[2]), 16);
    EXPECT_GE(std::stoi(m[3]), 8);  // the stencil search stops at the first size offered
    EXPECT_EQ(m[1].matched, is_software_renderer((const char *)glGetString(GL_RENDERER)));
    int w = 0, h = 0;
    SDL_GetWindowSize(get_window(), &w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(803, 605));
    // the first size message clears the low three bits
    EXPECT_EQ(std::make_pair(get_screen_width(), get_screen_height()), std::make_pair(800, 600));
}

TEST_F(Window, InitGraphicsLoadsTheSharedSetAndLogsGlStrings) {
    init_graphics();
    // 7 lights, 10 flares and 96 glyphs with empty registry names, then the three skins
    EXPECT_EQ((std::vector<int>{texture_count, texture_name_count, light_texture_base, flare_texture_base, font_base}),
              (std::vector<int>{116, 116, 0, 7, 17}));
    EXPECT_EQ(texture_names[16][0] | texture_names[112][0], '\0');
    EXPECT_STREQ(texture_names[113], "messiah.bmp");
    EXPECT_EQ(texture_find("WOLFGUY.BMP", true), 115);
    EXPECT_TRUE(glIsTexture(16));
    // the three characters, the father's skin squeezed to 0.8
    ASSERT_EQ(model_count, 3);
    EXPECT_EQ(find_model("wolfguy.mdl"), 2);
    EXPECT_FLOAT_EQ(model_table[find_model("messiah.mdl")].vertices[0].u, 0.5f);
    EXPECT_FLOAT_EQ(model_table[find_model("father.mdl")].vertices[0].u, 0.4f);
    EXPECT_FLOAT_EQ(model_table[find_model("wolfguy.mdl")].vertices[0].u, 0.5f);
    std::string log = read_text("VKB_Kelp.log");
    std::string expected = std::string((const char *)glGetString(GL_RENDERER)) + " from " +
                           (const char *)glGetString(GL_VENDOR) + " ver " +
                           (const char *)glGetString(GL_VERSION) + "\n" +
                           (const char *)glGetString(GL_EXTENSIONS) + "\n";
    EXPECT_NE(log.find(expected), std::string::npos);  // the whole extension list, uncut
    GLint func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    EXPECT_EQ(func, GL_LEQUAL);  // the fixed start-up state
    EXPECT_EQ(frame_counter, 0u);
    release_and_restore();  // frees the model table and the working arrays, switches no display
    EXPECT_EQ(model_table, nullptr);
    EXPECT_NE(get_window(), nullptr);
    EXPECT_FALSE(full_screen);
}

TEST_F(Window, ResizeMessageRoundsTheScreenSize) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    event.window.windowID = SDL_GetWindowID(get_window());
    event.window.data1 = 1031;
    event.window.data2 = 777;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    WindowMessage m{};
    ASSERT_TRUE(peek_window_message(m));
    EXPECT_EQ((std::vector<int>{m.kind, m.width, m.height}), (std::vector<int>{MSG_SIZE, 1031, 777}));
    EXPECT_EQ(std::make_pair(get_screen_width(), get_screen_height()), std::make_pair(1024, 776));
    apply_client_size(803, 605);
    EXPECT_EQ(std::make_pair(get_screen_width(), get_screen_height()), std::make_pair(800, 600));
    EXPECT_FALSE(peek_window_message(m));
}

// Keys (the keypad's Enter as Return) and the close reach the queue; mouse motion does not.
TEST_F(Window, KeysAndCloseReachTheQueue) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    for (SDL_Keycode sym : {SDLK_ESCAPE, SDLK_KP_ENTER, SDLK_a}) event.key.keysym.sym = sym, SDL_PushEvent(&event);
    for (Uint32 type : {Uint32(SDL_MOUSEMOTION), Uint32(SDL_QUIT)}) event.type = type, SDL_PushEvent(&event);
    WindowMessage m{};
    for (int key : {int(KEY_ESCAPE), int(KEY_RETURN), int(SDLK_a)}) {
        ASSERT_TRUE(peek_window_message(m)) << key;
        EXPECT_EQ(m.kind, MSG_KEYDOWN);
        EXPECT_EQ(m.key, key);
    }
    EXPECT_FALSE(quit_flag);  // Escape is the driver's to act on
    ASSERT_TRUE(peek_window_message(m));
    EXPECT_EQ(m.kind, MSG_CLOSE);
    EXPECT_FALSE(peek_window_message(m));
}

TEST_F(Window, LoadingTextIsPresentedThroughOpenGL) {
    set_fixed_gl_state();
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);  // blue, to see the image cover it
    glClear(GL_COLOR_BUFFER_BIT);
    screen_print("WWWWWWWWWWWWWWWWWWWWWWWW", false);
    // The offscreen surface keeps what was swapped; read it back.
    int w = 0, h = 0;
    SDL_GetWindowSize(get_window(), &w, &h);
    std::vector<uint8_t> pixels(size_t(w) * h * 4);
    gl_read_pixels(0, 0, w, h, pixels.data());
    auto at = [&](int x, int y_from_top) {
        const uint8_t *p = &pixels[(size_t(h - 1 - y_from_top) * w + x) * 4];
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    };
    int white_in_line = 0;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 200; x++)
            if (at(x, y) == text_image_pixel(x, y) && at(x, y) == 0xffffff) white_in_line++;
    EXPECT_GT(white_in_line, 50);
    EXPECT_EQ(at(w - 1, h - 1), 0x000000u);  // black background, not the blue clear
    // the GL state is left as it was
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}
