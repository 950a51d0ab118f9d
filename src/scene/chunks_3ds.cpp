// chunks_3ds.cpp: the 3DS chunk table, the recursive chunk walker and the handlers of the
// editor section (meshes, materials, lights, camera). Keyframer handlers: tracks_3ds.cpp.
#include <cmath>
#include <cstdio>
#include <strings.h>

#include "app/files.h"
#include "app/messages.h"
#include "scene/load3ds_state.h"
#include "texture/texture.h"

// Read three floats into the colour register.
static void handle_rgb_float(int, int, long end) {
    float c[3];
    if (!read_floats_3ds(c, 3, end)) return;
    for (int i = 0; i < 3; i++) loader3ds.color[i] = c[i];
}

// Read three bytes into the colour register, scaled to 0..1.
static void handle_rgb_byte(int, int, long end) {
    uint8_t c[3];
    if (!read_bytes_3ds(c, 3, end)) return;
    for (int i = 0; i < 3; i++) loader3ds.color[i] = float(c[i]) / 255.0f;
}

// Chunks whose data is read and discarded (smoothing groups, spot data, percentages).
static void handle_skip(int, int, long) {}

// Object Block: the object's name, then its sub-chunks.
static void handle_object(int file, int depth, long end) {
    read_name_3ds(end);
    walk_chunks(file, depth, end);
}

// Tri-Mesh: start a mesh, walk its data, then count what it added.
static void handle_trimesh(int file, int depth, long end) {
    Loader3ds &L = loader3ds;
    if (L.building_mesh >= 0) return;  // a mesh inside a mesh is not a mesh
    if (L.mesh_count >= L.capacity.meshes || L.mesh_count >= LOAD3DS_MAX_MESHES)
        fatal_errorf("3DS: [%s] too many meshes (capacity %d)", L.file_name,
                     L.capacity.meshes < LOAD3DS_MAX_MESHES ? L.capacity.meshes : int(LOAD3DS_MAX_MESHES));
    int index = L.mesh_count;
    Mesh &mesh = L.meshes[index];
    init_mesh(mesh);
    mesh.faces = L.faces + L.face_count;
    mesh.first_vertex = L.vertex_count;
    copy_name_3ds(mesh.name, L.name);
    int first_face = L.face_count;
    L.building_mesh = index;
    walk_chunks(file, depth, end);
    L.building_mesh = -1;
    mesh.vertex_count = L.vertex_count - mesh.first_vertex;
    mesh.face_count = L.face_count - first_face;
    L.mesh_count++;
}

// Vertex list: a count and that many (x, y, z), stored as read.
static void handle_vertices(int, int, long end) {
    Loader3ds &L = loader3ds;
    uint16_t n;
    if (L.building_mesh < 0 || !read_u16_3ds(n, end)) return;
    if (long(n) * 12 > bytes_left_3ds(end)) return;  // count does not fit: a short read
    if (n > L.capacity.vertices - L.vertex_count)
        fatal_errorf("3DS: [%s] too many vertices (capacity %d)", L.file_name, L.capacity.vertices);
    for (int i = 0; i < n; i++) {
        float p[3];
        if (!read_floats_3ds(p, 3, end)) return;
        Vertex &v = L.vertices[L.vertex_count];
        init_vertex(v);
        for (int k = 0; k < 3; k++) v.position[k] = p[k];
        L.vertex_count++;
    }
}

