// test_pack.cpp: kelp-pack run as a program: a round trip through the file layer, listing,
// extraction, and the packs it refuses to make or unpack.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/files.h"
#include "support/test_data.h"
#include "writers/pack_writer.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status = -1;
    std::string output;
};

// Run kelp-pack with the given argument text; collect its exit status and all its output.
RunResult kelp_pack(const std::string &arguments) {
    RunResult r;
    std::string command = std::string(KELP_BINARY_DIR) + "/kelp-pack " + arguments + " 2>&1";
    FILE *p = popen(command.c_str(), "r");
    if (!p) return r;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, p)) > 0) r.output.append(buffer, got);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class PackTool : public ::testing::Test {
protected:
    ScratchDir dir;
    void SetUp() override {
        ASSERT_FALSE(dir.path.empty());
        ASSERT_TRUE(fs::exists(std::string(KELP_BINARY_DIR) + "/kelp-pack"))
            << "build the kelp-pack target first";
    }
    void TearDown() override { file_close_all(); }
};

// Generated content: a BMP, text, binary noise, an empty file and a name of 31 characters.
std::map<std::string, std::vector<uint8_t>> sample_files() {
    std::map<std::string, std::vector<uint8_t>> files;
    auto bytes = [](const std::string &text) { return std::vector<uint8_t>(text.begin(), text.end()); };
    files["Wall.bmp"] = bmp_encode_24(Picture(7, 5));
    files["timing.dat"] = bytes("// timing\r\n1.5\r\n\r\n2.5\n3.5\n");
    std::vector<uint8_t> noise(5000);
    uint32_t s = 7;
    for (uint8_t &b : noise) s = s * 1103515245u + 12345u, b = uint8_t(s >> 16);
    files["noise.raw"] = noise;
    files["empty.bin"] = {};
    files[std::string(31, 'n')] = {1, 2, 3};
    return files;
}

// A pack made from a list of files lists them, extracts them and reads back through the file layer.
TEST_F(PackTool, RoundTripListAndExtract) {
    auto files = sample_files();
    std::string arguments = "create Data";
    for (auto &[name, data] : files) {
        ASSERT_TRUE(write_file(name, data));
        arguments += " " + name;
    }
    RunResult made = kelp_pack(arguments);
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_NE(made.output.find("Data: 5 files"), std::string::npos) << made.output;
    RunResult listed = kelp_pack("list Data");
    ASSERT_EQ(listed.status, 0) << listed.output;
    for (const char *row : {"      5000  noise.raw\n", "         0  empty.bin\n", "5 files"})
        EXPECT_NE(listed.output.find(row), std::string::npos) << listed.output;
    RunResult out = kelp_pack("extract Data out/sub");
    ASSERT_EQ(out.status, 0) << out.output;
    for (auto &[name, data] : files) EXPECT_EQ(read_bytes("out/sub/" + name), data) << name;
    for (auto &[name, data] : files) fs::remove(name);
    archive_open("Data");
    for (auto &[name, data] : files) {
        int h = file_open(name.c_str(), "rb");
        ASSERT_GE(h, 0) << name;
        std::vector<uint8_t> got;
        for (int c; (c = file_getc(h)) != -1;) got.push_back(uint8_t(c));
        EXPECT_EQ(got, data) << name;
        file_close(h);
    }
}

// kelp-pack ARGUMENTS exits with 1 and prints `message`.
void expect_refused(const std::string &arguments, const std::string &message) {
    RunResult r = kelp_pack(arguments);
    EXPECT_EQ(r.status, 1) << arguments;
    EXPECT_NE(r.output.find(message), std::string::npos) << arguments << ": " << r.output;
}

