// preview_models.cpp: renders contact sheets of the three characters (several frames of
// every animation, front and side) with a small software rasterizer, writes them as PPM and
// converts them to PNG with ffmpeg. Prints vertex, triangle and timing figures.
// Usage: kelp-preview-models [output folder [frame...]] (default /tmp/kelp_characters);
// frames given on the command line replace the default close-up set.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data/characters.h"

namespace {

int CELL_W = 110, CELL_H = 150, COLUMNS = 12;
float SCALE = 2.2f;

// Frames the parts hold or key on, drawn larger.
std::vector<int> CLOSE_FRAMES = {0, 40, 41, 42, 43, 44, 45, 78, 115, 135, 183, 203, 204, 128};

const int SHEET_FRAMES[] = {
    0, 8, 16, 24, 32, 39,                  // stand
    40, 41, 42, 43, 44, 45,                // walk
    46, 48, 50, 52, 55, 59,                // attack, pains
    63, 66, 67, 68, 69, 70,                // pain, jump
    72, 74, 76, 78, 79, 81,                // reach and touch
    87, 98, 100, 102, 113, 115,            // salute, taunt, wave
    117, 119, 125, 128, 135, 140,          // wave, point, rest, crouch
    154, 156, 158, 162, 170, 175,          // crouch walk, attack, pain, death
    178, 179, 180, 181, 182, 183,          // death backwards
    185, 187, 189, 193, 195, 197,          // other deaths
    201, 203, 204, 205, 207, 209,          // calm stand and turn
};

struct Image {
    int w, h;
    std::vector<uint8_t> rgb;
    std::vector<float> depth;
};

// One view: screen axes and the direction towards the eye, in model coordinates.
struct View {
    Vec3 right, up, to_eye;
};

void draw_model(Image &img, int ox, int oy, const MdlModel &m, const Picture &skin, float span,
                int frame, const View &view) {
    const std::vector<float> &f = m.frames[frame];
    int n = int(m.texcoords.size());
    // Centre horizontally like the program's loader does.
    float cx = 0, cy = 0;
    for (int i = 0; i < n; i++) cx += f[i * 3], cy += f[i * 3 + 1];
    cx /= float(n);
    cy /= float(n);
    const float scale = SCALE;
    std::vector<Vec3> sp(n), wp(n);
    for (int i = 0; i < n; i++) {
        Vec3 p = {f[i * 3] - cx, f[i * 3 + 1] - cy, f[i * 3 + 2]};
        wp[i] = p;
        sp[i] = {ox + CELL_W / 2 + dot(p, view.right) * scale,
                 oy + CELL_H - 8 - dot(p, view.up) * scale, dot(p, view.to_eye)};
    }
    Vec3 light = {0.5f, 0.4f, 0.75f};
    for (const MdlTriangle &t : m.triangles) {
        Vec3 a = wp[t.v[0]], b = wp[t.v[1]], c = wp[t.v[2]];
        // Faces turn clockwise seen from outside: the outward normal is e2 x e1.
        Vec3 nrm = cross(c - a, b - a);
        float len = sqrtf(dot(nrm, nrm));
        if (len <= 0 || dot(nrm, view.to_eye) <= 0) continue;
        nrm = nrm * (1 / len);
        float shade = 0.35f + 0.65f * std::max(0.0f, dot(nrm, light) / 1.04f);
        Vec3 p0 = sp[t.v[0]], p1 = sp[t.v[1]], p2 = sp[t.v[2]];
        int x0 = std::max(ox, int(floorf(std::min({p0.x, p1.x, p2.x}))));
        int x1 = std::min(ox + CELL_W - 1, int(ceilf(std::max({p0.x, p1.x, p2.x}))));
        int y0 = std::max(oy, int(floorf(std::min({p0.y, p1.y, p2.y}))));
        int y1 = std::min(oy + CELL_H - 1, int(ceilf(std::max({p0.y, p1.y, p2.y}))));
        float area = (p1.x - p0.x) * (p2.y - p0.y) - (p2.x - p0.x) * (p1.y - p0.y);
        if (fabsf(area) < 1e-6f) continue;
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) {
                float px = x + 0.5f, py = y + 0.5f;
                float w0 = ((p1.x - px) * (p2.y - py) - (p2.x - px) * (p1.y - py)) / area;
                float w1 = ((p2.x - px) * (p0.y - py) - (p0.x - px) * (p2.y - py)) / area;
                float w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                float z = w0 * p0.z + w1 * p1.z + w2 * p2.z;
                size_t k = size_t(y) * img.w + x;
                if (z <= img.depth[k]) continue;
                img.depth[k] = z;
                const MdlTexCoord &ta = m.texcoords[t.v[0]], &tb = m.texcoords[t.v[1]],
                                  &tc = m.texcoords[t.v[2]];
                float s = (w0 * ta.s + w1 * tb.s + w2 * tc.s) / m.skin_width * span;
                float tt = (w0 * ta.t + w1 * tb.t + w2 * tc.t) / m.skin_height;
                int sx = std::clamp(int(s * skin.width), 0, skin.width - 1);
                int sy = std::clamp(int(tt * skin.height), 0, skin.height - 1);
                const uint8_t *texel = skin.at(sx, sy);
                for (int ch = 0; ch < 3; ch++)
                    img.rgb[k * 3 + ch] = uint8_t(std::min(255.0f, texel[ch] * shade));
            }
    }
}

