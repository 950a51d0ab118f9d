// test_generator.cpp: the generator's pictures, font, time table and pack read back by the
// program's readers, the glows' colours, the music after MP3 encoding, determinism, kelp-data.
#include <gtest/gtest.h>
#include <mpg123.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "app/files.h"
#include "content.h"
#include "content_output.h"
#include "demo/timetable.h"
#include "music.h"
#include "shared_set.h"
#include "show_times.h"
#include "support/scratch_dir.h"
#include "support/startup_data.h"
#include "support/test_data.h"
#include "writers/mp3_writer.h"
#include "writers/pack_writer.h"

namespace {

// The brightest channel on the picture's border.
int border_max(const Picture &p) {
    int most = 0;
    for (int i = 0; i < p.width; i++)
        for (const uint8_t *q : {p.at(i, 0), p.at(i, p.height - 1), p.at(0, i), p.at(p.width - 1, i)})
            most = std::max({most, int(q[0]), int(q[1]), int(q[2])});
    return most;
}

// Decode MP3 bytes with libmpg123 (gapless) and return the number of stereo frames.
size_t mp3_frames(const std::vector<uint8_t> &mp3, long *rate_out, std::vector<short> *samples = nullptr) {
    mpg123_init();
    int error = 0, channels = 0, encoding = 0, result;
    mpg123_handle *h = mpg123_new(nullptr, &error);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    EXPECT_EQ(mpg123_open_feed(h), MPG123_OK);
    EXPECT_EQ(mpg123_feed(h, mp3.data(), mp3.size()), MPG123_OK);
    size_t bytes_total = 0, got = 0;
    std::vector<unsigned char> buffer(1 << 16);
    long rate = 0;
    do {  // the last read may still hand over data
        result = mpg123_read(h, buffer.data(), buffer.size(), &got);
        if (result == MPG123_NEW_FORMAT) mpg123_getformat(h, &rate, &channels, &encoding);
        bytes_total += got;
        if (samples) samples->insert(samples->end(), (short *)buffer.data(), (short *)(buffer.data() + got));
    } while (result == MPG123_OK || result == MPG123_NEW_FORMAT);
    EXPECT_TRUE(result == MPG123_NEED_MORE || result == MPG123_DONE) << "mpg123: " << mpg123_strerror(h);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(encoding, MPG123_ENC_SIGNED_16);
    mpg123_delete(h);
    *rate_out = rate;
    return bytes_total / 4;
}

const std::vector<SharedPicture> &pictures() {
    static std::vector<SharedPicture> cached = shared_pictures();
    return cached;
}

TEST(SharedSet, EveryPictureRoundTripsThroughTheTextureReader) {
    ASSERT_EQ(pictures().size(), 18u);
    for (const SharedPicture &shared : pictures()) {
        const Picture &p = shared.picture;
        EXPECT_EQ((p.width & (p.width - 1)) | (p.height & (p.height - 1)), 0) << shared.name;
        for (bool eight : {false, true}) {
            if (eight && shared.name != "noise.bmp") continue;
            DecodedBmp d(eight ? bmp_encode_8(p) : bmp_encode_24(p), shared.name.c_str());
            ASSERT_EQ(d.record.width, p.width);
            ASSERT_EQ(d.record.height, p.height);
            size_t mismatches = 0, keyed = 0;
            for (int y = 0; y < p.height; y++)
                for (int x = 0; x < p.width; x++) {
                    const uint8_t *got = d.texel(x, p.height - 1 - y), *want = p.at(x, y);
                    mismatches += got[0] != want[0] || got[1] != want[1] || got[2] != want[2];
                    keyed += got[3] != 255;
                }
            EXPECT_EQ(mismatches, 0u) << shared.name;
            EXPECT_EQ(keyed, 0u) << shared.name << " has texels on the magenta colour key";
        }
    }
}

TEST(SharedSet, LightGlowsHaveTheColourOfTheirIndexAndSoftEdges) {
    for (int index = 1; index <= 7; index++) {
        const Picture d = make_light_glow(index);
        int cx = d.width / 2, cy = d.height / 2;
        // The colour index from the bright middle, as the renderer computes it for lights.
        double sum[3] = {0, 0, 0};
        for (int y = cy - 8; y < cy + 8; y++)
            for (int x = cx - 8; x < cx + 8; x++)
                for (int c = 0; c < 3; c++) sum[c] += d.at(x, y)[c] / 255.0 / 256.0;
        int got = (sum[0] >= 0.5 ? 4 : 0) + (sum[1] >= 0.5 ? 2 : 0) + (sum[2] >= 0.5 ? 1 : 0);
        EXPECT_EQ(got, index) << "light" << index << ".bmp mean " << sum[0] << " " << sum[1] << " " << sum[2];
        // Off channels stay clearly below the on channels even in the hot core.
        for (int c = 0; c < 3; c++)
            EXPECT_TRUE(index & (4 >> c) ? d.at(cx, cy)[c] >= 230 : d.at(cx, cy)[c] <= 110) << index << " " << c;
        // Falling outwards to black at the border: no ring where the glow is cut off.
        for (int x = cx; x + 1 < d.width; x++)
            for (int c = 0; c < 3; c++)
                EXPECT_LE(d.at(x + 1, cy)[c], d.at(x, cy)[c]) << "light" << index << " rises outwards at " << x;
        EXPECT_EQ(border_max(d), 0) << index;
    }
}

TEST(SharedSet, FlaresAreBrightShapesOnBlack) {
    for (size_t i = 7; i < 17; i++) {
        const SharedPicture &shared = pictures()[i];
        const Picture &p = shared.picture;
        EXPECT_LE(border_max(p), 2) << shared.name << " does not fade out before its border";
        int brightest = 0;
        for (uint8_t v : p.rgb) brightest = std::max(brightest, int(v));
        // The lens ghost is a faint disc; the flares proper have a white-hot core.
        EXPECT_GE(brightest, shared.name == "lensflare.bmp" ? 64 : 200) << shared.name;
    }
}

TEST(Font, RawFontReadsBackAsTheRasterizedGlyphs) {
    ContentSink sink;
    generate_font(sink);
    const ContentFile *file = sink.find("font.raw");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->bytes.size(), 128u * 192u);
    std::vector<FontGlyph> glyphs = font_glyphs();
    std::set<std::vector<uint8_t>> shapes;
    for (int code = 32; code < 128; code++) {
        uint8_t rgba[256];
        font_decode_glyph(&file->bytes[size_t(code) * 192], rgba);
        std::vector<uint8_t> bits;
        int set = 0;
        for (int r = 0; r < 8; r++)
            for (int c = 0; c < 8; c++) {
                bool want = glyphs[code].rows[r] & (0x80 >> c);
                bool got = rgba[((7 - r) * 8 + c) * 4 + 3] != 0;  // rows come back bottom-up
                EXPECT_EQ(got, want) << "glyph " << code << " row " << r << " column " << c;
                set += got;
                bits.push_back(got);
            }
        EXPECT_EQ(set == 0, code == 32 || code == 127) << "glyph " << code;
        if (set) shapes.insert(bits);
    }
    EXPECT_EQ(shapes.size(), 94u) << "two printable glyphs look the same";
}

