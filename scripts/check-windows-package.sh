#!/usr/bin/env bash
# Checks the Windows package of a cross-build: the ZIP holds exactly the programs that
# were built and the README's Windows part; the installer, run silently under Wine,
# installs them for the user alone (no administrator), with a Start-menu entry that
# starts the desktop program with --user-dir and an uninstaller registered under HKCU,
# and that uninstaller removes the program but leaves the user's settings and backups.
#   scripts/check-windows-package.sh [build/windows]
# Runs in the Wine prefix of scripts/test-windows.sh, or alone in a prefix of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/windows}

bash scripts/install-deps.sh nsis unzip wine wine64
cmake --build "$dir" --target installer >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
name=zek-setup-$version-windows-x86_64
zip=$dir/$name.zip
setup=$PWD/$dir/$name-setup.exe
[ -f "$zip" ] || cmake --build "$dir" --target package >/dev/null

fail() {
    echo "check-windows-package: $*" >&2
    exit 1
}

programs=(zek-cli.exe)
# The list is taken whole first: grep -q stopping early would fail the pipe (pipefail).
targets=$(ninja -C "$dir" -t targets all 2>/dev/null)
if grep -q '^zek-setup: phony' <<<"$targets"; then
    programs+=(zek-setup.exe)
fi
expected=$(printf '%s\n' "${programs[@]}" README-Windows.txt | sort)

# The ZIP: one folder named like the package, the files in it and nothing else.
listed=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
[ "$listed" = "$(sed "s|^|$name/|" <<<"$expected")" ] ||
    fail "$zip holds:"$'\n'"$listed"
unzip -p "$zip" "$name/README-Windows.txt" | grep -q '^## Windows' ||
    fail "README-Windows.txt is not the README's Windows part"

# The installer, silently, as a user without administrator rights would run it.
own_prefix=
if [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=$PWD/$dir/wine-package
    export WINEPREFIX=$own_prefix WINEDEBUG=-all WINEARCH=win64
    unset DISPLAY WAYLAND_DISPLAY
    rm -rf "$own_prefix"
    mkdir -p "$own_prefix"
    wineserver -p
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$own_prefix"' EXIT
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
fi
wine64=/usr/lib/wine/wine64
users=$WINEPREFIX/drive_c/users/$(id -un)
local_data=$users/AppData/Local
roaming=$users/AppData/Roaming
installed=$local_data/Programs/zek-setup
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\zek-setup'
shortcut="$roaming/Microsoft/Windows/Start Menu/Programs/zek-setup.lnk"

"$wine64" "$setup" /S
present=$(cd "$installed" && ls | sort)
[ "$present" = "$(printf '%s\nuninstall.exe\n' "$expected" | sort)" ] ||
    fail "installed into $installed:"$'\n'"$present"
for file in "${programs[@]}"; do
    cmp -s "$installed/$file" "$dir/installer-stage/$file" ||
        fail "the installed $file is not the one packed"
done
"$wine64" reg query "$key" /v UninstallString | tr -d '\r' |
    grep -qF 'C:\users\'"$(id -un)"'\AppData\Local\Programs\zek-setup\uninstall.exe' ||
    fail "no uninstaller registered under $key"
if [[ " ${programs[*]} " == *" zek-setup.exe "* ]]; then
    [ -f "$shortcut" ] || fail "no Start-menu entry"
    # The shortcut keeps its arguments as UTF-16 text.
    tr -d '\0' <"$shortcut" | grep -qa -- '--user-dir' ||
        fail "the Start-menu entry does not start the program with --user-dir"
fi

# The user's settings, backups and a start's own settings beside the program survive.
mkdir -p "$roaming/zek-setup" "$local_data/zek-setup/backups"
echo COM3 >"$roaming/zek-setup/qvsetup.cfg"
echo kept >"$local_data/zek-setup/backups/backup.json"
echo COM4 >"$installed/qvsetup.cfg"
"$wine64" "$installed/uninstall.exe" /S
# The uninstaller runs from a copy of itself in the temporary folder and returns at once.
for _ in $(seq 60); do
    [ -e "$installed/uninstall.exe" ] || break
    sleep 0.5
done
left=$(cd "$installed" && ls)
[ "$left" = qvsetup.cfg ] || fail "the uninstaller left in $installed:"$'\n'"$left"
[ -f "$roaming/zek-setup/qvsetup.cfg" ] && [ -f "$local_data/zek-setup/backups/backup.json" ] ||
    fail "the uninstaller removed the user's settings or backups"
[ ! -e "$shortcut" ] || fail "the Start-menu entry stayed"
if "$wine64" reg query "$key" >/dev/null 2>&1; then
    fail "the uninstaller's registration stayed"
fi
rm -rf "$installed" "$roaming/zek-setup" "$local_data/zek-setup"
echo "check-windows-package: $name.zip and $name-setup.exe hold ${programs[*]} README-Windows.txt"
