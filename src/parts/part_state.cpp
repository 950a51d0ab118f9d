// part_state.cpp: a demo part's changing state as one run of bytes: kept as its load left it,
// reset, saved and restored for the show's replays, and summed up in a digest.
#include "parts/part_state.h"

#include <cstring>

#include "app/messages.h"
#include "parts/part_common.h"
#include "parts/part_table.h"

// One stretch of memory a part changes while it plays.
struct StateRegion {
    void *at;
    size_t size;
};

enum { STATE_REGIONS = 10 };

// The digest reads these records' bytes as their fields: they must have no gaps.
static_assert(sizeof(Vertex) == 14 * sizeof(float), "Vertex holds floats only");
static_assert(sizeof(CameraKey) == 9 * sizeof(float), "CameraKey holds floats only");
static_assert(sizeof(ObjectKey) == 11 * sizeof(float), "ObjectKey holds floats only");
static_assert(sizeof(ModelPathKey) == 10 * 4, "ModelPathKey holds 4-byte fields only");

// The part's scene, if part k is loaded.
static PartScene *loaded_part(int part) {
    if (part < 1 || part > PART_COUNT) return nullptr;
    return part_scenes[part - 1];
}

// Every array at its capacity, the scene and camera records and the part's own record.
static int state_regions(PartScene &p, StateRegion out[STATE_REGIONS]) {
    const PartCapacity &c = p.capacity;
    int n = 0;
    out[n++] = {p.vertices, sizeof(Vertex) * size_t(c.vertices)};
    out[n++] = {p.faces, sizeof(Face) * size_t(c.faces)};
    out[n++] = {p.meshes, sizeof(Mesh) * size_t(c.meshes)};
    out[n++] = {p.lights, sizeof(Light) * size_t(c.lights)};
    out[n++] = {p.camera_keys, sizeof(CameraKey) * size_t(c.camera_keys)};
    out[n++] = {p.object_keys, sizeof(ObjectKey) * size_t(c.object_keys)};
    out[n++] = {p.model_path, p.model_path ? sizeof(ModelPathKey) * size_t(c.model_path_keys) : 0};
    out[n++] = {&p.scene, sizeof(Scene)};
    out[n++] = {&p.camera, sizeof(Camera)};
    out[n++] = {p.own, p.own ? p.own_size : 0};
    return n;
}

size_t part_state_size(int part) {
    PartScene *p = loaded_part(part);
    if (!p) return 0;
    StateRegion regions[STATE_REGIONS];
    int n = state_regions(*p, regions);
    size_t total = 0;
    for (int i = 0; i < n; i++) total += regions[i].size;
    return total;
}

void part_save(int part, uint8_t *bytes) {
    PartScene *p = loaded_part(part);
    if (!p) return;
    StateRegion regions[STATE_REGIONS];
    int n = state_regions(*p, regions);
    for (int i = 0; i < n; i++) {
        if (regions[i].size) memcpy(bytes, regions[i].at, regions[i].size);
        bytes += regions[i].size;
    }
}

void part_restore(int part, const uint8_t *bytes) {
    PartScene *p = loaded_part(part);
    if (!p) return;
    StateRegion regions[STATE_REGIONS];
    int n = state_regions(*p, regions);
    for (int i = 0; i < n; i++) {
        if (regions[i].size) memcpy(regions[i].at, bytes, regions[i].size);
        bytes += regions[i].size;
    }
}

void part_load(int part) {
    if (part < 1 || part > PART_COUNT || !part_built(part)) fatal_errorf("part_load: no demo part %d", part);
    part_table[part - 1].load();
    PartScene *p = loaded_part(part);
    if (!p) fatal_errorf("part_load: demo part %d built no scene", part);
    delete[] p->loaded_state;
    p->loaded_state = new uint8_t[part_state_size(part)];
    part_save(part, p->loaded_state);
}

void part_reset(int part) {
    PartScene *p = loaded_part(part);
    if (p && p->loaded_state) part_restore(part, p->loaded_state);
}

// ---------------------------------------------------------------------------------------
// The digest: 64-bit words mixed in order; fields one at a time where records have gaps.

struct Digest {
    uint64_t h = 0x9e3779b97f4a7c15ull;
    void word(uint64_t w) {
        h ^= w + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        h *= 0xff51afd7ed558ccdull;
    }
    void bytes(const void *data, size_t size) {
        const uint8_t *b = static_cast<const uint8_t *>(data);
        word(size);
        if (size == 0) return;
        for (; size >= 8; size -= 8, b += 8) {
            uint64_t w;
            memcpy(&w, b, 8);
            word(w);
        }
        uint64_t last = 0;
        if (size) memcpy(&last, b, size);
        word(last);
    }
    void f(float x) {
        uint32_t bits;
        memcpy(&bits, &x, 4);
        word(bits);
    }
    void fs(const float *x, int n) { bytes(x, sizeof(float) * size_t(n)); }
    void i(int64_t x) { word(uint64_t(x)); }
};

