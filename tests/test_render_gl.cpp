// test_render_gl.cpp: the renderer's drawing in an offscreen GL context, read back: fades, text,
// face modes and passes, depth probes, glows, flares and ghosts, and whole frames of render_scene.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
static void upload_solid(int name, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t pixels[4 * 4 * 4];
    for (int i = 0; i < 64; i += 4) pixels[i] = r, pixels[i + 1] = g, pixels[i + 2] = b, pixels[i + 3] = 255;
    glBindTexture(GL_TEXTURE_2D, GLuint(name));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

static int red_of(uint32_t p) { return int(p >> 24); }
static int green_of(uint32_t p) { return int((p >> 16) & 255); }
static int blue_of(uint32_t p) { return int((p >> 8) & 255); }
static uint32_t rgb_at(int x, int y) { return gl_read_pixel(x, y) >> 8; }

static GLuint depth_at(int x, int y) {
    GLuint depth = 0;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, &depth);
    return depth;
}

class RenderGl : public GlContextTest {
protected:
    void SetUp() override {
        GlContextTest::SetUp();
        allocate_working_arrays();
        light_texture_base = LIGHT_BASE;
        flare_texture_base = FLARE_BASE;
        font_base = FONT_BASE;
        for (int i = LIGHT_BASE; i < FONT_BASE + 96; i++) upload_solid(i, 255, 255, 255);  // lights, flares, font
        face_counter = 0;
    }
    void TearDown() override {
        free_working_arrays();
        GlContextTest::TearDown();
    }
    void clear_to(float r, float g, float b) { glClearColor(r, g, b, 1.0f), glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
    // The 90-degree projection of a 640 x 480 view, or back to the identity.
    static void project(bool on) {
        glMatrixMode(GL_PROJECTION);
        build_projection(90.0f, 640.0f, 480.0f, projection_matrix);
        if (on) glLoadMatrixf(projection_matrix);
        else glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
};

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
        scene.camera = &camera, scene.meshes = &mesh, scene.mesh_count = 1, scene.active_lights = active;
        vertices.reserve(64), faces.reserve(64), lights.reserve(8);
    }
    // A triangle facing a camera that looks down -z, centred on (x, y) at depth z.
    Face &add_triangle(float x, float y, float z, float size, float r, float g, float b) {
        const float corners[3][2] = {{-1, -1}, {0, 1}, {1, -1}};
        Face f;
        init_face(f);
        f.a = int(vertices.size()), f.b = f.a + 1, f.c = f.a + 2;
        f.color[0] = r, f.color[1] = g, f.color[2] = b;
        for (auto &c : corners) {
            Vertex v;
            init_vertex(v);
            v.position[0] = x + c[0] * size, v.position[1] = y + c[1] * size, v.position[2] = z;
            v.normal[2] = 1.0f;
            vertices.push_back(v);
        }
        faces.push_back(f);
        sync();
        return faces.back();
    }
    void sync() {
        scene.vertices = vertices.data(), scene.vertex_count = int(vertices.size());
        scene.lights = lights.data(), scene.light_count = int(lights.size());
        mesh.faces = faces.data(), mesh.face_count = int(faces.size()), mesh.vertex_count = int(vertices.size());
    }
};

