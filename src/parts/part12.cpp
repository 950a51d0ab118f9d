// part12.cpp: the end screen: the end picture as the scene's backdrop, cross-faded in
// over the sofa room and faded to black at the end.
#include "parts/parts.h"
#include "texture/texture.h"

static Scene scene;
static Camera camera;

// Build the picture-only scene.
void part12_load() {
    init_camera(camera);
    init_scene(scene);
    scene.mesh_count = 0;
    scene.light_count = 0;
    scene.vertex_count = 0;
    scene.flags = 0;
    scene.background_texture = texture_find("endscreen.bmp", false);
    scene.scene_fade = 1.0f;
    scene.camera = &camera;
    camera.zmax = 3.0f;
    camera.direction[0] = 0, camera.direction[1] = 0, camera.direction[2] = 1;
}

Scene *part12_scene() { return &scene; }

// Fade the picture in over seven seconds, then to black from twelve seconds on.
void part12_animate(float t) {
    camera.glow_alpha = t < 7 ? t / 7 : 1.0f;
    camera.fade = t > 12 ? (12 - t) / 3 : 0.0f;
}
