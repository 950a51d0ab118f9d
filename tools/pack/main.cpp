// main.cpp: kelp-pack, the tool that makes, lists and unpacks a "Data" pack for a show.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "writers/bmp_writer.h"
#include "writers/pack_writer.h"

namespace fs = std::filesystem;

// Print how the tool is used and return the usage exit code.
static int usage() {
    fprintf(stderr,
            "usage: kelp-pack create ARCHIVE FILE_OR_FOLDER...  pack files (a folder: its files)\n"
            "       kelp-pack list ARCHIVE                     show the files of a pack\n"
            "       kelp-pack extract ARCHIVE [FOLDER]         unpack every file (default: .)\n");
    return 2;
}

// Print an error and return the failure exit code.
static int fail(const std::string &message) {
    fprintf(stderr, "kelp-pack: %s\n", message.c_str());
    return 1;
}

// Read a whole file whose size is known; false on a short read.
static bool read_whole(const fs::path &path, uint64_t size, std::vector<uint8_t> *data) {
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return false;
    data->resize(size_t(size));
    bool ok = fread(data->data(), 1, data->size(), f) == data->size() && fgetc(f) == EOF;
    fclose(f);
    return ok;
}

// True when `path` names the same file as the pack being written.
static bool is_output(const fs::path &path, const fs::path &output) {
    std::error_code ec;
    return fs::exists(output, ec) && fs::equivalent(path, output, ec);
}

// kelp-pack create ARCHIVE FILE_OR_FOLDER...
static int create(const std::string &archive, const std::vector<std::string> &inputs) {
    std::vector<fs::path> files;
    for (const std::string &input : inputs) {
        std::error_code ec;
        fs::file_status status = fs::status(input, ec);
        if (ec || !fs::exists(status)) return fail("cannot find " + input);
        if (fs::is_directory(status)) {
            std::vector<fs::path> inside;
            for (const fs::directory_entry &e : fs::directory_iterator(input, ec)) {
                if (e.is_regular_file() && !is_output(e.path(), archive))
                    inside.push_back(e.path());
                else if (e.is_directory())
                    fprintf(stderr, "kelp-pack: skipping folder %s\n", e.path().c_str());
            }
            if (ec) return fail("cannot read folder " + input + ": " + ec.message());
            std::sort(inside.begin(), inside.end());
            files.insert(files.end(), inside.begin(), inside.end());
        } else if (fs::is_regular_file(status)) {
            if (is_output(input, archive)) return fail(input + " is the pack being written");
            files.push_back(input);
        } else {
            return fail(input + " is not a file or folder");
        }
    }

    std::vector<std::string> names;
    std::vector<uint64_t> sizes;
    for (const fs::path &file : files) {
        std::error_code ec;
        uint64_t size = fs::file_size(file, ec);
        if (ec) return fail("cannot read " + file.string() + ": " + ec.message());
        names.push_back(file.filename().string());
        sizes.push_back(size);
    }
    std::string error;
    if (!pack_check(names, sizes, &error)) return fail(error);

    std::vector<PackEntry> entries(files.size());
    uint64_t total = 0;
    for (size_t i = 0; i < files.size(); i++) {
        entries[i].name = names[i];
        if (!read_whole(files[i], sizes[i], &entries[i].data))
            return fail("cannot read " + files[i].string() + " (did it change?)");
        total += sizes[i];
    }
    if (!pack_write(archive, entries, &error)) return fail(error);
    printf("%s: %zu files, %llu bytes of data\n", archive.c_str(), entries.size(),
           (unsigned long long)total);
    return 0;
}

// kelp-pack list ARCHIVE
static int list(const std::string &archive) {
    std::vector<PackDirectoryEntry> entries;
    std::string error;
    if (!pack_read_directory(archive, &entries, &error)) return fail(error);
    uint64_t total = 0;
    for (const PackDirectoryEntry &e : entries) {
        printf("%10u  %s\n", e.size, e.name.c_str());
        total += e.size;
    }
    printf("%zu files, %llu bytes of data\n", entries.size(), (unsigned long long)total);
    return 0;
}

// kelp-pack extract ARCHIVE [FOLDER]
static int extract(const std::string &archive, const std::string &folder) {
    std::vector<PackDirectoryEntry> entries;
    std::string error;
    if (!pack_read_directory(archive, &entries, &error)) return fail(error);
    for (const PackDirectoryEntry &e : entries)
        if (e.name.empty() || e.name == "." || e.name == ".." ||
            e.name.find_first_of("/\\") != std::string::npos)
            return fail(archive + ": entry name \"" + e.name + "\" is not a plain file name");
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return fail("cannot create folder " + folder + ": " + ec.message());
    for (const PackDirectoryEntry &e : entries) {
        std::vector<uint8_t> data;
        if (!pack_read_entry(archive, e, &data, &error)) return fail(error);
        fs::path out = fs::path(folder) / e.name;
        if (!write_file(out.string(), data)) return fail("cannot write " + out.string());
    }
    printf("%s: %zu files extracted to %s\n", archive.c_str(), entries.size(), folder.c_str());
    return 0;
}

int main(int argc, char **argv) {
    if (argc < 3) return usage();
    std::string command = argv[1], archive = argv[2];
    if (command == "create" && argc >= 4)
        return create(archive, std::vector<std::string>(argv + 3, argv + argc));
    if (command == "list" && argc == 3) return list(archive);
    if (command == "extract" && (argc == 3 || argc == 4))
        return extract(archive, argc == 4 ? argv[3] : ".");
    return usage();
}
