// scratch_dir.h: a fresh directory under /tmp that a test works in (made current), removed
// after by the process that made it (a death test's child leaves it alone), and the reading
// back of the files written there.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct ScratchDir {
    std::string path;
    std::string previous;
    pid_t owner;
    ScratchDir() : owner(getpid()) {
        char name[] = "/tmp/kelp-test-XXXXXX";
        path = mkdtemp(name) ? name : "";
        char cwd[4096];
        previous = getcwd(cwd, sizeof cwd) ? cwd : "";
        enter();
    }
    // Make it the working directory again (after a test elsewhere changed it).
    void enter() {
        if (!path.empty() && chdir(path.c_str()) != 0) path.clear();
    }
    ~ScratchDir() {
        if (getpid() != owner) return;
        if (!previous.empty() && chdir(previous.c_str()) != 0) return;
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
};

// The whole file, or nothing when it cannot be read.
inline std::vector<uint8_t> read_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline std::string read_text(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
