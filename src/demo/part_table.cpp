// part_table.cpp: where each demo part plugs into the driver. A part that exists gets its line
// filled in, e.g. {part5_load, part5_scene, part5_animate, nullptr, nullptr}; demo part 2 also
// names part2_update_mirror and part2_draw_credits. Schedule entries whose parts are still
// null rows present a black frame.
#include "demo/part_table.h"

#include "parts/parts.h"

const PartRow part_table[PART_COUNT] = {
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 1: intro
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 2: mirror room, model and credits
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 3: wobbel torus
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 4: warp pass
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 5: oil room
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 6: greetings
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 7: rock tunnel, sky and clouds
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 8: water
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 9: light ball and night
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 10: spider
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 11: sofa room
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // part 12: end screen
};

bool part_built(int part) {
    if (part < 1 || part > PART_COUNT) return false;
    const PartRow &row = part_table[part - 1];
    if (!row.load || !row.scene || !row.animate) return false;
    return part != 2 || (row.update_mirror && row.draw_credits);
}
