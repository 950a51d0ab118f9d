// fuzz_pack.cpp: the "Data" pack: its directory read by archive_open, then every entry it
// names read through the file layer in each way the readers use (whole, records, characters,
// lines, seeks before, inside and past the entry).
#include "app/file_bytes.h"
#include "fuzz_common.h"


// Every way of reading one entry.
static void read_entry(const char *name) {
    int h = file_open(name, "rb");
    if (h < 0) return;
    file_seek(h, 0, SEEK_END);
    long size = file_tell(h);
    file_seek(h, 0, SEEK_SET);
    char line[80];
    while (!file_eof(h) && file_gets(line, sizeof line, h)) {
    }
    file_gets(line, 1, h);
    file_seek(h, 0, SEEK_SET);
    uint8_t buffer[64];
    while (file_read(buffer, 1, sizeof buffer, h) == sizeof buffer) {
    }
    while (file_getc(h) >= 0) {
    }
    file_seek(h, -3, SEEK_END);
    file_getc(h);
    file_seek(h, -(size + 1), SEEK_CUR);
    file_seek(h, size + 5, SEEK_SET);
    file_read(buffer, 1, 1, h);
    file_gets(line, sizeof line, h);
    file_getc(h);
    file_seek(h, size / 2, SEEK_SET);
    file_read(buffer, 4, 4, h);
    file_close(h);
    FileBytes whole = file_load_bytes(name, "pack entry", "%s not found");
    file_free_bytes(whole);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!fuzz_write_file("fuzz-pack", data, size)) abort();
    fuzz_run(
        [&] {
            archive_open("fuzz-pack");
            // The names the directory holds (at most 16 of them, to keep each input quick).
            size_t count = size >= 2 ? data[0] | data[1] << 8 : 0;
            for (size_t i = 0; i < count && i < 16; ++i) {
                size_t at = 2 + i * ARCHIVE_ENTRY_SIZE;
                if (at + ARCHIVE_NAME_SIZE > size) break;
                char name[ARCHIVE_NAME_SIZE + 1] = {};
                memcpy(name, data + at, ARCHIVE_NAME_SIZE);
                read_entry(name);
            }
        },
        nullptr);
    return 0;
}
