// music.cpp: renders the score, mixes and masters it, and encodes "Music" (364 s of MP3).
#include <algorithm>
#include <cmath>

#include "platform/fatal.h"
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
    const float recover = float(std::exp(-1.0 / (0.1 * MUSIC_RATE)));
    float dip = 0;              // depth of the dip, decaying after each kick
    size_t since_kick = 1000;   // samples since the last kick, for the short fade into the dip
    std::vector<float> mix(frames * 2);
    while (next_kick < kicks.size() && kicks[next_kick] < start - 1.0) next_kick++;  // dips long gone
    for (size_t n = 0; n < frames; n++) {
        double t = start + double(n) / MUSIC_RATE;
        while (next_kick < kicks.size() && kicks[next_kick] <= t) {
            next_kick++;
            dip = 0.5f;
            since_kick = 0;
        }
        float attack = since_kick < 176 ? float(since_kick) / 176.0f : 1.0f;
        float duck = 1.0f - dip * attack;
        dip *= recover;
        since_kick++;
        for (int c = 0; c < 2; c++) mix[n * 2 + c] = drums[n * 2 + c] + tonal[n * 2 + c] * duck;
    }
    drums.clear();
    drums.shrink_to_fit();
    tonal.clear();
    tonal.shrink_to_fit();
    music_reverb(send.data(), frames, mix.data());
    // Level by the picture, then a soft limiter keeps the peaks below -3 dBFS, leaving room for the
    // MP3 decoder's overshoot.
    const float master = 0.9f;
    float gain = 0;
    for (size_t n = 0; n < frames; n++) {
        if (n % 64 == 0) gain = music_gain(start + double(n) / MUSIC_RATE) * master;
        for (int c = 0; c < 2; c++) {
            float x = mix[n * 2 + c] * gain;
            float a = std::fabs(x);
            if (a > 0.42f) x = std::copysign(0.42f + 0.3f * std::tanh((a - 0.42f) / 0.3f), x);
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
