// fatal.cpp: fatal errors: the registered cleanup, standard error, exit code 1.
#include "platform/fatal.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static FatalCleanup fatal_cleanup = nullptr;
static bool in_fatal_error = false;

void set_fatal_cleanup(FatalCleanup cleanup) { fatal_cleanup = cleanup; }

// Standard error gets the message with exactly one line end.
static void print_to_stderr(const char *message) {
    size_t length = strlen(message);
    fprintf(stderr, "%s%s", message, length && message[length - 1] == '\n' ? "" : "\n");
    fflush(stderr);
}

void fatal_error(const char *message) {
    if (!message) message = "(no message)";
    if (in_fatal_error) {
        print_to_stderr(message);
        _exit(1);
    }
    in_fatal_error = true;
    print_to_stderr(message);
    if (fatal_cleanup) fatal_cleanup(message);
    exit(1);
}

void fatal_rearm() { in_fatal_error = false; }

void fatal_errorf(const char *format, ...) {
    static char message[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    fatal_error(message);
}
