// bench_render.cpp: renders synthetic scenes (a torus of about 2,000, 8,000 and 20,000
// vertices, lit and unlit, with 0, 10 and 100 glowing lights) at 640x480 in an offscreen
// context and prints, per frame, the time of our own per-vertex work (copy, pose, light,
// transform, facing test) and the total frame time. "--save DIR" also writes one PPM
// picture per scene into DIR.
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "demo/graphics.h"
#include "app/settings.h"
#include "render/render.h"
#include "render/render_math.h"
#include "texture/texture.h"

using Clock = std::chrono::steady_clock;

static double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A 32 x 32 texture: radial glow (kind 0) or checker (kind 1).
static void make_texture(int name, int kind, float r, float g, float b) {
    std::vector<uint8_t> pixels(32 * 32 * 4);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            float k;
            if (kind == 0) {
                float dx = (x - 15.5f) / 15.5f, dy = (y - 15.5f) / 15.5f;
                k = 1.0f - std::sqrt(dx * dx + dy * dy);
                k = k < 0.0f ? 0.0f : k * k;
            } else {
                k = ((x / 8 + y / 8) & 1) ? 1.0f : 0.45f;
            }
            uint8_t *p = &pixels[size_t(y * 32 + x) * 4];
            p[0] = uint8_t(255 * k * r);
            p[1] = uint8_t(255 * k * g);
            p[2] = uint8_t(255 * k * b);
            p[3] = 255;
        }
    glBindTexture(GL_TEXTURE_2D, GLuint(name));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 32, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

// A torus scene with `lights` glowing lights circling it.
struct Synthetic {
    Scene scene;
    Camera camera;
    Mesh mesh;
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    std::vector<Light> lights;
    std::vector<int32_t> active;

    Synthetic(int rings, int sides, bool lit, int light_count) {
        init_scene(scene);
        init_camera(camera);
        init_mesh(mesh);
        std::strcpy(mesh.name, "Torus01");
        for (int i = 0; i < rings; i++)
            for (int j = 0; j < sides; j++) {
                double a = 2 * M_PI * i / rings, b = 2 * M_PI * j / sides;
                Vertex v;
                init_vertex(v);
                double r = 10.0 + 4.0 * std::cos(b);
                v.position[0] = float(r * std::cos(a));
                v.position[1] = float(4.0 * std::sin(b));
                v.position[2] = float(r * std::sin(a));
                v.u = float(i) * 8.0f / float(rings);
                v.v = float(j) * 2.0f / float(sides);
                vertices.push_back(v);
            }
        for (int i = 0; i < rings; i++)
            for (int j = 0; j < sides; j++) {
                int p = i * sides + j, q = ((i + 1) % rings) * sides + j;
                int p1 = i * sides + (j + 1) % sides, q1 = ((i + 1) % rings) * sides + (j + 1) % sides;
                Face f;
                init_face(f);
                f.texture = 100;
                f.a = p, f.b = q, f.c = q1;
                faces.push_back(f);
                f.a = p, f.b = q1, f.c = p1;
                faces.push_back(f);
            }
        mesh.faces = faces.data();
        mesh.face_count = int(faces.size());
        mesh.vertex_count = int(vertices.size());
        mesh.lit = lit;
        mesh.ambient = 0.25f;
        compute_normals(mesh, vertices.data());
        // compute_normals follows the file's winding; our faces wind the other way.
        for (Vertex &v : vertices)
            for (float &n : v.normal) n = -n;
        for (int i = 0; i < light_count; i++) {
            Light l;
            init_light(l);
            double a = 2 * M_PI * i / light_count;
            l.position[0] = float(17.0 * std::cos(a));
            l.position[1] = float(3.0 * std::sin(3 * a));
            l.position[2] = float(17.0 * std::sin(a));
            l.color[0] = float(0.5 + 0.5 * std::cos(a));
            l.color[1] = float(0.5 + 0.5 * std::cos(a + 2.1));
            l.color[2] = float(0.5 + 0.5 * std::cos(a + 4.2));
            l.range_inner = 5.0f;
            l.range_outer = 30.0f;
            l.intensity = light_count > 10 ? 0.2f : 1.0f;
            l.glow_size = 1.2f;
            l.flare_strength = 0.6f;
            l.flare_flag = i == 0;
            l.active = 1;
            lights.push_back(l);
        }
        scene.meshes = &mesh;
        scene.mesh_count = 1;
        scene.vertices = vertices.data();
        scene.vertex_count = int(vertices.size());
        scene.lights = lights.data();
        scene.light_count = int(lights.size());
        collect_active_lights(scene);
        scene.camera = &camera;
        camera.zmax = 200.0f;
        camera.fov = 70.0f;
    }
    // Orbit the camera: it looks at the torus centre from above at angle t.
    void place_camera(float t) {
        float x = 34.0f * std::sin(t), z = 34.0f * std::cos(t), y = 14.0f;
        camera.position[0] = x;
        camera.position[1] = y;
        // Camera records hold position z and direction y with the opposite sign of the
        // world's (as the camera track writes them).
        camera.position[2] = -z;
        camera.direction[0] = -x;
        camera.direction[1] = y;
        camera.direction[2] = -z;
    }
};

