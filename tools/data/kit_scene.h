// kit_scene.h: what every scene file does with its .3ds scene: the pictures and their
// materials registered from one table, meshes added by name (from the show's frame or the
// file's), lights, static nodes, and the camera's shots turned into keys, with the
// correction for the renderer's doubled camera pitch made here and nowhere else.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "content.h"
#include "kit_geometry.h"
#include "parts/scene_names.h"
#include "writers/picture.h"

// Scene files are keyed at ten frames a second.
const int FRAMES_PER_SECOND = 10;
// The frame of a time in seconds, rounded to the nearest.
inline uint32_t frame_at(float seconds) { return uint32_t(std::lround(seconds * FRAMES_PER_SECOND)); }
// The last frame of a scene file: its playing time in whole frames.
constexpr int end_frame(const SceneFile &file) { return int(file.play_time * FRAMES_PER_SECOND + 0.5f); }

// One picture a scene file writes: its file name, its maker (a captureless lambda can wrap
// a maker that takes arguments) and the material that shows it, with that material's
// transparency in percent. No material: the part uses the picture itself.
struct ScenePicture {
    const char *file;
    Picture (*make)();
    const char *material = nullptr;
    int transparency = 0;
};
// Write a picture as a 24-bit BMP.
void add_picture(ContentSink &sink, const std::string &file, const Picture &picture);
// Write every picture of the table in order, and add to the scene a textured material for
// each that names one, in the same order.
void add_scene_pictures(ContentSink &sink, Scene3ds &scene, const std::vector<ScenePicture> &pictures);

// Add a mesh built in the file's frame under a name, every face in `material`.
void add_mesh(Scene3ds &scene, const MeshData &mesh, const std::string &name, const std::string &material);
// The same for a mesh built in the show's frame (turned into the file's on the way).
void add_show_mesh(Scene3ds &scene, MeshData mesh, const std::string &name, const std::string &material);
// A static keyframer node for every mesh added so far, in order.
void add_static_nodes(Scene3ds &scene);
// A point light at a position of the file's frame.
Light3ds point_light(const std::string &name, Vec3 position, Colour colour = {1, 1, 1});

// A position key at a point of the file's frame.
inline Key3ds key3ds_point(uint32_t frame, Vec3 file) { return key3ds_position(frame, file.x, file.y, file.z); }

// A camera key: the time in seconds, where the eye is and the point it looks at, in the
// show's frame (y up), and the field of view in degrees when the shots carry their own.
// A scene laid out in the file's frame gives its points through to_show.
struct Shot {
    float time;
    Vec3 eye, look;
    float fov = 0;
};
// Where a camera key's target goes: at the look point itself, or where the renderer, which
// pitches the view by twice the angle of the direction to the target, then looks at it.
enum ShotAim { AIM_AT_LOOK, AIM_PITCH_CORRECTED };
// shot_node's `fov` when every shot has its own field of view (and a roll key with it).
const float FOV_PER_SHOT = 0;

// The elevation to store for a view that should rise `rise` over the horizontal distance
// `run`: the renderer doubles it, so sin(stored) = tan(pitch / 2).
float stored_pitch(float rise, float run);
// The target that makes the renderer's view from `eye` pass through `look`: above or below
// `look`, at the height of the stored pitch (show frame).
Vec3 pitch_corrected_target(Vec3 eye, Vec3 look);
// The camera record standing at a shot (file frame).
Camera3ds shot_camera(const std::string &name, const Shot &shot, ShotAim aim, float lens);
// A camera node keyed at every shot, frames counted from `first_frame`: position and target
// keys in the file's frame, and one field of view and roll at frame 0 (or one per shot).
CameraNode3ds shot_node(const std::string &name, const std::vector<Shot> &shots, ShotAim aim, float fov,
                        int first_frame = 0);
// Add the camera `name` standing at the first shot and its node keyed through all of them.
void add_shot_camera(Scene3ds &scene, const std::string &name, const std::vector<Shot> &shots, ShotAim aim,
                     float lens, float fov);

// A dummy node (nothing is drawn for it) keyed along a path, found by its instance name.
ObjectNode3ds dummy_node(const std::string &instance, const std::vector<Key3ds> &positions);

// Key the scene to the file's playing time and write it under the file's name, its nodes as
// they are.
void write_keyed_scene(ContentSink &sink, Scene3ds &scene, const SceneFile &file);
// Give every mesh a static node after the nodes already there, then write the keyed scene.
void write_scene(ContentSink &sink, Scene3ds &scene, const SceneFile &file);
