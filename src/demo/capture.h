// capture.h: capture mode: every presented frame to an MP4 through ffmpeg, or to numbered TGAs.
#pragma once
#include "demo/options.h"

// Name of the video and the pattern of the image sequence, both in the working directory.
#define CAPTURE_VIDEO_NAME "capture.mp4"
#define CAPTURE_IMAGE_PATTERN "capture%06d.tga"

// Prepare the frame buffer and the output (ffmpeg with the soundtrack from the show time of
// the first frame when it is installed and "images" is not given).
void capture_begin(const DemoOptions &options, float first_frame_time);
bool capture_active();
// Read the frame just drawn (before the swap) and write it out.
void capture_frame();
// Close the video or finish the sequence; says what was written.
void capture_end();
// The ffmpeg command line for a capture of w x h at `rate`, with the soundtrack when `music`.
void capture_ffmpeg_command(char *command, int size, int width, int height, float rate, bool music,
                            float start_offset);
