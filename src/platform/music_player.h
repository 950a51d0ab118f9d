// music_player.h: the MP3 player behind the soundtrack: open "Music", play, seek, stop, release.
#pragma once
#include <cstdint>

// Message codes the player understands (the codes of the original player library).
enum {
    PLAYER_MSG_EXIT = 1,  // stop and close the input
    PLAYER_MSG_PLAY = 3,  // start playing at the current position
    PLAYER_MSG_STOP = 5,  // stop the audio output
    PLAYER_MSG_SEEK = 6,  // two arguments: offset and range (unsigned 16-bit); go to offset / range of the track
    PLAYER_MSG_OPEN = 7,  // one argument: the file name, opened from the working directory
};

// Samples of audio per output buffer (per channel): about 12 ms at 44.1 kHz.
enum { PLAYER_BUFFER_FRAMES = 512 };

struct MusicPlayer;

// Where the player reports a soundtrack problem (besides standard error): the log, say.
typedef void (*PlayerNote)(const char *line);
void player_set_note(PlayerNote note);

// Create a player into *player; returns 0 on success, non-zero on failure.
int player_new(MusicPlayer **player, void *arguments);
// Send one message with its arguments; returns 0 when the message took effect.
int control_message_send(MusicPlayer *player, int code, ...);
// Stop and release the player, clearing *player; returns 0 on success.
int player_delete(MusicPlayer **player);

// PCM frame (per channel) at which the last seek placed the decoder; -1 before any seek.
int64_t player_seek_frame(const MusicPlayer *player);
// Decoded length of the opened track in PCM frames (0 when nothing is open).
int64_t player_length_frames(const MusicPlayer *player);
// Number of players alive now (lets callers check that no audio was touched).
int player_live_count();
