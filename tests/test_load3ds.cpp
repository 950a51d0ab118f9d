// test_load3ds.cpp: the .3ds loader against files from the .3ds writer: round trips, key
// merging and cuts, object space, the loader's quirks, capacities and malformed files, and an
// independent reader agreeing on what the writer wrote.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/load3ds.h"
#include "support/gl_context.h"
#include "support/scratch_dir.h"
#include "texture/texture.h"
#include "writers/bmp_writer.h"
#include "writers/writer_3ds.h"

namespace {

// The arrays a demo part gives the loader, initialised as the parts do.
struct Loaded {
    std::vector<Mesh> meshes;
    std::vector<Face> faces;
    std::vector<Vertex> vertices;
    std::vector<Light> lights;
    std::vector<CameraKey> camera_keys;
    std::vector<ObjectKey> object_keys;
    std::vector<ModelPathKey> model_path;
    Camera camera{};
    Scene scene{};
    LoadSummary summary{};
    const Vertex &vertex(int mesh, int i) const { return vertices[size_t(meshes[size_t(mesh)].first_vertex + i)]; }
};

template <typename T>
void fresh(std::vector<T> &v, int n, void (*init)(T &) = nullptr) {
    v.assign(size_t(n), T{});
    for (T &x : v)
        if (init) init(x);
}

Load3dsCapacity roomy() { return Load3dsCapacity{50, 500, 500, 20, 60, 200, 40}; }

// Load `file` into fresh arrays of the given capacities (no model path table for a capacity of 0).
void load_into(Loaded &r, const char *file, const Load3dsCapacity &cap, float play_time = 10.0f) {
    fresh(r.meshes, cap.meshes, init_mesh);
    fresh(r.faces, cap.faces, init_face);
    fresh(r.vertices, cap.vertices, init_vertex);
    fresh(r.lights, cap.lights, init_light);
    fresh<CameraKey>(r.camera_keys, cap.camera_keys);
    fresh<ObjectKey>(r.object_keys, cap.object_keys);
    fresh<ModelPathKey>(r.model_path, cap.model_path_keys, [](ModelPathKey &k) {
        k.first_frame = 7, k.last_frame = 9, k.fps = 5.0f, k.scale = 2.0f;
    });
    init_camera(r.camera);
    init_scene(r.scene);
    LoadSummary *s = load_3ds(file, r.scene, r.meshes.data(), r.faces.data(), r.vertices.data(), r.lights.data(),
                              &r.camera, r.camera_keys.data(), r.object_keys.data(),
                              cap.model_path_keys ? r.model_path.data() : nullptr, play_time, cap);
    r.summary = *s;
    delete s;
}

void write(const char *file, const Scene3ds &s) { ASSERT_TRUE(write_file(file, encode_3ds(s))); }
void write(const char *file, const ChunkWriter &w) { ASSERT_TRUE(write_file(file, w.bytes)); }

void expect3(const float *got, float x, float y, float z, const char *what) {
    EXPECT_FLOAT_EQ(got[0], x) << what;
    EXPECT_FLOAT_EQ(got[1], y) << what;
    EXPECT_FLOAT_EQ(got[2], z) << what;
}

// A quad of two faces in the z = 1 plane with mappings.
Mesh3ds quad(const std::string &name, float x0) {
    Mesh3ds m;
    m.name = name;
    m.add_vertex(x0, 0, 1, 0, 0);
    m.add_vertex(x0 + 1, 0, 1, 1, 0);
    m.add_vertex(x0 + 1, 1, 1, 1, 1);
    m.add_vertex(x0, 1, 1, 0, 1);
    m.add_face(0, 1, 2);
    m.add_face(0, 2, 3);
    return m;
}

Material3ds material(const std::string &name, float r = 1, float g = 1, float b = 1) {
    Material3ds m;
    m.name = name, m.diffuse[0] = r, m.diffuse[1] = g, m.diffuse[2] = b;
    return m;
}

Scene3ds one_quad(const Mesh3ds &m) {
    Scene3ds s;
    s.meshes.push_back(m);
    return s;
}

CameraNode3ds camera_node(const std::string &name, std::vector<uint32_t> frames, float base) {
    CameraNode3ds c;
    c.name = name;
    for (uint32_t f : frames) {
        c.position.push_back(key3ds_position(f, base + float(f), 2, 3));
        c.target.push_back(key3ds_position(f, 10, base + float(f), 30));
    }
    return c;
}

class Load3dsTest : public GlContextTest {
protected:
    ScratchDir dir;
    void SetUp() override {
        GlContextTest::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_FALSE(dir.path.empty());
    }
};
using Load3dsGl = Load3dsTest;

}  // namespace

