// command_line.cpp: the settings of the run, and joining and reading the options of the
// command line that sets them.
#include "app/command_line.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/messages.h"
#include "app/settings.h"

bool statistics = false;
int32_t render_width = 640, render_height = 480;

void set_render_size(int width, int height) {
    render_width = width;
    render_height = height;
}

// Sum the lengths with an overflow check, then copy with single spaces between.
char *join_arguments(int argc, char **argv) {
    size_t total = 1;
    for (int i = 1; i < argc; i++) {
        size_t length = strlen(argv[i]) + 1;
        if (total > SIZE_MAX - length) fatal_error("The command line is too long");
        total += length;
    }
    char *line = (char *)malloc(total);
    if (!line) fatal_error("The command line is too long");
    line[0] = 0;
    size_t used = 0;
    for (int i = 1; i < argc; i++) {
        if (i > 1) line[used++] = ' ';
        size_t length = strlen(argv[i]);
        memcpy(line + used, argv[i], length);
        used += length;
    }
    line[used] = 0;
    return line;
}


// One "%d": blanks, an optional sign, at least one digit; saturated.
static bool scan_int(const char *&p, int &value) {
    while (isspace((unsigned char)*p)) p++;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!isdigit((unsigned char)*p)) return false;
    long long v = 0;
    for (; isdigit((unsigned char)*p); p++)
        if (v <= INT_MAX) v = v * 10 + (*p - '0');
    if (negative) v = -v;
    value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
    return true;
}

// "%dx%dx%d" without scanf's overflow behaviour.
int scan_resolution(const char *text, int &width, int &height, int &bits) {
    int *fields[3] = {&width, &height, &bits};
    const char *p = text;
    for (int i = 0; i < 3; i++) {
        if (i > 0 && *p++ != 'x') return i;
        if (!scan_int(p, *fields[i])) return i;
    }
    return 3;
}

// Substring search for each option.
void parse_command_line(const char *command_line) {
    if (strstr(command_line, "window")) full_screen = false;
    // The tool mode runs in a window.
    if (strstr(command_line, "tool")) full_screen = false;
    if (strstr(command_line, "stat")) statistics = true;
    const char *res = strstr(command_line, "res");
    if (!res) return;
    int width = get_screen_width(), height = get_screen_height(), bits = colour_depth;
    scan_resolution(res + 3, width, height, bits);
    set_screen_size(width, height);
    colour_depth = bits;
}