// Face list: a count and that many (i0, i1, i2, flags), stored with reversed winding;
// the material and smoothing chunks follow.
static void handle_faces(int file, int depth, long end) {
    Loader3ds &L = loader3ds;
    uint16_t n;
    if (L.building_mesh < 0 || !read_u16_3ds(n, end)) return;
    if (long(n) * 8 > bytes_left_3ds(end)) return;
    if (n > L.capacity.faces - L.face_count)
        fatal_errorf("3DS: [%s] too many faces (capacity %d)", L.file_name, L.capacity.faces);
    const Mesh &mesh = L.meshes[L.building_mesh];
    int mesh_vertices = L.vertex_count - mesh.first_vertex;
    for (int i = 0; i < n; i++) {
        uint16_t idx[4];
        for (int k = 0; k < 4; k++)
            if (!read_u16_3ds(idx[k], end)) return;
        for (int k = 0; k < 3; k++)
            if (idx[k] >= mesh_vertices)
                fatal_errorf("3DS: [%s] mesh %s: face %d uses vertex %d of %d", L.file_name, mesh.name, i,
                             idx[k], mesh_vertices);
        Face &f = L.faces[L.face_count];
        init_face(f);
        f.a = idx[0];
        f.b = idx[2];
        f.c = idx[1];
        L.face_count++;
    }
    walk_chunks(file, depth, end);
}

// Face material: the named material's colour, texture and opacity on the listed faces.
static void handle_face_material(int, int, long end) {
    Loader3ds &L = loader3ds;
    if (L.building_mesh < 0) return;
    read_name_3ds(end);
    const Material *material = nullptr;
    for (int i = 0; i < L.material_count; i++)
        if (strcasecmp(L.materials[i].name, L.name) == 0) material = &L.materials[i];
    if (!material) fatal_error(L.name);
    uint16_t n;
    if (!read_u16_3ds(n, end)) return;
    if (long(n) * 2 > bytes_left_3ds(end)) return;
    const Mesh &mesh = L.meshes[L.building_mesh];
    int mesh_faces = int(L.faces + L.face_count - mesh.faces);
    for (int i = 0; i < n; i++) {
        uint16_t number;
        if (!read_u16_3ds(number, end)) return;
        if (number >= mesh_faces)
            fatal_errorf("3DS: [%s] mesh %s: material %s names face %d of %d", L.file_name, mesh.name,
                         material->name, number, mesh_faces);
        Face &f = mesh.faces[number];
        for (int k = 0; k < 3; k++) f.color[k] = material->diffuse[k];
        f.texture = material->texture;
        f.alpha = material->opacity / 100.0f;
    }
}

// Mappings list: (u, v) for the first vertices of the mesh being built.
static void handle_mappings(int, int, long end) {
    Loader3ds &L = loader3ds;
    uint16_t n;
    if (L.building_mesh < 0 || !read_u16_3ds(n, end)) return;
    if (long(n) * 8 > bytes_left_3ds(end)) return;
    const Mesh &mesh = L.meshes[L.building_mesh];
    int mesh_vertices = L.vertex_count - mesh.first_vertex;
    if (n > mesh_vertices)
        fatal_errorf("3DS: [%s] mesh %s: %d mappings for %d vertices", L.file_name, mesh.name, n,
                     mesh_vertices);
    for (int i = 0; i < n; i++) {
        float uv[2];
        if (!read_floats_3ds(uv, 2, end)) return;
        Vertex &v = L.vertices[mesh.first_vertex + i];
        v.u = uv[0];
        v.v = uv[1];
    }
}

// Matrix: the inverse of the object's 3x3 matrix and its translation, for the mesh being built.
static void handle_matrix(int, int, long end) {
    Loader3ds &L = loader3ds;
    float m[12];
    if (L.building_mesh < 0 || !read_floats_3ds(m, 12, end)) return;
    float det = m[0] * m[4] * m[8] - m[0] * m[5] * m[7] + m[1] * m[5] * m[6] - m[1] * m[3] * m[8] +
                m[2] * m[3] * m[7] - m[2] * m[4] * m[6];
    if (!std::isfinite(det) || det == 0.0f)
        fatal_errorf("3DS: [%s] mesh %s has a singular matrix", L.file_name, L.meshes[L.building_mesh].name);
    MatrixEntry &e = L.matrices[L.building_mesh];
    e.inverse[0] = (m[4] * m[8] - m[5] * m[7]) / det;
    e.inverse[1] = (m[2] * m[7] - m[1] * m[8]) / det;
    e.inverse[2] = (m[1] * m[5] - m[2] * m[4]) / det;
    e.inverse[3] = (m[5] * m[6] - m[3] * m[8]) / det;
    e.inverse[4] = (m[0] * m[8] - m[2] * m[6]) / det;
    e.inverse[5] = (m[2] * m[3] - m[0] * m[5]) / det;
    e.inverse[6] = (m[3] * m[7] - m[4] * m[6]) / det;
    e.inverse[7] = (m[1] * m[6] - m[0] * m[7]) / det;
    e.inverse[8] = (m[0] * m[4] - m[1] * m[3]) / det;
    for (int k = 0; k < 3; k++) e.translation[k] = m[9 + k];
}

