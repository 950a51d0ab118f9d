// make_seeds.cpp: kelp-fuzz-seeds FOLDER writes small seed inputs for the .3ds and .mdl
// harnesses: the generator's own files are large, and a fuzzer runs fastest on small inputs
// that still reach every chunk and section.
#include <cstdio>
#include <string>

#include "writers/bmp_writer.h"
#include "writers/mdl_writer.h"
#include "writers/writer_3ds.h"

// Two textured quads, a light, a camera with moving keys, nodes with every track.
static Scene3ds small_scene() {
    Scene3ds s;
    Material3ds plain;
    plain.name = "plain";
    plain.transparency = 30;
    Material3ds pictured;
    pictured.name = "pictured";
    pictured.texture = "flare_particle.bmp";
    pictured.diffuse_as_bytes = true;
    s.materials = {plain, pictured};
    for (int q = 0; q < 2; ++q) {
        Mesh3ds m;
        m.name = q ? "quad_b" : "quad_a";
        float x = float(q) * 2;
        m.add_vertex(x, 0, 1, 0, 0);
        m.add_vertex(x + 1, 0, 1, 1, 0);
        m.add_vertex(x + 1, 1, 1, 1, 1);
        m.add_vertex(x, 1, 1, 0, 1);
        m.add_face(0, 1, 2);
        m.add_face(0, 2, 3);
        m.set_material(q ? "pictured" : "plain", 0, 2);
        m.smoothing = {1, 1};
        m.translation[0] = x;
        s.meshes.push_back(m);
    }
    Light3ds light;
    light.name = "lamp";
    light.position[2] = 5;
    s.lights.push_back(light);
    Camera3ds camera;
    camera.name = "eye";
    camera.position[1] = -10;
    s.cameras.push_back(camera);
    s.end_frame = 40;
    s.add_static_node("quad_a");
    ObjectNode3ds moving;
    moving.name = "quad_b";
    moving.position = {key3ds_position(0, 0, 0, 0), key3ds_position(20, 1, 2, 3), key3ds_position(40, 0, 0, 1)};
    moving.rotation = {key3ds_rotation(0, 0, 0, 0, 1), key3ds_rotation(30, 1.0f, 0, 0, 1)};
    moving.scale = {key3ds_scale(0, 1, 1, 1), key3ds_scale(40, 2, 2, 2)};
    s.object_nodes.push_back(moving);
    CameraNode3ds eye;
    eye.name = "eye";
    eye.position = {key3ds_position(0, 0, -10, 0), key3ds_position(40, 5, -10, 2)};
    eye.fov = {key3ds_value(0, 45), key3ds_value(40, 60)};
    eye.roll = {key3ds_value(0, 0), key3ds_value(20, 5)};
    eye.target = {key3ds_position(0, 0, 0, 0), key3ds_position(40, 1, 0, 0)};
    s.camera_nodes.push_back(eye);
    return s;
}

// Four vertices, two triangles, six frames, one 8 x 8 skin.
static MdlModel small_model() {
    MdlModel m;
    m.skin_width = m.skin_height = 8;
    m.skin.assign(64, 7);
    m.texcoords = {{0, 0, 0}, {0, 7, 0}, {1, 7, 7}, {0, 0, 7}};
    m.triangles = {{1, {0, 1, 2}}, {0, {0, 2, 3}}};
    for (int f = 0; f < 6; ++f) {
        m.frames.push_back({0, 0, 0, 10, 0, float(f), 10, 10, 2, 0, 10, 40});
        m.frame_names.push_back("step" + std::to_string(f));
    }
    return m;
}

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: kelp-fuzz-seeds FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    bool ok = write_file(folder + "/small.3ds", encode_3ds(small_scene())) &&
              write_file(folder + "/small.mdl", mdl_encode(small_model()));
    return ok ? 0 : 1;
}
