// test_mp3.h: small MP3 files for tests, encoded with libmp3lame, with the LAME gapless tag.
#pragma once
#include <string>
#include <vector>

// Encode interleaved stereo 16-bit samples at `rate` as a 192 kbps MP3 file; false on failure.
bool write_test_mp3(const std::string &path, const std::vector<short> &stereo, int rate);
