// shared_set.h: the shared start-up pictures (glows, flares) and the static, for tests and sheets.
#pragma once
#include <string>
#include <vector>

#include "writers/picture.h"

struct SharedPicture {
    std::string name;
    Picture picture;
};

// Glow "light<index>.bmp".
Picture make_light_glow(int index);
// "cutter.bmp": a toothed cutting disc on a machined plate (used by two parts).
Picture make_cutter();
// Every picture of the shared set with its file name, in start-up order, then "noise.bmp".
std::vector<SharedPicture> shared_pictures();
