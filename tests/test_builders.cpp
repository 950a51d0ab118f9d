// test_builders.cpp: the generator's building blocks: meshes wind outwards around their volume,
// polygons triangulate, materials tile, pictures avoid the key.
#include <gtest/gtest.h>

#include <cmath>

#include "writers/mesh_builder.h"
#include "writers/picture.h"

namespace {

const double PI = 3.14159265358979;

// Signed volume by the divergence theorem: positive when every triangle winds outwards.
double volume(const MeshData &m) {
    double sum = 0;
    for (const MeshTriangle &t : m.triangles) {
        const MeshVertex &a = m.vertices[t.a], &b = m.vertices[t.b], &c = m.vertices[t.c];
        sum += a.x * (double(b.y) * c.z - double(b.z) * c.y) - a.y * (double(b.x) * c.z - double(b.z) * c.x) +
               a.z * (double(b.x) * c.y - double(b.y) * c.x);
    }
    return sum / 6;
}

// Every triangle of a convex mesh around the origin faces away from it.
int inward_faces(const MeshData &m) {
    int inward = 0;
    for (const MeshTriangle &t : m.triangles) {
        const MeshVertex &a = m.vertices[t.a], &b = m.vertices[t.b], &c = m.vertices[t.c];
        double e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        double centre[3] = {(a.x + b.x + c.x) / 3.0, (a.y + b.y + c.y) / 3.0, (a.z + b.z + c.z) / 3.0};
        if (n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2] < 0) inward++;
    }
    return inward;
}

