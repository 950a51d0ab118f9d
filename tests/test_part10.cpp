// test_part10.cpp: the spider interlude: the flash, the swirl on unit circles and the white-out.
#include <gtest/gtest.h>
#include <GL/gl.h>

#include <cmath>

#include "parts/parts.h"
#include "support/part_files.h"

TEST_F(PartTest, SpiderFlashSwirlAndWhiteOut) {
    write_grey_picture("spider7.bmp");
    write_grey_picture("lightbgd.bmp");
    part10_load();
    Scene &scene = *part10_scene();  // its counts are checked in the show's log
    EXPECT_FLOAT_EQ(scene.scene_fade, 1.0f);
    EXPECT_EQ(scene.meshes[1].faces[0].two_sided, 1);

    const float fades[][2] = {{0, 1}, {1, 0}, {7.5f, 0}, {14, 0}, {15.5f, 1.5f}};
    for (const auto &f : fades) {
        part10_animate(f[0]);
        EXPECT_FLOAT_EQ(scene.camera->fade, f[1]) << f[0];
    }
    GLint depth_func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
    EXPECT_EQ(depth_func, GL_ALWAYS);
    glDepthFunc(GL_LEQUAL);

    // Every corner of quad q lies on the unit circle about that quad's centre.
    float t = 3.7f;
    part10_animate(t);
    for (int q = 0; q < 10; q++) {
        float sq = std::sin(float(q));
        float cx = std::sin(sq * t / 1.5f) / 4 + 0.3f, cy = std::cos(sq * t / 1.5f) / 4 + 0.1f;
        for (int k = 0; k < 4; k++) {
            const float *pos = scene.vertices[4 * q + k].position;
            EXPECT_NEAR(std::hypot(pos[0] - cx, pos[1] - cy), 1.0f, 1e-5);
            EXPECT_FLOAT_EQ(pos[2], 0.5f);
        }
    }
}
