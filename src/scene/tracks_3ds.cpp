// tracks_3ds.cpp: the keyframer handlers of the 3DS loader: frame range, object nodes with
// their keys merged by frame, camera and target nodes, QuakeCam model paths.
#include <algorithm>
#include <cstring>
#include <vector>

#include "app/messages.h"
#include "scene/load3ds_state.h"

namespace {
enum TrackKind { TRACK_POSITION, TRACK_ROTATION, TRACK_SCALE, TRACK_CAMERA, TRACK_TARGET, TRACK_FOV, TRACK_ROLL };
}

// Frames: the range must start at 0; the end frame over the playing time is the key rate.
void handle_frames(int, int, long end) {
    uint32_t first, last;
    if (!read_u32_3ds(first, end) || !read_u32_3ds(last, end)) return;
    if (first != 0) fatal_error("3DS scenes must start at frame 0!");
    loader3ds.scene->frame_rate = float(last) / loader3ds.play_time;
}

// A key of the current object node for this frame: the first with it, else a new one.
static ObjectKey &object_key_for(int frame) {
    Loader3ds &L = loader3ds;
    if (L.current_node >= 0)
        for (int i = 0; i < L.node_key_count; i++)
            if (L.node_keys[i].frame == float(frame)) return L.node_keys[i];
    if (L.node_key_count >= LOAD3DS_MAX_NODE_KEYS)
        fatal_errorf("3DS: [%s] too many keys in one node (capacity %d)", L.file_name, int(LOAD3DS_MAX_NODE_KEYS));
    ObjectKey &k = L.node_keys[L.node_key_count++];
    k.frame = float(frame);
    float *fields = &k.position[0];
    for (int i = 0; i < 10; i++) fields[i] = KEY_UNSET;
    return k;
}

// A key of the current camera node for this frame (offset applied by the caller).
static CameraKey &camera_key_for(float frame) {
    Loader3ds &L = loader3ds;
    for (int i = L.camera_first_key; i < L.camera_key_count; i++)
        if (L.camera_work[i].frame == frame) return L.camera_work[i];
    int capacity = L.capacity.camera_keys < LOAD3DS_MAX_CAMERA_KEYS ? L.capacity.camera_keys
                                                                     : int(LOAD3DS_MAX_CAMERA_KEYS);
    if (L.camera_key_count >= capacity)
        fatal_errorf("3DS: [%s] too many camera keys (capacity %d)", L.file_name, capacity);
    CameraKey &k = L.camera_work[L.camera_key_count++];
    k.frame = frame;
    float *fields = &k.position[0];
    for (int i = 0; i < 8; i++) fields[i] = KEY_UNSET;
    return k;
}

// A key of the caller's model path table for this frame.
static ModelPathKey &model_path_key_for(int frame) {
    Loader3ds &L = loader3ds;
    for (int i = 0; i < L.model_path_key_count; i++)
        if (L.model_path[i].frame == float(frame)) return L.model_path[i];
    if (L.model_path_key_count >= L.capacity.model_path_keys)
        fatal_errorf("3DS: [%s] too many model path keys (capacity %d)", L.file_name, L.capacity.model_path_keys);
    ModelPathKey &k = L.model_path[L.model_path_key_count++];
    k.frame = float(frame);
    k.position[0] = k.position[1] = k.position[2] = KEY_UNSET;
    k.target_x = k.target_y = KEY_UNSET;
    return k;
}

