// part_table.cpp: where each demo part plugs into the driver. A part that exists gets its
// operations filled in; demo part 2 also names part2_update_mirror and part2_draw_credits.
// Schedule entries whose parts have null operations present a black frame.
#include "parts/part_table.h"

#include "parts/parts.h"

const PartRow part_table[PART_COUNT] = {
    // 1: intro
    {"intro", part1_load, part1_scene, part1_animate, true, nullptr, nullptr},
    // 2: mirror room, model and credits
    {"3dstest", part2_load, part2_scene, part2_animate, true, part2_update_mirror, part2_draw_credits},
    // 3: wobbel torus
    {"wobbel", part3_load, part3_scene, part3_animate, false, nullptr, nullptr},
    // 4: warp pass
    {"gang", part4_load, part4_scene, part4_animate, true, nullptr, nullptr},
    // 5: oil room
    {"oil", part5_load, part5_scene, part5_animate, true, nullptr, nullptr},
    // 6: greetings
    {"greez", part6_load, part6_scene, part6_animate, true, nullptr, nullptr},
    // 7: rock tunnel, sky and clouds
    {"tunnel", part7_load, part7_scene, part7_animate, true, nullptr, nullptr},
    // 8: water
    {"water", part8_load, part8_scene, part8_animate, false, nullptr, nullptr},
    // 9: light ball and night
    {"father", part9_load, part9_scene, part9_animate, true, nullptr, nullptr},
    // 10: spider
    {"spider", part10_load, part10_scene, part10_animate, false, nullptr, nullptr},
    // 11: sofa room
    {"sofa", part11_load, part11_scene, part11_animate, true, nullptr, nullptr},
    // 12: end screen
    {"end", part12_load, part12_scene, part12_animate, true, nullptr, nullptr},
};

bool part_built(int part) {
    if (part < 1 || part > PART_COUNT) return false;
    const PartRow &row = part_table[part - 1];
    if (!row.load || !row.scene || !row.animate) return false;
    return part != 2 || (row.update_mirror && row.draw_credits);
}