// A pack whose one directory row holds `name` and claims `size` bytes at offset 42.
void write_raw_pack(const std::string &name, uint32_t size, size_t data_bytes) {
    std::vector<uint8_t> b(2 + 32, 0);
    b[0] = 1;
    memcpy(b.data() + 2, name.data(), std::min<size_t>(name.size(), 32));
    for (uint32_t v : {42u, size})
        for (int i = 0; i < 4; i++) b.push_back(uint8_t(v >> (8 * i)));
    b.resize(b.size() + data_bytes, 'd');
    ASSERT_TRUE(write_file("Bad", b));
}

// Names too long, names equal but for case, 257 files, a file over 4 GiB or a missing one:
// refused before anything is written, the old pack and the folder left as they were. A
// folder holding the pack does not pack it; 256 files do fit.
TEST_F(PackTool, RefusesBadSetsAndLeavesTheOldPackAlone) {
    ASSERT_TRUE(write_file("Data", {'o', 'l', 'd'}));
    ASSERT_TRUE(write_file("ok.txt", {'k'}));
    std::string long_name(32, 'x');
    ASSERT_TRUE(write_file(long_name, {1}));
    expect_refused("create Data ok.txt " + long_name, "name too long: " + long_name + " (32 characters, at most 31)");
    fs::create_directories("one");
    fs::create_directories("two");
    ASSERT_TRUE(write_file("one/Tex.BMP", {1}));
    ASSERT_TRUE(write_file("two/tex.bmp", {2}));
    expect_refused("create Data one two", "duplicate name (case ignored): tex.bmp and Tex.BMP");
    fs::create_directories("many");
    for (int i = 0; i < 256; i++) ASSERT_TRUE(write_file("many/f" + std::to_string(i), {}));
    ASSERT_EQ(kelp_pack("create many/Data many").status, 0);
    ASSERT_EQ(kelp_pack("create many/Data many").status, 0);  // again, with many/Data present
    EXPECT_NE(kelp_pack("list many/Data").output.find("256 files"), std::string::npos);
    fs::remove("many/Data");
    ASSERT_TRUE(write_file("many/f256", {}));
    expect_refused("create Data many", "too many files: 257 (a pack holds at most 256)");
    {  // a sparse file just over 4 GiB: refused from its size, before any byte is read
        std::ofstream big("big.bin", std::ios::binary);
        big.seekp(std::streamoff(0x100000000LL));
        big.put(0);
    }
    expect_refused("create Data ok.txt big.bin", "too large for 32-bit offsets: big.bin (4294967297 bytes");
    expect_refused("create Data missing.txt", "cannot find missing.txt");
    EXPECT_EQ(read_bytes("Data"), std::vector<uint8_t>({'o', 'l', 'd'}));
    for (const fs::directory_entry &e : fs::directory_iterator("."))
        EXPECT_EQ(e.path().filename().string().rfind("Data.", 0), std::string::npos) << "temporary file left: " << e.path();
    EXPECT_EQ(kelp_pack("").status, 2);
    EXPECT_EQ(kelp_pack("pack Data").status, 2);
}

TEST_F(PackTool, RefusesToListOrUnpackBrokenPacks) {
    write_raw_pack("../escape.txt", 1, 1);
    expect_refused("extract Bad out", "entry name \"../escape.txt\" is not a plain file name");
    EXPECT_FALSE(fs::exists("escape.txt"));
    write_raw_pack("cut.bin", 100, 10);
    expect_refused("list Bad", "Bad: entry cut.bin lies beyond the end of the file (ends at 142, file has 52 bytes)");
    write_raw_pack(std::string(32, 'z'), 0, 0);
    expect_refused("list Bad", "entry 0 has a name without a terminating NUL");
    ASSERT_TRUE(write_file("Bad", {9, 0, 0}));
    expect_refused("extract Bad", "Bad: directory is truncated (needs 362 bytes, has 3)");
}

// Names no pack may hold, which no file given to the tool can have.
TEST(PackWriter, RefusesEmptyNamesAndPaths) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(pack_encode({{"", {}}}, &bytes, &error));
    EXPECT_FALSE(pack_encode({{"a/b", {}}}, &bytes, &error));
}

}  // namespace
