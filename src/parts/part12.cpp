// part12.cpp: the end screen: the end picture as the scene's backdrop, cross-faded in
// over the sofa room and faded to black at the end.
#include "parts/part_common.h"
#include "parts/parts.h"
#include "texture/texture.h"

static PartScene part;

// Build the picture-only scene: no arrays at all, the picture is the background.
void part12_load() {
    part_create(part, 12, PartCapacity{});
    part.scene.background_texture = texture_find("endscreen.bmp", false);
    part.scene.scene_fade = 1.0f;
    part.camera.zmax = 3.0f;
    part.camera.direction[0] = 0, part.camera.direction[1] = 0, part.camera.direction[2] = 1;
}

Scene *part12_scene() { return &part.scene; }

// Fade the picture in over seven seconds, then to black from twelve seconds on.
void part12_animate(float t) {
    Camera &camera = part.camera;
    camera.glow_alpha = t < 7 ? t / 7 : 1.0f;
    camera.fade = t > 12 ? (12 - t) / 3 : 0.0f;
}
