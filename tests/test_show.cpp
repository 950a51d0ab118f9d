// test_show.cpp: the program end to end: every generated file packed into "Data" and a short
// time table; "kelp" plays the whole schedule headless and ends by itself with exit code 0.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "content.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"
#include "writers/pack_writer.h"

namespace {

std::string capture_name(int k) {
    char name[64];
    snprintf(name, sizeof name, "capture%06d.tga", k);
    return name;
}

// The frames captured in `folder` (the working directory when empty), numbered from 0.
int count_captures(const std::string &folder = "") {
    int n = 0;
    while (access((folder + capture_name(n)).c_str(), F_OK) == 0) n++;
    return n;
}

// Every registered content source but the music and the time table, and the time table
// given (17 entries of `entry` seconds each when none is), packed into "Data" in the working
// directory ("noise.bmp" loose).
void write_show(double entry, std::vector<double> times = {}) {
    ContentSink sink;
    for (const ContentSource &source : content_sources())
        if (source.order > CONTENT_ORDER_TIMING && source.order < CONTENT_ORDER_MUSIC) source.generator(sink);
    for (int k = 0; times.size() < 18; k++) times.push_back(k * entry);
    std::string timing = "// a short show\n";
    for (double t : times) timing += std::to_string(t) + "\n";
    sink.add("timing.dat", std::vector<uint8_t>(timing.begin(), timing.end()));
    std::vector<PackEntry> entries;
    for (ContentFile &file : sink.files)
        if (file.name == "noise.bmp") ASSERT_TRUE(write_file(file.name, file.bytes));
        else entries.push_back(PackEntry{file.name, file.bytes});
    std::string error;
    ASSERT_TRUE(pack_write("Data", entries, &error)) << error;
}

// Run the program headless and silent in the working directory; its exit status.
int run_kelp(const std::string &options) {
    std::string command = std::string("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ") + KELP_BINARY_DIR +
                          "/kelp window nosound " + options + " 2> stderr.txt";
    return system(command.c_str());
}

// Run tools/capture-split.sh of the source tree on the program in the working directory.
int run_split(const std::string &arguments) {
    std::string command = std::string("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy KELP=") + KELP_BINARY_DIR +
                          "/kelp sh " + KELP_SOURCE_DIR + "/tools/capture-split.sh " + arguments + " 2> stderr.txt";
    return system(command.c_str());
}

}  // namespace

TEST(Show, PlaysTheWholeScheduleAndEndsByItself) {
    ScratchDir dir;
    // The show's 17 entries squeezed into 1.7 s: ten frames each at the capture rate.
    write_show(0.1);
    int status = run_kelp("stat capture100 images");
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_text("stderr.txt");
    // Frames at 0, 0.01, ..., 1.69: the frame at 1.7 is the end of the table and is not drawn.
    EXPECT_EQ(count_captures(), 170);

    // "stat" logs the scenes loaded from the pack.
    std::string log = read_text("VKB_Kelp.log");
    for (const char *line : {"spider: meshes 2\n", "spider: faces  22\n", "intro: lights 1\n", "intro: cams   4\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << log;
}

TEST(Show, TwoCapturesOfTheSameRangeAreIdentical) {
    ScratchDir dir;
    // Part 1 through its light, smoke and fade: entry 0 lasts the whole capture.
    write_show(30.0);
    std::vector<std::string> first;
    for (int run = 0; run < 2; run++) {
        int status = run_kelp("capture5 images pos17.6 frames6");
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_text("stderr.txt");
        ASSERT_EQ(count_captures(), 6);
        for (int k = 0; k < 6; k++) {
            std::string bytes = read_text(capture_name(k));
            if (run == 0) first.push_back(bytes);
            else EXPECT_TRUE(bytes == first[size_t(k)]) << capture_name(k) << " differs between the runs";
            remove(capture_name(k).c_str());
        }
    }
    // The frames really move: the wolf turns and the smoke rises between the first and last.
    EXPECT_FALSE(first[0] == first[5]);
}

// A start with "exact" gives the frames of the run from the show's start at those times.
TEST(Show, ExactStartsGiveTheFramesOfTheRunFromTheStart) {
    ScratchDir dir;
    // The greetings last 30 s, the sofa room 15 s; the sofa room and end screen overlap for
    // 3 s only, so the end screen's backdrop still fades in over older pictures in entry 16.
    write_show(0, {0, 2, 4, 6, 10, 12, 14, 44, 46, 48, 50, 52, 54, 56, 60, 75, 78, 84});
    int status = run_kelp("capture2 images res192x144x32 frames160");
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_text("stderr.txt");
    ASSERT_EQ(count_captures(), 160);
    std::filesystem::create_directory("full");
    for (int k = 0; k < 160; k++) std::filesystem::rename(capture_name(k), "full/" + capture_name(k));
    // The wipe, the greetings past their fade, a two-part entry, the night in entry 13 (part 9
    // at +20 s), the sofa room after the television's collapse, the end screen's fade.
    for (double start : {8.5, 43.5, 47.0, 58.0, 68.0, 79.0}) {
        status = run_kelp("capture2 images res192x144x32 exact frames2 pos" + std::to_string(start));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_text("stderr.txt");
        for (int k = 0; k < 2; k++)
            EXPECT_TRUE(read_text(capture_name(k)) == read_text("full/" + capture_name(int(start * 2) + k)))
                << "frame " << k << " from " << start << " s";
    }
}

TEST(Show, SplitCapturesJoinIntoTheSingleRunsFrames) {
    ScratchDir dir;
    // 17 entries of 5 s: the show ends at 85 s.
    write_show(5.0);
    struct Split {
        const char *options;
        int jobs;
        int frames;  // the single run's
        bool moving;  // every frame differs from the one before, so a range one frame off shows
    };
    const Split splits[] = {
        // Ranges of 3, 4 and 4 frames across entries 11 and 12, from round(57.3 x 2) = 115.
        {"capture2 res192x144x32 images pos57.3 frames11", 3, 11, true},
        // From round(82.3 x 4) = 329 to the end of the time table in the pack (85 s). The end
        // picture holds still there; a range one frame off changes the count.
        {"capture4 res192x144x32 images pos82.3", 2, 11, false},
    };
    for (const Split &split : splits) {
        SCOPED_TRACE(split.options);
        int status = run_kelp(std::string(split.options) + " exact");
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_text("stderr.txt");
        ASSERT_EQ(count_captures(), split.frames);
        status = run_split(std::to_string(split.jobs) + " split window nosound " + split.options);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_text("stderr.txt");
        EXPECT_EQ(count_captures("split/"), split.frames);
        for (int k = 0; k < split.frames; k++) {
            std::string single = read_text(capture_name(k));
            EXPECT_TRUE(read_text("split/" + capture_name(k)) == single) << capture_name(k) << " differs";
            if (split.moving && k > 0) {
                EXPECT_FALSE(single == read_text(capture_name(k - 1))) << capture_name(k);
            }
        }
        for (int k = 0; k < split.frames; k++) remove(capture_name(k).c_str());
        std::filesystem::remove_all("split");
    }
}
