#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given seconds (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
bash scripts/install-deps.sh
dir=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZEK_FUZZ=ON -DZEK_GUI=OFF -DZEK_TESTS=OFF -DZEK_BENCH=OFF >/dev/null
cmake --build "$dir" -j 2
shopt -s nullglob
for target in "$dir"/fuzz/*_fuzz; do
    echo "fuzzing $(basename "$target") for ${seconds}s"
    corpus="$dir/corpus/$(basename "$target")"
    mkdir -p "$corpus"
    "$target" -max_total_time="$seconds" -max_len=65536 -timeout=5 "$corpus" 2>&1 | tail -n 2
done
