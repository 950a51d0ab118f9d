// test_model.cpp: Quake models: loading written files, frame blending, sequence switches,
// walking a path, and malformed files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "render/render.h"
#include "scene/model.h"
#include "support/gl_context.h"
#include "support/test_data.h"
#include "writers/mdl_writer.h"

namespace {

void reset_all() {
    free_model_table();
    create_model_table();
    reset_textures();
}

// A model of `vertices` vertices in a fan of triangles and `frames` frames. In frame f, vertex v
// sits at file (x, y, z) = (v, 2 f, 3 (v % 2)) + (0, 0, f): every coordinate is a whole number
// and each axis spans 0..255 somewhere, so the byte encoding is exact with scale 1.
MdlModel numbered_model(int vertices, int frames) {
    MdlModel m;
    m.skin_width = 16, m.skin_height = 8;
    for (int v = 0; v < vertices; ++v) m.texcoords.push_back({0, v % 16, v % 8});
    for (int v = 1; v + 1 < vertices; ++v) m.triangles.push_back({1, {0, v, v + 1}});
    for (int f = 0; f < frames; ++f) {
        std::vector<float> frame;
        for (int v = 0; v < vertices; ++v) frame.insert(frame.end(), {float(v), float(2 * f), float(3 * (v % 2) + f)});
        m.frame_names.push_back("frame" + std::to_string(f));
        m.frames.push_back(frame);
    }
    // One extra vertex position in frame 0 pins every axis range to 0..255.
    m.frames[0][0] = 0, m.frames[0][1] = 0, m.frames[0][2] = 0;
    m.frames[0][3] = 255, m.frames[0][4] = 255, m.frames[0][5] = 255;
    return m;
}

// The position the loader should give vertex v of frame f: (y, z, x), centred on the first
// and third components.
std::vector<float> expected_frame(const MdlModel &m, int f) {
    int n = int(m.texcoords.size());
    std::vector<float> out(size_t(n) * 3);
    double mean0 = 0, mean2 = 0;
    for (int v = 0; v < n; ++v) {
        for (int c = 0; c < 3; ++c) out[v * 3 + c] = m.frames[f][v * 3 + (c + 1) % 3];
        mean0 += out[v * 3 + 0], mean2 += out[v * 3 + 2];
    }
    for (int v = 0; v < n; ++v) out[v * 3 + 0] -= float(mean0 / n), out[v * 3 + 2] -= float(mean2 / n);
    return out;
}

void write_model(const char *name, const MdlModel &m) {
    ASSERT_TRUE(write_file(name, mdl_encode(m)));
    std::string skin = name;
    ASSERT_TRUE(write_file(skin.substr(0, skin.rfind('.')) + ".bmp", bmp_encode_24(Picture(4, 4))));
}

// A scene-like home for a posed model: one mesh with room for its vertices and faces.
struct Stage {
    Mesh mesh{};
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    Stage(int vertex_room, int face_room) : vertices(vertex_room), faces(face_room) {
        init_mesh(mesh);
        for (Vertex &v : vertices) init_vertex(v);
        for (Face &f : faces) init_face(f);
        mesh.faces = faces.data();
    }
};

void expect_blend(const Stage &s, const MdlModel &m, int from, int to, float f) {
    const std::vector<float> a = expected_frame(m, from), b = expected_frame(m, to);
    for (size_t k = 0; k < m.texcoords.size(); ++k)
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(s.vertices[k].position[c], b[k * 3 + c] * f + a[k * 3 + c] * (1 - f), 1e-3)
                << "vertex " << k << " component " << c;
}

// Each test works in the process's folder with empty model and texture tables.
class ModelGl : public GlContextTest {
  protected:
    void SetUp() override {
        GlContextTest::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        enter_data_dir();
        reset_all();
    }
};
using ModelDeath = ModelGl;

}  // namespace

