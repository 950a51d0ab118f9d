// test_driver.cpp: the driver's main loop pass: advance, quit, present, screenshots, the wipe.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/compositing.h"
#include "demo/driver.h"
#include "demo/player.h"
#include "demo/screenshot.h"
#include "parts/parts.h"
#include "render/clock.h"
#include "scene/random.h"
#include "support/part_files.h"
#include "support/show_digest.h"
#include "support/test_mp3.h"
#include "writers/bmp_writer.h"

namespace {

bool exists(const char *name) { return access(name, F_OK) == 0; }

// A small context and a complete table (entry k at 10 k seconds, the end at 170) for each test.
class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl_context_open(64, 48));
        for (int k = 0; k < 18; ++k) times[k] = 10.0f * float(k);
        time_table = times;
        time_count = 18;
        schedule_index = -1;
        start_offset = 0.0f;
        for (Scene *&scene : scene_table) scene = nullptr;
        quit_flag = false;
        screenshot_request = false;
        frame_counter = 0;
    }
    void TearDown() override {
        time_table = nullptr;
        time_count = 0;
        quit_flag = false;
        glDisable(GL_STENCIL_TEST);
        gl_context_close();
    }
    float times[18];
    ScratchDir scratch;
};

TEST_F(DriverTest, EnterPressedSeveralTimesInOneFrameGivesOneShot) {
    find_next_screenshot_number();
    for (int i = 0; i < 3; ++i) handle_window_message({MSG_KEYDOWN, KEY_RETURN, 0, 0});
    play_frame(1.0f, true);
    EXPECT_TRUE(frame_counter == 1u && !screenshot_request && exists("shot0000.tga"));
    play_frame(1.1f, true);
    EXPECT_FALSE(exists("shot0001.tga"));
}

TEST_F(DriverTest, TheLastTimeOfTheTableSetsTheQuitFlagWithoutDrawing) {
    play_frame(169.0f, true);
    EXPECT_TRUE(schedule_index == 16 && frame_counter == 1u && !quit_flag);
    play_frame(170.0f, true);  // exactly the end: the quit entry, not drawn
    EXPECT_TRUE(schedule_index == 17 && frame_counter == 1u && quit_flag);
}

TEST_F(DriverTest, AFirstTimeAheadOfTheStartEndsTheShowAtOnce) {
    times[0] = 5.0f;
    play_frame(0.0f, true);
    EXPECT_TRUE(schedule_index == -1 && quit_flag && frame_counter == 0u);
}

TEST_F(DriverTest, EscapeWaitingInTheQueueEndsTheShowBeforeAnythingIsDrawn) {
    handle_window_message({MSG_KEYDOWN, KEY_ESCAPE, 0, 0});
    play_frame(0.0f, true);
    EXPECT_TRUE(quit_flag && frame_counter == 0u);
    EXPECT_EQ(schedule_index, 0);  // the advance still ran
    quit_flag = false;
    handle_window_message({MSG_KEYDOWN, 'a', 0, 0});
    EXPECT_FALSE(quit_flag || screenshot_request);
    handle_window_message({MSG_CLOSE, 0, 0, 0});
    EXPECT_TRUE(quit_flag);
}

TEST_F(DriverTest, PassingTheWipeEnablesThenDisablesTheStencilTest) {
    play_frame(30.0f, true);  // exactly the wipe's start
    EXPECT_TRUE(schedule_index == 3 && glIsEnabled(GL_STENCIL_TEST));
    // From the start straight past both: enabled, then disabled, in the same frame.
    schedule_index = -1;
    play_frame(55.0f, true);
    EXPECT_TRUE(schedule_index == 5 && !glIsEnabled(GL_STENCIL_TEST));
}

TEST_F(DriverTest, AnEntryWhoseSceneIsMissingPresentsBlack) {
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    play_frame(75.0f, true);
    EXPECT_TRUE(frame_counter == 1u && (gl_read_pixel(10, 10) & 0xffffff00u) == 0u);
}

