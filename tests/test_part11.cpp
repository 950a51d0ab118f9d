// test_part11.cpp: the sofa room: load and log, the wolf's windows, the lamp, the spotlight, the television.
#include <gtest/gtest.h>

#include <cmath>

#include "parts/parts.h"
#include "render/clock.h"
#include "support/part_content.h"
#include "support/part_files.h"
#include "writers/bmp_writer.h"
#include "writers/writer_3ds.h"

namespace {

const Mesh &mesh_named(const Scene &scene, const char *name) { return scene.meshes[find_mesh(scene, name)]; }

// Positions and normals of a mesh's vertices, to compare poses.
std::vector<float> snapshot(const Scene &scene, const char *name) {
    const Mesh &mesh = mesh_named(scene, name);
    std::vector<float> out;
    for (int k = 0; k < mesh.vertex_count; k++) {
        const Vertex &v = scene.vertices[mesh.first_vertex + k];
        out.insert(out.end(), v.position, v.position + 3);
        out.insert(out.end(), v.normal, v.normal + 3);
    }
    return out;
}

// Height, width, middle height and middle x of the television picture (its four corners).
std::vector<float> screen_extent(const Scene &scene) {
    const Vertex *c = scene.vertices + mesh_named(scene, "screen").first_vertex;
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};  // y, x
    for (int k = 0; k < 4; k++)
        for (int i = 0; i < 2; i++) lo[i] = std::fmin(lo[i], c[k].position[1 - i]), hi[i] = std::fmax(hi[i], c[k].position[1 - i]);
    return {hi[0] - lo[0], hi[1] - lo[1], (lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2};
}

}  // namespace

class SofaTest : public PartTest {
protected:
    Scene *scene = nullptr;
    void SetUp() override {
        PartTest::SetUp();
        frame_time = 0;
        write_part_content({generate_characters, generate_part11}, {"wolfguy.mdl"}, part11_load);
        scene = part11_scene();
    }
};

TEST_F(SofaTest, LoadsTheRoomAndLogsItsCounts) {
    EXPECT_EQ(logged_counts(), (std::vector<int>{scene->mesh_count, scene->vertex_count, face_total(*scene), scene->light_count,
                                                 scene->mesh_count - 1 /* all but the wolf */, scene->camera_key_count}));
    EXPECT_EQ(scene->active_lights[0], 2);
    // The rest copies of the lamp are never drawn.
    for (const char *rest : {"lamp04", "lamp05", "lamp06"}) EXPECT_EQ(mesh_named(*scene, rest).faces[0].alpha, 0);
    // The shade's greys lie in 0.3 .. 0.79 once drawn.
    const Mesh &shade = mesh_named(*scene, "lamp02");
    for (int k = 0; k < shade.vertex_count; k++) {
        float g = scene->vertices[shade.first_vertex + k].light[0] + 1;
        EXPECT_TRUE(g >= 0.3f - 1e-6f && g <= 0.79f + 1e-6f) << g;
    }
}

TEST_F(SofaTest, TheWolfKeepsItsPoseOutsideItsWindowsAndStandsWhereTheyPutIt) {
    part11_animate(13.9f);
    std::vector<float> hit = snapshot(*scene, "wolfguy.mdl");
    part11_animate(14.2f);
    EXPECT_EQ(snapshot(*scene, "wolfguy.mdl"), hit) << "re-posed between 14 and 14.5";
    part11_animate(14.6f);
    EXPECT_NE(snapshot(*scene, "wolfguy.mdl"), hit);
    part11_animate(19.9f);
    std::vector<float> lying = snapshot(*scene, "wolfguy.mdl");
    for (float t : {20.0f, 22.0f, 26.5f}) {
        part11_animate(t);
        EXPECT_EQ(snapshot(*scene, "wolfguy.mdl"), lying) << t;
    }
    // It stands on the floor where its windows put it.
    const float stands[][3] = {{1, 0, -100}, {12.5f, -45, -162.5f}, {13.5f, -90, -185}};  // t, x, z
    for (const auto &c : stands) {
        part11_animate(c[0]);
        const Mesh &wolf = mesh_named(*scene, "wolfguy.mdl");
        float lowest = 1e9f, sx = 0, sz = 0;
        for (int k = 0; k < wolf.vertex_count; k++) {
            const float *p = scene->vertices[wolf.first_vertex + k].position;
            lowest = std::fmin(lowest, p[1]);
            sx += p[0], sz += p[2];
        }
        EXPECT_NEAR(lowest, -20, 2.0f) << c[0];
        // The body's middle stays within a body width of where it stands.
        EXPECT_NEAR(sx / wolf.vertex_count, c[1], 40) << c[0];
        EXPECT_NEAR(sz / wolf.vertex_count, c[2], 40) << c[0];
    }
}