TEST(Timing, TimeTableReadsBackThroughTheProgramsReader) {
    ScratchDir dir;
    ASSERT_FALSE(dir.path.empty());
    ContentSink sink;
    generate_timing(sink);
    ASSERT_TRUE(write_file("timing.dat", sink.find("timing.dat")->bytes));
    archive_open("Data");
    int count = 0;
    float *table = read_time_table("timing.dat", &count);
    ASSERT_EQ(count, SHOW_TIME_COUNT);
    for (int i = 0; i < count; i++) EXPECT_FLOAT_EQ(table[i], show_times[i].seconds);
    for (int i = 1; i < count; i++) EXPECT_GT(table[i], table[i - 1]);
    free_time_table(table);
    file_close_all();
    std::string text(sink.find("timing.dat")->bytes.begin(), sink.find("timing.dat")->bytes.end());
    for (size_t start = 0, end; start < text.size(); start = end + 1)  // every line fits the reader's 80 bytes
        EXPECT_LE((end = text.find('\n', start)) - start, 79u);
}

TEST(Output, RunFolderHoldsThePackAndTheLooseFiles) {
    ScratchDir dir;
    ASSERT_FALSE(dir.path.empty());
    ContentSink sink;
    generate_timing(sink);
    generate_font(sink);
    generate_shared_set(sink);
    sink.add("Music", {1, 2, 3});
    ContentSink copy = sink;
    EXPECT_EQ(content_write(sink, dir.path), 20u);
    // Every packed file comes back byte for byte through the file layer.
    archive_open("Data");
    rename("noise.bmp", "noise.moved");  // only what is in the pack may answer below
    for (const ContentFile &file : copy.files) {
        int handle = file_open(file.name.c_str(), "rb");
        if (content_stays_loose(file.name)) {
            EXPECT_TRUE(file.name == "Music" || handle == -1) << file.name << " should not be packed";
            if (handle >= 0) file_close(handle);
            continue;
        }
        ASSERT_GE(handle, 0) << file.name;
        std::vector<uint8_t> back(file.bytes.size());
        EXPECT_EQ(file_read(back.data(), 1, back.size(), handle), back.size());
        EXPECT_EQ(file_getc(handle), -1);
        EXPECT_EQ(back, file.bytes) << file.name;
        file_close(handle);
    }
    file_close_all();
}

