// main.cpp: kelp-data OUTDIR [--sheet FILE.tga | --no-music]: generates every data file of the
// show into OUTDIR: the pack "Data", and beside it "Music" and "noise.bmp"; with --sheet it
// also writes a contact sheet of every generated picture; --no-music leaves "Music" as it is
// (quicker while working on pictures and scenes). The music is made on a
// second thread while the other sources run; files are collected in a fixed order
// so that every run writes the same bytes.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/fatal.h"
#include "content.h"
#include "content_output.h"
#include "writers/bmp_writer.h"

// Seconds since `start`.
static double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Run one source into its own sink and print how long it took.
static void run_source(const ContentSource &source, ContentSink &sink) {
    auto start = std::chrono::steady_clock::now();
    source.generator(sink);
    printf("kelp-data: %-22s %7.2f s\n", source.label, seconds_since(start));
}

int main(int argc, char **argv) {
    bool sheet = argc == 4 && std::string(argv[2]) == "--sheet";
    bool no_music = argc == 3 && std::string(argv[2]) == "--no-music";
    if (argc != 2 && !sheet && !no_music) {
        fprintf(stderr, "usage: kelp-data OUTDIR [--sheet FILE.tga | --no-music]\n");
        return 2;
    }
    std::string outdir = argv[1];
    struct stat info;
    if (stat(outdir.c_str(), &info) != 0 && mkdir(outdir.c_str(), 0777) != 0)
        fatal_errorf("kelp-data: cannot make the folder [%s]", outdir.c_str());
    auto start = std::chrono::steady_clock::now();

    std::vector<ContentSource> sources = content_sources();
    std::vector<ContentSink> sinks(sources.size());
    std::vector<std::thread> background;
    for (size_t i = 0; i < sources.size(); i++)
        if (sources[i].order >= CONTENT_ORDER_MUSIC && !no_music)
            background.emplace_back(run_source, std::cref(sources[i]), std::ref(sinks[i]));
    for (size_t i = 0; i < sources.size(); i++)
        if (sources[i].order < CONTENT_ORDER_MUSIC) run_source(sources[i], sinks[i]);
    for (std::thread &thread : background) thread.join();

    ContentSink all;
    for (ContentSink &sink : sinks)
        for (ContentFile &file : sink.files) all.add(file.name, std::move(file.bytes));
    if (sheet && !write_file(argv[3], tga_encode(content_contact_sheet(all))))
        fatal_errorf("kelp-data: cannot write [%s]", argv[3]);
    size_t total = all.files.size();
    size_t packed = content_write(all, outdir);
    printf("kelp-data: %zu files in \"Data\", %zu loose, generated in %.2f s\n", packed, total - packed,
           seconds_since(start));
    return 0;
}
