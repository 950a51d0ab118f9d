// timetable.h: the time table "timing.dat": the moments at which the show moves on.
#pragma once

enum { TIME_TABLE_LINE_SIZE = 80 };

// Read the value lines of the text file `name` (loose or in the pack) into a zero-filled heap
// array of *count floats; free it with free_time_table. A missing file is fatal.
float *read_time_table(const char *name, int *count);
// Release a table from read_time_table.
void free_time_table(float *table);
