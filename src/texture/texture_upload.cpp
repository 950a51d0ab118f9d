// texture_upload.cpp: hands a converted image to OpenGL under its own index.
#include <GL/gl.h>

#include "texture/texture.h"

// Bind under the record's index, set wrap/filter/environment, upload level 0 as RGBA.
void texture_upload(const TextureRecord &record, bool repeat) {
    glBindTexture(GL_TEXTURE_2D, record.gl_name);
    GLint wrap = repeat ? GL_REPEAT : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, record.width, record.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 record.pixels);
}
