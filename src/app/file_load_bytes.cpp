// file_load_bytes.cpp: reads a whole data file into memory through the file layer.
#include <cinttypes>
#include <cstdlib>

#include "app/file_bytes.h"
#include "app/files.h"
#include "app/messages.h"

// Read the whole file into heap memory (fatal when missing, unreadable or too large).
FileBytes file_load_bytes(const char *name, const char *kind, const char *missing_format) {
    int handle = file_open(name, "rb");
    if (handle < 0) fatal_errorf(missing_format, name);
    file_seek(handle, 0, 2);
    long size = file_tell(handle);
    file_seek(handle, 0, 0);
    if (size < 0 || uint64_t(size) > MAX_DATA_FILE_SIZE)
        fatal_errorf("%s %s has a size of %ld bytes, must be 0 to %" PRIu64 "!", kind, name, size,
                     uint64_t(MAX_DATA_FILE_SIZE));
    FileBytes bytes{static_cast<uint8_t *>(malloc(size_t(size) + 1)), size_t(size), kind, name};
    if (!bytes.data) fatal_errorf("%s %s: out of memory for %ld bytes", kind, name, size);
    if (size > 0 && file_read(bytes.data, size_t(size), 1, handle) != 1)
        fatal_errorf("%s %s could not be read!", kind, name);
    file_close(handle);
    return bytes;
}

// Free what file_load_bytes allocated.
void file_free_bytes(FileBytes &bytes) {
    free(bytes.data);
    bytes.data = nullptr;
    bytes.size = 0;
}
