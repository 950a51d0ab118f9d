// part8.h: the water's pieces that can be checked on their own.
#pragma once

// How far the drop's surface lies from its centre along the stored direction (a, b, c) at
// time t: 80 plus the swell, which is clamped to -20..15 before the small ripple is added.
float drop_radius(const float direction[3], float t);
