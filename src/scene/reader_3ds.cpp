// reader_3ds.cpp: the bounded reader of the 3DS loader: every byte of a .3ds file is read
// here, never past the end of the chunk being read nor past the end of the file.
#include <cstring>

#include "app/ascii.h"
#include "app/files.h"
#include "scene/load3ds_state.h"

long bytes_left_3ds(long end) {
    long limit = end < loader3ds.file_size ? end : loader3ds.file_size;
    long position = file_tell(loader3ds.file);
    if (position < 0 || position >= limit) return 0;
    return limit - position;
}

bool read_bytes_3ds(void *buffer, size_t size, long end) {
    if (size > size_t(bytes_left_3ds(end))) return false;
    if (size == 0) return true;
    return file_read(buffer, size, 1, loader3ds.file) == 1;
}

bool read_u16_3ds(uint16_t &value, long end) {
    uint8_t b[2];
    if (!read_bytes_3ds(b, 2, end)) return false;
    value = uint16_t(read_le(b, 2));
    return true;
}

bool read_u32_3ds(uint32_t &value, long end) {
    uint8_t b[4];
    if (!read_bytes_3ds(b, 4, end)) return false;
    value = read_le(b, 4);
    return true;
}

bool read_floats_3ds(float *values, int count, long end) {
    uint8_t b[4 * 16];
    if (count < 0 || count > 16) return false;
    if (!read_bytes_3ds(b, size_t(count) * 4, end)) return false;
    for (int i = 0; i < count; i++) {
        uint32_t bits = read_le(b + 4 * i, 4);
        memcpy(&values[i], &bits, 4);
    }
    return true;
}

bool skip_3ds(long size, long end) {
    if (size < 0 || size > bytes_left_3ds(end)) return false;
    return file_seek(loader3ds.file, size, 1) == 0;
}

void read_name_3ds(long end) {
    int length = 0;
    long left = bytes_left_3ds(end);
    while (left-- > 0) {
        int c = file_getc(loader3ds.file);
        if (c <= 0) break;  // NUL or end of file
        if (length < LOAD3DS_NAME_CHARS) loader3ds.name[length++] = char(c);
    }
    loader3ds.name[length] = 0;
}

void copy_name_3ds(char *field, const char *name) {
    size_t n = strnlen(name, LOAD3DS_NAME_CHARS);
    memcpy(field, name, n);
    field[n] = 0;
}
