// options.cpp: reads "nosound", "pos", "capture", "images", "frames", "bench" and "tool".
#include "demo/options.h"

#include <cstdio>
#include <cstring>

DemoOptions parse_demo_options(const char *command_line) {
    DemoOptions options = {true, 0.0f, false, float(DEFAULT_CAPTURE_RATE), false, false, 0, false};
    if (!command_line) return options;
    if (strstr(command_line, "nosound")) options.music = false;
    if (const char *pos = strstr(command_line, "pos")) {
        float offset = 0.0f;
        // A value that is not a finite number leaves the show at its start.
        if (sscanf(pos + 3, "%f", &offset) == 1 && offset == offset && offset > -1e9f && offset < 1e9f)
            options.start_offset = offset;
    }
    if (const char *capture = strstr(command_line, "capture")) {
        options.capture = true;
        float rate = 0.0f;
        if (sscanf(capture + 7, "%f", &rate) == 1 && rate >= 1.0f && rate <= float(MAX_CAPTURE_RATE))
            options.capture_rate = rate;
    }
    if (strstr(command_line, "images")) options.images = true;
    if (const char *bench = strstr(command_line, "bench")) {
        options.bench = true;
        float rate = 0.0f;
        if (sscanf(bench + 5, "%f", &rate) == 1 && rate >= 1.0f && rate <= float(MAX_CAPTURE_RATE))
            options.capture_rate = rate;
    }
    if (strstr(command_line, "tool")) options.tool = true;
    if (const char *frames = strstr(command_line, "frames")) {
        int count = 0;
        if (sscanf(frames + 6, "%d", &count) == 1 && count > 0) options.frames = count;
    }
    return options;
}
