// files.h: the file layer: loose files in the working directory first, then the "Data" pack.
#pragma once
#include <cstddef>
#include <cstdint>

enum { MAX_OPEN_FILES = 16, MAX_ARCHIVE_ENTRIES = 256, ARCHIVE_NAME_SIZE = 32, ARCHIVE_ENTRY_SIZE = 40 };

// Open the pack file (a missing pack is not an error); returns 0.
int archive_open(const char *name);
// Handle 0..15, or -1 when the file is neither loose nor in the pack.
int file_open(const char *name, const char *mode);
void file_close(int handle);
// Close every file and the pack; later opens find loose files only.
void file_close_all();
int file_seek(int handle, long offset, int origin);
int file_getc(int handle);
// Number of whole records read; archived entries never read partially.
size_t file_read(void *buffer, size_t size, size_t count, int handle);
long file_tell(int handle);
char *file_gets(char *buffer, int n, int handle);
int file_eof(int handle);
