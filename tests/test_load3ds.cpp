// test_load3ds.cpp: the .3ds loader against files made by the .3ds writer: round trips,
// key merging and cuts, object space, the loader's quirks, capacities and malformed files.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/load3ds.h"
#include "support/gl_context.h"
#include "texture/texture.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"
#include "writers/writer_3ds.h"

namespace {

const float UNSET = -100000.0f;

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

Load3dsCapacity roomy() { return Load3dsCapacity{50, 500, 500, 20, 60, 200, 40}; }

// Load `file` into fresh arrays of the given capacities (no model path table when with_path is false).
void load_into(Loaded &r, const char *file, const Load3dsCapacity &cap, bool with_path = false,
               float play_time = 10.0f) {
    r.meshes.assign(size_t(cap.meshes), Mesh{});
    r.faces.assign(size_t(cap.faces), Face{});
    r.vertices.assign(size_t(cap.vertices), Vertex{});
    r.lights.assign(size_t(cap.lights), Light{});
    r.camera_keys.assign(size_t(cap.camera_keys), CameraKey{});
    r.object_keys.assign(size_t(cap.object_keys), ObjectKey{});
    r.model_path.assign(size_t(cap.model_path_keys), ModelPathKey{});
    for (Mesh &m : r.meshes) init_mesh(m);
    for (Face &f : r.faces) init_face(f);
    for (Vertex &v : r.vertices) init_vertex(v);
    for (Light &l : r.lights) init_light(l);
    for (ModelPathKey &k : r.model_path) {
        k.first_frame = 7, k.last_frame = 9, k.fps = 5.0f, k.scale = 2.0f;
    }
    init_camera(r.camera);
    init_scene(r.scene);
    LoadSummary *s = load_3ds(file, r.scene, r.meshes.data(), r.faces.data(), r.vertices.data(), r.lights.data(),
                              &r.camera, r.camera_keys.data(), r.object_keys.data(),
                              with_path ? r.model_path.data() : nullptr, play_time, cap);
    r.summary = *s;
    delete s;
}

void write(const char *file, const Scene3ds &s) { ASSERT_TRUE(write_file(file, encode_3ds(s))); }
void write(const char *file, const ChunkWriter &w) { ASSERT_TRUE(write_file(file, w.bytes)); }

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

Material3ds material(const std::string &name, float r, float g, float b) {
    Material3ds m;
    m.name = name;
    m.diffuse[0] = r, m.diffuse[1] = g, m.diffuse[2] = b;
    return m;
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

// Run `body` in a child process with its error output in `err_file`; returns the exit status,
// or -signal when it was killed.
template <typename Body>
int run_child(const char *err_file, Body body) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int err = open(err_file, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) dup2(err, 2);
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) return -WTERMSIG(status);
    return WEXITSTATUS(status);
}

// Whole text of a small file.
std::string read_text(const char *file) {
    std::string text;
    FILE *f = fopen(file, "rb");
    if (!f) return text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    fclose(f);
    return text;
}

class Load3dsTest : public ::testing::Test {
protected:
    ScratchDir dir;
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_FALSE(dir.path.empty());
    }
};

}  // namespace

