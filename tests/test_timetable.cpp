// test_timetable.cpp: reading "timing.dat" loose and from the pack, comments, odd lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/files.h"
#include "demo/timetable.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"
#include "writers/pack_writer.h"

namespace {

class TimeTable : public ::testing::Test {
protected:
    ScratchDir dir;
    void SetUp() override {
        ::testing::FLAGS_gtest_death_test_style = "threadsafe";
        ASSERT_FALSE(dir.path.empty());
        archive_open("Data");  // none here: loose files only
    }
    void TearDown() override { file_close_all(); }

    // Read `text` as timing.dat, loose or from the pack.
    std::vector<float> read(const std::string &text, bool packed) {
        std::vector<uint8_t> bytes(text.begin(), text.end());
        if (packed) {
            std::string error;
            unlink("timing.dat");  // a loose copy would win over the pack
            EXPECT_TRUE(pack_write("Data", {{"timing.dat", bytes}}, &error)) << error;
            archive_open("Data");
        } else {
            EXPECT_TRUE(write_file("timing.dat", bytes));
        }
        int count = -1;
        float *table = read_time_table(packed ? "TIMING.DAT" : "timing.dat", &count);
        std::vector<float> values(table, table + count);
        EXPECT_EQ(table[count], 0.0f) << "the entry at the count is zero";
        free_time_table(table);
        return values;
    }
};

TEST_F(TimeTable, EighteenTimesWithCommentsBothLineEndsBothPlaces) {
    for (bool packed : {false, true})
        for (std::string eol : {"\n", "\r\n"}) {
            std::string text = "// Kelp timing" + eol + eol;
            for (int i = 0; i < 18; i++) {
                text += std::to_string(i * 10) + ".25" + eol;
                if (i % 4 == 0) text += "// entry " + std::to_string(i) + eol + eol;
            }
            std::vector<float> t = read(text, packed);
            ASSERT_EQ(t.size(), 18u) << packed;
            for (int i = 0; i < 18; i++) EXPECT_FLOAT_EQ(t[i], i * 10 + 0.25f) << i;
        }
}

TEST_F(TimeTable, OddLines) {
    const struct {
        std::string text;
        bool packed;
        std::vector<float> times;
    } cases[] = {
        // Text after the number is ignored; text instead of one gives 0.
        {"1\n12.5 // part 4\n//12.5\nend\n  3.5\n", false, {1, 12.5f, 0, 3.5f}},
        // A line longer than 79 characters is read as several: the 80th character starts the next.
        {"1.5" + std::string(75, ' ') + "25\n7\n", false, {1.5f, 5, 7}},
        // A last line without a line feed: loose it is read, archived only up to its last line feed.
        {"1\n2", false, {1, 2}},
        {"1\n2", true, {1}},
        {"// nothing\n\n\r\n", false, {}},
        {"", true, {}},
    };
    for (const auto &c : cases) EXPECT_EQ(read(c.text, c.packed), c.times) << c.text;
}

TEST_F(TimeTable, MissingFileIsFatal) {
    int count = 0;
    EXPECT_EXIT(read_time_table("timing.dat", &count), ::testing::ExitedWithCode(1),
                "^Couldn't open timing.dat!");
}

}  // namespace
