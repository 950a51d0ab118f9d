// fuzz_common.cpp: the file bytes a reader loads are tracked (the harnesses link with
// --wrap on file_load_bytes and file_free_bytes), so that an input ending in a fatal error
// frees what the reader had loaded and not yet freed.
#include <cstdlib>

#include "app/file_bytes.h"
#include "fuzz_common.h"

FileBytes real_file_load_bytes(const char *name, const char *kind, const char *missing_format) asm(
    "__real__Z15file_load_bytesPKcS0_S0_");
void real_file_free_bytes(FileBytes &bytes) asm("__real__Z15file_free_bytesR9FileBytes");
FileBytes tracked_file_load_bytes(const char *name, const char *kind, const char *missing_format) asm(
    "__wrap__Z15file_load_bytesPKcS0_S0_");
void tracked_file_free_bytes(FileBytes &bytes) asm("__wrap__Z15file_free_bytesR9FileBytes");

enum { TRACKED_MAX = 16 };
static uint8_t *tracked[TRACKED_MAX];

FileBytes tracked_file_load_bytes(const char *name, const char *kind, const char *missing_format) {
    FileBytes bytes = real_file_load_bytes(name, kind, missing_format);
    for (uint8_t *&slot : tracked)
        if (!slot) {
            slot = bytes.data;
            return bytes;
        }
    abort();  // a reader holding this many files at once is a fault of its own
}

void tracked_file_free_bytes(FileBytes &bytes) {
    for (uint8_t *&slot : tracked)
        if (slot == bytes.data) slot = nullptr;
    real_file_free_bytes(bytes);
}

void fuzz_free_loaded_bytes() {
    for (uint8_t *&slot : tracked) {
        free(slot);
        slot = nullptr;
    }
}
