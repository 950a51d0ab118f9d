// angles.h: PI, the full turn and angles in degrees, written once for the whole generator:
// the mesh builder and the picture makers below the content kit, and every scene above it.
#pragma once

// The soundtrack's oscillators and filters take it in double precision.
constexpr double PI_DOUBLE = 3.14159265358979323846;
constexpr float PI = float(PI_DOUBLE);
constexpr float TWO_PI = 2 * PI;
// An angle given in degrees, in radians: degrees(225) rather than 3.9269907f.
constexpr float degrees(float angle) { return angle * PI / 180; }
