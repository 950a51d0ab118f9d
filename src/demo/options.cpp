// options.cpp: reads "nosound", "pos", "capture", "images", "frames", "bench", "tool" and "exact".
#include "demo/options.h"

#include <cstdio>
#include <cstring>

// Whether `word` is in the line; a frame rate of 1 to MAX_CAPTURE_RATE right after it
// ("capture30", "bench2") goes into `rate`, anything else leaves `rate` as it is.
static bool word_with_rate(const char *command_line, const char *word, float &rate) {
    const char *at = strstr(command_line, word);
    if (!at) return false;
    float value = 0.0f;
    if (sscanf(at + strlen(word), "%f", &value) == 1 && value >= 1.0f && value <= float(MAX_CAPTURE_RATE))
        rate = value;
    return true;
}

DemoOptions parse_demo_options(const char *command_line) {
    DemoOptions options = {true, 0.0f, false, float(DEFAULT_CAPTURE_RATE), false, false, 0, false, false};
    if (!command_line) return options;
    if (strstr(command_line, "nosound")) options.music = false;
    if (const char *pos = strstr(command_line, "pos")) {
        float offset = 0.0f;
        // A value that is not a finite number leaves the show at its start.
        if (sscanf(pos + 3, "%f", &offset) == 1 && offset == offset && offset > -1e9f && offset < 1e9f)
            options.start_offset = offset;
    }
    options.capture = word_with_rate(command_line, "capture", options.capture_rate);
    if (strstr(command_line, "images")) options.images = true;
    options.bench = word_with_rate(command_line, "bench", options.capture_rate);
    if (strstr(command_line, "tool")) options.tool = true;
    if (strstr(command_line, "exact")) options.exact = true;
    if (const char *frames = strstr(command_line, "frames")) {
        int count = 0;
        if (sscanf(frames + 6, "%d", &count) == 1 && count > 0) options.frames = count;
    }
    return options;
}
