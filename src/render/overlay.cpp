// overlay.cpp: the full-screen fade, bitmap text on a character grid and the statistics block.
#include "render/overlay.h"

#include <GL/gl.h>

#include <cstdio>

#include "app/messages.h"
#include "app/settings.h"
#include "texture/texture.h"
#include "render/clock.h"
#include "render/render.h"

void draw_screen_quad(float red, float green, float blue, float alpha, float u0, float v0, float u1, float v1) {
    const float corners[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    const float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    glBegin(GL_POLYGON);
    for (int k = 0; k < 4; k++) {
        glColor4f(red, green, blue, alpha);
        glTexCoord2f(uv[k][0], uv[k][1]);
        glVertex2f(corners[k][0], corners[k][1]);
    }
    glEnd();
}

// Add white (value > 0) or darken (value < 0) by |value|, at most 1.
void draw_fade(float value) {
    if (value == 0.0f) return;
    float k = value < 0.0f ? -value : value;
    if (k > 1.0f) k = 1.0f;
    glDepthFunc(GL_ALWAYS);
    glDisable(GL_TEXTURE_2D);
    if (value > 0.0f)
        glBlendFunc(GL_ONE, GL_ONE);
    else
        glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    draw_screen_quad(k, k, k, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LEQUAL);
}

// One glyph quad per character until the end of the text or of the line.
void draw_text(int font_base, const char *text, int column, int row, int columns, int rows) {
    glDepthFunc(GL_ALWAYS);
    int half_columns = columns / 2, half_rows = rows / 2;
    if (half_columns > 0 && half_rows > 0) {
        float y0 = float((rows - 1) - row) / float(half_rows) - 1.0f;
        float y1 = float(rows - row) / float(half_rows) - 1.0f;
        for (int i = 0; text[i] != 0 && text[i] != '\r' && text[i] != '\n'; i++) {
            int code = int(static_cast<signed char>(text[i]));
            // Only characters 32..127 have a glyph; others leave their cell empty.
            if (code < 32 || code > 127) continue;
            float x0 = float(column + i) / float(half_columns) - 1.0f;
            float x1 = float(column + i + 1) / float(half_columns) - 1.0f;
            glBindTexture(GL_TEXTURE_2D, GLuint(font_base - 32 + code));
            glBegin(GL_POLYGON);
            glColor3f(1.0f, 1.0f, 1.0f);
            glTexCoord2f(0.0f, 0.0f);
            glVertex2f(x0, y0);
            glColor3f(1.0f, 1.0f, 1.0f);
            glTexCoord2f(0.95f, 0.0f);
            glVertex2f(x1, y0);
            glColor3f(1.0f, 1.0f, 1.0f);
            glTexCoord2f(0.95f, 0.95f);
            glVertex2f(x1, y1);
            glColor3f(1.0f, 1.0f, 1.0f);
            glTexCoord2f(0.0f, 0.95f);
            glVertex2f(x0, y1);
            glEnd();
        }
    }
    glDepthFunc(GL_LEQUAL);
}

// Frame rate, average, times, face count, scene size and the camera of the frame.
void draw_statistics(const Scene &scene, const Camera &camera) {
    char *buffer = scratch_buffer;
    snprintf(buffer, SCRATCH_SIZE, "fps:  %.4g (%dms)\n", 1.0 / frame_time,
             int(frame_time * 1000.0f));
    draw_text(font_base, buffer, 0, 0, 80, 32);
    double elapsed = double(clock_milliseconds()) / 1000.0;
    snprintf(buffer, SCRATCH_SIZE, "average: %.4g", double(frame_counter) / elapsed);
    draw_text(font_base, buffer, 0, 1, 80, 32);
    snprintf(buffer, SCRATCH_SIZE, "time: %.4gs (total: %.4gs)\n", part_time, clock_seconds());
    draw_text(font_base, buffer, 0, 3, 80, 32);
    snprintf(buffer, SCRATCH_SIZE, "faces:%d\n", face_counter);
    draw_text(font_base, buffer, 0, 4, 80, 32);
    snprintf(buffer, SCRATCH_SIZE, "meshes:%d verts:%d\n", scene.mesh_count, scene.vertex_count);
    draw_text(font_base, buffer, 0, 5, 80, 32);
    snprintf(buffer, SCRATCH_SIZE, "(%.2f %.2f %.2f)->(%.2f %.2f %.2f) fov %.2f zmax %.2f",
             camera.position[0], camera.position[1], camera.position[2], camera.direction[0],
             camera.direction[1], camera.direction[2], camera.fov, camera.zmax);
    draw_text(font_base, buffer, 0, 6, 80, 32);
}