TEST_F(DriverTest, AnOverlapDrawsItsPresentedPartOverBlackWhenThePartUnderneathIsMissing) {
    // Entry 15 shows the end screen over the sofa room; without the room the picture still shows.
    prepare_part_files();
    part12_load();
    scene_table[11] = part12_scene();
    schedule_index = 15;
    play_entry(15, 160.0f, true);  // L15 = 10: the picture is opaque
    EXPECT_NE(gl_read_pixel(32, 24) & 0xffffff00u, 0u);
    // Entry 3, the wipe, still needs both of its parts.
    play_entry(3, 35.0f, true);
    EXPECT_EQ(gl_read_pixel(32, 24) & 0xffffff00u, 0u);
}

// The wipe 2.5 s into entry 3 (the wave lies around the middle of the screen by now): the
// top, long passed by the wave, shows part 4 as it draws alone in that frame, and the bottom,
// never reached, shows part 3.
TEST_F(PartTest, TheWipeShowsPart4WhereTheWaveHasPassedAndPart3WhereItHasNot) {
    load_whole_show();
    float t = time_table[3] + 2.5f;
    uint32_t frame = frame_at(t, float(SHOW_DIGEST_RATE));
    t = float(double(frame) / SHOW_DIGEST_RATE);
    replay_to_frame(frame, float(SHOW_DIGEST_RATE), true);
    ShowState before = {};
    save_show_state(before);
    const int top_y = 440, bottom_y = 20, xs[] = {100, 320, 540};
    auto pixels = [&](int y) {
        std::vector<uint32_t> row;
        for (int x : xs) row.push_back(gl_read_pixel(x, y) >> 8);
        return row;
    };
    // Within 4 in every channel: part 4 draws its own random numbers after part 3's in the wipe.
    auto alike = [](const std::vector<uint32_t> &a, const std::vector<uint32_t> &b) {
        for (size_t i = 0; i < a.size(); i++)
            for (int shift : {0, 8, 16})
                if (std::abs(int((a[i] >> shift) & 0xff) - int((b[i] >> shift) & 0xff)) > 4) return false;
        return true;
    };
    play_frame(t, true);
    std::vector<uint32_t> wipe_top = pixels(top_y), wipe_bottom = pixels(bottom_y);
    // Each part alone, from the same state: part 3 in entry 2's way, part 4 in entry 4's, with
    // the frame time part 3's render gives it in the wipe.
    restore_show_state(before);
    glDisable(GL_STENCIL_TEST);
    play_entry(2, t, true);
    std::vector<uint32_t> part3_top = pixels(top_y), part3_bottom = pixels(bottom_y);
    restore_show_state(before);
    glDisable(GL_STENCIL_TEST);
    frame_time = 1.0f / SHOW_DIGEST_RATE;
    play_entry(4, t, true);
    std::vector<uint32_t> part4_top = pixels(top_y), part4_bottom = pixels(bottom_y);
    free_show_state(before);
    EXPECT_TRUE(alike(wipe_top, part4_top) && !alike(wipe_top, part3_top));
    EXPECT_TRUE(alike(wipe_bottom, part3_bottom) && !alike(wipe_bottom, part4_bottom));
}

TEST_F(DriverTest, TheWipeMarksTheAreaAboveTheWave) {
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    stencil_wipe_mark(3.0, 2.0);  // the wave lies around y = 1.2 - 2.5 sin(0.5) = 0.0
    GLboolean mask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
    // The wave ends at x = 99 / 48 - 1, beyond the right edge: the whole width is covered.
    const int points[][3] = {{32, 46, 1}, {32, 1, 0}, {63, 46, 1}, {0, 46, 1}};
    for (const auto &p : points) {
        uint8_t stencil = 9;
        glReadPixels(p[0], p[1], 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &stencil);
        EXPECT_EQ(stencil, p[2]) << p[0] << ", " << p[1];
    }
}

