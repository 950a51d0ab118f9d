// music_player.cpp: the soundtrack player: libmpg123 decodes "Music", SDL audio plays it.
#include "platform/music_player.h"

#include <SDL.h>
#include <mpg123.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/fatal.h"

// After PLAY, the output waits this long for a SEEK before it starts from the current position,
// so that "play, then seek" never sounds a piece of the track's beginning.
enum { START_GRACE_MS = 50 };

struct MusicPlayer {
    mpg123_handle *decoder;
    SDL_AudioDeviceID device;  // 0 while no audio output is open
    bool audio_subsystem;      // this player initialised SDL audio
    long rate;
    int channels;
    int64_t length;      // decoded PCM frames
    int64_t seek_frame;  // where the last seek put the decoder, -1 before any
    SDL_atomic_t start_pending;
    Uint32 play_tick;
    bool finished;  // end of stream reached: the callback plays silence
};

static int live_players = 0;
static PlayerNote player_note = nullptr;

void player_set_note(PlayerNote note) { player_note = note; }

// Report a soundtrack problem: the show goes on without sound.
static void music_note(const char *problem, const char *detail) {
    char line[512];
    snprintf(line, sizeof line, "MUSIC: [Music] %s (%s); the show plays without sound", problem,
             detail ? detail : "");
    fprintf(stderr, "%s\n", line);
    if (player_note) player_note(line);
}

// Audio thread: decode the next piece of the track into the output buffer.
static void SDLCALL fill_audio(void *userdata, Uint8 *stream, int length) {
    MusicPlayer *player = static_cast<MusicPlayer *>(userdata);
    size_t done = 0;
    if (SDL_AtomicGet(&player->start_pending)) {
        if (SDL_GetTicks() - player->play_tick < START_GRACE_MS) {
            SDL_memset(stream, 0, size_t(length));
            return;
        }
        SDL_AtomicSet(&player->start_pending, 0);
    }
    while (done < size_t(length) && !player->finished) {
        size_t got = 0;
        int result = mpg123_read(player->decoder, stream + done, size_t(length) - done, &got);
        done += got;
        if (result == MPG123_DONE || (got == 0 && result != MPG123_NEW_FORMAT)) player->finished = true;
    }
    SDL_memset(stream + done, 0, size_t(length) - done);
}

// Close the audio output and the input file (the player itself stays).
static void close_input(MusicPlayer *player) {
    if (player->device) {
        SDL_CloseAudioDevice(player->device);
        player->device = 0;
    }
    if (player->decoder) {
        mpg123_close(player->decoder);
        mpg123_delete(player->decoder);
        player->decoder = nullptr;
    }
    if (player->audio_subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        player->audio_subsystem = false;
    }
    player->length = 0;
}

// Open the track, scan it for exact sample positions and open a paused audio output for it.
static int open_input(MusicPlayer *player, const char *name) {
    close_input(player);
    int error = MPG123_OK;
    player->decoder = mpg123_new(nullptr, &error);
    if (!player->decoder) {
        music_note("cannot create a decoder", mpg123_plain_strerror(error));
        return 1;
    }
    // Gapless decoding drops the encoder delay and padding named in the LAME tag, so that
    // sample 0 is the first sample of the music and seeks land where the clock expects.
    mpg123_param(player->decoder, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    if (mpg123_open(player->decoder, name) != MPG123_OK) {
        music_note("cannot be opened", mpg123_strerror(player->decoder));
        close_input(player);
        return 1;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(player->decoder, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels < 1 || channels > 2) {
        music_note("is not a playable MP3 stream", mpg123_strerror(player->decoder));
        close_input(player);
        return 1;
    }
    mpg123_format_none(player->decoder);
    mpg123_format(player->decoder, rate, channels, MPG123_ENC_SIGNED_16);
    if (mpg123_scan(player->decoder) != MPG123_OK) {
        music_note("cannot be scanned", mpg123_strerror(player->decoder));
        close_input(player);
        return 1;
    }
    off_t length = mpg123_length(player->decoder);
    if (length <= 0) {
        music_note("holds no audio", "length 0");
        close_input(player);
        return 1;
    }
    player->rate = rate;
    player->channels = channels;
    player->length = int64_t(length);
    player->finished = false;
    player->seek_frame = -1;

    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            music_note("has no audio output", SDL_GetError());
            close_input(player);
            return 1;
        }
        player->audio_subsystem = true;
    }
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = int(rate);
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(channels);
    want.samples = PLAYER_BUFFER_FRAMES;
    want.callback = fill_audio;
    want.userdata = player;
    SDL_AudioSpec have;
    player->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!player->device) {
        music_note("has no audio output", SDL_GetError());
        close_input(player);
        return 1;
    }
    return 0;
}

// Move the decoder to offset / range of the track's length (whole PCM frames).
static int seek_to(MusicPlayer *player, unsigned offset, unsigned range) {
    if (!player->decoder) return 1;
    int64_t frame = 0;
    if (range > 0) frame = int64_t(offset) * player->length / int64_t(range);
    if (frame > player->length) frame = player->length;
    if (player->device) SDL_LockAudioDevice(player->device);
    off_t reached = mpg123_seek(player->decoder, off_t(frame), SEEK_SET);
    player->finished = reached < 0 || frame >= player->length;
    player->seek_frame = reached < 0 ? -1 : int64_t(reached);
    SDL_AtomicSet(&player->start_pending, 0);
    if (player->device) SDL_UnlockAudioDevice(player->device);
    return reached < 0 ? 1 : 0;
}

int player_new(MusicPlayer **player, void *) {
    if (!player) return 1;
    *player = nullptr;
    if (mpg123_init() != MPG123_OK) return 1;
    MusicPlayer *created = static_cast<MusicPlayer *>(calloc(1, sizeof(MusicPlayer)));
    if (!created) return 1;
    created->seek_frame = -1;
    *player = created;
    ++live_players;
    return 0;
}

int control_message_send(MusicPlayer *player, int code, ...) {
    if (!player) return 1;
    va_list arguments;
    va_start(arguments, code);
    int result = 0;
    switch (code) {
    case PLAYER_MSG_OPEN: {
        const char *name = va_arg(arguments, const char *);
        result = name ? open_input(player, name) : 1;
        break;
    }
    case PLAYER_MSG_PLAY:
        if (!player->device) {
            result = 1;
            break;
        }
        player->play_tick = SDL_GetTicks();
        SDL_AtomicSet(&player->start_pending, 1);
        SDL_PauseAudioDevice(player->device, 0);
        break;
    case PLAYER_MSG_SEEK: {
        // Both arrive as unsigned 16-bit values, promoted to int through the argument list.
        unsigned offset = unsigned(va_arg(arguments, int)) & 0xffffu;
        unsigned range = unsigned(va_arg(arguments, int)) & 0xffffu;
        result = seek_to(player, offset, range);
        break;
    }
    case PLAYER_MSG_STOP:
        if (player->device) SDL_PauseAudioDevice(player->device, 1);
        break;
    case PLAYER_MSG_EXIT:
        close_input(player);
        break;
    default:
        result = 1;
        break;
    }
    va_end(arguments);
    return result;
}

int player_delete(MusicPlayer **player) {
    if (!player || !*player) return 1;
    close_input(*player);
    free(*player);
    *player = nullptr;
    --live_players;
    return 0;
}

int64_t player_seek_frame(const MusicPlayer *player) { return player ? player->seek_frame : -1; }

int64_t player_length_frames(const MusicPlayer *player) { return player ? player->length : 0; }

int player_live_count() { return live_players; }
