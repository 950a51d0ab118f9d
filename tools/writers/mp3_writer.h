// mp3_writer.h: encodes stereo float samples to MP3 with libmp3lame (CBR, LAME gapless tag).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum { MP3_SAMPLE_RATE = 44100, MP3_BITRATE_KBPS = 192 };

// MP3 file bytes of `frames` stereo frames (interleaved left/right floats, -1..1) at 44.1 kHz,
// 192 kbps CBR. The first frame is the LAME/Info tag with the encoder delay and padding,
// so gapless decoders return exactly `frames` frames.
std::vector<uint8_t> mp3_encode(const float *interleaved, size_t frames);
