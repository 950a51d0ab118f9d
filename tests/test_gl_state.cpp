// test_gl_state.cpp: the fixed start-up OpenGL state, read back from a real offscreen context.
#include <GL/gl.h>

#include "support/gl_context.h"

using GlState = GlContextTest;

TEST_F(GlState, StartUpStateReadsBack) {
    expect_start_up_state();  // what every drawing step leaves behind, and more below
    for (GLenum on : {GL_DEPTH_TEST, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH, GL_BLEND, GL_COLOR_MATERIAL})
        EXPECT_TRUE(glIsEnabled(on)) << on;
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));  // set up but never switched on
    const GLenum values[][2] = {
        {GL_DRAW_BUFFER, GL_BACK}, {GL_SHADE_MODEL, GL_SMOOTH}, {GL_ALPHA_TEST_FUNC, GL_GEQUAL},
        {GL_COLOR_MATERIAL_FACE, GL_FRONT_AND_BACK}, {GL_COLOR_MATERIAL_PARAMETER, GL_AMBIENT_AND_DIFFUSE},
    };
    for (const auto &v : values) {
        GLint got = 0;
        glGetIntegerv(v[0], &got);
        EXPECT_EQ(GLenum(got), v[1]) << v[0];
    }
    const float sizes[][2] = {{GL_ALPHA_TEST_REF, 0.05f}, {GL_POINT_SIZE, 3.0f}, {GL_LINE_WIDTH, 2.0f}};
    for (const auto &v : sizes) {
        GLfloat got = 0;
        glGetFloatv(GLenum(v[0]), &got);
        EXPECT_FLOAT_EQ(got, v[1]) << v[0];
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
