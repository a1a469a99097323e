#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need (run as root).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev
          qt6-base-dev qt6-serialport-dev libgl-dev qt6-translations-l10n
          nlohmann-json3-dev libcli11-dev scdoc libftdi1-dev pkg-config ccache libgtest-dev libgmock-dev sigrok-cli xvfb xauth fonts-dejavu-core)
# Further packages a caller needs (the Windows cross-build) come as arguments.
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