// Figures the scenes rely on: height, the reach of the touch, the walk's steps.
void print_figures(const MdlModel &m) {
    int n = int(m.texcoords.size());
    auto centre_x = [&](int f) {
        double s = 0;
        for (int i = 0; i < n; i++) s += m.frames[f][i * 3];
        return float(s / n);
    };
    auto extent = [&](int f, int c, bool high) {
        float v = high ? -1e9f : 1e9f;
        for (int i = 0; i < n; i++) v = high ? std::max(v, m.frames[f][i * 3 + c]) : std::min(v, m.frames[f][i * 3 + c]);
        return v;
    };
    auto step = [&](int a, int b) {
        double s = 0;
        float ca = centre_x(a), cb = centre_x(b);
        for (int i = 0; i < n; i++) {
            float dx = (m.frames[a][i * 3] - ca) - (m.frames[b][i * 3] - cb);
            float dy = m.frames[a][i * 3 + 1] - m.frames[b][i * 3 + 1];
            float dz = m.frames[a][i * 3 + 2] - m.frames[b][i * 3 + 2];
            s += dx * dx + dy * dy + dz * dz;
        }
        return float(sqrt(s / n));
    };
    printf("  height %.1f, touch reach at 78 %.1f in front of the centre, lying height at 183 %.1f\n",
           extent(0, 2, true), extent(78, 0, true) - centre_x(78), extent(183, 2, true));
    printf("  walk steps rms:");
    for (int f = 40; f < 46; f++) printf(" %.2f", step(f, f == 45 ? 40 : f + 1));
    printf("; stand wraps 39->0 %.2f 39->16 %.2f 39->20 %.2f (largest stand step %.2f)\n", step(39, 0),
           step(39, 16), step(39, 20), [&] { float w = 0; for (int f = 0; f < 39; f++) w = std::max(w, step(f, f + 1)); return w; }());
}

bool write_ppm(const std::string &path, const Image &img) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    fprintf(f, "P6\n%d %d\n255\n", img.w, img.h);
    fwrite(img.rgb.data(), 1, img.rgb.size(), f);
    return fclose(f) == 0;
}

}  // namespace

int main(int argc, char **argv) {
    std::string dir = argc > 1 ? argv[1] : "/tmp/kelp_characters";
    if (argc > 2) {
        CLOSE_FRAMES.clear();
        for (int i = 2; i < argc; i++) CLOSE_FRAMES.push_back(std::clamp(atoi(argv[i]), 0, CHARACTER_FRAMES - 1));
    }
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    if (made) return 1;
    const View views[2] = {{{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},     // front
                           {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}};  // right side
    const char *view_names[2] = {"front", "side"};
    for (int k = 0; k < CHARACTER_COUNT; k++) {
        CharacterKind kind = CharacterKind(k);
        auto t0 = std::chrono::steady_clock::now();
        MdlModel model;
        Picture skin;
        build_character(kind, model, skin);
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        printf("%-8s vertices %zu triangles %zu frames %zu build %.1f ms\n", character_name(kind),
               model.texcoords.size(), model.triangles.size(), model.frames.size(), ms);
        print_figures(model);
        for (int v = 0; v < 4; v++) {
            bool close = v >= 2;
            const int *frames = close ? CLOSE_FRAMES.data() : SHEET_FRAMES;
            int count = close ? int(CLOSE_FRAMES.size()) : int(sizeof SHEET_FRAMES / sizeof(int));
            CELL_W = close ? 240 : 110;
            CELL_H = close ? 330 : 150;
            SCALE = close ? 5.0f : 2.2f;
            COLUMNS = close ? 7 : 12;
            int rows = (count + COLUMNS - 1) / COLUMNS;
            Image img{CELL_W * COLUMNS, CELL_H * rows, {}, {}};
            img.rgb.assign(size_t(img.w) * img.h * 3, 0);
            img.depth.assign(size_t(img.w) * img.h, -1e9f);
            for (int i = 0; i < count; i++) {
                int ox = (i % COLUMNS) * CELL_W, oy = (i / COLUMNS) * CELL_H;
                for (int y = oy; y < oy + CELL_H; y++)
                    for (int x = ox; x < ox + CELL_W; x++) {
                        uint8_t g = ((x / 8 + y / 8) & 1) ? 70 : 60;
                        if (y == oy + CELL_H - 8) g = 120;
                        uint8_t *p = &img.rgb[(size_t(y) * img.w + x) * 3];
                        p[0] = g, p[1] = g, p[2] = uint8_t(g + 10);
                    }
                draw_model(img, ox, oy, model, skin, character_skin_span(kind), frames[i],
                           views[v % 2]);
            }
            std::string base = dir + "/" + character_name(kind) + "_" + view_names[v % 2] + (close ? "_close" : "");
            write_ppm(base + ".ppm", img);
            std::string cmd = "ffmpeg -loglevel error -y -i '" + base + ".ppm' '" + base + ".png' && rm '" + base + ".ppm'";
            if (system(cmd.c_str()) != 0) printf("convert failed for %s\n", base.c_str());
        }
        std::string skin_path = dir + "/" + character_name(kind) + "_skin.ppm";
        Image s{skin.width, skin.height, skin.rgb, {}};
        write_ppm(skin_path, s);
        std::string cmd = "ffmpeg -loglevel error -y -i '" + skin_path + "' '" + dir + "/" + character_name(kind) +
                          "_skin.png' && rm '" + skin_path + "'";
        if (system(cmd.c_str()) != 0) printf("convert failed for the skin\n");
    }
    printf("sheets in %s (frames per row: %d; order as listed in the source)\n", dir.c_str(),
           COLUMNS);
    return 0;
}
