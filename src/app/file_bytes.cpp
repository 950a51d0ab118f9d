// file_bytes.cpp: bounded little-endian access to a file held in memory.
#include "app/ascii.h"
#include "app/file_bytes.h"

#include <cinttypes>
#include <cstring>

#include "app/messages.h"

// Wrap bytes that are already in memory.
FileBytes bytes_view(const uint8_t *data, size_t size, const char *kind, const char *name) {
    return FileBytes{const_cast<uint8_t *>(data), size, kind, name};
}

// Fatal unless the range lies inside the file.
void bytes_need(const FileBytes &bytes, uint64_t offset, uint64_t count) {
    if (offset > bytes.size || count > bytes.size - offset) {
        uint64_t needs = offset > UINT64_MAX - count ? UINT64_MAX : offset + count;
        fatal_errorf("%s %s is truncated (needs %" PRIu64 " bytes, has %zu)!", bytes.kind, bytes.name,
                     needs, bytes.size);
    }
}

// Checked pointer to a range of the file.
const uint8_t *bytes_at(const FileBytes &bytes, uint64_t offset, uint64_t count) {
    bytes_need(bytes, offset, count);
    return bytes.data + offset;
}

// Checked single byte.
uint8_t bytes_u8(const FileBytes &bytes, uint64_t offset) { return *bytes_at(bytes, offset, 1); }

// Checked little-endian 16-bit word.
uint16_t bytes_u16(const FileBytes &bytes, uint64_t offset) {
    const uint8_t *p = bytes_at(bytes, offset, 2);
    return uint16_t(read_le(p, 2));
}

// Checked little-endian 32-bit word.
uint32_t bytes_u32(const FileBytes &bytes, uint64_t offset) {
    const uint8_t *p = bytes_at(bytes, offset, 4);
    return read_le(p, 4);
}

// Checked little-endian signed 32-bit integer.
int32_t bytes_i32(const FileBytes &bytes, uint64_t offset) { return int32_t(bytes_u32(bytes, offset)); }

// Checked little-endian IEEE single.
float bytes_f32(const FileBytes &bytes, uint64_t offset) {
    uint32_t bits = bytes_u32(bytes, offset);
    float value;
    memcpy(&value, &bits, 4);
    return value;
}
