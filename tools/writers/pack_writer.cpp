// pack_writer.cpp: the "Data" pack on disk: a 16-bit count, 40-byte directory rows
// (32-byte NUL-terminated name, 32-bit offset, 32-bit size), then the files back to back.
#include "app/ascii.h"
#include "writers/pack_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/files.h"
#include "writers/bmp_writer.h"

// Give the message as the error and fail.
static bool fail(std::string *error, const std::string &message) {
    *error = message;
    return false;
}

bool pack_check(const std::vector<std::string> &names, const std::vector<uint64_t> &sizes, std::string *error) {
    if (names.size() != sizes.size()) return fail(error, "internal error: names and sizes differ in count");
    if (names.size() > MAX_ARCHIVE_ENTRIES)
        return fail(error, "too many files: " + std::to_string(names.size()) + " (a pack holds at most " +
                               std::to_string(MAX_ARCHIVE_ENTRIES) + ")");
    uint64_t offset = 2 + uint64_t(names.size()) * ARCHIVE_ENTRY_SIZE;
    for (size_t i = 0; i < names.size(); i++) {
        const std::string &name = names[i];
        if (name.empty()) return fail(error, "empty file name");
        if (name.size() >= ARCHIVE_NAME_SIZE)
            return fail(error, "name too long: " + name + " (" + std::to_string(name.size()) +
                                   " characters, at most " + std::to_string(ARCHIVE_NAME_SIZE - 1) + ")");
        if (name.find_first_of(std::string("/\\\0", 3)) != std::string::npos || name == "." || name == "..")
            return fail(error, "name is not a plain file name: " + name);
        for (size_t j = 0; j < i; j++)
            if (same_name(names[j].c_str(), name.c_str()))
                return fail(error, "duplicate name (case ignored): " + name + " and " + names[j]);
        if (sizes[i] > 0xffffffffull || offset + sizes[i] > 0xffffffffull)
            return fail(error, "too large for 32-bit offsets: " + name + " (" + std::to_string(sizes[i]) +
                                   " bytes at offset " + std::to_string(offset) + ")");
        offset += sizes[i];
    }
    return true;
}

bool pack_encode(const std::vector<PackEntry> &entries, std::vector<uint8_t> *bytes, std::string *error) {
    std::vector<std::string> names;
    std::vector<uint64_t> sizes;
    for (const PackEntry &e : entries) {
        names.push_back(e.name);
        sizes.push_back(e.data.size());
    }
    if (!pack_check(names, sizes, error)) return false;
    std::vector<uint8_t> &out = *bytes;
    out.clear();
    append_le(out, uint32_t(entries.size()), 2);
    uint32_t offset = uint32_t(2 + entries.size() * ARCHIVE_ENTRY_SIZE);
    for (const PackEntry &e : entries) {
        char name[ARCHIVE_NAME_SIZE] = {};
        memcpy(name, e.name.data(), e.name.size());
        out.insert(out.end(), name, name + ARCHIVE_NAME_SIZE);
        append_le(out, offset, 4);
        append_le(out, uint32_t(e.data.size()), 4);
        offset += uint32_t(e.data.size());
    }
    for (const PackEntry &e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
    return true;
}

bool pack_write(const std::string &path, const std::vector<PackEntry> &entries, std::string *error) {
    std::vector<uint8_t> bytes;
    if (!pack_encode(entries, &bytes, error)) return false;
    std::string temp_name = path + ".XXXXXX";
    int fd = mkstemp(temp_name.data());
    if (fd < 0) return fail(error, "cannot create a temporary file beside " + path + ": " + strerror(errno));
    fchmod(fd, 0644);
    FILE *f = fdopen(fd, "wb");
    if (!f) {
        close(fd);
        unlink(temp_name.data());
        return fail(error, "cannot write " + temp_name);
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = fclose(f) == 0 && ok;
    if (!ok) {
        unlink(temp_name.data());
        return fail(error, "cannot write " + path + ": " + strerror(errno));
    }
    if (rename(temp_name.data(), path.c_str()) != 0) {
        std::string problem = "cannot rename the temporary file to " + path + ": " + strerror(errno);
        unlink(temp_name.data());
        return fail(error, problem);
    }
    return true;
}

// Read exactly `count` bytes at `offset`; false on a short read.
static bool read_at(FILE *f, uint64_t offset, void *buffer, size_t count) {
    if (fseeko(f, off_t(offset), SEEK_SET) != 0) return false;
    return fread(buffer, 1, count, f) == count;
}

bool pack_read_directory(const std::string &path, std::vector<PackDirectoryEntry> *entries, std::string *error) {
    entries->clear();
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return fail(error, "cannot open " + path + ": " + strerror(errno));
    // Close the pack, keep no entries and say what is wrong with it.
    auto broken = [&](const std::string &problem) {
        fclose(f);
        entries->clear();
        return fail(error, path + problem);
    };
    struct stat info;
    if (fstat(fileno(f), &info) != 0 || !S_ISREG(info.st_mode)) return broken(" is not a regular file");
    uint64_t file_size = uint64_t(info.st_size);
    uint8_t count_bytes[2];
    if (file_size < 2 || !read_at(f, 0, count_bytes, 2))
        return broken(": directory is truncated (needs 2 bytes, has " + std::to_string(file_size) + ")");
    uint32_t count = read_le(count_bytes, 2);
    uint64_t directory_end = 2 + uint64_t(count) * ARCHIVE_ENTRY_SIZE;
    if (count > MAX_ARCHIVE_ENTRIES)
        return broken(": has " + std::to_string(count) + " entries (at most " + std::to_string(MAX_ARCHIVE_ENTRIES) +
                      ")");
    if (directory_end > file_size)
        return broken(": directory is truncated (needs " + std::to_string(directory_end) + " bytes, has " +
                      std::to_string(file_size) + ")");
    for (uint32_t i = 0; i < count; i++) {
        uint8_t row[ARCHIVE_ENTRY_SIZE];
        if (!read_at(f, 2 + uint64_t(i) * ARCHIVE_ENTRY_SIZE, row, sizeof row))
            return broken(": cannot read directory entry " + std::to_string(i));
        const void *nul = memchr(row, 0, ARCHIVE_NAME_SIZE);
        if (!nul) return broken(": entry " + std::to_string(i) + " has a name without a terminating NUL");
        PackDirectoryEntry e{std::string(reinterpret_cast<const char *>(row), static_cast<const char *>(nul)),
                             read_le(row + ARCHIVE_NAME_SIZE, 4), read_le(row + ARCHIVE_NAME_SIZE + 4, 4)};
        if (uint64_t(e.offset) + e.size > file_size)
            return broken(": entry " + e.name + " lies beyond the end of the file (ends at " +
                          std::to_string(uint64_t(e.offset) + e.size) + ", file has " + std::to_string(file_size) +
                          " bytes)");
        entries->push_back(e);
    }
    fclose(f);
    return true;
}

bool pack_read_entry(const std::string &path, const PackDirectoryEntry &entry,
                     std::vector<uint8_t> *data, std::string *error) {
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return fail(error, "cannot open " + path + ": " + strerror(errno));
    data->resize(entry.size);
    bool ok = entry.size == 0 || read_at(f, entry.offset, data->data(), entry.size);
    fclose(f);
    if (!ok) *error = path + ": cannot read entry " + entry.name;
    return ok;
}