// Meshes, faces (reversed winding), mappings, materials, lights and camera come back as written.
// Map file names become textures through the registry; the last map of a material decides.
TEST_F(Load3dsGl, RoundTripsGeometryMaterialsLightsAndCamera) {
    ASSERT_TRUE(write_file("wall.bmp", bmp_encode_24(Picture(8, 8))));
    ASSERT_TRUE(write_file("bump.bmp", bmp_encode_24(Picture(8, 8))));
    Material3ds glass = material("glass", 0.2f, 0.4f, 0.6f), wall = material("wall"), both = wall;
    glass.transparency = 40, glass.reflection = 30, glass.diffuse_as_bytes = true;
    wall.texture = "WALL.BMP";
    both.name = "both", both.texture = "wall.bmp", both.bump = "bump.bmp";
    Scene3ds s;  // a later material of one name wins
    s.materials = {material("Red", 0, 1, 0), glass, material("RED", 1, 0, 0), wall, both};
    Mesh3ds a = quad("floor", 0), t = quad("tex", 0);
    a.set_material("red", 0, 1);  // looked up ignoring case
    a.set_material("glass", 1, 1);
    t.set_material("wall", 0, 1);
    t.set_material("both", 1, 1);
    s.meshes = {a, quad("wall", 5), t};
    s.lights = {Light3ds{"sun", {1, 2, 3}, true, {0.5f, 0.25f, 1}}, Light3ds{"spot", {0, 0, 0}, false, {1, 1, 1}, true}};
    s.cameras = {Camera3ds{"cam", {1, -10, 2}, {4, 0, 2}, 0, 60}};
    s.end_frame = 250;
    write("scene.3ds", s);
    Loaded r;
    Load3dsCapacity no_path = roomy();
    no_path.model_path_keys = 0;  // no model path table
    load_into(r, "scene.3ds", no_path, 25.0f);
    const LoadSummary &n = r.summary;
    EXPECT_EQ((std::vector<int>{n.mesh_count, n.face_count, n.vertex_count, n.light_count}), (std::vector<int>{3, 6, 12, 2}));
    EXPECT_EQ(n.model_path_key_count, -1);
    EXPECT_EQ(r.scene.mesh_count, 3);
    EXPECT_FLOAT_EQ(r.scene.frame_rate, 10.0f);
    EXPECT_STREQ(r.meshes[1].name, "wall");
    EXPECT_EQ(std::make_pair(r.meshes[1].first_vertex, r.meshes[1].key_count), std::make_pair(4, -1));
    EXPECT_EQ(r.meshes[1].faces, r.faces.data() + 2);
    const Face &f = r.meshes[0].faces[1];  // (0, 2, 3) is stored as a = 0, b = 3, c = 2
    EXPECT_EQ((std::vector<int>{f.a, f.b, f.c}), (std::vector<int>{0, 3, 2}));
    // Unnamed meshes keep the file's coordinates (identity matrix, no node).
    expect3(r.vertex(1, 2).position, 6, 1, 1, "vertex");
    EXPECT_FLOAT_EQ(r.vertex(1, 3).v, 1.0f);
    expect3(r.faces[0].color, 1, 0, 0, "red");
    EXPECT_EQ(r.faces[0].texture, -1);
    expect3(r.faces[1].color, 51 / 255.0f, 102 / 255.0f, 153 / 255.0f, "byte colour");
    EXPECT_FLOAT_EQ(r.faces[1].alpha, 0.6f);
    expect3(r.faces[2].color, 1, 1, 1, "no material");
    EXPECT_FLOAT_EQ(r.faces[2].alpha, 1.0f);
    expect3(r.lights[0].position, 1, 3, -2, "light (x, z, -y)");
    expect3(r.lights[0].color, 0.5f, 0.25f, 1, "light colour");
    expect3(r.lights[1].color, 1, 1, 1, "default light colour");
    EXPECT_EQ(r.lights[1].spot, 0);  // spot data is read and dropped
    expect3(r.camera.position, 1, -10, 2, "camera");
    expect3(r.camera.direction, 3, 10, 0, "camera direction");
    EXPECT_FLOAT_EQ(r.camera.fov, 60.0f);
    int wall_index = texture_find("wall.bmp", true), bump_index = texture_find("bump.bmp", true);
    EXPECT_GE(wall_index, 0);
    EXPECT_NE(wall_index, bump_index);
    EXPECT_EQ(r.faces[4].texture, wall_index);
    EXPECT_EQ(r.faces[5].texture, bump_index);
}

