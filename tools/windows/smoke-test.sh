#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows package as school IT and a teacher meet it, under Wine on an X display: silent
# install, start the installed program, throw with F5 after a start value, export, silent
# uninstall. The export must equal, byte for byte, what the Linux build writes for the same game.
#   tools/windows/smoke-test.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
# Needs DISPLAY (a window manager running on it) and xdotool. Uses WINEPREFIX (default
# ~/.wine-kollavo-smoke, made afresh).
set -euo pipefail
win=$(cd "${1:?WINDOWS_BUILD_DIR}" && pwd)
linux=$(cd "${2:?LINUX_BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-kollavo-smoke}
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
setup=$(ls "$win"/Kollavo-*-setup.exe | head -1)
seed=4711 throws=7
work=$(mktemp -d /tmp/kollavo-smoke.XXXXXX)
step() { printf '== %s\n' "$*"; }

rm -rf "$WINEPREFIX"
step "Wine prefix"; wineboot -i >/dev/null 2>&1; wineserver -w
step "silent install: $(basename "$setup") /S"
wine "$setup" /S; wineserver -w
user=$(ls "$WINEPREFIX/drive_c/users" | grep -v -x Public | head -1)
local="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Kollavo"
[ -f "$local/kollavo.exe" ] || { echo "not installed into $local" >&2; exit 1; }
start_menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kollavo.lnk"
[ -f "$start_menu" ] && echo "Start-menu entry: present" || { echo "no Start-menu entry" >&2; exit 1; }
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kollavo' 2>/dev/null \
    | tr -d '\r' | grep -E 'DisplayName|DisplayVersion|QuietUninstallString'

step "start the installed kollavo.exe"
started=$(date +%s.%N)
wine "$local/kollavo.exe" >"$work/wine.log" 2>&1 &
xdotool search --sync --onlyvisible --name '^Kollavo$' >/dev/null
echo "window after $(echo "$(date +%s.%N) - $started" | bc) s"
step "start value $seed, $throws × F5, Daten exportieren"
"$here/drive-export.sh" $seed $throws 'Z:'"${work//\//\\}"'\windows.txt'
for _ in $(seq 20); do [ -s "$work/windows.txt" ] && break; sleep 1; done
wineserver -k || true

step "the same game in the Linux build"
"$linux/kollavo" -style windows >"$work/linux.log" 2>&1 &
pid=$!
"$here/drive-export.sh" $seed $throws "$work/linux.txt"
for _ in $(seq 20); do [ -s "$work/linux.txt" ] && break; sleep 1; done
kill $pid

step "silent uninstall"
wine "$local/uninstall.exe" /S; wineserver -w
for _ in $(seq 30); do [ -e "$local/kollavo.exe" ] || break; sleep 1; done
[ ! -e "$local" ] && [ ! -e "$start_menu" ] && echo "program folder and Start-menu entry removed" \
    || { echo "uninstall left files behind" >&2; ls -R "$local" >&2 || true; exit 1; }
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kollavo' >/dev/null 2>&1 \
    && { echo "uninstall left its registry key" >&2; exit 1; } || echo "Apps & Features entry removed"

step "compare"
ls -l "$work/windows.txt" "$work/linux.txt"
cmp "$work/windows.txt" "$work/linux.txt"
echo "identical: $(sha256sum < "$work/linux.txt" | cut -c1-16)…, $(wc -c < "$work/linux.txt") bytes"
