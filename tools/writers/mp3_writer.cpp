// mp3_writer.cpp: MP3 encoding through libmp3lame, with the gapless tag written in place.
#include "writers/mp3_writer.h"

#include <lame/lame.h>

#include <algorithm>

#include "platform/fatal.h"

std::vector<uint8_t> mp3_encode(const float *interleaved, size_t frames) {
    lame_global_flags *lame = lame_init();
    if (!lame) fatal_error("MP3: libmp3lame cannot start");
    lame_set_in_samplerate(lame, MP3_SAMPLE_RATE);
    lame_set_out_samplerate(lame, MP3_SAMPLE_RATE);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, MP3_BITRATE_KBPS);
    lame_set_VBR(lame, vbr_off);
    lame_set_quality(lame, 7);
    lame_set_bWriteVbrTag(lame, 1);  // the Info tag frame carries delay and padding
    lame_set_num_samples(lame, (unsigned long)frames);
    if (lame_init_params(lame) < 0) fatal_error("MP3: libmp3lame rejects 44.1 kHz stereo 192 kbps");

    std::vector<uint8_t> out;
    const size_t chunk = 8192;
    std::vector<uint8_t> buffer(chunk * 5 / 4 + 7200);
    for (size_t done = 0; done < frames; done += chunk) {
        int n = int(std::min(chunk, frames - done));
        int written = lame_encode_buffer_interleaved_ieee_float(lame, interleaved + done * 2, n, buffer.data(),
                                                                int(buffer.size()));
        if (written < 0) fatal_errorf("MP3: encoding failed (%d)", written);
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    int written = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    if (written < 0) fatal_errorf("MP3: flushing failed (%d)", written);
    out.insert(out.end(), buffer.begin(), buffer.begin() + written);

    // The encoder left room for the tag as the first frame; fill it in now that the totals are known.
    std::vector<uint8_t> tag(8192);
    size_t tag_size = lame_get_lametag_frame(lame, tag.data(), tag.size());
    if (tag_size == 0 || tag_size > out.size()) fatal_error("MP3: no gapless tag frame");
    std::copy(tag.begin(), tag.begin() + long(tag_size), out.begin());
    lame_close(lame);
    return out;
}
