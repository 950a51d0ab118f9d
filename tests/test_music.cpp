// test_music.cpp: the soundtrack player plays "Music" from offset / range of its length.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "demo/music.h"
#include "platform/music_player.h"
#include "support/scratch_dir.h"
#include "support/test_mp3.h"
#include "writers/bmp_writer.h"

namespace {

const int RATE = 44100;
// A 3.64-second track stands in for the 364-second soundtrack: one second of it per 100.
const int TRACK_FRAMES = 160524;

// Stereo test signal: a slow chirp (left) and its octave (right), so each moment sounds unique.
const std::vector<short> &track_signal() {
    static const std::vector<short> pcm = [] {
        std::vector<short> v;
        for (int i = 0; i < TRACK_FRAMES; ++i) {
            double t = double(i) / RATE, phase = 2.0 * M_PI * (220.0 * t + 120.0 * t * t);
            v.push_back(short(9000.0 * sin(phase) + 3000.0 * sin(2.0 * M_PI * 97.0 * t)));
            v.push_back(short(9000.0 * sin(2.0 * phase)));
        }
        return v;
    }();
    return pcm;
}

// "Music" from the test signal.
bool write_music() { return write_test_mp3("Music", track_signal(), RATE); }

std::vector<short> read_raw(const std::string &path) {
    std::vector<uint8_t> bytes = read_bytes(path);
    std::vector<short> samples(bytes.size() / sizeof(short));
    memcpy(samples.data(), bytes.data(), samples.size() * sizeof(short));
    return samples;
}

// Lag (in frames, relative to `expected`) at which the played window best matches the signal.
int best_lag(const std::vector<short> &signal, const short *played, int frames, int expected, int search) {
    double best = -1e300;
    int best_lag = 0;
    for (int lag = -search; lag <= search; ++lag) {
        int start = expected + lag;
        if (start < 0 || start + frames > TRACK_FRAMES) continue;
        double sum = 0.0;
        for (int i = 0; i < frames * 2; ++i) sum += double(played[i]) * double(signal[size_t(start) * 2 + i]);
        if (sum > best) best = sum, best_lag = lag;
    }
    return best_lag;
}

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        raw_path = std::string(scratch.path) + "/out.raw";
        setenv("SDL_DISKAUDIOFILE", raw_path.c_str(), 1);
    }
    ScratchDir scratch;
    std::string raw_path;
};

// Played from "pos" 100.7 the player starts at offset 100 of the 364-second range: 100/364
// of this track, exactly 1.0 s; from 0 it starts at the first sample. The samples played are
// the track's own, close to the signal that was encoded.
TEST_F(MusicTest, PlaysTheTrackFromTheStartOffsetAsAShareOfTheRange) {
    ASSERT_TRUE(write_music());
    for (float pos : {100.7f, 0.0f}) {
        SCOPED_TRACE(pos);
        const int expected = pos > 0 ? RATE : 0;
        remove(raw_path.c_str());
        music_start(true, pos);
        ASSERT_NE(music_current_player(), nullptr);
        EXPECT_EQ(player_length_frames(music_current_player()), TRACK_FRAMES) << "encoder delay not removed";
        EXPECT_EQ(player_seek_frame(music_current_player()), int64_t(expected));
        SDL_Delay(400);
        music_stop();
        EXPECT_EQ(music_current_player(), nullptr);

        std::vector<short> played = read_raw(raw_path);
        size_t first = 0;
        while (first < played.size() && played[first] == 0) ++first;
        first &= ~size_t(1);
        const int window = 4096;
        ASSERT_GE(played.size(), first + window * 2) << "too little audio was written";
        // The signal's first sample is 0 on both channels: from 0 the first sound may be the second.
        int lag = best_lag(track_signal(), &played[first], window, expected, pos > 0 ? 3000 : 40);
        EXPECT_LE(std::abs(lag), 2) << "start error in samples";
        double energy = 0.0, difference = 0.0;
        for (int i = 0; i < window * 2; ++i) {
            double original = track_signal()[size_t(expected + lag) * 2 + i];
            energy += original * original;
            difference += (played[first + i] - original) * (played[first + i] - original);
        }
        EXPECT_LT(difference / energy, 0.01);
    }
}

TEST_F(MusicTest, NosoundMakesNoAudioCall) {
    ASSERT_TRUE(write_music());
    music_start(false, 100.7f);
    EXPECT_EQ(music_current_player(), nullptr);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    music_stop();
    EXPECT_EQ(access(raw_path.c_str(), F_OK), -1) << "an audio output was opened";
}

// A missing or undecodable soundtrack is noted and the show runs without sound.
TEST_F(MusicTest, MissingOrUndecodableMusicIsNotFatal) {
    for (bool missing : {true, false}) {
        if (!missing) {
            std::vector<uint8_t> junk(5000);
            for (size_t i = 0; i < junk.size(); ++i) junk[i] = uint8_t(i * 7 + 3);
            ASSERT_TRUE(write_file("Music", junk));
        }
        ::testing::internal::CaptureStderr();
        music_start(true, 5.0f);
        std::string note = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(note.find(missing ? "MUSIC: [Music] cannot be opened" : "without sound"), std::string::npos) << note;
        if (missing) {
            ASSERT_NE(music_current_player(), nullptr);
            EXPECT_EQ(player_length_frames(music_current_player()), 0);
        }
        music_stop();
        EXPECT_EQ(player_live_count(), 0);
        EXPECT_TRUE(!missing || SDL_WasInit(SDL_INIT_AUDIO) == 0u);
    }
}

TEST_F(MusicTest, SeekBeyondTheEndPlaysSilence) {
    ASSERT_TRUE(write_music());
    MusicPlayer *player = nullptr;
    ASSERT_EQ(player_new(&player, nullptr), 0);
    ASSERT_EQ(control_message_send(player, PLAYER_MSG_OPEN, "Music"), 0);
    control_message_send(player, PLAYER_MSG_PLAY);
    control_message_send(player, PLAYER_MSG_SEEK, 400, 364);
    EXPECT_EQ(player_seek_frame(player), TRACK_FRAMES);
    SDL_Delay(100);
    control_message_send(player, PLAYER_MSG_STOP);
    control_message_send(player, PLAYER_MSG_EXIT);
    EXPECT_EQ(player_delete(&player), 0);
    EXPECT_EQ(player, nullptr);
    std::vector<short> played = read_raw(raw_path);
    for (short sample : played) ASSERT_EQ(sample, 0);
}

TEST(MusicPlayer, RejectsUnknownMessagesAndNullHandles) {
    MusicPlayer *player = nullptr;
    ASSERT_EQ(player_new(&player, nullptr), 0);
    EXPECT_NE(control_message_send(player, 42), 0);
    EXPECT_NE(control_message_send(player, PLAYER_MSG_PLAY), 0) << "nothing is open";
    EXPECT_NE(control_message_send(nullptr, PLAYER_MSG_STOP), 0);
    EXPECT_EQ(player_delete(&player), 0);
    EXPECT_NE(player_delete(&player), 0);
}

}  // namespace
