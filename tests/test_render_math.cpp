// test_render_math.cpp: the renderer's arithmetic without OpenGL: projection terms, the
// eye-space transform in both modes, vertex lighting, facing, highlight colour, flare size,
// probe visibility, and the check that a scene fits the working arrays.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "render/render.h"
#include "render/render_math.h"

// The cotangent of half the view angle, near and far planes at the ends of the depth range,
// and a point projected in x and y (through the aspect and the divide by -z).
TEST(Projection, Fov90MatrixAndProjectedPoints) {
    EXPECT_FLOAT_EQ(projection_cotangent(60.0f), std::sqrt(3.0f));
    float m[16];
    build_projection(90.0f, 640.0f, 480.0f, m);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) EXPECT_EQ(m[i], 0.0f) << i;
    auto ndc_z = [&](float z) { return (m[10] * z + m[14]) / (m[11] * z); };
    EXPECT_NEAR(ndc_z(-1.0f), 1.0f, 1e-4f);
    EXPECT_NEAR(ndc_z(-6.104e-05f), -1.0f, 1e-3f);
    float x, y;
    const float p[3] = {0.5f, -0.25f, -0.5f};
    project_point(m, p, x, y);
    EXPECT_FLOAT_EQ(x, 0.75f);
    EXPECT_FLOAT_EQ(y, -0.5f);
}

static Camera camera_looking(float dy, float dz) {
    Camera c{};
    c.direction[1] = dy, c.direction[2] = dz, c.fov = 90.0f, c.zmax = 1.0f, c.glow_alpha = 1.0f;
    return c;
}

TEST(CameraGuard, StraightUpOrDownOrTinyZmaxIsDegenerate) {
    const struct {
        float dy, dz, zmax;
        bool degenerate;
    } cases[] = {{1, 0, 1, true},          {-5, 0, 1, true}, {0, -1, 1, false},
                 {0, -1, 6.104e-05f, true}, {0, -1, 0, true}, {0, -1, std::nanf(""), true}};
    for (const auto &c : cases) {
        Camera camera = camera_looking(c.dy, c.dz);
        camera.zmax = c.zmax;
        EXPECT_EQ(camera_degenerate(camera), c.degenerate) << c.dy << " " << c.dz << " " << c.zmax;
    }
}

static void expect_vec(const float *got, float x, float y, float z, float tol = 1e-5f) {
    EXPECT_NEAR(got[0], x, tol);
    EXPECT_NEAR(got[1], y, tol);
    EXPECT_NEAR(got[2], z, tol);
}

