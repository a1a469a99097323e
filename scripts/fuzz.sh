#!/usr/bin/env bash
# Runs each fuzz target for the given seconds (default 12), starting from its seeds in
# fuzz/corpus/<target>. Prints the coverage points each reached; a crash fails the script
# and leaves its input in the build folder.
#   scripts/fuzz.sh [seconds] [build]   build: a folder configured with ZEK_FUZZ (the test
#                                       build of scripts/test.sh is); without one, build/fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-12}
dir=${2:-build/fuzz}
bash scripts/install-deps.sh
if ! grep -q '^ZEK_FUZZ:BOOL=ON' "$dir/CMakeCache.txt" 2>/dev/null; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DZEK_FUZZ=ON -DZEK_GUI=OFF -DZEK_TESTS=OFF -DZEK_BENCH=OFF >/dev/null
fi
cmake --build "$dir" -j 2 --target zek_fuzzers
shopt -s nullglob
for target in "$dir"/fuzz/*_fuzz; do
    name=$(basename "$target")
    corpus="$dir/corpus/$name"
    mkdir -p "$corpus" fuzz/corpus/"$name"
    # New inputs go to the build's corpus; the seeds are only read.
    cov=$("$target" -max_total_time="$seconds" -max_len=65536 -timeout=5 -artifact_prefix="$dir/" \
        "$corpus" "fuzz/corpus/$name" 2>&1 | tee "$dir/fuzz-$name.log" |
        sed -n 's/.*DONE *cov: \([0-9]*\).*/\1/p')
    echo "$name: ${cov:-?} coverage points in ${seconds}s"
done
