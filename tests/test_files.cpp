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

TEST_F(Files, MissingPackLeavesLooseFilesAndLooseCopyWinsOverThePack) {
    EXPECT_EQ(archive_open("Data"), 0);
    ASSERT_TRUE(write_file("a.txt", bytes_of("loose")));
    EXPECT_EQ(file_open("c.txt", "rb"), -1);
    make_pack({{"a.txt", bytes_of("packed")}});
    int h = file_open("a.txt", "rb");
    ASSERT_GE(h, 0);
    char buffer[16] = {};
    EXPECT_EQ(file_read(buffer, 1, 5, h), 5u);
    EXPECT_STREQ(buffer, "loose");
    file_close(h);
}

TEST_F(Files, PackNamesIgnoreCaseAndMissingNamesGiveMinusOne) {
    make_pack({{"timing.dat", bytes_of("1\n")}, {"Mirror.BMP", bytes_of("x")}});
    int h = file_open("TIMING.DAT", "rb");
    ASSERT_GE(h, 0);
    EXPECT_EQ(file_getc(h), '1');
    int m = file_open("mirror.bmp", "rb");
    EXPECT_GE(m, 0);
    EXPECT_NE(m, h);
    EXPECT_EQ(file_open("nothing.bmp", "rb"), -1);
    file_close(h);
    file_close(m);
}

TEST_F(Files, ReadsAreWholeOrNothingInThePackAndPartialOnLooseFiles) {
    std::vector<uint8_t> data(39);
    for (size_t i = 0; i < data.size(); i++) data[i] = uint8_t(i);
    make_pack({{"rec.bin", data}, {"next.bin", bytes_of("NEXTNEXTNEXT")}});
    int h = file_open("rec.bin", "rb");
    ASSERT_GE(h, 0);
    uint8_t buffer[40];
    EXPECT_EQ(file_read(buffer, 10, 4, h), 0u);
    EXPECT_EQ(file_tell(h), 0);
    EXPECT_EQ(file_read(buffer, 10, 3, h), 3u);
    EXPECT_EQ(buffer[29], 29);
    EXPECT_EQ(file_tell(h), 30);
    EXPECT_EQ(file_read(buffer, 1, 9, h), 9u);
    EXPECT_EQ(buffer[8], 38);
    EXPECT_NE(file_eof(h), 0);
    EXPECT_EQ(file_read(buffer, 1, 1, h), 0u);
    file_close(h);

    ASSERT_TRUE(write_file("loose.bin", data));
    int l = file_open("loose.bin", "rb");
    ASSERT_GE(l, 0);
    EXPECT_EQ(file_read(buffer, 10, 4, l), 3u);
    file_close(l);
}

TEST_F(Files, GetcReturnsEveryByteThenMinusOne) {
    std::vector<uint8_t> data = {0, 255, 10, 13, 'z'};
    make_pack({{"first", data}, {"second", bytes_of("SECOND")}});
    int h = file_open("first", "rb");
    ASSERT_GE(h, 0);
    for (uint8_t expected : data) {
        EXPECT_EQ(file_eof(h), 0);
        EXPECT_EQ(file_getc(h), expected);
    }
    EXPECT_NE(file_eof(h), 0);
    EXPECT_EQ(file_getc(h), -1);
    EXPECT_EQ(file_getc(h), -1);
    file_close(h);
}

TEST_F(Files, SeekToTheEndTellsTheSize) {
    make_pack({{"sized", std::vector<uint8_t>(1234, 7)}});
    int h = file_open("sized", "rb");
    ASSERT_GE(h, 0);
    EXPECT_EQ(file_seek(h, 0, 2), 0);
    EXPECT_EQ(file_tell(h), 1234);
    EXPECT_EQ(file_seek(h, 0, 0), 0);
    EXPECT_EQ(file_tell(h), 0);
    EXPECT_EQ(file_seek(h, 10, 1), 0);
    EXPECT_EQ(file_seek(h, 5, 1), 0);
    EXPECT_EQ(file_tell(h), 15);
    file_close(h);
}

TEST_F(Files, CloseAllEmptiesThePackDirectory) {
    make_pack({{"only.pack", bytes_of("p")}});
    ASSERT_TRUE(write_file("loose.txt", bytes_of("l")));
    int h = file_open("only.pack", "rb");
    ASSERT_GE(h, 0);
    file_close_all();
    EXPECT_EQ(file_open("only.pack", "rb"), -1);
    int l = file_open("loose.txt", "rb");
    EXPECT_EQ(l, 0);  // every slot was freed
    file_close(l);
}

TEST_F(Files, EntriesKeepTheirOwnPositionsWhenReadInTurn) {
    make_pack({{"one", bytes_of("abcdef")}, {"two", bytes_of("uvwxyz")}});
    int a = file_open("one", "rb");
    int b = file_open("two", "rb");
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    std::string got;
    for (int i = 0; i < 6; i++) {
        got += char(file_getc(a));
        got += char(file_getc(b));
    }
    EXPECT_EQ(got, "aubvcwdxeyfz");
    char buf[4] = {};
    ASSERT_EQ(file_seek(a, 2, 0), 0);
    EXPECT_EQ(file_read(buf, 1, 3, a), 3u);
    EXPECT_STREQ(buf, "cde");
    file_close(a);
    file_close(b);
}

