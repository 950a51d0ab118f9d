// test_part12.cpp: the end screen: the picture-only scene, its cross-fade in and fade out.
#include <gtest/gtest.h>

#include "parts/parts.h"
#include "support/part_files.h"

TEST_F(PartTest, EndScreenCrossFadeAndFadeOut) {
    write_grey_picture("endscreen.bmp");
    part12_load();
    Scene &scene = *part12_scene();
    EXPECT_EQ(scene.mesh_count, 0);
    EXPECT_GE(scene.background_texture, 0);
    const float rows[][3] = {{0, 0, 0}, {3.5f, 0.5f, 0}, {7, 1, 0}, {13.5f, 1, -0.5f}, {15, 1, -1}};  // t, glow, fade
    for (const auto &row : rows) {
        part12_animate(row[0]);
        EXPECT_FLOAT_EQ(scene.camera->glow_alpha, row[1]) << row[0];
        EXPECT_FLOAT_EQ(scene.camera->fade, row[2]) << row[0];
    }
}
