// kit_scene.cpp: pictures and materials from one table, meshes, lights and nodes, and the
// camera's shots as keys with the renderer's pitch corrected.
#include "kit_scene.h"

#include <cmath>

void add_picture(ContentSink &sink, const std::string &file, const Picture &picture) {
    sink.add(file, bmp_encode_24(picture));
}

void add_scene_pictures(ContentSink &sink, Scene3ds &scene, const std::vector<ScenePicture> &pictures) {
    for (const ScenePicture &picture : pictures) {
        add_picture(sink, picture.file, picture.make());
        if (picture.material) scene.add_material(picture.material, picture.file).transparency = picture.transparency;
    }
}

void add_mesh(Scene3ds &scene, const MeshData &mesh, const std::string &name, const std::string &material) {
    scene.meshes.push_back(mesh_to_3ds(mesh, name, material));
}

void add_show_mesh(Scene3ds &scene, MeshData mesh, const std::string &name, const std::string &material) {
    mesh_to_file_frame(mesh);
    add_mesh(scene, mesh, name, material);
}

void add_static_nodes(Scene3ds &scene) { for (const Mesh3ds &mesh : scene.meshes) scene.add_static_node(mesh.name); }

Light3ds point_light(const std::string &name, Vec3 position, Colour colour) {
    Light3ds light;
    light.name = name;
    light.position[0] = position.x, light.position[1] = position.y, light.position[2] = position.z;
    light.color[0] = colour.r, light.color[1] = colour.g, light.color[2] = colour.b;
    return light;
}

float stored_pitch(float rise, float run) {
    float pitch = std::atan2(rise, run);
    return std::asin(std::tan(pitch / 2));
}

Vec3 pitch_corrected_target(Vec3 eye, Vec3 look) {
    Vec3 d = look - eye;
    float run = std::sqrt(d.x * d.x + d.z * d.z);
    return {look.x, eye.y + run * std::tan(stored_pitch(d.y, run)), look.z};
}

// The target a shot's keys use.
static Vec3 shot_target(const Shot &shot, ShotAim aim) {
    return aim == AIM_PITCH_CORRECTED ? pitch_corrected_target(shot.eye, shot.look) : shot.look;
}

Camera3ds shot_camera(const std::string &name, const Shot &shot, ShotAim aim, float lens) {
    Camera3ds camera;
    camera.name = name;
    camera.lens = lens;
    Vec3 eye = to_file(shot.eye), target = to_file(shot_target(shot, aim));
    camera.position[0] = eye.x, camera.position[1] = eye.y, camera.position[2] = eye.z;
    camera.target[0] = target.x, camera.target[1] = target.y, camera.target[2] = target.z;
    return camera;
}

CameraNode3ds shot_node(const std::string &name, const std::vector<Shot> &shots, ShotAim aim, float fov,
                        int first_frame) {
    CameraNode3ds node;
    node.name = name;
    for (const Shot &shot : shots) {
        uint32_t frame = frame_at(shot.time) - first_frame;
        node.position.push_back(key3ds_point(frame, to_file(shot.eye)));
        node.target.push_back(key3ds_point(frame, to_file(shot_target(shot, aim))));
        if (fov == FOV_PER_SHOT) {
            node.fov.push_back(key3ds_value(frame, shot.fov));
            node.roll.push_back(key3ds_value(frame, 0));
        }
    }
    if (fov != FOV_PER_SHOT) {
        node.fov.push_back(key3ds_value(0, fov));
        node.roll.push_back(key3ds_value(0, 0));
    }
    return node;
}

void add_shot_camera(Scene3ds &scene, const std::string &name, const std::vector<Shot> &shots, ShotAim aim,
                     float lens, float fov) {
    scene.cameras.push_back(shot_camera(name, shots.front(), aim, lens));
    scene.camera_nodes.push_back(shot_node(name, shots, aim, fov));
}

ObjectNode3ds dummy_node(const std::string &instance, const std::vector<Key3ds> &positions) {
    ObjectNode3ds node;
    node.name = "$$$DUMMY";
    node.instance = instance;
    node.position = positions;
    return node;
}

void write_keyed_scene(ContentSink &sink, Scene3ds &scene, const SceneFile &file) {
    scene.end_frame = end_frame(file);
    sink.add(file.name, encode_3ds(scene));
}

void write_scene(ContentSink &sink, Scene3ds &scene, const SceneFile &file) {
    add_static_nodes(scene);
    write_keyed_scene(sink, scene, file);
}