TEST_F(SofaTest, TheLampSwingsFromItsRestPoseWithoutDrift) {
    std::vector<float> rest = snapshot(*scene, "lamp04");
    part11_animate(12.9f);
    EXPECT_EQ(snapshot(*scene, "lamp01"), rest) << "hangs still before the wolf hits it";

    part11_animate(13.6f);
    std::vector<float> first = snapshot(*scene, "lamp01");
    EXPECT_NE(first, rest);
    // Each vertex keeps its distance from the suspension point (-96, 300, -235).
    auto reach = [](const float *p) { return std::hypot(p[0] + 96, p[1] - 300, p[2] + 235); };
    for (size_t k = 0; k < rest.size(); k += 6) EXPECT_NEAR(reach(&rest[k]), reach(&first[k]), 1e-3f) << k;
    std::vector<float> bulb = snapshot(*scene, "lamp03");
    for (int frame = 0; frame < 2000; frame++) part11_animate(13.6f + frame * 0.0031f);
    part11_animate(13.6f);
    EXPECT_EQ(snapshot(*scene, "lamp01"), first);
    EXPECT_EQ(snapshot(*scene, "lamp03"), bulb);
    EXPECT_EQ(snapshot(*scene, "lamp04"), rest);

    // Once set, the swing goes on even when the time goes back.
    part11_animate(10);
    EXPECT_NE(snapshot(*scene, "lamp01"), rest);
}

TEST_F(SofaTest, TheSpotlightSitsAtTheBulbAndShinesAwayFromTheSuspension) {
    for (float t : {1.0f, 13.4f, 15.0f}) {
        part11_animate(t);
        const Mesh &bulb = mesh_named(*scene, "lamp03");
        const float *at = scene->vertices[bulb.first_vertex].position;
        const Light &spot = scene->lights[0];
        for (int c = 0; c < 3; c++)
            EXPECT_TRUE(spot.position[c] == at[c] && spot.spot_direction[c] == bulb.pivot[c] - at[c]) << t << " " << c;
        // The bulb hangs below its suspension point: the cone lights what is under the lamp.
        EXPECT_GT(spot.spot_direction[1], 100) << t;
    }
}

TEST_F(SofaTest, TheTelevisionFlickersCollapsesAndGoesDark) {
    part11_animate(1);
    const Vertex *c = scene->vertices + mesh_named(*scene, "screen").first_vertex;
    EXPECT_TRUE(c[0].u >= 0 && c[0].u < 1) << c[0].u;
    EXPECT_FLOAT_EQ(c[1].u, c[0].u + 1);
    EXPECT_FLOAT_EQ(c[2].v, c[0].v + 1);
    EXPECT_FLOAT_EQ(c[3].u, c[0].u);
    const float u = c[0].u, v = c[0].v;
    for (int frame = 0; frame < 5 && c[0].u == u && c[0].v == v; frame++) part11_animate(1);
    EXPECT_TRUE(c[0].u != u || c[0].v != v) << "the static stands still";
    for (float t : {1.0f, 6.99f, 7.0f, 12.0f}) {
        part11_animate(t);
        EXPECT_EQ(mesh_named(*scene, "screen").face_count, t < 7 ? 2 : 0) << t;
    }
}

TEST_F(SofaTest, TheCollapseShrinksOncePerFrameAndNeverTurnsThePictureOver) {
    const std::vector<float> start = screen_extent(*scene);
    const struct {
        float frame_seconds, t;
        float height_ratio, width_ratio;  // of the picture after one frame
    } cases[] = {
        {0.1f, 4.9f, 1, 1},    // still flickering
        {0.1f, 5.0f, 0.5f, 1},  // shrinks towards its middle line
        {0.02f, 5.5f, 0.9f, 0.94f},
        {0.1f, 6.5f, 1, 0.7f},  // only sideways after 6 s
        {0.5f, 5.5f, 0, 0},    // a long frame closes it: no mirrored, bigger picture
        {0.0f, 5.2f, 0.5f, 1},  // no frame measured yet: a tenth of a second
    };
    for (const auto &k : cases) {
        part11_load();
        scene = part11_scene();
        frame_time = k.frame_seconds;
        part11_animate(k.t);
        std::vector<float> now = screen_extent(*scene);
        SCOPED_TRACE(testing::Message() << k.frame_seconds << " s frame at " << k.t);
        EXPECT_NEAR(now[0], start[0] * k.height_ratio, 1e-3f);
        EXPECT_NEAR(now[1], start[1] * k.width_ratio, 1e-3f);
        // It shrinks towards its middle lines.
        EXPECT_TRUE(k.height_ratio == 1 || std::fabs(now[2] - 115) < 1e-3f) << now[2];
        EXPECT_TRUE(k.width_ratio == 1 || std::fabs(now[3] + 15) < 1e-3f) << now[3];
    }
}

// A room whose lamp has a rest copy of another shape: the per-frame copy would not fit.
TEST_F(PartTest, ALampWhoseRestCopyDiffersStopsNamingIt) {
    write_part_content({generate_characters, generate_part11}, {"wolfguy.mdl"});
    Scene3ds scene;
    for (const char *name : {"moon", "screen", "lamp01", "lamp02", "lamp03", "lamp04", "lamp05", "lamp06"}) {
        Mesh3ds mesh;
        mesh.name = name;
        const float square[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};  // the rest copy "lamp04" a corner short
        for (int k = 0; k < (std::string(name) == "lamp04" ? 3 : 4); k++) mesh.add_vertex(square[k][0], 0, square[k][1], 0, 0);
        mesh.add_face(0, 1, 2);
        scene.meshes.push_back(mesh);
        scene.add_static_node(name);
    }
    scene.lights.resize(2);
    ASSERT_TRUE(write_file("sofa.3ds", encode_3ds(scene)));
    EXPECT_EXIT(part11_load(), ::testing::ExitedWithCode(1), "lamp04");
}
