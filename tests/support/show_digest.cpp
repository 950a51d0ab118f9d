// show_digest.cpp: the whole show played hidden at a fixed step, its states digested.
#include "support/show_digest.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>

#include "demo/driver.h"
#include "demo/player.h"
#include "demo/schedule.h"
#include "parts/part_state.h"
#include "render/clock.h"
#include "scene/random.h"
#include "show_times.h"
#include "support/part_files.h"
#include "texture/texture.h"

// Mix a value into a running digest.
static uint64_t fold(uint64_t h, uint64_t value) { return (h ^ value) * 0x100000001b3ull + (h >> 29); }

// The show's own state: the random sequence, every model's animation, the frame clock.
static uint64_t show_state_digest() {
    ModelAnimation models[MAX_MODELS];
    save_model_state(models);
    uint64_t h = fold(0, random_save());
    for (const ModelAnimation &m : models) {
        uint32_t position, start;
        memcpy(&position, &m.frame_pos, 4);
        memcpy(&start, &m.start_time, 4);
        h = fold(h, (uint64_t(uint32_t(m.current_frame)) << 32) | uint32_t(m.seq_first));
        h = fold(h, (uint64_t(uint32_t(m.seq_last)) << 32) | m.in_transition);
        h = fold(h, (uint64_t(position) << 32) | start);
    }
    FrameClock clock = clock_save();
    uint64_t times;
    memcpy(&times, &clock, sizeof times);
    return fold(h, times);
}

void load_whole_show() {
    prepare_part_files();
    float *times = static_cast<float *>(calloc(SHOW_TIME_COUNT + 1, sizeof(float)));
    for (int k = 0; k < SHOW_TIME_COUNT; k++) times[k] = show_times[k].seconds;
    set_time_table(times, SHOW_TIME_COUNT);
    for (int k = 1; k <= PART_COUNT; k++) {
        part_load(k);
        scene_table[k - 1] = part_table[k - 1].scene();
    }
    texture_find("noise.bmp", true);
    schedule_index = -1;
    quit_flag = false;
    keep_show_start();
}

uint64_t show_part_digest(int part) { return part == 0 ? show_state_digest() : part_digest(part); }

void play_hidden_frames(uint32_t from, uint32_t to) {
    clock_use_fixed_rate(float(SHOW_DIGEST_RATE));
    for (uint32_t frame = from; frame < to; frame++) {
        clock_set_frame(frame);
        play_frame(clock_seconds(), false);
    }
}

std::string show_digest_table() {
    load_whole_show();
    reset_show();
    clock_use_fixed_rate(float(SHOW_DIGEST_RATE));
    std::map<std::pair<int, int>, uint64_t> rows;  // (second, part) -> digest
    float end = time_table[SCHEDULE_ENTRIES];
    for (uint32_t frame = 0;; frame++) {
        clock_set_frame(frame);
        float t = clock_seconds();
        if (t >= end) break;
        play_frame(t, false);
        int second = int(t);
        uint64_t &show = rows[{second, 0}];
        show = fold(show, show_state_digest());
        const ScheduleRow &row = schedule_table[schedule_index];
        for (int i = 0; i < row.layer_count; i++) {
            uint64_t &h = rows[{second, row.layers[i].part}];
            h = fold(h, part_digest(row.layers[i].part));
        }
    }
    clock_use_fixed_rate(0.0f);
    std::string table;
    for (const auto &row : rows) {
        char line[64];
        snprintf(line, sizeof line, "%d %d %016" PRIx64 "\n", row.first.first, row.first.second, row.second);
        table += line;
    }
    return table;
}