TEST(Output, FileGeneratedTwiceIsRefused) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    ContentSink sink;
    sink.add("a.bmp", {1});
    EXPECT_EXIT(sink.add("A.BMP", {2}), ::testing::ExitedWithCode(1), "file \\[A.BMP\\] generated twice");
}

TEST(Determinism, SharedFilesCharactersAndMusicAreTheSameOnEveryRun) {
    auto run = [] {
        ContentSink sink;
        generate_timing(sink);
        generate_font(sink);
        generate_shared_set(sink);
        generate_characters(sink);
        std::vector<float> excerpt = music_render(59.0, 62.0);
        sink.add("excerpt", mp3_encode(excerpt.data(), excerpt.size() / 2));
        return sink.files;
    };
    std::vector<ContentFile> first = run(), second = run();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); i++)
        EXPECT_TRUE(first[i].name == second[i].name && first[i].bytes == second[i].bytes) << first[i].name << " differs";
}

TEST(Music, ExcerptDecodesToItsExactLengthAndIsNotSilent) {
    // The shatter of the mirror (61 s) inside a four-second excerpt.
    const double from = 58.0, to = 62.0;
    std::vector<float> samples = music_render(from, to);
    ASSERT_EQ(samples.size(), size_t(4 * MUSIC_RATE * 2));
    float peak = 0;
    double energy = 0;
    for (float s : samples) peak = std::max(peak, std::fabs(s)), energy += double(s) * s;
    EXPECT_LT(peak, 0.9f);
    EXPECT_GT(std::sqrt(energy / samples.size()), 0.03) << "the excerpt is (nearly) silent";
    long rate = 0;
    std::vector<short> decoded;
    size_t frames = mp3_frames(mp3_encode(samples.data(), samples.size() / 2), &rate, &decoded);
    EXPECT_EQ(rate, 44100);
    EXPECT_NEAR(double(frames), 4.0 * MUSIC_RATE, 0.05 * MUSIC_RATE);
    // Decoded, the loudest moment of the show stays under -1 dBFS.
    int decoded_peak = 0;
    for (short s : decoded) decoded_peak = std::max(decoded_peak, std::abs(int(s)));
    EXPECT_LT(decoded_peak, 29205) << "-1 dBFS is 29205";
    // The gapless tag removes the encoder's delay: the decoded start lines up with the input.
    double best = -1;
    int best_shift = 0;
    for (int shift = -1200; shift <= 1200; shift += 1) {
        double dot = 0;
        for (size_t n = 44100; n < 44100 + 4096; n++) dot += samples[n * 2] * decoded[(n + shift) * 2];
        if (dot > best) best = dot, best_shift = shift;
    }
    EXPECT_LE(std::abs(best_shift), 2) << "decoded music is shifted by " << best_shift << " samples";
}

