// player.cpp: the entry player. One frame of the show by the schedule table, drawn or not:
// each part animated and rendered with its local time and camera mode, the driver's own pass
// where the entry has one, and the present. Around it, the show's whole state saved and put
// back, and the replays that land on any frame of a run at a fixed rate.
#include "demo/player.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "demo/compositing.h"
#include "demo/driver.h"
#include "demo/schedule.h"
#include "parts/part_state.h"
#include "render/overlay.h"
#include "render/render.h"
#include "scene/random.h"

static bool scene_ready(int part) { return part_built(part) && scene_table[part - 1]; }

static Scene &scene_of(int part) { return *scene_table[part - 1]; }

// Parts animated or rendered since their state was last put back to their load's.
static bool part_played[PART_COUNT];

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
    part_played[step.part - 1] = true;
    part_table[step.part - 1].animate(step.local_time);
    render_scene(scene_of(step.part), step.local_time, step.camera_mode);
}

// A frame not drawn that still copies the mirror: a later frame shows that copy.
static bool copy_mirror_unseen = false;

// Entry 1: the mirror room renders its reflection into the mirror texture before the room
// itself, and the credits go over it.
static void play_mirror_entry(const EntryStep &step) {
    const PartRow &part2 = part_table[step.part - 1];
    float local = step.local_time;
    part_played[step.part - 1] = true;
    part2.animate(local);
    if (local < MIRROR_END) {
        bool drawing = render_drawing();
        if (copy_mirror_unseen) set_render_drawing(true);
        mirror_pass(scene_of(step.part), local);
        set_render_drawing(drawing);
    }
    part2.update_mirror(local);
    render_scene(scene_of(step.part), local, step.camera_mode);
    part2.draw_credits(local);
}

