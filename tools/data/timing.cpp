// timing.cpp: the show's time table and "timing.dat", written from it with comments.
// Times fall on a 120 BPM beat grid (half seconds) and fit every part's own timeline.
#include <cstdio>
#include <string>

#include "content.h"
#include "show_times.h"

const ShowTime show_times[SHOW_TIME_COUNT] = {
    {0.0f, "intro: the wolf in the night (part 1)"},
    {24.0f, "mirror room, model and credits (part 2)"},
    {64.5f, "wobbel torus (part 3)"},
    {86.5f, "wipe from the torus into the warp pass (parts 3, 4)"},
    {93.0f, "warp pass (part 4)"},
    {121.5f, "oil room (part 5)"},
    {169.5f, "greetings (part 6)"},
    {199.5f, "rock tunnel, sky and clouds (part 7)"},
    {225.5f, "rock tunnel with the water on top (parts 7, 8)"},
    {229.5f, "water (part 8)"},
    {245.5f, "water with the light ball on top (parts 8, 9)"},
    {249.5f, "light ball (part 9)"},
    {265.5f, "spider (part 10)"},
    {280.5f, "light ball, night and static (part 9)"},
    {328.5f, "sofa room (part 11)"},
    {348.5f, "sofa room with the end screen on top (parts 11, 12)"},
    {355.5f, "end screen (part 12)"},
    {364.0f, "end of the show"},
};

void generate_timing(ContentSink &sink) {
    std::string text;
    text += "// Kelp time table: the second at which each schedule entry begins,\n";
    text += "// one per line, then the end of the show. Lines starting with // are comments.\n";
    for (int i = 0; i < SHOW_TIME_COUNT; i++) {
        char line[128];
        if (i + 1 < SHOW_TIME_COUNT) snprintf(line, sizeof line, "// %d: %s\n%g\n", i, show_times[i].what, show_times[i].seconds);
        else snprintf(line, sizeof line, "// %s\n%g\n", show_times[i].what, show_times[i].seconds);
        text += line;
    }
    sink.add("timing.dat", std::vector<uint8_t>(text.begin(), text.end()));
}

KELP_CONTENT(CONTENT_ORDER_TIMING, generate_timing);
