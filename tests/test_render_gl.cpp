// test_render_gl.cpp: the renderer's drawing in a real offscreen OpenGL context, checked by
// reading pixels and state back: fades, text cells, every face mode and its face count,
// the face passes, depth probes, glows, flares and ghosts, and whole frames of render_scene.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/settings.h"
#include "texture/texture.h"
#include "render/clock.h"
#include "render/overlay.h"
#include "render/render.h"
#include "render/render_math.h"
#include "support/gl_context.h"

enum { LIGHT_BASE = 1, FLARE_BASE = 8, FONT_BASE = 20, SCENE_TEXTURE = 200 };

// Upload a 4 x 4 texture of one colour under the given name.
static void upload_solid(int name, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    uint8_t pixels[4 * 4 * 4];
    for (int i = 0; i < 16; i++) {
        pixels[i * 4 + 0] = r;
        pixels[i * 4 + 1] = g;
        pixels[i * 4 + 2] = b;
        pixels[i * 4 + 3] = a;
    }
    glBindTexture(GL_TEXTURE_2D, GLuint(name));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

static int red_of(uint32_t p) { return int(p >> 24); }
static int green_of(uint32_t p) { return int((p >> 16) & 255); }
static int blue_of(uint32_t p) { return int((p >> 8) & 255); }

static GLint get_int(GLenum what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

// The state every drawing step must leave behind.
static void expect_start_up_state() {
    EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(get_int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(get_int(GL_DEPTH_WRITEMASK), GL_TRUE);
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
}

class RenderGl : public GlContextTest {
protected:
    void SetUp() override {
        GlContextTest::SetUp();
        allocate_working_arrays();
        light_texture_base = LIGHT_BASE;
        flare_texture_base = FLARE_BASE;
        font_base = FONT_BASE;
        for (int i = 0; i < 7; i++) upload_solid(LIGHT_BASE + i, 255, 255, 255);
        for (int i = 0; i < 10; i++) upload_solid(FLARE_BASE + i, 255, 255, 255);
        for (int i = 0; i < 96; i++) upload_solid(FONT_BASE + i, 255, 255, 255);
        upload_solid(SCENE_TEXTURE, 255, 255, 255);
        face_counter = 0;
    }
    void TearDown() override {
        free_working_arrays();
        GlContextTest::TearDown();
    }
    void clear_to(float r, float g, float b) {
        glClearColor(r, g, b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // Working vertices 0, 1, 2: a triangle around the centre of the view at depth z.
    void set_triangle(float z, float light = 0.0f) {
        const float corners[3][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.0f, 0.5f}};
        for (int i = 0; i < 3; i++) {
            Vertex &v = working_vertices[i];
            std::memset(&v, 0, sizeof v);
            v.position[0] = corners[i][0];
            v.position[1] = corners[i][1];
            v.position[2] = z;
            v.light[0] = v.light[1] = v.light[2] = light;
        }
    }
};

// Fades from grey 0.4: 0 draws nothing, +-1 and beyond are white and black; a negative
// fade scales the picture down, a positive one adds light.
TEST_F(RenderGl, FadesBlendTowardWhiteOrBlack) {
    const struct {
        float fade;
        double red;
    } cases[] = {{0.0f, 0.4}, {-0.0f, 0.4}, {-0.25f, 0.3}, {0.25f, 0.65}, {1.0f, 1.0}, {3.0f, 1.0}, {-1.0f, 0.0},
                 {-3.0f, 0.0}};
    for (const auto &c : cases) {
        clear_to(0.4f, 0.4f, 0.4f);
        if (c.fade != 0) {  // state a drawing fade must put back
            glDepthFunc(GL_GREATER);
            glBlendFunc(GL_ONE, GL_ZERO);
            glDisable(GL_TEXTURE_2D);
        }
        draw_fade(c.fade);
        EXPECT_NEAR(red_of(gl_read_pixel(600, 400)), c.red * 255, 2) << c.fade;
        expect_start_up_state();
    }
}

TEST_F(RenderGl, TextCellsFollowTheGrid) {
    clear_to(0, 0, 0);
    upload_solid(FONT_BASE + ('B' - 32), 255, 0, 0);
    glDepthFunc(GL_GREATER);
    draw_text(FONT_BASE, "AB\nA", 0, 0, 80, 32);
    EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LEQUAL);
    // 80 x 32 cells on 640 x 480: 8 pixels wide, 15 high; the top row spans y 465..480.
    EXPECT_EQ(gl_read_pixel(4, 472) >> 8, 0xFFFFFFu);
    EXPECT_EQ(gl_read_pixel(12, 472) >> 8, 0xFF0000u);
    EXPECT_EQ(gl_read_pixel(20, 472) >> 8, 0u);  // the line feed ends the text
    EXPECT_EQ(gl_read_pixel(4, 462) >> 8, 0u);
    draw_text(FONT_BASE, "A", 3, 2, 80, 32);  // cell x 24..32, y 435..450
    EXPECT_EQ(gl_read_pixel(28, 442) >> 8, 0xFFFFFFu);
    EXPECT_EQ(gl_read_pixel(28, 452) >> 8, 0u);
    EXPECT_EQ(gl_read_pixel(20, 442) >> 8, 0u);
}

TEST_F(RenderGl, EmptyTextPutsTheDepthFunctionBackAndUnknownGlyphsStayEmpty) {
    clear_to(0, 0, 0);
    glDepthFunc(GL_GREATER);
    draw_text(FONT_BASE, "", 0, 0, 80, 32);
    EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LEQUAL);
    draw_text(FONT_BASE, "\x01\x7f", 0, 0, 80, 32);  // no glyph for 1: its cell stays empty
    EXPECT_EQ(gl_read_pixel(4, 472) >> 8, 0u);
    EXPECT_EQ(gl_read_pixel(12, 472) >> 8, 0xFFFFFFu);
}

// Untextured faces by blend mode: colour times (light + 1), added, or darkening the background.
TEST_F(RenderGl, UntexturedFaceModes) {
    const struct {
        const char *what;
        float background, light;
        int mode;
        float alpha, r, g, b;
        int faces;
        double want[3];
    } cases[] = {
        {"alpha 0", 0.0f, 0.0f, 0, 0.0f, 1, 1, 1, 0, {0, 0, 0}},
        {"plain", 0.0f, -0.5f, 0, 1.0f, 1, 0.5f, 0, 1, {0.5, 0.25, 0}},
        {"darkening", 0.8f, 0.0f, 2, 0.5f, 1, 0.5f, 0, 1, {0.4, 0.6, 0.8}},
        {"additive", 0.25f, 0.0f, 1, 0.5f, 1, 0, 0, 1, {0.75, 0.25, 0.25}},
    };
    for (const auto &c : cases) {
        clear_to(c.background, c.background, c.background);
        set_triangle(0.0f, c.light);
        face_counter = 0;
        draw_face(0, 1, 2, c.mode, -1, -1, 0, 0, c.alpha, c.r, c.g, c.b);
        EXPECT_EQ(face_counter, c.faces) << c.what;
        uint32_t p = gl_read_pixel(320, 220);
        EXPECT_NEAR(red_of(p), c.want[0] * 255, 2) << c.what;
        EXPECT_NEAR(green_of(p), c.want[1] * 255, 2) << c.what;
        EXPECT_NEAR(blue_of(p), c.want[2] * 255, 2) << c.what;
        expect_start_up_state();
    }
    GLuint depth = 0;  // the additive face wrote no depth
    glReadPixels(320, 220, 1, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, &depth);
    EXPECT_EQ(depth, 0xFFFFFFFFu);
}

TEST_F(RenderGl, WireframeDrawsEdgesOnlyAndIsNotCounted) {
    clear_to(0, 0, 0);
    set_triangle(0.0f);
    draw_face(0, 1, 2, 4 | 1, -1, -1, 0, 0, 1.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(face_counter, 0);
    EXPECT_EQ(gl_read_pixel(320, 220) >> 8, 0u);
    // The bottom edge runs along ndc y -0.5: pixel row 120.
    uint32_t edge = gl_read_pixel(320, 120) | gl_read_pixel(320, 119) | gl_read_pixel(320, 121);
    EXPECT_GT(green_of(edge), 200);
    expect_start_up_state();
}

TEST_F(RenderGl, SecondPassCountsTwiceAndSeparateHighlightThrice) {
    clear_to(0, 0, 0);
    upload_solid(SCENE_TEXTURE + 1, 0, 0, 255);
    set_triangle(0.0f, 0.5f);
    draw_face(0, 1, 2, 0, SCENE_TEXTURE, SCENE_TEXTURE + 1, 1, 0, 1.0f, 1, 1, 1);
    EXPECT_EQ(face_counter, 2);
    expect_start_up_state();
    face_counter = 0;
    draw_face(0, 1, 2, 16, SCENE_TEXTURE, SCENE_TEXTURE + 1, 1, 1, 1.0f, 1, 1, 1);
    EXPECT_EQ(face_counter, 3);
    expect_start_up_state();
    face_counter = 0;
    draw_face(0, 1, 2, 16, -1, -1, 0, 1, 1.0f, 0.2f, 0.2f, 0.2f);
    EXPECT_EQ(face_counter, 2);
    // 0.2 * 1.5 from the base, then the raw 0.5 light added on top.
    EXPECT_NEAR(red_of(gl_read_pixel(320, 220)), (0.3 + 0.5) * 255, 3);
    expect_start_up_state();
}

TEST_F(RenderGl, TexturedFaceIgnoresColourAndHighlightBlendsThroughTheEnvironment) {
    clear_to(0, 0, 0);
    upload_solid(SCENE_TEXTURE, 128, 128, 128);
    set_triangle(0.0f, 0.0f);
    draw_face(0, 1, 2, 0, SCENE_TEXTURE, -1, 0, 0, 1.0f, 1.0f, 0.0f, 0.0f);
    uint32_t p = gl_read_pixel(320, 220);
    EXPECT_NEAR(red_of(p), 128, 2);
    EXPECT_NEAR(green_of(p), 128, 2);
    // Highlight with no light above 0: black environment, fragment * (1 - texture).
    clear_to(0, 0, 0);
    draw_face(0, 1, 2, 0, SCENE_TEXTURE, -1, 0, 1, 1.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_NEAR(green_of(gl_read_pixel(320, 220)), 127, 2);
    expect_start_up_state();
    // Full highlight: the environment is white, so texture 128 blends toward white.
    set_triangle(0.0f, 3.0f);
    clear_to(0, 0, 0);
    draw_face(0, 1, 2, 0, SCENE_TEXTURE, -1, 0, 1, 1.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_GT(green_of(gl_read_pixel(320, 220)), 250);
    expect_start_up_state();
}

// A scene of one mesh over the first working vertices, built for the pass tests.
struct PassScene {
    Scene scene;
    Camera camera;
    Mesh mesh;
    std::vector<Face> faces;
    std::vector<Vertex> vertices;
    PassScene() {
        init_scene(scene);
        init_camera(camera);
        init_mesh(mesh);
        scene.camera = &camera;
        scene.meshes = &mesh;
        scene.mesh_count = 1;
    }
    // A face over vertices a, b, c of the shared array.
    Face &add_face(int a, int b, int c) {
        Face f;
        init_face(f);
        f.a = a;
        f.b = b;
        f.c = c;
        faces.push_back(f);
        mesh.faces = faces.data();
        mesh.face_count = int(faces.size());
        return faces.back();
    }
};

TEST_F(RenderGl, PassesSkipBackFacesExceptTwoSidedAndBlendModeFour) {
    PassScene s;
    // Front (clockwise on screen) and back (counter-clockwise) triangles in eye space.
    const float front[3][3] = {{-0.1f, -0.1f, -0.5f}, {0.0f, 0.1f, -0.5f}, {0.1f, -0.1f, -0.5f}};
    for (int i = 0; i < 3; i++) {
        std::memcpy(working_vertices[i].position, front[i], sizeof front[i]);
        working_vertices[i].light[0] = working_vertices[i].light[1] = 0.0f;
    }
    s.mesh.vertex_count = 3;
    s.add_face(0, 1, 2);                      // front, opaque: drawn
    s.add_face(0, 2, 1);                      // back, opaque: skipped
    s.add_face(0, 2, 1).two_sided = 1;        // back, two-sided: drawn
    s.add_face(0, 2, 1).blend_mode = 4;       // back, blend mode 4: drawn (wireframe, not counted)
    s.add_face(0, 2, 1).blend_mode = 1;       // back, additive: skipped
    s.add_face(0, 1, 2).alpha = 0.5f;         // front, transparent: drawn
    glMatrixMode(GL_PROJECTION);
    build_projection(90.0f, 640.0f, 480.0f, projection_matrix);
    glLoadMatrixf(projection_matrix);
    clear_to(0, 0, 0);
    face_counter = 0;
    draw_face_passes(s.scene, 1.0f);
    EXPECT_EQ(face_counter, 3);
    face_counter = 0;
    draw_face_passes(s.scene, 0.0f);  // glow_alpha 0 hides every face
    EXPECT_EQ(face_counter, 0);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    expect_start_up_state();
}

TEST_F(RenderGl, OpaqueFacesAreDrawnBeforeTransparentOnesWhateverTheirOrder) {
    PassScene s;
    const float tri[3][2] = {{-0.1f, -0.1f}, {0.0f, 0.1f}, {0.1f, -0.1f}};
    for (int i = 0; i < 6; i++) {
        std::memset(&working_vertices[i], 0, sizeof(Vertex));
        working_vertices[i].position[0] = tri[i % 3][0];
        working_vertices[i].position[1] = tri[i % 3][1];
        working_vertices[i].position[2] = i < 3 ? -0.3f : -0.5f;
    }
    s.mesh.vertex_count = 6;
    Face &glass = s.add_face(0, 1, 2);  // near, half transparent red, listed first
    glass.alpha = 0.5f;
    glass.color[1] = glass.color[2] = 0.0f;
    Face &wall = s.add_face(3, 4, 5);  // far, opaque green
    wall.color[0] = wall.color[2] = 0.0f;
    glMatrixMode(GL_PROJECTION);
    build_projection(90.0f, 640.0f, 480.0f, projection_matrix);
    glLoadMatrixf(projection_matrix);
    clear_to(0, 0, 0);
    draw_face_passes(s.scene, 1.0f);
    uint32_t p = gl_read_pixel(320, 240);
    EXPECT_NEAR(red_of(p), 128, 2);
    EXPECT_NEAR(green_of(p), 128, 2);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(RenderGl, SampleDepthNeverReadsOutsideTheViewport) {
    clear_to(0, 0, 0);
    EXPECT_EQ(sample_depth(0.5f, 0.5f), 0xFFFFFFFFu);
    EXPECT_EQ(sample_depth(1.0f, 1.0f), 0xFFFFFFFFu);  // the last column and row
    EXPECT_EQ(sample_depth(0.0f, 1.0f), 0xFFFFFFFFu);
    EXPECT_EQ(sample_depth(1.001f, 0.5f), 0u);
    EXPECT_EQ(sample_depth(0.5f, -0.001f), 0u);
    EXPECT_EQ(sample_depth(std::nanf(""), 0.5f), 0u);
    EXPECT_EQ(sample_depth(0.5f, 1.0f / 0.0f), 0u);
}

// One white glowing light in the centre of a 640 x 480 view, at eye depth 0.5.
class GlowTest : public RenderGl {
protected:
    Camera camera;
    void SetUp() override {
        RenderGl::SetUp();
        init_camera(camera);
        Light &l = working_lights[0];
        init_light(l);
        l.position[2] = -0.5f;
        l.glow_size = 0.02f;
        build_projection(90.0f, 640.0f, 480.0f, projection_matrix);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(projection_matrix);
        glMatrixMode(GL_MODELVIEW);
        clear_to(0, 0, 0);
    }
    void TearDown() override {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        RenderGl::TearDown();
    }
    // A black wall at eye depth 0.25 over the view, or over its left part up to ndc x.
    void wall(float right_edge = 1.0f) {
        glDisable(GL_TEXTURE_2D);
        glColor4f(0, 0, 0, 1);
        glBegin(GL_POLYGON);
        glVertex3f(-1.0f, -1.0f, -0.25f);
        glVertex3f(right_edge * 0.25f / 0.75f, -1.0f, -0.25f);
        glVertex3f(right_edge * 0.25f / 0.75f, 1.0f, -0.25f);
        glVertex3f(-1.0f, 1.0f, -0.25f);
        glEnd();
        glEnable(GL_TEXTURE_2D);
    }
};

TEST_F(GlowTest, LightBehindAWallDrawsNoFlareAndNoGhosts) {
    working_lights[0].flare_flag = 1;
    working_lights[0].position[0] = 0.1f;
    wall();
    draw_light_glows(1, camera);
    EXPECT_EQ(gl_read_pixel(368, 240) >> 8, 0u);  // the light's centre
    EXPECT_EQ(gl_read_pixel(272, 240) >> 8, 0u);  // the first ghost's centre
    expect_start_up_state();
}

TEST_F(GlowTest, LightInTheOpenDrawsGlowAndFullFlare) {
    draw_light_glows(1, camera);
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0xFFFFFFu);
    // 20 pixels right: outside the glow (half width 9.6), inside the flare (31.7).
    EXPECT_EQ(gl_read_pixel(340, 240) >> 8, 0xFFFFFFu);
    EXPECT_EQ(gl_read_pixel(360, 240) >> 8, 0u);
    expect_start_up_state();
}

TEST_F(GlowTest, HalfHiddenGlowDimsTheFlare) {
    wall(-0.01f);  // hides the left probe only: (2 + 3) / 6
    draw_light_glows(1, camera);
    EXPECT_NEAR(red_of(gl_read_pixel(340, 240)), 255 * 5 / 6, 3);
}

TEST_F(GlowTest, GlowlessLightFlaresAtFullVisibilityHiddenByNearerGeometry) {
    working_lights[0].color[0] = working_lights[0].color[1] = 0.4f;  // colour index 1: blue
    working_lights[0].color[2] = 0.4f;                               // index 0: no glow
    wall(-0.01f);
    draw_light_glows(1, camera);
    EXPECT_NEAR(red_of(gl_read_pixel(340, 240)), 102, 2);
    EXPECT_EQ(gl_read_pixel(300, 240) >> 8, 0u);  // behind the wall
    GLuint depth = 0;
    glReadPixels(340, 240, 1, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, &depth);
    EXPECT_EQ(depth, 0xFFFFFFFFu);
    expect_start_up_state();
}

TEST_F(GlowTest, NegativeFlareDarkensAndGhostsSitAcrossTheCentre) {
    clear_to(0.5f, 0.5f, 0.5f);
    working_lights[0].flare_strength = -1.0f;
    working_lights[0].position[0] = 0.2f;
    working_lights[0].position[1] = 0.1f;
    working_lights[0].flare_flag = 1;
    draw_light_glows(1, camera);
    // Light at ndc (0.3, 0.2): pixel (416, 288); 20 pixels right of it the flare darkens.
    EXPECT_EQ(gl_read_pixel(436, 288) >> 8, 0u);
    // Ghosts at (-x, -y) and (-2x, -2y): ndc (-0.3, -0.2) and (-0.6, -0.4).
    EXPECT_EQ(gl_read_pixel(224, 192) >> 8, 0xFFFFFFu);
    EXPECT_EQ(gl_read_pixel(128, 144) >> 8, 0xFFFFFFu);
    expect_start_up_state();
}

TEST_F(GlowTest, ZeroGlowSizeDrawsNothing) {
    working_lights[0].glow_size = 0.0f;
    working_lights[0].flare_flag = 1;
    draw_light_glows(1, camera);
    for (int x : {320, 340, 300}) EXPECT_EQ(gl_read_pixel(x, 240) >> 8, 0u);
}

// A scene built in code: one mesh of triangles, lights, and a camera at the origin looking
// down -z with zmax 100.
struct BuiltScene {
    Scene scene;
    Camera camera;
    Mesh mesh;
    std::vector<Face> faces;
    std::vector<Vertex> vertices;
    std::vector<Light> lights;
    int32_t active[4] = {0, 0, 0, 0};
    BuiltScene() {
        init_scene(scene);
        init_camera(camera);
        init_mesh(mesh);
        std::strcpy(mesh.name, "Plane01");
        camera.direction[2] = -1.0f;
        camera.zmax = 100.0f;
        scene.camera = &camera;
        scene.meshes = &mesh;
        scene.mesh_count = 1;
        scene.active_lights = active;
        vertices.reserve(64);
        faces.reserve(64);
        lights.reserve(8);
    }
    // A triangle facing a camera that looks down -z, centred on (x, y) at depth z.
    Face &add_triangle(float x, float y, float z, float size, float r, float g, float b) {
        const float corners[3][2] = {{-1, -1}, {0, 1}, {1, -1}};
        int first = int(vertices.size()) - mesh.first_vertex;
        for (auto &c : corners) {
            Vertex v;
            init_vertex(v);
            v.position[0] = x + c[0] * size;
            v.position[1] = y + c[1] * size;
            v.position[2] = z;
            v.normal[2] = 1.0f;
            vertices.push_back(v);
        }
        Face f;
        init_face(f);
        f.a = first;
        f.b = first + 1;
        f.c = first + 2;
        f.color[0] = r;
        f.color[1] = g;
        f.color[2] = b;
        faces.push_back(f);
        sync();
        return faces.back();
    }
    Light &add_light(float x, float y, float z) {
        Light l;
        init_light(l);
        l.position[0] = x;
        l.position[1] = y;
        l.position[2] = z;
        lights.push_back(l);
        sync();
        return lights.back();
    }
    void sync() {
        scene.vertices = vertices.data();
        scene.vertex_count = int(vertices.size());
        scene.lights = lights.data();
        scene.light_count = int(lights.size());
        mesh.faces = faces.data();
        mesh.face_count = int(faces.size());
        mesh.vertex_count = int(vertices.size());
    }
};

class RenderSceneTest : public RenderGl {
protected:
    void TearDown() override {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        statistics = false;
        RenderGl::TearDown();
    }
    // Render and check that the projection stack is back where it was.
    void render(BuiltScene &s, bool camera_mode = true, float time = 0.0f) {
        render_scene(s.scene, time, camera_mode ? 1 : 0);
        EXPECT_EQ(get_int(GL_PROJECTION_STACK_DEPTH), 1);
    }
};

TEST_F(RenderSceneTest, DrawsAFaceInFrontOfTheCameraAndLeavesTheSceneAlone) {
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);
    std::vector<Vertex> before = s.vertices;
    clear_to(0, 0, 1);
    render(s);
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0xFF0000u);
    EXPECT_EQ(gl_read_pixel(10, 10) >> 8, 0x000000u);  // cleared to black
    EXPECT_EQ(face_counter, 1);
    EXPECT_EQ(std::memcmp(before.data(), s.vertices.data(), before.size() * sizeof(Vertex)), 0);
    EXPECT_EQ(render_width, 640);
    EXPECT_EQ(render_height, 480);
    expect_start_up_state();
}

TEST_F(RenderSceneTest, BackFacesAreNotDrawnAndCameraTurnsAround) {
    BuiltScene s;
    s.add_triangle(0, 0, 10, 2, 1, 0, 0);  // behind the camera
    render(s);
    EXPECT_EQ(face_counter, 0);
    s.camera.direction[2] = 1.0f;  // turn around: now it is seen from its back
    render(s);
    EXPECT_EQ(face_counter, 0);
    s.faces[0].two_sided = 1;
    render(s);
    EXPECT_EQ(face_counter, 1);
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0xFF0000u);
}

TEST_F(RenderSceneTest, FlatModeTakesGeometryRelativeToTheOrigin) {
    BuiltScene s;
    s.add_triangle(0, 0, 10, 2, 0, 1, 0).two_sided = 1;
    s.camera.direction[2] = 0.0f;  // ignored in flat mode, but must not trip the guard
    s.camera.direction[0] = 1.0f;
    render(s, false);
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0x00FF00u);
}

TEST_F(RenderSceneTest, SceneFadeOneKeepsThePreviousPicture) {
    BuiltScene s;
    s.scene.scene_fade = 1.0f;
    clear_to(0, 0, 1);
    render(s);
    EXPECT_EQ(gl_read_pixel(10, 10) >> 8, 0x0000FFu);
    s.scene.scene_fade = 0.0f;
    render(s);
    EXPECT_EQ(gl_read_pixel(10, 10) >> 8, 0x000000u);
}

TEST_F(RenderSceneTest, CameraLookingStraightUpDrawsNothing) {
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);
    s.camera.direction[1] = 1.0f;
    s.camera.direction[2] = 0.0f;
    clear_to(0, 0, 1);
    frame_time = 0.25f;
    render(s);
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0x0000FFu);
    EXPECT_EQ(gl_read_pixel(10, 10) >> 8, 0x0000FFu);
    EXPECT_FLOAT_EQ(frame_time, 0.25f);  // no timing on this path
    frame_time = 0.0f;
}

