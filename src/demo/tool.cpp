// tool.cpp: the tool mode: keys to commands, exact seeks by the show's replays, a pause that
// stops the clock and keeps the picture, the live reload of the time table and the status line.
#include "demo/tool.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/driver.h"
#include "demo/music.h"
#include "demo/player.h"
#include "demo/schedule.h"
#include "demo/screenshot.h"
#include "demo/timetable.h"
#include "platform/system_clock.h"
#include "render/clock.h"
#include "render/overlay.h"
#include "app/settings.h"
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
    int last_entry = count >= SCHEDULE_TIMES ? SCHEDULE_ENTRIES - 1 : count - 1;
    int entry = tool_entry_at(times, count, t);
    float target = t;
    switch (command.action) {
    case TOOL_SEEK: target = t + command.seconds; break;
    case TOOL_PREVIOUS_ENTRY: target = times[entry > 0 ? entry - 1 : 0]; break;
    case TOOL_NEXT_ENTRY:
        // From the last entry on to the end of the show (when the table has one).
        if (entry < last_entry) target = times[entry + 1];
        else if (count >= SCHEDULE_TIMES) target = times[SCHEDULE_ENTRIES];
        break;
    case TOOL_HOME: target = times[0]; break;
    default: break;
    }
    // The show ends when its last time is reached: stay one step before it.
    if (count >= SCHEDULE_TIMES && target > times[SCHEDULE_ENTRIES] - TOOL_STEP)
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
    if (n < SCHEDULE_TIMES) {
        snprintf(reason, size_t(reason_size), "only %d times (%d needed)", n, SCHEDULE_TIMES);
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
static bool landing = false;        // a seek's frame is due, paused or not
static bool repaint = false;        // paused: show the kept picture with the status line
static float show_time = 0.0f;      // the time of the last frame
static uint8_t *kept_picture = nullptr;  // the last frame, rows bottom-up
static int kept_width = 0, kept_height = 0;
static char notice[TOOL_REASON_SIZE + 64];
static uint32_t notice_tick = 0;

enum { MESSAGE_MILLISECONDS = 5000 };

static void say(const char *text) {
    snprintf(notice, sizeof notice, "%s", text);
    notice_tick = time_get_time();
    fprintf(stderr, "kelp tool: %s\n", text);
}

bool tool_active() { return active; }

void tool_begin(float start, bool music_on) {
    active = true;
    music_running = music_on;
    paused = false;
    repaint = false;
    notice[0] = 0;
    show_time = start;
    // Also lands inside the show when it starts before the table's first time.
    tool_seek(start);
}

void tool_end() {
    if (paused) clock_resume();
    active = paused = landing = repaint = false;
    free(kept_picture);
    kept_picture = nullptr;
    kept_width = kept_height = 0;
}

// The frame of the tool's run nearest t, kept from the table's first time to before its end.
static uint32_t tool_frame_at(float t) {
    uint32_t frame = frame_at(t, TOOL_RATE);
    while (frame_time_at(frame, TOOL_RATE) < time_table[0]) frame++;
    if (time_count >= SCHEDULE_TIMES)
        while (frame > 0 && frame_time_at(frame, TOOL_RATE) >= time_table[SCHEDULE_ENTRIES]) frame--;
    return frame;
}

void tool_seek(float target) {
    if (!time_table || time_count < 1) return;
    ToolCommand stay = {TOOL_NONE, 0.0f};
    target = tool_target(stay, target, time_table, time_count);
    if (tool_entry_at(time_table, time_count, target) >= SCHEDULE_ENTRIES) return;
    start_at_frame(tool_frame_at(target), TOOL_RATE, true);
    show_time = clock_seconds();
    landing = true;
    if (music_running) music_seek(show_time, !paused);
}

// The first entry whose start differs between two tables (count when none does).
static int first_changed_entry(const float *a, int a_count, const float *b, int b_count) {
    int k = 0;
    while (k < a_count && k < b_count && a[k] == b[k]) k++;
    return k;
}

// Copy a good table over the driver's; the show lands again at the current time, replayed by
// the new times.
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
    forget_saved_starts(first_changed_entry(time_table, time_count, table, count));
    set_time_table(table, count);
    snprintf(line, sizeof line, "%s reloaded: %d times", name, count);
    say(line);
    tool_seek(show_time);
    return true;
}

// The clock and the music stop together and start again together.
static void toggle_pause() {
    if (paused) {
        paused = false;
        clock_resume();
        if (music_running) music_resume(show_time);
    } else {
        paused = true;
        repaint = true;
        clock_pause();
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

// Draw the kept picture again with the status line over it and show it.
static void repaint_kept_picture() {
    if (kept_picture && kept_width == get_screen_width() && kept_height == get_screen_height()) {
        GLboolean stencil = glIsEnabled(GL_STENCIL_TEST);
        glDisable(GL_STENCIL_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDepthFunc(GL_ALWAYS);
        glViewport(0, 0, kept_width, kept_height);
        glRasterPos2f(-1.0f, -1.0f);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glDrawPixels(kept_width, kept_height, GL_RGB, GL_UNSIGNED_BYTE, kept_picture);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        if (stencil) glEnable(GL_STENCIL_TEST);
    }
    tool_over_frame();
    glFinish();
    swap_window_buffers();
}

bool tool_wants_frame() {
    if (!paused || landing) return true;
    if (repaint) repaint_kept_picture();
    repaint = false;
    return false;
}

void tool_frame_played(float t) {
    show_time = t;
    landing = false;
}

// Keep the finished frame's picture, for a pause to show it again.
static void keep_picture() {
    int width = get_screen_width(), height = get_screen_height();
    if (width <= 0 || height <= 0) return;
    if (width != kept_width || height != kept_height) {
        free(kept_picture);
        kept_picture = static_cast<uint8_t *>(malloc(size_t(width) * size_t(height) * 3));
        kept_width = kept_picture ? width : 0;
        kept_height = kept_picture ? height : 0;
        if (!kept_picture) return;
    }
    read_frame_rgb(kept_picture, width, height);
}

void tool_over_frame() {
    if (!active) return;
    if (!repaint) keep_picture();
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
    bool show_notice = notice[0] && time_get_time() - notice_tick < MESSAGE_MILLISECONDS;
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
