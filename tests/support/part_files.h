// part_files.h: the files the built parts load, from the generator's own content sources.
#pragma once
#include <string>
#include <vector>

#include "support/gl_context.h"
#include "support/scratch_dir.h"

// Write every generated file but the music and the time table into the working directory
// (generated once per process), load the characters into a fresh model table and make the
// renderer's working arrays, so run_demo can load and draw every built part.
void prepare_part_files();

// A small grey picture written as a 24-bit BMP of that name in the working directory.
void write_grey_picture(const char *name);
// The lines of "VKB_Kelp.log" in the working directory.
std::vector<std::string> read_log_lines();

// A test with a GL context, working in its own scratch folder.
class PartTest : public GlContextTest {
protected:
    PartTest() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }  // for death tests: the context runs threads
    ScratchDir dir;
};
