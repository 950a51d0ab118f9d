// fatal.h: the one way a run ends on an error: the cleanup that start-up registers (the
// display given back, a box titled "Error"), the message on standard error, exit code 1.
#pragma once

// What a fatal error runs before the message goes out: start-up registers the release of
// the display and the message box; a tool registers nothing.
typedef void (*FatalCleanup)(const char *message);
void set_fatal_cleanup(FatalCleanup cleanup);

// Run the cleanup, print the message, exit with code 1. A fatal error raised while the
// cleanup runs prints its message and exits at once.
[[noreturn]] void fatal_error(const char *message);
// For a cleanup that does not return (the fuzz harnesses jump back to their loop): let the
// next fatal error run the cleanup again instead of taking it for one raised inside it.
void fatal_rearm();
// printf-style: formats the message (cut to 4095 characters), then fatal_error.
[[noreturn]] void fatal_errorf(const char *format, ...) __attribute__((format(printf, 1, 2)));
