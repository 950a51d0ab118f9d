#include "support/part_content.h"
#include "support/part_files.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "app/settings.h"
#include "render/render.h"
#include "scene/scene.h"
#include "scene/model.h"
#include "writers/bmp_writer.h"

void write_part_content(std::initializer_list<ContentGenerator> generators, std::initializer_list<const char *> models,
                        void (*load)()) {
    static std::map<std::vector<ContentGenerator>, ContentSink> made;
    ContentSink &sink = made[std::vector<ContentGenerator>(generators)];
    if (sink.files.empty())
        for (ContentGenerator generate : generators) generate(sink);
    for (const ContentFile &file : sink.files) ASSERT_TRUE(write_file(file.name, file.bytes));
    if (models.size()) {
        free_model_table();
        create_model_table();
        for (const char *model : models) load_model(model);
    }
    allocate_working_arrays();
    if (load) load_logged(load);
}

void load_logged(void (*load)()) {
    statistics = true;
    load();
    statistics = false;
}

int face_total(const Scene &scene) {
    int faces = 0;
    for (int m = 0; m < scene.mesh_count; m++) faces += scene.meshes[m].face_count;
    return faces;
}

std::vector<int> logged_counts() {
    std::vector<int> counts;
    for (const std::string &line : read_log_lines()) counts.push_back(std::stoi(line.substr(line.rfind(' ') + 1)));
    return counts;
}
