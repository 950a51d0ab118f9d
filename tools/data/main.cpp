// main.cpp: kelp-data OUTDIR: generates every data file of the show into OUTDIR.
// The music is made on a second thread while the other sources run; files are
// collected in a fixed order so that every run writes the same bytes.
#include <strings.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/messages.h"
#include "content.h"
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

// True for the files that stay loose beside the program instead of going into "Data".
static bool stays_loose(const std::string &name) {
    // "Music" is opened by the player itself; "noise.bmp" is first needed after the pack is closed.
    return strcasecmp(name.c_str(), "Music") == 0 || strcasecmp(name.c_str(), "noise.bmp") == 0;
}

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: kelp-data OUTDIR\n");
        return 2;
    }
    std::string outdir = argv[1];
    mkdir(outdir.c_str(), 0777);
    auto start = std::chrono::steady_clock::now();

    std::vector<ContentSource> sources = content_sources();
    std::vector<ContentSink> sinks(sources.size());
    std::vector<std::thread> background;
    for (size_t i = 0; i < sources.size(); i++)
        if (sources[i].order >= CONTENT_ORDER_MUSIC)
            background.emplace_back(run_source, std::cref(sources[i]), std::ref(sinks[i]));
    for (size_t i = 0; i < sources.size(); i++)
        if (sources[i].order < CONTENT_ORDER_MUSIC) run_source(sources[i], sinks[i]);
    for (std::thread &thread : background) thread.join();

    ContentSink all;
    for (ContentSink &sink : sinks)
        for (ContentFile &file : sink.files) all.add(file.name, std::move(file.bytes));

    size_t total = 0;
    for (const ContentFile &file : all.files) {
        std::string path = outdir + "/" + file.name;
        if (!write_file(path, file.bytes)) fatal_errorf("kelp-data: cannot write [%s]", path.c_str());
        total += file.bytes.size();
        (void)stays_loose;
    }
    printf("kelp-data: %zu files, %zu bytes, generated in %.2f s\n", all.files.size(), total,
           seconds_since(start));
    return 0;
}
