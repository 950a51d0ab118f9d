// files.cpp: the file layer: 16 handles on loose files of the working directory or on
// entries of the "Data" pack, which share one archive stream and keep one read position each.
#include "app/ascii.h"
#include "app/files.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "app/messages.h"

// One row of the pack directory in memory.
struct ArchiveEntry {
    char name[ARCHIVE_NAME_SIZE];
    uint32_t offset;
    int64_t position;  // bytes from the start of the entry; may lie beyond size after a seek
    uint32_t size;
};

// One slot of the open-file table.
struct OpenFile {
    bool in_use;
    int entry;  // archive entry index, -1 for a loose file
    FILE *stream;
};

static ArchiveEntry archive_entries[MAX_ARCHIVE_ENTRIES];
static int archive_entry_count = 0;
static FILE *archive_stream = nullptr;
static char archive_name[256];
static int64_t archive_stream_position = -1;  // where the archive stream stands, -1 unknown
static OpenFile open_files[MAX_OPEN_FILES];


// Read exactly `count` bytes of the pack at `offset`; every pack byte passes through here.
static bool archive_read_at(void *buffer, size_t count, int64_t offset) {
    if (archive_stream_position != offset) {
        if (fseeko(archive_stream, (off_t)offset, SEEK_SET) != 0) {
            archive_stream_position = -1;
            return false;
        }
    }
    size_t got = fread(buffer, 1, count, archive_stream);
    archive_stream_position = got == count ? offset + (int64_t)count : -1;
    return got == count;
}


// Forget every handle and close every stream, the pack included.
static void release_everything() {
    for (OpenFile &f : open_files) {
        if (f.stream) fclose(f.stream);
        f.in_use = false;
        f.entry = -1;
        f.stream = nullptr;
    }
    if (archive_stream) fclose(archive_stream);
    archive_stream = nullptr;
    archive_stream_position = -1;
    archive_entry_count = 0;
}

