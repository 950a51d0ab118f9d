// test_spline.cpp: the natural cubic spline, the stretch rule with cuts and the camera track.
#include <gtest/gtest.h>

#include <vector>

#include "scene/spline.h"

namespace {

const float kx[] = {0, 1, 2.5f, 4, 5.5f, 7};
const float ky[] = {0, 3, 1, 4, 2, 5};

// Through six points with natural ends (nearly straight next to them); one or two points,
// and times past the end, hold or interpolate.
TEST(CalcSpline, NaturalCubicAndShortTables) {
    EXPECT_NEAR(calc_spline(kx, ky, 6, 0.5f), 1.95049f, 2e-5);
    EXPECT_NEAR(calc_spline(kx, ky, 6, 3.0f), 1.76260f, 2e-5);
    for (int i = 0; i < 6; i++) EXPECT_NEAR(calc_spline(kx, ky, 6, kx[i]), ky[i], 1e-5) << i;
    float a = calc_spline(kx, ky, 6, 0.0f), b = calc_spline(kx, ky, 6, 0.01f), c = calc_spline(kx, ky, 6, 0.02f);
    EXPECT_NEAR((c - b) - (b - a), 0.0f, 1e-5);
    EXPECT_EQ(calc_spline(kx, ky, 6, 50.0f), 5.0f);
    const float x1[] = {2}, y1[] = {7}, x2[] = {1, 3}, y2[] = {10, 20};
    EXPECT_EQ(calc_spline(x1, y1, 1, 100.0f), 7.0f);
    EXPECT_FLOAT_EQ(calc_spline(x2, y2, 2, 1.5f), 12.5f);
    EXPECT_FLOAT_EQ(calc_spline(x2, y2, 2, 3.0f), 20.0f);
    EXPECT_FLOAT_EQ(calc_spline(x2, y2, 2, 9.0f), 20.0f);
}

TEST(CalcSpline, BadTablesStopWithTheirMessages) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    const float x[] = {0, 1, 1, 2}, y[] = {0, 1, 2, 3};
    EXPECT_EXIT(calc_spline(x, y, 4, 1.5f), ::testing::ExitedWithCode(1),
                "^Critical error: d\\[\\]=0 in calc_spline!\n");
    EXPECT_EXIT(calc_spline(kx, ky, 6, -0.5f), ::testing::ExitedWithCode(1),
                "^Critical error: t<x\\[0\\] in calc_spline!\n");
    EXPECT_EXIT(calc_spline(kx, ky, 0, 1.0f), ::testing::ExitedWithCode(1),
                "SPLINE: a spline through 0 points \\(1 to 16384 allowed\\)");
    static std::vector<float> many(MAX_SPLINE_POINTS + 1);
    EXPECT_EXIT(calc_spline(many.data(), many.data(), MAX_SPLINE_POINTS + 1, 1.0f),
                ::testing::ExitedWithCode(1), "SPLINE: a spline through 16385 points");
    for (int i = 0; i < MAX_SPLINE_POINTS; i++) many[i] = float(i);  // the largest table is accepted
    EXPECT_NEAR(calc_spline(many.data(), many.data(), MAX_SPLINE_POINTS, 100.5f), 100.5f, 1e-3);
}

// Camera keys at the given frames; key i holds position (i, 10 i, 100 i).
std::vector<CameraKey> camera_keys(std::initializer_list<float> frames) {
    std::vector<CameraKey> keys;
    int i = 0;
    for (float f : frames) {
        CameraKey k{};
        k.frame = f;
        k.position[0] = float(i), k.position[1] = float(10 * i), k.position[2] = float(100 * i);
        k.target[0] = float(i + 1), k.target[1] = 5, k.target[2] = -5;
        k.fov = 40.0f + float(i);
        k.roll = 0.1f * float(i);
        keys.push_back(k);
        i++;
    }
    return keys;
}

