// test_layers.cpp: includes between the folders of src/ run one way, from the entry point
// down to the platform layer, so no folder depends on one above it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

// Bottom to top; a file may include its own folder and those below it.
const char *const layers[] = {"platform", "app", "texture", "scene", "render", "parts", "demo"};

int layer_of(const std::string &folder) {
    for (int i = 0; i < int(std::size(layers)); i++)
        if (folder == layers[i]) return i;
    return -1;
}

TEST(Layers, EveryIncludeOfSrcPointsToItsOwnLayerOrOneBelow) {
    namespace fs = std::filesystem;
    const fs::path src = fs::path(KELP_SOURCE_DIR) / "src";
    const std::regex include_line("^\\s*#\\s*include\\s*\"([a-z_]+)/[^\"]+\"");
    int files = 0;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        fs::path relative = fs::relative(entry.path(), src);
        if (relative.begin() == relative.end() || std::next(relative.begin()) == relative.end()) continue;
        std::string folder = relative.begin()->string();
        int own = layer_of(folder);
        ASSERT_GE(own, 0) << "src/" << folder << " is in no layer";
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (!std::regex_search(line, m, include_line)) continue;
            int target = layer_of(m[1]);
            EXPECT_TRUE(target >= 0 && target <= own) << relative.string() << " includes " << m[1] << "/";
        }
    }
    EXPECT_GT(files, 50);
}

}  // namespace