// Meshes, faces (reversed winding), mappings, materials, lights and camera come back as written.
TEST_F(Load3dsTest, RoundTripsGeometryMaterialsLightsAndCamera) {
    Scene3ds s;
    s.materials.push_back(material("Red", 0, 1, 0));
    Material3ds glass = material("glass", 0.2f, 0.4f, 0.6f);
    glass.transparency = 40;
    glass.reflection = 30;
    glass.diffuse_as_bytes = true;
    s.materials.push_back(glass);
    s.materials.push_back(material("RED", 1, 0, 0));  // a later material of one name wins
    Mesh3ds a = quad("floor", 0);
    a.set_material("red", 0, 1);  // looked up ignoring case
    a.set_material("glass", 1, 1);
    s.meshes.push_back(a);
    s.meshes.push_back(quad("wall", 5));
    Light3ds l0;
    l0.name = "sun";
    l0.position[0] = 1, l0.position[1] = 2, l0.position[2] = 3;
    l0.color[0] = 0.5f, l0.color[1] = 0.25f, l0.color[2] = 1.0f;
    s.lights.push_back(l0);
    Light3ds l1;
    l1.name = "spot";
    l1.has_color = false;
    l1.spot = true;
    s.lights.push_back(l1);
    Camera3ds cam;
    cam.name = "cam";
    cam.position[0] = 1, cam.position[1] = -10, cam.position[2] = 2;
    cam.target[0] = 4, cam.target[1] = 0, cam.target[2] = 2;
    cam.lens = 60;
    s.cameras.push_back(cam);
    s.end_frame = 250;
    write("scene.3ds", s);

    Loaded r;
    load_into(r, "scene.3ds", roomy(), false, 25.0f);
    EXPECT_EQ(r.summary.mesh_count, 2);
    EXPECT_EQ(r.summary.face_count, 4);
    EXPECT_EQ(r.summary.vertex_count, 8);
    EXPECT_EQ(r.summary.light_count, 2);
    EXPECT_EQ(r.summary.model_path_key_count, -1);
    EXPECT_EQ(r.scene.mesh_count, 2);
    EXPECT_FLOAT_EQ(r.scene.frame_rate, 10.0f);

    EXPECT_STREQ(r.meshes[1].name, "wall");
    EXPECT_EQ(r.meshes[1].first_vertex, 4);
    EXPECT_EQ(r.meshes[1].faces, r.faces.data() + 2);
    EXPECT_EQ(r.meshes[1].key_count, -1);
    // (0, 2, 3) is stored as a = 0, b = 3, c = 2.
    const Face &f = r.meshes[0].faces[1];
    EXPECT_EQ(f.a, 0);
    EXPECT_EQ(f.b, 3);
    EXPECT_EQ(f.c, 2);
    // Unnamed meshes keep the file's coordinates (identity matrix, no node).
    EXPECT_FLOAT_EQ(r.vertex(1, 2).position[0], 6.0f);
    EXPECT_FLOAT_EQ(r.vertex(1, 2).position[2], 1.0f);
    EXPECT_FLOAT_EQ(r.vertex(1, 3).v, 1.0f);

    EXPECT_FLOAT_EQ(r.faces[0].color[1], 0.0f);
    EXPECT_EQ(r.faces[0].texture, -1);
    EXPECT_NEAR(r.faces[1].color[0], 51 / 255.0f, 1e-6);  // byte colour
    EXPECT_NEAR(r.faces[1].color[2], 153 / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(r.faces[1].alpha, 0.6f);
    EXPECT_FLOAT_EQ(r.faces[2].alpha, 1.0f);  // no material: defaults
    EXPECT_FLOAT_EQ(r.faces[2].color[1], 1.0f);

    EXPECT_FLOAT_EQ(r.lights[0].position[1], 3.0f);  // (x, z, -y)
    EXPECT_FLOAT_EQ(r.lights[0].position[2], -2.0f);
    EXPECT_FLOAT_EQ(r.lights[0].color[1], 0.25f);
    EXPECT_FLOAT_EQ(r.lights[1].color[0], 1.0f);  // no colour chunk: the default
    EXPECT_EQ(r.lights[1].spot, 0);               // spot data is read and dropped

    EXPECT_FLOAT_EQ(r.camera.position[1], -10.0f);
    EXPECT_FLOAT_EQ(r.camera.direction[1], 10.0f);
    EXPECT_FLOAT_EQ(r.camera.fov, 60.0f);
}

// The matrix moves world vertices back into object space; no matrix collapses to the origin.
TEST_F(Load3dsTest, ObjectSpaceThroughTheInvertedMatrix) {
    Scene3ds s;
    Mesh3ds m;
    m.name = "turned";
    const float M[9] = {0, -1, 0, 1, 0, 0, 0, 0, 2};
    const float T[3] = {10, 20, 30};
    const float local[2][3] = {{1, 2, 3}, {-4, 0.5f, 1}};
    for (const auto &p : local)
        m.add_vertex(M[0] * p[0] + M[1] * p[1] + M[2] * p[2] + T[0], M[3] * p[0] + M[4] * p[1] + M[5] * p[2] + T[1],
                     M[6] * p[0] + M[7] * p[1] + M[8] * p[2] + T[2]);
    memcpy(m.matrix, M, sizeof M);
    memcpy(m.translation, T, sizeof T);
    s.meshes.push_back(m);
    Mesh3ds loose = quad("loose", 3);
    loose.has_matrix = false;
    s.meshes.push_back(loose);
    write("o.3ds", s);
    Loaded r;
    load_into(r, "o.3ds", roomy());
    for (int i = 0; i < 2; i++)
        for (int k = 0; k < 3; k++) EXPECT_NEAR(r.vertex(0, i).position[k], local[i][k], 1e-5) << i << k;
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(r.vertex(1, i).position[k], 0.0f);
}

// A mesh with one key is posed once at load into the Y-up frame; its key count becomes -1.
TEST_F(Load3dsTest, SingleKeyMeshIsPosedOnceAtLoad) {
    Scene3ds s;
    Mesh3ds m;
    m.name = "box";
    m.add_vertex(1, 2, 3);
    s.meshes.push_back(m);
    Mesh3ds still;
    still.name = "still";
    still.add_vertex(1, 2, 3);
    s.meshes.push_back(still);
    s.add_static_node("box").position[0] = key3ds_position(0, 5, 0, 0);
    write("k.3ds", s);
    Loaded r;
    load_into(r, "k.3ds", roomy());
    EXPECT_EQ(r.meshes[0].key_count, -1);
    EXPECT_EQ(r.meshes[0].first_key, 0);
    EXPECT_FLOAT_EQ(r.vertex(0, 0).position[0], 6.0f);
    EXPECT_FLOAT_EQ(r.vertex(0, 0).position[1], 3.0f);
    EXPECT_FLOAT_EQ(r.vertex(0, 0).position[2], -2.0f);
    // A mesh that no node names stays in object space with the file's axes.
    EXPECT_EQ(r.meshes[1].first_key, -1);
    EXPECT_FLOAT_EQ(r.vertex(1, 0).position[1], 2.0f);
    EXPECT_FLOAT_EQ(r.vertex(1, 0).position[2], 3.0f);
}

// Tracks are merged into one key per frame, sorted, with running values for missing tracks.
TEST_F(Load3dsTest, ObjectKeysMergeByFrameWithRunningValues) {
    Scene3ds s;
    s.meshes.push_back(quad("first", 0));
    s.meshes.push_back(quad("anim", 0));
    s.add_static_node("first");
    ObjectNode3ds n;
    n.name = "anim";
    n.pivot[0] = 1, n.pivot[1] = 2, n.pivot[2] = 3;
    n.position = {key3ds_position(10, 1, 1, 1), key3ds_position(0, 2, 2, 2)};
    n.position[0].spline_flags = 0x1f;  // tension .. ease from, read and dropped
    n.position[0].spline[0] = 0.5f;
    n.rotation = {key3ds_rotation(5, 0.5f, 0, 0, 1)};
    n.rotation[0].spline_flags = 0x8001;
    n.scale = {key3ds_scale(0, 3, 3, 3)};
    s.object_nodes.push_back(n);
    write("merge.3ds", s);
    Loaded r;
    load_into(r, "merge.3ds", roomy());
    ASSERT_EQ(r.summary.object_key_count, 4);
    const Mesh &anim = r.meshes[1];
    EXPECT_EQ(anim.first_key, 1);
    EXPECT_EQ(anim.key_count, 3);
    EXPECT_FLOAT_EQ(anim.pivot[2], 3.0f);
    // frame, position x, angle (running rotation starts at 0), scale x: missing tracks carry on.
    const float want[3][4] = {{0, 2, 0, 3}, {5, 2, 0.5f, 3}, {10, 1, 0.5f, 3}};
    for (int i = 0; i < 3; i++) {
        const ObjectKey &k = r.object_keys[size_t(1 + i)];
        EXPECT_FLOAT_EQ(k.frame, want[i][0]) << i;
        EXPECT_FLOAT_EQ(k.position[0], want[i][1]) << i;
        EXPECT_FLOAT_EQ(k.angle, want[i][2]) << i;
        EXPECT_FLOAT_EQ(k.scale[0], want[i][3]) << i;
    }
    // Several keys: the mesh keeps its object-space vertices for the renderer.
    EXPECT_FLOAT_EQ(r.vertex(1, 0).position[2], 1.0f);
}

// Dummy nodes add their keys to the table (never merged) but belong to no mesh.
TEST_F(Load3dsTest, DummyNodesCountButPoseNothing) {
    Scene3ds s;
    s.meshes.push_back(quad("q", 0));
    ObjectNode3ds d;
    d.name = "$$$DUMMY";
    d.instance = "helper";
    d.position = {key3ds_position(0, 1, 1, 1)};
    d.rotation = {key3ds_rotation(0, 1, 0, 0, 1)};
    s.object_nodes.push_back(d);
    write("d.3ds", s);
    Loaded r;
    load_into(r, "d.3ds", roomy());
    EXPECT_EQ(r.summary.object_key_count, 2);
    EXPECT_FLOAT_EQ(r.object_keys[1].angle, 1.0f);
    EXPECT_EQ(r.meshes[0].key_count, -1);
}

// Camera keys: (x, z, y) positions and targets merged by frame, FOV in degrees, roll in radians.
TEST_F(Load3dsTest, CameraKeysMergeAndFillRunningValues) {
    Scene3ds s;
    CameraNode3ds c;
    c.name = "Camera01";
    c.position = {key3ds_position(0, 1, 2, 3), key3ds_position(20, 4, 5, 6)};
    c.target = {key3ds_position(0, 7, 8, 9), key3ds_position(10, 1, 1, 1)};
    c.fov = {key3ds_value(0, 45)};
    c.roll = {key3ds_value(20, 90)};
    s.camera_nodes.push_back(c);
    write("c.3ds", s);
    Loaded r;
    load_into(r, "c.3ds", roomy());
    ASSERT_EQ(r.scene.camera_key_count, 3);
    const CameraKey *k = r.camera_keys.data();
    EXPECT_FLOAT_EQ(k[0].position[1], 3.0f);
    EXPECT_FLOAT_EQ(k[0].position[2], 2.0f);
    EXPECT_FLOAT_EQ(k[0].target[1], 9.0f);
    EXPECT_FLOAT_EQ(k[1].frame, 10.0f);
    EXPECT_FLOAT_EQ(k[1].position[0], 1.0f);  // running position
    EXPECT_FLOAT_EQ(k[1].target[0], 1.0f);
    EXPECT_FLOAT_EQ(k[2].position[0], 4.0f);
    EXPECT_FLOAT_EQ(k[2].fov, 45.0f);
    EXPECT_NEAR(k[2].roll, 3.14159265f / 2, 1e-6);
}

// A second camera follows the first, shifted by its last frame; the join is a cut.
TEST_F(Load3dsTest, TwoCamerasJoinWithACut) {
    Scene3ds s;
    s.camera_nodes.push_back(camera_node("one", {0, 50}, 100));
    s.camera_nodes.push_back(camera_node("two", {0, 30}, 200));
    write("two.3ds", s);
    for (int pass = 0; pass < 2; pass++) {  // the offset is reset by every load
        Loaded r;
        load_into(r, "two.3ds", roomy());
        ASSERT_EQ(r.summary.camera_key_count, 4);
        const float frames[4] = {0, 50, 50, 80};
        const float xs[4] = {100, 150, 200, 230};
        for (int i = 0; i < 4; i++) {
            EXPECT_FLOAT_EQ(r.camera_keys[size_t(i)].frame, frames[i]);
            EXPECT_FLOAT_EQ(r.camera_keys[size_t(i)].position[0], xs[i]);
            EXPECT_FLOAT_EQ(r.camera_keys[size_t(i)].target[2], xs[i]);  // target merged with its own camera
        }
    }
}

// QuakeCam nodes fill the caller's model path table instead of the camera keys.
TEST_F(Load3dsTest, QuakeCamNodesBecomeModelPaths) {
    Scene3ds s;
    CameraNode3ds q;
    q.name = "quakecam";
    q.position = {key3ds_position(10, 1, 2, 3), key3ds_position(0, 4, 5, 6)};
    q.target = {key3ds_position(10, 7, 8, 9), key3ds_position(20, 1, 1, 1)};
    q.fov = {key3ds_value(0, 33)};
    q.roll = {key3ds_value(0, 10)};
    s.camera_nodes.push_back(camera_node("cam", {0, 40}, 0));
    s.camera_nodes.push_back(q);
    write("q.3ds", s);
    Loaded r;
    load_into(r, "q.3ds", roomy(), true);
    EXPECT_EQ(r.summary.camera_key_count, 2);
    ASSERT_EQ(r.summary.model_path_key_count, 3);
    const ModelPathKey *k = r.model_path.data();  // in file order, completed in frame order
    EXPECT_FLOAT_EQ(k[0].frame, 10.0f);
    EXPECT_FLOAT_EQ(k[1].frame, 0.0f);
    EXPECT_FLOAT_EQ(k[2].frame, 20.0f);
    EXPECT_FLOAT_EQ(k[1].position[1], 6.0f);  // (x, z, y)
    EXPECT_FLOAT_EQ(k[1].target_x, 0.0f);     // no target yet at frame 0
    EXPECT_FLOAT_EQ(k[0].target_y, 8.0f);
    EXPECT_FLOAT_EQ(k[2].position[2], 2.0f);
    EXPECT_EQ(k[2].first_frame, 7);               // left as the caller set it
    EXPECT_FLOAT_EQ(r.camera_keys[1].fov, 0.0f);  // the QuakeCam's FOV did not reach the camera
}

// The loader state is reset by each load: a material of an earlier file is not known later.
TEST_F(Load3dsTest, StateIsResetPerLoad) {
    Scene3ds a;
    a.materials.push_back(material("shared", 1, 0, 0));
    a.meshes.push_back(quad("a", 0));
    write("a.3ds", a);
    Scene3ds b;  // names the material without defining it
    Mesh3ds m = quad("b", 0);
    m.set_material("shared", 0, 1);
    b.meshes.push_back(m);
    write("b.3ds", b);
    EXPECT_EXIT(
        {
            Loaded r;
            load_into(r, "a.3ds", roomy());
            Loaded r2;
            load_into(r2, "b.3ds", roomy());
        },
        ::testing::ExitedWithCode(1), "shared");
}

// Hand-built chunk streams for the walker's rules.
namespace {

// An editor section holding one triangle mesh named `name`; extra chunks go in via `inside`.
template <typename Inside>
void mesh_chunk(ChunkWriter &w, const char *name, Inside inside) {
    w.begin(C3DS_OBJECT);
    w.text(name);
    w.begin(C3DS_TRIMESH);
    inside(w);
    w.begin(C3DS_VERTICES);
    w.u16(3);
    const float p[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    w.floats(p, 9);
    w.end();
    w.begin(C3DS_FACES);
    w.u16(1);
    w.u16(0), w.u16(1), w.u16(2), w.u16(0);
    inside(w);
    w.end();
    w.end();
    w.end();
}

// A chunk unknown to the loader whose data looks like a mesh chunk.
void unknown_chunk(ChunkWriter &w) {
    w.begin(0x1234);
    w.begin(C3DS_TRIMESH);
    w.begin(C3DS_VERTICES);
    w.u16(1);
    w.f32(1), w.f32(2), w.f32(3);
    w.end();
    w.end();
    w.end();
}

}  // namespace

// Unknown chunks are skipped at any depth; a chunk of length 0 ends the walk of its level and
// the level above goes on.
TEST_F(Load3dsTest, UnknownChunksAreSkippedAndZeroLengthEndsItsLevel) {
    ChunkWriter w;
    w.begin(C3DS_MAIN);
    unknown_chunk(w);
    w.begin(C3DS_EDITOR);
    unknown_chunk(w);
    mesh_chunk(w, "tri", unknown_chunk);
    w.u16(0x4000), w.u32(0);  // length 0
    mesh_chunk(w, "after", [](ChunkWriter &) {});
    w.end();
    w.begin(C3DS_KEYFRAMER);
    unknown_chunk(w);
    w.begin(C3DS_KF_FRAMES);
    w.u32(0);
    w.u32(50);
    w.end();
    w.end();
    w.end();
    write("u.3ds", w);
    Loaded r;
    load_into(r, "u.3ds", roomy());
    ASSERT_EQ(r.summary.mesh_count, 1);
    EXPECT_STREQ(r.meshes[0].name, "tri");
    EXPECT_EQ(r.summary.vertex_count, 3);
    EXPECT_EQ(r.summary.face_count, 1);
    EXPECT_FLOAT_EQ(r.scene.frame_rate, 5.0f);
}

// Names longer than 63 characters are cut; a node names the mesh by the cut name.
TEST_F(Load3dsTest, LongNamesAreCut) {
    std::string long_name(100, 'x');
    Scene3ds s;
    s.meshes.push_back(quad(long_name, 0));
    s.add_static_node(long_name);
    write("long.3ds", s);
    Loaded r;
    load_into(r, "long.3ds", roomy());
    EXPECT_EQ(strlen(r.meshes[0].name), 63u);
    EXPECT_EQ(r.meshes[0].key_count, -1);  // posed once by its node
    EXPECT_FLOAT_EQ(r.vertex(0, 0).position[1], 1.0f);
}

// Counts that do not fit in their chunk end the chunk as a short read does.
TEST_F(Load3dsTest, CountsBeyondTheirChunkEndTheChunk) {
    ChunkWriter w;
    w.begin(C3DS_MAIN);
    w.begin(C3DS_EDITOR);
    w.begin(C3DS_OBJECT);
    w.text("short");
    w.begin(C3DS_TRIMESH);
    w.begin(C3DS_VERTICES);
    w.u16(3);
    const float p[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    w.floats(p, 9);
    w.end();
    w.begin(C3DS_MAPPINGS);
    w.u16(3);  // room for one pair only
    w.f32(0.5f), w.f32(0.5f);
    w.end();
    w.begin(C3DS_FACES);
    w.u16(40000);  // far more than the chunk holds
    w.u16(0), w.u16(1), w.u16(2), w.u16(0);
    w.begin(C3DS_FACE_MATERIAL);  // not walked: the face list ended early
    w.text("nowhere");
    w.end();
    w.end();
    w.end();
    w.end();
    w.end();
    w.begin(C3DS_KEYFRAMER);
    w.begin(C3DS_OBJECT_NODE);
    w.begin(C3DS_NODE_HEADER);
    w.text("short");
    w.u16(0), w.u16(0), w.u16(0xffff);
    w.end();
    w.begin(C3DS_POSITION_TRACK);
    w.u16(0), w.u32(0), w.u32(0), w.u32(5000);  // 5000 keys announced, one present
    w.u32(0), w.u16(0), w.f32(1), w.f32(2), w.f32(3);
    w.end();
    w.end();
    w.end();
    w.end();
    write("s.3ds", w);
    Loaded r;
    load_into(r, "s.3ds", roomy());
    EXPECT_EQ(r.summary.vertex_count, 3);
    EXPECT_EQ(r.summary.face_count, 0);
    EXPECT_EQ(r.summary.object_key_count, 0);
    EXPECT_EQ(r.meshes[0].key_count, -1);
    EXPECT_FLOAT_EQ(r.vertices[0].u, 0.0f);
}

// Bad input: every refusal exits with its message, naming the file where the format allows;
// each of the caller's arrays and the loader's own tables end the load when full.
TEST_F(Load3dsTest, BadFilesAndFullArraysAreFatal) {
    auto one_quad = [](Mesh3ds m) {
        Scene3ds s;
        s.meshes.push_back(m);
        return s;
    };
    Mesh3ds bad_index = quad("q", 0);
    bad_index.faces[4] = 4;  // one past the four vertices
    write("Index.3ds", one_quad(bad_index));
    Mesh3ds bad_map = quad("q", 0);
    bad_map.mappings.insert(bad_map.mappings.end(), {0, 0});
    write("map.3ds", one_quad(bad_map));
    Mesh3ds flat = quad("flat", 0);
    flat.matrix[8] = 0;
    write("flat.3ds", one_quad(flat));
    Mesh3ds face_group = quad("q", 0);
    face_group.materials.push_back(FaceGroup3ds{"red", {0, 2}});
    Scene3ds face = one_quad(face_group);
    face.materials.push_back(material("red", 1, 0, 0));
    write("face.3ds", face);
    Mesh3ds unknown = quad("q", 0);
    unknown.set_material("nowhere", 0, 1);
    write("mat.3ds", one_quad(unknown));
    Scene3ds start;
    start.start_frame = 5;
    write("start.3ds", start);
    Scene3ds late = one_quad(quad("late", 0));
    ObjectNode3ds &n = late.add_static_node("late");
    n.position[0].frame = n.rotation[0].frame = n.scale[0].frame = 10;
    write("late.3ds", late);
    Scene3ds cased = one_quad(quad("Box", 0));
    cased.add_static_node("box");
    write("case.3ds", cased);
    Scene3ds quake;
    quake.camera_nodes.push_back(camera_node("QuakeCam", {0}, 0));
    write("quake.3ds", quake);
    Mesh3ds m99 = quad("q", 0);
    m99.set_material("m99", 0, 2);
    Scene3ds materials = one_quad(m99);
    for (int i = 0; i < 101; i++) materials.materials.push_back(material("m" + std::to_string(i), 1, 1, 1));
    write("101.3ds", materials);
    materials.materials.pop_back();
    write("100.3ds", materials);
    ChunkWriter deep;
    for (int i = 0; i < 100000; i++) deep.begin(C3DS_MAIN);
    while (!deep.open.empty()) deep.end();
    write("deep.3ds", deep);
    ChunkWriter nested;
    for (int i = 0; i < 30; i++) nested.begin(C3DS_MAIN);
    while (!nested.open.empty()) nested.end();
    write("nested.3ds", nested);

    Scene3ds s = one_quad(quad("a", 0));
    s.meshes.push_back(quad("b", 0));
    Light3ds l;
    l.name = "l";
    s.lights = {l, l};
    s.add_static_node("a");
    s.add_static_node("b");
    s.camera_nodes.push_back(camera_node("cam", {0, 10, 20}, 0));
    s.camera_nodes.push_back(camera_node("QuakeCam", {0, 10}, 0));
    write("cap.3ds", s);
    Scene3ds keys = one_quad(quad("k", 0));
    ObjectNode3ds many;
    many.name = "k";
    for (uint32_t f = 0; f <= LOAD3DS_MAX_NODE_KEYS; f++) many.position.push_back(key3ds_position(f, 0, 0, 0));
    keys.object_nodes.push_back(many);
    for (uint32_t f = 0; f <= LOAD3DS_MAX_CAMERA_KEYS; f++) keys.camera_nodes.push_back(camera_node("c", {0}, 0));
    write("keys.3ds", keys);
    keys.object_nodes.clear();
    write("cams.3ds", keys);

    // Files that load: the sizes just fitting, 100 materials, 30 levels of nesting.
    const Load3dsCapacity fit{2, 4, 8, 2, 3, 6, 2};
    Load3dsCapacity big = roomy();
    big.object_keys = big.camera_keys = 5000;
    const struct {
        const char *file;
        Load3dsCapacity cap;
        int meshes;
    } loads[] = {{"cap.3ds", fit, 2}, {"100.3ds", roomy(), 1}, {"nested.3ds", roomy(), 0}};
    for (const auto &c : loads) {
        Loaded r;
        load_into(r, c.file, c.cap, true);
        EXPECT_EQ(r.summary.mesh_count, c.meshes) << c.file;
    }

    struct Case {
        const char *file;
        Load3dsCapacity cap;
        bool with_path;
        const char *message;
    } cases[] = {
        {"Missing.3DS", roomy(), false, "Couldn't open Missing.3DS!"},
        {"Index.3ds", roomy(), false, "3DS: \\[index.3ds\\] mesh q: face 1 uses vertex 4 of 4"},
        {"map.3ds", roomy(), false, "3DS: \\[map.3ds\\] mesh q: 5 mappings for 4 vertices"},
        {"flat.3ds", roomy(), false, "3DS: \\[flat.3ds\\] mesh flat has a singular matrix"},
        {"face.3ds", roomy(), false, "3DS: \\[face.3ds\\] mesh q: material red names face 2 of 2"},
        {"mat.3ds", roomy(), false, "nowhere"},
        {"start.3ds", roomy(), false, "3DS scenes must start at frame 0!"},
        {"late.3ds", roomy(), false, "Critical error: t<x\\[0\\] in calc_spline!"},
        {"case.3ds", roomy(), false, "Mesh box not found!"},  // node names match with case
        {"quake.3ds", roomy(), false, "No Quake model animations allocated!"},
        {"101.3ds", roomy(), false, "Too many materials in this scene"},
        {"deep.3ds", roomy(), false, "3DS: \\[deep.3ds\\] chunks nested more than 32 levels deep"},
        {"cap.3ds", {1, 4, 8, 2, 3, 6, 2}, true, "3DS: \\[cap.3ds\\] too many meshes \\(capacity 1\\)"},
        {"cap.3ds", {2, 3, 8, 2, 3, 6, 2}, true, "3DS: \\[cap.3ds\\] too many faces \\(capacity 3\\)"},
        {"cap.3ds", {2, 4, 7, 2, 3, 6, 2}, true, "3DS: \\[cap.3ds\\] too many vertices \\(capacity 7\\)"},
        {"cap.3ds", {2, 4, 8, 1, 3, 6, 2}, true, "3DS: \\[cap.3ds\\] too many lights \\(capacity 1\\)"},
        {"cap.3ds", {2, 4, 8, 2, 2, 6, 2}, true, "3DS: \\[cap.3ds\\] too many camera keys \\(capacity 2\\)"},
        {"cap.3ds", {2, 4, 8, 2, 3, 1, 2}, true, "3DS: \\[cap.3ds\\] too many object keys \\(capacity 1\\)"},
        {"cap.3ds", {2, 4, 8, 2, 3, 6, 1}, true, "3DS: \\[cap.3ds\\] too many model path keys \\(capacity 1\\)"},
        {"keys.3ds", big, false, "3DS: \\[keys.3ds\\] too many keys in one node \\(capacity 1000\\)"},
        {"cams.3ds", big, false, "3DS: \\[cams.3ds\\] too many camera keys \\(capacity 100\\)"},
    };
    for (const Case &c : cases)
        EXPECT_EXIT(
            {
                Loaded r;
                load_into(r, c.file, c.cap, c.with_path);
            },
            ::testing::ExitedWithCode(1), c.message)
            << c.file;
}

// Every prefix of a full file and many corrupted copies load or stop with exit code 1;
// none crashes, hangs or reads out of bounds (run under the sanitizers too).
TEST_F(Load3dsTest, TruncatedAndCorruptedFilesNeverCrash) {
    Scene3ds s;
    s.materials.push_back(material("red", 1, 0, 0));
    Mesh3ds m = quad("q", 0);
    m.set_material("red", 0, 2);
    m.smoothing = {1, 1};
    s.meshes.push_back(m);
    Light3ds l;
    l.name = "l";
    l.spot = true;
    s.lights.push_back(l);
    Camera3ds c;
    c.name = "cam";
    s.cameras.push_back(c);
    ObjectNode3ds &n = s.add_static_node("q");
    n.position.push_back(key3ds_position(10, 1, 1, 1));
    s.camera_nodes.push_back(camera_node("cam", {0, 10}, 0));
    s.camera_nodes.push_back(camera_node("QuakeCam", {0, 10}, 0));
    std::vector<uint8_t> bytes = encode_3ds(s);

    int crashes = 0, loaded = 0, refused = 0;
    auto attempt = [&](const std::vector<uint8_t> &file) {
        FILE *f = fopen("t.3ds", "wb");
        ASSERT_NE(f, nullptr);
        if (!file.empty()) {
            ASSERT_EQ(fwrite(file.data(), 1, file.size(), f), file.size());
        }
        fclose(f);
        int status = run_child("err.txt", [] {
            Loaded r;
            load_into(r, "t.3ds", roomy(), true);
        });
        // The sanitizers also exit with 1; their reports tell them from a fatal message.
        std::string err = read_text("err.txt");
        bool sanitizer = err.find("Sanitizer") != std::string::npos || err.find("runtime error") != std::string::npos;
        if (status == 0 && err.empty())
            loaded++;
        else if (status == 1 && !sanitizer && !err.empty())
            refused++;
        else {
            crashes++;
            ADD_FAILURE() << "status " << status << ": " << err;
        }
    };
    for (size_t n = 0; n < bytes.size(); n += 5) attempt(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(n)));
    srand(12345);
    for (int i = 0; i < 150; i++) {
        std::vector<uint8_t> bad = bytes;
        for (int k = 0; k < 3; k++) bad[size_t(rand()) % bad.size()] = uint8_t(rand());
        attempt(bad);
    }
    EXPECT_EQ(crashes, 0);
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
}

// Map file names become textures through the registry; the last map of a material decides.
class Load3dsTextureTest : public GlContextTest {
protected:
    ScratchDir dir;
};

TEST_F(Load3dsTextureTest, MapFileNamesLoadTextures) {
    ASSERT_FALSE(dir.path.empty());
    Picture p(8, 8);
    ASSERT_TRUE(write_file("wall.bmp", bmp_encode_24(p)));
    ASSERT_TRUE(write_file("bump.bmp", bmp_encode_24(p)));
    Scene3ds s;
    Material3ds wall = material("wall", 1, 1, 1);
    wall.texture = "WALL.BMP";
    Material3ds both = material("both", 1, 1, 1);
    both.texture = "wall.bmp";
    both.bump = "bump.bmp";
    s.materials = {wall, both};
    Mesh3ds m = quad("q", 0);
    m.set_material("wall", 0, 1);
    m.set_material("both", 1, 1);
    s.meshes.push_back(m);
    write("tex.3ds", s);
    Loaded r;
    load_into(r, "tex.3ds", roomy());
    int wall_index = texture_find("wall.bmp", true);
    int bump_index = texture_find("bump.bmp", true);
    EXPECT_GE(wall_index, 0);
    EXPECT_NE(wall_index, bump_index);
    EXPECT_EQ(r.faces[0].texture, wall_index);
    EXPECT_EQ(r.faces[1].texture, bump_index);
}