// The stretch of keys around a time: a cut (two keys of one frame) splits the track.
TEST(TrackStretch, CutsSplitTheTrack) {
    const std::vector<CameraKey> one_cut = camera_keys({0, 10, 20, 20, 30, 40}), two_cuts = camera_keys({0, 5, 5, 8, 8, 9});
    const struct {
        const std::vector<CameraKey> &keys;
        float rate, t;
        int lo, hi;
    } cases[] = {{one_cut, 10, -1, 0, 3}, {one_cut, 10, 1.99f, 0, 3}, {one_cut, 10, 2, 3, 6},
                 {one_cut, 10, 99, 3, 6}, {two_cuts, 1, 6, 2, 4},     {two_cuts, 1, 8, 4, 6}};
    for (const auto &c : cases) {
        int lo = -1, hi = -1;
        track_stretch(c.keys.data(), int(c.keys.size()), c.rate, c.t, &lo, &hi);
        EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(c.lo, c.hi)) << c.t;
    }
}

void expect3(const float *got, float x, float y, float z) {
    EXPECT_FLOAT_EQ(got[0], x);
    EXPECT_FLOAT_EQ(got[1], y);
    EXPECT_FLOAT_EQ(got[2], z);
}

struct CameraScene {
    Scene scene;
    Camera camera;
    std::vector<CameraKey> keys;
    CameraScene(std::vector<CameraKey> k, float rate) : keys(std::move(k)) {
        init_scene(scene);
        init_camera(camera);
        scene.camera = &camera;
        scene.camera_keys = keys.data();
        scene.camera_key_count = int(keys.size());
        scene.frame_rate = rate;
    }
};

TEST(AnimateCamera, OneKeyHoldsAtEveryLaterTime) {
    CameraScene c(camera_keys({30}), 10.0f);
    for (float t : {3.0f, 4.0f, 1000.0f}) {
        animate_camera(c.camera, c.scene, t);
        expect3(c.camera.position, 0, 0, 0);
        expect3(c.camera.direction, 1, -5, 5);  // y and z: -(target - position)
        EXPECT_EQ(c.camera.fov, 40.0f);
        EXPECT_EQ(c.camera.roll, 0.0f);
    }
}

TEST(AnimateCamera, CutInstantUsesTheKeyAfterTheCut) {
    CameraScene c(camera_keys({0, 10, 10, 20}), 10.0f);
    animate_camera(c.camera, c.scene, 1.0f);
    expect3(c.camera.position, 2, 20, 200);
    EXPECT_FLOAT_EQ(c.camera.fov, 42.0f);
    animate_camera(c.camera, c.scene, 0.5f);
    EXPECT_FLOAT_EQ(c.camera.position[0], 0.5f);  // straight line through keys 0 and 1
    animate_camera(c.camera, c.scene, 1.5f);
    EXPECT_FLOAT_EQ(c.camera.position[0], 2.5f);
    animate_camera(c.camera, c.scene, 5.0f);
    expect3(c.camera.position, 3, 30, 300);
    EXPECT_FLOAT_EQ(c.camera.roll, 0.3f);
}

TEST(AnimateCamera, KeepMaskKeepsWhatThePartSet) {
    CameraScene c(camera_keys({0, 10}), 10.0f);
    c.camera.direction[0] = 7, c.camera.direction[1] = 8, c.camera.direction[2] = 9;
    c.camera.keep_mask = 2;
    animate_camera(c.camera, c.scene, 0.5f);
    expect3(c.camera.position, 0.5f, 5, 50);
    expect3(c.camera.direction, 7, 8, 9);

    c.camera.keep_mask = 1 | 4 | 8;
    c.camera.position[0] = 100, c.camera.position[1] = 0, c.camera.position[2] = 0;
    c.camera.fov = 60, c.camera.roll = 2;
    animate_camera(c.camera, c.scene, 0.5f);
    expect3(c.camera.position, 100, 0, 0);
    expect3(c.camera.direction, 1.5f - 100.0f, -5, 5);  // from the kept position
    EXPECT_EQ(c.camera.fov, 60.0f);
    EXPECT_EQ(c.camera.roll, 2.0f);
}

TEST(AnimateCamera, BeforeTheFirstKeyOrWithoutRateIsFatal) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    CameraScene c(camera_keys({10, 20}), 10.0f);
    EXPECT_EXIT(animate_camera(c.camera, c.scene, 0.5f), ::testing::ExitedWithCode(1),
                "Critical error: t<x\\[0\\] in calc_spline!");
    c.scene.frame_rate = 0;
    EXPECT_EXIT(animate_camera(c.camera, c.scene, 5.0f), ::testing::ExitedWithCode(1),
                "SPLINE: camera keys need a positive frame rate \\(scene has 0\\)");
}

}  // namespace
