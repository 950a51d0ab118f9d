// main.cpp: kelp-show-digest FILE: plays the whole show hidden at a fixed step in a scratch
// folder and writes the digest table of its states to FILE (the show-state test compares the
// table it makes with tests/data/show_digest.txt; a change to it is a change to what the
// show does).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/gl_context.h"
#include "support/scratch_dir.h"
#include "support/show_digest.h"
#include "writers/bmp_writer.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: kelp-show-digest FILE\n");
        return 2;
    }
    // The show plays in a scratch folder; the table is written after it, back where we started.
    const std::string file = argv[1];
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string table;
    {
        ScratchDir dir;
        if (!gl_context_open(640, 480)) return 1;
        table = show_digest_table();
        gl_context_close();
    }
    if (!write_file(file, std::vector<uint8_t>(table.begin(), table.end()))) {
        fprintf(stderr, "kelp-show-digest: cannot write [%s]\n", file.c_str());
        return 1;
    }
    printf("kelp-show-digest: %zu bytes written to %s\n", table.size(), file.c_str());
    return 0;
}
