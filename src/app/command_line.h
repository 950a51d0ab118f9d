// command_line.h: the command line: one lower-cased string searched for options by substring.
#pragma once
#include "app/ascii.h"

// The program's arguments joined by single spaces into one string that lives for the run.
char *join_arguments(int argc, char **argv);
// Read "window", "stat" and "res%dx%dx%d" from the lower-cased command line into the settings;
// options may sit anywhere, even inside longer words. Fields "res" does not reach keep their values.
void parse_command_line(const char *command_line);
// Scan "%dx%dx%d" at text into up to three integers; returns how many were read. Numbers out of
// range saturate at the int limits instead of overflowing.
int scan_resolution(const char *text, int &width, int &height, int &bits);
