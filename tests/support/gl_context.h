// gl_context.h: a real offscreen OpenGL compatibility context for tests (EGL, llvmpipe).
#pragma once
#include <cstdint>

#include <gtest/gtest.h>

// Open a hidden width x height window with a double-buffered RGBA context, 24-bit depth and
// 8-bit stencil, make it current, set the screen and render size and the fixed start-up GL
// state (set_fixed_gl_state). Uses SDL_VIDEODRIVER=offscreen unless the caller chose a
// driver. False (with the reason on stderr) when no context can be made.
bool gl_context_open(int width, int height);
// Destroy the context and window (SDL itself stays initialised for the next open).
void gl_context_close();
// Read one pixel of the colour buffer currently bound for reading, as 0xRRGGBBAA.
uint32_t gl_read_pixel(int x, int y);
// Read a width x height block of RGBA bytes, rows bottom-up.
void gl_read_pixels(int x, int y, int width, int height, uint8_t *rgba);
// One integer of OpenGL state.
int gl_get_int(unsigned what);
// Expect the start-up state every drawing step must leave behind: depth test LEQUAL with depth
// writes, blending by source alpha, texturing on and modulated.
void expect_start_up_state();

// Fixture: each test gets a fresh 640x480 context with the start-up state.
class GlContextTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl_context_open(640, 480)); }
    void TearDown() override { gl_context_close(); }
};
