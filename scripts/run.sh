#!/usr/bin/env bash
# Installs what is missing, builds and starts the program on its virtual controller.
# Without a display the command-line front end reads the virtual controller instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/app -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEK_TESTS=OFF -DZEK_BENCH=OFF >/dev/null
cmake --build build/app -j 2
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ "${QT_QPA_PLATFORM:-}" = offscreen ]; then
    exec build/app/src/gui/zek-setup --simulate "$@"
fi
echo "no display: reading the virtual controller with zek-cli" >&2
[ $# -gt 0 ] || set -- read show
exec build/app/src/cli/zek-cli --simulate "$@"
