// dispatch.cpp: the fixed recipe of each of the 17 schedule entries: which parts animate and
// render with which local time, the driver's own passes, and the one present that ends it.
#include <GL/gl.h>

#include "app/settings.h"
#include "demo/compositing.h"
#include "demo/driver.h"
#include "demo/schedule.h"
#include "render/render.h"

// The demo parts each entry draws, the presented one last.
static const int entry_parts[SCHEDULE_ENTRIES][2] = {
    {1, 0}, {2, 0}, {3, 0},  {3, 4}, {4, 0},  {5, 0},   {6, 0},   {7, 0},  {7, 8},
    {8, 0}, {8, 9}, {9, 0}, {10, 0}, {9, 0}, {11, 0}, {11, 12}, {12, 0},
};

static bool scene_ready(int part) { return part_built(part) && scene_table[part - 1]; }

// An entry is drawn when the part it presents is built; the wipe of entry 3 needs both of
// its parts. In the overlaps (entries 8, 10, 15) a part underneath that is not built yet
// leaves black for the presented part to draw over.
static bool entry_ready(int index) {
    const int *parts = entry_parts[index];
    if (!scene_ready(parts[1] ? parts[1] : parts[0])) return false;
    return index != 3 || scene_ready(parts[0]);
}

// Lk: seconds since schedule entry k began.
static float local_time(int k, float t) { return t - time_table[k]; }

// The part's animate operation with its local time, then its scene rendered.
static void animate_and_render(int part, float local, bool camera_mode) {
    part_table[part - 1].animate(local);
    render_scene(*scene_table[part - 1], local, camera_mode);
}

static Scene &scene_of(int part) { return *scene_table[part - 1]; }

// The part drawn underneath in an overlap, or black where it is not built yet.
static void animate_and_render_underneath(int part, float local, bool camera_mode) {
    if (scene_ready(part)) {
        animate_and_render(part, local, camera_mode);
        return;
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void draw_entry(int index, float t) {
    if (index < 0 || index >= SCHEDULE_ENTRIES) {
        quit_flag = true;
        return;
    }
    if (!entry_ready(index)) {
        present_black_frame();
        return;
    }
    switch (index) {
    case 0:
        animate_and_render(1, local_time(0, t), true);
        present_frame(scene_of(1));
        break;
    case 1: {
        float l1 = local_time(1, t);
        const PartRow &part2 = part_table[1];
        part2.animate(l1);
        if (l1 < 37.0f) mirror_pass(scene_of(2), l1);
        part2.update_mirror(l1);
        render_scene(scene_of(2), l1, true);
        if (l1 < 20.0f) part2.draw_credits(l1);
        present_frame(scene_of(2));
        break;
    }
    case 2:
        animate_and_render(3, local_time(2, t), false);
        present_frame(scene_of(3));
        break;
    case 3: {
        // Part 4 inside the region marked so far, part 3 outside it; the region only grows.
        float l3 = local_time(3, t);
        stencil_wipe_mark(double(t), double(l3));
        glStencilFunc(GL_NOTEQUAL, 1, 1);
        glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
        animate_and_render(3, local_time(2, t), false);
        glStencilFunc(GL_EQUAL, 1, 1);
        glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
        animate_and_render(4, l3, true);
        present_frame(scene_of(4));
        break;
    }
    case 4:
        animate_and_render(4, local_time(3, t), true);
        present_frame(scene_of(4));
        break;
    case 5:
        animate_and_render(5, local_time(5, t), true);
        present_frame(scene_of(5));
        break;
    case 6:
        animate_and_render(6, local_time(6, t), true);
        present_frame(scene_of(6));
        break;
    case 7:
        animate_and_render(7, local_time(7, t), true);
        present_frame(scene_of(7));
        break;
    case 8:
        animate_and_render_underneath(7, local_time(7, t), true);
        animate_and_render(8, local_time(8, t), false);
        present_frame(scene_of(8));
        break;
    case 9:
        animate_and_render(8, local_time(8, t), false);
        present_frame(scene_of(8));
        break;
    case 10:
        animate_and_render_underneath(8, local_time(8, t), false);
        animate_and_render(9, local_time(10, t), true);
        present_frame(scene_of(9));
        break;
    case 11:
        animate_and_render(9, local_time(10, t), true);
        present_frame(scene_of(9));
        break;
    case 12:
        animate_and_render(10, local_time(12, t), false);
        present_frame(scene_of(10));
        break;
    case 13: {
        float l13 = local_time(13, t);
        animate_and_render(9, l13 + 20.0f, true);
        if (l13 > 45.0f) noise_overlay(t, l13);
        present_frame(scene_of(9));
        break;
    }
    case 14:
        animate_and_render(11, local_time(14, t), true);
        present_frame(scene_of(11));
        break;
    case 15:
        animate_and_render_underneath(11, local_time(14, t), true);
        animate_and_render(12, local_time(15, t), true);
        present_frame(scene_of(12));
        break;
    case 16:
        animate_and_render(12, local_time(15, t), true);
        present_frame(scene_of(12));
        break;
    }
}
