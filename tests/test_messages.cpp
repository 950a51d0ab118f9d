// test_messages.cpp: the log file, fatal errors and the positions of the loading text.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <string>

#include "app/messages.h"
#include "app/settings.h"
#include "platform/text_surface.h"
#include "support/scratch_dir.h"

// Run one "run of the program" in a fresh child: its log state starts as at process start.
template <typename F> static int run_in_child(F body) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each log test works in its own scratch directory.
class LogFile : public ::testing::Test {
protected:
    ScratchDir dir;
};

TEST_F(LogFile, AbsentWithoutStatCreatedWithItAndTruncatedByTheNextRun) {
    EXPECT_EQ(run_in_child([] { statistics = false, log_line("never"), log_linef("%d", 2); }), 0);
    EXPECT_NE(access("VKB_Kelp.log", F_OK), 0);
    EXPECT_EQ(run_in_child([] { statistics = true, log_line("first run"), log_linef("%s\n%d", "two", 2); }), 0);
    EXPECT_EQ(read_text("VKB_Kelp.log"), "first run\ntwo\n2\n");
    EXPECT_EQ(run_in_child([] { statistics = true, log_line("second run"); }), 0);
    EXPECT_EQ(read_text("VKB_Kelp.log"), "second run\n");
}

TEST_F(LogFile, UnopenableLogDropsTheLine) {
    ASSERT_EQ(mkdir("VKB_Kelp.log", 0755), 0);  // a directory cannot be opened for writing
    EXPECT_EQ(run_in_child([] { statistics = true, log_line("dropped"), log_line("dropped too"); }), 0);
    rmdir("VKB_Kelp.log");
}

// A fatal error exits with code 1 and its message on standard error. A cleanup that jumps back
// instead of returning (the fuzz harnesses) runs again for the next fatal error once rearmed.
static jmp_buf fatal_jump;
static void jump_back(const char *) { longjmp(fatal_jump, 1); }
static void two_fatal_errors_rearmed() {
    set_fatal_cleanup(jump_back);
    volatile int cleanups = 0;
    const char *messages[2] = {"first fault", "second fault"};
    for (const char *message : messages) {
        if (setjmp(fatal_jump) == 0) fatal_error(message);
        cleanups = cleanups + 1;
        fatal_rearm();
    }
    exit(10 + cleanups);
}

TEST(FatalErrorDeathTest, ExitsWithCodeOneOrRunsTheRearmedCleanup) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(fatal_error("Couldn't open thing.3ds!"), ::testing::ExitedWithCode(1), "Couldn't open thing.3ds!");
    EXPECT_EXIT(fatal_errorf("%dx%dx%d not supported", 1, 2, 3), ::testing::ExitedWithCode(1), "1x2x3 not supported");
    EXPECT_EXIT(two_fatal_errors_rearmed(), ::testing::ExitedWithCode(12), "first fault\nsecond fault");
}

// The loading text is drawn into the window image; without a window nothing is presented.
class ScreenText : public ::testing::Test {
protected:
    static void SetUpTestSuite() { text_select_font("Arial", FONT_HEIGHT); }
    static void TearDownTestSuite() { text_release(); }
    // True when some pixel of row band [y, y + 16) between x0 and x1 is not black.
    static bool band_has_ink(int y, int x0, int x1) {
        for (int row = y; row < y + FONT_HEIGHT; row++)
            for (int x = x0; x < x1; x++)
                if (text_image_pixel(x, row) != 0) return true;
        return false;
    }
};

// One process: the line position starts at the top and only grows.
TEST_F(ScreenText, TemporaryLineReplacedThenLinesStackAndBottomLineIsReused) {
    set_screen_size(640, 480);
    screen_print("WWWWWWWWWWWWWWWWWWWW", true);  // temporary, wide
    ASSERT_TRUE(band_has_ink(0, 100, 200));
    screen_print("I", false);  // replaces it on the same line
    EXPECT_FALSE(band_has_ink(0, 20, 640));
    EXPECT_TRUE(band_has_ink(0, 0, 20));
    screen_print("WWWWWWWWWWWWWWWWWWWW", false);  // next line 16 pixels lower
    EXPECT_TRUE(band_has_ink(16, 100, 200));
    EXPECT_FALSE(band_has_ink(32, 0, 640));
    for (int line = 3; line <= 30; line++) screen_print("I", false);  // line 30 at y = 464
    screen_print("WWWWWWWWWWWWWWWWWWWW", false);  // line 31 also at y = 464
    EXPECT_TRUE(band_has_ink(464, 100, 200));
    EXPECT_FALSE(band_has_ink(448, 20, 640));
    screen_print("I", false);  // and so is every later line: drawn over line 31
    EXPECT_TRUE(band_has_ink(464, 100, 200));
    EXPECT_TRUE(band_has_ink(464, 0, 20));
}