// Light: a point light at (x, z, -y); a colour chunk inside gives its colour.
static void handle_light(int file, int depth, long end) {
    Loader3ds &L = loader3ds;
    float p[3];
    if (!read_floats_3ds(p, 3, end)) return;
    if (L.light_count >= L.capacity.lights)
        fatal_errorf("3DS: [%s] too many lights (capacity %d)", L.file_name, L.capacity.lights);
    Light &light = L.lights[L.light_count++];
    init_light(light);
    light.position[0] = p[0];
    light.position[1] = p[2];
    light.position[2] = -p[1];
    L.color[0] = -500.0f;
    walk_chunks(file, depth, end);
    if (L.color[0] != -500.0f)
        for (int k = 0; k < 3; k++) light.color[k] = L.color[k];
}

// Camera: position, target, bank (ignored) and lens, which becomes the field of view.
static void handle_camera(int, int, long end) {
    Loader3ds &L = loader3ds;
    float c[8];
    if (!read_floats_3ds(c, 8, end)) return;
    Camera &camera = *L.camera;
    init_camera(camera);
    for (int k = 0; k < 3; k++) {
        camera.position[k] = c[k];
        camera.direction[k] = c[3 + k] - c[k];
    }
    camera.fov = c[7];
}

// Material: a new row of the material table, filled by its sub-chunks.
static void handle_material(int file, int depth, long end) {
    Loader3ds &L = loader3ds;
    if (L.material_count >= LOAD3DS_MAX_MATERIALS) fatal_error("Too many materials in this scene");
    int index = L.material_count++;
    Material &m = L.materials[index];
    m.name[0] = 0;
    for (int k = 0; k < 3; k++) m.diffuse[k] = 0.0f;
    m.opacity = 100.0f;
    m.texture = -1;
    int outer = L.current_material;
    L.current_material = index;
    walk_chunks(file, depth, end);
    L.current_material = outer;
}

static void handle_material_name(int, int, long end) {
    Loader3ds &L = loader3ds;
    read_name_3ds(end);
    if (L.current_material >= 0) copy_name_3ds(L.materials[L.current_material].name, L.name);
}

// Diffuse colour: the colour register after walking the colour chunk.
static void handle_diffuse(int file, int depth, long end) {
    Loader3ds &L = loader3ds;
    walk_chunks(file, depth, end);
    if (L.current_material >= 0)
        for (int k = 0; k < 3; k++) L.materials[L.current_material].diffuse[k] = L.color[k];
}

// Opacity: the chunk holds a transparency percentage; opacity is its complement.
static void handle_opacity(int, int, long end) {
    Loader3ds &L = loader3ds;
    uint16_t p;
    if (!skip_3ds(6, end) || !read_u16_3ds(p, end)) return;
    if (L.current_material >= 0) L.materials[L.current_material].opacity = 100.0f - float(p);
}

// Map filename: the material's texture, loaded with repeat.
static void handle_map_file(int file, int depth, long end) {
    Loader3ds &L = loader3ds;
    read_name_3ds(end);
    if (L.current_material >= 0) {
        int texture = texture_find(L.name, true);
        if (texture == -1) fatal_errorf("texture %s not loaded!", L.name);
        L.materials[L.current_material].texture = texture;
    }
    walk_chunks(file, depth, end);
}

