// music_score.cpp: the arrangement of the soundtrack on the show's time table.
// Every scene gets its own section of a 120 BPM track in D minor: the beat is
// continuous, each section starts on a downbeat at its scene's cut, and builds,
// hits and fades follow the moments of the parts (the shatter, the white flashes,
// the fades to black). The times come from show_times, so retiming the show
// retimes the music.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "music.h"
#include "show_times.h"

static const double BEAT = 0.5;  // seconds per beat at 120 BPM

// Chord qualities, and their intervals above the root (-1: none).
enum Quality { MINOR, MAJOR, MINOR7, MAJOR7, DOMINANT7, SUS4 };
static const int INTERVALS[6][4] = {{0, 3, 7, -1}, {0, 4, 7, -1}, {0, 3, 7, 10}, {0, 4, 7, 11}, {0, 4, 7, 10}, {0, 5, 7, -1}};

struct Chord {
    int root;  // semitones above the key's root, 0..11
    int quality;
};

// Progressions of four chords.
static const Chord DARK[4] = {{0, MINOR}, {0, MINOR}, {8, MAJOR}, {7, MAJOR}};
static const Chord EPIC[4] = {{0, MINOR}, {8, MAJOR}, {3, MAJOR}, {10, MAJOR}};
static const Chord DRIVE[4] = {{0, MINOR}, {10, MAJOR}, {8, MAJOR}, {10, MAJOR}};
static const Chord LIFT[4] = {{8, MAJOR}, {10, MAJOR}, {0, MINOR}, {0, SUS4}};
static const Chord MINOR4[4] = {{0, MINOR}, {5, MINOR}, {8, MAJOR}, {7, MAJOR}};
static const Chord JAZZ[4] = {{0, MINOR7}, {5, MINOR7}, {10, DOMINANT7}, {3, MAJOR7}};
static const Chord FLOAT[4] = {{0, MINOR7}, {8, MAJOR7}, {3, MAJOR7}, {10, MAJOR}};
static const Chord FINAL[4] = {{0, MAJOR}, {0, MAJOR}, {0, MAJOR}, {0, MAJOR}};

// Deterministic random numbers of the arrangement (independent of the show's generator).
struct ScoreRandom {
    uint32_t state;
    explicit ScoreRandom(uint32_t seed) : state(seed * 747796405u + 2891336453u) {}
    float unit() {
        state = state * 1664525u + 1013904223u;
        return float(state >> 8) / float(1u << 24);
    }
    int below(int n) { return int(unit() * n) % n; }
};

// One section of the music: a scene of the show in its key, on a progression.
struct Section {
    double start, end;
    int key;  // MIDI note of the key's root (tonic) in the bass octave
    const Chord *chords;
    int beats_per_chord;
    // The section's length, rounded to whole beats.
    int beats() const { return int(std::lround((end - start) / BEAT)); }
    double at(double beat) const { return start + beat * BEAT; }
    double local(double seconds) const { return start + seconds; }
    // The chord sounding at a beat.
    Chord chord(double beat) const {
        int index = int(std::floor(beat / beats_per_chord)) % 4;
        return chords[index < 0 ? index + 4 : index];
    }
    // The same section on another progression.
    Section on(const Chord *other, int other_beats_per_chord) const {
        return {start, end, key, other, other_beats_per_chord};
    }
};

// The notes of the score, in the order they are written.
struct Arranger {
    std::vector<MusicNote> notes;
    void add(double start, double length, int instrument, float pitch, float velocity, float pan = 0, float param = 0.5f) {
        notes.push_back({start, length, instrument, pitch, velocity, pan, param});
    }
    // Two fading echoes of a note (dotted eighths), bouncing between the sides.
    void echo(double start, double length, int instrument, float pitch, float velocity, float param) {
        add(start + 0.375, length, instrument, pitch, velocity * 0.32f, -0.7f, param * 0.8f);
        add(start + 0.75, length, instrument, pitch, velocity * 0.12f, 0.7f, param * 0.6f);
    }
};

// The lowest pitch of a pitch class at or above `low`.
static int above(int pitch_class, int low) { return low + (((pitch_class - low) % 12) + 12) % 12; }

// Pitches of a chord voiced inside [low, high), rising.
static std::vector<int> voice_chord(const Section &s, Chord c, int low, int high) {
    std::vector<int> pitches;
    for (int interval : INTERVALS[c.quality]) {
        int p = above(s.key + c.root + interval, low);
        if (interval >= 0 && p < high) pitches.push_back(p);
    }
    std::sort(pitches.begin(), pitches.end());
    return pitches;
}

// Bass note (root) of a chord at or above `low`.
static int bass_root(const Section &s, Chord c, int low) { return above(s.key + c.root, low); }