// The matrix moves world vertices back into object space; no matrix collapses to the origin.
// A mesh with one key is posed once at load into the Y-up frame; its key count becomes -1.
// Names are cut to 63 characters and a node finds its mesh by the cut name.
TEST_F(Load3dsTest, ObjectSpaceAndSingleKeyPose) {
    Mesh3ds m, posed, still;
    m.name = "turned";
    const float M[9] = {0, -1, 0, 1, 0, 0, 0, 0, 2}, T[3] = {10, 20, 30};
    const float local[2][3] = {{1, 2, 3}, {-4, 0.5f, 1}};
    for (const auto &p : local)
        m.add_vertex(M[0] * p[0] + M[1] * p[1] + M[2] * p[2] + T[0], M[3] * p[0] + M[4] * p[1] + M[5] * p[2] + T[1],
                     M[6] * p[0] + M[7] * p[1] + M[8] * p[2] + T[2]);
    memcpy(m.matrix, M, sizeof M);
    memcpy(m.translation, T, sizeof T);
    const std::string long_name(100, 'x');
    posed.name = long_name;
    posed.add_vertex(1, 2, 3);
    still.name = "still";
    still.add_vertex(1, 2, 3);
    Scene3ds s;
    s.meshes = {m, quad("loose", 3), posed, still};
    s.meshes[1].has_matrix = false;
    s.add_static_node(long_name).position[0] = key3ds_position(0, 5, 0, 0);
    write("o.3ds", s);
    Loaded r;
    load_into(r, "o.3ds", roomy());
    for (int i = 0; i < 2; i++)
        for (int k = 0; k < 3; k++) EXPECT_NEAR(r.vertex(0, i).position[k], local[i][k], 1e-5) << i << k;
    for (int i = 0; i < 4; i++) expect3(r.vertex(1, i).position, 0, 0, 0, "no matrix");
    EXPECT_EQ(strlen(r.meshes[2].name), 63u);
    EXPECT_EQ(r.meshes[2].key_count, -1);
    EXPECT_EQ(r.meshes[2].first_key, 0);
    expect3(r.vertex(2, 0).position, 6, 3, -2, "posed (x, z, -y)");
    // A mesh that no node names stays in object space with the file's axes.
    EXPECT_EQ(r.meshes[3].first_key, -1);
    expect3(r.vertex(3, 0).position, 1, 2, 3, "unposed");
}

