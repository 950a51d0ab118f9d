// fuzz_common.h: what every fuzz harness shares: a fatal error ends the one input (the
// cleanup jumps back to the harness) instead of the process, and inputs reach the readers
// as files in the working directory, through the file layer.
#pragma once
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "app/files.h"
#include "platform/fatal.h"

// Where a fatal error during the current input jumps to.
inline jmp_buf fuzz_jump;
inline bool fuzz_armed = false;
// Run after the jump, to release what the input had allocated so far.
inline void (*fuzz_release)() = nullptr;

inline void fuzz_fatal_cleanup(const char *) {
    if (!fuzz_armed) return;  // outside an input: end the process as usual
    fuzz_armed = false;
    fatal_rearm();
    longjmp(fuzz_jump, 1);
}

// Free the file bytes loaded during the input and not freed (fuzz_common.cpp).
void fuzz_free_loaded_bytes();

// Write the input as file `name` in the working directory; false when it cannot.
inline bool fuzz_write_file(const char *name, const uint8_t *data, size_t size) {
    FILE *f = fopen(name, "wb");
    if (!f) return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

// Run `body` for one input; a fatal error inside it ends the input: every handle of the
// file layer is closed and `release` frees what the reader had allocated.
template <typename Body>
inline void fuzz_run(Body body, void (*release)()) {
    set_fatal_cleanup(fuzz_fatal_cleanup);
    fuzz_release = release;
    if (setjmp(fuzz_jump) == 0) {
        fuzz_armed = true;
        body();
        fuzz_armed = false;
    }
    file_close_all();
    fuzz_free_loaded_bytes();
    if (fuzz_release) fuzz_release();
}

#include <cstdlib>
#include <cstring>

#include "texture/texture.h"

// Free every texture's texels and empty the registry.
inline void fuzz_reset_textures() {
    for (TextureRecord &record : texture_table) free(record.pixels);
    memset(texture_table, 0, sizeof texture_table);
    memset(texture_names, 0, sizeof texture_names);
    texture_count = texture_name_count = 0;
}
