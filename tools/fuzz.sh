#!/bin/sh
# fuzz.sh SECONDS: builds the fuzz harnesses (clang's libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz, makes their seed corpora from the generator's own
# files, the BMP suite and the kept regression inputs of fuzz/regressions, runs each harness for
# SECONDS (default 20) and prints executions and findings per reader. Exit 1 on any finding.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-20}
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# Leaks are findings too, but for the font library's caches that live as long as the process.
export ASAN_OPTIONS=abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
readers="pack timing bmp font 3ds mdl"
jobs=$(nproc)

# The generator and the pack tool come from the normal build.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target kelp-data kelp-pack kelp-fuzz-seeds >/dev/null
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELP_FUZZ=ON \
  -DKELP_TESTS=OFF >/dev/null
targets=""
for r in $readers; do targets="$targets fuzz_$r"; done
cmake --build build-fuzz -j "$jobs" --target $targets >/dev/null

# Inputs are written as files for every execution: a memory file system when there is one.
base=build-fuzz
[ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
work=$(mktemp -d "$base/kelp-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
files="$work/files"
mkdir -p "$files"
build/kelp-data "$work/generated" --no-music >/dev/null
build/kelp-pack extract "$work/generated/Data" "$files" >/dev/null
cp "$work/generated/noise.bmp" "$files/"

for r in $readers; do mkdir -p "$work/seeds/$r" "$work/run/$r" "$work/findings/$r"; done
cp "$files/timing.dat" "$work/seeds/timing/"
cp "$files/font.raw" "$work/seeds/font/"
cp "$files"/*.3ds "$work/seeds/3ds/"
cp "$files"/*.mdl "$work/seeds/mdl/"
build/kelp-fuzz-seeds "$work/seeds/3ds"
mv "$work/seeds/3ds/small.mdl" "$work/seeds/mdl/"
cp tests/data/bmpsuite/g/*.bmp tests/data/bmpsuite/b/*.bmp "$work/seeds/bmp/"
find "$files" -name '*.bmp' -size -100k -exec cp {} "$work/seeds/bmp/" \;
(cd "$files" && "$root/build/kelp-pack" create "$work/seeds/pack/small.pack" timing.dat font.raw \
  flare_particle.bmp >/dev/null)
(cd "$files" && "$root/build/kelp-pack" create "$work/seeds/pack/one.pack" timing.dat >/dev/null)
# The pictures the scenes' materials name lie loose beside the .3ds input.
cp "$files"/*.bmp "$work/run/3ds/"

status=0
printf '%-8s %12s %10s %9s\n' reader executions "exec/s" findings
for r in $readers; do
  corpus="$work/corpus/$r"
  mkdir -p "$corpus"
  kept=""
  [ -d "fuzz/regressions/$r" ] && kept="$root/fuzz/regressions/$r"
  log="$work/$r.log"
  set +e
  (cd "$work/run/$r" && "$root/build-fuzz/fuzz_$r" -max_total_time="$seconds" \
    -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -artifact_prefix="$work/findings/$r/" \
    "$corpus" "$work/seeds/$r" $kept >"$log" 2>&1)
  code=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  found=$(ls "$work/findings/$r" | wc -l)
  printf '%-8s %12s %10s %9s\n' "$r" "${runs:-?}" "${speed:-?}" "$found"
  if [ "$code" -ne 0 ] || [ "$found" -ne 0 ]; then
    status=1
    mkdir -p build-fuzz/findings/$r
    cp "$work/findings/$r"/* build-fuzz/findings/$r/ 2>/dev/null || true
    cp "$log" build-fuzz/findings/$r.log
    grep -E 'ERROR|SUMMARY|runtime error' "$log" | head -n 5
    echo "fuzz: $r: inputs and log kept in build-fuzz/findings"
  fi
done
exit $status
