// writer_3ds.cpp: turns a Scene3ds into .3ds file bytes, chunk by chunk.
#include "writers/writer_3ds.h"

void ChunkWriter::begin(uint16_t id) {
    open.push_back(bytes.size());
    u16(id);
    u32(0);  // patched by end()
}

void ChunkWriter::end() {
    if (open.empty()) return;
    size_t start = open.back();
    open.pop_back();
    uint32_t length = uint32_t(bytes.size() - start);
    for (int i = 0; i < 4; i++) bytes[start + 2 + i] = uint8_t(length >> (8 * i));
}

void Mesh3ds::set_material(const std::string &material, int first, int count) {
    FaceGroup3ds *group = nullptr;
    for (FaceGroup3ds &g : materials)
        if (g.material == material) group = &g;
    if (!group) {
        materials.push_back(FaceGroup3ds{material, {}});
        group = &materials.back();
    }
    for (int i = 0; i < count; i++) group->faces.push_back(uint16_t(first + i));
}

Material3ds &Scene3ds::add_material(const std::string &name, const std::string &texture) {
    Material3ds &m = materials.emplace_back();
    m.name = name;
    m.texture = texture;
    return m;
}

ObjectNode3ds &Scene3ds::add_static_node(const std::string &mesh_name) {
    ObjectNode3ds &node = object_nodes.emplace_back();
    node.name = mesh_name;
    node.position = {key3ds_position(0, 0, 0, 0)};
    node.rotation = {key3ds_rotation(0, 0, 0, 0, 1)};
    node.scale = {key3ds_scale(0, 1, 1, 1)};
    return node;
}

// A colour chunk of three floats or three bytes.
static void write_color(ChunkWriter &w, const float *rgb, bool as_bytes) {
    if (!as_bytes) return w.chunk(C3DS_RGB_FLOAT, [&] { w.floats(rgb, 3); });
    w.chunk(C3DS_RGB_BYTE, [&] {
        for (int i = 0; i < 3; i++) w.u8(uint8_t((rgb[i] < 0 ? 0 : rgb[i] > 1 ? 1 : rgb[i]) * 255.0f + 0.5f));
    });
}

// A percentage chunk (16-bit integer).
static void write_percent(ChunkWriter &w, int percent) { w.chunk(C3DS_PERCENT_INT, [&] { w.u16(uint16_t(percent)); }); }

// A texture or bump map: strength 100 % and the file name.
static void write_map(ChunkWriter &w, uint16_t id, const std::string &file) {
    w.chunk(id, [&] {
        write_percent(w, 100);
        w.chunk(C3DS_MAT_MAP_FILE, [&] { w.text(file); });
    });
}

static void write_material(ChunkWriter &w, const Material3ds &m) {
    w.chunk(C3DS_MATERIAL, [&] {
        w.chunk(C3DS_MAT_NAME, [&] { w.text(m.name); });
        w.chunk(C3DS_MAT_AMBIENT, [&] { write_color(w, m.ambient, true); });
        w.chunk(C3DS_MAT_DIFFUSE, [&] { write_color(w, m.diffuse, m.diffuse_as_bytes); });
        w.chunk(C3DS_MAT_SPECULAR, [&] { write_color(w, m.specular, true); });
        if (m.reflection >= 0) w.chunk(C3DS_MAT_REFLECTION, [&] { write_percent(w, m.reflection); });
        w.chunk(C3DS_MAT_TRANSPARENCY, [&] { write_percent(w, m.transparency); });
        if (!m.texture.empty()) write_map(w, C3DS_MAT_TEXTURE_MAP, m.texture);
        if (!m.bump.empty()) write_map(w, C3DS_MAT_BUMP_MAP, m.bump);
    });
}

// The faces with their edge flags, then each material's face list and the smoothing groups.
static void write_faces(ChunkWriter &w, const Mesh3ds &m) {
    w.u16(uint16_t(m.face_count()));
    for (int f = 0; f < m.face_count(); f++) {
        for (int k = 0; k < 3; k++) w.u16(m.faces[size_t(f) * 3 + k]);
        w.u16(7);  // edge visibility flags
    }
    for (const FaceGroup3ds &g : m.materials)
        w.chunk(C3DS_FACE_MATERIAL, [&] {
            w.text(g.material);
            w.u16(uint16_t(g.faces.size()));
            for (uint16_t f : g.faces) w.u16(f);
        });
    if (!m.smoothing.empty()) w.chunk(C3DS_SMOOTHING, [&] { for (uint32_t s : m.smoothing) w.u32(s); });
}

static void write_mesh(ChunkWriter &w, const Mesh3ds &m) {
    w.chunk(C3DS_OBJECT, [&] {
        w.text(m.name);
        w.chunk(C3DS_TRIMESH, [&] {
            w.chunk(C3DS_VERTICES, [&] {
                w.u16(uint16_t(m.vertex_count()));
                w.floats(m.vertices.data(), size_t(m.vertex_count()) * 3);
            });
            if (!m.mappings.empty())
                w.chunk(C3DS_MAPPINGS, [&] {
                    w.u16(uint16_t(m.mappings.size() / 2));
                    w.floats(m.mappings.data(), m.mappings.size() / 2 * 2);
                });
            if (m.has_matrix)
                w.chunk(C3DS_MATRIX, [&] {
                    w.floats(m.matrix, 9);
                    w.floats(m.translation, 3);
                });
            w.chunk(C3DS_FACES, [&] { write_faces(w, m); });
        });
    });
}

