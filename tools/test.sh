#!/bin/sh
# Installs what is missing, builds from nothing, and runs the tests twice:
# once in the normal build and once under AddressSanitizer + UndefinedBehaviorSanitizer.
# Tests run headless (offscreen OpenGL through EGL/llvmpipe, dummy audio); no display is needed.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKELP_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
# The sanitizer options are also set per test by CMake; these cover anything run by hand.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
# The whole show under the sanitizers: every part, headless, at a fixed 5 frames a second,
# captured to a scratch folder; any report ends the run with a failure.
root=$(pwd)
show=$(mktemp -d)
build/kelp-data "$show" >/dev/null
(cd "$show" && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$root/build-sanitize/kelp" window nosound capture5 >/dev/null)
rm -rf "$show"
# Every reader of outside data under libFuzzer for a short while (about 20 s each).
sh tools/fuzz.sh 20
