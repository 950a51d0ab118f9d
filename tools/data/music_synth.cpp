// music_synth.cpp: the instruments of the soundtrack: drums from shaped noise and
// swept sines, a filtered saw bass, detuned saw pads, plucks, a lead, an electric
// piano, risers and impacts; and the reverb on the send bus.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "music.h"
#include "writers/angles.h"

static const double TAU = 2 * PI_DOUBLE;

// Small deterministic noise source (xorshift), one per note.
struct NoiseSource {
    uint32_t state;
    explicit NoiseSource(uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) { if (!state) state = 1; }
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
        float g = float(std::tan(PI_DOUBLE * cutoff / MUSIC_RATE));
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

// What sounds at one sample of a note: a left and right value.
struct Sound {
    float left, right;
};

// The running state of one note: its noise, filters, oscillators and decays.
struct Voice {
    const MusicNote &note;
    NoiseSource noise;
    NoiseSource noise_right;
    Filter filter, filter_right, filter2;
    double phase[6] = {0, 0, 0, 0, 0, 0};
    double increment[6] = {0, 0, 0, 0, 0, 0};  // fixed oscillator increments, set at the first sample
    float decay[4] = {1, 1, 1, 1};              // exponential decays, multiplied every sample
    float rate[4] = {1, 1, 1, 1};
    float hz;
    float pan_left, pan_right;  // equal-power pan gains of a mono voice
    double release;             // seconds the note sounds after its held length
    Voice(const MusicNote &n, uint32_t seed, double release)
        : note(n), noise(seed), noise_right(seed ^ 0xA5A5A5A5u), hz(float(midi_hz(n.pitch))), release(release) {
        float angle = (std::clamp(n.pan, -1.0f, 1.0f) + 1) * (PI / 4);
        pan_left = std::cos(angle) * 1.41421356f;
        pan_right = std::sin(angle) * 1.41421356f;
    }
    // Set decays 0, 1, ... to fall by e at the given rates per second.
    void set_decays(std::initializer_list<double> per_second) {
        int k = 0;
        for (double r : per_second) rate[k++] = float(std::exp(-r / MUSIC_RATE));
    }
    // Current value of decay k, then advance it one sample.
    float step(int k) {
        float v = decay[k];
        decay[k] *= rate[k];
        return v;
    }
    // Set the left and right filters.
    void set_filters(float left, float right, float resonance) {
        filter.set(left, resonance);
        filter_right.set(right, resonance);
    }
    // Run the left and right filters on the two noises plus a shared signal.
    void run_noise(float shared) {
        filter.run(noise.next() + shared);
        filter_right.run(noise_right.next() + shared);
    }
    // The note's attack-hold-release envelope at t.
    float held(double t, double attack) const { return envelope(t, note.length, attack, release); }
    // A mono value placed by the note's pan (silence stays exactly zero).
    Sound mono(float out) const { return out == 0 ? Sound{0, 0} : Sound{out * pan_left, out * pan_right}; }
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

static float sine(double phase) { return float(std::sin(TAU * phase)); }

// Rises from 0 to 1 over the first `seconds`.
static float ramp(double t, double seconds) { return t < seconds ? float(t / seconds) : 1.0f; }

// Six square partials at `ratios` of a base frequency: the metal of the cymbals.
static float metal(Voice &v, double base, const float ratios[6]) {
    float sum = 0;
    for (int i = 0; i < 6; i++) {
        double inc = advance(v.phase[i], base * ratios[i]);
        sum += square(v.phase[i], inc);
    }
    return sum;
}

// Kick: a sine falling in pitch, with a click.
static Sound kick(Voice &v, size_t n, double) {
    if (n == 0) v.set_decays({28, 200, 5.5 + 3 * v.note.param, 500});
    advance(v.phase[0], 44 + 120 * v.step(0) + 30 * v.step(1));
    float body = sine(v.phase[0]) * v.step(2);
    float click = v.noise.next() * v.step(3) * 0.25f;
    return v.mono(std::tanh((body + click) * 1.6f));
}

// Snare: two tones and a burst of high-passed noise.
static Sound snare(Voice &v, size_t n, double t) {
    if (n == 0) {
        v.filter.set(1800, 0.2f);
        v.set_decays({22, 30, 16 - 6 * v.note.param});
    }
    advance(v.phase[0], 185);
    advance(v.phase[1], 330);
    float tone = sine(v.phase[0]) * v.step(0) * 0.55f + sine(v.phase[1]) * v.step(1) * 0.25f;
    v.filter.run(v.noise.next());
    // A millisecond of attack keeps the noise burst from spiking after MP3 coding.
    return v.mono((tone + v.filter.high * v.step(2) * 0.9f) * ramp(t, 0.001));
}

// Clap: three bursts of band-passed noise, the last one longer.
static Sound clap(Voice &v, size_t n, double t) {
    if (n == 0) v.filter.set(1300, 0.45f);
    v.filter.run(v.noise.next());
    double e = 0;
    for (int burst = 0; burst < 3; burst++) {
        double tb = t - burst * 0.011;
        if (tb >= 0) e = std::max(e, std::exp(-tb * (burst == 2 ? 16 : 120)));
    }
    return v.mono(v.filter.band * float(e) * 2.2f);
}

// Closed and open hi-hat: metal and noise, high-passed twice.
static Sound hat(Voice &v, size_t n, double) {
    if (n == 0) {
        v.filter.set(7500 + 2500 * v.note.param, 0.3f);
        v.filter2.set(7500 + 2500 * v.note.param, 0.3f);
        v.set_decays({v.note.instrument == MUSIC_HAT ? 55.0 : 8.0});
    }
    static const float ratios[6] = {1.0f, 1.4471f, 1.6170f, 1.9265f, 2.5028f, 2.6637f};
    v.filter.run(metal(v, 410.0, ratios) * 0.15f + v.noise.next());
    v.filter2.run(v.filter.high);
    return v.mono(v.filter2.high * v.step(0));
}

// Crash: a long stereo wash of noise over metal.
static Sound crash(Voice &v, size_t n, double t) {
    if (n == 0) v.set_filters(5000, 5000, 0.1f);
    static const float ratios[6] = {1.0f, 1.342f, 1.718f, 2.136f, 2.451f, 3.031f};
    v.run_noise(metal(v, 560.0, ratios) * 0.08f);
    float e = float(std::exp(-t * 1.3)) * ramp(t, 0.002);
    return {v.filter.high * e, v.filter_right.high * e};
}

// Tom: a sine falling to the note's pitch, with a touch of noise.
static Sound tom(Voice &v, size_t, double t) {
    advance(v.phase[0], v.hz * (1 + 0.5 * std::exp(-t * 20)));
    return v.mono(float(std::sin(TAU * v.phase[0]) * std::exp(-t * 7)) + v.noise.next() * float(std::exp(-t * 60)) * 0.2f);
}

// Bass: saw and sine through a low-pass that opens at the attack.
static Sound bass(Voice &v, size_t n, double t) {
    double inc = advance(v.phase[0], v.hz);
    float raw = saw(v.phase[0], inc) * 0.55f + sine(v.phase[0]) * 0.6f;
    if (n % 16 == 0) {
        float env = float(std::exp(-t * 9));
        v.filter.set(v.hz * (1.5f + v.note.param * 6) + 2200 * env * v.note.param, 0.35f);
    }
    v.filter.run(raw);
    return v.mono(std::tanh(v.filter.low * 1.3f) * v.held(t, 0.004));
}

// Pad: three detuned saws a side through slowly sweeping low-passes.
static Sound pad(Voice &v, size_t n, double t) {
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
        float sweep = 0.5f + 0.5f * float(std::sin(t * 0.7 + v.note.pitch));
        float cutoff = 500 + v.note.param * 2600 + sweep * 500 * v.note.param;
        v.set_filters(cutoff, cutoff, 0.15f);
    }
    v.filter.run(l);
    v.filter_right.run(r);
    float e = v.held(t, 0.5);
    return {v.filter.low * e, v.filter_right.low * e};
}

// Pluck: saw and square with a falling filter sweep, damped after the held length.
static Sound pluck(Voice &v, size_t n, double t) {
    if (n == 0) {
        v.increment[0] = v.hz / MUSIC_RATE;
        v.increment[1] = v.hz * 1.005 / MUSIC_RATE;
        v.set_decays({6, 14});
    }
    advance_by(v.phase[0], v.increment[0]);
    advance_by(v.phase[1], v.increment[1]);
    float raw = saw(v.phase[0], v.increment[0]) * 0.6f + square(v.phase[1], v.increment[1]) * 0.4f;
    float sweep = v.step(1);
    if (n % 16 == 0) v.filter.set(300 + (900 + 5000 * v.note.param) * sweep, 0.3f);
    v.filter.run(raw);
    float e = v.step(0) * ramp(t, 0.002);
    if (t > v.note.length) e *= float(std::exp(-(t - v.note.length) * 25));
    return v.mono(v.filter.low * e);
}

// Lead: two detuned saws and a sub square, vibrato after a quarter second.
static Sound lead(Voice &v, size_t n, double t) {
    if (n % 16 == 0) {
        double vibrato = t > 0.25 ? 0.12 * std::sin(TAU * 5.5 * t) * std::min(1.0, (t - 0.25) * 3) : 0;
        double hz = v.hz * std::pow(2.0, vibrato / 12.0);
        v.increment[0] = hz * 1.003 / MUSIC_RATE;
        v.increment[1] = hz * 0.997 / MUSIC_RATE;
        v.increment[2] = hz * 0.5 / MUSIC_RATE;
        v.filter.set(900 + 2600 * v.note.param + 2500 * float(std::exp(-t * 6)), 0.25f);
    }
    for (int i = 0; i < 3; i++) advance_by(v.phase[i], v.increment[i]);
    float raw = saw(v.phase[0], v.increment[0]) * 0.45f + saw(v.phase[1], v.increment[1]) * 0.45f +
                square(v.phase[2], v.increment[2]) * 0.25f;
    v.filter.run(raw);
    return v.mono(v.filter.low * v.held(t, 0.012));
}

// Electric piano, two-operator FM: a warm body and a bell-like tine that dies quickly.
static Sound keys(Voice &v, size_t n, double t) {
    if (n == 0) {
        v.increment[0] = v.hz / MUSIC_RATE;
        v.increment[2] = v.hz * 14 / MUSIC_RATE;
        v.set_decays({2.5, 9, 1.1});
    }
    advance_by(v.phase[0], v.increment[0]);
    advance_by(v.phase[2], v.increment[2]);
    double index = 1.6 * v.step(0) + 0.25;
    double tine = std::sin(TAU * v.phase[2]) * v.step(1) * 0.6;
    double body = std::sin(TAU * v.phase[0] + index * std::sin(TAU * v.phase[0]) + tine);
    return v.mono(float(body) * v.step(2) * v.held(t, 0.003));
}

// Riser: band-passed noise and a saw, both sweeping up over the held length.
static Sound riser(Voice &v, size_t n, double t) {
    double f = v.note.length > 0 ? std::clamp(t / v.note.length, 0.0, 1.0) : 1.0;
    if (n % 32 == 0) v.set_filters(float(250 * std::pow(36.0, f)), float(260 * std::pow(36.0, f)), 0.6f);
    double inc = advance(v.phase[0], v.hz * std::pow(2.0, f * 2));
    v.run_noise(saw(v.phase[0], inc) * 0.25f);
    float e = float(f * f) * envelope(t, v.note.length, 0.0, 0.03);
    return {v.filter.band * e, v.filter_right.band * e};
}

// Impact: a deep falling sine and low noise, saturated.
static Sound impact(Voice &v, size_t n, double t) {
    advance(v.phase[0], 30 + 60 * std::exp(-t * 6));
    if (n == 0) v.filter.set(900, 0.1f);
    v.filter.run(v.noise.next());
    float out = float(std::sin(TAU * v.phase[0]) * std::exp(-t * 1.6)) + v.filter.low * float(std::exp(-t * 5)) * 1.4f;
    return v.mono(std::tanh(out * 1.4f));
}

// Television static: high-passed stereo noise with a slow crackle of the signal strength.
static Sound static_noise(Voice &v, size_t n, double t) {
    if (n == 0) v.set_filters(2500, 2600, 0.0f);
    v.run_noise(0.0f);
    float e = v.held(t, 0.05);
    float crackle = 0.7f + 0.3f * float(std::sin(t * 37) * std::sin(t * 5.3));
    return {v.filter.high * e * crackle, v.filter_right.high * e * crackle};
}

// An instrument: its mix, how long a note sounds, and its sample.
struct Instrument {
    float level, send;  // mix level and reverb send
    double span;        // seconds every note sounds (drums), or 0: its held length and the release
    double release;
    Sound (*sample)(Voice &v, size_t n, double t);
};

// In the order of MusicInstrument: level, send, span, release, sample.
static const Instrument INSTRUMENTS[MUSIC_INSTRUMENT_COUNT] = {
    {0.55f, 0.02f, 0.6, 0, kick},
    {0.90f, 0.20f, 0.4, 0, snare},
    {0.80f, 0.25f, 0.4, 0, clap},
    {0.22f, 0.03f, 0.12, 0, hat},
    {0.18f, 0.08f, 0.45, 0, hat},  // open
    {0.26f, 0.25f, 3.5, 0, crash},
    {0.60f, 0.20f, 0.5, 0, tom},
    {0.55f, 0.00f, 0, 0.05, bass},
    {0.060f, 0.35f, 0, 1.2, pad},  // level per voice
    {0.22f, 0.30f, 0, 0.6, pluck}, // rings 0.6 s past at least 0.05 s held
    {0.34f, 0.30f, 0, 0.25, lead},
    {0.22f, 0.25f, 0, 0.6, keys},
    {0.30f, 0.35f, 0, 0, riser},
    {0.80f, 0.50f, 3.0, 0, impact},
    {0.12f, 0.05f, 0, 0.2, static_noise},
};

double music_note_span(const MusicNote &note) {
    const Instrument &instrument = INSTRUMENTS[note.instrument];
    if (instrument.span > 0) return instrument.span;
    if (note.instrument == MUSIC_PLUCK) return std::max(note.length, 0.05) + instrument.release;
    return note.length + instrument.release;
}

void music_render_note(const MusicNote &note, uint32_t seed, double from, size_t frames, float *bus, float *send) {
    double span = music_note_span(note);
    long long first = std::llround(note.start * MUSIC_RATE);
    long long count = (long long)std::ceil(span * MUSIC_RATE);
    long long window = std::llround(from * MUSIC_RATE);
    long long window_end = window + (long long)frames;
    if (first + count <= window || first >= window_end) return;
    const Instrument &instrument = INSTRUMENTS[note.instrument];
    Voice voice(note, seed, instrument.release);
    float gain = instrument.level * note.velocity;
    // Voices run from their own start so a note sounds the same in any window.
    for (long long n = 0; n < count; n++) {
        long long at = first + n;
        if (at >= window_end) break;
        Sound sound = instrument.sample(voice, size_t(n), double(n) / MUSIC_RATE);
        if (at < window) continue;
        size_t i = size_t(at - window);
        bus[i * 2] += sound.left * gain;
        bus[i * 2 + 1] += sound.right * gain;
        send[i] += (sound.left + sound.right) * 0.5f * gain * instrument.send;
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
