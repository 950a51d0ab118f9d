// messages.h: the log file, the loading text on the window, and (from the platform layer)
// fatal errors.
#pragma once
#include <cstddef>

#include "platform/fatal.h"

// Shared text buffer into which callers format messages (cut to fit).
extern char scratch_buffer[4096];
enum { SCRATCH_SIZE = 4096 };

// Append one line to "VKB_Kelp.log" (created afresh by the first line of a run); only with "stat".
void log_line(const char *text);
// printf-style convenience for log_line.
void log_linef(const char *format, ...) __attribute__((format(printf, 1, 2)));
// Draw a line of loading text; overwrite marks it temporary (the next call replaces it).
void screen_print(const char *text, bool overwrite);
