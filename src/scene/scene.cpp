// scene.cpp: defaults of the scene records, mesh lookup by name, vertex normals and the
// list of active lights.
#include "app/ascii.h"
#include "scene/scene.h"

#include <cstdlib>
#include <cstring>

#include "app/messages.h"

void init_scene(Scene &s) {
    memset(&s, 0, sizeof s);
    s.background_texture = -1;
    s.fog_color[0] = s.fog_color[1] = s.fog_color[2] = 0.3f;
    s.fog_color[3] = 0.0f;
    s.fog_density = 10.0f;
}

void init_camera(Camera &c) {
    memset(&c, 0, sizeof c);
    c.fov = 90.0f;
    c.zmax = 1000000.0f;
    c.glow_alpha = 1.0f;
}

void init_mesh(Mesh &m) {
    memset(&m, 0, sizeof m);
    m.first_key = -1;
    m.key_count = -1;
    m.model_path_count = -1;
}

void init_face(Face &f) {
    memset(&f, 0, sizeof f);
    f.light_blend = 1;
    f.texture = -1;
    f.second_texture = -1;
    f.alpha = 1.0f;
    f.color[0] = f.color[1] = f.color[2] = 1.0f;
}

void init_vertex(Vertex &v) { memset(&v, 0, sizeof v); }

void init_light(Light &l) {
    memset(&l, 0, sizeof l);
    l.intensity = 1.0f;
    l.range_inner = 100000.0f;
    l.range_outer = 1000000.0f;
    l.flare_strength = 1.0f;
    l.glow_size = 1.0f;
    l.color[0] = l.color[1] = l.color[2] = 1.0f;
    l.hotspot = 45.0f;
    l.falloff = 90.0f;
}

// True when a mesh name (at most 64 bytes) equals `name` ignoring the case of ASCII letters.
static bool mesh_name_equal(const char (&mesh_name)[64], const char *name) {
    size_t length = 0;
    while (length < sizeof mesh_name && mesh_name[length]) length++;
    return same_name(mesh_name, name, length) && name[length] == 0;
}

int find_mesh(const Scene &scene, const char *name) {
    for (int i = 0; i < scene.mesh_count; i++)
        if (mesh_name_equal(scene.meshes[i].name, name)) return i;
    log_line("mesh not found, dumping...");
    for (int i = 0; i < scene.mesh_count; i++) {
        char line[sizeof scene.meshes[i].name + 1];
        memcpy(line, scene.meshes[i].name, sizeof scene.meshes[i].name);
        line[sizeof line - 1] = 0;
        log_line(line);
    }
    fatal_error(name);
}

// Cross product out = a x b.
static void cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void compute_normals(const Mesh &mesh, Vertex *vertices) {
    Vertex *v = vertices + mesh.first_vertex;
    for (int i = 0; i < mesh.vertex_count; i++) v[i].normal[0] = v[i].normal[1] = v[i].normal[2] = 0;
    for (int f = 0; f < mesh.face_count; f++) {
        const Face &face = mesh.faces[f];
        int index[3] = {face.a, face.b, face.c};
        bool inside = true;
        for (int k = 0; k < 3; k++) inside = inside && index[k] >= 0 && index[k] < mesh.vertex_count;
        if (!inside)
            fatal_errorf("MESH: [%.64s] face %d uses vertex %d/%d/%d of %d", mesh.name, f, face.a,
                         face.b, face.c, mesh.vertex_count);
        const float *p0 = v[face.a].position, *p1 = v[face.b].position, *p2 = v[face.c].position;
        float e1[3], e2[3], e3[3], n[3];
        for (int k = 0; k < 3; k++) {
            e1[k] = p1[k] - p0[k];
            e2[k] = p2[k] - p1[k];
            e3[k] = p0[k] - p2[k];
        }
        cross(e1, e3, n);
        for (int k = 0; k < 3; k++) v[face.a].normal[k] += n[k];
        cross(e2, e1, n);
        for (int k = 0; k < 3; k++) v[face.b].normal[k] += n[k];
        cross(e3, e2, n);
        for (int k = 0; k < 3; k++) v[face.c].normal[k] += n[k];
    }
}

void collect_active_lights(Scene &scene) {
    int count = 0;
    for (int i = 0; i < scene.light_count; i++)
        if (scene.lights[i].active) count++;
    int32_t *list = (int32_t *)calloc((size_t)count + 1, sizeof(int32_t));
    if (!list) fatal_error("SCENE: out of memory for the active light list");
    list[0] = count;
    int n = 1;
    for (int i = 0; i < scene.light_count; i++)
        if (scene.lights[i].active) list[n++] = i;
    scene.active_lights = list;
}
