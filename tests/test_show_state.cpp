// test_show_state.cpp: what the show does, step by step: the whole show played hidden at 1/30 s
// gives, for every second and every part it plays, the digest of the part's state kept in
// tests/data/show_digest.txt (written anew by kelp-show-digest when the show changes on purpose).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/part_files.h"
#include "support/show_digest.h"

namespace {

std::string read_table(const std::string &name) {
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(PartTest, TheShowPlaysAsItsDigestTableSays) {
    std::string expected = read_table(KELP_SOURCE_DIR "/tests/data/show_digest.txt");
    ASSERT_FALSE(expected.empty()) << "no tests/data/show_digest.txt";
    std::string played = show_digest_table();
    if (played == expected) return;
    // The first rows that differ say which part went astray, and when.
    std::istringstream a(expected), b(played);
    std::string want, got;
    int shown = 0;
    while (shown < 5) {
        bool more_wanted = bool(std::getline(a, want)), more_played = bool(std::getline(b, got));
        if (!more_wanted && !more_played) break;
        if (!more_wanted) want = "(none)";
        if (!more_played) got = "(none)";
        if (want != got) {
            ADD_FAILURE() << "expected \"" << want << "\", played \"" << got << "\" (second part digest)";
            shown++;
        }
    }
}

}  // namespace