static void write_light(ChunkWriter &w, const Light3ds &l) {
    w.chunk(C3DS_OBJECT, [&] {
        w.text(l.name);
        w.chunk(C3DS_LIGHT, [&] {
            w.floats(l.position, 3);
            if (l.has_color) write_color(w, l.color, false);
            if (l.spot)
                w.chunk(C3DS_SPOTLIGHT, [&] {
                    w.floats(l.target, 3);
                    w.f32(l.hotspot);
                    w.f32(l.falloff);
                });
        });
    });
}

static void write_camera(ChunkWriter &w, const Camera3ds &c) {
    w.chunk(C3DS_OBJECT, [&] {
        w.text(c.name);
        w.chunk(C3DS_CAMERA, [&] {
            w.floats(c.position, 3);
            w.floats(c.target, 3);
            w.f32(c.bank);
            w.f32(c.lens);
        });
    });
}

// One track chunk (position, rotation, scale, FOV or roll) of `values` floats per key.
static void write_track_3ds(ChunkWriter &w, uint16_t id, const std::vector<Key3ds> &keys, int values) {
    w.chunk(id, [&] {
        w.u16(0);  // track flags
        w.u32(0);  // two reserved words
        w.u32(0);
        w.u32(uint32_t(keys.size()));
        for (const Key3ds &k : keys) {
            w.u32(k.frame);
            w.u16(k.spline_flags);
            for (int bit = 0; bit < 16; bit++)
                if (k.spline_flags & (1u << bit)) w.f32(bit < 5 ? k.spline[bit] : 0.0f);
            w.floats(k.value, size_t(values));
        }
    });
}

// Node id and node header (name, two flag words, parent id).
static void write_node_start(ChunkWriter &w, uint16_t id, const std::string &name, int parent) {
    w.chunk(C3DS_NODE_ID, [&] { w.u16(id); });
    w.chunk(C3DS_NODE_HEADER, [&] {
        w.text(name);
        w.u16(0x4000);
        w.u16(0);
        w.u16(uint16_t(parent < 0 ? 0xffff : parent));
    });
}

// The object nodes, then each camera's node and its target's, then a node per light; ids in
// that order.
static void write_nodes(ChunkWriter &w, const Scene3ds &s) {
    uint16_t id = 0;
    for (const ObjectNode3ds &n : s.object_nodes)
        w.chunk(C3DS_OBJECT_NODE, [&] {
            write_node_start(w, id++, n.name, n.parent);
            if (!n.instance.empty()) w.chunk(C3DS_INSTANCE_NAME, [&] { w.text(n.instance); });
            if (n.has_pivot) w.chunk(C3DS_PIVOT, [&] { w.floats(n.pivot, 3); });
            write_track_3ds(w, C3DS_POSITION_TRACK, n.position, 3);
            write_track_3ds(w, C3DS_ROTATION_TRACK, n.rotation, 4);
            write_track_3ds(w, C3DS_SCALE_TRACK, n.scale, 3);
        });
    for (const CameraNode3ds &c : s.camera_nodes) {
        // The loader reads node id, node header and position track in this order.
        w.chunk(C3DS_CAMERA_NODE, [&] {
            write_node_start(w, id++, c.name, -1);
            write_track_3ds(w, C3DS_POSITION_TRACK, c.position, 3);
            write_track_3ds(w, C3DS_FOV_TRACK, c.fov, 1);
            write_track_3ds(w, C3DS_ROLL_TRACK, c.roll, 1);
        });
        if (c.has_target)
            w.chunk(C3DS_TARGET_NODE, [&] {
                write_node_start(w, id++, c.name, -1);
                write_track_3ds(w, C3DS_POSITION_TRACK, c.target, 3);
            });
    }
    if (s.light_nodes)
        for (const Light3ds &l : s.lights)
            w.chunk(l.spot ? C3DS_SPOT_NODE : C3DS_LIGHT_NODE, [&] {
                write_node_start(w, id++, l.name, -1);
                write_track_3ds(w, C3DS_POSITION_TRACK,
                                {key3ds_position(0, l.position[0], l.position[1], l.position[2])}, 3);
            });
}

static void write_keyframer(ChunkWriter &w, const Scene3ds &s) {
    w.chunk(C3DS_KEYFRAMER, [&] {
        w.chunk(C3DS_KF_HEADER, [&] {
            w.u16(5);
            w.text("MAXSCENE");
            w.u32(s.end_frame);
        });
        w.chunk(C3DS_KF_FRAMES, [&] {
            w.u32(s.start_frame);
            w.u32(s.end_frame);
        });
        write_nodes(w, s);
    });
}

std::vector<uint8_t> encode_3ds(const Scene3ds &s) {
    ChunkWriter w;
    w.chunk(C3DS_MAIN, [&] {
        w.chunk(C3DS_VERSION, [&] { w.u32(3); });
        w.chunk(C3DS_EDITOR, [&] {
            w.chunk(C3DS_MESH_VERSION, [&] { w.u32(3); });
            for (const Material3ds &m : s.materials) write_material(w, m);
            w.chunk(C3DS_MASTER_SCALE, [&] { w.f32(1.0f); });
            for (const Mesh3ds &m : s.meshes) write_mesh(w, m);
            for (const Light3ds &l : s.lights) write_light(w, l);
            for (const Camera3ds &c : s.cameras) write_camera(w, c);
        });
        write_keyframer(w, s);
    });
    return w.bytes;
}
