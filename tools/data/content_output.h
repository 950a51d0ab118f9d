// content_output.h: writes generated files into a run folder: the "Data" pack and the loose
// files; and one picture of every BMP the generator made, labelled, for a look.
#pragma once
#include <string>

#include "content.h"
#include "writers/picture.h"

// True for the files that stay loose beside the program instead of going into "Data":
// "Music" (opened by the player itself) and "noise.bmp" (first needed after the pack is closed).
bool content_stays_loose(const std::string &name);
// Write the loose files and the pack "Data" of everything else into `outdir`; fatal on failure.
// Returns the number of files packed.
size_t content_write(ContentSink &sink, const std::string &outdir);
// Every ".bmp" of the sink, decoded by the program's own reader, side by side.
Picture content_contact_sheet(const ContentSink &sink);
