// music.h: the driver's start and stop of the soundtrack.
#pragma once

// Length of the soundtrack in seconds, the range the start offset is measured against.
enum { MUSIC_TRACK_SECONDS = 364 };

// Start "Music" at the start offset (whole seconds of the 364-second track); nothing when off.
void music_start(bool music_on, float start_offset);
// Stop and release the player; nothing when it was not started.
void music_stop();

struct MusicPlayer;
// The running player, or null when the music is off or stopped.
const MusicPlayer *music_current_player();
