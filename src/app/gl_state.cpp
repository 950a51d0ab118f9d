// gl_state.cpp: the fixed OpenGL state set once at start-up.
#include <GL/gl.h>

#include "app/graphics.h"

// Depth test LEQUAL, alpha blending, 2D texturing, smooth shading and colour material.
void set_fixed_gl_state() {
    glDrawBuffer(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GEQUAL, 0.05f);
    glDepthFunc(GL_LEQUAL);
    glPointSize(3.0f);
    glLineWidth(2.0f);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
}
