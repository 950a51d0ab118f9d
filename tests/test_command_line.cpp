// test_command_line.cpp: joining, lower-casing and the option table of the command line.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/settings.h"

// Each line is lower-cased and parsed from the defaults of a fresh run.
TEST(CommandLine, OptionsSetTheirSettings) {
    const struct {
        const char *text;
        bool full_screen, statistics;
        int width, height, depth;
    } cases[] = {
        {"", true, false, 640, 480, 32},
        {"WiNdOw", false, false, 640, 480, 32},
        {"xxstatisticsxx", true, true, 640, 480, 32},  // "stat" inside a longer word
        {"res1024x768x16 window stat", false, true, 1024, 768, 16},
        {"res800x600", true, false, 800, 600, 32},
        {"res", true, false, 640, 480, 32},                // "res" at the very end
        {"window res stat", false, true, 640, 480, 32},    // no digits after "res"
        {"res1280", true, false, 1280, 480, 32},
        {"prestat res320x200x8", true, true, 640, 480, 32},  // only the first "res" counts
        {"res99999999999999999999x-99999999999999999999x-3", true, false, INT_MAX, INT_MIN, -3},
    };
    for (const auto &c : cases) {
        full_screen = true;
        statistics = false;
        colour_depth = 32;
        set_screen_size(640, 480);
        std::string text = c.text;
        lower_case(text.data());
        parse_command_line(text.c_str());
        EXPECT_EQ(full_screen, c.full_screen) << c.text;
        EXPECT_EQ(statistics, c.statistics) << c.text;
        EXPECT_EQ(get_screen_width(), c.width) << c.text;
        EXPECT_EQ(get_screen_height(), c.height) << c.text;
        EXPECT_EQ(colour_depth, c.depth) << c.text;
    }
}

TEST(CommandLine, ResolutionScanNeedsTheXRightAfterTheDigits) {
    int w = 1, h = 2, b = 3;
    EXPECT_EQ(scan_resolution(" 12 x7", w, h, b), 1);
    EXPECT_EQ(w, 12);
    EXPECT_EQ(scan_resolution("+5x 6x 7", w, h, b), 3);  // blanks before a number are skipped
    EXPECT_TRUE(w == 5 && h == 6 && b == 7) << w << " " << h << " " << b;
}

TEST(JoinArguments, JoinedBySpacesAtAnyLength) {
    std::string big(100000, 'a');
    char prog[] = "kelp", a[] = "Window", b[] = "STAT";
    char *argv[] = {prog, a, b, big.data()};
    char *line = join_arguments(4, argv);
    EXPECT_EQ(std::string(line), "Window STAT " + big);
    free(line);
    char *none = join_arguments(1, argv);
    EXPECT_STREQ(none, "");
    free(none);
}