// True when the pitch is in the section's minor scale (with the raised seventh over a major fifth chord).
static bool in_scale(const Section &s, Chord c, int pitch) {
    static const bool minor[12] = {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0};
    int degree = (((pitch - s.key) % 12) + 12) % 12;
    if (c.root == 7 && (c.quality == MAJOR || c.quality == DOMINANT7) && (degree == 10 || degree == 11))
        return degree == 11;
    return minor[degree];
}

// Move a pitch by `steps` scale steps.
static int scale_step(const Section &s, Chord c, int pitch, int steps) {
    while (!in_scale(s, c, pitch)) pitch--;
    int dir = steps > 0 ? 1 : -1;
    for (int k = 0; k < std::abs(steps); k++) {
        pitch += dir;
        while (!in_scale(s, c, pitch)) pitch += dir;
    }
    return pitch;
}

// Chord tone nearest to a pitch (the lower one of two as near).
static int nearest_chord_tone(const Section &s, Chord c, int pitch) {
    std::vector<int> tones = voice_chord(s, c, pitch - 6, pitch + 6);  // each chord tone once, rising
    auto nearer = [&](int x, int y) { return std::abs(x - pitch) < std::abs(y - pitch); };
    return *std::min_element(tones.begin(), tones.end(), nearer);
}

// The first sixteenth step at or after a beat.
static int step_at(double beat) { return int(std::ceil(beat * 4)); }

// One drum bar pattern: 16 steps per voice, 'x' strong, 'o' soft, '.' rest.
struct DrumPattern {
    const char *steps[5];  // kick, snare, clap, hat, open hat
};

static const DrumPattern FOUR_FLOOR = {{"x...x...x...x...", "................", "....x.......x...", "x.o.x.o.x.o.x.o.", "..x...x...x...x."}};
static const DrumPattern FOUR_FLOOR_16 = {{"x...x...x...x...", "....o.......o...", "....x.......x...", "xoxoxoxoxoxoxoxo", "..x...x...x...x."}};
static const DrumPattern HALF_TIME = {{"x.....x...x.....", "........x.......", "................", "x.o.x.o.x.o.x.o.", ".............x.."}};
static const DrumPattern BREAKBEAT = {{"x.....x..x......", "....x.......x..o", "................", "x.x.x.xox.x.x.xo", "..............x."}};
static const DrumPattern FUNK = {{"x..x..x...x..x..", "....x.......x...", "....x.......x...", "xoxoxoxoxoxoxoxo", "......x.......x."}};
static const DrumPattern HEARTBEAT = {{"x..o............", "................", "................", "................", "................"}};
static const DrumPattern SOFT_KIT = {{"x.........x.....", "....o.......o...", "................", "x.o.x.oox.o.x.o.", "................"}};
static const DrumPattern BRUSH = {{"x.......o.......", "....o.......o...", "................", "xoooxoooxoooxooo", "................"}};

// Lay a drum pattern over beats [b0, b1) of a section. A full groove (one with a
// backbeat) ends every eighth bar with a short snare fill, and hats vary a little in level.
static void drums(Arranger &a, const Section &s, double b0, double b1, const DrumPattern &p, float velocity) {
    static const int instruments[5] = {MUSIC_KICK, MUSIC_SNARE, MUSIC_CLAP, MUSIC_HAT, MUSIC_OPEN_HAT};
    static const float pans[5] = {0, 0.05f, -0.1f, 0.3f, -0.25f};
    bool backbeat = std::strchr(p.steps[1], 'x') || std::strchr(p.steps[2], 'x');
    for (int step = step_at(b0); step < step_at(b1); step++) {
        int i = step % 16;
        bool fill_beat = backbeat && step % 128 >= 124 && step + 4 <= step_at(b1);
        for (int v = 0; v < 5; v++) {
            char c = p.steps[v][i];
            if (c == '.' || (fill_beat && (v == 1 || v == 2))) continue;
            float vel = (c == 'x' ? 1.0f : 0.55f) * velocity;
            // Hats lean a little late on the off sixteenths for a looser feel, and vary in level.
            bool hat = v >= 3;
            double swing = (hat && (i & 1)) ? 0.012 : 0.0;
            if (hat) vel *= 0.8f + 0.2f * float(((step * 2654435761u) >> 16) % 1000) / 1000.0f;
            a.add(s.at(step * 0.25) + swing, 0.1, instruments[v], 60, vel, pans[v], 0.5f);
        }
        if (fill_beat) a.add(s.at(step * 0.25), 0.1, MUSIC_SNARE, 60, velocity * (0.5f + 0.12f * float(step % 4)), 0.1f, 0.7f);
    }
}

