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
    part12_animate(0);
    EXPECT_FLOAT_EQ(scene.camera->glow_alpha, 0);
    part12_animate(3.5f);
    EXPECT_FLOAT_EQ(scene.camera->glow_alpha, 0.5f);
    part12_animate(7);
    EXPECT_FLOAT_EQ(scene.camera->glow_alpha, 1);
    EXPECT_FLOAT_EQ(scene.camera->fade, 0);
    part12_animate(13.5f);
    EXPECT_FLOAT_EQ(scene.camera->fade, -0.5f);
    part12_animate(15);
    EXPECT_FLOAT_EQ(scene.camera->fade, -1);
    part12_animate(20);
    EXPECT_LE(scene.camera->fade, -1);
}
