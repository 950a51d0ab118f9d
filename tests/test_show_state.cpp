// test_show_state.cpp: what the show does, step by step: the whole show played hidden at 1/30 s
// gives, for every second and every part it plays, the digest of the part's state kept in
// tests/data/show_digest.txt (written anew by kelp-show-digest when the show changes on purpose).
#include <gtest/gtest.h>

#include <sstream>

#include "support/part_files.h"
#include "support/show_digest.h"

TEST_F(PartTest, TheShowPlaysAsItsDigestTableSays) {
    std::istringstream expected(read_text(KELP_SOURCE_DIR "/tests/data/show_digest.txt")), played(show_digest_table());
    // The first rows that differ say which part went astray, and when ("second part digest").
    std::string want, got;
    int rows = 0, wrong = 0;
    while (std::getline(expected, want) && wrong < 5) {
        rows++;
        if (!std::getline(played, got)) got = "(none)";
        if (want != got) ADD_FAILURE() << "expected \"" << want << "\", played \"" << got << "\"", wrong++;
    }
    EXPECT_GT(rows, 700);
    EXPECT_FALSE(std::getline(played, got) && wrong == 0) << "played more rows, from \"" << got << "\"";
}