// Fades from grey 0.4: 0 draws nothing, +-1 are white and black; a negative fade scales the
// picture down, a positive one adds light.
TEST_F(RenderGl, FadesBlendTowardWhiteOrBlack) {
    const struct {
        float fade;
        double red;
    } cases[] = {{0.0f, 0.4}, {-0.0f, 0.4}, {-0.25f, 0.3}, {0.25f, 0.65}, {1.0f, 1.0}, {-1.0f, 0.0}};
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

// Text cells on the 80 x 32 grid, the line feed ending the text, codes without a glyph left
// empty; the depth function is put back even for empty text.
TEST_F(RenderGl, TextCellsFollowTheGrid) {
    clear_to(0, 0, 0);
    upload_solid(FONT_BASE + ('B' - 32), 255, 0, 0);
    for (const char *text : {"", "AB\nA"}) {
        glDepthFunc(GL_GREATER);
        draw_text(FONT_BASE, text, 0, 0, 80, 32);
        EXPECT_EQ(gl_get_int(GL_DEPTH_FUNC), GL_LEQUAL);
    }
    draw_text(FONT_BASE, "A", 3, 2, 80, 32);          // cell x 24..32, y 435..450
    draw_text(FONT_BASE, "A", 79, 31, 80, 32);        // the last cell: x 632..640, y 0..15
    draw_text(FONT_BASE, "\x01\x7f", 0, 10, 80, 32);  // no glyph for 1: its cell stays empty
    // 80 x 32 cells on 640 x 480: 8 pixels wide, 15 high; the top row spans y 465..480.
    const uint32_t probes[][3] = {{4, 472, 0xFFFFFF}, {12, 472, 0xFF0000}, {20, 472, 0}, {4, 462, 0},
                                  {28, 442, 0xFFFFFF}, {28, 452, 0}, {20, 442, 0}, {636, 7, 0xFFFFFF},
                                  {4, 322, 0}, {12, 322, 0xFFFFFF}};
    for (const auto &p : probes) EXPECT_EQ(rgb_at(int(p[0]), int(p[1])), p[2]) << p[0] << "," << p[1];
}

// One face in every mode: untextured colour times (light + 1), added or darkening the
// background, wireframe edges, textures ignoring the colour, highlights through the texture
// environment, and how many faces each counts.
TEST_F(RenderGl, FaceModes) {
    upload_solid(SCENE_TEXTURE, 128, 128, 128);
    upload_solid(SCENE_TEXTURE + 1, 0, 0, 255);
    const int T = SCENE_TEXTURE;
    const struct {
        const char *what;
        float background, light;
        int mode, texture, second, second_pass, highlight;
        float alpha, r, g, b;
        int faces;
        double want[3];  // colour at the centre; -1: not checked
        int tolerance;
    } cases[] = {
        {"alpha 0", 0, 0, 0, -1, -1, 0, 0, 0, 1, 1, 1, 0, {0, 0, 0}, 2},
        {"plain", 0, -0.5f, 0, -1, -1, 0, 0, 1, 1, 0.5f, 0, 1, {0.5, 0.25, 0}, 2},
        {"darkening", 0.8f, 0, 2, -1, -1, 0, 0, 0.5f, 1, 0.5f, 0, 1, {0.4, 0.6, 0.8}, 2},
        {"additive", 0.25f, 0, 1, -1, -1, 0, 0, 0.5f, 1, 0, 0, 1, {0.75, 0.25, 0.25}, 2},
        {"wireframe", 0, 0, 4 | 1, -1, -1, 0, 0, 1, 0, 1, 0, 0, {0, 0, 0}, 0},
        {"second pass", 0, 0.5f, 0, T, T + 1, 1, 0, 1, 1, 1, 1, 2, {-1, -1, -1}, 0},
        {"second pass, separate highlight", 0, 0.5f, 16, T, T + 1, 1, 1, 1, 1, 1, 1, 3, {-1, -1, -1}, 0},
        // 0.2 * 1.5 from the base, then the raw 0.5 light added on top.
        {"separate highlight", 0, 0.5f, 16, -1, -1, 0, 1, 1, 0.2f, 0.2f, 0.2f, 2, {0.8, 0.8, 0.8}, 3},
        {"textured", 0, 0, 0, T, -1, 0, 0, 1, 1, 0, 0, 1, {128 / 255.0, 128 / 255.0, 128 / 255.0}, 2},
        // No light above 0: black environment, fragment * (1 - texture).
        {"highlight, no light", 0, 0, 0, T, -1, 0, 1, 1, 1, 0, 0, 1, {-1, 127 / 255.0, -1}, 2},
        // Full highlight: the environment is white, so texture 128 blends toward white.
        {"highlight, full light", 0, 3, 0, T, -1, 0, 1, 1, 1, 0, 0, 1, {-1, 1, -1}, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        clear_to(c.background, c.background, c.background);
        BuiltScene s;  // copied to the working vertices as they are: a triangle around the centre
        s.add_triangle(0, 0, 0, 0.5f, 1, 1, 1);
        for (Vertex &v : s.vertices) v.light[0] = v.light[1] = v.light[2] = c.light;
        std::copy(s.vertices.begin(), s.vertices.end(), working_vertices);
        face_counter = 0;
        draw_face(0, 1, 2, c.mode, c.texture, c.second, byte(c.second_pass), byte(c.highlight), c.alpha, c.r, c.g,
                  c.b);
        EXPECT_EQ(face_counter, c.faces);
        uint32_t p = gl_read_pixel(320, 220);
        const int got[3] = {red_of(p), green_of(p), blue_of(p)};
        for (int k = 0; k < 3; k++)
            EXPECT_TRUE(c.want[k] < 0 || std::abs(got[k] - c.want[k] * 255) <= c.tolerance) << k << ": " << got[k];
        EXPECT_TRUE(c.mode != 1 || depth_at(320, 220) == 0xFFFFFFFFu);  // additive writes no depth
        if (c.mode & 4) {  // the bottom edge runs along ndc y -0.5: pixel row 120
            EXPECT_GT(green_of(gl_read_pixel(320, 120) | gl_read_pixel(320, 119) | gl_read_pixel(320, 121)), 200);
        }
        expect_start_up_state();
    }
}

// The passes skip back faces unless two-sided or in blend mode 4, and draw nothing at
// glow_alpha 0 (their order is checked against faces drawn one by one in test_face_batching).
TEST_F(RenderGl, FacePasses) {
    BuiltScene s;  // in eye space, copied to the working vertices
    s.add_triangle(0, 0, -0.5f, 0.1f, 0, 1, 0);  // front: drawn
    for (int i = 0; i < 4; i++) {
        Face &back = s.add_triangle(0, 0, -0.5f, 0.1f, 0, 1, 0);
        std::swap(back.b, back.c);  // counter-clockwise on screen
    }
    s.faces[2].two_sided = 1;   // back, two-sided: drawn
    s.faces[3].blend_mode = 4;  // back, blend mode 4: drawn (wireframe, not counted)
    s.faces[4].blend_mode = 1;  // back, additive: skipped (as is the opaque back face 1)
    std::copy(s.vertices.begin(), s.vertices.end(), working_vertices);
    project(true);
    face_counter = 0;
    draw_face_passes(s.scene, 1.0f);
    EXPECT_EQ(face_counter, 2);
    face_counter = 0;
    draw_face_passes(s.scene, 0.0f);
    EXPECT_EQ(face_counter, 0);
    expect_start_up_state();
}

TEST_F(RenderGl, SampleDepthNeverReadsOutsideTheViewport) {
    clear_to(0, 0, 0);
    const struct {
        float u, v;
        uint32_t want;
    } cases[] = {{1.0f, 1.0f, 0xFFFFFFFFu}, {0.0f, 1.0f, 0xFFFFFFFFu}, {1.001f, 0.5f, 0u},  // the last column, row
                 {0.5f, -0.001f, 0u}, {std::nanf(""), 0.5f, 0u}, {0.5f, 1.0f / 0.0f, 0u}};
    for (const auto &c : cases) EXPECT_EQ(sample_depth(c.u, c.v), c.want) << c.u << " " << c.v;
}

// One light in the centre of a 640 x 480 view at eye depth 0.5 (glow 0.02, white unless
// dimmed), over a cleared view with a black wall at eye depth 0.25 up to ndc x `wall`.
TEST_F(RenderGl, GlowsFlaresAndGhosts) {
    const struct {
        const char *what;
        float x, y, glow_size, strength, colour, wall, background;
        int flare;
        std::vector<std::array<int, 3>> probes;  // x, y, red
    } cases[] = {
        // 20 pixels right: outside the glow (half width 9.6), inside the flare (31.7).
        {"in the open", 0, 0, 0.02f, 1, 1, -2, 0, 0, {{320, 240, 255}, {340, 240, 255}, {360, 240, 0}}},
        {"behind a wall", 0.1f, 0, 0.02f, 1, 1, 1, 0, 1, {{368, 240, 0}, {272, 240, 0}}},  // centre, ghost
        {"half hidden: (2 + 3) / 6", 0, 0, 0.02f, 1, 1, -0.01f, 0, 0, {{340, 240, 255 * 5 / 6}}},
        {"zero glow size", 0, 0, 0, 1, 1, -2, 0, 1, {{320, 240, 0}, {340, 240, 0}, {300, 240, 0}}},
        // Light at ndc (0.3, 0.2): pixel (416, 288), the flare darkens right of it; ghosts at
        // (-x, -y) and (-2x, -2y): ndc (-0.3, -0.2) and (-0.6, -0.4).
        {"negative flare", 0.2f, 0.1f, 0.02f, -1, 1, -2, 0.5f, 1, {{436, 288, 0}, {224, 192, 255}, {128, 144, 255}}},
        // Colour index 0 (no glow texture): flares at full visibility, hidden by the wall.
        {"glowless", 0, 0, 0.02f, 1, 0.4f, -0.01f, 0, 0, {{340, 240, 102}, {300, 240, 0}}},
    };
    Camera camera;
    init_camera(camera);
    project(true);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Light &l = working_lights[0];
        init_light(l);
        l.position[0] = c.x, l.position[1] = c.y, l.position[2] = -0.5f;
        l.glow_size = c.glow_size, l.flare_strength = c.strength, l.flare_flag = c.flare;
        l.color[0] = l.color[1] = l.color[2] = c.colour;
        clear_to(c.background, c.background, c.background);
        if (c.wall > -1) {
            glDisable(GL_TEXTURE_2D);
            glColor4f(0, 0, 0, 1);
            glBegin(GL_POLYGON);
            for (auto xy : {std::pair{-1.0f, -1.0f}, {c.wall, -1.0f}, {c.wall, 1.0f}, {-1.0f, 1.0f}})
                glVertex3f(xy.first * 0.25f / 0.75f, xy.second, -0.25f);
            glEnd();
            glEnable(GL_TEXTURE_2D);
        }
        draw_light_glows(1, camera);
        for (const auto &p : c.probes) EXPECT_NEAR(red_of(gl_read_pixel(p[0], p[1])), p[2], 3) << p[0] << "," << p[1];
        EXPECT_TRUE(c.colour > 0.5f || depth_at(340, 240) == 0xFFFFFFFFu);  // a flare writes no depth
        expect_start_up_state();
    }
}

class RenderSceneTest : public RenderGl {
protected:
    void TearDown() override {
        statistics = false;
        frame_time = 0.0f;
        RenderGl::TearDown();
    }
    // Render and check that the projection stack is back where it was.
    void render(BuiltScene &s, bool camera_mode = true) {
        render_scene(s.scene, 0.0f, camera_mode ? 1 : 0);
        EXPECT_EQ(gl_get_int(GL_PROJECTION_STACK_DEPTH), 1);
    }
};

TEST_F(RenderSceneTest, DrawsFacesInFrontOfTheCameraAndLeavesTheSceneAlone) {
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);
    std::vector<Vertex> before = s.vertices;
    clear_to(0, 0, 1);
    render(s);
    EXPECT_EQ(rgb_at(320, 240), 0xFF0000u);
    EXPECT_EQ(rgb_at(10, 10), 0x000000u);  // cleared to black
    EXPECT_EQ(face_counter, 1);
    EXPECT_EQ(std::memcmp(before.data(), s.vertices.data(), before.size() * sizeof(Vertex)), 0);
    expect_start_up_state();
    // Behind the camera, then seen from its back once the camera turns round: not drawn.
    s.vertices.clear(), s.faces.clear();
    s.add_triangle(0, 0, 10, 2, 1, 0, 0);
    render(s);
    EXPECT_EQ(face_counter, 0);
    s.camera.direction[2] = 1.0f;
    render(s);
    EXPECT_EQ(face_counter, 0);
    s.faces[0].two_sided = 1;
    render(s);
    EXPECT_EQ(face_counter, 1);
    // Flat mode takes the geometry relative to the origin, whatever the camera's direction.
    s.faces[0].color[0] = 0, s.faces[0].color[1] = 1;
    s.camera.direction[2] = 0.0f, s.camera.direction[0] = 1.0f;
    render(s, false);
    EXPECT_EQ(rgb_at(320, 240), 0x00FF00u);
}

