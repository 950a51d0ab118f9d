// music_synth.cpp: the instruments of the soundtrack: drums from shaped noise and
// swept sines, a filtered saw bass, detuned saw pads, plucks, a lead, an electric
// piano, risers and impacts; and the reverb on the send bus.
#include <algorithm>
#include <cmath>

#include "music.h"

static const double TAU = 6.283185307179586;

// Small deterministic noise source (xorshift), one per note.
struct NoiseSource {
    uint32_t state;
    explicit NoiseSource(uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) {
        if (!state) state = 1;
    }
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(state) / 2147483648.0f - 1.0f;
    }
};

// Topology-preserving state-variable filter; low, band and high outputs.
struct Filter {
    float ic1 = 0, ic2 = 0, a1 = 0, a2 = 0, a3 = 0, k = 1;
    float low = 0, band = 0, high = 0;
    void set(float cutoff, float resonance) {
        cutoff = std::clamp(cutoff, 20.0f, 0.45f * MUSIC_RATE);
        float g = float(std::tan(3.14159265 * cutoff / MUSIC_RATE));
        k = 2.0f - 2.0f * std::clamp(resonance, 0.0f, 0.97f);
        a1 = 1.0f / (1.0f + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void run(float v0) {
        float v3 = v0 - ic2;
        float v1 = a1 * ic1 + a2 * v3;
        float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        low = v2;
        band = v1;
        high = v0 - k * v1 - v2;
    }
};

// Band-limited saw (polyBLEP) from a phase 0..1 and its increment.
static float saw(double phase, double increment) {
    float t = float(phase), dt = float(increment);
    float value = 2 * t - 1;
    if (t < dt) {
        t /= dt;
        value -= t + t - t * t - 1;
    } else if (t > 1 - dt) {
        t = (t - 1) / dt;
        value -= t * t + t + t + 1;
    }
    return value;
}

// Band-limited square from two saws.
static float square(double phase, double increment) {
    double shifted = phase + 0.5;
    if (shifted >= 1) shifted -= 1;
    return 0.5f * (saw(phase, increment) - saw(shifted, increment));
}

static double midi_hz(double pitch) { return 440.0 * std::pow(2.0, (pitch - 69.0) / 12.0); }

// Attack-hold-release envelope at time t for a note held `length` seconds.
static float envelope(double t, double length, double attack, double release) {
    if (t < 0) return 0;
    float a = attack > 0 ? float(std::min(1.0, t / attack)) : 1.0f;
    if (t <= length) return a;
    double r = (t - length) / release;
    return r >= 1 ? 0 : a * float(1 - r) * float(1 - r);
}

// Release time of each instrument after its held length.
static double release_of(int instrument) {
    switch (instrument) {
        case MUSIC_PAD: return 1.2;
        case MUSIC_LEAD: return 0.25;
        case MUSIC_KEYS: return 0.6;
        case MUSIC_BASS: return 0.05;
        case MUSIC_PLUCK: return 0.1;
        case MUSIC_STATIC: return 0.2;
        default: return 0.0;
    }
}

double music_note_span(const MusicNote &note) {
    switch (note.instrument) {
        case MUSIC_KICK: return 0.6;
        case MUSIC_SNARE: return 0.4;
        case MUSIC_CLAP: return 0.4;
        case MUSIC_HAT: return 0.12;
        case MUSIC_OPEN_HAT: return 0.45;
        case MUSIC_CRASH: return 3.5;
        case MUSIC_TOM: return 0.5;
        case MUSIC_IMPACT: return 3.0;
        case MUSIC_PLUCK: return std::max(note.length, 0.05) + 0.6;
        default: return note.length + release_of(note.instrument);
    }
}

// Per-instrument mix level and reverb send.
static void levels(int instrument, float &level, float &send) {
    static const float table[MUSIC_INSTRUMENT_COUNT][2] = {
        {0.55f, 0.02f},  // kick
        {0.90f, 0.20f},  // snare
        {0.80f, 0.25f},  // clap
        {0.22f, 0.03f},  // hat
        {0.18f, 0.08f},  // open hat
        {0.26f, 0.25f},  // crash
        {0.60f, 0.20f},  // tom
        {0.55f, 0.00f},  // bass
        {0.060f, 0.35f}, // pad (per voice)
        {0.22f, 0.30f},  // pluck
        {0.34f, 0.30f},  // lead
        {0.22f, 0.25f},  // keys
        {0.30f, 0.35f},  // riser
        {0.80f, 0.50f},  // impact
        {0.12f, 0.05f},  // static
    };
    level = table[instrument][0];
    send = table[instrument][1];
}

// Render one mono-or-stereo sample pair of a note at sample n (from the note's start).
// State lives in the caller's Voice.
struct Voice {
    const MusicNote *note;
    NoiseSource noise;
    NoiseSource noise_right;
    Filter filter, filter_right, filter2;
    double phase[6] = {0, 0, 0, 0, 0, 0};
    double increment[6] = {0, 0, 0, 0, 0, 0};  // fixed oscillator increments, set at the first sample
    float decay[4] = {1, 1, 1, 1};              // exponential decays, multiplied every sample
    float rate[4] = {1, 1, 1, 1};
    float hz;
    float pan_left, pan_right;  // equal-power pan gains of a mono voice
    explicit Voice(const MusicNote &n, uint32_t seed)
        : note(&n), noise(seed), noise_right(seed ^ 0xA5A5A5A5u), hz(float(midi_hz(n.pitch))) {
        float angle = (std::clamp(n.pan, -1.0f, 1.0f) + 1) * 0.785398f;
        pan_left = std::cos(angle) * 1.41421356f;
        pan_right = std::sin(angle) * 1.41421356f;
    }
    // Set decay k to fall by e every `seconds`.
    void set_decay(int k, double per_second) { rate[k] = float(std::exp(-per_second / MUSIC_RATE)); }
    // Current value of decay k, then advance it one sample.
    float step(int k) {
        float v = decay[k];
        decay[k] *= rate[k];
        return v;
    }
};

// Advance a phase by a fixed increment.
static void advance_by(double &phase, double increment) {
    phase += increment;
    if (phase >= 1) phase -= 1;
}

// Advance an oscillator phase by hz and return the increment.
static double advance(double &phase, double hz) {
    double increment = hz / MUSIC_RATE;
    phase += increment;
    if (phase >= 1) phase -= std::floor(phase);
    return increment;
}

// The sample (left, right) of a voice at note-relative sample n.
static void voice_sample(Voice &v, size_t n, float &left, float &right) {
    const MusicNote &note = *v.note;
    double t = double(n) / MUSIC_RATE;
    float out = 0;
    left = right = 0;
    switch (note.instrument) {
        case MUSIC_KICK: {
            if (n == 0) {
                v.set_decay(0, 28);
                v.set_decay(1, 200);
                v.set_decay(2, 5.5 + 3 * note.param);
                v.set_decay(3, 500);
            }
            double f = 44 + 120 * v.step(0) + 30 * v.step(1);
            advance(v.phase[0], f);
            float body = float(std::sin(TAU * v.phase[0])) * v.step(2);
            float click = v.noise.next() * v.step(3) * 0.25f;
            out = std::tanh((body + click) * 1.6f);
            break;
        }
        case MUSIC_SNARE: {
            if (n == 0) {
                v.filter.set(1800, 0.2f);
                v.set_decay(0, 22);
                v.set_decay(1, 30);
                v.set_decay(2, 16 - 6 * note.param);
            }
            advance(v.phase[0], 185);
            advance(v.phase[1], 330);
            float tone = float(std::sin(TAU * v.phase[0])) * v.step(0) * 0.55f + float(std::sin(TAU * v.phase[1])) * v.step(1) * 0.25f;
            v.filter.run(v.noise.next());
            // A millisecond of attack keeps the noise burst from spiking after MP3 coding.
            float attack = t < 0.001 ? float(t / 0.001) : 1.0f;
            out = (tone + v.filter.high * v.step(2) * 0.9f) * attack;
            break;
        }
        case MUSIC_CLAP: {
            if (n == 0) v.filter.set(1300, 0.45f);
            v.filter.run(v.noise.next());
            double e = 0;
            for (int burst = 0; burst < 3; burst++) {
                double tb = t - burst * 0.011;
                if (tb >= 0) e = std::max(e, std::exp(-tb * (burst == 2 ? 16 : 120)));
            }
            out = v.filter.band * float(e) * 2.2f;
            break;
        }
        case MUSIC_HAT:
        case MUSIC_OPEN_HAT: {
            if (n == 0) {
                v.filter.set(7500 + 2500 * note.param, 0.3f);
                v.filter2.set(7500 + 2500 * note.param, 0.3f);
            }
            // Metallic partials of six square waves under the noise.
            static const float ratios[6] = {1.0f, 1.4471f, 1.6170f, 1.9265f, 2.5028f, 2.6637f};
            float metal = 0;
            for (int i = 0; i < 6; i++) {
                double inc = advance(v.phase[i], 410.0 * ratios[i]);
                metal += square(v.phase[i], inc);
            }
            v.filter.run(metal * 0.15f + v.noise.next());
            v.filter2.run(v.filter.high);
            if (n == 0) v.set_decay(0, note.instrument == MUSIC_HAT ? 55 : 8);
            out = v.filter2.high * v.step(0);
            break;
        }
        case MUSIC_CRASH: {
            if (n == 0) {
                v.filter.set(5000, 0.1f);
                v.filter_right.set(5000, 0.1f);
            }
            static const float ratios[6] = {1.0f, 1.342f, 1.718f, 2.136f, 2.451f, 3.031f};
            float metal = 0;
            for (int i = 0; i < 6; i++) {
                double inc = advance(v.phase[i], 560.0 * ratios[i]);
                metal += square(v.phase[i], inc);
            }
            float e = float(std::exp(-t * 1.3)) * (t < 0.002 ? float(t / 0.002) : 1.0f);
            v.filter.run(v.noise.next() + metal * 0.08f);
            v.filter_right.run(v.noise_right.next() + metal * 0.08f);
            left = v.filter.high * e;
            right = v.filter_right.high * e;
            break;
        }
        case MUSIC_TOM: {
            double f = v.hz * (1 + 0.5 * std::exp(-t * 20));
            advance(v.phase[0], f);
            out = float(std::sin(TAU * v.phase[0]) * std::exp(-t * 7)) + v.noise.next() * float(std::exp(-t * 60)) * 0.2f;
            break;
        }
        case MUSIC_BASS: {
            double inc = advance(v.phase[0], v.hz);
            advance(v.phase[1], v.hz * 0.5);
            float raw = saw(v.phase[0], inc) * 0.55f + float(std::sin(TAU * v.phase[0])) * 0.6f;
            if (n % 16 == 0) {
                float env = float(std::exp(-t * 9));
                v.filter.set(v.hz * (1.5f + note.param * 6) + 2200 * env * note.param, 0.35f);
            }
            v.filter.run(raw);
            out = std::tanh(v.filter.low * 1.3f) * envelope(t, note.length, 0.004, release_of(MUSIC_BASS));
            break;
        }
        case MUSIC_PAD: {
            if (n == 0) {
                static const float detune[3] = {-0.11f, 0.0f, 0.12f};
                for (int i = 0; i < 3; i++) {
                    double hz = v.hz * std::pow(2.0, detune[i] / 12.0);
                    v.increment[i] = hz * 1.0007 / MUSIC_RATE;
                    v.increment[i + 3] = hz * 0.9993 / MUSIC_RATE;
                }
            }
            float l = 0, r = 0;
            for (int i = 0; i < 3; i++) {
                advance_by(v.phase[i], v.increment[i]);
                advance_by(v.phase[i + 3], v.increment[i + 3]);
                l += saw(v.phase[i], v.increment[i]);
                r += saw(v.phase[i + 3], v.increment[i + 3]);
            }
            if (n % 32 == 0) {
                float sweep = 0.5f + 0.5f * float(std::sin(t * 0.7 + note.pitch));
                float cutoff = 500 + note.param * 2600 + sweep * 500 * note.param;
                v.filter.set(cutoff, 0.15f);
                v.filter_right.set(cutoff, 0.15f);
            }
            v.filter.run(l);
            v.filter_right.run(r);
            float e = envelope(t, note.length, 0.5, release_of(MUSIC_PAD));
            left = v.filter.low * e;
            right = v.filter_right.low * e;
            break;
        }
        case MUSIC_PLUCK: {
            if (n == 0) {
                v.increment[0] = v.hz / MUSIC_RATE;
                v.increment[1] = v.hz * 1.005 / MUSIC_RATE;
                v.set_decay(0, 6);
                v.set_decay(1, 14);
            }
            advance_by(v.phase[0], v.increment[0]);
            advance_by(v.phase[1], v.increment[1]);
            float raw = saw(v.phase[0], v.increment[0]) * 0.6f + square(v.phase[1], v.increment[1]) * 0.4f;
            float sweep = v.step(1);
            if (n % 16 == 0) v.filter.set(300 + (900 + 5000 * note.param) * sweep, 0.3f);
            v.filter.run(raw);
            float e = v.step(0) * (t < 0.002 ? float(t / 0.002) : 1.0f);
            if (t > note.length) e *= float(std::exp(-(t - note.length) * 25));
            out = v.filter.low * e;
            break;
        }
        case MUSIC_LEAD: {
            if (n % 16 == 0) {
                double vibrato = t > 0.25 ? 0.12 * std::sin(TAU * 5.5 * t) * std::min(1.0, (t - 0.25) * 3) : 0;
                double hz = v.hz * std::pow(2.0, vibrato / 12.0);
                v.increment[0] = hz * 1.003 / MUSIC_RATE;
                v.increment[1] = hz * 0.997 / MUSIC_RATE;
                v.increment[2] = hz * 0.5 / MUSIC_RATE;
                v.filter.set(900 + 2600 * note.param + 2500 * float(std::exp(-t * 6)), 0.25f);
            }
            for (int i = 0; i < 3; i++) advance_by(v.phase[i], v.increment[i]);
            float raw = saw(v.phase[0], v.increment[0]) * 0.45f + saw(v.phase[1], v.increment[1]) * 0.45f +
                        square(v.phase[2], v.increment[2]) * 0.25f;
            v.filter.run(raw);
            out = v.filter.low * envelope(t, note.length, 0.012, release_of(MUSIC_LEAD));
            break;
        }
        case MUSIC_KEYS: {
            // Two-operator FM: a warm body and a bell-like tine that dies quickly.
            if (n == 0) {
                v.increment[0] = v.hz / MUSIC_RATE;
                v.increment[2] = v.hz * 14 / MUSIC_RATE;
                v.set_decay(0, 2.5);
                v.set_decay(1, 9);
                v.set_decay(2, 1.1);
            }
            advance_by(v.phase[0], v.increment[0]);
            advance_by(v.phase[2], v.increment[2]);
            double index = 1.6 * v.step(0) + 0.25;
            double tine = std::sin(TAU * v.phase[2]) * v.step(1) * 0.6;
            double body = std::sin(TAU * v.phase[0] + index * std::sin(TAU * v.phase[0]) + tine);
            out = float(body) * v.step(2) * envelope(t, note.length, 0.003, release_of(MUSIC_KEYS));
            break;
        }
        case MUSIC_RISER: {
            double f = note.length > 0 ? std::clamp(t / note.length, 0.0, 1.0) : 1.0;
            if (n % 32 == 0) {
                v.filter.set(float(250 * std::pow(36.0, f)), 0.6f);
                v.filter_right.set(float(260 * std::pow(36.0, f)), 0.6f);
            }
            double inc = advance(v.phase[0], v.hz * std::pow(2.0, f * 2));
            float tone = saw(v.phase[0], inc) * 0.25f;
            v.filter.run(v.noise.next() + tone);
            v.filter_right.run(v.noise_right.next() + tone);
            float e = float(f * f) * envelope(t, note.length, 0.0, 0.03);
            left = v.filter.band * e;
            right = v.filter_right.band * e;
            break;
        }
        case MUSIC_IMPACT: {
            double f = 30 + 60 * std::exp(-t * 6);
            advance(v.phase[0], f);
            if (n == 0) v.filter.set(900, 0.1f);
            v.filter.run(v.noise.next());
            out = float(std::sin(TAU * v.phase[0]) * std::exp(-t * 1.6)) + v.filter.low * float(std::exp(-t * 5)) * 1.4f;
            out = std::tanh(out * 1.4f);
            break;
        }
        case MUSIC_STATIC: {
            if (n == 0) {
                v.filter.set(2500, 0.0f);
                v.filter_right.set(2600, 0.0f);
            }
            v.filter.run(v.noise.next());
            v.filter_right.run(v.noise_right.next());
            float e = envelope(t, note.length, 0.05, release_of(MUSIC_STATIC));
            // A slow crackle of the signal strength.
            float crackle = 0.7f + 0.3f * float(std::sin(t * 37) * std::sin(t * 5.3));
            left = v.filter.high * e * crackle;
            right = v.filter_right.high * e * crackle;
            break;
        }
        default: break;
    }
    if (out != 0) {
        left = out * v.pan_left;
        right = out * v.pan_right;
    }
}

void music_render_note(const MusicNote &note, uint32_t seed, double from, size_t frames, float *bus, float *send) {
    double span = music_note_span(note);
    long long first = std::llround(note.start * MUSIC_RATE);
    long long count = (long long)std::ceil(span * MUSIC_RATE);
    long long window = std::llround(from * MUSIC_RATE);
    long long window_end = window + (long long)frames;
    if (first + count <= window || first >= window_end) return;
    Voice voice(note, seed);
    float level, share;
    levels(note.instrument, level, share);
    float gain = level * note.velocity;
    // Voices run from their own start so a note sounds the same in any window.
    for (long long n = 0; n < count; n++) {
        long long at = first + n;
        if (at >= window_end) break;
        float l, r;
        voice_sample(voice, size_t(n), l, r);
        if (at < window) continue;
        size_t i = size_t(at - window);
        bus[i * 2] += l * gain;
        bus[i * 2 + 1] += r * gain;
        send[i] += (l + r) * 0.5f * gain * share;
    }
}

// Feedback comb with a damping low-pass in the loop.
struct Comb {
    std::vector<float> line;
    size_t at = 0;
    float store = 0;
    float next(float in, float feedback, float damp) {
        float out = line[at];
        store = out * (1 - damp) + store * damp;
        line[at] = in + store * feedback;
        if (++at == line.size()) at = 0;
        return out;
    }
};

// Schroeder all-pass.
struct AllPass {
    std::vector<float> line;
    size_t at = 0;
    float next(float in) {
        float buffered = line[at];
        float out = buffered - in;
        line[at] = in + buffered * 0.5f;
        if (++at == line.size()) at = 0;
        return out;
    }
};

void music_reverb(const float *send, size_t frames, float *bus) {
    static const int comb_sizes[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int allpass_sizes[4] = {556, 441, 341, 225};
    const int spread = 23;
    Comb combs[2][8];
    AllPass allpasses[2][4];
    for (int c = 0; c < 2; c++) {
        for (int i = 0; i < 8; i++) combs[c][i].line.assign(size_t(comb_sizes[i] + c * spread), 0.0f);
        for (int i = 0; i < 4; i++) allpasses[c][i].line.assign(size_t(allpass_sizes[i] + c * spread), 0.0f);
    }
    const float feedback = 0.86f, damp = 0.3f, wet = 0.9f;
    for (size_t n = 0; n < frames; n++) {
        float in = send[n] * 0.03f;
        for (int c = 0; c < 2; c++) {
            float out = 0;
            for (int i = 0; i < 8; i++) out += combs[c][i].next(in, feedback, damp);
            for (int i = 0; i < 4; i++) out = allpasses[c][i].next(out);
            bus[n * 2 + c] += out * wet;
        }
    }
}
