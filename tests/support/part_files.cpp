// part_files.cpp: the built parts' files for driver tests, from the generator's sources.
#include "support/part_files.h"

#include "content.h"
#include "render/render.h"
#include "scene/model.h"
#include "support/test_data.h"

#include <fstream>

void prepare_part_files() {
    static ContentSink sink;
    if (sink.files.empty())
        for (const ContentSource &source : content_sources())
            if (source.order > CONTENT_ORDER_TIMING && source.order < CONTENT_ORDER_MUSIC)
                source.generator(sink);
    for (const ContentFile &file : sink.files) write_file(file.name, file.bytes);
    free_model_table();
    create_model_table();
    load_model("messiah.mdl");
    load_model("father.mdl");
    load_model("wolfguy.mdl");
    free_working_arrays();
    allocate_working_arrays();
}

void write_grey_picture(const char *name) { write_file(name, bmp_encode_24(solid_picture(8, 8, 128, 128, 128))); }

std::vector<std::string> read_log_lines() {
    std::ifstream in("VKB_Kelp.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
