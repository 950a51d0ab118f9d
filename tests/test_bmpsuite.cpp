// test_bmpsuite.cpp: the BMP decoder against a public suite of valid and broken files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "texture/texture.h"

namespace {

// The suite's copy in the repository.
const std::string suite = std::string(KELP_SOURCE_DIR) + "/tests/data/bmpsuite/";

std::vector<uint8_t> read_all(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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

// Files of g/ the reader refuses, and the start of the message each must give.
const struct {
    const char *file, *message;
} refused[] = {
    {"pal1.bmp", "has 1bpp, must be 8 or 24!"},        {"pal1bg.bmp", "has 1bpp, must be 8 or 24!"},
    {"pal1wb.bmp", "has 1bpp, must be 8 or 24!"},      {"pal4.bmp", "has 4bpp, must be 8 or 24!"},
    {"pal4gs.bmp", "has 4bpp, must be 8 or 24!"},      {"pal4rle.bmp", "has 4bpp, must be 8 or 24!"},
    {"pal8rle.bmp", "has compression!"},               {"pal8os2.bmp", "has an info header of 12 bytes"},
    {"rgb16-565.bmp", "has 16bpp, must be 8 or 24!"},  {"rgb16-565pal.bmp", "has 16bpp, must be 8 or 24!"},
    {"rgb16.bmp", "has 16bpp, must be 8 or 24!"},      {"rgb16bfdef.bmp", "has 16bpp, must be 8 or 24!"},
    {"rgb32.bmp", "has 32bpp, must be 8 or 24!"},      {"rgb32bf.bmp", "has 32bpp, must be 8 or 24!"},
    {"rgb32bfdef.bmp", "has 32bpp, must be 8 or 24!"},
};

std::string escape(const std::string &s) {
    std::string out;
    for (char c : s) {
        if (strchr(".()[]{}*+?|^$\\!", c)) out += '\\';
        out += c;
    }
    return out;
}

struct Decoded {
    TextureRecord record{};
    ~Decoded() { free(record.pixels); }
};

void decode_file(const std::string &dir, const std::string &file, Decoded &d) {
    std::vector<uint8_t> bytes = read_all(suite + dir + file);
    bmp_decode(bytes.data(), bytes.size(), file.c_str(), d.record);
}

class BmpSuite : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        if (list_bmps("g").empty()) GTEST_FAIL() << "no BMP suite at " << suite;
    }
};

}  // namespace

TEST_F(BmpSuite, AcceptedFilesShowTheKnownPicture) {
    for (const Known &k : known) {
        SCOPED_TRACE(k.file);
        Decoded d;
        decode_file("g/", k.file, d);
        ASSERT_EQ(d.record.width, k.width);
        ASSERT_EQ(d.record.height, k.height);
        uint64_t hash = 0xcbf29ce484222325ull;
        for (int y = k.height - 1; y >= 0; --y)
            for (int x = 0; x < k.width; ++x) {
                const uint8_t *t = d.record.pixels + (size_t(y) * k.width + x) * 4;
                for (int c = 0; c < 3; ++c) hash = (hash ^ t[c]) * 0x100000001b3ull;
                bool key = t[0] == 255 && t[1] == 0 && t[2] == 255;
                ASSERT_EQ(t[3], key ? 0 : 255);
            }
        EXPECT_EQ(hash, k.rgb_hash);
    }
}

TEST_F(BmpSuite, EveryOtherValidFileIsRefusedClearly) {
    std::set<std::string> covered;
    for (const Known &k : known) covered.insert(k.file);
    for (auto &r : refused) {
        covered.insert(r.file);
        Decoded d;
        EXPECT_EXIT(decode_file("g/", r.file, d), ::testing::ExitedWithCode(1),
                    "^texture " + escape(r.file) + " " + escape(r.message))
            << r.file;
    }
    for (const std::string &f : list_bmps("g")) EXPECT_TRUE(covered.count(f)) << f << " is not classified";
}

TEST_F(BmpSuite, EveryBrokenFileEndsWithAClearMessage) {
    std::vector<std::string> files = list_bmps("b");
    ASSERT_GE(files.size(), 15u);
    for (const std::string &f : files) {
        Decoded d;
        EXPECT_EXIT(decode_file("b/", f, d), ::testing::ExitedWithCode(1),
                    "^texture " + escape(f) + " (has|is truncated)")
            << f;
    }
}
