#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh          build/test with clang: AddressSanitizer + UndefinedBehaviorSanitizer,
#                            every library also carrying the fuzzers' coverage, so that
#                            scripts/fuzz.sh can run its targets from this same build
#   scripts/test.sh --plain  build/plain with the system's compiler, no sanitizers, with the
#                            benchmarks (their figures mean nothing under the sanitizers)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if [ "${1:-}" = "--plain" ]; then
    dir=build/plain
    flags=(-DCMAKE_BUILD_TYPE=Debug)
else
    dir=build/test
    export CC=clang CXX=clang++
    flags=(-DCMAKE_BUILD_TYPE=Debug -DZEK_SANITIZE=ON -DZEK_FUZZ=ON -DZEK_BENCH=OFF)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
# A compiler cache where there is one: the next run on the same machine compiles only what
# changed.
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -j 2
export QT_QPA_PLATFORM=offscreen
# Pictures of the dialogs for whoever looks at the run; backups and update records in
# the build folder, never in the user's own data folder.
export ZEK_TEST_OUTPUT="$PWD/$dir/test-artefacts"
export XDG_DATA_HOME="$PWD/$dir/test-data"
ctest --test-dir "$dir" --output-on-failure -j 2 --timeout 300