TEST_F(DriverTest, TheNoiseOverlayBlendsTheNoisePictureAndPutsTheDepthTestBack) {
    Picture noise(8, 8);
    for (size_t i = 0; i < noise.rgb.size(); i += 3) noise.rgb[i] = 200, noise.rgb[i + 1] = 100, noise.rgb[i + 2] = 50;
    ASSERT_TRUE(write_file("noise.bmp", bmp_encode_24(noise)));
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    random_reset();
    // sin(4t) = 1 at t = pi / 8, so L13 = 48 gives alpha 1: the picture replaces the frame.
    noise_overlay(float(M_PI / 8.0), 48.0f);
    uint32_t pixel = gl_read_pixel(20, 20);
    for (int c = 0; c < 3; c++) EXPECT_NEAR(int((pixel >> (24 - 8 * c)) & 0xff), 200 >> c, 2) << c;
    GLint depth = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depth);
    EXPECT_EQ(depth, GL_LEQUAL);
    // du and dv took the first two numbers of the sequence.
    random_reset();
    for (int i = 0; i < 2; i++) random_next();
    int third = random_next();
    random_reset();
    noise_overlay(0.0f, 45.5f);  // alpha 0: nothing changes
    EXPECT_EQ(random_next(), third);
    EXPECT_EQ(gl_read_pixel(20, 20), pixel);
}

// The parts' files and "timing.dat" with entry k at k / 20 seconds and the end at `end`.
void write_show(float end) {
    prepare_part_files();
    std::string text = "// test schedule\r\n";
    for (int k = 0; k < 17; ++k) text += std::to_string(k / 20.0) + "\r\n";
    text += std::to_string(end) + " // end\r\n";
    ASSERT_TRUE(write_file("timing.dat", std::vector<uint8_t>(text.begin(), text.end())));
}

int count_captures() {
    char name[64];
    for (int n = 0;; ++n)
        if (snprintf(name, sizeof name, "capture%06d.tga", n), !exists(name)) return n;
}

TEST_F(DriverTest, FramesStopsACaptureAfterItsCountAndStartsAtPos) {
    write_show(100.0f);
    run_demo("nosound capture30 images frames7 pos0.51");
    EXPECT_EQ(count_captures(), 7);
    EXPECT_FLOAT_EQ(start_offset, 0.51f);
    EXPECT_EQ(schedule_index, 14);  // the seventh frame is at 0.51 + 6 / 30 = 0.71 s
}

TEST_F(DriverTest, BenchPrintsOneRowPerEntryAndTheTotals) {
    write_show(0.84f);
    ::testing::internal::CaptureStdout();
    run_demo("nosound bench");
    std::string table = ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(count_captures() == 0 && quit_flag && time_table == nullptr);
    EXPECT_NE(table.find("entry   frames"), std::string::npos) << table;
    // Frames at 0, 1/60, ..., 50/60 = 0.833 (the next, at 0.85, is past the end): three per entry.
    EXPECT_NE(table.find("\n0            3 "), std::string::npos) << table;
    EXPECT_NE(table.find("\n16           3 "), std::string::npos) << table;
    EXPECT_NE(table.find("\ntotal       51 "), std::string::npos) << table;
}

TEST_F(DriverTest, CaptureWithFfmpegWritesAnH264VideoWithTheSoundtrack) {
    if (system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    std::vector<short> tone(size_t(44100) * 2 * 2);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = short(8000.0 * sin(double(i / 2) * 0.0627));
    ASSERT_TRUE(write_test_mp3("Music", tone, 44100));
    write_show(100.0f);
    run_demo("capture30 frames15 pos0.2");
    ASSERT_TRUE(exists("capture.mp4"));
    EXPECT_EQ(count_captures(), 0);
    FILE *pipe = popen("ffprobe -v error -count_frames -show_entries stream=codec_name,width,height,nb_read_frames "
                       "-of csv=p=0 capture.mp4", "r");
    ASSERT_NE(pipe, nullptr);
    std::string streams;
    for (char buffer[256]; fgets(buffer, sizeof buffer, pipe);) streams += buffer;
    pclose(pipe);
    EXPECT_NE(streams.find("h264,64,48,15"), std::string::npos) << streams;
    EXPECT_NE(streams.find("aac"), std::string::npos) << streams;
}

}  // namespace
