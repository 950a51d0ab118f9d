// dispatch.cpp: draws one schedule entry by the schedule table: each part animated and
// rendered with its local time and camera mode, the driver's own pass where the entry has
// one, and the present of the last part's scene.
#include <GL/gl.h>

#include "app/settings.h"
#include "demo/compositing.h"
#include "demo/driver.h"
#include "demo/schedule.h"
#include "render/render.h"

static bool scene_ready(int part) { return part_built(part) && scene_table[part - 1]; }

static Scene &scene_of(int part) { return *scene_table[part - 1]; }

// The camera mode of every part, as the schedule's steps take it.
static const bool *part_camera_modes() {
    static bool modes[PART_COUNT];
    for (int k = 0; k < PART_COUNT; k++) modes[k] = part_table[k].camera_mode;
    return modes;
}

// An entry is drawn when the part it presents is built; the wipe needs both of its parts.
// In the other overlaps a part underneath that is not built yet leaves black for the
// presented part to draw over.
static bool entry_ready(const ScheduleRow &row) {
    if (!scene_ready(row.layers[row.layer_count - 1].part)) return false;
    return row.pass != PASS_WIPE || scene_ready(row.layers[0].part);
}

// The part's animate operation with its local time, then its scene rendered.
static void animate_and_render(const EntryStep &step) {
    part_table[step.part - 1].animate(step.local_time);
    render_scene(scene_of(step.part), step.local_time, step.camera_mode);
}

// Entry 1: the mirror room renders its reflection into the mirror texture before the room
// itself, and the credits go over it.
static void draw_mirror_entry(const EntryStep &step) {
    const PartRow &part2 = part_table[step.part - 1];
    float local = step.local_time;
    part2.animate(local);
    if (local < 37.0f) mirror_pass(scene_of(step.part), local);
    part2.update_mirror(local);
    render_scene(scene_of(step.part), local, step.camera_mode);
    if (local < 20.0f) part2.draw_credits(local);
}

// Entry 3: the part underneath outside the region the wave has marked so far, the
// presented part inside it; the region only grows.
static void draw_wipe_entry(float t, const EntryStep *steps) {
    stencil_wipe_mark(double(t), double(steps[1].local_time));
    glStencilFunc(GL_NOTEQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    animate_and_render(steps[0]);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    animate_and_render(steps[1]);
}

void draw_entry(int index, float t) {
    if (index < 0 || index >= SCHEDULE_ENTRIES) {
        quit_flag = true;
        return;
    }
    const ScheduleRow &row = schedule_table[index];
    if (!entry_ready(row)) {
        present_black_frame();
        return;
    }
    EntryStep steps[2];
    int count = entry_steps(index, t, time_table, part_camera_modes(), steps);
    const EntryStep &presented = steps[count - 1];
    switch (row.pass) {
    case PASS_MIRROR:
        draw_mirror_entry(presented);
        break;
    case PASS_WIPE:
        draw_wipe_entry(t, steps);
        break;
    case PASS_NONE:
    case PASS_NOISE:
        for (int i = 0; i < count; i++) {
            if (scene_ready(steps[i].part)) {
                animate_and_render(steps[i]);
            } else {
                glClearColor(0, 0, 0, 1);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            }
        }
        // The static over the end of entry 13, from 45 s of its own time.
        if (row.pass == PASS_NOISE) {
            float local = t - time_table[index];
            if (local > 45.0f) noise_overlay(t, local);
        }
        break;
    }
    present_frame(scene_of(presented.part));
}
