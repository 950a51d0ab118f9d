// test_face_batching.cpp: the face passes gather faces that share their OpenGL state and draw
// the additive passes of opaque faces after the opaque pass. Whatever they batch, the picture
// and the depth buffer must be exactly those of drawing every face on its own, in pass order,
// with the start-up state restored after each.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/render.h"
#include "scene/random.h"
#include "support/gl_context.h"

namespace {

enum { WIDTH = 128, HEIGHT = 96, FACES = 60, BASE_TEXTURE = 11, SECOND_TEXTURE = 12 };

// A 4 x 4 checker of two colours.
void upload_checker(GLuint name, const uint8_t a[3], const uint8_t b[3]) {
    uint8_t pixels[16 * 4];
    for (int i = 0; i < 16; i++) {
        const uint8_t *c = ((i + i / 4) % 2) ? a : b;
        pixels[4 * i] = c[0], pixels[4 * i + 1] = c[1], pixels[4 * i + 2] = c[2], pixels[4 * i + 3] = 255;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

float random_unit() { return float(random_next() % 2001) / 1000.0f - 1.0f; }

// The colours (alpha left out: nothing reads it) and the depths of the whole picture.
std::vector<uint32_t> read_picture() {
    std::vector<uint32_t> p(2 * WIDTH * HEIGHT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    for (int i = 0; i < WIDTH * HEIGHT; i++) p[size_t(i)] &= 0x00ffffffu;  // bytes r, g, b, a
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, p.data() + WIDTH * HEIGHT);
    return p;
}

class FaceBatching : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl_context_open(WIDTH, HEIGHT));
        allocate_working_arrays();
        const uint8_t grey[3] = {90, 90, 90}, white[3] = {250, 240, 230}, blue[3] = {20, 40, 200}, red[3] = {180, 30, 10};
        upload_checker(BASE_TEXTURE, grey, white);
        upload_checker(SECOND_TEXTURE, blue, red);
    }
    void TearDown() override {
        free_working_arrays();
        gl_context_close();
    }

    // Overlapping two-sided triangles at uneven depths, with every kind of face: textured or
    // plain, with and without a second texture, opaque, see-through, added and darkening,
    // lit and black. The fresh context's matrices are the identity: eye space is clip space.
    void build(int flags) {
        random_reset();
        for (int i = 0; i < FACES * 3; i++) {
            Vertex &v = working_vertices[i];
            memset(&v, 0, sizeof v);
            for (int k = 0; k < 3; k++) v.position[k] = 0.9f * random_unit();
            bool black = (i / 3) % 4 == 1;
            for (int k = 0; k < 3; k++) v.light[k] = black ? -0.5f * (random_unit() + 1.0f) : 0.6f * random_unit();
            v.u = random_unit(), v.v = random_unit();
            v.second_u = random_unit(), v.second_v = random_unit();
            v.shade = 0.2f * random_unit();
        }
        for (int f = 0; f < FACES; f++) {
            Face &face = faces[f];
            memset(&face, 0, sizeof face);
            face.a = 3 * f, face.b = 3 * f + 1, face.c = 3 * f + 2;
            face.texture = f % 3 == 2 ? -1 : BASE_TEXTURE;
            face.second_pass = f % 3 == 0;
            face.second_texture = SECOND_TEXTURE;
            face.light_blend = f % 5 != 4;
            face.alpha = f % 6 == 5 ? 0.5f : 1.0f;
            face.blend_mode = f % 7 == 3 ? 1 : f % 11 == 8 ? 2 : 0;
            face.two_sided = 1;
            face.color[0] = 0.8f, face.color[1] = 0.5f, face.color[2] = 0.3f;
        }
        memset(&mesh, 0, sizeof mesh);
        mesh.faces = faces;
        mesh.face_count = FACES;
        mesh.vertex_count = FACES * 3;
        memset(&scene, 0, sizeof scene);
        scene.meshes = &mesh;
        scene.mesh_count = 1;
        scene.vertex_count = FACES * 3;
        scene.flags = flags;
    }

    // Every face on its own, opaque ones first: draw_face for the face, then its separate
    // highlight drawn here, every one of them, the light added untextured over the face.
    void draw_one_by_one(float glow_alpha) {
        for (int pass = 0; pass < 2; pass++)
            for (int f = 0; f < FACES; f++) {
                const Face &face = faces[f];
                bool opaque = face.blend_mode == 0 && face.alpha == 1.0f;
                if (opaque != (pass == 0)) continue;
                int mode = face.blend_mode | scene.flags;
                bool separate = face.light_blend && (mode & DRAW_SEPARATE_HIGHLIGHT);
                float alpha = face.alpha * glow_alpha;
                draw_face(face.a, face.b, face.c, mode, face.texture, face.second_texture, face.second_pass,
                          separate ? 0 : face.light_blend, alpha, face.color[0], face.color[1], face.color[2]);
                if (separate && alpha != 0.0f) draw_highlight(face);
            }
    }

    static void draw_highlight(const Face &face) {
        glBlendFunc(GL_ONE, GL_ONE);
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_TRIANGLES);
        for (int corner : {face.a, face.b, face.c}) {
            glColor3fv(working_vertices[corner].light);
            glVertex3fv(working_vertices[corner].position);
        }
        glEnd();
        glEnable(GL_TEXTURE_2D);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        face_counter++;
    }

    static void clear() {
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    Face faces[FACES];
    Mesh mesh;
    Scene scene;
};

TEST_F(FaceBatching, PassesDrawWhatFacesDrawnOneByOneDraw) {
    const struct {
        const char *what;
        int flags;
        float glow_alpha;
    } cases[] = {
        {"separate highlight", DRAW_SEPARATE_HIGHLIGHT, 1.0f},
        {"separate highlight, fading", DRAW_SEPARATE_HIGHLIGHT, 0.6f},
        {"highlight through the texture environment", 0, 1.0f},
        {"separate highlight with fog", DRAW_SEPARATE_HIGHLIGHT | DRAW_FOG, 1.0f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        build(c.flags);
        if (c.flags & DRAW_FOG) {
            glEnable(GL_FOG);
            glFogf(GL_FOG_MODE, GL_EXP2);
            glFogf(GL_FOG_DENSITY, 0.8f);
            const float fog[4] = {0.3f, 0.1f, 0.1f, 1.0f};
            glFogfv(GL_FOG_COLOR, fog);
        }
        clear();
        face_counter = 0;
        draw_one_by_one(c.glow_alpha);
        int one_by_one_faces = face_counter;
        std::vector<uint32_t> expected = read_picture();

        clear();
        face_counter = 0;
        draw_face_passes(scene, c.glow_alpha);
        std::vector<uint32_t> batched = read_picture();
        glDisable(GL_FOG);

        EXPECT_GT(one_by_one_faces, FACES);
        EXPECT_EQ(face_counter, one_by_one_faces);
        EXPECT_TRUE(expected == batched);
        expect_start_up_state();
    }
}

}  // namespace
