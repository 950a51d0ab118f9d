// part_table.cpp: where each demo part plugs into the driver. A part that exists gets its
// operations filled in; demo part 2 also names part2_update_mirror and part2_draw_credits.
// Schedule entries whose parts have null operations present a black frame.
#include "parts/part_table.h"

#include "parts/parts.h"

const PartRow part_table[PART_COUNT] = {
    {"intro", part1_load, part1_scene, part1_animate, true, nullptr, nullptr},
    {"3dstest", nullptr, nullptr, nullptr, true, nullptr, nullptr},  // mirror room, model and credits
    {"wobbel", nullptr, nullptr, nullptr, false, nullptr, nullptr},  // wobbel torus
    {"gang", nullptr, nullptr, nullptr, true, nullptr, nullptr},     // warp pass
    {"oil", nullptr, nullptr, nullptr, true, nullptr, nullptr},      // oil room
    {"greez", nullptr, nullptr, nullptr, true, nullptr, nullptr},    // greetings
    {"tunnel", nullptr, nullptr, nullptr, true, nullptr, nullptr},   // rock tunnel, sky and clouds
    {"water", nullptr, nullptr, nullptr, false, nullptr, nullptr},   // water
    {"father", nullptr, nullptr, nullptr, true, nullptr, nullptr},   // light ball and night
    {"spider", part10_load, part10_scene, part10_animate, false, nullptr, nullptr},
    {"sofa", nullptr, nullptr, nullptr, true, nullptr, nullptr},     // sofa room
    {"end", part12_load, part12_scene, part12_animate, true, nullptr, nullptr},
};

bool part_built(int part) {
    if (part < 1 || part > PART_COUNT) return false;
    const PartRow &row = part_table[part - 1];
    if (!row.load || !row.scene || !row.animate) return false;
    return part != 2 || (row.update_mirror && row.draw_credits);
}
