#include "support/part_content.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "app/settings.h"
#include "render/render.h"
#include "scene/scene.h"
#include "scene/model.h"
#include "writers/bmp_writer.h"

void write_part_content(std::initializer_list<ContentGenerator> generators, std::initializer_list<const char *> models) {
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
