// content.h: how the content sources of the show hand their files to the generator.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "writers/font_writer.h"

// One generated data file.
struct ContentFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Collects generated files by name, in the order they are added.
struct ContentSink {
    std::vector<ContentFile> files;
    // Add a file; a second file of the same name (ignoring case) is a fatal error.
    void add(const std::string &name, std::vector<uint8_t> bytes);
    // The file of that name (ignoring case), or null.
    const ContentFile *find(const std::string &name) const;
};

typedef void (*ContentGenerator)(ContentSink &sink);

// One registered content source.
struct ContentSource {
    int order;          // sources run by ascending order, then label
    const char *label;  // printed with its generation time
    ContentGenerator generator;
};

// A static object of this type in a content source registers it with the generator,
// so a source that is not built simply contributes nothing.
struct ContentRegistration {
    ContentRegistration(int order, const char *label, ContentGenerator generator);
};

// Register `function` (a ContentGenerator) at `order` from inside its own source file.
#define KELP_CONTENT(order, function) \
    static ContentRegistration content_registration_##function(order, #function, function)

// Every registered source, sorted by order and label.
std::vector<ContentSource> content_sources();

// Orders of the sources: shared files first, music last (it runs on its own thread).
enum {
    CONTENT_ORDER_TIMING = 0, CONTENT_ORDER_FONT = 1, CONTENT_ORDER_SHARED = 2, CONTENT_ORDER_CHARACTERS = 10,
    CONTENT_ORDER_PART = 100,  // + part number
    CONTENT_ORDER_MUSIC = 1000,
};

// The shared start-up set: "light1.bmp".."light7.bmp", the ten flares and "noise.bmp".
void generate_shared_set(ContentSink &sink);
// "font.raw": 128 glyphs of 8 x 8 texels rasterized from a monospace font.
void generate_font(ContentSink &sink);
// Its glyphs (codes 0..127); codes below 33 and 127 are blank.
std::vector<FontGlyph> font_glyphs();
// "timing.dat": the 18 times of the show with comments.
void generate_timing(ContentSink &sink);
// "Music": the soundtrack, 364 seconds of MP3.
void generate_music(ContentSink &sink);
// The three characters with their skins (tools/data/characters*.cpp).
void generate_characters(ContentSink &sink);
// The content of each demo part (tools/data/partK*.cpp), for the parts that have some.
void generate_part1(ContentSink &sink);
void generate_part2(ContentSink &sink);
void generate_part3(ContentSink &sink);
void generate_part4(ContentSink &sink);
void generate_part5(ContentSink &sink);
void generate_part6(ContentSink &sink);
void generate_part7(ContentSink &sink);
void generate_part8(ContentSink &sink);
void generate_part9(ContentSink &sink);
void generate_part10(ContentSink &sink);
void generate_part11(ContentSink &sink);
void generate_part12(ContentSink &sink);
