// file_bytes.h: a whole data file read into memory through the file layer, and bounded
// little-endian reads from it that end the run with a clear message instead of reading past it.
#pragma once
#include <cstddef>
#include <cstdint>

// Largest data file read into memory (bytes).
enum : uint64_t { MAX_DATA_FILE_SIZE = 256u * 1024u * 1024u };

// The bytes of one file; `kind` and `name` make up the messages ("texture foo.bmp ...").
struct FileBytes {
    uint8_t *data;
    size_t size;
    const char *kind;
    const char *name;
};

// Read the whole file through the file layer; when it is missing, fatal with
// `missing_format` formatted with the name (e.g. "Texture %s not found").
FileBytes file_load_bytes(const char *name, const char *kind, const char *missing_format);
// View bytes already in memory (tests, decoders) without copying.
FileBytes bytes_view(const uint8_t *data, size_t size, const char *kind, const char *name);
void file_free_bytes(FileBytes &bytes);

// Fatal "<kind> <name> is truncated (needs N bytes, has M)!" unless [offset, offset+count) fits.
void bytes_need(const FileBytes &bytes, uint64_t offset, uint64_t count);
// Pointer to count bytes at offset, checked.
const uint8_t *bytes_at(const FileBytes &bytes, uint64_t offset, uint64_t count);
uint8_t bytes_u8(const FileBytes &bytes, uint64_t offset);
uint16_t bytes_u16(const FileBytes &bytes, uint64_t offset);
uint32_t bytes_u32(const FileBytes &bytes, uint64_t offset);
int32_t bytes_i32(const FileBytes &bytes, uint64_t offset);
float bytes_f32(const FileBytes &bytes, uint64_t offset);