TEST_F(RenderSceneTest, ReducedSizeRenderUsesItsViewportOnceAndZeroSizeDrawsNothing) {
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);
    clear_to(0, 0, 1);
    set_render_size(640, 0);
    render(s);
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0x0000FFu);
    frame_time = 0.25f;
    set_render_size(128, 128);
    render(s);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 128);
    EXPECT_EQ(viewport[3], 128);
    EXPECT_EQ(gl_read_pixel(64, 64) >> 8, 0xFF0000u);
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0x000000u);  // outside the viewport: only cleared
    EXPECT_FLOAT_EQ(frame_time, 0.25f);                   // timing only at full size
    EXPECT_EQ(render_width, 640);
    EXPECT_EQ(render_height, 480);
    frame_time = 0.0f;
}

TEST_F(RenderSceneTest, FogClearsToTheFogColour) {
    BuiltScene s;
    s.scene.flags = DRAW_FOG;
    s.scene.fog_color[0] = 0.0f;
    s.scene.fog_color[1] = 1.0f;
    s.scene.fog_color[2] = 0.0f;
    render(s);
    EXPECT_EQ(gl_read_pixel(10, 10) >> 8, 0x00FF00u);
    EXPECT_FALSE(glIsEnabled(GL_FOG));  // switched off before the glows
}