// Camera mode: position, direction (its z entering with the opposite sign), roll, zmax scale
// and the 3/4 aspect squeeze.
TEST(EyeTransform, CameraModeMovesPointsIntoEyeSpace) {
    const struct {
        const char *what;
        float dz, position[3], roll, zmax;
        bool squeeze;
        float in[3], out[3];
    } cases[] = {
        {"down -z over zmax", -1, {0, 0, 0}, 0, 10, false, {2, 3, -5}, {0.2f, 0.3f, -0.5f}},
        {"down +z turns halfway", 1, {0, 0, 0}, 0, 1, false, {1, 0, 5}, {-1, 0, -5}},
        {"camera z negated", -1, {1, 2, 3}, 0, 1, false, {1, 2, -13}, {0, 0, -10}},
        {"aspect squeeze", -1, {0, 0, 0}, 0, 1, true, {1, 1, -1}, {1, 1 / 0.75f, -1}},
        {"roll turns x into y", -1, {0, 0, 0}, float(3.1415926536 / 2.0), 1, false, {1, 0, 0}, {0, 1, 0}},
        {"offset in all three axes", -1, {1, 2, 3}, 0, 2, false, {3, 5, -1}, {1, 1.5f, 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Camera camera = camera_looking(0, c.dz);
        std::memcpy(camera.position, c.position, sizeof c.position);
        camera.roll = c.roll;
        camera.zmax = c.zmax;
        EyeTransform t;
        eye_transform_camera(camera, c.squeeze, t);
        float p[3] = {c.in[0], c.in[1], c.in[2]};
        eye_apply_position(t, p);
        expect_vec(p, c.out[0], c.out[1], c.out[2]);
        if (c.roll != 0) {
            float n[3] = {1.0f, 0.0f, 0.0f};  // normals turn with the roll too
            eye_apply_normal(t, n);
            expect_vec(n, 0.0f, 1.0f, 0.0f);
        }
    }
}

TEST(EyeTransform, FlatModeDividesByZmaxAndLeavesNormals) {
    for (bool squeeze : {true, false}) {
        EyeTransform t;
        eye_transform_flat(4.0f, squeeze, t);
        float p[3] = {2.0f, 3.0f, 8.0f}, n[3] = {0.3f, 0.4f, 0.5f};
        eye_apply_position(t, p);
        eye_apply_normal(t, n);
        expect_vec(p, -0.5f, squeeze ? 1.0f : 0.75f, -2.0f);
        expect_vec(n, 0.3f, 0.4f, 0.5f, 0.0f);
    }
}

static Light point_light(float x, float y, float z) {
    Light l;
    init_light(l);
    l.position[0] = x, l.position[1] = y, l.position[2] = z;
    return l;
}

// The light of a vertex at the origin with normal (0, ny, 0) through the first `count` lights.
static std::array<float, 3> light_origin(const std::vector<Light> &lights, int count, float ambient, float ny) {
    const int32_t list[2] = {0, 1};
    const float p[3] = {0, 0, 0}, n[3] = {0, ny, 0};
    std::array<float, 3> out;
    light_vertex(p, n, ambient, lights.data(), list, count, out.data());
    return out;
}

// One point light (or none) over a vertex at the origin: -1 + ambient + colour x intensity.
TEST(VertexLighting, PointLightsAlongTheNormal) {
    const struct {
        const char *what;
        int lights;
        float light_y, intensity, ambient, normal_y;
        float want[3];
    } cases[] = {
        {"ambient alone", 0, 10, 1, 0.25f, 1, {-0.75f, -0.75f, -0.75f}},
        {"colour times intensity, normal unnormalised", 1, 10, 2, 0, 3, {1, 0, -1}},
        {"light at the vertex adds nothing", 1, 0, 1, 0.5f, 1, {-0.5f, -0.5f, -0.5f}},
        {"negative intensity subtracts", 1, 5, -0.5f, 1, 1, {-0.5f, -0.5f, -0.5f}},
        {"zero normal: ambient alone, no NaN", 1, 10, 1, 0.3f, 0, {-0.7f, -0.7f, -0.7f}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        // A second light that is not listed must not count.
        std::vector<Light> lights = {point_light(0, c.light_y, 0), point_light(0, 12, 0)};
        lights[0].color[1] = c.intensity == 2 ? 0.5f : 1.0f;
        lights[0].color[2] = c.intensity == 2 ? 0.0f : 1.0f;
        lights[0].intensity = c.intensity;
        lights[0].spot = c.normal_y == 0;  // the spot's angle to a zero normal
        expect_vec(light_origin(lights, c.lights, c.ambient, c.normal_y).data(), c.want[0], c.want[1], c.want[2]);
    }
}

TEST(VertexLighting, AngleAttenuationAndBacklight) {
    std::vector<Light> lights = {point_light(10, 10, 0), point_light(0, -10, 0)};
    lights[0].range_inner = 0.0f;
    lights[0].range_outer = 2.0f * std::sqrt(200.0f);  // half way: t = 0.5
    float expected = 0.5f * std::cos(float(M_PI / 4));
    expect_vec(light_origin(lights, 2, 1.0f, 1).data(), expected, expected, expected);
}

// A spot: full inside the hotspot, half way through the falloff half, nothing beyond it;
// without a cone it falls linearly with the angle to the normal.
TEST(VertexLighting, SpotCones) {
    const struct {
        float light_x, hotspot, falloff, angle;  // angle of the spot's direction from +y
        float want;
    } cases[] = {{0, 45, 90, 0, 1}, {0, 45, 90, 67.5f, 0.5f}, {0, 45, 90, 95, 0},
                 {10, 0, 0, 45, 0.5f}};  // 45 degrees from the normal: 1 - 2 * (pi/4) / pi
    for (const auto &c : cases) {
        std::vector<Light> lights = {point_light(c.light_x, 10, 0)};
        lights[0].spot = 1;
        if (c.falloff > 0) lights[0].hotspot = c.hotspot, lights[0].falloff = c.falloff;
        double g = c.angle * M_PI / 180.0;
        lights[0].spot_direction[0] = float(std::sin(g));
        lights[0].spot_direction[1] = float(std::cos(g));
        expect_vec(light_origin(lights, 1, 1.0f, 1).data(), c.want, c.want, c.want, 1e-4f);
    }
}

TEST(FacingTest, ClockwiseOnScreenFacesTheEye) {
    const float p[3] = {0, 0, -1}, q[3] = {1, 0, -1}, r[3] = {0, 1, -1};
    EXPECT_FALSE(face_towards_eye(p, q, r));
    EXPECT_TRUE(face_towards_eye(p, r, q));
    const float same[3] = {0, 0, -1};
    EXPECT_FALSE(face_towards_eye(p, same, r));  // degenerate: no normal
    const float eye[3] = {0, 0, 0};
    EXPECT_FALSE(face_towards_eye(eye, r, q));  // first vertex at the eye
}

TEST(Highlight, PositiveLightAveragedAndCappedAtOne) {
    const float a[3] = {0.5f, -1.0f, 2.0f}, b[3] = {0.5f, 0.0f, 2.0f}, c[3] = {0.5f, 0.0f, 0.0f};
    float env[4];
    highlight_colour(a, b, c, env);
    EXPECT_EQ(std::vector<float>(env, env + 4), std::vector<float>({0.5f, 0.0f, 1.0f, 1.0f}));
}

TEST(Glows, ColourIndexFlareSizeAndProbeVisibility) {
    const float colours[4][3] = {{0.5f, 0.5f, 0.5f}, {0, 0, 1}, {0.49f, 0.49f, 0.49f}, {0.5f, 0, 0}};
    const int index[4] = {7, 1, 0, 4};
    for (int i = 0; i < 4; i++) EXPECT_EQ(light_colour_index(colours[i]), index[i]) << i;
    // The flare size factor is held between 3 and 7.
    const float sizes[4][2] = {{0.5f, 3.0f}, {1.0f, 3.3f}, {3.0f, 7.0f}, {-2.0f, 3.0f}};
    for (const auto &c : sizes) EXPECT_FLOAT_EQ(flare_size_factor(c[0]), c[1]) << c[0];
    // Probe visibility counts the centre twice among the five probes.
    const uint32_t before[5] = {9, 9, 9, 9, 9};
    const uint32_t after[4][5] = {{1, 9, 1, 9, 9}, {1, 1, 1, 1, 1}, {9, 9, 9, 9, 9}, {9, 1, 1, 1, 1}};
    const float visible[4] = {0.5f, 1.0f, 0.0f, 4.0f / 6.0f};
    for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(probe_visibility(before, after[i]), visible[i]) << i;
}

// A scene of `vertices` vertices and `lights` lights in one mesh, with a camera.
struct SizedScene {
    Scene scene;
    Camera camera;
    Mesh mesh;
    std::vector<Vertex> vertices;
    std::vector<Light> lights;
    SizedScene(int vertex_count, int light_count) : vertices(size_t(vertex_count)), lights(size_t(light_count)) {
        init_scene(scene);
        init_camera(camera);
        init_mesh(mesh);
        scene.camera = &camera, scene.vertices = vertices.data(), scene.lights = lights.data();
        scene.meshes = &mesh, scene.mesh_count = 1, scene.vertex_count = mesh.vertex_count = vertex_count;
        scene.light_count = light_count;
        std::strcpy(mesh.name, "Box01");
    }
};

// The largest scene fits; anything beyond the working arrays stops render_scene (before it
// draws), named.
TEST(SceneFitsDeathTest, ScenesBeyondTheWorkingArraysAreFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SizedScene largest(MAX_WORKING_VERTICES, MAX_WORKING_LIGHTS);
    check_scene_fits(largest.scene);
    SizedScene last(10, 2);  // a mesh ending at the last working vertex, the last light active
    last.mesh.first_vertex = MAX_WORKING_VERTICES - 10;
    int32_t fits[3] = {2, 0, 1}, active[3] = {2, 0, 2};
    last.scene.active_lights = fits;
    check_scene_fits(last.scene);
    const struct {
        int vertices, lights, first_vertex;
        int32_t *active;
        const char *message;
    } cases[] = {
        {MAX_WORKING_VERTICES + 1, 1, 0, nullptr, "scene has 20001 vertices, more than the working array holds \\(20000\\)"},
        {10, MAX_WORKING_LIGHTS + 1, 0, nullptr, "scene has 1001 lights, more than the working array holds \\(1000\\)"},
        {10, 0, MAX_WORKING_VERTICES - 9, nullptr, "mesh \\[Box01\\] vertices 19991..20001 lie outside the working array"},
        {10, 2, 0, active, "active light 2 does not exist \\(2 lights\\)"},
    };
    for (const auto &c : cases) {
        SizedScene s(c.vertices, c.lights);
        s.mesh.first_vertex = c.first_vertex;
        s.scene.active_lights = c.active;
        EXPECT_EXIT(render_scene(s.scene, 0.0f, 1), ::testing::ExitedWithCode(1), c.message);
    }
}