// Tracks are merged into one key per frame, sorted, with running values for missing tracks;
// dummy nodes add their keys to the table (never merged) but belong to no mesh.
TEST_F(Load3dsTest, ObjectKeysMergeByFrameWithRunningValues) {
    Scene3ds s = one_quad(quad("first", 0));
    s.meshes.push_back(quad("anim", 0));
    s.add_static_node("first");
    ObjectNode3ds n{"anim", "", -1, true, {1, 2, 3}, {key3ds_position(10, 1, 2, 3), key3ds_position(0, 4, 5, 6)}, {}, {}};
    n.position[0].spline_flags = 0x1f;  // tension .. ease from, read and dropped
    n.position[0].spline[0] = 0.5f;
    n.rotation = {key3ds_rotation(5, 0.5f, 0, 0, 1)};
    n.rotation[0].spline_flags = 0x8001;
    n.scale = {key3ds_scale(0, 3, 4, 5)};
    s.object_nodes.push_back(n);
    s.object_nodes.push_back({"$$$DUMMY", "helper", -1, true, {0, 0, 0}, {key3ds_position(0, 1, 1, 1)},
                              {key3ds_rotation(0, 1, 0, 0, 1)}, {}});
    write("merge.3ds", s);
    Loaded r;
    load_into(r, "merge.3ds", roomy());
    ASSERT_EQ(r.summary.object_key_count, 6);
    const Mesh &anim = r.meshes[1];
    EXPECT_EQ(anim.first_key, 1);
    EXPECT_EQ(anim.key_count, 3);
    expect3(anim.pivot, 1, 2, 3, "pivot");
    // frame, position (in the file's axes), angle (running rotation starts at 0): missing
    // tracks carry on.
    const float want[3][5] = {{0, 4, 5, 6, 0}, {5, 4, 5, 6, 0.5f}, {10, 1, 2, 3, 0.5f}};
    for (int i = 0; i < 3; i++) {
        const ObjectKey &k = r.object_keys[size_t(1 + i)];
        EXPECT_FLOAT_EQ(k.frame, want[i][0]) << i;
        expect3(k.position, want[i][1], want[i][2], want[i][3], "position");
        EXPECT_FLOAT_EQ(k.angle, want[i][4]) << i;
        expect3(k.scale, 3, 4, 5, "scale");
    }
    EXPECT_FLOAT_EQ(r.object_keys[5].angle, 1.0f);  // the dummy's key
    EXPECT_EQ(r.meshes[0].key_count, -1);
    // Several keys: the mesh keeps its object-space vertices for the renderer.
    EXPECT_FLOAT_EQ(r.vertex(1, 0).position[2], 1.0f);
}

// Camera keys: (x, z, y) positions and targets merged by frame, FOV in degrees, roll in radians.
// A second camera follows the first, shifted by its last frame: the join is a cut, and the
// offset is reset by every load. QuakeCam nodes fill the model path table instead.
TEST_F(Load3dsTest, CameraTracksMergeJoinAndFeedModelPaths) {
    // name, position, fov, roll, has_target, target
    CameraNode3ds c{"Camera01", {key3ds_position(0, 1, 2, 3), key3ds_position(20, 4, 5, 6)}, {key3ds_value(0, 45)},
                    {key3ds_value(20, 90)}, true, {key3ds_position(0, 7, 8, 9), key3ds_position(10, 1, 2, 3)}};
    CameraNode3ds q{"quakecam", {key3ds_position(10, 1, 2, 3), key3ds_position(0, 4, 5, 6)}, {key3ds_value(0, 33)},
                    {key3ds_value(0, 10)}, true, {key3ds_position(10, 7, 8, 9), key3ds_position(20, 1, 1, 1)}};
    Scene3ds s;
    s.camera_nodes = {c, camera_node("two", {0, 30}, 200), q};
    write("c.3ds", s);
    for (int pass = 0; pass < 2; pass++) {
        Loaded r;
        load_into(r, "c.3ds", roomy());
        ASSERT_EQ(r.scene.camera_key_count, 5);
        const float want[5][7] = {{0, 1, 3, 2, 7, 9, 8},
                                  {10, 1, 3, 2, 1, 3, 2},  // running position
                                  {20, 4, 6, 5, 1, 3, 2},  // running target
                                  {20, 200, 3, 2, 10, 30, 200},
                                  {50, 230, 3, 2, 10, 30, 230}};
        for (int i = 0; i < 5; i++) {
            const CameraKey &k = r.camera_keys[size_t(i)];
            EXPECT_FLOAT_EQ(k.frame, want[i][0]) << i;
            expect3(k.position, want[i][1], want[i][2], want[i][3], "position");
            expect3(k.target, want[i][4], want[i][5], want[i][6], "target");
        }
        EXPECT_FLOAT_EQ(r.camera_keys[2].fov, 45.0f);
        EXPECT_NEAR(r.camera_keys[2].roll, 3.14159265f / 2, 1e-6);
        EXPECT_NE(r.camera_keys[4].fov, 33.0f);  // the QuakeCam's FOV did not reach the camera
        ASSERT_EQ(r.summary.model_path_key_count, 3);
        const ModelPathKey *k = r.model_path.data();  // in file order, completed in frame order
        EXPECT_EQ((std::vector<float>{k[0].frame, k[1].frame, k[2].frame}), (std::vector<float>{10, 0, 20}));
        expect3(k[1].position, 4, 6, 5, "path (x, z, y)");
        EXPECT_FLOAT_EQ(k[1].target_x, 0.0f);  // no target yet at frame 0
        EXPECT_FLOAT_EQ(k[0].target_x, 7.0f);
        EXPECT_FLOAT_EQ(k[0].target_y, 8.0f);
        EXPECT_FLOAT_EQ(k[2].position[2], 2.0f);
        EXPECT_EQ(k[2].first_frame, 7);  // left as the caller set it
    }
}