// The clear: scene fade 1 keeps the previous picture, fog clears to the fog colour; a camera
// looking straight up draws nothing and takes no timing; a background texture fills the view.
TEST_F(RenderSceneTest, ClearFadeFogDegenerateCameraAndBackdrop) {
    BuiltScene s;
    s.scene.scene_fade = 1.0f;
    clear_to(0, 0, 1);
    render(s);
    EXPECT_EQ(rgb_at(10, 10), 0x0000FFu);
    s.scene.scene_fade = 0.0f;
    s.scene.flags = DRAW_FOG;
    s.scene.fog_color[0] = 0.0f, s.scene.fog_color[1] = 1.0f, s.scene.fog_color[2] = 0.0f;
    render(s);
    EXPECT_EQ(rgb_at(10, 10), 0x00FF00u);
    EXPECT_FALSE(glIsEnabled(GL_FOG));  // switched off before the glows
    s.scene.flags = 0;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);
    s.camera.direction[1] = 1.0f, s.camera.direction[2] = 0.0f;
    clear_to(0, 0, 1);
    frame_time = 0.25f;
    render(s);
    EXPECT_EQ(rgb_at(320, 240), 0x0000FFu);  // neither cleared nor drawn
    EXPECT_FLOAT_EQ(frame_time, 0.25f);
    // A background texture fills the view behind what is nearer than eye depth 0.5.
    s.camera.direction[1] = 0.0f, s.camera.direction[2] = -1.0f;
    upload_solid(SCENE_TEXTURE, 255, 0, 255);
    s.scene.background_texture = SCENE_TEXTURE;
    s.add_triangle(0, 20, -80, 8, 0, 1, 0);  // farther: hidden by the backdrop
    render(s);
    for (auto xy : {std::pair{0, 0}, std::pair{639, 0}, std::pair{0, 479}, std::pair{639, 479}})
        EXPECT_EQ(rgb_at(xy.first, xy.second), 0xFF00FFu) << xy.first << "," << xy.second;
    EXPECT_EQ(rgb_at(320, 240), 0xFF0000u);
    // World y 22.5 at depth 80 (inside the far triangle): ndc y 22.5 / 0.75 / 80 = 0.375.
    EXPECT_EQ(rgb_at(320, 330), 0xFF00FFu);
    s.scene.background_texture = -1;
    render(s);
    EXPECT_EQ(rgb_at(320, 330), 0x00FF00u);
}