TEST_F(RenderSceneTest, BackgroundTextureFillsTheView) {
    BuiltScene s;
    upload_solid(SCENE_TEXTURE, 255, 0, 255);
    s.scene.background_texture = SCENE_TEXTURE;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);   // nearer than eye depth 0.5: drawn
    s.add_triangle(0, 20, -80, 8, 0, 1, 0);  // farther: hidden by the backdrop
    clear_to(0, 0, 0);
    render(s);
    for (auto xy : {std::pair{0, 0}, std::pair{639, 0}, std::pair{0, 479}, std::pair{639, 479}})
        EXPECT_EQ(gl_read_pixel(xy.first, xy.second) >> 8, 0xFF00FFu) << xy.first << "," << xy.second;
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0xFF0000u);
    // World y 22.5 at depth 80 (inside the far triangle): ndc y 22.5 / 0.75 / 80 = 0.375.
    EXPECT_EQ(gl_read_pixel(320, 330) >> 8, 0xFF00FFu);
    s.scene.background_texture = -1;
    render(s);
    EXPECT_EQ(gl_read_pixel(320, 330) >> 8, 0x00FF00u);
}

TEST_F(RenderSceneTest, LitMeshIsLitOnTheCopyByAmbientAndLights) {
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 1, 1);
    s.mesh.lit = 1;
    s.mesh.ambient = 0.5f;
    render(s);
    EXPECT_NEAR(red_of(gl_read_pixel(320, 240)), 128, 2);
    EXPECT_EQ(s.vertices[0].light[0], 0.0f);  // the scene's own vertices keep their light
    Light &l = s.add_light(0, 0, 0);           // in front of the face, along its normal
    l.glow_size = 0.0f;
    s.active[0] = 1;
    s.active[1] = 0;
    l.color[1] = l.color[2] = 0.0f;
    render(s);
    uint32_t p = gl_read_pixel(320, 240);
    EXPECT_EQ(red_of(p), 255);
    EXPECT_NEAR(green_of(p), 128, 2);
}

