// music.cpp: renders the score, mixes and masters it, and encodes "Music" (364 s of MP3).
#include <cmath>

#include "platform/fatal.h"
#include "content.h"
#include "music.h"
#include "show_times.h"
#include "writers/mp3_writer.h"
#include "writers/angles.h"

// The tonal instruments duck under the kick; drums and effects do not.
static bool ducked(int instrument) { return instrument >= MUSIC_BASS && instrument <= MUSIC_KEYS; }

// Add the tonal bus into the mix, dipping after every kick and recovering in a fifth of a second.
static void mix_ducked(const std::vector<MusicNote> &score, double start, const std::vector<float> &tonal,
                       std::vector<float> &mix) {
    std::vector<double> kicks;  // the kicks whose dips can still be heard in the window
    for (const MusicNote &note : score)
        if (note.instrument == MUSIC_KICK && note.start >= start - 1.0) kicks.push_back(note.start);
    const float recover = float(std::exp(-1.0 / (0.1 * MUSIC_RATE)));
    float dip = 0;              // depth of the dip, decaying after each kick
    size_t since_kick = 1000;   // samples since the last kick, for the short fade into the dip
    size_t next_kick = 0;
    for (size_t n = 0; n < mix.size() / 2; n++) {
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
        for (int c = 0; c < 2; c++) mix[n * 2 + c] += tonal[n * 2 + c] * duck;
    }
}

// The master: the level by the picture, a soft limiter from -9 dBFS that keeps the samples
// below -4.4 dBFS, then a 16 kHz low-pass, so that the peaks between samples (and the MP3
// decoder's overshoot) stay under -1 dBFS; the show lands near -14 LUFS.
const float MASTER_GAIN = 0.8f, LIMIT_KNEE = 0.35f, LIMIT_ROOM = 0.25f;
const double LOW_PASS_HZ = 16000;

// A second-order Butterworth low-pass over one channel of an interleaved stereo buffer.
static void low_pass(std::vector<float> &mix, int channel, double cutoff) {
    double w = 2 * PI_DOUBLE * cutoff / MUSIC_RATE, c = std::cos(w), alpha = std::sin(w) / std::sqrt(2.0);
    double b0 = (1 - c) / 2 / (1 + alpha), b1 = 2 * b0, a1 = -2 * c / (1 + alpha), a2 = (1 - alpha) / (1 + alpha);
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = size_t(channel); i < mix.size(); i += 2) {
        double x = mix[i], y = b0 * (x + x2) + b1 * x1 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        mix[i] = float(y);
    }
}

static void master(double start, std::vector<float> &mix) {
    float gain = 0;
    for (size_t i = 0; i < mix.size(); i++) {
        if (i % 128 == 0) gain = music_gain(start + double(i / 2) / MUSIC_RATE) * MASTER_GAIN;
        float x = mix[i] * gain;
        float a = std::fabs(x);
        if (a > LIMIT_KNEE) x = std::copysign(LIMIT_KNEE + LIMIT_ROOM * std::tanh((a - LIMIT_KNEE) / LIMIT_ROOM), x);
        mix[i] = x;
    }
    for (int channel = 0; channel < 2; channel++) low_pass(mix, channel, LOW_PASS_HZ);
}

std::vector<float> music_render(double start, double end) {
    if (!(end > start)) fatal_errorf("MUSIC: empty range %.3f..%.3f", start, end);
    size_t frames = size_t(std::llround((end - start) * MUSIC_RATE));
    std::vector<MusicNote> score = music_score();
    std::vector<float> mix(frames * 2, 0.0f), send(frames, 0.0f);
    {
        std::vector<float> tonal(frames * 2, 0.0f);
        for (size_t i = 0; i < score.size(); i++) {
            const MusicNote &note = score[i];
            if (note.start >= end || note.start + music_note_span(note) <= start) continue;
            float *bus = ducked(note.instrument) ? tonal.data() : mix.data();
            music_render_note(note, uint32_t(i + 1), start, frames, bus, send.data());
        }
        mix_ducked(score, start, tonal, mix);
    }
    music_reverb(send.data(), frames, mix.data());
    master(start, mix);
    return mix;
}

void generate_music(ContentSink &sink) {
    double length = show_times[SHOW_TIME_COUNT - 1].seconds;
    std::vector<float> samples = music_render(0.0, length);
    sink.add("Music", mp3_encode(samples.data(), samples.size() / 2));
}

KELP_CONTENT(CONTENT_ORDER_MUSIC, generate_music);
