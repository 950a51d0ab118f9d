// tool.cpp: the tool mode: keys to commands, seeks that replay the parts' animation at a fixed
// step, the live reload of the time table and the status line.
#include "demo/tool.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/compositing.h"
#include "demo/driver.h"
#include "demo/music.h"
#include "demo/schedule.h"
#include "demo/timetable.h"
#include "render/clock.h"
#include "render/overlay.h"
#include "scene/model.h"
#include "texture/texture.h"

ToolCommand tool_key_command(int key, bool shift) {
    float step = shift ? 10.0f : 1.0f;
    switch (key) {
    case KEY_SPACE: return {TOOL_PAUSE, 0.0f};
    case KEY_LEFT: return {TOOL_SEEK, -step};
    case KEY_RIGHT: return {TOOL_SEEK, step};
    case KEY_PAGE_UP: return {TOOL_PREVIOUS_ENTRY, 0.0f};
    case KEY_PAGE_DOWN: return {TOOL_NEXT_ENTRY, 0.0f};
    case KEY_HOME: return {TOOL_HOME, 0.0f};
    case KEY_F5: return {TOOL_RELOAD, 0.0f};
    default: return {TOOL_NONE, 0.0f};
    }
}

int tool_entry_at(const float *times, int count, float t) {
    return schedule_advance(times, count, -1, t).index;
}

float tool_target(const ToolCommand &command, float t, const float *times, int count) {
    if (count < 1) return t;
    int last_entry = count >= TOOL_SHOW_TIMES ? SCHEDULE_ENTRIES - 1 : count - 1;
    int entry = tool_entry_at(times, count, t);
    float target = t;
    switch (command.action) {
    case TOOL_SEEK: target = t + command.seconds; break;
    case TOOL_PREVIOUS_ENTRY: target = times[entry > 0 ? entry - 1 : 0]; break;
    case TOOL_NEXT_ENTRY:
        // From the last entry on to the end of the show (when the table has one).
        if (entry < last_entry) target = times[entry + 1];
        else if (count >= TOOL_SHOW_TIMES) target = times[SCHEDULE_ENTRIES];
        break;
    case TOOL_HOME: target = times[0]; break;
    default: break;
    }
    // The show ends when its last time is reached: stay one step before it.
    if (count >= TOOL_SHOW_TIMES && target > times[SCHEDULE_ENTRIES] - TOOL_STEP)
        target = times[SCHEDULE_ENTRIES] - TOOL_STEP;
    if (!(target >= times[0])) target = times[0];
    return target;
}

bool parse_time_text(const char *text, float *times, int capacity, int *count, char *reason, int reason_size) {
    int n = 0, line_number = 0;
    const char *p = text;
    reason[0] = 0;
    while (*p) {
        // A line of at most 79 characters, as the start-up reader takes it.
        char line[TIME_TABLE_LINE_SIZE];
        int length = 0;
        while (*p && length < TIME_TABLE_LINE_SIZE - 1) {
            char c = *p++;
            line[length++] = c;
            if (c == '\n') break;
        }
        line[length] = 0;
        ++line_number;
        line[strcspn(line, "\r\n")] = 0;
        if (line[0] == 0 || (line[0] == '/' && line[1] == '/')) continue;
        float value = 0.0f;
        if (sscanf(line, "%f", &value) != 1 || !std::isfinite(value)) {
            snprintf(reason, size_t(reason_size), "line %d is not a time", line_number);
            return false;
        }
        if (n > 0 && n <= capacity && value < times[n - 1]) {
            snprintf(reason, size_t(reason_size), "line %d goes back in time (%g)", line_number, double(value));
            return false;
        }
        if (n < capacity) times[n] = value;
        ++n;
    }
    if (n > capacity) {
        snprintf(reason, size_t(reason_size), "too many times (%d, at most %d)", n, capacity);
        return false;
    }
    if (n < TOOL_SHOW_TIMES) {
        snprintf(reason, size_t(reason_size), "only %d times (%d needed)", n, TOOL_SHOW_TIMES);
        return false;
    }
    *count = n;
    return true;
}

// ---------------------------------------------------------------------------------------
// The running mode.

static bool active = false;
static bool music_running = false;  // the player was started (not "nosound")
static bool paused = false;
static bool redraw = false;         // paused, but one frame to draw (a seek, the pause itself)
static float show_time = 0.0f;      // the time of the last frame
static char notice[TOOL_REASON_SIZE + 64];
static uint32_t notice_tick = 0;

enum { MESSAGE_MILLISECONDS = 5000 };

static void say(const char *text) {
    snprintf(notice, sizeof notice, "%s", text);
    notice_tick = clock_milliseconds();
    fprintf(stderr, "kelp tool: %s\n", text);
}

bool tool_active() { return active; }

void tool_begin(float start, bool music_on) {
    active = true;
    music_running = music_on;
    paused = false;
    redraw = false;
    notice[0] = 0;
    show_time = start;
    // Also lands inside the show when it starts before the table's first time.
    tool_seek(start);
}

void tool_end() { active = false; }

static bool scene_ready(int part) { return part_built(part) && scene_table[part - 1]; }

// The animate operations of entry `index` at show time s, and the wipe's stencil marks
// (the region only grows, so it is built up as the show builds it).
static void animate_entry(int index, float s) {
    static bool modes[PART_COUNT];
    EntryStep steps[2];
    int count = entry_steps(index, s, time_table, modes, steps);
    if (count == 2 && schedule_table[index].pass == PASS_WIPE && scene_ready(steps[0].part) && scene_ready(steps[1].part))
        stencil_wipe_mark(double(s), double(steps[1].local_time));
    for (int i = 0; i < count; i++)
        if (scene_ready(steps[i].part)) part_table[steps[i].part - 1].animate(steps[i].local_time);
}

