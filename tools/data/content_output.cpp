// content_output.cpp: the run folder: loose files beside the program and the "Data" pack.
#include "content_output.h"

#include <strings.h>

#include "platform/fatal.h"
#include "writers/bmp_writer.h"
#include "writers/pack_writer.h"

bool content_stays_loose(const std::string &name) {
    return strcasecmp(name.c_str(), "Music") == 0 || strcasecmp(name.c_str(), "noise.bmp") == 0;
}

size_t content_write(ContentSink &sink, const std::string &outdir) {
    std::vector<PackEntry> packed;
    for (ContentFile &file : sink.files) {
        if (content_stays_loose(file.name)) {
            std::string path = outdir + "/" + file.name;
            if (!write_file(path, file.bytes)) fatal_errorf("kelp-data: cannot write [%s]", path.c_str());
            continue;
        }
        packed.push_back(PackEntry{file.name, std::move(file.bytes)});
    }
    std::string error;
    if (!pack_write(outdir + "/Data", packed, &error))
        fatal_errorf("kelp-data: cannot write [%s/Data]: %s", outdir.c_str(), error.c_str());
    return packed.size();
}