// Snare (or tom) fill over beats [b0, b1): eighths then sixteenths, rising in level.
static void fill(Arranger &a, const Section &s, double b0, double b1, bool toms) {
    int first = step_at(b0), last = step_at(b1);
    for (int step = first; step < last; step++) {
        double f = double(step - first) / std::max(1, last - first);
        if (f <= 0.5 && (step & 1)) continue;
        float vel = 0.45f + 0.55f * float(f);
        if (toms) a.add(s.at(step * 0.25), 0.1, MUSIC_TOM, 50 - float(f) * 14, vel, float(0.6 - 1.2 * f), 0.5f);
        else a.add(s.at(step * 0.25), 0.1, MUSIC_SNARE, 60, vel, 0, float(f));
    }
}

static void crash(Arranger &a, double t, float velocity, float pan = 0) { a.add(t, 0.1, MUSIC_CRASH, 60, velocity, pan); }

// A big moment: impact, crash and a kick at time t.
static void hit(Arranger &a, double t, float velocity) {
    a.add(t, 0.1, MUSIC_IMPACT, 30, velocity);
    crash(a, t, velocity, -0.2f);
    a.add(t, 0.1, MUSIC_KICK, 60, velocity);
}

// Noise riser from t0 up to t1.
static void riser(Arranger &a, double t0, double t1, float velocity) { a.add(t0, t1 - t0, MUSIC_RISER, 48, velocity); }

// Bass styles: a held root per chord, walking quarters, or a pattern of sixteenths.
enum BassStyle { BASS_DRONE, BASS_WALK, BASS_OFFBEAT, BASS_PULSE, BASS_DRIVE, BASS_FUNK };

// A bass pattern over the bar: 'X' root, 'O' octave, lower case at the soft level.
struct BassPattern {
    const char *steps;
    double length;  // beats each note is held
    float soft;
};

static const BassPattern BASS_PATTERNS[4] = {
    {"..X...X...X...X.", 0.4, 1},      // offbeat
    {"X.x.X.x.X.x.X.x.", 0.4, 0.8f},   // pulse
    {"XxoxXxoxXxoxXxox", 0.2, 0.75f},  // drive
    {"X..X..X.X.O..X.O", 0.22, 1},     // funk
};

// A walking bass at beat b: root, fifth and octave, then a step into the next beat's root.
static int walk(const Section &s, double b, int root) {
    static const int steps[3] = {0, 7, 12};
    int beat_in_chord = int(std::fmod(b, s.beats_per_chord)) % 4;
    if (beat_in_chord < 3) return root + steps[beat_in_chord];
    int approach = std::fmod(b + 1, s.beats_per_chord) == 0 ? 1 : -2;
    return std::clamp(bass_root(s, s.chord(b + 1), 33) + approach, 31, 50);
}

// Bass line over beats [b0, b1).
static void bass(Arranger &a, const Section &s, double b0, double b1, int style, float velocity, float bright) {
    int bpc = s.beats_per_chord;
    for (double b = std::floor(b0); b < b1; b += 1) {
        int root = bass_root(s, s.chord(b), 33);
        if (style == BASS_DRONE) {
            if (std::fmod(b, bpc) == 0 || b == std::floor(b0))
                a.add(s.at(b), std::min<double>(bpc - std::fmod(b, bpc), b1 - b) * BEAT - 0.05, MUSIC_BASS, root, velocity, 0, bright);
        } else if (style == BASS_WALK) {
            a.add(s.at(b), BEAT * 0.8, MUSIC_BASS, walk(s, b, root), velocity, 0, bright);
        } else {
            const BassPattern &p = BASS_PATTERNS[style - BASS_OFFBEAT];
            for (int k = 0; k < 4 && b + k * 0.25 < b1; k++) {
                char c = p.steps[(int(b) % 4) * 4 + k];
                if (c == '.') continue;
                int pitch = root + (std::toupper(c) == 'O' ? 12 : 0);
                a.add(s.at(b + k * 0.25), BEAT * p.length, MUSIC_BASS, pitch, velocity * (std::isupper(c) ? 1.0f : p.soft), 0, bright);
            }
        }
    }
}

// Sustained chords over beats [b0, b1), one per chord change, with the root beneath.
static void pads(Arranger &a, const Section &s, double b0, double b1, float velocity, float bright) {
    int bpc = s.beats_per_chord;
    for (double b = b0; b < b1;) {
        double next = std::min(b1, (std::floor(b / bpc) + 1) * bpc);
        Chord c = s.chord(b);
        std::vector<int> voices = voice_chord(s, c, 55, 67);
        voices.push_back(bass_root(s, c, 44));  // the root, in 44..55
        for (size_t i = 0; i < voices.size(); i++)
            a.add(s.at(b), (next - b) * BEAT, MUSIC_PAD, float(voices[i]), velocity, float(i % 2 ? 0.35 : -0.35), bright);
        b = next;
    }
}