TEST(Music, ScoreFollowsTheTimeTable) {
    std::vector<MusicNote> score = music_score();
    ASSERT_GT(score.size(), 1000u);
    double end = show_times[SHOW_TIME_COUNT - 1].seconds;
    std::set<int> instruments;
    bool shatter_hit = false;
    for (const MusicNote &note : score) {
        EXPECT_GE(note.start, 0.0);
        EXPECT_LT(note.start, end);
        instruments.insert(note.instrument);
        if (note.instrument == MUSIC_IMPACT && std::fabs(note.start - (show_times[1].seconds + 37.0)) < 0.01) shatter_hit = true;
    }
    for (int i : {MUSIC_KICK, MUSIC_SNARE, MUSIC_HAT, MUSIC_BASS, MUSIC_PAD, MUSIC_LEAD}) EXPECT_TRUE(instruments.count(i)) << i;
    EXPECT_TRUE(shatter_hit) << "no impact on the mirror's shatter";
    // Quieter where the picture fades: the intro's fade in, the greetings' fade out, the end.
    EXPECT_LT(music_gain(1.0), music_gain(10.0));
    EXPECT_LT(music_gain(show_times[7].seconds - 0.2), music_gain(show_times[6].seconds + 20));
    EXPECT_EQ(music_gain(end - 0.1), 0.0f);
}

// The whole show from the kelp-data program: the folder `kelp` starts in.
TEST(FullRun, KelpDataMakesTheRunFolder) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the full 364-second soundtrack is checked in the optimised build only";
#else
    std::string program = std::string(KELP_BINARY_DIR) + "/kelp-data";
    struct stat info;
    ASSERT_EQ(stat(program.c_str(), &info), 0) << "build kelp-data first";
    ScratchDir dir;
    ASSERT_FALSE(dir.path.empty());
    std::string command = program + " " + dir.path + "/run > " + dir.path + "/log.txt 2>&1";
    ASSERT_EQ(system(command.c_str()), 0) << command;
    std::set<std::string> present;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path + "/run")) present.insert(entry.path().filename());
    EXPECT_EQ(present, (std::set<std::string>{"Data", "Music", "noise.bmp"}));
    std::vector<PackDirectoryEntry> entries;
    std::string error;
    ASSERT_TRUE(pack_read_directory(dir.path + "/run/Data", &entries, &error)) << error;
    std::set<std::string> packed;
    for (const PackDirectoryEntry &e : entries) packed.insert(e.name);
    std::vector<std::string> wanted(startup_pictures, startup_pictures + 17);  // opened at start-up
    wanted.insert(wanted.end(), {"font.raw", "timing.dat", "messiah.mdl", "father.mdl", "wolfguy.mdl"});
    for (const std::string &name : wanted) EXPECT_TRUE(packed.count(name)) << name << " missing from Data";
    EXPECT_FALSE(packed.count("Music"));
    long rate = 0;
    size_t frames = mp3_frames(read_bytes(dir.path + "/run/Music"), &rate);
    EXPECT_EQ(rate, 44100);
    EXPECT_NEAR(double(frames) / rate, 364.0, 0.05);
#endif
}

}  // namespace
