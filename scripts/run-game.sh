#!/usr/bin/env bash
# Builds the game (Release) with its data and runs it. Extra arguments go to the game ("-safe").
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOBBLE_BENCHMARKS=OFF > /dev/null
cmake --build build/release --target tobble game_data
cd build/release/bin
exec ./tobble "$@"