// The earliest entry from which a part of entry `index` counts its clock.
static int replay_start_entry(int index) {
    const ScheduleRow &row = schedule_table[index];
    int start = index;
    for (int i = 0; i < row.layer_count; i++)
        if (row.layers[i].clock_entry < start) start = row.layers[i].clock_entry;
    return start;
}

void tool_seek(float target) {
    if (!time_table || time_count < 1) return;
    ToolCommand stay = {TOOL_NONE, 0.0f};
    target = tool_target(stay, target, time_table, time_count);
    int entry = tool_entry_at(time_table, time_count, target);
    if (entry >= SCHEDULE_ENTRIES) return;
    double from;
    if (entry == schedule_index && target >= show_time) {
        // Forward inside the entry: carry on from the frame that was drawn last.
        from = double(show_time) + double(TOOL_STEP);
    } else {
        int start = replay_start_entry(entry);
        reset_model_state();
        glDisable(GL_STENCIL_TEST);
        schedule_index = start - 1;
        from = double(time_table[start]);
    }
    float saved = frame_time;
    frame_time = TOOL_STEP;
    for (int i = 0;; i++) {
        float s = float(from + double(i) * double(TOOL_STEP));
        if (s >= target) break;
        apply_schedule_advance(schedule_advance(time_table, time_count, schedule_index, s));
        animate_entry(schedule_index, s);
    }
    apply_schedule_advance(schedule_advance(time_table, time_count, schedule_index, target));
    frame_time = saved;
    // The next frame measures its time from now, not across the replay.
    last_clock = clock_seconds();
    start_offset = target - clock_seconds();
    show_time = target;
    redraw = true;
    if (music_running) music_seek(target, !paused);
}

// Copy a good table over the driver's; the entry at the current time follows the new times.
bool tool_reload(const char *name) {
    char text[8192];
    FILE *file = fopen(name, "rb");
    if (!file) {
        char line[TOOL_REASON_SIZE + 32];
        snprintf(line, sizeof line, "%s not reloaded: cannot open it", name);
        say(line);
        return false;
    }
    size_t length = fread(text, 1, sizeof text - 1, file);
    bool whole = feof(file) != 0 || fgetc(file) == EOF;
    fclose(file);
    text[length] = 0;
    float times[TOOL_MAX_TIMES];
    int count = 0;
    char reason[TOOL_REASON_SIZE];
    bool good = whole;
    if (!whole) snprintf(reason, sizeof reason, "longer than %d bytes", int(sizeof text - 1));
    if (good) good = parse_time_text(text, times, TOOL_MAX_TIMES, &count, reason, sizeof reason);
    char line[TOOL_REASON_SIZE + 64];
    if (!good) {
        snprintf(line, sizeof line, "%s not reloaded: %s; the old times stay", name, reason);
        say(line);
        return false;
    }
    float *table = (float *)calloc(size_t(count) + 1, sizeof(float));
    if (!table) {
        say("timing not reloaded: out of memory");
        return false;
    }
    memcpy(table, times, sizeof(float) * size_t(count));
    free_time_table(time_table);
    time_table = table;
    time_count = count;
    snprintf(line, sizeof line, "%s reloaded: %d times", name, count);
    say(line);
    tool_seek(show_time);
    return true;
}

static void toggle_pause() {
    if (paused) {
        paused = false;
        start_offset = show_time - clock_seconds();
        if (music_running) music_resume(show_time);
    } else {
        paused = true;
        redraw = true;
        if (music_running) music_pause();
    }
}

bool tool_handle_message(const WindowMessage &message) {
    if (!active || message.kind != MSG_KEYDOWN) return false;
    ToolCommand command = tool_key_command(message.key, message.shift);
    switch (command.action) {
    case TOOL_NONE: return false;
    case TOOL_PAUSE: toggle_pause(); break;
    case TOOL_RELOAD: tool_reload("timing.dat"); break;
    default: tool_seek(tool_target(command, show_time, time_table, time_count)); break;
    }
    return true;
}

bool tool_frame_time(float *t) {
    if (paused) {
        if (!redraw) return false;
        *t = show_time;
    } else {
        show_time = *t;
    }
    redraw = false;
    return true;
}

void tool_draw_status() {
    if (!active) return;
    char line[160];
    int entry = schedule_index;
    int part = 0;
    float local = 0.0f;
    if (entry >= 0 && entry < SCHEDULE_ENTRIES && time_table) {
        static bool modes[PART_COUNT];
        EntryStep steps[2];
        int count = entry_steps(entry, show_time, time_table, modes, steps);
        part = steps[count - 1].part;
        local = steps[count - 1].local_time;
    }
    snprintf(line, sizeof line, "entry %d  part %d  show %.2fs  local %.2fs  %.1f fps%s", entry, part,
             double(show_time), double(local), 1.0 / double(frame_delta()), paused ? "  paused" : "");
    bool show_notice = notice[0] && clock_milliseconds() - notice_tick < MESSAGE_MILLISECONDS;
    GLboolean stencil = glIsEnabled(GL_STENCIL_TEST);
    glDisable(GL_STENCIL_TEST);
    // A dark band under the text keeps it readable over bright scenes.
    float top = -1.0f + (show_notice ? 2.0f : 1.0f) / 16.0f;
    glDisable(GL_TEXTURE_2D);
    glDepthFunc(GL_ALWAYS);
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, top);
    glVertex2f(-1.0f, top);
    glEnd();
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    draw_text(font_base, line, 1, 31, 80, 32);
    if (show_notice) draw_text(font_base, notice, 1, 30, 80, 32);
    if (stencil) glEnable(GL_STENCIL_TEST);
}