TEST(MeshBuilder, ClosedShapesWindOutwardsAndEncloseTheirVolume) {
    MeshData cylinder = mesh_cylinder(1, 2, 64, 3, true);
    mesh_translate(cylinder, 0, 0, -1);
    const struct {
        const char *name;
        MeshData mesh;
        double volume, tolerance;  // relative
        bool around_origin;  // convex around the origin: every face looks away from it
    } shapes[] = {
        {"box", mesh_box(2, 3, 4), 24.0, 1e-5, true},
        {"sphere", mesh_sphere(1, 48, 24), 4.0 / 3.0 * PI, 0.03, true},
        {"cylinder", cylinder, 2 * PI, 0.02, true},
        {"torus", mesh_torus(2, 0.5f, 64, 32), 2 * PI * PI * 2 * 0.25, 0.03, false},
        // A closed lathe: a unit cylinder drawn as bottom, side and top of its profile.
        {"lathe", mesh_lathe({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 64), PI, 0.02, false},
    };
    for (const auto &shape : shapes) {
        EXPECT_NEAR(volume(shape.mesh), shape.volume, shape.tolerance * shape.volume) << shape.name;
        EXPECT_TRUE(!shape.around_origin || inward_faces(shape.mesh) == 0) << shape.name;
    }
    // Turning a box inside out (a room seen from within) flips its volume's sign; a mirroring
    // scale keeps the winding outwards.
    MeshData box = mesh_box(2, 3, 4), mirrored = mesh_sphere(1, 16, 8);
    mesh_flip(box);
    EXPECT_NEAR(volume(box), -24.0, 1e-4);
    mesh_scale(mirrored, -1, 1, 1);
    EXPECT_GT(volume(mirrored), 0);
}

TEST(MeshBuilder, TransformsAndMappingsDoWhatTheySay) {
    MeshData grid = mesh_grid(10, 20, 4, 2);
    EXPECT_EQ(grid.vertices.size(), 15u);
    EXPECT_EQ(grid.triangles.size(), 16u);
    auto expect_bounds = [&](std::vector<float> want) {  // lowest x, y, z, then highest
        float b[6] = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
        for (const MeshVertex &v : grid.vertices)
            for (int i = 0; i < 3; i++) {
                float p = i == 0 ? v.x : i == 1 ? v.y : v.z;
                b[i] = std::min(b[i], p);
                b[i + 3] = std::max(b[i + 3], p);
            }
        for (int k = 0; k < 6; k++) EXPECT_NEAR(b[k], want[size_t(k)], 1e-5) << k;
    };
    expect_bounds({-5, -10, 0, 5, 10, 0});
    mesh_translate(grid, 1, 2, 3);
    expect_bounds({-4, -8, 3, 6, 12, 3});
    mesh_scale(grid, 1, 2, 3);
    expect_bounds({-4, -16, 9, 6, 24, 9});
    mesh_rotate_x(grid, float(PI / 2));  // (x, y, z) to (x, -z, y)
    expect_bounds({-4, -9, -16, 6, -9, 24});
    mesh_rotate_y(grid, float(PI / 2));  // (x, y, z) to (z, y, -x)
    expect_bounds({-16, -9, -6, 24, -9, 4});
    mesh_rotate_z(grid, float(PI / 2));  // (x, y, z) to (-y, x, z): the grid's +z normal is now +x
    expect_bounds({9, -16, -6, 9, 24, 4});
    std::vector<float> normals = mesh_normals(grid);
    for (size_t i = 0; i < normals.size(); i++) EXPECT_NEAR(normals[i], i % 3 == 0 ? 1.0f : 0.0f, 1e-5) << i;
    MeshData box = mesh_box(1, 1, 1);
    mesh_map_box(box, 1);
    EXPECT_EQ(box.vertices.size(), 36u);
    MeshData joined = mesh_box(1, 1, 1);
    mesh_append(joined, mesh_box(1, 1, 1));
    ASSERT_EQ(joined.vertices.size(), 48u);
    ASSERT_EQ(joined.triangles.size(), 24u);
    EXPECT_EQ(joined.triangles[12].a, joined.triangles[0].a + 24);
    EXPECT_EQ(joined.triangles[23].c, joined.triangles[11].c + 24);
}

TEST(MeshBuilder, PolygonsTriangulateIntoTheirArea) {
    std::vector<Point2> star;
    for (int i = 0; i < 10; i++) {
        double r = i % 2 ? 0.4 : 1.0, a = i * PI / 5;
        star.push_back({float(r * std::cos(a)), float(r * std::sin(a))});
    }
    std::vector<MeshTriangle> triangles = triangulate_polygon(star);
    ASSERT_EQ(triangles.size(), 8u);
    double area = 0, expected = 0;
    for (size_t i = 0; i < star.size(); i++) {
        const Point2 &p = star[i], &q = star[(i + 1) % star.size()];
        expected += (p.x * q.y - q.x * p.y) / 2;
    }
    for (const MeshTriangle &t : triangles) {
        const Point2 &a = star[t.a], &b = star[t.b], &c = star[t.c];
        double signed_area = ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / 2;
        EXPECT_GT(signed_area, 0) << "triangle winds clockwise";
        area += signed_area;
    }
    EXPECT_NEAR(area, expected, 1e-4);
}

TEST(MeshBuilder, ConversionToThe3dsWriterKeepsEverything) {
    MeshData m = mesh_torus(10, 2, 12, 6);
    Mesh3ds out = mesh_to_3ds(m, "Torus1", "gold");
    EXPECT_EQ(out.vertex_count(), int(m.vertices.size()));
    EXPECT_EQ(out.face_count(), int(m.triangles.size()));
    ASSERT_EQ(out.mappings.size(), m.vertices.size() * 2);
    EXPECT_FLOAT_EQ(out.mappings[2], m.vertices[1].u);
    EXPECT_EQ(out.faces[3], m.triangles[1].a);
    ASSERT_EQ(out.materials.size(), 1u);
    EXPECT_EQ(out.materials[0].faces.size(), m.triangles.size());
    Scene3ds scene;
    scene.meshes.push_back(out);
    EXPECT_FALSE(encode_3ds(scene).empty());
}

TEST(MeshBuilder, MeshesTooLargeForA3dsObjectAreRefused) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    MeshData cloud;  // as many vertices as an object holds, then as many faces, then one more
    cloud.vertices.resize(65535);
    cloud.triangles.resize(65535);
    EXPECT_EQ(mesh_to_3ds(cloud, "largest", "").vertex_count(), 65535);
    cloud.vertices.resize(65536);
    EXPECT_EXIT(mesh_to_3ds(cloud, "sea", ""), ::testing::ExitedWithCode(1), "\\[sea\\] has 65536 vertices and 65535 faces");
    cloud.vertices.resize(3);
    cloud.triangles.resize(65536);
    EXPECT_EXIT(mesh_to_3ds(cloud, "sea", ""), ::testing::ExitedWithCode(1), "\\[sea\\] has 3 vertices and 65536 faces");
    MeshData bad = mesh_box(1, 1, 1);
    bad.triangles[0].c = 24;  // one past the last vertex
    EXPECT_EXIT(mesh_to_3ds(bad, "crate", ""), ::testing::ExitedWithCode(1), "\\[crate\\] has a face with a vertex index outside");
}

