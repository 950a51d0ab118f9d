// pack_writer.h: builds the "Data" pack from named byte blobs, and reads one back (list/extract).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One file of the pack: its name inside the pack (1 to 31 characters) and its bytes.
struct PackEntry {
    std::string name;
    std::vector<uint8_t> data;
};

// One row of a pack's directory as read back.
struct PackDirectoryEntry {
    std::string name;
    uint32_t offset = 0;
    uint32_t size = 0;
};

// Check that names and sizes make a valid pack: 1 to 31 characters, no NUL or path separator,
// at most 256 entries, no duplicate names ignoring case, every offset within 32 bits.
bool pack_check(const std::vector<std::string> &names, const std::vector<uint64_t> &sizes, std::string *error);
// Write the pack atomically (temporary file renamed at the end); false with a message on failure.
bool pack_write(const std::string &path, const std::vector<PackEntry> &entries, std::string *error);
// The bytes of a pack, without writing them anywhere.
bool pack_encode(const std::vector<PackEntry> &entries, std::vector<uint8_t> *bytes, std::string *error);
// Read and validate a pack's directory.
bool pack_read_directory(const std::string &path, std::vector<PackDirectoryEntry> *entries, std::string *error);
// Read the bytes of one directory entry of a pack.
bool pack_read_entry(const std::string &path, const PackDirectoryEntry &entry,
                     std::vector<uint8_t> *data, std::string *error);