// Unknown chunks are skipped at any depth; a chunk of length 0 ends the walk of its level and
// the level above goes on. Counts that do not fit in their chunk end it as a short read does.
TEST_F(Load3dsTest, UnknownZeroLengthAndOverlongChunks) {
    auto unknown_chunk = [](ChunkWriter &w) {  // data that looks like a mesh chunk
        w.begin(0x1234), w.begin(C3DS_TRIMESH), w.begin(C3DS_VERTICES);
        w.u16(1), w.f32(1), w.f32(2), w.f32(3);
        w.end(), w.end(), w.end();
    };
    // An object holding one triangle; `mappings` and `faces` are the counts written.
    auto mesh_chunk = [&](ChunkWriter &w, const char *name, bool unknown, uint16_t mappings, uint16_t faces) {
        w.begin(C3DS_OBJECT), w.text(name), w.begin(C3DS_TRIMESH);
        if (unknown) unknown_chunk(w);
        const float p[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
        w.begin(C3DS_VERTICES), w.u16(3), w.floats(p, 9), w.end();
        if (mappings) w.begin(C3DS_MAPPINGS), w.u16(mappings), w.f32(0.5f), w.f32(0.5f), w.end();
        w.begin(C3DS_FACES), w.u16(faces), w.u16(0), w.u16(1), w.u16(2), w.u16(0);
        if (unknown) unknown_chunk(w);
        if (faces > 1) w.begin(C3DS_FACE_MATERIAL), w.text("nowhere"), w.end();  // not walked: the list ended early
        w.end(), w.end(), w.end();
    };
    ChunkWriter w;
    w.begin(C3DS_MAIN);
    unknown_chunk(w);
    w.begin(C3DS_EDITOR);
    unknown_chunk(w);
    mesh_chunk(w, "tri", true, 0, 1);
    w.u16(0x4000), w.u32(0);  // length 0
    mesh_chunk(w, "after", false, 0, 1);
    w.end();
    w.begin(C3DS_KEYFRAMER);
    unknown_chunk(w);
    w.begin(C3DS_KF_FRAMES), w.u32(0), w.u32(50), w.end();
    w.end(), w.end();
    write("u.3ds", w);
    Loaded r;
    load_into(r, "u.3ds", roomy());
    ASSERT_EQ(r.summary.mesh_count, 1);
    EXPECT_STREQ(r.meshes[0].name, "tri");
    EXPECT_EQ(r.summary.vertex_count, 3);
    EXPECT_EQ(r.summary.face_count, 1);
    EXPECT_FLOAT_EQ(r.scene.frame_rate, 5.0f);

    ChunkWriter s;  // 3 mappings with room for one pair, 40000 faces with room for one
    s.begin(C3DS_MAIN), s.begin(C3DS_EDITOR);
    mesh_chunk(s, "short", false, 3, 40000);
    s.end();
    s.begin(C3DS_KEYFRAMER), s.begin(C3DS_OBJECT_NODE);
    s.begin(C3DS_NODE_HEADER), s.text("short"), s.u16(0), s.u16(0), s.u16(0xffff), s.end();
    s.begin(C3DS_POSITION_TRACK);
    s.u16(0), s.u32(0), s.u32(0), s.u32(5000);  // 5000 keys announced, one present
    s.u32(0), s.u16(0), s.f32(1), s.f32(2), s.f32(3);
    s.end(), s.end(), s.end(), s.end();
    write("s.3ds", s);
    Loaded q;
    load_into(q, "s.3ds", roomy());
    EXPECT_EQ(q.summary.vertex_count, 3);
    EXPECT_EQ(q.summary.face_count, 0);
    EXPECT_EQ(q.summary.object_key_count, 0);
    EXPECT_EQ(q.meshes[0].key_count, -1);
    EXPECT_FLOAT_EQ(q.vertices[0].u, 0.0f);
}

// Bad input: every refusal exits with its message, naming the file where the format allows;
// each of the caller's arrays and the loader's own tables take exactly their capacity.
TEST_F(Load3dsTest, BadFilesAndFullArraysAreFatal) {
    auto file = [](const char *name, void (*change)(Scene3ds &)) {  // a change to one quad "q"
        Scene3ds s = one_quad(quad("q", 0));
        change(s);
        write(name, s);
    };
    file("Index.3ds", [](Scene3ds &s) { s.meshes[0].faces[4] = 4; });  // one past the four vertices
    file("map.3ds", [](Scene3ds &s) { s.meshes[0].mappings.insert(s.meshes[0].mappings.end(), {0, 0}); });
    file("flat.3ds", [](Scene3ds &s) { s.meshes[0].matrix[8] = 0; });
    file("mat.3ds", [](Scene3ds &s) { s.meshes[0].set_material("shared", 0, 1); });
    file("shared.3ds", [](Scene3ds &s) { s.materials.push_back(material("shared", 1, 0, 0)); });
    file("face.3ds", [](Scene3ds &s) {
        s.meshes[0].materials.push_back(FaceGroup3ds{"red", {0, 2}});
        s.materials.push_back(material("red", 1, 0, 0));
    });
    file("start.3ds", [](Scene3ds &s) { s.start_frame = 5; });
    file("late.3ds", [](Scene3ds &s) {
        ObjectNode3ds &n = s.add_static_node("q");
        n.position[0].frame = n.rotation[0].frame = n.scale[0].frame = 10;
    });
    file("case.3ds", [](Scene3ds &s) { s.meshes[0].name = "Box", s.add_static_node("box"); });
    file("quake.3ds", [](Scene3ds &s) { s.camera_nodes.push_back(camera_node("QuakeCam", {0}, 0)); });
    Mesh3ds m99 = quad("q", 0);
    m99.set_material("m99", 0, 2);
    Scene3ds materials = one_quad(m99);
    for (int i = 0; i < 101; i++) materials.materials.push_back(material("m" + std::to_string(i)));
    write("101.3ds", materials);
    materials.materials.pop_back();
    write("100.3ds", materials);
    for (int levels : {32, 33}) {
        ChunkWriter nested;
        for (int i = 0; i < levels; i++) nested.begin(C3DS_MAIN);
        while (!nested.open.empty()) nested.end();
        write(("nest" + std::to_string(levels) + ".3ds").c_str(), nested);
    }
    // One node of `node_keys` keys and `cameras` cameras of one key each.
    auto keys = [](const char *file, uint32_t node_keys, int cameras) {
        Scene3ds k = one_quad(quad("k", 0));
        ObjectNode3ds many;
        many.name = "k";
        for (uint32_t f = 0; f < node_keys; f++) many.position.push_back(key3ds_position(f, 0, 0, 0));
        if (node_keys) k.object_nodes.push_back(many);
        for (int i = 0; i < cameras; i++) k.camera_nodes.push_back(camera_node("c", {0}, 0));
        write(file, k);
    };
    keys("keys.3ds", LOAD3DS_MAX_NODE_KEYS, LOAD3DS_MAX_CAMERA_KEYS);
    keys("node.3ds", LOAD3DS_MAX_NODE_KEYS + 1, 0);
    keys("cams.3ds", 0, LOAD3DS_MAX_CAMERA_KEYS + 1);
    Scene3ds s = one_quad(quad("a", 0));  // each of the caller's arrays filled to the brim
    s.meshes.push_back(quad("b", 0));
    s.lights.resize(2);
    s.add_static_node("a");
    s.add_static_node("b");
    s.camera_nodes = {camera_node("cam", {0, 10, 20}, 0), camera_node("QuakeCam", {0, 10}, 0)};
    write("cap.3ds", s);

    // Files that load: every array exactly full, 100 materials, 32 levels, the key tables full.
    const Load3dsCapacity fit{2, 4, 8, 2, 3, 2, 2};
    Load3dsCapacity big = roomy();
    big.object_keys = big.camera_keys = 5000;
    const struct {
        const char *file;
        Load3dsCapacity cap;
        int meshes, camera_keys;
    } loads[] = {{"cap.3ds", fit, 2, 3}, {"100.3ds", roomy(), 1, 0}, {"nest32.3ds", roomy(), 0, 0},
                 {"keys.3ds", big, 1, LOAD3DS_MAX_CAMERA_KEYS}};
    for (const auto &c : loads) {
        Loaded r;
        load_into(r, c.file, c.cap);
        EXPECT_EQ(r.summary.mesh_count, c.meshes) << c.file;
        EXPECT_EQ(r.summary.camera_key_count, c.camera_keys) << c.file;
    }

    const struct {
        const char *before, *file;  // `before` is loaded first: the loader keeps nothing from it
        Load3dsCapacity cap;
        const char *message;
    } cases[] = {
        {nullptr, "Missing.3DS", roomy(), "Couldn't open Missing.3DS!"},
        {nullptr, "Index.3ds", roomy(), "3DS: \\[index.3ds\\] mesh q: face 1 uses vertex 4 of 4"},
        {nullptr, "map.3ds", roomy(), "3DS: \\[map.3ds\\] mesh q: 5 mappings for 4 vertices"},
        {nullptr, "flat.3ds", roomy(), "3DS: \\[flat.3ds\\] mesh q has a singular matrix"},
        {nullptr, "face.3ds", roomy(), "3DS: \\[face.3ds\\] mesh q: material red names face 2 of 2"},
        {"shared.3ds", "mat.3ds", roomy(), "shared"},
        {nullptr, "start.3ds", roomy(), "3DS scenes must start at frame 0!"},
        {nullptr, "late.3ds", roomy(), "Critical error: t<x\\[0\\] in calc_spline!"},
        {nullptr, "case.3ds", roomy(), "Mesh box not found!"},  // node names match with case
        {nullptr, "quake.3ds", {50, 500, 500, 20, 60, 200, 0}, "No Quake model animations allocated!"},
        {nullptr, "101.3ds", roomy(), "Too many materials in this scene"},
        {nullptr, "nest33.3ds", roomy(), "3DS: \\[nest33.3ds\\] chunks nested more than 32 levels deep"},
        {nullptr, "cap.3ds", {1, 4, 8, 2, 3, 2, 2}, "3DS: \\[cap.3ds\\] too many meshes \\(capacity 1\\)"},
        {nullptr, "cap.3ds", {2, 3, 8, 2, 3, 2, 2}, "3DS: \\[cap.3ds\\] too many faces \\(capacity 3\\)"},
        {nullptr, "cap.3ds", {2, 4, 7, 2, 3, 2, 2}, "3DS: \\[cap.3ds\\] too many vertices \\(capacity 7\\)"},
        {nullptr, "cap.3ds", {2, 4, 8, 1, 3, 2, 2}, "3DS: \\[cap.3ds\\] too many lights \\(capacity 1\\)"},
        {nullptr, "cap.3ds", {2, 4, 8, 2, 2, 2, 2}, "3DS: \\[cap.3ds\\] too many camera keys \\(capacity 2\\)"},
        {nullptr, "cap.3ds", {2, 4, 8, 2, 3, 1, 2}, "3DS: \\[cap.3ds\\] too many object keys \\(capacity 1\\)"},
        {nullptr, "cap.3ds", {2, 4, 8, 2, 3, 2, 1}, "3DS: \\[cap.3ds\\] too many model path keys \\(capacity 1\\)"},
        {nullptr, "node.3ds", big, "3DS: \\[node.3ds\\] too many keys in one node \\(capacity 1000\\)"},
        {nullptr, "cams.3ds", big, "3DS: \\[cams.3ds\\] too many camera keys \\(capacity 100\\)"},
    };
    for (const auto &c : cases)
        EXPECT_EXIT(
            {
                Loaded r;
                if (c.before) load_into(r, c.before, c.cap);
                load_into(r, c.file, c.cap);
            },
            ::testing::ExitedWithCode(1), c.message)
            << c.file << " " << c.message;
}

// What `assimp info` printed for `file`.
static std::string assimp_info(const char *file) {
    std::string command = std::string("assimp info ") + file + " 2>&1", out;
    FILE *p = popen(command.c_str(), "r");
    char line[512];
    while (p && fgets(line, sizeof line, p)) out += line;
    if (p) pclose(p);
    return out;
}

// Another reader counts the same meshes, faces, vertices, lights and cameras in what the writer
// wrote. It splits a mesh of two materials in two and joins equal corners within each part.
TEST_F(Load3dsTest, AnIndependentReaderCountsWhatWeLoad) {
    if (system("command -v assimp > /dev/null 2>&1") != 0) GTEST_SKIP() << "assimp is not installed";
    Mesh3ds cube, two;  // 8 shared corners and 12 faces; 6 corners and 4 faces of two materials
    cube.name = "cube", two.name = "two";
    for (int i = 0; i < 8; i++) cube.add_vertex(float(i & 1), float(i >> 1 & 1), float(i >> 2 & 1), 0, 0);
    const int quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto &q : quads) cube.add_face(q[0], q[1], q[2]), cube.add_face(q[0], q[2], q[3]);
    cube.set_material("stone", 0, 12);
    for (int i = 0; i < 6; i++) two.add_vertex(float(i), float(i * i % 5), 20);
    for (int i = 0; i < 4; i++) two.add_face(i, i + 1, i + 2);
    two.set_material("a", 0, 1);
    two.set_material("b", 1, 3);
    Scene3ds s;
    s.materials = {material("stone"), material("a", 1, 0, 0), material("b", 0, 1, 0)};
    s.meshes = {cube, two};
    s.lights = {Light3ds{"lamp", {0, 0, 10}}};
    s.cameras = {Camera3ds{"cam", {0, -20, 0}, {0, 0, 0}, 0, 60}};
    for (const Mesh3ds &m : s.meshes) s.add_static_node(m.name);
    s.camera_nodes = {camera_node("cam", {0, 100}, 0)};
    write("peer.3ds", s);
    Loaded r;
    load_into(r, "peer.3ds", roomy());
    const LoadSummary &n = r.summary;
    ASSERT_EQ((std::vector<int>{n.mesh_count, n.face_count, n.vertex_count, n.light_count}), (std::vector<int>{2, 16, 14, 1}));
    const std::string out = assimp_info("peer.3ds");
    auto count = [&](const char *label) {  // the number after "<label>:" at the start of a line, or -1
        size_t at = out.find(std::string("\n") + label + ":");
        return at == std::string::npos ? -1L : strtol(out.c_str() + at + strlen(label) + 2, nullptr, 10);
    };
    EXPECT_EQ(count("Meshes"), n.mesh_count + 1) << out;
    EXPECT_EQ(count("Faces"), n.face_count);
    EXPECT_EQ(count("Vertices"), n.vertex_count + 2);  // "two" shares two corners between its parts
    EXPECT_EQ(count("Lights"), n.light_count);
    EXPECT_EQ(count("Cameras"), 1);
}