TEST(Picture, NoiseAndMaterialsTile) {
    for (float y : {0.3f, 1.7f, 3.2f})
        for (float x : {0.1f, 2.5f}) {
            EXPECT_NEAR(perlin_noise(x, y, 4, 9), perlin_noise(x + 4, y, 4, 9), 1e-5);
            EXPECT_NEAR(value_noise(x, y, 4, 9), value_noise(x, y + 4, 4, 9), 1e-5);
            EXPECT_NEAR(fractal_noise(x, y, 5, 0.5f, 4, 3), fractal_noise(x + 4, y + 4, 5, 0.5f, 4, 3), 1e-4);
        }
    // Wrapping a material by one pixel changes it no more than a step inside it does.
    for (const Picture &p : {picture_stone(64, colour(0.5f, 0.5f, 0.5f), 1), picture_wood(64, colour(0.8f, 0.6f, 0.4f), colour(0.4f, 0.2f, 0.1f), 2),
                             picture_metal(64, colour(0.7f, 0.7f, 0.7f), 3), picture_clouds(64, colour(0, 0, 0), colour(1, 1, 1), 5, 4)}) {
        double seam = 0, inside = 0;
        for (int y = 0; y < 64; y++) {
            seam += std::fabs(picture_get(p, 63, y).g - picture_get(p, 0, y).g);
            inside += std::fabs(picture_get(p, 31, y).g - picture_get(p, 32, y).g);
        }
        EXPECT_LT(seam, inside * 2.5 + 0.5);
    }
}

TEST(Picture, WritesKeepOffTheColourKeyUnlessAsked) {
    Picture p(4, 4);
    picture_set(p, 0, 0, colour(1, 0, 1));
    EXPECT_FALSE(picture_is_transparent(p, 0, 0));
    EXPECT_EQ(p.at(0, 0)[0], 254);
    picture_set_transparent(p, 1, 0);
    EXPECT_TRUE(picture_is_transparent(p, 1, 0));
    picture_fill(p, colour(1, 0, 1));
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) EXPECT_FALSE(picture_is_transparent(p, x, y));
    for (int xy : {4, -1, 9}) picture_set(p, xy, xy == 4 ? 0 : 1, colour(0, 0, 0));  // outside: ignored
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) EXPECT_EQ(p.at(x, y)[2], 255) << x << "," << y;
}

TEST(Picture, PaintedPixelsSeeTheirCornerCoordinatesAndRepaintSeesTheirColour) {
    Picture p = picture_painted(4, 2, [](int x, int y, float u, float v) { return colour(u, v, x == 3 && y == 1); });
    picture_repaint(p, [](int, int, float, float, Colour now) { return colour_scale(now, 0.5f); });
    const uint8_t *q = p.at(3, 1);  // u = 3/4, v = 1/2, halved
    EXPECT_NEAR(q[0], 0.375 * 255, 1);
    EXPECT_NEAR(q[1], 0.25 * 255, 1);
    EXPECT_NEAR(q[2], 0.5 * 255, 1);
    EXPECT_EQ(p.at(0, 0)[2], 0);
}

TEST(Picture, ResizeBlurAndTextBehave) {
    Picture flat(64, 32);
    picture_fill(flat, colour(0.4f, 0.2f, 0.8f));
    Picture small = picture_resize(flat, 16, 8);
    Picture large = picture_resize(flat, 128, 64);
    EXPECT_EQ(small.at(7, 3)[0], flat.at(0, 0)[0]);
    EXPECT_EQ(large.at(100, 60)[2], flat.at(0, 0)[2]);
    Picture dot(32, 32);
    picture_set(dot, 16, 16, colour(1, 1, 1));
    picture_blur(dot, 2, 3, false);
    EXPECT_GT(dot.at(18, 16)[0], 0);
    EXPECT_LT(dot.at(16, 16)[0], 255);
    Picture text(128, 32);
    picture_draw_text(text, "Kelp", "DejaVu Sans:bold", 20, 4, 4, colour(1, 1, 1));
    int lit = 0;
    for (uint8_t v : text.rgb) lit += v > 128;
    EXPECT_GT(lit, 100);
    EXPECT_GT(text_width("Kelp", "DejaVu Sans", 20), text_width("K", "DejaVu Sans", 20));
    EXPECT_EQ(tga_encode(text).size(), 18u + 128 * 32 * 3);
}

TEST(Picture, ShapesCoverTheirArea) {
    auto lit = [](const Picture &p) {
        int n = 0;
        for (size_t i = 0; i < p.rgb.size(); i += 3) n += p.rgb[i] == 255;
        return n;
    };
    Picture p(64, 64);
    picture_fill_rect(p, 10, 10, 20, 5, colour(1, 1, 1), 1);
    EXPECT_EQ(lit(p), 100);
    Picture line(64, 64);
    picture_draw_line(line, 4, 32, 60, 32, 2, colour(1, 1, 1), 1);
    EXPECT_EQ(line.at(30, 31)[0], 255);
    EXPECT_EQ(line.at(30, 28)[0], 0);
    picture_draw_line(p, -100, -100, -90, -90, 2, colour(1, 0, 0), 1);  // outside: nothing, no crash
    EXPECT_EQ(lit(p), 100);
}

}  // namespace
