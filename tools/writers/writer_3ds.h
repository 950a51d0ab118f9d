// writer_3ds.h: a scene in memory and its .3ds file bytes (the chunk subset
// the loader reads: meshes, materials, lights, cameras and the keyframer's tracks).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "writers/bmp_writer.h"

// Chunk ids written by encode_3ds (and useful to tests that build chunks by hand), by family:
// values inside other chunks; the file and its editor part; a triangle mesh; lights and
// cameras; materials; the keyframer, its nodes and their tracks.
enum : uint16_t {
    C3DS_RGB_FLOAT = 0x0010, C3DS_RGB_BYTE = 0x0011, C3DS_PERCENT_INT = 0x0030,
    C3DS_VERSION = 0x0002, C3DS_MAIN = 0x4d4d, C3DS_EDITOR = 0x3d3d, C3DS_MESH_VERSION = 0x3d3e,
    C3DS_MASTER_SCALE = 0x0100, C3DS_OBJECT = 0x4000,
    C3DS_TRIMESH = 0x4100, C3DS_VERTICES = 0x4110, C3DS_FACES = 0x4120, C3DS_FACE_MATERIAL = 0x4130,
    C3DS_MAPPINGS = 0x4140, C3DS_SMOOTHING = 0x4150, C3DS_MATRIX = 0x4160,
    C3DS_LIGHT = 0x4600, C3DS_SPOTLIGHT = 0x4610, C3DS_CAMERA = 0x4700,
    C3DS_MATERIAL = 0xafff, C3DS_MAT_NAME = 0xa000, C3DS_MAT_AMBIENT = 0xa010, C3DS_MAT_DIFFUSE = 0xa020,
    C3DS_MAT_SPECULAR = 0xa030, C3DS_MAT_REFLECTION = 0xa040, C3DS_MAT_TRANSPARENCY = 0xa050,
    C3DS_MAT_TEXTURE_MAP = 0xa200, C3DS_MAT_BUMP_MAP = 0xa230, C3DS_MAT_MAP_FILE = 0xa300,
    C3DS_KEYFRAMER = 0xb000, C3DS_KF_HEADER = 0xb00a, C3DS_KF_FRAMES = 0xb008,
    C3DS_OBJECT_NODE = 0xb002, C3DS_CAMERA_NODE = 0xb003, C3DS_TARGET_NODE = 0xb004, C3DS_LIGHT_NODE = 0xb005,
    C3DS_SPOT_NODE = 0xb007, C3DS_NODE_HEADER = 0xb010, C3DS_INSTANCE_NAME = 0xb011, C3DS_PIVOT = 0xb013,
    C3DS_NODE_ID = 0xb030, C3DS_POSITION_TRACK = 0xb020, C3DS_ROTATION_TRACK = 0xb021, C3DS_SCALE_TRACK = 0xb022,
    C3DS_FOV_TRACK = 0xb023, C3DS_ROLL_TRACK = 0xb024,
};

// A growing little-endian byte buffer; begin/end wrap data in a chunk and patch its length.
struct ChunkWriter {
    std::vector<uint8_t> bytes;
    std::vector<size_t> open;  // starts of chunks not yet ended

    void begin(uint16_t id);
    void end();
    // Little-endian fields, a float by its bits, a string with its closing NUL.
    void u8(uint8_t value) { bytes.push_back(value); }
    void u16(uint16_t value) { append_le(bytes, value, 2); }
    void u32(uint32_t value) { append_le(bytes, value, 4); }
    void f32(float value) { append_f32(bytes, value); }
    void floats(const float *values, size_t count) { for (size_t i = 0; i < count; i++) f32(values[i]); }
    void text(const std::string &value) { bytes.insert(bytes.end(), value.c_str(), value.c_str() + value.size() + 1); }
    // One whole chunk: its header, what `body` writes, its length patched.
    template <typename Body>
    void chunk(uint16_t id, Body body) {
        begin(id);
        body();
        end();
    }
};

// One key of a track. Position and scale use value[0..2]; rotation is value[0] = angle
// (radians), value[1..3] = axis; FOV (degrees) and roll (degrees) use value[0].
// Each set bit of spline_flags writes one spline parameter (tension, continuity, bias,
// ease to, ease from, further bits zero) before the value.
struct Key3ds {
    uint32_t frame = 0;
    float value[4] = {0, 0, 0, 0};
    uint16_t spline_flags = 0;
    float spline[5] = {0, 0, 0, 0, 0};
};

