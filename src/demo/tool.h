// tool.h: the tool mode for people who time a show on the engine: pause, exact seeks that
// replay the show, jumps between schedule entries, a live reload of "timing.dat" and a
// status line.
#pragma once
#include "platform/window.h"

// Seeks land on the show as played from its start at this many frames a second.
#define TOOL_RATE 30.0f
// That run's step between two frames, in seconds.
#define TOOL_STEP (1.0f / TOOL_RATE)

enum { TOOL_MAX_TIMES = 64, TOOL_REASON_SIZE = 96 };

enum ToolAction {
    TOOL_NONE,
    TOOL_PAUSE,           // Space: pause or resume
    TOOL_SEEK,            // Left / Right: `seconds` back or forward
    TOOL_PREVIOUS_ENTRY,  // Page Up
    TOOL_NEXT_ENTRY,      // Page Down
    TOOL_HOME,            // Home: the start of the show
    TOOL_RELOAD,          // F5: read "timing.dat" again
};

struct ToolCommand {
    int action;     // ToolAction
    float seconds;  // TOOL_SEEK: signed distance
};

// What a key does (Shift makes the seeks ten times longer); TOOL_NONE for other keys.
ToolCommand tool_key_command(int key, bool shift);
// The entry whose time has come at t (-1 before the first time).
int tool_entry_at(const float *times, int count, float t);
// Where a seek, jump or Home command lands from show time t: kept between the first time
// of the table and one step before its end (a table of fewer than 18 times has no end).
float tool_target(const ToolCommand &command, float t, const float *times, int count);
// Read a time table from its text (the rules of the start-up reader) into times[capacity];
// false, with the reason, when a value line is not a number, the times go down, or there
// are fewer than 18 or more than `capacity` times.
bool parse_time_text(const char *text, float *times, int capacity, int *count, char *reason, int reason_size);

// The running tool mode (main loop side).
bool tool_active();
// Switch the mode on before the main loop: the start offset is reached by a seek.
void tool_begin(float start, bool music_on);
void tool_end();
// Act on a key of the tool; false for keys it does not take.
bool tool_handle_message(const WindowMessage &message);
// Whether the main loop plays a frame now: always while running; while paused only the
// frame a seek landed on (a pause itself shows the last picture again, unchanged).
bool tool_wants_frame();
// The main loop played the frame at show time t.
void tool_frame_played(float t);
// Land on show time `target` (on the grid of a run at TOOL_RATE) as the show played from its
// start would be there; the next frame played shows it.
void tool_seek(float target);
// Read "timing.dat" from the working directory again; the old table stays when it fails.
bool tool_reload(const char *name);
// Over a finished frame: keep its picture (for a pause) and draw the status line.
void tool_over_frame();