static void digest_face(Digest &d, const Face &f) {
    d.i(f.a), d.i(f.b), d.i(f.c);
    d.i(f.blend_mode), d.i(f.light_blend), d.i(f.texture), d.i(f.second_pass), d.i(f.second_texture);
    d.f(f.alpha), d.fs(f.color, 3), d.i(f.two_sided);
}

static void digest_mesh(Digest &d, const PartScene &p, const Mesh &m) {
    d.bytes(m.name, strnlen(m.name, sizeof m.name));
    d.i(m.faces ? m.faces - p.faces : -1);
    d.i(m.first_vertex), d.i(m.vertex_count), d.i(m.face_count);
    d.f(m.ambient), d.i(m.lit), d.i(m.first_key), d.i(m.key_count), d.fs(m.pivot, 3);
    d.i(m.model_path_count), d.i(m.model_path && p.model_path ? m.model_path - p.model_path : -1);
}

static void digest_light(Digest &d, const Light &l) {
    d.fs(l.position, 3), d.f(l.intensity), d.f(l.range_inner), d.f(l.range_outer);
    d.f(l.flare_strength), d.f(l.glow_size), d.fs(l.color, 3);
    d.i(l.active), d.i(l.flare_flag), d.i(l.flare_texture), d.i(l.spot);
    d.fs(l.spot_direction, 3), d.f(l.hotspot), d.f(l.falloff);
}

static void digest_camera(Digest &d, const Camera &c) {
    d.fs(c.position, 3), d.fs(c.direction, 3), d.f(c.fov), d.f(c.zmax), d.f(c.fade), d.f(c.roll);
    d.i(c.keep_mask), d.f(c.glow_alpha);
}

static void digest_scene(Digest &d, const Scene &s) {
    int active = s.active_lights ? s.active_lights[0] : -1;
    d.i(active);
    for (int k = 1; k <= active; k++) d.i(s.active_lights[k]);
    d.i(s.vertex_count), d.i(s.mesh_count), d.i(s.light_count), d.i(s.camera_key_count), d.i(s.flags);
    d.i(s.background_texture), d.fs(s.fog_color, 4), d.f(s.fog_density), d.f(s.scene_fade);
    d.f(s.frame_rate), d.f(s.camera_shake);
}

// How many records of an array count: all up to the last one that differs from a fresh
// record (so room the part never used leaves the digest as it is).
template <typename T>
static int used_records(const T *array, int capacity, void (*init)(T &)) {
    if (!array) return 0;
    T fresh{};
    if (init) init(fresh);
    while (capacity > 0 && memcmp(&array[capacity - 1], &fresh, sizeof fresh) == 0) capacity--;
    return capacity;
}

uint64_t part_digest(int part) {
    PartScene *p = loaded_part(part);
    if (!p) return 0;
    const PartCapacity &c = p->capacity;
    Digest d;
    // Vertices and keys are all floats: their bytes are their fields.
    d.bytes(p->vertices, sizeof(Vertex) * size_t(used_records(p->vertices, c.vertices, init_vertex)));
    int faces = used_records(p->faces, c.faces, init_face);
    d.i(faces);
    for (int k = 0; k < faces; k++) digest_face(d, p->faces[k]);
    int meshes = used_records(p->meshes, c.meshes, init_mesh);
    d.i(meshes);
    for (int k = 0; k < meshes; k++) digest_mesh(d, *p, p->meshes[k]);
    int lights = used_records(p->lights, c.lights, init_light);
    d.i(lights);
    for (int k = 0; k < lights; k++) digest_light(d, p->lights[k]);
    d.bytes(p->camera_keys, sizeof(CameraKey) * size_t(used_records<CameraKey>(p->camera_keys, c.camera_keys, nullptr)));
    d.bytes(p->object_keys, sizeof(ObjectKey) * size_t(used_records<ObjectKey>(p->object_keys, c.object_keys, nullptr)));
    if (p->model_path)
        d.bytes(p->model_path, sizeof(ModelPathKey) * size_t(used_records<ModelPathKey>(p->model_path, c.model_path_keys, nullptr)));
    digest_scene(d, p->scene);
    digest_camera(d, p->camera);
    // The part's own record: written field by field after a zeroed start, so its gaps stay 0.
    if (p->own) d.bytes(p->own, p->own_size);
    return d.h;
}
