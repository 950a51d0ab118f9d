// timetable.cpp: reads "timing.dat": one time per line, "//" comments and blank lines skipped,
// lines of at most 79 characters (longer ones are read as several), counted then read.
#include "demo/timetable.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/files.h"
#include "app/messages.h"

// Cut the line at its first CR or LF; true when what is left is a value line.
static bool value_line(char *line) {
    line[strcspn(line, "\r\n")] = 0;
    if (line[0] == 0) return false;
    return !(line[0] == '/' && line[1] == '/');
}

// Go through every line of the open file; store values in `table` when given. Returns the count.
static int scan_lines(int handle, float *table, int capacity) {
    char line[TIME_TABLE_LINE_SIZE];
    int count = 0;
    while (!file_eof(handle)) {
        if (!file_gets(line, sizeof line, handle)) break;
        if (!value_line(line)) continue;
        if (table && count < capacity) {
            float value = 0.0f;
            if (sscanf(line, "%f", &value) != 1) value = 0.0f;
            table[count] = value;
        }
        count++;
    }
    return count;
}

float *read_time_table(const char *name, int *count) {
    int handle = file_open(name, "rb");
    if (handle < 0) fatal_errorf("Couldn't open %s!", name);
    int n = scan_lines(handle, nullptr, 0);
    float *table = (float *)calloc((size_t)n + 1, sizeof(float));
    if (!table) fatal_errorf("TIMING: [%s] out of memory for %d times", name, n);
    if (file_seek(handle, 0, 0) != 0) fatal_errorf("TIMING: [%s] cannot seek back to the start", name);
    int again = scan_lines(handle, table, n);
    file_close(handle);
    if (again != n)
        fatal_errorf("TIMING: [%s] changed while being read (%d lines, then %d)", name, n, again);
    *count = n;
    return table;
}

void free_time_table(float *table) { free(table); }
