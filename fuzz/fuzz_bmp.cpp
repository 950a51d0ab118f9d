// fuzz_bmp.cpp: the BMP decoder on arbitrary bytes.
#include "fuzz_common.h"

static TextureRecord record;

static void release() {
    free(record.pixels);
    record = TextureRecord{};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_run([&] { bmp_decode(data, size, "fuzz.bmp", record); }, release);
    return 0;
}
