// present.cpp: the last step of every drawn frame: fade, finish, screenshot or capture, swap.
#include <GL/gl.h>

#include "app/settings.h"
#include "demo/capture.h"
#include "demo/driver.h"
#include "demo/screenshot.h"
#include "demo/tool.h"
#include "render/clock.h"
#include "render/overlay.h"

// Save what was drawn while the back buffer still holds it, then show it.
static void finish_and_swap() {
    glFinish();
    if (screenshot_request) {
        screenshot_request = false;
        save_screenshot();
    }
    capture_frame();
    swap_window_buffers();
}

void present_frame(Scene &scene) {
    ++frame_counter;
    draw_fade(scene.camera->fade);
    tool_over_frame();
    finish_and_swap();
}

void present_black_frame() {
    ++frame_counter;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    tool_over_frame();
    finish_and_swap();
}
