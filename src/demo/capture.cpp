// capture.cpp: writes every presented frame, piped to ffmpeg or as a numbered TGA sequence.
#include "demo/capture.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/messages.h"
#include "app/settings.h"
#include "demo/screenshot.h"

static bool active = false;
static FILE *video = nullptr;  // ffmpeg's standard input, or null for the image sequence
static uint8_t *frame_rgb = nullptr;
static int capture_width = 0, capture_height = 0;
static int frames_written = 0;

void capture_ffmpeg_command(char *command, int size, int width, int height, float rate, bool music,
                            float start_offset) {
    char audio[128] = "";
    if (music)
        snprintf(audio, sizeof audio, "-ss %.3f -i Music -map 0:v -map 1:a -c:a aac -b:a 192k -shortest ",
                 double(start_offset > 0.0f ? start_offset : 0.0f));
    // Frames arrive bottom row first; H.264 in 4:2:0 wants even sizes.
    snprintf(command, size_t(size),
             "ffmpeg -loglevel error -y -f rawvideo -pixel_format rgb24 -video_size %dx%d -framerate %g "
             "-i - %s-vf 'vflip,crop=trunc(iw/2)*2:trunc(ih/2)*2' -c:v libx264 -preset medium -crf 18 "
             "-pix_fmt yuv420p " CAPTURE_VIDEO_NAME,
             width, height, double(rate), audio);
}

void capture_begin(const DemoOptions &options, float first_frame_time) {
    capture_width = get_screen_width();
    capture_height = get_screen_height();
    if (capture_width <= 0 || capture_height <= 0 || capture_width > 16384 || capture_height > 16384)
        fatal_errorf("CAPTURE: cannot capture a %dx%d screen", capture_width, capture_height);
    frame_rgb = static_cast<uint8_t *>(malloc(size_t(capture_width) * size_t(capture_height) * 3));
    if (!frame_rgb) fatal_error("CAPTURE: out of memory for the frame buffer");
    frames_written = 0;
    video = nullptr;
    if (!options.images && system("command -v ffmpeg >/dev/null 2>&1") == 0) {
        bool music = access("Music", R_OK) == 0;
        char command[1024];
        capture_ffmpeg_command(command, sizeof command, capture_width, capture_height, options.capture_rate,
                               music, first_frame_time);
        // A dead encoder shows up as a failed write, not as a signal that ends the show.
        signal(SIGPIPE, SIG_IGN);
        video = popen(command, "w");
        if (!video) fatal_error("CAPTURE: [" CAPTURE_VIDEO_NAME "] cannot start ffmpeg");
    }
    active = true;
}

bool capture_active() { return active; }

void capture_frame() {
    if (!active) return;
    read_frame_rgb(frame_rgb, capture_width, capture_height);
    size_t bytes = size_t(capture_width) * size_t(capture_height) * 3;
    if (video) {
        if (fwrite(frame_rgb, 1, bytes, video) != bytes)
            fatal_error("CAPTURE: [" CAPTURE_VIDEO_NAME "] ffmpeg stopped taking frames");
    } else {
        char name[64];
        snprintf(name, sizeof name, CAPTURE_IMAGE_PATTERN, frames_written);
        if (!write_tga(name, frame_rgb, capture_width, capture_height, false))
            fatal_errorf("CAPTURE: [%s] cannot be written", name);
    }
    ++frames_written;
}

void capture_end() {
    if (!active) return;
    active = false;
    if (video) {
        int status = pclose(video);
        video = nullptr;
        if (status != 0)
            fprintf(stderr, "CAPTURE: [" CAPTURE_VIDEO_NAME "] ffmpeg ended with status %d\n", status);
        else
            fprintf(stderr, "CAPTURE: %d frames written to " CAPTURE_VIDEO_NAME "\n", frames_written);
    } else {
        fprintf(stderr, "CAPTURE: %d frames written as %s\n", frames_written, CAPTURE_IMAGE_PATTERN);
    }
    free(frame_rgb);
    frame_rgb = nullptr;
}