// Store one key's value by the kind of its track.
static void store_key(TrackKind kind, int frame, const float *v) {
    Loader3ds &L = loader3ds;
    switch (kind) {
    case TRACK_POSITION:
    case TRACK_ROTATION:
    case TRACK_SCALE: {
        if (!L.in_track_info) return;
        ObjectKey &k = object_key_for(frame);
        if (kind == TRACK_POSITION) {
            for (int i = 0; i < 3; i++) k.position[i] = v[i];
        } else if (kind == TRACK_ROTATION) {
            k.angle = v[0];
            for (int i = 0; i < 3; i++) k.axis[i] = v[1 + i];
        } else {
            for (int i = 0; i < 3; i++) k.scale[i] = v[i];
        }
        return;
    }
    case TRACK_CAMERA:
    case TRACK_TARGET:
        if (L.quake_cam) {
            ModelPathKey &k = model_path_key_for(frame);
            if (kind == TRACK_CAMERA) {
                k.position[0] = v[0], k.position[1] = v[2], k.position[2] = v[1];
            } else {
                k.target_x = v[0], k.target_y = v[1];
            }
        } else {
            CameraKey &k = camera_key_for(float(frame) + L.camera_frame_offset);
            float *dst = kind == TRACK_CAMERA ? k.position : k.target;
            dst[0] = v[0], dst[1] = v[2], dst[2] = v[1];
        }
        return;
    case TRACK_FOV:
    case TRACK_ROLL:
        if (L.quake_cam) return;
        {
            CameraKey &k = camera_key_for(float(frame) + L.camera_frame_offset);
            if (kind == TRACK_FOV)
                k.fov = v[0];
            else
                k.roll = v[0] / 180.0f * 3.14159265358979f;
        }
        return;
    }
}

// One track: flags, a key count, then keys of frame, spline flags, spline values and value.
static void read_track(TrackKind kind, long end) {
    static const int value_counts[] = {3, 4, 3, 3, 3, 1, 1};
    int values = value_counts[kind];
    uint16_t n;
    if (!skip_3ds(10, end) || !read_u16_3ds(n, end) || !skip_3ds(2, end)) return;
    if (long(n) * (6 + 4 * values) > bytes_left_3ds(end)) return;  // count does not fit
    for (int i = 0; i < n; i++) {
        uint16_t frame, upper, flags;
        float value[4];
        if (!read_u16_3ds(frame, end) || !read_u16_3ds(upper, end) || !read_u16_3ds(flags, end)) return;
        for (int bit = 0; bit < 16; bit++)
            if ((flags & (1u << bit)) && !skip_3ds(4, end)) return;
        if (!read_floats_3ds(value, values, end)) return;
        store_key(kind, frame, value);
    }
}

void handle_position_keys(int, int, long end) { read_track(TRACK_POSITION, end); }
void handle_rotation_keys(int, int, long end) { read_track(TRACK_ROTATION, end); }
void handle_scale_keys(int, int, long end) { read_track(TRACK_SCALE, end); }
void handle_fov_track(int, int, long end) { read_track(TRACK_FOV, end); }
void handle_roll_track(int, int, long end) { read_track(TRACK_ROLL, end); }

// Node header: name, two flag words, parent; inside Track info it picks the node's mesh.
void handle_track_name(int, int, long end) {
    Loader3ds &L = loader3ds;
    read_name_3ds(end);
    skip_3ds(6, end);
    if (!L.in_track_info) return;
    if (strcmp(L.name, "$$$DUMMY") == 0) {
        L.current_node = -2;
        return;
    }
    int found = -1;
    for (int i = 0; i < L.mesh_count; i++)
        if (strcmp(L.meshes[i].name, L.name) == 0) found = i;
    if (found < 0) fatal_errorf("Mesh %s not found!", L.name);
    L.current_node = found;
    L.meshes[found].first_key = L.object_key_count;
}

// Pivot point of the node's mesh.
void handle_pivot(int, int, long end) {
    Loader3ds &L = loader3ds;
    float p[3];
    if (!read_floats_3ds(p, 3, end) || !L.in_track_info || L.current_node < 0) return;
    for (int i = 0; i < 3; i++) L.meshes[L.current_node].pivot[i] = p[i];
}

// Order of keys by frame, the earlier of equal frames first.
template <typename Key>
static std::vector<int> frame_order(const Key *keys, int count) {
    std::vector<int> order(size_t(count > 0 ? count : 0));
    for (int i = 0; i < count; i++) order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [keys](int a, int b) { return keys[a].frame < keys[b].frame; });
    return order;
}

