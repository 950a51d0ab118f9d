// test_command_line.cpp: joining, lower-casing and the option table of the command line.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/settings.h"

// Every case starts from the defaults of a fresh run.
class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        full_screen = true;
        statistics = false;
        colour_depth = 32;
        set_screen_size(640, 480);
    }
    void parse(std::string text) {
        lower_case(text.data());
        parse_command_line(text.c_str());
    }
};

TEST_F(CommandLine, EmptyLineKeepsFullScreenDefaults) {
    parse("");
    EXPECT_TRUE(full_screen);
    EXPECT_FALSE(statistics);
    EXPECT_EQ(get_screen_width(), 640);
    EXPECT_EQ(get_screen_height(), 480);
    EXPECT_EQ(colour_depth, 32);
}

TEST_F(CommandLine, OptionsInAnyCaseAndInsideWords) {
    parse("WiNdOw");
    EXPECT_FALSE(full_screen);
    EXPECT_FALSE(statistics);
    SetUp();
    parse("xxstatisticsxx");  // substring search: "stat" inside a longer word
    EXPECT_TRUE(statistics);
    EXPECT_TRUE(full_screen);
}

TEST_F(CommandLine, ResWindowStat) {
    parse("res1024x768x16 window stat");
    EXPECT_FALSE(full_screen);
    EXPECT_TRUE(statistics);
    EXPECT_EQ(get_screen_width(), 1024);
    EXPECT_EQ(get_screen_height(), 768);
    EXPECT_EQ(colour_depth, 16);
}

TEST_F(CommandLine, ResScanStopsWhereTheTextDoes) {
    parse("res800x600");
    EXPECT_EQ(get_screen_width(), 800);
    EXPECT_EQ(get_screen_height(), 600);
    EXPECT_EQ(colour_depth, 32);
    SetUp();
    parse("res");  // at the very end
    EXPECT_EQ(get_screen_width(), 640);
    EXPECT_EQ(get_screen_height(), 480);
    SetUp();
    parse("window res stat");  // no digits after "res"
    EXPECT_EQ(get_screen_width(), 640);
    EXPECT_EQ(get_screen_height(), 480);
    EXPECT_EQ(colour_depth, 32);
    SetUp();
    parse("res1280");
    EXPECT_EQ(get_screen_width(), 1280);
    EXPECT_EQ(get_screen_height(), 480);
}

TEST_F(CommandLine, OnlyTheFirstResCounts) {
    parse("prestat res320x200x8");  // "res" first occurs inside "prestat"
    EXPECT_TRUE(statistics);
    EXPECT_EQ(get_screen_width(), 640);
    EXPECT_EQ(get_screen_height(), 480);
}

TEST_F(CommandLine, HugeAndNegativeNumbersSaturate) {
    parse("res99999999999999999999x-99999999999999999999x-3");
    EXPECT_EQ(get_screen_width(), INT_MAX);
    EXPECT_EQ(get_screen_height(), INT_MIN);
    EXPECT_EQ(colour_depth, -3);
    int w = 1, h = 2, b = 3;
    EXPECT_EQ(scan_resolution(" 12 x7", w, h, b), 1);  // the 'x' must follow the digits
    EXPECT_EQ(w, 12);
    EXPECT_EQ(scan_resolution("+5x 6x 7", w, h, b), 3);  // blanks before a number are skipped
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(b, 7);
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