TEST_F(RenderSceneTest, LitMeshIsLitOnTheCopyByAmbientAndLights) {
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 1, 1);
    s.mesh.lit = 1;
    s.mesh.ambient = 0.5f;
    render(s);
    EXPECT_NEAR(red_of(gl_read_pixel(320, 240)), 128, 2);
    EXPECT_EQ(s.vertices[0].light[0], 0.0f);  // the scene's own vertices keep their light
    s.lights.resize(1);  // at the origin: in front of the face, along its normal
    init_light(s.lights[0]);
    s.lights[0].glow_size = 0.0f;
    s.lights[0].color[1] = s.lights[0].color[2] = 0.0f;
    s.sync();
    s.active[0] = 1, s.active[1] = 0;
    render(s);
    uint32_t p = gl_read_pixel(320, 240);
    EXPECT_EQ(red_of(p), 255);
    EXPECT_TRUE(std::abs(green_of(p) - 128) <= 2 && std::abs(blue_of(p) - 128) <= 2) << std::hex << p;
}

TEST_F(RenderSceneTest, CameraTrackPosesTheSceneCameraUnlessKeptOrShaking) {
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 1, 0, 0);
    CameraKey key{};
    key.position[0] = 1.5f, key.position[1] = -1.5f, key.position[2] = 5.0f;  // z: the file's y
    key.target[0] = 1.5f, key.target[1] = -1.5f, key.target[2] = 15.0f;       // 10 further along it
    key.fov = 60.0f;
    s.scene.camera_keys = &key;
    s.scene.camera_key_count = 1;
    s.scene.frame_rate = 20.0f;
    s.camera.keep_mask = 15;  // the track is skipped altogether
    render(s);
    EXPECT_EQ(std::make_pair(s.camera.fov, s.camera.position[2]), std::make_pair(90.0f, 0.0f));
    s.camera.keep_mask = 0;
    s.scene.camera_shake = 0.001f;  // the track and jitter reach only the frame's copy
    render(s);
    EXPECT_EQ(std::make_pair(s.camera.fov, s.camera.position[2]), std::make_pair(90.0f, 0.0f));
    EXPECT_EQ(face_counter, 1);
    s.scene.camera_shake = 0.0f;
    render(s);
    EXPECT_EQ(s.camera.fov, 60.0f);
    // The camera stands at world (1.5, -1.5, -5) looking down -z; the face (half width 1.75
    // at y -1.5) lies 5 ahead: world x -1.5 shows at ndc -0.45 (pixel 176), x 4.5 misses it.
    EXPECT_EQ(rgb_at(320, 240), 0xFF0000u);
    EXPECT_EQ(rgb_at(176, 240), 0xFF0000u);
    EXPECT_EQ(rgb_at(464, 240), 0x000000u);
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

