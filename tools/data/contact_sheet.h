// contact_sheet.h: one picture showing every BMP the generator made, labelled, for a look.
#pragma once
#include "content.h"
#include "writers/picture.h"

// Every ".bmp" of the sink, decoded by the program's own reader, side by side.
Picture content_contact_sheet(const ContentSink &sink);