// Size of an open stream's file, or -1 when it is not a regular file.
static int64_t regular_file_size(FILE *stream) {
    struct stat info;
    if (fstat(fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return (int64_t)info.st_size;
}

int archive_open(const char *name) {
    release_everything();
    snprintf(archive_name, sizeof archive_name, "%s", name);
    archive_stream = fopen(name, "rb");
    if (!archive_stream) return 0;  // no pack: loose files only
    int64_t file_size = regular_file_size(archive_stream);
    if (file_size < 0) fatal_errorf("ARCHIVE: [%s] is not a regular file", archive_name);

    unsigned char count_bytes[2];
    if (file_size < 2 || !archive_read_at(count_bytes, 2, 0))
        fatal_errorf("ARCHIVE: [%s] directory is truncated (needs 2 bytes, has %lld)", archive_name,
                     (long long)file_size);
    uint32_t count = read_le(count_bytes, 2);
    if (count > MAX_ARCHIVE_ENTRIES)
        fatal_errorf("ARCHIVE: [%s] has %u entries (at most %d)", archive_name, count,
                     MAX_ARCHIVE_ENTRIES);
    int64_t directory_end = 2 + (int64_t)count * ARCHIVE_ENTRY_SIZE;
    if (directory_end > file_size)
        fatal_errorf("ARCHIVE: [%s] directory is truncated (needs %lld bytes, has %lld)",
                     archive_name, (long long)directory_end, (long long)file_size);

    for (uint32_t i = 0; i < count; i++) {
        unsigned char row[ARCHIVE_ENTRY_SIZE];
        if (!archive_read_at(row, sizeof row, 2 + (int64_t)i * ARCHIVE_ENTRY_SIZE))
            fatal_errorf("ARCHIVE: [%s] cannot read directory entry %u", archive_name, i);
        ArchiveEntry &e = archive_entries[i];
        if (!memchr(row, 0, ARCHIVE_NAME_SIZE))
            fatal_errorf("ARCHIVE: [%s] entry %u has a name without a terminating NUL", archive_name,
                         i);
        memcpy(e.name, row, ARCHIVE_NAME_SIZE);
        e.offset = read_le(row + ARCHIVE_NAME_SIZE, 4);
        e.size = read_le(row + ARCHIVE_NAME_SIZE + 4, 4);
        e.position = 0;
        int64_t end = (int64_t)e.offset + e.size;
        if (end > file_size)
            fatal_errorf("ARCHIVE: [%s] entry %s lies beyond the end of the file (ends at %lld, "
                         "file has %lld bytes)",
                         archive_name, e.name, (long long)end, (long long)file_size);
    }
    archive_entry_count = (int)count;
    return 0;
}

int file_open(const char *name, const char *mode) {
    int slot = -1;
    for (int i = 0; i < MAX_OPEN_FILES; i++)
        if (!open_files[i].in_use) {
            slot = i;
            break;
        }
    if (slot < 0) fatal_errorf("FILES: [%s] too many open files (at most %d)", name, MAX_OPEN_FILES);
    OpenFile &f = open_files[slot];

    FILE *stream = fopen(name, mode);
    if (stream && regular_file_size(stream) < 0) {  // a folder of that name is no file
        fclose(stream);
        stream = nullptr;
    }
    if (stream) {
        f.in_use = true;
        f.entry = -1;
        f.stream = stream;
        return slot;
    }
    for (int i = 0; i < archive_entry_count; i++) {
        if (same_name(archive_entries[i].name, name)) {
            f.in_use = true;
            f.entry = i;
            f.stream = nullptr;
            archive_entries[i].position = 0;
            return slot;
        }
    }
    return -1;
}

// The slot of a handle in use; a bad handle is a fault of the caller and ends the run.
static OpenFile &slot_of(int handle) {
    if (handle < 0 || handle >= MAX_OPEN_FILES || !open_files[handle].in_use)
        fatal_errorf("FILES: invalid file handle %d", handle);
    return open_files[handle];
}

void file_close(int handle) {
    OpenFile &f = slot_of(handle);
    if (f.stream) fclose(f.stream);
    f.in_use = false;
    f.entry = -1;
    f.stream = nullptr;
}

void file_close_all() { release_everything(); }

int file_seek(int handle, long offset, int origin) {
    OpenFile &f = slot_of(handle);
    if (f.stream) return fseek(f.stream, offset, origin);
    ArchiveEntry &e = archive_entries[f.entry];
    int64_t base;
    if (origin == SEEK_SET)
        base = 0;
    else if (origin == SEEK_CUR)
        base = e.position;
    else if (origin == SEEK_END)
        base = e.size;
    else
        return -1;
    int64_t target;
    // A position before the start of the entry is refused, as the stream would refuse it.
    if (__builtin_add_overflow(base, (int64_t)offset, &target) || target < 0 || target > LONG_MAX)
        return -1;
    e.position = target;
    return 0;
}

int file_getc(int handle) {
    OpenFile &f = slot_of(handle);
    if (f.stream) return fgetc(f.stream);
    ArchiveEntry &e = archive_entries[f.entry];
    if (e.position < 0 || e.position >= e.size) return -1;
    unsigned char byte;
    if (!archive_read_at(&byte, 1, (int64_t)e.offset + e.position))
        fatal_errorf("ARCHIVE: [%s] read of %s failed", archive_name, e.name);
    e.position++;
    return byte;
}

size_t file_read(void *buffer, size_t size, size_t count, int handle) {
    OpenFile &f = slot_of(handle);
    if (f.stream) return fread(buffer, size, count, f.stream);
    ArchiveEntry &e = archive_entries[f.entry];
    size_t total;
    if (size == 0 || count == 0 || __builtin_mul_overflow(size, count, &total)) return 0;
    // No partial reads: either every record fits inside the entry or nothing is read.
    if (e.position < 0 || e.position > e.size || total > (uint64_t)(e.size - e.position)) return 0;
    if (!archive_read_at(buffer, total, (int64_t)e.offset + e.position))
        fatal_errorf("ARCHIVE: [%s] read of %s failed", archive_name, e.name);
    e.position += (int64_t)total;
    return count;
}

long file_tell(int handle) {
    OpenFile &f = slot_of(handle);
    if (f.stream) return ftell(f.stream);
    return (long)archive_entries[f.entry].position;
}

char *file_gets(char *buffer, int n, int handle) {
    OpenFile &f = slot_of(handle);
    // No room for even one character: nothing can be read, so no line is returned.
    if (n <= 1) {
        if (n == 1) buffer[0] = 0;
        return nullptr;
    }
    if (f.stream) return fgets(buffer, n, f.stream);
    ArchiveEntry &e = archive_entries[f.entry];
    if (e.position < 0 || e.position >= e.size) return nullptr;
    int64_t left = e.size - e.position;
    int64_t start = (int64_t)e.offset + e.position;
    int length = 0;
    bool line_feed = false;
    while (length < n - 1 && length < left && !line_feed) {
        unsigned char byte;
        if (!archive_read_at(&byte, 1, start + length))
            fatal_errorf("ARCHIVE: [%s] read of %s failed", archive_name, e.name);
        buffer[length++] = (char)byte;
        line_feed = byte == '\n';
    }
    if (!line_feed && length < n - 1) {
        // The line runs on past the end of the entry: it is not returned, and the entry ends.
        memset(buffer, 0, (size_t)n);
        e.position = (int64_t)e.size + 1;
        return nullptr;
    }
    buffer[length] = 0;
    e.position += length;
    return buffer;
}

int file_eof(int handle) {
    OpenFile &f = slot_of(handle);
    if (f.stream) return feof(f.stream);
    const ArchiveEntry &e = archive_entries[f.entry];
    return e.position >= e.size;
}