TEST_F(ModelGl, WrittenModelLoadsBack) {
    MdlModel m = numbered_model(6, 4);
    write_model("walker.mdl", m);
    load_model("walker.mdl");
    ASSERT_EQ(model_count, 1);
    const Model &model = model_table[0];
    EXPECT_EQ((std::vector<int>{model.vertex_count, model.triangle_count, model.frame_count}), (std::vector<int>{6, 4, 4}));
    int skin = find_model("WALKER.MDL") == 0 ? texture_find("walker.bmp", true) : -2;
    EXPECT_EQ(skin, 0);
    EXPECT_EQ(texture_count, 1);  // the skin was loaded once for all triangles
    for (int i = 0; i < 4; ++i) {
        const Face &f = model.faces[i];  // file order, not reversed
        EXPECT_EQ((std::vector<int>{f.a, f.b, f.c, f.texture}), (std::vector<int>{0, i + 1, i + 2, skin}));
    }
    for (int v = 0; v < 6; ++v) {
        EXPECT_FLOAT_EQ(model.vertices[v].u, float(v % 16) / 16.0f);
        EXPECT_FLOAT_EQ(model.vertices[v].v, 1.0f - float(v % 8) / 8.0f);
    }
    for (int f = 0; f < 4; ++f)
        for (int k = 0; k < 18; ++k) EXPECT_NEAR(model.frames[f * 18 + k], expected_frame(m, f)[k], 1e-4) << f << "/" << k;
    EXPECT_EQ(find_model("other.mdl"), -1);
}

