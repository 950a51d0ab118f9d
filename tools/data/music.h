// music.h: the soundtrack: a score of notes arranged on the show's time table,
// a small synthesizer that renders it, and the mastering that makes "Music".
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int MUSIC_RATE = 44100;

// The drums (MUSIC_HAT the closed hi-hat); the tonal instruments, MUSIC_BASS to MUSIC_KEYS, which
// duck under the kick (the pluck plays the arpeggios, the keys are an electric piano); the effects:
// a noise sweep into a big moment, a boom on it, television static.
enum MusicInstrument {
    MUSIC_KICK, MUSIC_SNARE, MUSIC_CLAP, MUSIC_HAT, MUSIC_OPEN_HAT, MUSIC_CRASH, MUSIC_TOM,
    MUSIC_BASS, MUSIC_PAD, MUSIC_PLUCK, MUSIC_LEAD, MUSIC_KEYS,
    MUSIC_RISER, MUSIC_IMPACT, MUSIC_STATIC,
    MUSIC_INSTRUMENT_COUNT
};

struct MusicNote {
    double start = 0;     // seconds of the show
    double length = 0;    // seconds the note is held (release comes after)
    int instrument = 0;
    float pitch = 60;     // MIDI note number (drums ignore or use it as a tune)
    float velocity = 1;   // 0..1
    float pan = 0;        // -1 left .. 1 right
    float param = 0.5f;   // instrument colour: brightness, decay
};

// The whole score, sorted by start time.
std::vector<MusicNote> music_score();
// Overall level of the arrangement at a time (quieter where the picture fades).
float music_gain(double t);
// Seconds a note sounds after its start, release included.
double music_note_span(const MusicNote &note);
// Add one note into a stereo interleaved bus covering [from, from + frames / MUSIC_RATE),
// and its reverb share into the mono send bus. Notes render the same whatever the window.
void music_render_note(const MusicNote &note, uint32_t seed, double from, size_t frames, float *bus, float *send);
// Stereo reverb of a mono send bus, added into a stereo interleaved bus.
void music_reverb(const float *send, size_t frames, float *bus);
// The mastered soundtrack from `start` to `end` seconds, interleaved stereo -1..1.
std::vector<float> music_render(double start, double end);
