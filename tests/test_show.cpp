// test_show.cpp: the program end to end: the generator's own files for the start-up set,
// the characters and the built parts, packed into "Data", and a short time table; "kelp"
// plays the whole schedule headless in capture mode and ends by itself with exit code 0.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "content.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"
#include "writers/pack_writer.h"

namespace {

std::string read_text(const char *name) {
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int count_files(const char *pattern) {
    int n = 0;
    char name[64];
    for (;; n++) {
        snprintf(name, sizeof name, pattern, n);
        if (access(name, F_OK) != 0) return n;
    }
}

}  // namespace

TEST(Show, PlaysTheWholeScheduleAndEndsByItself) {
    ScratchDir dir;
    ContentSink sink;
    generate_shared_set(sink);
    generate_font(sink);
    generate_characters(sink);
    generate_part1(sink);
    generate_part10(sink);
    generate_part12(sink);
    // The show's 17 entries squeezed into 1.7 s: ten frames each at the capture rate.
    std::string timing = "// a short show\n";
    for (int k = 0; k <= 17; k++) timing += std::to_string(k / 10.0) + "\n";
    sink.add("timing.dat", std::vector<uint8_t>(timing.begin(), timing.end()));

    std::vector<PackEntry> entries;
    for (ContentFile &file : sink.files) {
        if (file.name == "noise.bmp")
            ASSERT_TRUE(write_file(file.name, file.bytes));
        else
            entries.push_back(PackEntry{file.name, file.bytes});
    }
    std::string error;
    ASSERT_TRUE(pack_write("Data", entries, &error)) << error;

    std::string command = std::string("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ") + KELP_BINARY_DIR +
                          "/kelp window stat nosound capture100 images 2> stderr.txt";
    int status = system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << read_text("stderr.txt");
    EXPECT_EQ(WEXITSTATUS(status), 0) << read_text("stderr.txt");
    // Frames at 0, 0.01, ..., 1.69: the frame at 1.7 is the end of the table and is not drawn.
    EXPECT_EQ(count_files("capture%06d.tga"), 170);

    std::string log = read_text("VKB_Kelp.log");
    for (const char *line : {"spider: meshes 2\n", "spider: verts  44\n", "spider: faces  22\n",
                             "spider: lights 0\n", "spider: anims  0\n", "spider: cams   0\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << log;
    for (const char *line : {"intro: meshes ", "intro: verts  ", "intro: faces  ", "intro: lights 1\n",
                             "intro: anims  ", "intro: cams   4\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << log;
}
