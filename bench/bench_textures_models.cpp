// bench_textures_models.cpp: prints the cost of decoding BMPs and of posing a model per frame,
// and the heap use of posing (it should allocate nothing).
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scene/model.h"
#include "texture/texture.h"
#include "writers/bmp_writer.h"
#include "writers/mdl_writer.h"

static double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int main() {
    // BMP decoding: a 512 x 512 picture, 24-bit and 8-bit.
    Picture picture(512, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            picture.at(x, y)[0] = uint8_t(x);
            picture.at(x, y)[1] = uint8_t(y);
            picture.at(x, y)[2] = uint8_t((x / 64) * 32);
        }
    Picture few(512, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) few.at(x, y)[0] = uint8_t((x / 2) ^ (y / 2));
    for (int depth : {24, 8}) {
        std::vector<uint8_t> bytes = depth == 24 ? bmp_encode_24(picture) : bmp_encode_8(few);
        const int runs = 50;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < runs; ++i) {
            TextureRecord record{};
            bmp_decode(bytes.data(), bytes.size(), "bench.bmp", record);
            free(record.pixels);
        }
        double s = seconds_since(start) / runs;
        printf("bmp_decode 512x512 %2d-bit: %.3f ms per image (%.1f Mtexel/s)\n", depth, s * 1e3,
               512.0 * 512.0 / s / 1e6);
    }

    // Posing: a model of 1000 vertices and 40 frames, without triangles (no skin, no GL).
    const int vertices = 1000, frames = 40;
    MdlModel m;
    m.skin_width = m.skin_height = 8;
    for (int v = 0; v < vertices; ++v) m.texcoords.push_back({0, v % 8, v % 8});
    for (int f = 0; f < frames; ++f) {
        std::vector<float> frame;
        for (int v = 0; v < vertices; ++v) {
            frame.push_back(std::cos(v * 0.01f + f * 0.1f) * 20);
            frame.push_back(std::sin(v * 0.013f) * 20);
            frame.push_back(float(v % 50) + f);
        }
        m.frames.push_back(frame);
    }
    std::string dir = "/tmp/kelp_bench_" + std::to_string(getpid());
    std::string cmd = "mkdir -p " + dir;
    if (system(cmd.c_str()) != 0 || chdir(dir.c_str()) != 0) return 1;
    if (!write_file("bench.mdl", mdl_encode(m))) return 1;
    create_model_table();
    auto start = std::chrono::steady_clock::now();
    load_model("bench.mdl");
    printf("load_model %d vertices x %d frames: %.3f ms\n", vertices, frames, seconds_since(start) * 1e3);

    std::vector<Vertex> out(vertices);
    Mesh mesh{};
    init_mesh(mesh);
    const int calls = 20000;
    struct mallinfo2 before = mallinfo2();
    start = std::chrono::steady_clock::now();
    float sink = 0;
    for (int i = 0; i < calls; ++i)
        sink += pose_model("bench.mdl", mesh, out.data(), i * 0.016f, 0, 39, 10.0f, 0, (i / 500) % 2);
    double s = seconds_since(start) / calls;
    struct mallinfo2 after = mallinfo2();
    printf("pose_model %d vertices: %.2f us per call (%.1f ns per vertex)\n", vertices, s * 1e6,
           s * 1e9 / vertices);
    printf("heap in use before/after %d poses: %zu / %zu bytes (checksum %.1f)\n", calls, before.uordblks,
           after.uordblks, double(sink));
    free_model_table();
    cmd = "rm -rf " + dir;
    return system(cmd.c_str()) == 0 ? 0 : 1;
}