TEST_F(RenderSceneTest, CameraTrackPosesTheSceneCameraUnlessKeptOrShaking) {
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);
    CameraKey key{};
    key.position[2] = 5.0f;   // file y: the camera record's z
    key.target[2] = 15.0f;    // target 10 further along file y
    key.fov = 60.0f;
    s.scene.camera_keys = &key;
    s.scene.camera_key_count = 1;
    s.scene.frame_rate = 20.0f;
    s.camera.keep_mask = 15;  // the track is skipped altogether
    render(s);
    EXPECT_EQ(s.camera.fov, 90.0f);
    EXPECT_EQ(s.camera.position[2], 0.0f);
    s.camera.keep_mask = 0;
    s.scene.camera_shake = 0.001f;  // the track and jitter reach only the frame's copy
    render(s);
    EXPECT_EQ(s.camera.fov, 90.0f);
    EXPECT_EQ(s.camera.position[2], 0.0f);
    EXPECT_EQ(face_counter, 1);
    s.scene.camera_shake = 0.0f;
    render(s);
    EXPECT_EQ(s.camera.fov, 60.0f);
    EXPECT_EQ(s.camera.position[2], 5.0f);
    EXPECT_EQ(s.camera.direction[2], -10.0f);
    // Camera record z 5 is world z -5; looking down -z the face at -10 is 5 ahead.
    EXPECT_EQ(gl_read_pixel(320, 240) >> 8, 0xFF0000u);
}

