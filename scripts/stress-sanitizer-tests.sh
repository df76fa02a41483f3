#!/usr/bin/env bash
# Runs the sanitizer build's suite ten times in a row (each test until it fails, at most ten times) while a
# from-scratch build of the engine and game loads the machine: tests that fail only now and then, and
# crashes at a process's exit, show up here. Not run by CI; build build/asan first (scripts/run-tests.sh).
#   TOBBLE_STRESS_REPEATS    runs of each test (10)
#   TOBBLE_STRESS_JOBS       tests at once (the number of processors)
#   TOBBLE_STRESS_LOAD_JOBS  the load build's jobs (half the number of processors)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/asan/CTestTestfile.cmake ]; then
  echo "No sanitizer build in build/asan: run scripts/run-tests.sh first." >&2
  exit 1
fi
repeats=${TOBBLE_STRESS_REPEATS:-10}
jobs=${TOBBLE_STRESS_JOBS:-$(nproc)}
load_jobs=${TOBBLE_STRESS_LOAD_JOBS:-$(( ($(nproc) + 1) / 2 ))}
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}

# The load: the engine and the game built again and again from nothing (no compiler cache), in a folder of
# its own, in a process group of its own so that it can be ended as a whole.
load=$(mktemp -d)
setsid bash -c '
  while true; do
    rm -rf "$1/build"
    CCACHE_DISABLE=1 cmake -S . -B "$1/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOBBLE_DATA=OFF \
      -DTOBBLE_BENCHMARKS=OFF > /dev/null 2>&1 || exit 1
    CCACHE_DISABLE=1 cmake --build "$1/build" -j "$2" --target game > /dev/null 2>&1 || exit 1
  done' load "$load" "$load_jobs" &
loader=$!
tests=
stop() {
  [ -z "$tests" ] || kill "$tests" 2> /dev/null || true
  kill -- -"$loader" 2> /dev/null || true
  wait 2> /dev/null || true
  rm -rf "$load"
}
trap stop EXIT
trap 'exit 130' INT TERM

start=$(date +%s)
# In the background, so that an interrupt ends the tests and the load at once.
ctest --test-dir build/asan --output-on-failure -j "$jobs" --timeout 600 --repeat until-fail:"$repeats" &
tests=$!
wait "$tests"
tests=
echo "sanitizer suite: $repeats runs of every test passed under load in $(( $(date +%s) - start )) s"