// Track info: collect the node's keys, then append them in frame order with running values.
void handle_track_info(int file, int depth, long end) {
    Loader3ds &L = loader3ds;
    L.in_track_info = true;
    L.node_key_count = 0;
    L.current_node = -1;
    walk_chunks(file, depth, end);
    L.in_track_info = false;

    int count = L.node_key_count;
    if (count > L.capacity.object_keys - L.object_key_count)
        fatal_errorf("3DS: [%s] too many object keys (capacity %d)", L.file_name, L.capacity.object_keys);
    float position[3] = {0, 0, 0}, axis[3] = {0, 0, 0}, angle = 0, scale[3] = {0, 0, 0};
    int first = L.object_key_count;
    for (int index : frame_order(L.node_keys, count)) {
        const ObjectKey &k = L.node_keys[index];
        if (k.position[0] != KEY_UNSET) memcpy(position, k.position, sizeof position);
        if (k.axis[0] != KEY_UNSET) {
            memcpy(axis, k.axis, sizeof axis);
            angle = k.angle;
        }
        if (k.scale[0] != KEY_UNSET) memcpy(scale, k.scale, sizeof scale);
        ObjectKey &out = L.object_keys[L.object_key_count++];
        out.frame = k.frame;
        memcpy(out.position, position, sizeof position);
        memcpy(out.axis, axis, sizeof axis);
        out.angle = angle;
        memcpy(out.scale, scale, sizeof scale);
    }
    if (L.current_node >= 0) {
        Mesh &mesh = L.meshes[L.current_node];
        mesh.first_key = first;
        mesh.key_count = count > 0 ? count : -1;  // a node without keys leaves the mesh unanimated
    }
}

// Node id and node header at the start of a camera or target node; sets the QuakeCam flag.
static bool read_camera_node_start(long end) {
    Loader3ds &L = loader3ds;
    uint16_t node_number;
    if (!skip_3ds(6, end) || !read_u16_3ds(node_number, end) || !skip_3ds(6, end)) return false;
    bool inside = L.in_track_info;
    L.in_track_info = false;  // the header is read as outside Track info
    handle_track_name(L.file, 0, end);
    L.in_track_info = inside;
    L.quake_cam = strcasecmp(L.name, "QuakeCam") == 0;
    if (L.quake_cam && !L.model_path) fatal_error("No Quake model animations allocated!");
    return skip_3ds(6, end);
}

// Camera track: a new camera node, its position track, then its FOV and roll tracks.
void handle_camera_track(int file, int depth, long end) {
    Loader3ds &L = loader3ds;
    for (int i = 0; i < L.camera_key_count; i++)
        if (L.camera_work[i].frame > L.camera_frame_offset) L.camera_frame_offset = L.camera_work[i].frame;
    L.camera_first_key = L.camera_key_count;
    if (!read_camera_node_start(end)) return;
    read_track(TRACK_CAMERA, end);
    walk_chunks(file, depth, end);
}

// Camera target track: the target positions of the current camera node.
void handle_target_track(int, int, long end) {
    if (!read_camera_node_start(end)) return;
    read_track(TRACK_TARGET, end);
}

// Camera keys in frame order with running values, into the scene's camera keys.
void finish_camera_keys() {
    Loader3ds &L = loader3ds;
    float position[3] = {0, 0, 0}, target[3] = {0, 0, 0}, fov = 0, roll = 0;
    int out = 0;
    for (int index : frame_order(L.camera_work, L.camera_key_count)) {
        const CameraKey &k = L.camera_work[index];
        if (k.position[0] != KEY_UNSET) memcpy(position, k.position, sizeof position);
        if (k.target[0] != KEY_UNSET) memcpy(target, k.target, sizeof target);
        if (k.fov != KEY_UNSET) fov = k.fov;
        if (k.roll != KEY_UNSET) roll = k.roll;
        CameraKey &c = L.camera_keys[out++];
        c.frame = k.frame;
        memcpy(c.position, position, sizeof position);
        memcpy(c.target, target, sizeof target);
        c.fov = fov;
        c.roll = roll;
    }
}

// Model path keys completed in frame order with running values, left in place.
void finish_model_path() {
    Loader3ds &L = loader3ds;
    float position[3] = {0, 0, 0}, target_x = 0, target_y = 0;
    for (int index : frame_order(L.model_path, L.model_path_key_count)) {
        ModelPathKey &k = L.model_path[index];
        if (k.position[0] != KEY_UNSET) memcpy(position, k.position, sizeof position);
        if (k.target_x != KEY_UNSET) target_x = k.target_x, target_y = k.target_y;
        memcpy(k.position, position, sizeof position);
        k.target_x = target_x;
        k.target_y = target_y;
    }
}
