// music.h: the driver's start and stop of the soundtrack.
#pragma once

// Length of the soundtrack in seconds, the range the start offset is measured against.
enum { MUSIC_TRACK_SECONDS = 364 };

// Start "Music" at the start offset (whole seconds of the 364-second track); nothing when off.
void music_start(bool music_on, float start_offset);
// Stop and release the player; nothing when it was not started.
void music_stop();

// The tool mode's control of a running player (nothing when the music is off): pause, and
// play on from a show time (to a hundredth of a second), paused or playing.
void music_pause();
void music_resume(float seconds);
void music_seek(float seconds, bool playing);

struct MusicPlayer;
// The running player, or null when the music is off or stopped.
const MusicPlayer *music_current_player();
