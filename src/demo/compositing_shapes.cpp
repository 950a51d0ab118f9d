// compositing_shapes.cpp: the numbers behind the driver's passes: the wipe's wave and the
// noise overlay's alpha.
#include <cmath>

#include "demo/compositing.h"

double wipe_wave_y(int i, double t, double l3) {
    double a = sin(1.3 * t + i / 12.3);
    double b = sin(0.7 * t + i / 7.5);
    return a * b / 5.0 + sin(3.0 * t + i) / 10.0 + sin(5.7 * t + i) / 8.0 + 1.2 - 2.5 * sin(l3 / 4.0);
}

float noise_alpha(float t, float l13) {
    float a = float(sin(4.0 * t) + (l13 - 46.0) / 1.8 - 1.0);
    if (a < 0.0f) a = 0.0f;
    if (a > 1.0f) a = 1.0f;
    return a;
}
