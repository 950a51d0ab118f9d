// fuzz_timing.cpp: the time table reader on an arbitrary "timing.dat" in the working directory.
#include "demo/timetable.h"
#include "fuzz_common.h"

static float *table = nullptr;

static void release() {
    free_time_table(table);
    table = nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!fuzz_write_file("timing.dat", data, size)) abort();
    fuzz_run(
        [&] {
            int count = 0;
            table = read_time_table("timing.dat", &count);
            volatile float sum = 0;  // every value read is touched
            for (int i = 0; i < count; ++i) sum = sum + table[i];
        },
        release);
    return 0;
}
