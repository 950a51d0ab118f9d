#!/bin/sh
# Installs what is missing, builds, writes the show's data into build/run and plays it in a window.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
mkdir -p build/run
# The show's data is made by the generator; made again only when the generator was rebuilt.
[ build/run/Data -nt build/kelp-data ] || build/kelp-data build/run
cd build/run && ../kelp window "$@"
