// music.cpp: starts the soundtrack before the main loop and stops it after, through the player.
#include "demo/music.h"

#include <cstdint>

#include "app/messages.h"
#include "platform/music_player.h"

static MusicPlayer *music_player = nullptr;

// Whole seconds as the player's unsigned 16-bit argument: truncated toward zero, and kept
// inside 0..65535 so that no offset (negative, huge or not a number) converts out of range.
static uint16_t whole_seconds(float seconds) {
    if (!(seconds > 0.0f)) return 0;
    if (seconds >= 65535.0f) return 65535;
    return uint16_t(seconds);
}

void music_start(bool music_on, float start_offset) {
    if (!music_on) return;
    screen_print("Loading music...", false);
    player_set_note(log_line);
    if (player_new(&music_player, nullptr) != 0) fatal_error("Couldn't init XAudio!");
    control_message_send(music_player, PLAYER_MSG_OPEN, "Music");
    control_message_send(music_player, PLAYER_MSG_PLAY);
    // Offset and range travel as unsigned 16-bit whole seconds (truncated toward zero).
    uint16_t offset = whole_seconds(start_offset);
    uint16_t range = whole_seconds(float(MUSIC_TRACK_SECONDS));
    control_message_send(music_player, PLAYER_MSG_SEEK, offset, range);
}

void music_stop() {
    if (!music_player) return;
    control_message_send(music_player, PLAYER_MSG_STOP);
    control_message_send(music_player, PLAYER_MSG_EXIT);
    if (player_delete(&music_player) != 0) fatal_error("Couldn't delete XAudio!");
}

// Positions finer than whole seconds: hundredths of a second of the track, which still fit
// the player's 16-bit offset and range.
enum { MUSIC_FINE_STEPS = 100 };

void music_pause() {
    if (music_player) control_message_send(music_player, PLAYER_MSG_STOP);
}

void music_seek(float seconds, bool playing) {
    if (!music_player) return;
    uint16_t range = uint16_t(int(MUSIC_TRACK_SECONDS) * int(MUSIC_FINE_STEPS));
    float steps = seconds * float(MUSIC_FINE_STEPS);
    uint16_t offset = steps >= float(range) ? range : whole_seconds(steps);
    if (playing) control_message_send(music_player, PLAYER_MSG_PLAY);
    control_message_send(music_player, PLAYER_MSG_SEEK, offset, range);
}

void music_resume(float seconds) { music_seek(seconds, true); }

const MusicPlayer *music_current_player() { return music_player; }