// Entry 3: the part underneath outside the region the wave has marked so far, the
// presented part inside it; the region only grows (its marks are made drawn or not).
static void play_wipe_entry(float t, const EntryStep *steps) {
    stencil_wipe_mark(double(t), double(steps[1].local_time));
    glStencilFunc(GL_NOTEQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    animate_and_render(steps[0]);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    animate_and_render(steps[1]);
}

// The layers in order; a part underneath that is not built leaves black.
static void play_layers(const EntryStep *steps, int count) {
    for (int i = 0; i < count; i++) {
        if (scene_ready(steps[i].part)) {
            animate_and_render(steps[i]);
        } else if (render_drawing()) {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
    }
}

// A drawn frame a replay needs only for its pixels: finished without being shown.
static bool finish_unshown = false;
// The last frame played drew its first scene over the picture before it.
static bool frame_kept_pixels = false;

static void present(Scene &scene) {
    if (!render_drawing()) return;
    if (finish_unshown) {
        draw_fade(scene.camera->fade);
        glFinish();
        swap_window_buffers();
        return;
    }
    present_frame(scene);
}

void play_entry(int index, float t, bool draw) {
    frame_kept_pixels = false;
    if (index < 0 || index >= SCHEDULE_ENTRIES) {
        quit_flag = true;
        return;
    }
    set_render_drawing(draw);
    const ScheduleRow &row = schedule_table[index];
    if (!entry_ready(row)) {
        if (draw && !finish_unshown) present_black_frame();
        set_render_drawing(true);
        return;
    }
    EntryStep steps[2];
    int count = entry_steps(index, t, time_table, part_camera_modes(), steps);
    const EntryStep &presented = steps[count - 1];
    switch (row.pass) {
    case PASS_MIRROR: play_mirror_entry(presented); break;
    case PASS_WIPE: play_wipe_entry(t, steps); break;
    case PASS_NONE: play_layers(steps, count); break;
    case PASS_NOISE:
        play_layers(steps, count);
        // The static over the end of entry 13, from 45 s of its own time.
        if (t - time_table[index] > NOISE_START) noise_overlay(t, t - time_table[index]);
        break;
    }
    if (scene_ready(steps[0].part)) frame_kept_pixels = background_keeps_pixels(scene_of(steps[0].part));
    present(scene_of(presented.part));
    set_render_drawing(true);
}

// Entry changes: the models start their animations afresh, and the wipe's stencil is set up
// when entry 3 begins and switched off when entry 4 begins.
static void apply_schedule_advance(const ScheduleAdvance &advance) {
    for (int i = 0; i < advance.changes; ++i) reset_model_state();
    for (int i = 0; i < advance.stencil_step_count; ++i) {
        if (advance.stencil_steps[i] == STENCIL_ENABLE) {
            glClearStencil(0);
            glClear(GL_STENCIL_BUFFER_BIT);
            glEnable(GL_STENCIL_TEST);
        } else {
            glDisable(GL_STENCIL_TEST);
        }
    }
    schedule_index = advance.index;
}

void play_frame(float t, bool draw) {
    apply_schedule_advance(schedule_advance(time_table, time_count, schedule_index, t));
    set_part_time(schedule_part_time(time_table, time_count, schedule_index, t));
    if (quit_flag) return;
    play_entry(schedule_index, t, draw);
}

// ---------------------------------------------------------------------------------------
// The show's state.

void save_show_state(ShowState &state) {
    free_show_state(state);
    state.random = random_save();
    save_model_state(state.models);
    state.clock = clock_save();
    state.schedule_index = schedule_index;
    for (int k = 0; k < PART_COUNT; k++) {
        state.parts[k] = nullptr;
        if (!part_played[k]) continue;
        state.parts[k] = new uint8_t[part_state_size(k + 1)];
        part_save(k + 1, state.parts[k]);
    }
}

void restore_show_state(const ShowState &state) {
    random_restore(state.random);
    restore_model_state(state.models);
    clock_restore(state.clock);
    schedule_index = state.schedule_index;
    // Only the wipe's entry draws with the stencil test on.
    if (entry_is_wipe(schedule_index)) glEnable(GL_STENCIL_TEST);
    else glDisable(GL_STENCIL_TEST);
    for (int k = 0; k < PART_COUNT; k++) {
        if (state.parts[k]) part_restore(k + 1, state.parts[k]);
        else if (part_played[k]) part_reset(k + 1);
        part_played[k] = state.parts[k] != nullptr;
    }
}

void free_show_state(ShowState &state) {
    for (uint8_t *&bytes : state.parts) {
        delete[] bytes;
        bytes = nullptr;
    }
}

// Before any load is kept: the sequence at its first state, no entry yet.
static ShowState show_start = {1, {}, {0.0f, 0.0f}, -1, {}};

void keep_show_start() {
    forget_saved_starts(0);  // they belong to the show loaded before
    for (bool &played : part_played) played = false;
    save_show_state(show_start);
}

void reset_show() { restore_show_state(show_start); }

// ---------------------------------------------------------------------------------------
// Replays.

// The state before the first frame of an entry in a run at `rate`, saved by a replay.
struct SavedStart {
    bool valid;
    uint32_t frame;
    float rate;
    ShowState state;
};
static SavedStart saved_starts[SCHEDULE_ENTRIES];

enum { REPLAY_DRAWN_FRAMES = 2 };

uint32_t frame_at(float seconds, float rate) {
    double frame = std::floor(double(seconds) * double(rate) + 0.5);
    return frame > 0.0 ? uint32_t(frame) : 0u;
}

float frame_time_at(uint32_t frame, float rate) { return float(double(frame) / double(rate)); }

void forget_saved_starts(int entry) {
    for (int k = entry < 0 ? 0 : entry; k < SCHEDULE_ENTRIES; k++) {
        saved_starts[k].valid = false;
        free_show_state(saved_starts[k].state);
    }
}

// The latest saved start of a run at `rate` at or before `frame` (null: none).
static const SavedStart *latest_start(uint32_t frame, float rate) {
    const SavedStart *best = nullptr;
    for (const SavedStart &s : saved_starts)
        if (s.valid && s.rate == rate && s.frame <= frame && (!best || s.frame > best->frame)) best = &s;
    return best;
}

// Save the start of every entry the frame at t will begin that is not saved yet.
static void save_entry_starts(uint32_t frame, float rate, float t) {
    int next = schedule_advance(time_table, time_count, schedule_index, t).index;
    for (int k = schedule_index + 1; k <= next && k < SCHEDULE_ENTRIES; k++) {
        SavedStart &s = saved_starts[k];
        if (s.valid && s.rate == rate) continue;
        save_show_state(s.state);
        s.valid = true;
        s.frame = frame;
        s.rate = rate;
    }
}

// Whether the frame at t renders the mirror into its texture.
static bool copies_mirror(float t) {
    int index = schedule_advance(time_table, time_count, -1, t).index;
    if (index < 0 || index >= SCHEDULE_ENTRIES || schedule_table[index].pass != PASS_MIRROR) return false;
    return scene_ready(schedule_table[index].layers[0].part) && t - time_table[index] < MIRROR_END;
}


enum : uint32_t { NO_FRAME = 0xffffffffu };

// One replay from the latest saved start at or before `limit` (or the show's start) to the
// state before `frame`, drawing (with `draw`) the frames from `draw_from` on and the last
// mirror copy. Returns the first frame of the closing run of frames that drew over the
// picture before them (NO_FRAME when the last one did not), and in *begun the frame it
// started from.
static uint32_t replay_pass(uint32_t frame, float rate, bool draw, uint32_t draw_from, uint32_t limit,
                            uint32_t *begun) {
    const SavedStart *from = latest_start(limit, rate);
    uint32_t i = 0;
    if (from) {
        restore_show_state(from->state);
        i = from->frame;
    } else {
        reset_show();
    }
    *begun = i;
    clock_use_fixed_rate(rate);
    uint32_t chain = NO_FRAME;
    for (; i < frame && !quit_flag; i++) {
        float t = frame_time_at(i, rate);
        clock_set_frame(i);
        save_entry_starts(i, rate, t);
        copy_mirror_unseen = draw && copies_mirror(t) && !copies_mirror(frame_time_at(i + 1, rate));
        finish_unshown = true;
        play_frame(t, draw && i >= draw_from);
        finish_unshown = false;
        copy_mirror_unseen = false;
        if (!frame_kept_pixels) chain = NO_FRAME;
        else if (chain == NO_FRAME) chain = i;
    }
    clock_set_frame(frame);
    return chain;
}

void replay_to_frame(uint32_t frame, float rate, bool draw) {
    uint32_t first_drawn = frame > REPLAY_DRAWN_FRAMES ? frame - REPLAY_DRAWN_FRAMES : 0;
    uint32_t chain_reach = REPLAY_DRAWN_FRAMES;
    uint32_t begun = 0;
    uint32_t chain = replay_pass(frame, rate, draw, first_drawn, frame, &begun);
    // Frames that drew over older pictures reach back further than those drawn: replay again
    // drawing from the frame before their run, from a start early enough to hold it.
    while (draw && chain != NO_FRAME && chain < first_drawn + chain_reach && first_drawn > 0) {
        bool whole_run = chain > begun;  // else the run may reach back past where the pass began
        first_drawn = chain > chain_reach ? chain - chain_reach : 0;
        uint32_t limit = whole_run ? first_drawn : begun > 0 ? begun - 1 : 0;
        chain = replay_pass(frame, rate, draw, first_drawn, limit, &begun);
        if (whole_run) break;
    }
}