TEST_F(RenderSceneTest, StatisticsAtFullSizeAndReducedSizes) {
    for (int c = 32; c < 128; c++) upload_solid(FONT_BASE + c - 32, uint8_t(c), 0, 0);
    BuiltScene s;
    s.add_triangle(0, 0, -10, 2, 0, 0, 1);
    statistics = true;
    set_part_time(2.5f);
    render(s);
    EXPECT_EQ(read_text_row(0).substr(0, 6), "fps:  ");
    EXPECT_EQ(read_text_row(3).substr(0, 17), "time: 2.5s (total");
    EXPECT_EQ(read_text_row(4), "faces:1");
    EXPECT_EQ(read_text_row(5), "meshes:1 verts:3");
    EXPECT_EQ(read_text_row(6), "(0.00 0.00 0.00)->(0.00 0.00 -1.00) fov 90.00 zmax 100.00");
    // A zero-size render draws nothing; a reduced one uses its viewport once, without
    // statistics or timing.
    clear_to(0, 1, 0);
    set_render_size(640, 0);
    render(s);
    EXPECT_EQ(rgb_at(320, 240), 0x00FF00u);
    frame_time = 0.25f;
    set_render_size(128, 128);
    render(s);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::make_pair(viewport[2], viewport[3]), std::make_pair(128, 128));
    EXPECT_EQ(rgb_at(64, 64), 0x0000FFu);
    EXPECT_EQ(rgb_at(320, 240), 0x000000u);  // outside the viewport: only cleared
    EXPECT_EQ(rgb_at(4, 472), 0x000000u);
    EXPECT_FLOAT_EQ(frame_time, 0.25f);
    EXPECT_EQ(std::make_pair(render_width, render_height), std::make_pair(640, 480));
}