// Key helpers for the common tracks.
inline Key3ds key3ds_position(uint32_t frame, float x, float y, float z) { return Key3ds{frame, {x, y, z}}; }
inline Key3ds key3ds_rotation(uint32_t frame, float angle, float ax, float ay, float az) {
    return Key3ds{frame, {angle, ax, ay, az}};
}
inline Key3ds key3ds_scale(uint32_t frame, float x, float y, float z) { return key3ds_position(frame, x, y, z); }
inline Key3ds key3ds_value(uint32_t frame, float value) { return Key3ds{frame, {value}}; }

struct FaceGroup3ds {
    std::string material;         // material name as written in the material table
    std::vector<uint16_t> faces;  // face numbers within the mesh
};

// A triangle object. Vertices are in the file's Z-up world frame; the loader moves them to
// object space with the inverse of `matrix` (rows m0..m8) after subtracting `translation`.
// Counts are 16-bit in the format: keep vertices and faces of one mesh at 65535 or fewer.
struct Mesh3ds {
    std::string name;
    std::vector<float> vertices;      // x, y, z per vertex
    std::vector<uint16_t> faces;      // i0, i1, i2 per face
    std::vector<float> mappings;      // u, v per vertex; empty: no mapping chunk
    std::vector<FaceGroup3ds> materials;
    std::vector<uint32_t> smoothing;  // one group mask per face; empty: no smoothing chunk
    bool has_matrix = true;
    float matrix[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    float translation[3] = {0, 0, 0};

    int vertex_count() const { return int(vertices.size() / 3); }
    int face_count() const { return int(faces.size() / 3); }
    // Append a vertex (and its mapping when uv is given) and return its index.
    int add_vertex(float x, float y, float z) {
        vertices.insert(vertices.end(), {x, y, z});
        return vertex_count() - 1;
    }
    int add_vertex(float x, float y, float z, float u, float v) {
        mappings.insert(mappings.end(), {u, v});
        return add_vertex(x, y, z);
    }
    void add_face(int i0, int i1, int i2) { faces.insert(faces.end(), {uint16_t(i0), uint16_t(i1), uint16_t(i2)}); }
    // Give faces first .. first+count-1 the named material (appends to its group).
    void set_material(const std::string &material, int first, int count);
};

struct Material3ds {
    std::string name;
    float diffuse[3] = {1, 1, 1};
    bool diffuse_as_bytes = false;  // write the diffuse colour as an RGB byte chunk
    float ambient[3] = {0, 0, 0};
    float specular[3] = {0, 0, 0};
    int transparency = 0;  // percent; the loader's opacity is 100 - transparency
    int reflection = -1;   // percent, -1: no reflection chunk
    std::string texture;   // map file name, empty: untextured
    std::string bump;      // bump map file name, empty: none
};

struct Light3ds {
    std::string name;
    float position[3] = {0, 0, 0};
    bool has_color = true;
    float color[3] = {1, 1, 1};
    bool spot = false;  // spot data: target, hotspot and falloff (degrees)
    float target[3] = {0, 0, 0};
    float hotspot = 45, falloff = 90;
};

struct Camera3ds {
    std::string name;
    float position[3] = {0, 0, 0};
    float target[3] = {0, 1, 0};
    float bank = 0;  // degrees
    float lens = 50;
};

// A Track info node: a mesh (its name) or "$$$DUMMY" (with an instance name).
struct ObjectNode3ds {
    std::string name;
    std::string instance;  // written as an instance-name chunk when not empty
    int parent = -1;       // node id of the parent, -1 for none
    bool has_pivot = true;
    float pivot[3] = {0, 0, 0};
    std::vector<Key3ds> position, rotation, scale;
};

// A camera node and its target node. A node named "QuakeCam" carries a model path.
struct CameraNode3ds {
    std::string name;
    std::vector<Key3ds> position, fov, roll;  // fov and roll in degrees
    bool has_target = true;
    std::vector<Key3ds> target;
};

struct Scene3ds {
    std::vector<Material3ds> materials;
    std::vector<Mesh3ds> meshes;
    std::vector<Light3ds> lights;
    std::vector<Camera3ds> cameras;
    uint32_t start_frame = 0, end_frame = 100;
    std::vector<ObjectNode3ds> object_nodes;  // written first, in order
    std::vector<CameraNode3ds> camera_nodes;  // then the camera and target nodes, in order
    bool light_nodes = true;  // then a light node per light, holding its position

    // Add a node that holds a mesh where its vertices lie: one key at frame 0 with
    // position 0, no rotation and scale 1 (the loader poses it once to the Y-up frame).
    ObjectNode3ds &add_static_node(const std::string &mesh_name);
    // Add a material with a texture map (white diffuse, the other fields at their defaults).
    Material3ds &add_material(const std::string &name, const std::string &texture);
};

// .3ds file bytes: version, editor (materials, meshes, lights, cameras), keyframer.
std::vector<uint8_t> encode_3ds(const Scene3ds &scene);
