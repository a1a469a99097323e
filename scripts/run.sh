#!/usr/bin/env bash
# Installs what is missing, builds and starts the program on its virtual controller.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/app -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEK_TESTS=OFF -DZEK_BENCH=OFF >/dev/null
cmake --build build/app -j 2
if [ -x build/app/src/gui/zek-setup ]; then
    exec build/app/src/gui/zek-setup --simulate "$@"
fi
if [ -x build/app/src/cli/zek-cli ]; then
    [ $# -gt 0 ] || set -- read show
    exec build/app/src/cli/zek-cli --simulate "$@"
fi
exec build/app/src/sim/zek-sim-demo "$@"
