// fuzz_font.cpp: the raw font loader (96 glyphs through the file layer) on an arbitrary
// "font.raw" in the working directory. No OpenGL context: the uploads do nothing.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!fuzz_write_file("font.raw", data, size)) abort();
    fuzz_run([&] { texture_load_font("font.raw"); }, fuzz_reset_textures);
    return 0;
}