// Electric piano chords: stabs on a rhythm over beats [b0, b1), 'x' long, 'o' short.
static void keys(Arranger &a, const Section &s, double b0, double b1, const char *rhythm, float velocity) {
    for (int step = step_at(b0); step < step_at(b1); step++) {
        char c = rhythm[step % 16];
        if (c == '.') continue;
        std::vector<int> voices = voice_chord(s, s.chord(step * 0.25), 57, 71);
        for (size_t i = 0; i < voices.size(); i++)
            a.add(s.at(step * 0.25) + i * 0.006, c == 'x' ? 0.9f : 0.3f, MUSIC_KEYS, float(voices[i]),
                  velocity * (c == 'x' ? 1 : 0.7f), float(i) * 0.2f - 0.3f, 0.5f);
    }
}

// Arpeggio over beats [b0, b1): chord tones climbing over two octaves, `per_beat` notes a beat.
static void arpeggio(Arranger &a, const Section &s, double b0, double b1, int per_beat, float velocity, float bright,
                     int low = 62) {
    static const int order[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    int step = 0;
    for (double b = b0; b < b1 - 1e-9; b += 1.0 / per_beat, step++) {
        std::vector<int> up = voice_chord(s, s.chord(b), low, low + 12);
        for (size_t i = 0, n = up.size(); i < n; i++) up.push_back(up[i] + 12);
        int pitch = up[size_t(order[step % 8]) % up.size()];
        float accent = (step % per_beat == 0) ? 1.0f : 0.7f;
        float pan = float(std::sin(step * 0.7)) * 0.5f;
        a.add(s.at(b), BEAT / per_beat * 0.8, MUSIC_PLUCK, float(pitch), velocity * accent, pan, bright);
    }
}

// A two-bar motif: onsets on a sixteenth grid over 32 steps, and the scale steps between notes.
struct Motif {
    bool onset[32] = {};
    int contour[32] = {};
};

// The motif of a seed: strong beats always sound, the other steps by density.
static Motif make_motif(uint32_t seed, int density) {
    ScoreRandom r(seed);
    Motif m;
    for (int i = 0; i < 32; i++) {
        bool strong = i % 8 == 0, beat = i % 4 == 0, eighth = i % 2 == 0;
        float chance = strong ? 0.95f : beat ? 0.35f + 0.15f * density : eighth ? 0.12f + 0.15f * density : 0.04f * density;
        m.onset[i] = r.unit() < chance;
        int move = r.below(5) - 2;
        if (move == 0) move = (r.unit() < 0.5f) ? 1 : -1;
        m.contour[i] = move;
    }
    m.onset[0] = true;
    m.onset[30] = m.onset[31] = false;  // breathe before the phrase repeats
    return m;
}

// A melody over beats [b0, b1): the seed's motif repeated as a sequence over the chords,
// every second phrase an answer with a varied second bar and the contour upside down.
static void melody(Arranger &a, const Section &s, double b0, double b1, uint32_t seed, int density, int low,
                   float velocity, float bright, int instrument = MUSIC_LEAD) {
    const Motif m = make_motif(seed, density);
    const double phrase = 8;  // beats per motif
    int pitch = low + 7;
    for (double start = b0; start < b1 - 1e-9; start += phrase) {
        bool answer = int((start - b0) / phrase) % 2 == 1;
        for (int i = 0; i < 32 && start + i * 0.25 < b1; i++) {
            double b = start + i * 0.25;
            bool on = m.onset[i];
            if (answer && i >= 16) on = i < 28 && (m.onset[(i + 6) % 32] || i % 8 == 0);
            if (!on) continue;
            Chord c = s.chord(b);
            if (i % 8 == 0) pitch = nearest_chord_tone(s, c, pitch + (answer && i == 16 ? -2 : 0));
            else pitch = scale_step(s, c, pitch, m.contour[i] * (answer ? -1 : 1));
            // Keep the line in its range by turning back at the edges.
            if (pitch > low + 17) pitch = scale_step(s, c, pitch, -3);
            if (pitch < low) pitch = scale_step(s, c, pitch, 3);
            // Length until the next onset (at most a beat and a half).
            int next = i + 1;
            while (next < 32 && !m.onset[next]) next++;
            double length = std::min(1.5, (next - i) * 0.25) * BEAT * 0.9;
            float accent = (i % 8 == 0) ? 1.0f : 0.8f;
            a.add(s.at(b), length, instrument, float(pitch), velocity * accent, 0.1f, bright);
            if (instrument == MUSIC_LEAD) a.echo(s.at(b), length, instrument, float(pitch), velocity * accent, bright);
        }
    }
}

// Descending shower of plucks (falling shards, falling sparks) over [t0, t1).
static void shower(Arranger &a, const Section &s, double t0, double t1, uint32_t seed, float velocity) {
    ScoreRandom r(seed);
    int pitch = 96;
    for (double t = t0; t < t1; t += 0.125 * (1 + r.below(2))) {
        pitch = scale_step(s, s.chord((t - s.start) / BEAT), pitch, -1 - r.below(2));
        if (pitch < 62) pitch = 91;
        a.add(t, 0.12, MUSIC_PLUCK, float(pitch), velocity * (0.6f + 0.4f * r.unit()), r.unit() * 1.6f - 0.8f, 0.8f);
    }
}

// Part 1, intro: night, a light that brightens and turns red, smoke; fade in and out.
static void section_intro(Arranger &a, const Section &s) {
    pads(a, s, 0, s.beats(), 0.8f, 0.15f);
    bass(a, s, 0, s.beats() - 6, BASS_DRONE, 0.7f, 0.1f);
    // The light comes up: a slow arpeggio from 8 s.
    arpeggio(a, s, 16, s.beats() - 4, 2, 0.45f, 0.3f);
    // The light turns red at 10-12 s: a short swell.
    riser(a, s.local(8), s.local(12), 0.5f);
    crash(a, s.local(12), 0.5f);
    // A heartbeat under the smoke, then the fade out.
    drums(a, s, 24, s.beats() - 6, HEARTBEAT, 0.7f);
    drums(a, s, 36, s.beats() - 6, SOFT_KIT, 0.5f);
    melody(a, s, 32, s.beats() - 6, 11, 0, 67, 0.45f, 0.2f);
    riser(a, s.at(s.beats() - 6), s.end, 0.7f);
}

// Part 2, mirror room: credits, choreography, ripples, the tremble and the shatter.
static void section_mirror(Arranger &a, const Section &s) {
    double shatter = 37.0 / BEAT;  // beat of the shatter (local 37 s)
    crash(a, s.start, 0.8f);
    drums(a, s, 0, 8, HEARTBEAT, 0.9f);
    drums(a, s, 8, 40, FOUR_FLOOR, 0.85f);
    drums(a, s, 40, shatter - 8, FOUR_FLOOR_16, 0.95f);
    bass(a, s, 0, 8, BASS_DRONE, 0.8f, 0.2f);
    bass(a, s, 8, shatter - 2, BASS_OFFBEAT, 0.85f, 0.35f);
    pads(a, s, 0, shatter, 0.75f, 0.35f);
    arpeggio(a, s, 16, shatter - 4, 4, 0.5f, 0.45f);
    // The model starts to move after the credits: the theme.
    melody(a, s, 40, shatter - 8, 1234, 1, 67, 0.75f, 0.5f);
    crash(a, s.at(40), 0.7f);
    // The touch of the mirror (frame 78, about 30 s): a bell-like accent.
    a.add(s.local(30.0), 0.6, MUSIC_KEYS, 86, 0.8f, 0.3f);
    a.add(s.local(30.0), 0.6, MUSIC_KEYS, 81, 0.6f, -0.3f);
    // Build into the shatter: riser, snare roll, the tremble at 34.2.
    riser(a, s.at(shatter - 16), s.at(shatter), 1.0f);
    fill(a, s, shatter - 8, shatter, false);
    drums(a, s, shatter - 8, shatter, FOUR_FLOOR, 0.8f);
    a.add(s.local(34.2), 0.4, MUSIC_TOM, 40, 0.9f);
    // The shatter: a hit, a ringing chord and the shards falling.
    hit(a, s.at(shatter), 1.0f);
    Section ringing = s.on(LIFT, 64);
    pads(a, ringing, shatter, s.beats(), 0.9f, 0.6f);
    shower(a, ringing, s.at(shatter) + 0.1, s.local(39.9), 77, 0.55f);
}

// Part 3, wobbel torus, with the wipe into the warp pass at its end.
static void section_torus(Arranger &a, const Section &s, double wipe) {
    hit(a, s.start, 0.9f);
    drums(a, s, 0, 8, FOUR_FLOOR, 0.9f);
    drums(a, s, 8, s.beats() - 4, FOUR_FLOOR_16, 1.0f);
    bass(a, s, 0, s.beats() - 1, BASS_DRIVE, 0.85f, 0.5f);
    pads(a, s, 0, s.beats(), 0.6f, 0.5f);
    arpeggio(a, s, 0, s.beats(), 4, 0.55f, 0.7f, 69);
    melody(a, s, 16, (wipe - s.start) / BEAT, 4321, 2, 69, 0.7f, 0.6f);
    for (double b = 16; b < s.beats(); b += 16) crash(a, s.at(b), 0.6f);
    // The wipe: a sweep over its seconds and a tom fill into the cut.
    riser(a, wipe, s.end, 0.9f);
    fill(a, s, s.beats() - 4, s.beats(), true);
}

// Part 4, warp pass: a half-time groove, the model beams in at 7 to 10 s.
static void section_warp(Arranger &a, const Section &s, double part_start) {
    // The part's own clock started with the wipe, so its moments are offset from the cut.
    double beam = 10.0 / BEAT - (s.start - part_start) / BEAT;
    crash(a, s.start, 0.8f);
    a.add(s.start, 0.1, MUSIC_KICK, 60, 1.0f);
    drums(a, s, 0, beam, HALF_TIME, 0.8f);
    bass(a, s, 0, s.beats(), BASS_PULSE, 0.7f, 0.3f);
    pads(a, s, 0, s.beats(), 0.7f, 0.55f);
    arpeggio(a, s, 0, s.beats(), 2, 0.45f, 0.5f);
    riser(a, s.at(std::max(0.0, beam - 6)), s.at(beam), 0.8f);
    hit(a, s.at(beam), 0.8f);
    drums(a, s, beam, s.beats() - 4, BREAKBEAT, 0.9f);
    melody(a, s, beam, s.beats() - 4, 999, 1, 65, 0.65f, 0.45f);
    fill(a, s, s.beats() - 4, s.beats(), false);
}

// Part 5, oil room: the walk in, the flash and shake, falling fragments, rising flares.
static void section_oil(Arranger &a, const Section &s) {
    double flash = 21.5;  // beat near the white flash at 10.7 s
    crash(a, s.start, 0.7f);
    drums(a, s, 0, flash - 4, HALF_TIME, 0.75f);
    bass(a, s, 0, flash - 1, BASS_DRONE, 0.8f, 0.25f);
    pads(a, s, 0, flash, 0.7f, 0.3f);
    riser(a, s.at(12), s.at(flash), 1.0f);
    fill(a, s, flash - 4, flash, true);
    hit(a, s.at(flash), 1.0f);
    // Fragments fall from 12 to 15 s: toms as they drop.
    const double drops[5] = {12.0, 12.7, 13.0, 13.5, 15.0};
    for (int i = 0; i < 5; i++) a.add(s.local(drops[i]), 0.2, MUSIC_TOM, 45 - i * 2.0f, 0.8f, i * 0.4f - 0.8f);
    // Heavy groove after the fragments, on other chords.
    double groove = 30;
    Section heavy = s.on(MINOR4, 8);
    drums(a, s, groove, s.beats() - 8, FOUR_FLOOR_16, 1.0f);
    bass(a, heavy, groove, s.beats() - 1, BASS_DRIVE, 0.85f, 0.45f);
    pads(a, heavy, flash, s.beats(), 0.7f, 0.5f);
    arpeggio(a, heavy, groove, s.beats(), 4, 0.5f, 0.6f);
    melody(a, heavy, groove + 8, s.beats() - 8, 555, 2, 67, 0.7f, 0.55f);
    for (double b = groove; b < s.beats(); b += 16) crash(a, s.at(b), 0.65f);
    // The circling flares rise out of view (44 to 48 s): riser and roll into the greetings.
    riser(a, s.at(s.beats() - 8), s.end, 1.0f);
    fill(a, s, s.beats() - 8, s.beats(), false);
    drums(a, s, s.beats() - 8, s.beats(), FOUR_FLOOR, 0.8f);
}

// Part 6, greetings: a funky groove with a new phrase at each picture (every 6 s), fade at the end.
static void section_greetings(Arranger &a, const Section &s) {
    double fade = 28.0 / BEAT;
    for (double b = 0; b < fade; b += 12) crash(a, s.at(b), b == 0 ? 0.8f : 0.5f);
    drums(a, s, 0, fade, FUNK, 0.9f);
    bass(a, s, 0, fade, BASS_FUNK, 0.85f, 0.55f);
    keys(a, s, 0, s.beats(), "..x...o...x..o..", 0.6f);
    pads(a, s, 0, s.beats(), 0.4f, 0.4f);
    melody(a, s, 12, fade, 2468, 2, 69, 0.6f, 0.7f);
    // The picture fades to black: the groove stops, the chords ring out.
    crash(a, s.at(fade), 0.5f);
}

// Part 7, rock tunnel: lightning for 22 s, a stormy drive, then calm before the water.
static void section_tunnel(Arranger &a, const Section &s) {
    double storm = 22.0 / BEAT;
    hit(a, s.start, 0.8f);
    drums(a, s, 0, storm, FOUR_FLOOR_16, 0.95f);
    bass(a, s, 0, storm, BASS_DRIVE, 0.85f, 0.6f);
    pads(a, s, 0, s.beats(), 0.7f, 0.4f);
    arpeggio(a, s, 0, storm, 4, 0.45f, 0.6f);
    melody(a, s, 8, storm, 7777, 1, 62, 0.6f, 0.45f);
    for (double b = 0; b < storm; b += 8) a.add(s.at(b) + 0.25, 0.1, MUSIC_TOM, 38, 0.6f, 0.5f);
    crash(a, s.at(storm), 0.7f);
    bass(a, s, storm, s.beats(), BASS_DRONE, 0.7f, 0.2f);
    arpeggio(a, s, storm, s.beats(), 2, 0.4f, 0.4f);
}

// Part 8, water: fades in, floating chords and a calm line.
static void section_water(Arranger &a, const Section &s) {
    pads(a, s, 0, s.beats(), 0.8f, 0.55f);
    bass(a, s, 0, s.beats(), BASS_DRONE, 0.6f, 0.2f);
    arpeggio(a, s, 4, s.beats(), 4, 0.35f, 0.4f, 67);
    drums(a, s, 16, s.beats(), SOFT_KIT, 0.45f);
    melody(a, s, 8, s.beats(), 31337, 0, 72, 0.5f, 0.3f, MUSIC_KEYS);
}

// Part 9 first run, light ball: builds up to the white flash of the spider.
static void section_lightball(Arranger &a, const Section &s) {
    pads(a, s, 0, s.beats(), 0.7f, 0.5f);
    bass(a, s, 0, 8, BASS_DRONE, 0.7f, 0.3f);
    bass(a, s, 8, s.beats() - 1, BASS_OFFBEAT, 0.8f, 0.4f);
    drums(a, s, 8, 16, HEARTBEAT, 0.9f);
    drums(a, s, 16, s.beats() - 8, FOUR_FLOOR, 0.85f);
    arpeggio(a, s, 0, s.beats(), 4, 0.45f, 0.55f, 67);
    melody(a, s, 16, s.beats() - 8, 1234, 1, 67, 0.65f, 0.5f);
    riser(a, s.at(s.beats() - 16), s.end, 1.0f);
    fill(a, s, s.beats() - 8, s.beats(), false);
    drums(a, s, s.beats() - 8, s.beats(), FOUR_FLOOR, 0.8f);
}

// Part 10, spider: a white flash, a bouncy two-dimensional interlude, a white-out.
static void section_spider(Arranger &a, const Section &s) {
    double white = 14.0 / BEAT;
    hit(a, s.start, 1.0f);
    drums(a, s, 0, white - 4, BREAKBEAT, 0.9f);
    bass(a, s, 0, white, BASS_FUNK, 0.8f, 0.6f);
    pads(a, s, 0, s.beats(), 0.5f, 0.5f);
    melody(a, s, 0, white - 4, 4242, 2, 72, 0.55f, 0.8f, MUSIC_PLUCK);
    riser(a, s.at(white - 8), s.end, 1.0f);
    fill(a, s, white - 4, s.beats(), false);
}

// Part 9 second run, night: the climax on the theme, the flicker, the pull, the static.
static void section_night(Arranger &a, const Section &s) {
    double flicker0 = 20.0 / BEAT, flicker1 = 26.0 / BEAT, pull = 37.0 / BEAT, noise = 45.0 / BEAT;
    hit(a, s.start, 1.0f);
    drums(a, s, 0, flicker0, FOUR_FLOOR_16, 1.0f);
    bass(a, s, 0, pull, BASS_DRIVE, 0.9f, 0.6f);
    pads(a, s, 0, pull, 0.7f, 0.6f);
    arpeggio(a, s, 0, pull, 4, 0.5f, 0.75f, 69);
    melody(a, s, 0, pull - 4, 1234, 1, 69, 0.8f, 0.65f);  // the theme of the mirror room
    // The flicker: the beat stutters on sixteenth kicks and claps.
    for (double b = flicker0; b < flicker1; b += 0.25) {
        if (int(b * 4) % 3 != 2) a.add(s.at(b), 0.1, MUSIC_KICK, 60, 0.6f + 0.4f * float((b - flicker0) / (flicker1 - flicker0)));
        if (int(b * 4) % 8 == 4) a.add(s.at(b), 0.1, MUSIC_CLAP, 60, 0.9f);
    }
    drums(a, s, flicker0, flicker1, FOUR_FLOOR_16, 0.35f);
    hit(a, s.at(flicker1), 0.9f);
    drums(a, s, flicker1, pull - 4, FOUR_FLOOR_16, 1.0f);
    fill(a, s, pull - 4, pull, true);
    // Everything is pulled into the ball: the groove falls away, a long chord and static.
    hit(a, s.at(pull), 0.8f);
    Section pulled = s.on(DARK, 16);
    pads(a, pulled, pull, s.beats(), 0.8f, 0.3f);
    bass(a, pulled, pull, noise, BASS_DRONE, 0.6f, 0.2f);
    shower(a, pulled, s.at(pull) + 0.2, s.at(noise), 99, 0.35f);
    a.add(s.at(noise), s.end - s.at(noise) + 0.3, MUSIC_STATIC, 60, 0.9f);
}

// Part 11, sofa room: a late-night groove; the television's static dies at 5 to 7 s.
static void section_sofa(Arranger &a, const Section &s) {
    a.add(s.start, 6.0, MUSIC_STATIC, 60, 0.6f);
    keys(a, s, 0, s.beats(), "x.......x..o....", 0.55f);
    bass(a, s, 4, s.beats(), BASS_WALK, 0.7f, 0.15f);
    drums(a, s, 8, s.beats(), BRUSH, 0.55f);
    // The lamp swings from 13 s: a gentle line.
    melody(a, s, 26.0, s.beats(), 8080, 0, 67, 0.45f, 0.25f);
    pads(a, s, 0, s.beats(), 0.3f, 0.3f);
}

// Part 12, end screen: the last chords, fading with the picture.
static void section_end(Arranger &a, const Section &s) {
    keys(a, s, 0, 16, "x.......x.......", 0.5f);
    pads(a, s, 0, 16, 0.5f, 0.3f);
    bass(a, s, 0, 16, BASS_DRONE, 0.6f, 0.15f);
    // The final chord: D major, held to the end.
    pads(a, s.on(FINAL, 64), 16, s.beats(), 0.8f, 0.35f);
    bass(a, s.on(FINAL, 64), 16, s.beats(), BASS_DRONE, 0.6f, 0.1f);
    for (int pitch : {74, 78, 81}) a.add(s.at(16), 3.0, MUSIC_KEYS, pitch, pitch == 74 ? 0.5f : 0.4f);
}

std::vector<MusicNote> music_score() {
    Arranger a;
    const ShowTime *t = show_times;
    auto section = [&](int from, int to, int key, const Chord *chords, int beats_per_chord = 8) {
        return Section{t[from].seconds, t[to].seconds, key, chords, beats_per_chord};
    };
    const int D = 38;
    section_intro(a, section(0, 1, D, DARK));
    section_mirror(a, section(1, 2, D, EPIC));
    section_torus(a, section(2, 4, D + 2, DRIVE), t[3].seconds);
    section_warp(a, section(4, 5, D, MINOR4), t[3].seconds);
    section_oil(a, section(5, 6, D - 2, DARK));
    section_greetings(a, section(6, 7, D, EPIC, 6));
    section_tunnel(a, section(7, 8, D, DARK));
    section_water(a, section(8, 10, D, FLOAT));
    section_lightball(a, section(10, 12, D, LIFT));
    section_spider(a, section(12, 13, D + 2, MINOR4, 4));
    section_night(a, section(13, 14, D + 2, EPIC));
    section_sofa(a, section(14, 15, D, JAZZ));
    section_end(a, section(15, 17, D, JAZZ));
    // Nothing sounds past the end of the show.
    double end = t[SHOW_TIME_COUNT - 1].seconds;
    std::vector<MusicNote> notes;
    for (const MusicNote &note : a.notes)
        if (note.start < end) notes.push_back(note);
    std::stable_sort(notes.begin(), notes.end(), [](const MusicNote &x, const MusicNote &y) { return x.start < y.start; });
    return notes;
}

// Breakpoints of the overall level: quieter where the picture fades, full at the big moments.
float music_gain(double time) {
    const ShowTime *t = show_times;
    const double points[][2] = {
        {t[0].seconds, 0.35},        {t[0].seconds + 8, 1.0},      {t[1].seconds - 3, 1.0},
        {t[1].seconds, 0.6},         {t[1].seconds + 0.01, 0.9},   {t[1].seconds + 37, 1.0},
        {t[1].seconds + 39.9, 0.45}, {t[2].seconds, 0.45},         {t[2].seconds + 0.01, 1.0},
        {t[6].seconds + 28, 1.0},    {t[7].seconds, 0.5},          {t[7].seconds + 0.01, 1.0},
        {t[8].seconds, 0.85},        {t[8].seconds + 0.01, 0.55},  {t[8].seconds + 4, 0.9},
        {t[13].seconds + 37, 1.0},   {t[14].seconds, 0.75},        {t[15].seconds, 0.85},
        {t[15].seconds + 12, 0.85},  {t[15].seconds + 15, 0.0},    {t[17].seconds, 0.0},
    };
    const int count = int(sizeof points / sizeof points[0]);
    if (time <= points[0][0]) return float(points[0][1]);
    for (int i = 1; i < count; i++)
        if (time < points[i][0]) {
            double f = (time - points[i - 1][0]) / std::max(1e-9, points[i][0] - points[i - 1][0]);
            return float(points[i - 1][1] + (points[i][1] - points[i - 1][1]) * f);
        }
    return float(points[count - 1][1]);
}
