// test_mp3.cpp: encodes test signals to MP3 with the LAME tag that names the encoder delay.
#include "support/test_mp3.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>

bool write_test_mp3(const std::string &path, const std::vector<short> &stereo, int rate) {
    lame_global_flags *lame = lame_init();
    if (!lame) return false;
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 192);
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_quality(lame, 5);
    FILE *file = nullptr;
    bool ok = lame_init_params(lame) >= 0 && (file = fopen(path.c_str(), "w+b")) != nullptr;
    std::vector<unsigned char> out(1 << 16);
    const int frames = int(stereo.size() / 2), chunk = 4096;
    for (int start = 0; ok && start < frames; start += chunk) {
        int n = std::min(chunk, frames - start);
        int bytes = lame_encode_buffer_interleaved(lame, const_cast<short *>(&stereo[size_t(start) * 2]), n,
                                                   out.data(), int(out.size()));
        ok = bytes >= 0 && fwrite(out.data(), 1, size_t(bytes), file) == size_t(bytes);
    }
    if (ok) {
        int bytes = lame_encode_flush(lame, out.data(), int(out.size()));
        ok = bytes >= 0 && fwrite(out.data(), 1, size_t(bytes), file) == size_t(bytes);
    }
    // The tag frame at the start is rewritten now that the length and padding are known.
    if (ok) lame_mp3_tags_fid(lame, file);
    lame_close(lame);
    if (file && fclose(file) != 0) ok = false;
    return ok;
}
