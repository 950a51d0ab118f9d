// messages.cpp: the log file, fatal errors and loading text (minimal until the window layer lands).
#include "app/messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "app/settings.h"

char scratch_buffer[4096];
static bool log_first_line = true;

void fatal_error(const char *message) {
    fprintf(stderr, "%s\n", message);
    exit(1);
}

void fatal_errorf(const char *format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(scratch_buffer, sizeof scratch_buffer, format, args);
    va_end(args);
    fatal_error(scratch_buffer);
}

void log_line(const char *text) {
    if (!statistics) return;
    FILE *f = fopen("VKB_Kelp.log", log_first_line ? "w" : "a");
    log_first_line = false;
    if (!f) return;
    fprintf(f, "%s\n", text);
    fclose(f);
}

void log_linef(const char *format, ...) {
    char line[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    log_line(line);
}

void screen_print(const char *, bool) {}
