#!/usr/bin/env bash
# Builds everything and runs every test: the test suite, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for a fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs=$(nproc)
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
# The software renderer draws in the calling thread (no threads of its own, no backlog of frames).
export LP_NUM_THREADS=${LP_NUM_THREADS:-0}

# Line tables are all the debug information the optimised test builds need (the stack traces of failures,
# of the sanitizers and of the fuzzer); full debug information makes their compiles about a third slower.
optimised_flags="-O2 -g1 -DNDEBUG"

echo "== build (RelWithDebInfo)"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$optimised_flags" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$optimised_flags" > /dev/null
cmake --build build/test -j "$jobs"
echo "== tests"
ctest --test-dir build/test --output-on-failure -j "$jobs" --timeout 300

echo "== build (AddressSanitizer, UndefinedBehaviorSanitizer)"
# The data archives are the plain build's (the builder makes the same bytes however it was compiled).
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOBBLE_SANITIZE=ON -DTOBBLE_BENCHMARKS=OFF \
  -DTOBBLE_DATA_FROM="$PWD/build/test/bin" > /dev/null
cmake --build build/asan -j "$jobs"
echo "== tests under the sanitizers"
# The sanitizer options (leak checking on) come with the build's test environment, and every program a
# test starts inherits them.
ctest --test-dir build/asan --output-on-failure -j "$jobs" --timeout 600

if ls tests/fuzz/*.cpp > /dev/null 2>&1; then
  echo "== fuzz targets"
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOBBLE_FUZZ=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$optimised_flags" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$optimised_flags" > /dev/null
  # Only the fuzz targets and what they link, not the whole project a third time.
  targets=()
  for source in tests/fuzz/*.cpp; do
    targets+=("fuzz_$(basename "$source" .cpp)")
  done
  cmake --build build/fuzz -j "$jobs" --target "${targets[@]}"
  seconds=${TOBBLE_FUZZ_SECONDS:-20}
  passed=0
  # One target per source (a target whose source is gone may linger in the build folder).
  for source in tests/fuzz/*.cpp; do
    name=$(basename "$source" .cpp)
    f=build/fuzz/bin/fuzz_$name
    corpus=$(mktemp -d)
    # New inputs go to the scratch folder; the committed seeds of the target are read from theirs.
    seeds=tests/fuzz/corpus/$name
    [ -d "$seeds" ] || seeds=
    "$f" -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=0 "$corpus" $seeds \
      > "build/fuzz/$(basename "$f").log" 2>&1 \
      || { echo "$(basename "$f") failed:"; tail -n 60 "build/fuzz/$(basename "$f").log"; exit 1; }
    rm -rf "$corpus"
    passed=$((passed + 1))
  done
  echo "fuzz: $passed passed, 0 failed"
fi
