// options.h: the driver's command-line options: sound, start offset, capture, bench and tool modes.
#pragma once

enum { DEFAULT_CAPTURE_RATE = 60, MAX_CAPTURE_RATE = 1000 };

struct DemoOptions {
    bool music;          // off with "nosound"
    float start_offset;  // "pos" seconds
    bool capture;        // "capture" [rate]: write every frame
    float capture_rate;  // frames per second of show time
    bool images;         // "images": capture to TGA files even when ffmpeg exists
    bool bench;          // "bench": fixed-rate clock, time every frame, print the table
    int frames;          // "frames" count: stop after that many presented frames (0: no limit)
    bool tool;           // "tool": pause, seek, jump between entries and reload the times by keys
    bool exact;          // "exact": "pos" lands on the state of the show played from its start
};

// Read the options from the lower-cased command line (each found by substring).
DemoOptions parse_demo_options(const char *command_line);
