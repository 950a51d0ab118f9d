// music.cpp: renders the score, mixes and masters it, and encodes "Music" (364 s of MP3).
#include <algorithm>
#include <cmath>

#include "app/messages.h"
#include "content.h"
#include "music.h"
#include "show_times.h"
#include "writers/mp3_writer.h"

// Drums and effects are not ducked; the tonal instruments duck under the kick.
static bool ducked(int instrument) {
    return instrument == MUSIC_BASS || instrument == MUSIC_PAD || instrument == MUSIC_PLUCK ||
           instrument == MUSIC_LEAD || instrument == MUSIC_KEYS;
}

std::vector<float> music_render(double start, double end) {
    if (!(end > start)) fatal_errorf("MUSIC: empty range %.3f..%.3f", start, end);
    size_t frames = size_t(std::llround((end - start) * MUSIC_RATE));
    std::vector<MusicNote> score = music_score();
    std::vector<float> drums(frames * 2, 0.0f), tonal(frames * 2, 0.0f), send(frames, 0.0f);
    for (size_t i = 0; i < score.size(); i++) {
        const MusicNote &note = score[i];
        if (note.start >= end || note.start + music_note_span(note) <= start) continue;
        float *bus = ducked(note.instrument) ? tonal.data() : drums.data();
        music_render_note(note, uint32_t(i + 1), start, frames, bus, send.data());
    }
    // Side-chain: the tonal bus dips after every kick and recovers in a fifth of a second.
    std::vector<double> kicks;
    for (const MusicNote &note : score)
        if (note.instrument == MUSIC_KICK) kicks.push_back(note.start);
    size_t next_kick = 0;
    double last_kick = -100;
    std::vector<float> mix(frames * 2);
    for (size_t n = 0; n < frames; n++) {
        double t = start + double(n) / MUSIC_RATE;
        while (next_kick < kicks.size() && kicks[next_kick] <= t) last_kick = kicks[next_kick++];
        double since = t - last_kick;
        float duck = 1.0f - 0.5f * float(std::exp(-since / 0.1)) * float(std::min(1.0, since / 0.004));
        for (int c = 0; c < 2; c++) mix[n * 2 + c] = drums[n * 2 + c] + tonal[n * 2 + c] * duck;
    }
    drums.clear();
    drums.shrink_to_fit();
    tonal.clear();
    tonal.shrink_to_fit();
    music_reverb(send.data(), frames, mix.data());
    // Level by the picture, then a soft limiter keeps the peaks inside full scale.
    const float master = 0.9f;
    for (size_t n = 0; n < frames; n++) {
        float gain = music_gain(start + double(n) / MUSIC_RATE) * master;
        for (int c = 0; c < 2; c++) {
            float x = mix[n * 2 + c] * gain;
            float a = std::fabs(x);
            if (a > 0.5f) x = std::copysign(0.5f + 0.49f * std::tanh((a - 0.5f) / 0.49f), x);
            mix[n * 2 + c] = x;
        }
    }
    return mix;
}

void generate_music(ContentSink &sink) {
    double length = show_times[SHOW_TIME_COUNT - 1].seconds;
    std::vector<float> samples = music_render(0.0, length);
    sink.add("Music", mp3_encode(samples.data(), samples.size() / 2));
}

KELP_CONTENT(CONTENT_ORDER_MUSIC, generate_music);
