// test_bmpsuite.cpp: the BMP decoder against a public suite of valid and broken files.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>

#include "support/test_data.h"

namespace {

// The suite's copy in the repository.
const std::string suite = std::string(KELP_SOURCE_DIR) + "/tests/data/bmpsuite/";

std::vector<std::string> list_bmps(const std::string &dir) {
    std::vector<std::string> names;
    if (DIR *d = opendir((suite + dir).c_str())) {
        while (dirent *e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.substr(n.size() - 4) == ".bmp") names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The known pictures: FNV-1a 64 of the RGB bytes, top row first, as an independent
// decoder reads them, and the size.
struct Known {
    const char *file;
    int width, height;
    uint64_t rgb_hash;
};
const Known known[] = {
    {"rgb24.bmp", 127, 64, 0x7cd8f819ae69b2afull},     {"rgb24pal.bmp", 127, 64, 0x7cd8f819ae69b2afull},
    {"pal8.bmp", 127, 64, 0x4598e7515a0f7954ull},      {"pal8-0.bmp", 127, 64, 0x4598e7515a0f7954ull},
    {"pal8v4.bmp", 127, 64, 0x4598e7515a0f7954ull},    {"pal8v5.bmp", 127, 64, 0x4598e7515a0f7954ull},
    {"pal8topdown.bmp", 127, 64, 0x4598e7515a0f7954ull}, {"pal8gs.bmp", 127, 64, 0x13c463af6d9a108full},
    {"pal8w124.bmp", 124, 61, 0xb48c84d29e14ad3dull}, {"pal8w125.bmp", 125, 62, 0xdc7be9a5fc79ab93ull},
    {"pal8w126.bmp", 126, 63, 0x06c840bab970062dull}, {"pal8nonsquare.bmp", 127, 32, 0xb937ea06db3c196cull},
};

// Files of g/ the reader refuses, one of each kind, and the start of the message each must give.
const struct {
    const char *file, *message;
} refused[] = {
    {"pal1.bmp", "has 1bpp, must be 8 or 24!"},       {"pal4rle.bmp", "has 4bpp, must be 8 or 24!"},
    {"pal8rle.bmp", "has compression!"},              {"pal8os2.bmp", "has an info header of 12 bytes"},
    {"rgb16-565.bmp", "has 16bpp, must be 8 or 24!"}, {"rgb32bf.bmp", "has 32bpp, must be 8 or 24!"},
};

DecodedBmp decode_file(const std::string &dir, const std::string &file) {
    return DecodedBmp(read_bytes(suite + dir + file), file.c_str());
}

class BmpSuite : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        if (list_bmps("g").empty() || list_bmps("b").empty()) GTEST_FAIL() << "no BMP suite at " << suite;
    }
};

}  // namespace

TEST_F(BmpSuite, AcceptedFilesShowTheKnownPicture) {
    for (const Known &k : known) {
        SCOPED_TRACE(k.file);
        DecodedBmp d = decode_file("g/", k.file);
        ASSERT_EQ(d.record.width, k.width);
        ASSERT_EQ(d.record.height, k.height);
        uint64_t hash = 0xcbf29ce484222325ull;
        for (int y = k.height - 1; y >= 0; --y)
            for (int x = 0; x < k.width; ++x) {
                const uint8_t *t = d.texel(x, y);
                for (int c = 0; c < 3; ++c) hash = (hash ^ t[c]) * 0x100000001b3ull;
                bool key = t[0] == 255 && t[1] == 0 && t[2] == 255;
                ASSERT_EQ(t[3], key ? 0 : 255);
            }
        EXPECT_EQ(hash, k.rgb_hash);
    }
}

// Every other file of g/ and every file of b/ stops with a message naming it; the files of
// the table above with their own message.
TEST_F(BmpSuite, EveryOtherFileIsRefusedClearly) {
    for (const char *dir : {"g/", "b/"})
        for (const std::string &f : list_bmps(dir)) {
            if (std::any_of(std::begin(known), std::end(known), [&](const Known &k) { return f == k.file; })) continue;
            std::string message = *dir == 'b' ? "(has|is truncated)" : "has";
            for (const auto &r : refused)
                if (f == r.file) message = r.message;
            EXPECT_EXIT(decode_file(dir, f), ::testing::ExitedWithCode(1), "^texture " + f + " " + message) << f;
        }
}
