// part_content.h: chosen parts' generated content written into the working directory, for
// the tests of single parts.
#pragma once
#include <initializer_list>
#include <vector>

#include "content.h"

// Write the files the generators make (made once per process for each list of generators);
// load the named models into a fresh model table when there are any; make fresh working arrays;
// then run `load`, when given, with the statistics log on.
void write_part_content(std::initializer_list<ContentGenerator> generators,
                        std::initializer_list<const char *> models = {}, void (*load)() = nullptr);

struct Scene;
// Run a part's load with the statistics log on.
void load_logged(void (*load)());
// The faces of all the scene's meshes.
int face_total(const Scene &scene);
// The numbers of the statistics log's lines: meshes, vertices, faces, lights, object keys, camera keys.
std::vector<int> logged_counts();
