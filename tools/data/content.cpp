// content.cpp: the sink that collects generated files and the registry of content sources.
#include "content.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "platform/fatal.h"

void ContentSink::add(const std::string &name, std::vector<uint8_t> bytes) {
    if (find(name)) fatal_errorf("kelp-data: file [%s] generated twice", name.c_str());
    files.push_back(ContentFile{name, std::move(bytes)});
}

const ContentFile *ContentSink::find(const std::string &name) const {
    for (const ContentFile &file : files)
        if (strcasecmp(file.name.c_str(), name.c_str()) == 0) return &file;
    return nullptr;
}

// The registry lives in a function so that registrations from any file's static
// initialisers find it constructed.
static std::vector<ContentSource> &content_registry() {
    static std::vector<ContentSource> registry;
    return registry;
}

ContentRegistration::ContentRegistration(int order, const char *label, ContentGenerator generator) {
    content_registry().push_back(ContentSource{order, label, generator});
}

std::vector<ContentSource> content_sources() {
    std::vector<ContentSource> sources = content_registry();
    std::sort(sources.begin(), sources.end(), [](const ContentSource &a, const ContentSource &b) {
        if (a.order != b.order) return a.order < b.order;
        return strcmp(a.label, b.label) < 0;
    });
    return sources;
}
