// test_files.cpp: the file layer over loose files and the "Data" pack, and its bad-input stops.
#include <gtest/gtest.h>

#include <cstring>

#include "app/files.h"
#include "support/scratch_dir.h"
#include "writers/bmp_writer.h"
#include "writers/pack_writer.h"

namespace {

std::vector<uint8_t> bytes_of(const std::string &text) { return {text.begin(), text.end()}; }

// Write a pack named "Data" into the working directory and open it.
void make_pack(const std::vector<PackEntry> &entries) {
    std::string error;
    ASSERT_TRUE(pack_write("Data", entries, &error)) << error;
    archive_open("Data");
}

// Little-endian helpers for hand-made broken packs.
void put16(std::vector<uint8_t> &b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t> &b, uint32_t v) {
    for (int i = 0; i < 4; i++) b.push_back(uint8_t(v >> (8 * i)));
}
void put_row(std::vector<uint8_t> &b, const char *name, uint32_t offset, uint32_t size) {
    char row[32] = {};
    memcpy(row, name, strnlen(name, sizeof row));
    b.insert(b.end(), row, row + 32);
    put32(b, offset);
    put32(b, size);
}

class Files : public ::testing::Test {
protected:
    ScratchDir dir;
    void SetUp() override {
        ::testing::FLAGS_gtest_death_test_style = "threadsafe";
        ASSERT_FALSE(dir.path.empty());
    }
    void TearDown() override { file_close_all(); }
};

// Opening: no pack leaves the loose files; a loose copy wins over the pack; pack names
// ignore case; missing names give -1. Entries read in turn keep their own positions.
TEST_F(Files, OpenFindsLooseFilesFirstThenThePack) {
    EXPECT_EQ(archive_open("Data"), 0);
    ASSERT_TRUE(write_file("a.txt", bytes_of("loose")));
    EXPECT_EQ(file_open("c.txt", "rb"), -1);
    make_pack({{"a.txt", bytes_of("packed")}, {"timing.dat", bytes_of("abcdef")}, {"Mirror.BMP", bytes_of("uvwxyz")}});
    int h = file_open("a.txt", "rb");
    ASSERT_GE(h, 0);
    char buffer[16] = {};
    EXPECT_EQ(file_read(buffer, 1, 5, h), 5u);
    EXPECT_STREQ(buffer, "loose");
    int t = file_open("TIMING.DAT", "rb"), m = file_open("mirror.bmp", "rb");
    ASSERT_GE(t, 0);
    ASSERT_GE(m, 0);
    std::string got;
    for (int i = 0; i < 6; i++) got += char(file_getc(t)), got += char(file_getc(m));
    EXPECT_EQ(got, "aubvcwdxeyfz");
    ASSERT_EQ(file_seek(t, 2, 0), 0);
    EXPECT_EQ(file_read(buffer, 1, 3, t), 3u);
    EXPECT_EQ(std::string(buffer, 3), "cde");
    EXPECT_EQ(file_open("nothing.bmp", "rb"), -1);
}

// Reads in the pack are whole records or nothing, on loose files partial; getc gives every
// byte then -1; seek and tell move within the entry and never into the next one.
TEST_F(Files, ReadGetcSeekAndTellStayInTheEntry) {
    std::vector<uint8_t> data(39);
    for (size_t i = 0; i < data.size(); i++) data[i] = uint8_t(i);
    data[1] = 255, data[2] = 10, data[3] = 13;
    make_pack({{"rec.bin", data}, {"next.bin", bytes_of("NEXTNEXTNEXT")}});
    int h = file_open("rec.bin", "rb");
    ASSERT_GE(h, 0);
    for (size_t i = 0; i < data.size(); i++) {
        EXPECT_EQ(file_eof(h), 0);
        EXPECT_EQ(file_getc(h), data[i]) << i;
    }
    EXPECT_NE(file_eof(h), 0);
    EXPECT_EQ(file_getc(h), -1);
    EXPECT_EQ(file_getc(h), -1);
    // s: seek (a, whence b) gives `want`, then tell gives `at`; r: read (size a, count b) gives
    // `want` records, its last byte being the one before `at`; g: getc gives `want`.
    const struct {
        char op;
        int a, b;
        long want, at;
    } steps[] = {{'s', 0, 2, 0, 39}, {'s', 0, 0, 0, 0},  {'r', 10, 4, 0, 0},  {'r', 10, 3, 3, 30},
                 {'s', 2, 1, 0, 32}, {'s', -1, 1, 0, 31}, {'r', 1, 8, 8, 39},  {'r', 1, 1, 0, 39},
                 // past the end: nothing of the next entry shows
                 {'s', 45, 0, 0, 45}, {'g', 0, 0, -1, 45}, {'r', 1, 1, 0, 45}, {'s', 37, 0, 0, 37},
                 {'r', 1, 4, 0, 37}, {'g', 0, 0, 37, 38}};
    uint8_t buffer[40];
    for (const auto &c : steps) {
        long got = c.op == 's'   ? file_seek(h, c.a, c.b)
                   : c.op == 'g' ? file_getc(h)
                                 : long(file_read(buffer, size_t(c.a), size_t(c.b), h));
        EXPECT_EQ(got, c.want) << c.op << c.a << "," << c.b;
        EXPECT_EQ(file_tell(h), c.at) << c.op << c.a << "," << c.b;
        EXPECT_TRUE(c.op != 'r' || got == 0 || buffer[c.a * got - 1] == c.at - 1) << "last byte read";
        EXPECT_TRUE(c.at != 39 || file_eof(h)) << "at the end";
    }
    ASSERT_EQ(file_seek(h, 45, 0), 0);
    char line[32] = {};
    EXPECT_EQ(file_gets(line, sizeof line, h), nullptr);
    EXPECT_EQ(line[0], 0);
    ASSERT_TRUE(write_file("loose.bin", data));
    int l = file_open("loose.bin", "rb");
    ASSERT_GE(l, 0);
    EXPECT_EQ(file_read(buffer, 10, 4, l), 3u);
}

// gets reads whole lines, splits long ones and drops a last line without a line feed rather
// than run into the next entry; with no room it reads nothing.
TEST_F(Files, GetsReadsLinesInThePackAndOnLooseFiles) {
    make_pack({{"lines.txt", bytes_of("one\nlast")}, {"long.txt", bytes_of("abcdefg\n")}, {"x.txt", bytes_of("xy\n")}});
    int h = file_open("lines.txt", "rb");
    ASSERT_GE(h, 0);
    char buf[80];
    ASSERT_NE(file_gets(buf, sizeof buf, h), nullptr);
    EXPECT_STREQ(buf, "one\n");
    EXPECT_EQ(file_gets(buf, sizeof buf, h), nullptr);
    EXPECT_EQ(buf[0], 0);
    EXPECT_NE(file_eof(h), 0);
    h = file_open("long.txt", "rb");
    for (const char *want : {"abc", "def", "g\n"}) {
        ASSERT_NE(file_gets(buf, 4, h), nullptr);
        EXPECT_STREQ(buf, want);
    }
    EXPECT_NE(file_eof(h), 0);
    EXPECT_EQ(file_gets(buf, 4, h), nullptr);
    ASSERT_TRUE(write_file("y.txt", bytes_of("xy\n")));
    for (const char *name : {"x.txt", "y.txt"}) {
        h = file_open(name, "rb");
        ASSERT_GE(h, 0);
        char two[2] = {'q', 'q'};
        EXPECT_EQ(file_gets(two, 1, h), nullptr) << name;
        EXPECT_EQ(two[0], 0) << name;
        EXPECT_EQ(two[1], 'q') << name;
        two[0] = 'q';
        EXPECT_EQ(file_gets(two, 0, h), nullptr) << name;
        EXPECT_EQ(two[0], 'q') << name;
        EXPECT_EQ(file_tell(h), 0) << name;
        EXPECT_EQ(file_getc(h), 'x') << name;
    }
}

TEST_F(Files, SeekBeforeTheStartIsRefusedAndKeepsThePosition) {
    make_pack({{"before", bytes_of("BEFORE")}, {"seek", bytes_of("12345")}});
    ASSERT_TRUE(write_file("loose", bytes_of("12345")));
    for (const char *name : {"seek", "loose"}) {
        int h = file_open(name, "rb");
        ASSERT_GE(h, 0);
        ASSERT_EQ(file_getc(h), '1');
        EXPECT_NE(file_seek(h, -3, 0), 0) << name;
        EXPECT_NE(file_seek(h, -2, 1), 0) << name;
        EXPECT_NE(file_seek(h, -6, 2), 0) << name;
        EXPECT_EQ(file_tell(h), 1) << name;
        EXPECT_EQ(file_seek(h, -5, 2), 0) << name;
        EXPECT_EQ(file_getc(h), '1') << name;
    }
}

// Sixteen files may be open at once, a seventeenth is refused; closing frees a slot and
// close_all every slot and the pack directory. Handles outside 0..15 or closed are fatal.
TEST_F(Files, OpenFileTableAndBadHandles) {
    make_pack({{"p", bytes_of("p")}});
    ASSERT_TRUE(write_file("loose.txt", bytes_of("l")));
    for (int i = 0; i < MAX_OPEN_FILES; i++) EXPECT_EQ(file_open("p", "rb"), i);
    EXPECT_EXIT(file_open("p", "rb"), ::testing::ExitedWithCode(1), "FILES: \\[p\\] too many open files \\(at most 16\\)");
    file_close(7);
    EXPECT_EQ(file_open("p", "rb"), 7);
    file_close(3);
    for (int bad : {3, -1, int(MAX_OPEN_FILES)})
        EXPECT_EXIT(file_getc(bad), ::testing::ExitedWithCode(1), "FILES: invalid file handle " + std::to_string(bad));
    EXPECT_EXIT(file_close(-1), ::testing::ExitedWithCode(1), "FILES: invalid file handle -1");
    file_close_all();
    EXPECT_EQ(file_open("p", "rb"), -1);
    EXPECT_EQ(file_open("loose.txt", "rb"), 0);
}

using FilesBadPack = Files;

// Every broken directory stops with a message naming the pack, never a read past the file.
TEST_F(FilesBadPack, BrokenDirectoriesAreFatal) {
    std::vector<uint8_t> cut, many, beyond, unterminated;
    put16(cut, 3);
    put_row(cut, "a", 0, 0);
    put16(many, 257);
    for (int i = 0; i < 257; i++) put_row(many, ("f" + std::to_string(i)).c_str(), 0, 0);
    put16(beyond, 2);
    put_row(beyond, "fine", 82, 4);
    put_row(beyond, "far.bmp", 84, 0xfffffff0u);
    put32(beyond, 0x01020304);
    put16(unterminated, 1);
    unterminated.insert(unterminated.end(), 32, uint8_t('n'));
    put32(unterminated, 42);
    put32(unterminated, 0);
    const struct {
        std::vector<uint8_t> bytes;
        const char *message;
    } cases[] = {
        {{5}, "directory is truncated \\(needs 2 bytes, has 1\\)"},
        {cut, "directory is truncated \\(needs 122 bytes, has 42\\)"},
        {many, "has 257 entries \\(at most 256\\)"},
        {beyond, "entry far.bmp lies beyond the end of the file \\(ends at 4294967364, file has 86 bytes\\)"},
        {unterminated, "entry 0 has a name without a terminating NUL"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(write_file("Data", c.bytes));
        EXPECT_EXIT(archive_open("Data"), ::testing::ExitedWithCode(1), std::string("ARCHIVE: \\[Data\\] ") + c.message);
    }
}

// A full directory of 256 entries opens; an empty entry reads as at its end.
TEST_F(FilesBadPack, FullDirectoryAndEmptyEntryAreFine) {
    std::vector<uint8_t> b;
    put16(b, MAX_ARCHIVE_ENTRIES);
    for (int i = 0; i < MAX_ARCHIVE_ENTRIES; i++)
        put_row(b, ("f" + std::to_string(i)).c_str(), 2 + MAX_ARCHIVE_ENTRIES * 40, 0);
    ASSERT_TRUE(write_file("Data", b));
    archive_open("Data");
    int h = file_open("f255", "rb");
    ASSERT_GE(h, 0);
    EXPECT_NE(file_eof(h), 0);
    EXPECT_EQ(file_getc(h), -1);
}

}  // namespace
