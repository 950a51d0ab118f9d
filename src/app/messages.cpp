// messages.cpp: the log file and the loading text on the window.
#include "app/messages.h"

#include <cstdarg>
#include <cstdio>

#include "app/settings.h"
#include "platform/text_surface.h"

char scratch_buffer[4096];
static bool log_first_line = true;

// Loading text: where the next line goes, and the box of a temporary line still shown.
static int text_y = 0;
static bool previous_overwrite = false;
static int previous_width = 0, previous_y = 0;

// Open, write one line, close: everything logged is on disk even after a crash.
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

// White on opaque black at (0, y); a temporary line is erased by the next call; the bottom
// line is reused once the text reaches the foot of the screen.
void screen_print(const char *text, bool overwrite) {
    if (previous_overwrite) text_fill(0, previous_y, previous_width, FONT_HEIGHT, 0x000000);
    previous_overwrite = overwrite;
    previous_y = text_y;
    previous_width = text_out(0, text_y, text, 0xffffff, 0x000000);
    if (!overwrite) text_y += FONT_HEIGHT;
    while (text_y > get_screen_height() - FONT_HEIGHT && text_y > 0) text_y -= FONT_HEIGHT;
    text_present();
}
