// font_glyphs.h: the glyphs of the statistics font, rasterized from a real monospace font.
#pragma once
#include <vector>

#include "writers/font_writer.h"

// 128 glyphs (codes 0..127); codes below 33 and 127 are blank.
std::vector<FontGlyph> font_glyphs();
