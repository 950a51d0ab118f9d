// test_gl_state.cpp: the fixed start-up OpenGL state, read back from a real offscreen context.
#include <GL/gl.h>

#include "support/gl_context.h"

using GlState = GlContextTest;

static float get_float(GLenum name) {
    GLfloat v = 0;
    glGetFloatv(name, &v);
    return v;
}

static GLint get_int(GLenum name) {
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
}

TEST_F(GlState, StartUpStateReadsBack) {
    EXPECT_EQ(get_int(GL_DRAW_BUFFER), GL_BACK);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(get_int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(get_int(GL_ALPHA_TEST_FUNC), GL_GEQUAL);
    EXPECT_FLOAT_EQ(get_float(GL_ALPHA_TEST_REF), 0.05f);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));  // set up but never switched on
    EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_FLOAT_EQ(get_float(GL_POINT_SIZE), 3.0f);
    EXPECT_FLOAT_EQ(get_float(GL_LINE_WIDTH), 2.0f);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(get_int(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
    EXPECT_EQ(get_int(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlState, ContextHasDepthAndStencilAndDraws) {
    EXPECT_GE(get_int(GL_DEPTH_BITS), 16);
    EXPECT_GE(get_int(GL_STENCIL_BITS), 8);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(gl_read_pixel(10, 10) & 0xffffff00u, 0xff000000u);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(0, -1);
    glVertex2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    glFinish();
    EXPECT_EQ(gl_read_pixel(10, 10) & 0xffffff00u, 0x00ff0000u);   // left half green
    EXPECT_EQ(gl_read_pixel(600, 10) & 0xffffff00u, 0xff000000u);  // right half still red
}