// Object number: a 16-bit node number, discarded.
static void handle_object_number(int, int, long) {}

struct ChunkRow {
    uint16_t id;
    const char *name;
    ChunkHandler handler;  // null: walk the sub-chunks
};

static const ChunkRow chunk_table[] = {
    {0x0010, "RGB float", handle_rgb_float},
    {0x0011, "RGB byte", handle_rgb_byte},
    {0x4d4d, "Main", nullptr},
    {0x3d3d, "Object Mesh", nullptr},
    {0x1200, "Background color", nullptr},
    {0x2100, "Ambient color", nullptr},
    {0x4000, "Object Block", handle_object},
    {0x4100, "Tri-Mesh", handle_trimesh},
    {0x4110, "Vertex list", handle_vertices},
    {0x4120, "Face list", handle_faces},
    {0x4130, "Face material", handle_face_material},
    {0x4140, "Mappings list", handle_mappings},
    {0x4150, "Smoothings", handle_skip},
    {0x4160, "Matrix", handle_matrix},
    {0x4600, "Light", handle_light},
    {0x4610, "Spotlight", handle_skip},
    {0x4700, "Camera", handle_camera},
    {0x4f00, "Hierarchy", nullptr},
    {0x7001, "Viewport info", nullptr},
    {0xafff, "Material", handle_material},
    {0xa000, "Material name", handle_material_name},
    {0xa010, "Ambient color", nullptr},
    {0xa020, "Diffuse color", handle_diffuse},
    {0xa030, "Specular color", nullptr},
    {0xa040, "Reflection", handle_skip},
    {0xa050, "Opacity", handle_opacity},
    {0xa200, "Texture map", nullptr},
    {0xa230, "Bump map", nullptr},
    {0xa300, "Map filename", handle_map_file},
    {0xb000, "Keyframer data", nullptr},
    {0xb001, "Ambient key", nullptr},
    {0xb002, "Track info", handle_track_info},
    {0xb008, "Frames", handle_frames},
    {0xb010, "Track Obj. Name", handle_track_name},
    {0xb013, "Pivot point", handle_pivot},
    {0xb020, "Position keys", handle_position_keys},
    {0xb021, "Rotation keys", handle_rotation_keys},
    {0xb022, "Scale keys", handle_scale_keys},
    {0xb030, "Object number", handle_object_number},
    {0xb003, "Camera track", handle_camera_track},
    {0xb004, "Camera target track", handle_target_track},
    {0xb005, "Pointlight track", nullptr},
    {0xb006, "Pointlight target track", nullptr},
    {0xb007, "Spotlight track", nullptr},
    {0xb023, "FOV track", handle_fov_track},
    {0xb024, "Roll track", handle_roll_track},
};
enum { CHUNK_TABLE_ROWS = sizeof chunk_table / sizeof chunk_table[0] };
static_assert(CHUNK_TABLE_ROWS == 46, "the chunk table has 46 rows");

void walk_chunks(int file, int depth, long end) {
    if (depth > 2 * LOAD3DS_MAX_LEVELS)
        fatal_errorf("3DS: [%s] chunks nested more than %d levels deep", loader3ds.file_name,
                     int(LOAD3DS_MAX_LEVELS));
    while (file_tell(file) < end) {
        long start = file_tell(file);
        uint16_t id;
        uint32_t length;
        if (!read_u16_3ds(id, end) || !read_u32_3ds(length, end) || length == 0) return;
        long chunk_end = start + long(length);
        for (int i = 0; i < CHUNK_TABLE_ROWS; i++) {
            if (chunk_table[i].id != id) continue;
            if (chunk_table[i].handler)
                chunk_table[i].handler(file, depth + 2, chunk_end);
            else
                walk_chunks(file, depth + 2, chunk_end);
            break;
        }
        file_seek(file, chunk_end, 0);
    }
}