// Sequences posed step by step on a fresh model: a one-frame range holds, a loop blends
// neighbouring frames and wraps (its last frame into its first), a switch blends one frame
// time from the current frame into the new range, towards a reversed range only into its
// first frame, and into the last frame holds it.
TEST_F(ModelGl, SequencesBlendLoopAndSwitch) {
    struct Step {
        float t;
        int first, last;
        float rate;
        int switching;
        float shown;  // < 0: not checked
        int from, to;  // < 0: the pose is not checked
        float f;
    };
    const struct {
        const char *what;
        int frames;
        std::vector<Step> steps;
    } cases[] = {
        // The shown frame keeps the fraction of the time, the pose holds frame 2.
        {"one frame holds", 6, {{0.05f, 2, 2, 10, 0, 2.5f, 2, 2, 0}, {12.9f, 2, 2, 10, 0, 2.0f, 2, 2, 0}}},
        // 4.15 s is frame 41.5 of 40: between 1 and 2.
        {"loop", 40, {{0.26f, 0, 39, 10, 0, 2.6f, 2, 3, 0.6f}, {4.15f, 0, 39, 10, 0, 1.5f, 1, 2, 0.5f},
                      {0.42f, 10, 14, 10, 0, 14.2f, 14, 10, 0.2f}}},
        // Frame 3.3 shows at 0.33 s; the switch at 1.0 s blends from frame 3 into frame 20 over
        // 0.1 s, then the nine-frame range plays from the switch's start time, not from time 0.
        {"switch", 30, {{0.33f, 0, 9, 10, 0, 3.3f, 3, 4, 0.3f}, {1.0f, 20, 28, 10, 1, 3.0f, 3, 20, 0},
                        {1.06f, 20, 28, 10, 1, 3.6f, 3, 20, 0.6f}, {1.125f, 20, 28, 10, 1, 20.25f, 20, 21, 0.25f},
                        {1.35f, 20, 28, 10, 1, 23.5f, 23, 24, 0.5f}}},
        // The intro turns its wolf with the range 204..203: only the switch blend runs.
        {"reversed range", 30, {{15, 23, 23, 1, 1, -1, -1, -1, 0}, {16.5f, 23, 23, 1, 1, -1, -1, -1, 0},
                                {16.9f, 23, 23, 1, 1, -1, -1, -1, 0}, {17, 24, 23, 1, 1, 23.0f, 23, 24, 0},
                                {17.5f, 24, 23, 1, 1, 23.5f, 23, 24, 0.5f}}},
        {"into the last frame", 8, {{0, 7, 7, 10, 1, -1, -1, -1, 0}, {0.14f, 7, 7, 10, 1, 7.4f, 7, 7, 0},
                                    {0.5f, 7, 7, 10, 1, 7.0f, 7, 7, 0}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        reset_all();
        MdlModel m = numbered_model(4, c.frames);
        write_model("seq.mdl", m);
        load_model("seq.mdl");
        Stage s(4, 2);
        s.mesh.pivot[1] = 5;  // posing resets the pivot
        for (const Step &step : c.steps) {
            float shown = pose_model("seq.mdl", s.mesh, s.vertices.data(), step.t, step.first, step.last, step.rate, 1,
                                     step.switching);
            EXPECT_TRUE(step.shown < 0 || std::fabs(shown - step.shown) < 1e-3) << step.t << ": " << shown;
            if (step.from >= 0) expect_blend(s, m, step.from, step.to, step.f);
        }
        EXPECT_FLOAT_EQ(s.mesh.pivot[1], 0.0f);
        EXPECT_EQ(s.mesh.face_count, 2);  // faces copied with copy_faces 1
        EXPECT_EQ(s.faces[1].b, 2);
    }
    reset_model_state();  // the next switch starts afresh
    EXPECT_EQ(model_table[0].animation.seq_last, 0);
    EXPECT_FLOAT_EQ(model_table[0].animation.start_time, 0.0f);
}

TEST_F(ModelGl, PathMovesAndTurnsTheModel) {
    // One frame; vertex 1 lies one unit along the model's forward (file x) axis from vertex 0.
    MdlModel m;
    m.skin_width = m.skin_height = 8;
    m.texcoords = {{0, 0, 0}, {0, 1, 1}, {0, 2, 2}, {0, 3, 3}};
    m.triangles = {{1, {0, 1, 2}}, {1, {0, 2, 3}}};
    m.frames = {{0, 0, 0, 2, 0, 0, 1, 1, 2, 1, -1, 2}};
    write_model("pathguy.mdl", m);
    load_model("pathguy.mdl");
    Stage s(4, 2);
    snprintf(s.mesh.name, sizeof s.mesh.name, "PathGuy.mdl");
    pose_model("pathguy.mdl", s.mesh, s.vertices.data(), 0, 0, 0, 10.0f, 1, 0);
    // Two keys, 2 s apart at rate 10; both look along the file's +y axis.
    ModelPathKey keys[2] = {{0.0f, {10.0f, 4.0f, 20.0f}, 10.0f, 120.0f, 0, 0, 10.0f, 2.0f},
                            {20.0f, {30.0f, 8.0f, 40.0f}, 30.0f, 140.0f, 0, 0, 10.0f, 2.0f}};
    s.mesh.model_path = keys, s.mesh.model_path_count = 2;
    const std::vector<float> frame = expected_frame(m, 0);
    const float lift = -15.0f + 2.0f * (frame[1] + frame[4] + frame[7] + frame[10]) / 4;  // 7.5 x scale down
    // Centre of the four vertices and the step from vertex 0 to 1 (the model's forward).
    auto expect_pose = [&](float x, float y, float z, float fx, float fz) {
        float centre[3] = {0, 0, 0};
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 3; ++c) centre[c] += s.vertices[k].position[c] / 4;
        EXPECT_NEAR(centre[0], x, 1e-3);
        EXPECT_NEAR(centre[1], y + lift, 1e-3);
        EXPECT_NEAR(centre[2], z, 1e-3);
        EXPECT_NEAR(s.vertices[1].position[0] - s.vertices[0].position[0], fx, 1e-4);
        EXPECT_NEAR(s.vertices[1].position[1] - s.vertices[0].position[1], 0.0f, 1e-4);
        EXPECT_NEAR(s.vertices[1].position[2] - s.vertices[0].position[2], fz, 1e-4);
    };
    // Halfway: (20, 6, 30) of the key space with z negated. Both keys look along file +y
    // (heading 0): the mesh turns by -pi/2 about y, carrying the model's file x (2 units,
    // scaled by 2) onto world +x.
    pose_model_on_path(s.mesh, s.vertices.data(), 1.0f, 10.0f);
    expect_pose(20, 6, -30, 4, 0);
    // Past the last key the model stands at that key, facing by that key alone; a target
    // along file +x gives heading pi/2 and so no turn at all.
    keys[1].target_x = 50.0f;
    keys[1].target_y = 40.0f;
    pose_model_on_path(s.mesh, s.vertices.data(), 3.0f, 10.0f);
    expect_pose(30, 8, -40, 0, 4);
    // Without a frame rate every key sits at time 0: the last key holds, nothing divides by zero.
    pose_model_on_path(s.mesh, s.vertices.data(), 1.0f, 0.0f);
    expect_pose(30, 8, -40, 0, 4);
}

TEST_F(ModelDeath, MissingModelsFramesBeyondTheModelAndAFullTableAreFatal) {
    MdlModel m = numbered_model(4, 5);
    m.triangles.clear();
    ASSERT_TRUE(write_file("bare.mdl", mdl_encode(m)));
    Stage s(4, 4);
    const struct {
        int first, last, switching;
        const char *message;
    } poses[] = {
        {0, 5, 0, "^model bare\\.mdl has no frame 5 \\(it has 5 frames\\)!"},
        {-1, 2, 1, "^model bare\\.mdl has no frame -1"},
        {3, 2, 0, "^model bare\\.mdl has an empty frame range 3 to 2!"},
    };
    load_model("bare.mdl");
    for (const auto &c : poses)
        EXPECT_EXIT(pose_model("bare.mdl", s.mesh, s.vertices.data(), 0, c.first, c.last, 10, 0, c.switching),
                    ::testing::ExitedWithCode(1), c.message);
    EXPECT_EXIT(pose_model("ghost.mdl", s.mesh, s.vertices.data(), 0, 0, 0, 10, 0, 0), ::testing::ExitedWithCode(1),
                "^Model ghost\\.mdl not found!");
    EXPECT_EXIT(load_model("missing.mdl"), ::testing::ExitedWithCode(1), "^Couldn't open missing\\.mdl!");
    MdlModel largest = numbered_model(MAX_WORKING_VERTICES, 1);  // the most vertices a scene holds
    largest.triangles.clear();
    ASSERT_TRUE(write_file("largest.mdl", mdl_encode(largest)));
    load_model("largest.mdl");
    EXPECT_EQ(model_table[1].vertex_count, MAX_WORKING_VERTICES);
    load_model("bare.mdl");  // the third and last model fits
    EXPECT_EXIT(load_model("bare.mdl"), ::testing::ExitedWithCode(1),
                "^too many models loading bare\\.mdl \\(at most 3\\)!");
}

TEST_F(ModelDeath, MalformedFilesAreRefusedBeforeReading) {
    MdlModel m = numbered_model(5, 3);
    const std::vector<uint8_t> good = mdl_encode(m);
    auto expect_refused = [&](std::vector<uint8_t> bytes, const std::string &pattern) {
        ASSERT_TRUE(write_file("bad.mdl", bytes));
        EXPECT_EXIT(load_model("bad.mdl"), ::testing::ExitedWithCode(1), "^model bad\\.mdl " + pattern) << pattern;
    };
    // Cut in the header, the skin, the texture coordinates, the triangles and the last frame.
    size_t skin_end = 84 + 4 + 16 * 8, tex_end = skin_end + 5 * 12, tri_end = tex_end + 3 * 16;
    for (size_t keep : {size_t(40), size_t(100), skin_end + 7, tex_end + 5, tri_end + 30, good.size() - 1}) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + keep);
        expect_refused(cut, "is truncated \\(needs [0-9]+ bytes, has " + std::to_string(keep) + "\\)!");
    }
    const struct {
        size_t at;
        int32_t value;
        const char *message;
    } fields[] = {
        {68, 0, "has a frame count of 0, must be 1 to"},
        {60, MAX_WORKING_VERTICES + 1, "has a vertex count of 20001, must be 1 to 20000!"},
        {60, 0, "has a vertex count of 0, must be 1 to 20000!"},
        {64, -1, "has a triangle count of -1"},
        {68, 0x7fffffff, "is truncated \\(needs [0-9]+ bytes"},
        {52, 0x7fffffff, "is truncated \\(needs [0-9]+ bytes"},  // skin width x height overflows
        {tex_end + 16 + 8, 5, "has triangle 1 with vertex index 5 beyond its 5 vertices!"},
        {tex_end + 12, -3, "has triangle 0 with vertex index -3 beyond its 5 vertices!"},
        {84, 1, "has a skin group \\(skin 0\\); only single skins are read!"},
        {tri_end + (28 + 5 * 4) * 2, 1, "has a frame group \\(frame 2\\); only simple frames are read!"},
    };
    for (const auto &c : fields) {
        std::vector<uint8_t> bad = good;
        put_le(bad, c.at, uint32_t(c.value));
        if (c.at == 52) put_le(bad, 56, 0x7fffffff);
        expect_refused(bad, c.message);
    }
}