TEST_F(Files, GetsReadsLinesAndDropsALineRunningPastTheEntry) {
    make_pack({{"lines.txt", bytes_of("one\r\ntwo\nlast")}, {"after", bytes_of("MORE\n")}});
    int h = file_open("lines.txt", "rb");
    ASSERT_GE(h, 0);
    char buf[80];
    ASSERT_NE(file_gets(buf, sizeof buf, h), nullptr);
    EXPECT_STREQ(buf, "one\r\n");
    ASSERT_NE(file_gets(buf, sizeof buf, h), nullptr);
    EXPECT_STREQ(buf, "two\n");
    EXPECT_EQ(file_eof(h), 0);
    EXPECT_EQ(file_gets(buf, sizeof buf, h), nullptr);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[79], 0);
    EXPECT_NE(file_eof(h), 0);
    EXPECT_GT(file_tell(h), 13);
    EXPECT_EQ(file_gets(buf, sizeof buf, h), nullptr);
    EXPECT_EQ(file_getc(h), -1);
    file_close(h);
}

TEST_F(Files, GetsSplitsLongLinesAndEndsAtALastLineFeed) {
    make_pack({{"long.txt", bytes_of("abcdefg\n")}});
    int h = file_open("long.txt", "rb");
    ASSERT_GE(h, 0);
    char buf[4];
    ASSERT_NE(file_gets(buf, 4, h), nullptr);
    EXPECT_STREQ(buf, "abc");
    ASSERT_NE(file_gets(buf, 4, h), nullptr);
    EXPECT_STREQ(buf, "def");
    ASSERT_NE(file_gets(buf, 4, h), nullptr);
    EXPECT_STREQ(buf, "g\n");
    EXPECT_NE(file_eof(h), 0);
    EXPECT_EQ(file_gets(buf, 4, h), nullptr);
    file_close(h);
}

TEST_F(Files, GetsWithNoRoomReadsNothing) {
    make_pack({{"x.txt", bytes_of("xy\n")}});
    ASSERT_TRUE(write_file("y.txt", bytes_of("xy\n")));
    for (const char *name : {"x.txt", "y.txt"}) {
        int h = file_open(name, "rb");
        ASSERT_GE(h, 0);
        char buf[2] = {'q', 'q'};
        EXPECT_EQ(file_gets(buf, 1, h), nullptr) << name;
        EXPECT_EQ(buf[0], 0) << name;
        EXPECT_EQ(buf[1], 'q') << name;
        buf[0] = 'q';
        EXPECT_EQ(file_gets(buf, 0, h), nullptr) << name;
        EXPECT_EQ(file_gets(buf, -5, h), nullptr) << name;
        EXPECT_EQ(buf[0], 'q') << name;
        EXPECT_EQ(file_tell(h), 0) << name;
        EXPECT_EQ(file_getc(h), 'x') << name;
        file_close(h);
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
        EXPECT_EQ(file_getc(h), '2') << name;
        EXPECT_EQ(file_seek(h, -5, 2), 0) << name;
        EXPECT_EQ(file_getc(h), '1') << name;
        file_close(h);
    }
}

TEST_F(Files, ReadsAfterTheEndNeverSeeTheNextEntry) {
    make_pack({{"short", bytes_of("ab")}, {"neighbour", bytes_of("NEIGHBOUR\n")}});
    int h = file_open("short", "rb");
    ASSERT_GE(h, 0);
    ASSERT_EQ(file_seek(h, 5, 0), 0);
    EXPECT_EQ(file_tell(h), 5);
    EXPECT_NE(file_eof(h), 0);
    EXPECT_EQ(file_getc(h), -1);
    char buf[32] = {};
    EXPECT_EQ(file_read(buf, 1, 1, h), 0u);
    EXPECT_EQ(file_gets(buf, sizeof buf, h), nullptr);
    EXPECT_EQ(buf[0], 0);
    ASSERT_EQ(file_seek(h, 1, 0), 0);
    EXPECT_EQ(file_read(buf, 1, 4, h), 0u);
    EXPECT_EQ(file_getc(h), 'b');
    EXPECT_EQ(file_getc(h), -1);
    file_close(h);
}

TEST_F(Files, SixteenFilesMayBeOpenAtOnceAndBadHandlesAreFatal) {
    make_pack({{"p", bytes_of("p")}});
    int handles[MAX_OPEN_FILES];
    for (int i = 0; i < MAX_OPEN_FILES; i++) {
        handles[i] = file_open("p", "rb");
        EXPECT_EQ(handles[i], i);
    }
    EXPECT_EXIT(file_open("p", "rb"), ::testing::ExitedWithCode(1),
                "FILES: \\[p\\] too many open files \\(at most 16\\)");
    file_close(handles[7]);
    EXPECT_EQ(file_open("p", "rb"), 7);
    file_close(3);
    EXPECT_EXIT(file_getc(3), ::testing::ExitedWithCode(1), "FILES: invalid file handle 3");
    EXPECT_EXIT(file_close(-1), ::testing::ExitedWithCode(1), "FILES: invalid file handle -1");
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

TEST_F(FilesBadPack, EmptyPackAndEmptyEntryAreFine) {
    std::vector<uint8_t> b;
    put16(b, 1);
    put_row(b, "empty", 42, 0);
    ASSERT_TRUE(write_file("Data", b));
    archive_open("Data");
    int h = file_open("empty", "rb");
    ASSERT_GE(h, 0);
    EXPECT_NE(file_eof(h), 0);
    EXPECT_EQ(file_getc(h), -1);
    char buf[8];
    EXPECT_EQ(file_gets(buf, sizeof buf, h), nullptr);
    file_close(h);
}

}  // namespace