// The text of one row of the 80 x 32 grid, read back from glyphs coloured by their code.
static std::string read_text_row(int row) {
    std::string text;
    for (int i = 0; i < 80; i++) {
        int code = red_of(gl_read_pixel(8 * i + 4, 480 - 15 * row - 8));
        if (code == 0) break;
        text += char(code);
    }
    return text;
}

TEST_F(RenderSceneTest, StatisticsBlockHoldsItsSixLines) {
    for (int c = 32; c < 128; c++) upload_solid(FONT_BASE + c - 32, uint8_t(c), 0, 0);
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 0, 0, 1);
    statistics = true;
    set_part_time(2.5f);
    render(s);
    EXPECT_EQ(read_text_row(0).substr(0, 6), "fps:  ");
    EXPECT_EQ(read_text_row(1).substr(0, 9), "average: ");
    EXPECT_EQ(read_text_row(2), "");
    EXPECT_EQ(read_text_row(3).substr(0, 17), "time: 2.5s (total");
    EXPECT_EQ(read_text_row(4), "faces:1");
    EXPECT_EQ(read_text_row(5), "meshes:1 verts:3");
    EXPECT_EQ(read_text_row(6), "(0.00 0.00 0.00)->(0.00 0.00 -1.00) fov 90.00 zmax 100.00");
    clear_to(0, 0, 0);
    set_render_size(128, 128);  // statistics only at full size
    render(s);
    EXPECT_EQ(gl_read_pixel(4, 472) >> 8, 0x000000u);
}

TEST_F(RenderSceneTest, SceneLargerThanTheWorkingArraysIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);
    s.scene.vertex_count = MAX_WORKING_VERTICES + 1;
    EXPECT_EXIT(render_scene(s.scene, 0.0f, 1), ::testing::ExitedWithCode(1),
                "RENDER: scene has 20001 vertices, more than the working array holds");
}
