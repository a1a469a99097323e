#!/usr/bin/env bash
# Builds the Debian package in a build folder of its own (default build/deb: the programs
# only, never the sanitized test build), checks it (lintian, the desktop entry,
# the metainfo), installs it, runs zek-cli from /usr/bin on the virtual controller, and
# removes it again. Run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/deb}
bash scripts/install-deps.sh lintian appstream desktop-file-utils dpkg-dev file
if [ -f "$dir/CMakeCache.txt" ]; then
    cmake "$dir" >/dev/null   # finds scdoc if it came after the first configuration
else
    launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    # Unoptimised: the quickest build, and the check is of the package, not of the code.
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEK_TESTS=OFF -DZEK_BENCH=OFF \
        "${launcher[@]}" >/dev/null
fi
cmake --build "$dir" -j 2 --target zek-cli zek-setup zek_docs
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls -t "$dir"/zek-setup_*.deb | head -n 1)
echo "package: $deb"
desktop-file-validate resources/zek-setup.desktop
appstreamcli validate --no-net resources/zek-setup.metainfo.xml >/dev/null
# Errors fail the check; the warnings left are listed in the README.
lintian --fail-on error "$deb" || {
    echo "lintian found errors in $deb" >&2
    exit 1
}
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb" >/dev/null
trap 'apt-get remove -y -qq zek-setup >/dev/null' EXIT
dpkg -L zek-setup | grep -q /usr/lib/udev/rules.d/60-zek-setup.rules
work=$(mktemp -d)
(cd "$work" && /usr/bin/zek-cli --simulate read && /usr/bin/zek-cli --version && /usr/bin/zek-setup --version)
[ ! -e "$work/qvsetup.cfg" ] || { echo "zek-cli --simulate left qvsetup.cfg" >&2; exit 1; }
rm -rf "$work"
echo "check-deb: ok"