// Write the back buffer as a binary PPM.
static void save_ppm(const std::string &path) {
    std::vector<uint8_t> rgb(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return;
    fprintf(f, "P6\n640 480\n255\n");
    for (int y = 479; y >= 0; y--) fwrite(&rgb[size_t(y) * 640 * 3], 1, 640 * 3, f);
    fclose(f);
}

int main(int argc, char **argv) {
    std::string save_dir;
    if (argc == 3 && std::strcmp(argv[1], "--save") == 0) save_dir = argv[2];
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_Window *window = SDL_CreateWindow("bench", 0, 0, 640, 480, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window || !SDL_GL_CreateContext(window)) {
        fprintf(stderr, "GL context: %s\n", SDL_GetError());
        return 1;
    }
    set_screen_size(640, 480);
    set_render_size(640, 480);
    set_fixed_gl_state();
    allocate_working_arrays();
    light_texture_base = 1;
    flare_texture_base = 8;
    for (int c = 1; c <= 7; c++) make_texture(c, 0, (c & 4) ? 1.0f : 0.2f, (c & 2) ? 1.0f : 0.2f, (c & 1) ? 1.0f : 0.2f);
    for (int i = 0; i < 10; i++) make_texture(8 + i, 0, 1.0f, 1.0f, 1.0f);
    make_texture(100, 1, 0.9f, 0.8f, 0.6f);

    const int sizes[3][2] = {{40, 50}, {80, 100}, {100, 200}};
    const int light_counts[3] = {0, 10, 100};
    const int frames = 30;
    printf("%7s %4s %6s | %7s %7s %7s %9s %7s | %8s %8s | %6s\n", "verts", "lit", "lights", "copy",
           "light", "xform", "facing", "own", "frame", "faces", "own%");
    for (auto &size : sizes)
        for (int lit = 0; lit <= 1; lit++)
            for (int lights : light_counts) {
                Synthetic s(size[0], size[1], lit != 0, lights);
                double copy = 0, light = 0, xform = 0, facing = 0, total = 0;
                int faces_drawn = 0;
                for (int frame = 0; frame < frames + 2; frame++) {
                    s.place_camera(0.3f + 0.02f * frame);
                    // Our own work alone, step by step on the same frame.
                    auto t0 = Clock::now();
                    copy_working_arrays(s.scene);
                    pose_working_arrays(s.scene, 0.0f);
                    double c = ms_since(t0);
                    t0 = Clock::now();
                    light_working_vertices(s.scene);
                    double l = ms_since(t0);
                    t0 = Clock::now();
                    transform_working_arrays(s.scene, s.camera, true);
                    double x = ms_since(t0);
                    t0 = Clock::now();
                    int towards = 0;
                    for (const Face &f : s.faces)
                        towards += face_towards_eye(working_vertices[f.a].position,
                                                    working_vertices[f.b].position,
                                                    working_vertices[f.c].position);
                    double fc = ms_since(t0);
                    // The whole frame, finished.
                    t0 = Clock::now();
                    render_scene(s.scene, 0.0f, 1);
                    glFinish();
                    double t = ms_since(t0);
                    if (frame >= 2) {  // two warm-up frames
                        copy += c, light += l, xform += x, facing += fc, total += t;
                        faces_drawn = face_counter + 0 * towards;
                    }
                }
                double own = (copy + light + xform + facing) / frames;
                printf("%7d %4s %6d | %7.3f %7.3f %7.3f %9.3f %7.3f | %8.2f %8d | %5.1f%%\n",
                       s.scene.vertex_count, lit ? "yes" : "no", lights, copy / frames,
                       light / frames, xform / frames, facing / frames, own, total / frames,
                       faces_drawn, 100.0 * own / (total / frames));
                fflush(stdout);
                if (!save_dir.empty()) {
                    char name[256];
                    snprintf(name, sizeof name, "%s/bench_%d_%s_%d.ppm", save_dir.c_str(),
                             s.scene.vertex_count, lit ? "lit" : "unlit", lights);
                    save_ppm(name);
                }
            }
    free_working_arrays();
    return 0;
}
